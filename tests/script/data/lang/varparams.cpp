// Procedures with var parameters
int x, y, t, i;
string s;

void Swap(int &a, int &b)
{
  int tmp;
  tmp = a; a = b; b = tmp;
}

void AddTo(int &total, int n)
{
  total = total + n;
  n = 0;
}

void Twice(string &text)
{
  text = text + text;
}

{
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
}
