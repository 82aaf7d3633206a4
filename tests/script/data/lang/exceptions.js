// Exceptions caught, re-raised and cleaned up after
var n;

function Check(n)
{
  if (n > 2) RaiseException("too big: " + IntToStr(n));
  Print("ok " + IntToStr(n));
}

function Inner(n)
{
  try
  {
    Check(n);
  }
  except
  {
    Print("inner caught " + ExceptionMessage);
    RaiseException("again: " + ExceptionMessage);
  }
}

try
{
  Inner(1);
  Inner(5);
  Print("not reached");
}
except
{
  Print("outer caught " + ExceptionClassName + ": " + ExceptionMessage);
}
try
{
  try
  {
    n = 0;
    Print(10 div n);
  }
  finally
  {
    Print("finally runs");
  }
}
except
{
  Print(ExceptionClassName + ": " + ExceptionMessage);
}
try { StrToInt("abc"); } except { Print(ExceptionClassName + ": " + ExceptionMessage); }
