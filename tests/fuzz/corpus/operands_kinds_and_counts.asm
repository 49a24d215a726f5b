div24 3, 4
goto x
goto y
jsub 5
nop 1
move x
and 3, 4
and x, 3, 4
mult24 x, 3
shiftR x, y
rotR 3, 4
gotoBitC x, 24, there
equal 0x1000000
skipBitS x, 3, there
gotoBitS x, 3, 7
there: usrEprInit 5
