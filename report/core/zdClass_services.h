#pragma once
// The compressor and crypter seams of the report document. A report loads
// and saves compressed or encrypted templates without knowing who does the
// work: each concrete compressor or crypter stores its class in a
// process-wide class reference when it is created, and the report makes a
// temporary instance of that class for one load or save.

#include "Objects.h"

#include <QString>

#include <memory>

namespace plat {
class TStream;
} // namespace plat

class TzdReport;

// nullptr until a compressor or crypter component has been created.
extern const plat::TClass* zdCompressorClass;
extern const plat::TClass* zdCrypterClass;

class TzdCustomCompressor : public plat::TComponent {
    PLAT_CLASS(TzdCustomCompressor, plat::TComponent)
public:
    // Puts back the class reference that was current at creation, frees the
    // work stream and deletes its temporary file.
    ~TzdCustomCompressor() override;

    // A memory stream for a template, or when the report's file cache is off
    // (the report passes its EngineOptions.UseFileCache and TempDir); else a
    // new temporary file ("fr...") in tempDir, or in the system's temporary
    // folder when tempDir is empty. Replaces any earlier work stream.
    void OpenWorkStream(bool useFileCache = false, const QString& tempDir = {});
    // The plain data; opened as above with the defaults when not yet open.
    plat::TStream& WorkStream();
    const QString& WorkFileName() const { return m_workFileName; }

    // False when source is not compressed (source stays where it was); else
    // the plain data is in the work stream. Either way the work stream ends
    // at position 0.
    virtual bool Decompress(plat::TStream& Source) = 0;
    // Compresses the whole work stream into dest at its position.
    virtual void Compress(plat::TStream& Dest) = 0;

    bool IsTemplate = false; // a report template rather than prepared pages
    TzdReport* Report = nullptr;

protected:
    // ownClass: the concrete class, stored in zdCompressorClass.
    TzdCustomCompressor(plat::TComponent* AOwner, const plat::TClass* ownClass);

private:
    void closeWorkStream();

    const plat::TClass* m_replacedClass;
    std::unique_ptr<plat::TStream> m_workStream;
    QString m_workFileName;
};

class TzdCustomCrypter : public plat::TComponent {
    PLAT_CLASS(TzdCustomCrypter, plat::TComponent)
public:
    // Leaves zdCrypterClass as it is: encrypted templates stay readable
    // after the component is gone.
    ~TzdCustomCrypter() override;

    void OpenWorkStream(); // a new memory stream
    plat::TStream& WorkStream(); // opened when not yet open

    // False when source is not encrypted (source stays where it was); else
    // the plain data is in the work stream, at position 0 either way.
    virtual bool Decrypt(plat::TStream& Source, const QString& Key) = 0;
    // Encrypts the whole work stream into dest with Key as the password.
    virtual void Encrypt(plat::TStream& Dest, const QString& Key) = 0;

protected:
    TzdCustomCrypter(plat::TComponent* AOwner, const plat::TClass* ownClass);

private:
    std::unique_ptr<plat::TStream> m_workStream;
};
