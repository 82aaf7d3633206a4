var i, j = 5;
var s = "a\tb\n", grid[3, 4], list[10];
var h = 0x1F;
