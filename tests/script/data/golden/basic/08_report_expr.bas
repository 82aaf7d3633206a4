Memo1.Text = <zdDBDataset1."kod">
If <Page#> > 1 Then Memo2.Text = "Page " & <Page#>
