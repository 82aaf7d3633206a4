' A function called in a loop, integer division
Dim i, total As Integer

Function Square(x As Integer) As Integer
  Return x * x
End Function

total = 0
For i = 1 To 4
  total = total + Square(i)
Next
Print(IntToStr(total) + ";" + IntToStr(7 \ 2))
