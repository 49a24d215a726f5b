;--------------------------------------------------------
;	File: inc/limits.h
;
;	Constants that depend on the sensor chosen in board.h.
;	#ifdef, #else and #endif do not nest; #else must stand alone
;	on its line (a comment behind it would cancel it).
;--------------------------------------------------------

#ifdef SENSOR_PT1000
CONST LOW_LIMIT     0x000400        ; results below this are raised to it
CONST HIGH_LIMIT    0x000E00        ; results above this are lowered to it
CONST SENSOR_GAIN   0.25            ; scaling of the raw values, a fraction
#else
CONST LOW_LIMIT     0x000100
CONST HIGH_LIMIT    0x00F000
CONST SENSOR_GAIN   0.125
#endif

CONST SAMPLES       4               ; raw values per measurement
CONST SAMPLE_SHIFT  2               ; 2 to the power 2 is SAMPLES
CONST SAMPLES_AT    0x00            ; RAM cells 0 to 3: the raw values
CONST RESULT_AT     0x08            ; RAM cell 8: the result
