C:\P
1	K1	1	0	C:\P\SUB	K0	SUB	1	1
2	K2	2	1	C:\P\A.DLL	K1	a.dll	1	0
3	K3	3	1	C:\P\SUB\b.ocx	K1	b.ocx	0	0