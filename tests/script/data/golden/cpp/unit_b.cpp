#include "unit_a.cpp"
void FromB() { }
{
}
