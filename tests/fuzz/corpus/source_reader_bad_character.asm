nop
nop $
