; demo.h - settings and constants of the demo program (included by demo.asm)

CONST SAMPLES       16                      ; measurements per average
CONST RAM_BUFFER    8                       ; first RAM cell of the sample buffer
CONST RAM_RESULT    RAM_BUFFER+SAMPLES      ; RAM cell of the last average (24)
CONST RAM_HISTORY   0x40                    ; history cells start above 63: long ramadr form

CONST EPR_OFFSET    0                       ; user EEPROM cell: calibration offset
CONST EPR_GAIN      1                       ; user EEPROM cell: calibration gain
CONST EPR_RUNS      2                       ; user EEPROM cell: run counter

CONST FULL_SCALE    0xFFFFFF                ; largest 24-bit value
CONST LIMIT_HIGH    0.375                   ; alarm threshold, as a fraction of full scale
CONST LIMIT_LOW     -0.375                  ; lower threshold (24-bit two's complement)
CONST SIGN_BIT      23                      ; bit number of the sign of an accumulator

; Comment out the next line to run the converter from the slow 10 kHz clock.
#define USE_FAST_CLOCK
