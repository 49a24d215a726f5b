add y, 0x1000000
add y, 5-6
bitset x, 24
bitset x, 23
skip 0
skip 4
skipBitC y, 3, 0
shiftL x, 0
rotL x, 16
ramadr 256
swap r, z
swap z, r
swap x, r
clrC x
goto nowhere
goto
add48r x
clk10khz 2
usrEprInit 128, 1
