#pragma once
// Readable QString values in test failure messages.

#include "../TestUtil.h"
