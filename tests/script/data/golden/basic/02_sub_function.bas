Sub Swap(ByRef a, ByRef b As Integer)
  Dim t = a
  a = b : b = t
End Sub

Function Sum(ByVal x, y As Integer = 2) As Integer
  Return x + y
End Function

Function NoType
  Return 1
End Function

Swap(i, j)
i = Sum(1)
