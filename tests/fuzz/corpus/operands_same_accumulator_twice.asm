	compare x, x
	sub z, z
	add y, y
	move x, x
	eorn r, r
	mult24 y, y
	swap z, z
	stop
