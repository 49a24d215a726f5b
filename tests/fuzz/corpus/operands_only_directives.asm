usrEprInit 0, 255
usrEprInit 127, 1
