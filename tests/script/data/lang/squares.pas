{ A function called in a loop, integer division }
var i, total: Integer;

function Square(x: Integer): Integer;
begin
  Result := x * x;
end;

begin
  total := 0;
  for i := 1 to 4 do
    total := total + Square(i);
  Print(IntToStr(total) + ';' + IntToStr(7 div 2));
end.
