nop
<COMMENT>
nop
