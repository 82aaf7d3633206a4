for (i = 0; i < 10; i++) total += i;
for (var k = 0; k < 3; ) k++;
for (; 1; ) { break; }
while (i < 100) i *= 2;
do { i--; continue; } while (i > 0);
do i -= 1; while (i);
