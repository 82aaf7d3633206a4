begin
  for i := 1 to 10 do
    Total := Total + i;
  for i := 10 downto 1 do
  begin
    if i = 5 then Continue;
    if i = 2 then Break;
  end;
  while i < 100 do i := i * 2;
  repeat
    i := i - 1;
    j := j + 1
  until i <= 0;
end.
