#include "unit_a.cpp"
#define Max 100
#define Title "Sorvamet"
int i, j = 5;
string s = "a\tb\n", t;
float grid[3][4], row[2, 3];
long arr[10];
{
}
