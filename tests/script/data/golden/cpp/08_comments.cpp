// line comment
/* block
   comment */
int x; // trailing
{
  x = 1; /* inline */ x += 2;
  x -= 3; x /= 4;
}
