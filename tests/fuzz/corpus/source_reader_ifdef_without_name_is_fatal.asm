#ifdef ;x
nop
