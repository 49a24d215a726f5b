nop
#include x.h
