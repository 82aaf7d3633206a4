{
  for (i = 0; i < 10; i++) total += i;
  for (int k = 0, m = 1; k < m; k++, m--) ;
  for (; 1; ) { break; }
  while (i < 100) i *= 2;
  do { i--; continue; } while (i > 0);
  do i -= 1; while (i);
}
