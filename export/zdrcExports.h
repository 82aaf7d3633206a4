#pragma once
// The exports' data: their string table, registered with the library's
// resources when the unit starts, and the PDF/A resources "Metafile" (the
// XMP template) and "Profile" (the sRGB colour profile).

#include <QByteArray>
#include <QString>

namespace zd {

// Registers the exports' string table once; later calls do nothing.
void startExportsResourcesUnit();
void endExportsResourcesUnit();

// A data resource of the exports by name; EResNotFound when there is none.
QByteArray exportResource(const QString& Name);

} // namespace zd
