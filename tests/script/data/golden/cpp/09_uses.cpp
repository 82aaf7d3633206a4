#include "unit_a.cpp", "unit_b.cpp"
{
  FromA();
}
