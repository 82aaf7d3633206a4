' Arrays of one and two dimensions
Dim a[5] As Integer
Dim g[3, 3] As Integer
Dim i, j, sum As Integer
For i = 0 To 4
  a[i] = (i + 1) * 3
Next
sum = 0
For i = 0 To 4
  sum = sum + a[i]
Next
Print(sum)
Print(a[0] + a[4])
Print(Length(a))
For i = 0 To 2
  For j = 0 To 2
    g[i, j] = i * 3 + j
  Next
Next
Print(g[2, 1])
a[2] = a[2] * 10
Print(a[2])
