 #include "x.h"
