#define FAST
#ifdef FAST
clk4mhz 1
#else
$ skipped
#endif
#ifdef SLOW
$ skipped
#else
clk10khz 1
#endif
nop
