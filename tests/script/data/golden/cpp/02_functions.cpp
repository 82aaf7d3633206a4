void Swap(int &a, int &b)
{
  int t = a;
  a = b;
  b = t;
}

int Sum(int x, int y = 2)
{
  return x + y;
}

bool Empty() { return; }

{
  Swap(i, j);
  i = Sum(1);
}
