#ifdef A
#ifdef B
nop
#endif
$
#endif whatever
nop
