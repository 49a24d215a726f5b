nop x x
) nop
nop
nop )
