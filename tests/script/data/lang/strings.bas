' Building and taking apart texts
Dim s As String
Dim i As Integer
s = ""
For i = 1 To 5
  If s <> "" Then s = s & ","
  s = s & "a" & IntToStr(i)
Next
Print(s)
Print(Length(s))
Print(Copy(s, 4, 5))
Print(UpperCase(s[1]) + s[2])
Print(Pos("a3", s))
s[1] = "b"
Print(s + "!")
