{
  Return = 1;
  While = 2;
  if (Return == While) Break = 3;
}
