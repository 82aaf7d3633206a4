begin
  try
    Risky(1);
    Other
  finally
    Cleanup;
  end;
  try
    x := 1 div 0;
  except
    ShowMessage('failed');
  end;
  with Memo1, Memo1.Font do
    Text := Name;
end.
