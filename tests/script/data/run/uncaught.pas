{ An exception that leaves the script: the output so far stays }
var s: String;
begin
  s := 'abc';
  Print('before');
  s[4] := 'd';
  Print('not reached');
end.
