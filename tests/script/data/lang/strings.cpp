// Building and taking apart texts
string s;
int i;
{
  s = "";
  for (i = 1; i <= 5; i++)
  {
    if (s != "") s = s + ",";
    s = s + "a" + IntToStr(i);
  }
  Print(s);
  Print(Length(s));
  Print(Copy(s, 4, 5));
  Print(UpperCase(s[1]) + s[2]);
  Print(Pos("a3", s));
  s[1] = "b";
  Print(s + "!");
}
