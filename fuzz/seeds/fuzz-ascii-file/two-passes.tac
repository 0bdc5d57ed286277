!Brio-Dash Data File Version 2.4
!Test day
#Cylinders: 8
#Stroke: 4
#Sample Frequency: 1000
#Axle RPM: 1
#Tire Circ: 80
#Rearend Ratio: 4.0
#Gears: 2, 2.5, 1.5
#Lap Timers: 2
#Channel 1: 5 0 100 0
SAMPLE  Tach  Axle-MPH  Lap  Analog1-Data
0 3 7570 0 0
10 3 7570 1 2500
20 3 7570 0 5000
30 0 7570 1 10000
!Second pass
0 4 7570 0 100
5 4 7570 0 100
