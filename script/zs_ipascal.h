#pragma once
// The PascalScript language: its grammar is carried as XML and registered under "PascalScript".

#include "zs_grammars.h"
