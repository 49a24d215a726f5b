#include "sub/x.h"
#include "sub\deep\z.h"
nop
