(drilling the four through holes: drill D10, 3 below the bottom at Z-38)
G0 X-47 Y-27 Z30
G0 X-47 Y-27
Z3
G1 Z-38 F120
G0 Z3
G0 X47 Y-27
Z3
G1 Z-38 F120
G0 Z3
G0 X47 Y27
Z3
G1 Z-38 F120
G0 Z3
G0 X-47 Y27
Z3
G1 Z-38 F120
G0 Z3
G0 Z30
