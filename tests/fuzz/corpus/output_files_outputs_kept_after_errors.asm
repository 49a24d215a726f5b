usrEprInit 0, 1
add x, 0x1000000
