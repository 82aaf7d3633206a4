{ Procedures and functions: parameters, results, recursion }
var a, b, total: Integer; s: String;

function Fact(n: Integer): Integer;
begin
  if n <= 1 then Result := 1 else Result := n * Fact(n - 1);
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2);
end;

procedure Swap(var x, y: Integer);
var t: Integer;
begin
  t := x; x := y; y := t;
end;

{ a var parameter changed by inner calls reaches every caller }
function SumDown(n: Integer; var acc: Integer): Integer;
begin
  acc := acc + n;
  if n = 0 then Result := 0 else Result := n + SumDown(n - 1, acc);
end;

procedure Scale(var x: Integer; factor: Integer = 10);
begin
  x := x * factor;
end;

function NoResultInt: Integer; begin end;
function NoResultStr: String; begin end;
function NoResultBool: Boolean; begin end;

function Counter: Integer;
var c: Integer = 100;
begin
  c := c + 1;
  Result := c;
end;

function Join(a: String; b: String = '-'; c: String = '!'): String;
begin
  Result := a + b + c;
end;

procedure Nested;
  function Inner(x: Integer): Integer;
  begin Result := x + a; end;
begin
  Print(Inner(1));
end;

begin
  Print(Fact(10));
  Print(Fib(15));
  a := 1; b := 2; Swap(a, b); Print(IntToStr(a) + ' ' + IntToStr(b));
  total := 0; Print(SumDown(4, total)); Print(total);
  a := 3; Scale(a); Print(a); Scale(a, 2); Print(a);
  Print(NoResultInt); Print('[' + NoResultStr + ']'); Print(NoResultBool);
  Print(Counter); Print(Counter);
  Print(Join('a')); Print(Join('a', '+')); Print(Join('a', '+', '?'));
  a := 5; Nested;
  a := 1; Inc(a); Inc(a, 5); Dec(a, 2); Print(a);
end.
