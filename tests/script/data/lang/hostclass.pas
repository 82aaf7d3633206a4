{ A host class used from the script }
var o: TDemoItem; i: Integer;
begin
  o := TDemoItem.Create(nil);
  o.Caption := 'box';
  o.Count := 4;
  Print(o.Caption + ' ' + IntToStr(o.Count));
  Print(o.Sum(1, 2));
  for i := 1 to 3 do o[i] := 'item' + IntToStr(i);
  Print(o[2]);
  o.Values['k'] := 9;
  Print(o.Values['k'] + 1);
  Print(o.Area);
  i := 21;
  o.Grow(i);
  Print(i);
  Demo.Caption := 'global';
  Print(Demo.Caption);
  o.Free;
end.
