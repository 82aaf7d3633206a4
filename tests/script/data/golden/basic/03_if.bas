If a > 0 Then b = 1 : c = 2
If a > 0 Then
  b = 1
ElseIf a < 0 Then
  b = -1
Else
  b = 0
End If
If x Then
End If
If x Then
Else
  y = 1
End If
