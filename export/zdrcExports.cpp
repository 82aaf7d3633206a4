#include "zdrcExports.h"

#include "Exceptions.h"
#include "zdRes.h"

#include <cstddef>

namespace zd {

struct ExportResource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};
extern const ExportResource kExportResources[];
extern const int kExportResourceCount;

QByteArray exportResource(const QString& Name)
{
    for (int i = 0; i < kExportResourceCount; ++i)
        if (Name == QLatin1String(kExportResources[i].name))
            return QByteArray::fromRawData(reinterpret_cast<const char*>(kExportResources[i].data),
                                           qsizetype(kExportResources[i].size));
    throw plat::EResNotFound(QStringLiteral("Resource %1 not found").arg(Name));
}

void startExportsResourcesUnit()
{
    static const bool registered = [] {
        zdGetResources()->LoadFromString(exportResource(QStringLiteral("zdExports")));
        return true;
    }();
    (void)registered;
}

void endExportsResourcesUnit() {}

} // namespace zd
