// zdreport resave IN OUT
//
// Loads a template and saves it again: the report objects through the
// serializer, everything else as it was read.

#include "zdreport_template.h"

#include <cstdio>

namespace zdtool {

int resaveCommand(const QString& in, const QString& out)
{
    Template report;
    report.Load(in);
    for (const QString& error : report.Errors())
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(error));
    report.Save(out);
    return 0;
}

} // namespace zdtool
