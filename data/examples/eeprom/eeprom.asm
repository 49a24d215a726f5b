;--------------------------------------------------------
;	File: eeprom.asm
;
;	Initialising and using the user EEPROM.
;	usrEprInit gives the cells their factory values: tarn writes them
;	into eeprom.epr, and the download programs them after the program.
;	A chip whose user EEPROM was erased (all cells 0, as in the
;	simulator, which does not load the .epr file) gets the defaults
;	written by the program itself on its first start.
;	Then the program counts its start, calibrates a raw value with
;	the offset and gain cells and stores a checksum of the cells.
;	When it stops, z holds the calibrated value, 0x001699, and x the
;	checksum, 0x000071 (after a first start from an erased EEPROM).
;--------------------------------------------------------

#include "cells.h"

CONST RAW           0x001234        ; the raw value to calibrate (a converter result)
CONST RESULT        0x20            ; RAM cell 32: the calibrated value

; Factory values of the cells (the start counter begins at 0).
        usrEprInit EPR_MARK, MARK_VALUE
        usrEprInit EPR_OFFSET, DEFAULT_OFFSET
        usrEprInit EPR_GAIN, DEFAULT_GAIN
        usrEprInit EPR_STARTS_LO, 0
        usrEprInit EPR_STARTS_HI, 0
        usrEprInit EPR_CHECK, DEFAULT_OFFSET+DEFAULT_GAIN

start:  clrwdt
        ramadr EPR_MARK             ; getepr and putepr use the cell the RAM address names
        getepr x
        compare x, MARK_VALUE
        gotoEQ valid                ; the cells hold valid data
        jsub write_defaults         ; erased: program the defaults once
valid:  jsub count_start
        jsub calibrate
        jsub checksum
        stop

; write_defaults: programs the factory values; the mark goes last, so that cells
; that were written only in part are never taken as valid. Uses x.
write_defaults:
        ramadr EPR_OFFSET
        move x, DEFAULT_OFFSET
        putepr x                    ; putepr writes the low byte of x
        ramadr EPR_GAIN
        move x, DEFAULT_GAIN
        putepr x
        ramadr EPR_STARTS_LO
        clear x
        putepr x
        incramadr                   ; cell EPR_STARTS_HI
        putepr x
        ramadr EPR_MARK
        move x, MARK_VALUE
        putepr x
        jsubret

; count_start: adds 1 to the 16-bit start counter in two cells. Uses x.
count_start:
        ramadr EPR_STARTS_LO
        getepr x
        incr x
        putepr x                    ; 0x100 leaves 0x00 in the low byte ...
        compare x, 0x100
        gotoNE counted
        incramadr                   ; ... and carries into EPR_STARTS_HI
        getepr x
        incr x
        putepr x
counted:
        jsubret

; calibrate: z = (RAW - offset) * gain / 64, also kept in RAM cell RESULT. Uses x, y.
calibrate:
        move x, RAW
        ramadr EPR_OFFSET
        getepr y
        sub x, y
        ramadr EPR_GAIN
        getepr y
        mult24 x, y
        shiftR x, GAIN_SHIFT
        move z, x
        ramadr RESULT
        move r, x
        jsubret

; checksum: EPR_CHECK = low byte of the sum of cells 1 to 4. addepr always adds the
; cell at the RAM address to x. Uses x, y.
checksum:
        clear x
        ramadr EPR_OFFSET
        move y, 4                   ; four cells
add_cell:
        addepr x
        incramadr
        decr y
        gotoNE add_cell
        ramadr EPR_CHECK
        putepr x
        jsubret

; --- EOF ---
