// A function called in a loop, integer division
var i, total;

function Square(x)
{
  return x * x;
}

total = 0;
for (i = 1; i <= 4; i++)
  total = total + Square(i);
Print(IntToStr(total) + ";" + IntToStr(7 div 2));
