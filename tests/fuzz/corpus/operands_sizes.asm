shiftL x
shiftL x, 3
rotL x, 0
ramadr 63
ramadr 64
bitset x, 23
add x, y
add x, 5
or x, y
or x, 5
putepr z
equal 7
jsub l
l: skipBitS x, 1, 1
stop
