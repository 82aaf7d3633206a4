{ Arrays, string characters and sets }
var a: array[1..5] of Integer;
    m: array[0..2, 1..2] of String;
    z: array[3] of Integer;
    i, j, sum: Integer;
    s: String;
    c: Char;
    v: Variant;

{ array parameters: by value the caller's array stays, by reference it changes }
function Total(x: array of Integer): Integer;
var k: Integer;
begin
  for k := 1 to 5 do Result := Result + x[k];
  x[1] := 100;
end;

procedure Fill(var x: array of Integer);
begin
  x[2] := 50;
end;

function FirstTwo(x: Variant): Integer;
begin
  Result := x[1] + x[2];
end;

begin
  for i := 1 to 5 do a[i] := i * i;
  sum := 0;
  for i := 1 to 5 do sum := sum + a[i];
  Print(sum);
  for i := 0 to 2 do
    for j := 1 to 2 do
      m[i, j] := IntToStr(i) + '/' + IntToStr(j);
  Print(m[2, 1] + ' ' + m[0, 2]);
  z[0] := 7; z[2] := 9; Print(z[0] + z[2]);
  Print(Length(a));
  s := 'hello';
  s[1] := 'J';
  Print(s);
  c := s[5];
  Print(c);
  s := '';
  for i := 1 to 3 do s := s + Chr(Ord('a') + i);
  Print(s);
  i := 4;
  if i in [1, 3..5, 9] then Print('member');
  if not (6 in [1, 3..5, 9]) then Print('not member');
  Print(Total(a));
  Print(a[1]);
  Fill(a);
  Print(a[2]);
  v := a;
  Print(FirstTwo(v));
  a[9] := 1;
end.
