gotoBitC y, 3, far
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
or x, 5
far: nop
goto far
