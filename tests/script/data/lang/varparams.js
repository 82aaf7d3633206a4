// Procedures with var parameters
var x, y, t, i, s;

function Swap(&a, &b)
{
  var tmp;
  tmp = a; a = b; b = tmp;
}

function AddTo(&total, n)
{
  total = total + n;
  n = 0;
}

function Twice(&text)
{
  text = text + text;
}

x = 1; y = 2;
Swap(x, y);
Print(IntToStr(x) + " " + IntToStr(y));
t = 0; i = 1;
while (i <= 3)
{
  AddTo(t, i);
  i = i + 1;
}
Print(t);
s = "ab";
Twice(s); Twice(s);
Print(s);
