if (a > 0) b = 1; else if (a < 0) b = -1; else b = 0;
switch (c) {
  case 1: d = "one";
  case 2, 3: { d = "few"; break; }
  case 4..9: d = "many";
  default: d = "other";
}
if (x) {} else {}
