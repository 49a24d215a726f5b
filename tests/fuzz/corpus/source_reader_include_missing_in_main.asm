nop
#include "gone.h"
$
