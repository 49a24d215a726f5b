#include "sub/x.h"
nop
