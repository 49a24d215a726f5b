add x y
nop
nop
add x, 3,
nop
nop
bitset x 3
nop
nop
gotoBitC x, 3 lab
nop
nop
nop ,
