#pragma once
// The C++Script language: its grammar is carried as XML and registered under "C++Script".

#include "zs_grammars.h"
