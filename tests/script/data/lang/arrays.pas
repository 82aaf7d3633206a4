{ Arrays of one and two dimensions }
var a: array[0..4] of Integer;
    g: array[0..2, 0..2] of Integer;
    i, j, sum: Integer;
begin
  for i := 0 to 4 do a[i] := (i + 1) * 3;
  sum := 0;
  for i := 0 to 4 do sum := sum + a[i];
  Print(sum);
  Print(a[0] + a[4]);
  Print(Length(a));
  for i := 0 to 2 do
    for j := 0 to 2 do
      g[i, j] := i * 3 + j;
  Print(g[2, 1]);
  a[2] := a[2] * 10;
  Print(a[2]);
end.
