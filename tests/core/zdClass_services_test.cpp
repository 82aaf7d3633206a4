#include "zdClass_services.h"

#include "Streams.h"
#include "TypeInfo.h"
#include "zdCrypt.h"
#include "zdToolRunner.h"
#include "zdZLib.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A second compressor class, to tell the class references apart.
class TStoreCompressor : public TzdCustomCompressor {
    PLAT_CLASS(TStoreCompressor, TzdCustomCompressor)
public:
    explicit TStoreCompressor(plat::TComponent* AOwner) : TzdCustomCompressor(AOwner, StaticClass()) {}
    bool Decompress(plat::TStream&) override { return false; }
    void Compress(plat::TStream& Dest) override { Dest.CopyFrom(WorkStream(), 0); }
};

} // namespace

PLAT_DEFINE_CLASS(TStoreCompressor, c) {}

TEST(zdCompressorClass, DestroyingPutsBackTheClassReplacedAtCreation)
{
    struct Case {
        bool reverseOrder;
        const plat::TClass* expected;
    };
    const Case cases[] = {
        {true, nullptr},
        {false, TStoreCompressor::StaticClass()},
    };
    for (const Case& c : cases) {
        zdCompressorClass = nullptr;
        auto* first = new TStoreCompressor(nullptr);
        EXPECT_EQ(zdCompressorClass, TStoreCompressor::StaticClass());
        auto* second = new TzdGZipCompressor(nullptr);
        EXPECT_EQ(zdCompressorClass, TzdGZipCompressor::StaticClass());
        if (c.reverseOrder) {
            delete second;
            delete first;
        } else {
            delete first;
            delete second;
        }
        EXPECT_EQ(zdCompressorClass, c.expected) << "reverse order " << c.reverseOrder;
    }
    zdCompressorClass = nullptr;
}

TEST(zdCompressorClass, TemporaryCompressorOfTheRegisteredClassLeavesItInPlace)
{
    zdCompressorClass = nullptr;
    {
        TzdGZipCompressor owned(nullptr); // the report list's component
        std::unique_ptr<plat::TComponent> temporary(zdCompressorClass->CreateComponent(nullptr));
        auto* compressor = dynamic_cast<TzdCustomCompressor*>(temporary.get());
        ASSERT_NE(compressor, nullptr);
        compressor->IsTemplate = true;
        compressor->WorkStream().writeBytes("<TzdReport/>");
        plat::TMemoryStream packed;
        compressor->Compress(packed);
        EXPECT_EQ(packed.bytes().left(2), QByteArray("\x1f\x8b"));
        temporary.reset();
        EXPECT_EQ(zdCompressorClass, TzdGZipCompressor::StaticClass());
    }
    EXPECT_EQ(zdCompressorClass, nullptr);
}

TEST(zdCrypterClass, EncryptedTemplatesStayReadableAfterTheCrypterIsFreed)
{
    zdCrypterClass = nullptr;
    delete new TzdCrypt(nullptr);
    ASSERT_EQ(zdCrypterClass, TzdCrypt::StaticClass());

    plat::TMemoryStream plain(QByteArray("<TzdReport/>"));
    plat::TMemoryStream encrypted;
    zdEncryptStream(plain, encrypted, QStringLiteral("heslo"));
    encrypted.SetPosition(0);
    std::unique_ptr<plat::TComponent> temporary(zdCrypterClass->CreateComponent(nullptr));
    auto* crypter = dynamic_cast<TzdCustomCrypter*>(temporary.get());
    ASSERT_NE(crypter, nullptr);
    EXPECT_TRUE(crypter->Decrypt(encrypted, QStringLiteral("heslo")));
    EXPECT_EQ(crypter->WorkStream().readAll(), QByteArray("<TzdReport/>    "));
}

// A template saved compressed and encrypted, as the report does: the XML is
// encrypted, the result compressed; loading undoes the compression first.
TEST(zdReportServices, EncryptedCompressedTemplateRoundTripsAndOutsideToolsReadIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath("faktura.zd3");
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TzdReport Name=\"Report\"/>";
    const QString password = QStringLiteral("tajné");
    {
        TzdGZipCompressor compressor(nullptr);
        compressor.IsTemplate = true;
        TzdCrypt crypter(nullptr);
        crypter.WorkStream().writeBytes(xml);
        crypter.Encrypt(compressor.WorkStream(), password);
        plat::TFileStream file(fileName, plat::fmCreate);
        compressor.Compress(file);
    }
    const QByteArray padded = xml + QByteArray((16 - xml.size() % 16) % 16, ' ');

    if (zdtest::toolAvailable("gzip") && zdtest::toolAvailable("openssl")) {
        const auto unpacked = zdtest::runTool("gzip", {"-dc", fileName});
        ASSERT_EQ(unpacked.exitCode, 0);
        ASSERT_TRUE(unpacked.out.startsWith("rij"));
        const auto decrypted =
            zdtest::runTool("openssl",
                            {"enc", "-d", "-aes-128-cbc", "-nopad", "-K", zdPasswordToKey(password), "-iv",
                             QString(32, u'0')},
                            unpacked.out.mid(3));
        ASSERT_EQ(decrypted.exitCode, 0) << decrypted.err.toStdString();
        EXPECT_EQ(decrypted.out, padded);
    }

    TzdGZipCompressor compressor(nullptr);
    compressor.IsTemplate = true;
    TzdCrypt crypter(nullptr);
    plat::TFileStream file(fileName, plat::fmOpenRead);
    ASSERT_TRUE(compressor.Decompress(file));
    ASSERT_TRUE(crypter.Decrypt(compressor.WorkStream(), password));
    EXPECT_EQ(crypter.WorkStream().readAll(), padded);
}
