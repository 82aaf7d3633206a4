{ Integer division and modulo }
var n, digits: Integer;
begin
  Print(IntToStr(17 div 5) + ' ' + IntToStr(17 mod 5));
  Print(IntToStr(-17 div 5) + ' ' + IntToStr(-17 mod 5));
  Print(100 div 7 * 7 + 100 mod 7);
  n := 12345; digits := 0;
  while n > 0 do
  begin
    digits := digits + n mod 10;
    n := n div 10;
  end;
  Print(digits);
end.
