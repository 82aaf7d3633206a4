// line comment
/* block
   comment */
x = 1; /* inline */ x += 2; // trailing
Var1 = 5;
