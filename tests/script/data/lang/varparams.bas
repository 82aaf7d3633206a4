' Procedures with var parameters
Dim x, y, t, i As Integer
Dim s As String

Sub Swap(ByRef a, ByRef b As Integer)
  Dim tmp As Integer
  tmp = a : a = b : b = tmp
End Sub

Sub AddTo(ByRef total As Integer, ByVal n As Integer)
  total = total + n
  n = 0
End Sub

Sub Twice(ByRef text As String)
  text = text + text
End Sub

x = 1 : y = 2
Swap(x, y)
Print(IntToStr(x) + " " + IntToStr(y))
t = 0 : i = 1
While i <= 3
  AddTo(t, i)
  i = i + 1
Wend
Print(t)
s = "ab"
Twice(s) : Twice(s)
Print(s)
