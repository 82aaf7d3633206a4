{ Host classes registered from C++: published and event-backed properties,
  methods, constructors, default and indexed properties, events, enumerations }
var o, p: TDemoItem; i, n: Integer; v: Variant;

procedure Changed(Sender: TObject);
begin
  n := n + 1;
  Print('changed: ' + TDemoItem(Sender).Caption);
end;

procedure Other(Sender: TObject);
begin
  Print('other handler');
end;

begin
  o := TDemoItem.Create(nil);
  o.Caption := 'first';
  o.Count := 4;
  o.Ratio := 0.25;
  o.Enabled := True;
  Print(o.Caption + ' ' + IntToStr(o.Count));
  Print(o.Ratio);
  Print(o.Enabled);
  Print(o.Sum(1, 2));
  Print(o.Area);
  o.Kind := dkLarge;
  Print(o.Kind = dkLarge);
  o.Style := dsBold or dsItalic;
  Print(o.Style);
  { default and indexed properties }
  o[1] := 'one';
  o.Items[2] := 'two';
  Print(o[1] + ' ' + o.Items[2]);
  o.Values['x'] := 42;
  Print(o.Values['x']);
  { a var argument through a host method }
  i := 21; o.Grow(i); Print(i);
  { object properties and chains }
  p := TDemoItem.Create(o);
  p.Caption := 'second';
  o.Child := p;
  Print(o.Child.Caption);
  o.Child.Caption := 'renamed';
  Print(p.Caption);
  { with }
  with o do begin
    Caption := 'via with';
    Print(Caption + ' ' + IntToStr(Count));
  end;
  with o, p do Print(Caption);
  { events: assigning twice replaces the bridge, nil removes it }
  n := 0;
  o.OnChange := 'Changed';
  o.Change;
  o.OnChange := 'Changed';
  o.Change;
  Print(n);
  o.OnChange := 'Other';
  o.Change;
  o.OnChange := nil;
  o.Change;
  { a global object, a late-bound member of a Variant }
  Demo.Caption := 'global';
  v := Demo;
  Print(v.Caption);
  v.Count := 9;
  Print(Demo.Count);
  Print(o.ClassName);
  Print(o is TDemoItem);
  o.Free;
  Print(p.Caption);
end.
