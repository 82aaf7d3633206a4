a = 1
b = 2 c = 3
Print(a)
{ x = 1 y = 2 }
