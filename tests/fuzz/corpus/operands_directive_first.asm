        usrEprInit 3, 7
start:  nop
        goto start
