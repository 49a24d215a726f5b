loop: gotoEQ loop ; a comment $ with bad characters
nop | nop|nop
<COMMENT> $ 
 $ <ENDCOMMENT> nop
