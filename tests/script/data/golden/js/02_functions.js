function Swap(&a, &b)
{
  var t = a;
  a = b;
  b = t;
}

function Sum(x, y) { return x + y; }
function Nothing() { return; }

Swap(i, j);
i = Sum(1, 2)
