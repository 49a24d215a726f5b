nop
nop
#include "main.asm"
nop
