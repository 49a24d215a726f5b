#include "a.h"
nop
