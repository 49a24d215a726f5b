; demo.asm - KZ71 example program
;
; Takes SAMPLES measurements per cycle, averages them, clamps the average to the alarm
; limits, keeps it in RAM and counts the cycles in user EEPROM.
;
<COMMENT>
    Register use:
        x   running sum of the samples
        y   current sample, scratch
        z   samples still to take
        r   average, result of the cycle
<ENDCOMMENT>

#include "demo.h"

; Factory defaults of the user EEPROM: calibration offset and gain, run counter 0.
        usrEprInit EPR_OFFSET, 0x10
        usrEprInit EPR_GAIN, 200
        usrEprInit EPR_RUNS, 0

start:  clrwdt
#ifdef USE_FAST_CLOCK
        clk4mhz 1                   ; fast measurement clock
#else
        clk10khz 1                  ; slow measurement clock, lowest power
#endif
        initTDC

cycle:  newcyc
        clear x
        move z, SAMPLES
        ramadr RAM_BUFFER

measure:
        jsub read_sample            ; sample in y
        add x, y
        incramadr
        decr z
        compare z, 0
        gotoNE measure

; Average: sum / SAMPLES, then apply the calibration gain from user EEPROM.
        move y, SAMPLES
        div24 x, y
        move r, x
        ramadr EPR_GAIN
        getepr y
        mult24 r, y
        shiftR r, 7                 ; gain is scaled by 128

; Clamp the average to [LIMIT_LOW, LIMIT_HIGH].
        gotoBitS r, SIGN_BIT, negative
        compare r, LIMIT_HIGH
        skipCarS 1                  ; below the upper limit: keep the value
        move r, LIMIT_HIGH
        goto store

negative:
        move y, r
        abs y
        compl y                     ; y = |r| in one's complement, for the comparison
        compare r, LIMIT_LOW
        skipCarC 2
        move r, LIMIT_LOW
        bitset y, 0

store:  ramadr RAM_RESULT
        swap x, r                   ; x keeps the result for the history below
        jsub push_history
        jsub count_run
        clrwdt
        goto cycle

; read_sample: reads one conversion result into y, removing the calibration offset.
read_sample:
        getflag y
        skipBitS y, 2, 1            ; bit 2: conversion done
        goto read_sample
        ramadr EPR_OFFSET
        getepr z
        sub y, z
        and y, FULL_SCALE
        jsubret

; push_history: shifts the result into the RAM history and keeps a checksum in y.
push_history:
        ramadr RAM_HISTORY
        move y, x
        rotL y
        eor y, 0x00A5A5
        incramadr
        skipEQ 1
        decramadr
        jsubret

; count_run: increments the run counter cell in user EEPROM.
count_run:
        ramadr EPR_RUNS
        getepr y
        incr y
        putepr y
        setC
        clrC
        nop
        jsubret

; Never reached: a constant table placed behind the program code.
        stop
table:  equal FULL_SCALE/2
        equal 0.125
