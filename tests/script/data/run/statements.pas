{ Every statement kind and the loop flags }
var i, j, n: Integer; s: String;
procedure Finally1;
begin
  try
    Print('protected');
    exit;
    Print('not reached');
  finally
    Print('finally runs');
  end;
  Print('after try: not reached');
end;
procedure BreakInFinally;
begin
  for i := 1 to 3 do
    try
      if i = 2 then break;
      Print('body ' + IntToStr(i));
    finally
      Print('finally ' + IntToStr(i));
      Print('whole');
    end;
  Print('loop left at ' + IntToStr(i));
end;
begin
  { if }
  if 1 < 2 then Print('then') else Print('else');
  if 1 > 2 then Print('then') else Print('else');
  { case with ranges and else }
  for i := 0 to 6 do
    case i of
      1: Print('one');
      2, 3: Print('two or three');
      4..5: Print('four to five');
    else
      Print('other ' + IntToStr(i));
    end;
  { for: fixed count, empty range, downto }
  n := 3;
  for i := 1 to n do begin n := 10; Print(i); end;
  i := 42;
  for i := 1 to 0 do Print('never');
  Print(i);
  for i := 3 downto 1 do Print(i);
  { while with break inside for }
  for i := 1 to 2 do begin
    j := 0;
    while True do begin
      j := j + 1;
      if j = 3 then break;
    end;
    Print(IntToStr(i) + ':' + IntToStr(j));
  end;
  { repeat with continue still tests the condition }
  j := 0;
  repeat
    j := j + 1;
    if j < 3 then continue;
    Print('repeat ' + IntToStr(j));
  until j >= 3;
  { continue in while }
  j := 0; s := '';
  while j < 5 do begin
    j := j + 1;
    if j mod 2 = 0 then continue;
    s := s + IntToStr(j);
  end;
  Print(s);
  { try except }
  try
    RaiseException('boom');
    Print('not reached');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    i := 1 div 0;
  except
    Print(ExceptionClassName);
  end;
  Print('after except');
  Finally1;
  BreakInFinally;
  { nested try: finally inside except }
  try
    try
      RaiseException('inner');
    finally
      Print('inner finally');
    end;
  except
    Print('caught ' + ExceptionMessage);
  end;
  { compound statement and empty statements }
  begin ; ; Print('compound'); end;
  { exit from the main block }
  Print('before exit');
  exit;
  Print('not reached');
end.
