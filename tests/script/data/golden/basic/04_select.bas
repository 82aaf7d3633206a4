Select Case c
  Case 1:
    d = "one"
  Case 2, 3:
    d = "few"
  Case 4..9:
    d = "many"
  Case Else:
    d = "other"
End Select
