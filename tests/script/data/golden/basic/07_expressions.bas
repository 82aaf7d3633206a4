a = -b * c / d \ e Mod f And g
a = (b + c - d) Or e Xor f
ok = Not (a >= b) And (c <> d) Or (e <= f) And (g = h)
ok = (x In [1, 3, 5..7]) And (Obj Is TComponent)
s = "say ""hi""" & 1 & #13#10
p = AddressOf Handler
v = Items[i, j].Names["key"].Value(1, "two")
o = New TStringList
Set o = Nothing
Delete o
x++
