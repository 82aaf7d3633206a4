{ block comment }
(* another
   comment *)
// line comment
BEGIN
  If A Then Begin
    While B Do Begin
      Repeat C := C + 1 Until C > 10;
    End;
  End; // trailing
  x := ((((1))));
End.
