var i: Integer;
begin
  i := 1;
  if i = 1 then
    Print('x')
  i := 2;
end.
