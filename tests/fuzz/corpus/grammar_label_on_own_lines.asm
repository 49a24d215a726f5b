start:

   nop
goto start
