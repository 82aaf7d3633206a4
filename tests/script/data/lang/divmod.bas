' Integer division and modulo
Dim n, digits As Integer
Print(IntToStr(17 \ 5) + " " + IntToStr(17 Mod 5))
Print(IntToStr(-17 \ 5) + " " + IntToStr(-17 Mod 5))
Print(100 \ 7 * 7 + 100 Mod 7)
n = 12345
digits = 0
While n > 0
  digits = digits + n Mod 10
  n = n \ 10
Wend
Print(digits)
