Try
  Risky(1)
Finally
  Cleanup
End Try
Try
  x = 1 \ 0
Catch
  ShowMessage("failed")
End Try
With Memo1.Font
  Name = "Arial"
End With
Exit
