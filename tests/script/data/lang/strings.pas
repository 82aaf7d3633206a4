{ Building and taking apart texts }
var s: String; i: Integer;
begin
  s := '';
  for i := 1 to 5 do
  begin
    if s <> '' then s := s + ',';
    s := s + 'a' + IntToStr(i);
  end;
  Print(s);
  Print(Length(s));
  Print(Copy(s, 4, 5));
  Print(UpperCase(s[1]) + s[2]);
  Print(Pos('a3', s));
  s[1] := 'b';
  Print(s + '!');
end.
