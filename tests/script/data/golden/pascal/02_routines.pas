procedure Swap(var a, b: Integer);
var
  t: Integer;
begin
  t := a; a := b; b := t;
end;

function Sum(const x: Integer; y: Integer = 2): Integer;
begin
  Result := x + y;
  Exit;
end;

procedure NoParams;
begin
end;

begin
  Swap(i, j);
  NoParams;
  i := Sum(1);
end.
