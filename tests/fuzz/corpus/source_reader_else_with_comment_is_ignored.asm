#define A
#ifdef A
nop
#else ; not a skip
$
#endif
