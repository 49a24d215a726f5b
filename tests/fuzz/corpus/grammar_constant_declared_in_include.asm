#include "defs.h"
CONST LIMIT 2
