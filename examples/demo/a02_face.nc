(facing the top of the insert: face mill D50, 0.5 removed, ends at Z0)
G0 X-90 Y-30 Z30
Z5
G1 Z0 F500
G1 X90 Y-30 F2000
Y0
G1 X-90
Y30
G1 X90
G0 Z30
