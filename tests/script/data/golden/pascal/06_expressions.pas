begin
  a := -b * c / d div e mod f and g shl 2 shr 1;
  a := (b + c - d) or e xor f;
  ok := not (a >= b) and (c <> d) or (e <= f);
  ok := (x in [1, 3, 5..7]) and (Obj is TComponent);
  p := @Handler;
  v := Items[i, j].Names['key'].Value(1, 'two');
  h := $1F + 0.25 + 1e-5 + 12;
  s := 'it''s' + #13#10 + 'x'#9'y';
end.
