uses 'unit_a.pas';
procedure FromB;
begin
end;
begin
end.
