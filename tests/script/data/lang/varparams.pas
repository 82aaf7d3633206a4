{ Procedures with var parameters }
var x, y, t, i: Integer; s: String;

procedure Swap(var a, b: Integer);
var tmp: Integer;
begin
  tmp := a; a := b; b := tmp;
end;

procedure AddTo(var total: Integer; n: Integer);
begin
  total := total + n;
  n := 0;
end;

procedure Twice(var text: String);
begin
  text := text + text;
end;

begin
  x := 1; y := 2;
  Swap(x, y);
  Print(IntToStr(x) + ' ' + IntToStr(y));
  t := 0; i := 1;
  while i <= 3 do
  begin
    AddTo(t, i);
    i := i + 1;
  end;
  Print(t);
  s := 'ab';
  Twice(s); Twice(s);
  Print(s);
end.
