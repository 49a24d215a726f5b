CONST ZERO 0
move x, 5/ZERO
nop
nop
move x, (0-2147483647-1)/(0-1)
nop
nop
move x, (2+3
