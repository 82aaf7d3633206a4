Memo1.Text = <zdDBDataset1."kod">;
if (<Page#> > 1) Memo2.Text = "Page " + <Page#>;
