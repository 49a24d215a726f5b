nopp
ADD x, y
