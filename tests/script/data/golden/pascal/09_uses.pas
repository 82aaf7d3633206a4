uses 'unit_a.pas', 'unit_b.pas', 'unit_a.pas';
begin
  FromA;
  FromB;
end.
