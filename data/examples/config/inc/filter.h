;--------------------------------------------------------
;	File: inc/filter.h
;
;	The filter subroutine, in the variant board.h chooses.
;	Both variants define the label filter; only one is assembled.
;--------------------------------------------------------

#ifdef USE_AVERAGING
; filter: x = average of the SAMPLES raw values, scaled by SENSOR_GAIN. Uses y.
filter: ramadr SAMPLES_AT
        clear x
        move y, SAMPLES
filter_next:
        add x, r
        incramadr
        decr y
        gotoNE filter_next
        shiftR x, SAMPLE_SHIFT
        move y, SENSOR_GAIN
        mult48 x, y                 ; the high 24 bits are x * SENSOR_GAIN
        jsubret
#else
; filter: x = the first raw value, scaled by SENSOR_GAIN. Uses y.
filter: ramadr SAMPLES_AT
        move x, r
        move y, SENSOR_GAIN
        mult48 x, y
        jsubret
#endif
