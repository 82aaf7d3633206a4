// Integer division and modulo
int n, digits;
{
  Print(IntToStr(17 div 5) + " " + IntToStr(17 % 5));
  Print(IntToStr(-17 div 5) + " " + IntToStr(-17 % 5));
  Print(100 div 7 * 7 + 100 % 7);
  n = 12345; digits = 0;
  while (n > 0)
  {
    digits = digits + n % 10;
    n = n div 10;
  }
  Print(digits);
}
