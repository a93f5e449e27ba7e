[Version] 2.0
# MHz Z RI
[Number of Ports] 1
[Number of Frequencies] 2
[Reference] 50
[Network Data]
1 75 25
2 80 0
[End]
