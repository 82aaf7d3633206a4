#pragma once
// The BasicScript language: its grammar is carried as XML and registered under "BasicScript".

#include "zs_grammars.h"
