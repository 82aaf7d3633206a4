program Declarations;
const
  Max = 100;
  Name = 'Sorvamet';
  Mask = $FF;
var
  i, j: Integer;
  s: String = 'start';
  f: Extended = 1.5e3;
  grid: array[1..3, 0..4] of Integer;
  list: array[10] of Variant;
  open: array of String;
begin
end.
