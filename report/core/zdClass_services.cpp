#include "zdClass_services.h"

#include "Files.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdUtils.h"

const plat::TClass* zdCompressorClass = nullptr;
const plat::TClass* zdCrypterClass = nullptr;

PLAT_DEFINE_CLASS(TzdCustomCompressor, c) {}

TzdCustomCompressor::TzdCustomCompressor(plat::TComponent* AOwner, const plat::TClass* ownClass)
    : plat::TComponent(AOwner)
    , m_replacedClass(zdCompressorClass)
{
    zdCompressorClass = ownClass;
}

TzdCustomCompressor::~TzdCustomCompressor()
{
    zdCompressorClass = m_replacedClass;
    closeWorkStream();
}

void TzdCustomCompressor::closeWorkStream()
{
    m_workStream.reset(); // closes the file before it is deleted
    if (!m_workFileName.isEmpty()) {
        plat::DeleteFile(m_workFileName);
        m_workFileName.clear();
    }
}

void TzdCustomCompressor::OpenWorkStream(bool useFileCache, const QString& tempDir)
{
    closeWorkStream();
    if (IsTemplate || !useFileCache) {
        m_workStream = std::make_unique<plat::TMemoryStream>();
        return;
    }
    // Prepared pages can be large: they are cached in a file, not in memory.
    m_workFileName = zdCreateTempFileIn(tempDir);
    m_workStream = std::make_unique<plat::TFileStream>(m_workFileName, plat::fmOpenReadWrite);
}

plat::TStream& TzdCustomCompressor::WorkStream()
{
    if (!m_workStream)
        OpenWorkStream();
    return *m_workStream;
}

PLAT_DEFINE_CLASS(TzdCustomCrypter, c) {}

TzdCustomCrypter::TzdCustomCrypter(plat::TComponent* AOwner, const plat::TClass* ownClass)
    : plat::TComponent(AOwner)
{
    zdCrypterClass = ownClass;
}

TzdCustomCrypter::~TzdCustomCrypter() = default;

void TzdCustomCrypter::OpenWorkStream()
{
    m_workStream = std::make_unique<plat::TMemoryStream>();
}

plat::TStream& TzdCustomCrypter::WorkStream()
{
    if (!m_workStream)
        OpenWorkStream();
    return *m_workStream;
}
