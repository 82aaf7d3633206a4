For i = 1 To 10
  total += i
Next
For i = 10 To 0 Step -2
  If i = 4 Then Continue
  If i = 2 Then Break
Next
While i < 100
  i *= 2
Wend
Do
  i -= 1
Loop Until i <= 0
Do
  i /= 2
Loop While i > 1
