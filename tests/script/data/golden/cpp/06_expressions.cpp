{
  a = -b * c / d % e && f << 2 >> 1;
  a = (b + c - d) || e ^ f;
  ok = !(a >= b) && (c != d) || (e <= f) && (g == h);
  ok = (x in [1, 3, 5..7]) && (Obj is TComponent);
  p = &Handler;
  v = Items[i][j].Names["key"].Value(1, "two");
  h = 0x1F + 0.25 + 1e-5 + 12 div 5;
  s = "quote \" and \\ and \x41";
}
