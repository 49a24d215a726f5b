;--------------------------------------------------------
;	File: measure.asm
;
;	A measurement loop with constants and subroutines.
;	Each of CYCLES measurement cycles averages SAMPLES raw values,
;	scales the average by the fraction SCALE and keeps the smallest
;	and the largest result in RAM. Then the program stops.
;
;	On the chip the raw values come from the converter; here the
;	subroutine fill_raw writes them into RAM, so that the program
;	runs the same in the simulator (kz71sim run measure.hex).
;	When it stops, x holds the last scaled average, 0x000870.
;--------------------------------------------------------

<COMMENT>
    Register use:
        x   sum of the raw values, then the scaled average
        y   loop counter, scratch
        r   the RAM cell at the RAM address (set with ramadr)
<ENDCOMMENT>

CONST SAMPLES       8               ; raw values per average
CONST SAMPLE_SHIFT  3               ; 2 to the power 3 is SAMPLES: average = sum >> 3
CONST CYCLES        4               ; measurement cycles before the program stops
CONST SCALE         0.375           ; scaling factor; a fraction is stored times 2^24

CONST RAW_START     0x00            ; RAM cells 0 to 7: the raw values of one cycle
CONST RESULT        0x10            ; RAM cell 16: the last scaled average
CONST MINIMUM       RESULT+1        ; RAM cell 17: the smallest result so far
CONST MAXIMUM       RESULT+2        ; RAM cell 18: the largest result so far
CONST COUNTER       RESULT+3        ; RAM cell 19: cycles still to run

CONST FIRST_RAW     0x001000        ; the simulated raw values start here ...
CONST RAW_SPACING   0x000100        ; ... rise by this much from cell to cell ...
CONST DRIFT         0x000100        ; ... and by this much from cycle to cycle

start:  clrwdt
        initTDC
        jsub fill_raw               ; raw values of the first cycle
        ramadr MINIMUM
        move r, 0x7FFFFF            ; the largest positive value: any result is smaller
        ramadr MAXIMUM
        clear r
        ramadr COUNTER
        move r, CYCLES

cycle:  newcyc                      ; one measurement cycle
        clrwdt
        jsub average                ; x = average of the raw values
        jsub scale                  ; x = x * SCALE
        ramadr RESULT
        move r, x
        jsub track_limits
        jsub drift                  ; the next cycle's raw values
        ramadr COUNTER
        decr r
        gotoNE cycle                ; until the counter reaches 0
        stop

; average: x = sum of the SAMPLES raw values / SAMPLES. Uses y.
average:
        clear x
        move y, SAMPLES
        ramadr RAW_START
add_raw:
        add x, r                    ; x = x + raw value at the RAM address
        incramadr
        decr y
        gotoNE add_raw
        shiftR x, SAMPLE_SHIFT
        jsubret

; scale: x = x * SCALE. The high 24 bits of the 48-bit product of a value and a
; fraction are the scaled value. Uses y.
scale:  move y, SCALE
        mult48 x, y                 ; x = high 24 bits, y = low 24 bits
        jsubret

; track_limits: keeps the smallest and the largest x in MINIMUM and MAXIMUM.
track_limits:
        ramadr MINIMUM
        compare x, r                ; Carry set when x is below the minimum
        skipCarC 1                  ; not below: keep the minimum
        move r, x
        ramadr MAXIMUM
        compare x, r                ; Carry set when x is below the maximum
        skipCarS 1                  ; below: keep the maximum
        move r, x
        jsubret

; fill_raw: writes the raw values FIRST_RAW, FIRST_RAW + RAW_SPACING, ... Uses x, y.
fill_raw:
        ramadr RAW_START
        move x, FIRST_RAW
        move y, SAMPLES
fill_next:
        move r, x
        add x, RAW_SPACING
        incramadr
        decr y
        gotoNE fill_next
        jsubret

; drift: raises every raw value by DRIFT, as a slowly changing quantity would. Uses y.
drift:  ramadr RAW_START
        move y, SAMPLES
drift_next:
        add r, DRIFT
        incramadr
        decr y
        gotoNE drift_next
        jsubret

; --- EOF ---
