nop
#define
nop
