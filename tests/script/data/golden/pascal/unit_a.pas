procedure FromA;
begin
end;
begin
end.
