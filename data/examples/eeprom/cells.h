;--------------------------------------------------------
;	File: cells.h
;
;	The map of the user EEPROM cells that eeprom.asm uses, and
;	their factory values. Included by eeprom.asm.
;--------------------------------------------------------

CONST EPR_MARK      0               ; cell 0: MARK_VALUE once cells 1 to 4 hold valid data
CONST EPR_OFFSET    1               ; cell 1: calibration offset, subtracted from a raw value
CONST EPR_GAIN      2               ; cell 2: calibration gain in 1/64 (64 is a gain of 1)
CONST EPR_STARTS_LO 3               ; cells 3 and 4: how often the program started,
CONST EPR_STARTS_HI 4               ;   low byte first
CONST EPR_CHECK     5               ; cell 5: low byte of the sum of cells 1 to 4

CONST MARK_VALUE    0xA5
CONST DEFAULT_OFFSET 0x20
CONST DEFAULT_GAIN  80              ; 80/64 = 1.25
CONST GAIN_SHIFT    6               ; dividing by 64
