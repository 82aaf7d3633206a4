' Exceptions caught, re-raised and cleaned up after
Dim n As Integer

Sub Check(n As Integer)
  If n > 2 Then RaiseException("too big: " + IntToStr(n))
  Print("ok " + IntToStr(n))
End Sub

Sub Inner(n As Integer)
  Try
    Check(n)
  Catch
    Print("inner caught " + ExceptionMessage)
    RaiseException("again: " + ExceptionMessage)
  End Try
End Sub

Try
  Inner(1)
  Inner(5)
  Print("not reached")
Catch
  Print("outer caught " + ExceptionClassName + ": " + ExceptionMessage)
End Try
Try
  Try
    n = 0
    Print(10 \ n)
  Finally
    Print("finally runs")
  End Try
Catch
  Print(ExceptionClassName + ": " + ExceptionMessage)
End Try
Try
  StrToInt("abc")
Catch
  Print(ExceptionClassName + ": " + ExceptionMessage)
End Try
