{ The platform adapters' edge cases }
var ini: TIniFile; mem: TMemIniFile; sl: TStringList; ms: TMemoryStream;
    item, child: TzsXMLItem; s, answer: String; n: Integer;
begin
  sl := TStringList.Create;
  ini := TIniFile.Create('edges.ini');
  ini.WriteString('List', 'Items7', 'old');
  sl.Add('a'); sl.Add('b'); sl.Add('c');
  ini.WriteTStrings('List', sl, True);
  ini.WriteString('Kept', 'Items5', 'stays');
  ini.WriteTStrings('Kept', sl, False);
  Print(ini.ReadInteger('List', 'Count', -1));
  Print(ini.ValueExists('List', 'Items7'));
  Print(ini.ReadString('Kept', 'Items5', ''));
  sl.Clear;
  ini.ReadTStrings('Kept', sl);
  Print(sl.CommaText);
  ini.ReadTStrings('Nothing', sl, True);
  Print(sl.Count);
  ini.WriteInteger('Values', 'a', 1);
  ini.WriteInteger('Values', 'b', 2);
  sl.Add('first');
  ini.ReadSectionValuesEx('Values', sl);
  Print(sl.CommaText);

  ms := TMemoryStream.Create;
  ini.SaveIniFileToStream(nil);
  mem := TMemIniFile.Create('');
  mem.WriteString('M', 'k', 'v');
  mem.SaveIniFileToStream(ms);
  Print(ms.Size);
  ini.Free;
  ini := TIniFile.Create('missing.ini');
  try
    ini.SaveIniFileToStream(ms);
  except
    Print(ExceptionClassName);
  end;

  ms.Clear;
  ms.Write('abcd', 4);
  ms.Position := 0;
  n := ms.Read(s, 10);
  Print(IntToStr(n) + ' [' + s + ']');
  ms.Position := 1;
  n := ms.Read(s, -5);
  Print(IntToStr(n) + ' [' + s + ']');
  n := ms.Read(s, 2000000000);
  Print(IntToStr(n) + ' [' + s + ']');

  Print(MessageDlg('Sure?', mtConfirmation, mbYes + mbNo, 0));
  Print(MessageDlg('Sure?', mtConfirmation, mbYes + mbNo, 0));
  answer := 'typed';
  Print(InputQuery('Title', 'Name', answer));
  Print(answer);

  try
    TStringList(ms).Add('x');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  item := TzsXMLItem.Create;
  child := item.Add;
  child.Name := 'child';
  try
    child.Free;
  except
    Print(ExceptionClassName);
  end;
  Print(item.Find('child'));
  Print(sl.ClassName);
  item.Free;
  ms.Free;
  mem.Free;
  ini.Free;
  sl.Free;
end.
