#pragma once
// The zdbarcode tool as a function, so that tests can draw many symbols the
// way the tool does without starting it once per symbol.

#include <QStringList>

// args[0] is the program's name; returns the tool's exit code.
int zdbarcodeMain(const QStringList& args);

// The 2D symbols (zdbarcode2d.cpp): -1 when the type is not one of them.
int zdbarcode2d(const QStringList& args);
