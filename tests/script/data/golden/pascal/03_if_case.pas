begin
  if a > 0 then
    b := 1
  else if a < 0 then
    b := -1
  else
    b := 0;
  case c of
    1: d := 'one';
    2, 3: d := 'few';
    4..9: d := 'many';
  else
    d := 'other';
  end;
  case c of 'a'..'z', 'A'..'Z': Letter; end
end.
