loop: nop
loop: nop
nop
nop
a: b: nop
nop
nop
c:
CONST X 1
