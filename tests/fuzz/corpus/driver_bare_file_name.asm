nop
add x, 3
