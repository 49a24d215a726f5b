#include <regs.h>
move x, BASE
