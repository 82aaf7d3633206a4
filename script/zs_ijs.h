#pragma once
// The JScript language: its grammar is carried as XML and registered under "JScript".

#include "zs_grammars.h"
