move x, 0.25
move x, 0.5
move y, -0.5
move y, -0.49
