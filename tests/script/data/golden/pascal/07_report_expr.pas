begin
  Memo1.Text := <zdDBDataset1."kod">;
  if <Page#> > 1 then
    Memo2.Text := 'Page ' + <Page#> + ' of <' + <TotalPages#>;
  v := <Copy('a>b', 1, 2)> + <[Date]>;
end.
