// Arrays of one and two dimensions
int a[5], g[3][3];
int i, j, sum;
{
  for (i = 0; i <= 4; i++) a[i] = (i + 1) * 3;
  sum = 0;
  for (i = 0; i <= 4; i++) sum = sum + a[i];
  Print(sum);
  Print(a[0] + a[4]);
  Print(Length(a));
  for (i = 0; i <= 2; i++)
    for (j = 0; j <= 2; j++)
      g[i][j] = i * 3 + j;
  Print(g[2][1]);
  a[2] = a[2] * 10;
  Print(a[2]);
}
