;--------------------------------------------------------
;	File: config.asm
;
;	Include files and conditional sections.
;	board.h defines the names that choose the sensor, the filter and
;	the clock; inc/limits.h and inc/filter.h assemble the part that
;	fits the choice. Change a #define in board.h and compile again.
;	As shipped (PT1000, averaging) the program stops with x = 0x000E00:
;	the average 0x003C00 scaled by 0.25 is 0x000F00, above HIGH_LIMIT.
;--------------------------------------------------------

#include "board.h"
#include "inc/limits.h"

start:  clrwdt
#ifdef FAST_CLOCK
        clk4mhz 1
#else
        clk675khz 1
#endif
        initTDC
        newcyc
        jsub make_samples
        jsub filter                 ; from inc/filter.h
        jsub clamp
        ramadr RESULT_AT
        move r, x
        stop

; make_samples: stands in for the converter: raw values 0x003000, 0x003800, ...
; in the SAMPLES cells from SAMPLES_AT on. Uses x, y.
make_samples:
        ramadr SAMPLES_AT
        move x, 0x003000
        move y, SAMPLES
next_sample:
        move r, x
        add x, 0x000800
        incramadr
        decr y
        gotoNE next_sample
        jsubret

; clamp: keeps x within LOW_LIMIT and HIGH_LIMIT.
clamp:  compare x, LOW_LIMIT
        skipCarC 1                  ; not below the low limit: keep x
        move x, LOW_LIMIT
        compare x, HIGH_LIMIT
        skipCarS 1                  ; below the high limit: keep x
        move x, HIGH_LIMIT
        jsubret

#include "inc/filter.h"

; --- EOF ---
