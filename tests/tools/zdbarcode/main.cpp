#include "zdbarcode.h"

int main(int argc, char** argv)
{
    // Images and the platform canvas need no window system.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return zdbarcodeMain(args);
}
