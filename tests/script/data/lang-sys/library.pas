{ System functions with arrays of arguments and var parameters }
var y, m, d: Word; n: Integer; s: String; a: Variant;
begin
  Print(Format('%d|%s|%.1f', [42, 'x', 2.25]));
  Print(FormatFloat('000.00', 3.14159));
  DecodeDate(EncodeDate(2024, 12, 31), y, m, d);
  Print(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(d));
  n := 5; Inc(n, 10); Dec(n); Print(n);
  s := 'abcdef'; Delete(s, 2, 2); Insert('XY', s, 1); Print(s);
  SetLength(s, 3); Print(s);
  a := VarArrayCreate([0, 4], varInteger);
  a[4] := 7; SetLength(a, 2); Print(Length(a));
  Print(NameCase('pETR nOVÁK') + ' ' + Uppercase('čš') + ' ' + Chr(65) + IntToStr(Ord('B')));
  Print(Round(2.5) + Round(3.5) + Trunc(-1.7));
end.
