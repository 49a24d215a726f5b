        goto ahead
        nop
        and y, 5
        add y, z
        add y, y
ahead:  swap y, x
        swap x, y
        swap z, x
        swap x, z
        bitset y, 23
        bitclr r, 8
        rotL y, 2
        rotL y, 0
        putepr z
        clk10khz 1
        nop
