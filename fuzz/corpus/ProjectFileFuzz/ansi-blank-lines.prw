C:\P
1	K1	1	0	C:\P	K0	P	1	1

2	K2	2	1	C:\P\€ž.dll	K1	é	1	0
