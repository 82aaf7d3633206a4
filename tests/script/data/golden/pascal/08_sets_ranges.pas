var
  s: array[1 .. 5] of Integer;
begin
  if c in ['a'..'z', '_'] then Ident;
  if c in [ 1 . . 3 ] then Range;
end.
