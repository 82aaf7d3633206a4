{ Exceptions caught, re-raised and cleaned up after }
var n: Integer;

procedure Check(n: Integer);
begin
  if n > 2 then RaiseException('too big: ' + IntToStr(n));
  Print('ok ' + IntToStr(n));
end;

procedure Inner(n: Integer);
begin
  try
    Check(n);
  except
    Print('inner caught ' + ExceptionMessage);
    RaiseException('again: ' + ExceptionMessage);
  end;
end;

begin
  try
    Inner(1);
    Inner(5);
    Print('not reached');
  except
    Print('outer caught ' + ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    try
      n := 0;
      Print(10 div n);
    finally
      Print('finally runs');
    end;
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    StrToInt('abc');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.
