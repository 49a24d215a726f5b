#include ""
nop
#include <>
