nop
add x, 5
