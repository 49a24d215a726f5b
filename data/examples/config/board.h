;--------------------------------------------------------
;	File: board.h
;
;	What this board has and how the program is to be built.
;	Put a ; in front of a #define to leave its name undefined
;	(a #define must stand at the very beginning of its line).
;--------------------------------------------------------

#define SENSOR_PT1000               ; the sensor type: PT1000, otherwise NTC
#define USE_AVERAGING               ; average SAMPLES values instead of taking one
; #define FAST_CLOCK                ; the 4 MHz clock instead of 675 kHz
