// Encrypted PDF files: the cipher and digest against published vectors,
// then whole files opened by qpdf and poppler with and without passwords.
#include "PdfCheck.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pdftest;

namespace pdf_security_test {
namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

struct Rc4Vector {
    const char* key;
    qsizetype offset;
    const char* stream;
};

// RFC 6229, keystream bytes at offsets 0, 16, 240 and 4096.
const Rc4Vector kRfc6229[] = {
    {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
    {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
    {"0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae"},
    {"0102030405", 4096, "ff25b58995996707e51fbdf08b34d875"},
    {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
    {"0102030405060708090a0b0c0d0e0f10", 16, "5248c4959014126a6e8a84f11d1a9e1c"},
    {"0102030405060708090a0b0c0d0e0f10", 4096, "a36a4c301ae8ac13610ccbc12256cacc"},
};

QString exportError(const std::function<void()>& f)
{
    try {
        f();
    } catch (const plat::Exception& e) {
        return e.message();
    }
    return {};
}

// One page with a text, a web link and a bookmark; the filter as set up.
void exportSample(TzdPDFExport& pdf, const QString& file, const QString& text = QStringLiteral("Tajná zpráva 42"))
{
    pdf.FileName = file;
    pdf.Title = QStringLiteral("Šifrovaný dokument");
    ASSERT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = 794;
    page.Height = 1123;
    pdf.OpenPageInfo(page, 0);
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(14);
    TzdShapeView box(nullptr);
    box.SetBounds(40, 40, 600, 40);
    box.SetURL(QStringLiteral("https://example.org/a\\b(c)?q=1"));
    TzdPDFTextParams p;
    p.View = &box;
    p.Font = &font;
    p.Lines = {text};
    p.WordWrap = false;
    pdf.WriteTextObject(p);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
}

Tool qpdfWith(const QString& password, const QStringList& args)
{
    QStringList all = {QStringLiteral("--password=") + password};
    all += args;
    return runTool(QStringLiteral("/usr/bin/qpdf"), all);
}

QString textWith(const QString& file, const QString& password)
{
    return QString::fromUtf8(runTool(QStringLiteral("/usr/bin/pdftotext"),
                                     {QStringLiteral("-upw"), password, QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                      file, QStringLiteral("-")})
                                 .out)
        .trimmed();
}

// qpdf's JSON of the decrypted file.
QJsonObject decryptedJson(const QString& file, const QString& password)
{
    return QJsonDocument::fromJson(qpdfWith(password, {QStringLiteral("--json"), file}).out).object();
}

} // namespace

TEST(PdfSecurity, Rc4MatchesRfc6229)
{
    for (const Rc4Vector& v : kRfc6229) {
        const QByteArray zeros(v.offset + 16, '\0');
        const QByteArray stream = zd::rc4(hex(v.key), zeros).mid(v.offset);
        EXPECT_EQ(stream.toHex(), QByteArray(v.stream)) << v.key << " @" << v.offset;
    }
    // Encrypting twice gives the plain text back.
    const QByteArray text("Attack at dawn");
    EXPECT_EQ(zd::rc4("Secret", text).toHex(), QByteArray("45a01f645fc35b383552544b9bf5"));
    EXPECT_EQ(zd::rc4("Secret", zd::rc4("Secret", text)), text);
    EXPECT_FALSE(exportError([] { zd::rc4(QByteArray(), "x"); }).isEmpty());
}

TEST(PdfSecurity, Md5MatchesRfc1321)
{
    EXPECT_EQ(zd::md5("").toHex(), QByteArray("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(zd::md5("abc").toHex(), QByteArray("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(zd::md5("message digest").toHex(), QByteArray("f96b697d7cb7938d525a2f31aaf161d0"));
}

TEST(PdfSecurity, PasswordsArePaddedCutAndEncodedInPdfDocEncoding)
{
    const QByteArray empty = zd::pdfPadPassword({});
    EXPECT_EQ(empty.toHex(), QByteArray("28bf4e5e4e758a4164004e56fffa01082e2e00b6d0683e802f0ca9fe6453697a"));
    EXPECT_EQ(zd::pdfPadPassword("abc").left(5), QByteArray("abc\x28\xBF"));
    EXPECT_EQ(zd::pdfPadPassword(QByteArray(40, 'x')), QByteArray(32, 'x'));

    struct Case {
        QString text;
        std::optional<QByteArray> bytes;
    } cases[] = {
        {QStringLiteral("heslo"), QByteArray("heslo")},
        {QStringLiteral("café"), QByteArray("caf\xE9")},
        {QStringLiteral("Šž€"), QByteArray("\x97\x9E\xA0")},
        {QStringLiteral("žluťoučký"), std::nullopt}, // ť has no byte
        {QStringLiteral("日本"), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::pdfDocEncode(c.text), c.bytes) << c.text.toStdString();
}

TEST(PdfSecurity, UserEntryEndsWithSixteenZeroBytesAndDependsOnTheFileId)
{
    const QByteArray id = hex("0123456789abcdef0123456789abcdef");
    const zd::PdfSecurityValues a = zd::pdfComputeSecurity("owner", "user", -4, id);
    EXPECT_EQ(a.EncKey.size(), 16);
    EXPECT_EQ(a.OwnerEntry.size(), 32);
    ASSERT_EQ(a.UserEntry.size(), 32);
    EXPECT_EQ(a.UserEntry.right(16), QByteArray(16, '\0'));
    const zd::PdfSecurityValues b = zd::pdfComputeSecurity("owner", "user", -4, hex("ff23456789abcdef0123456789abcdef"));
    EXPECT_NE(a.EncKey, b.EncKey);
    EXPECT_EQ(a.OwnerEntry, b.OwnerEntry); // O does not involve the id
    EXPECT_NE(zd::pdfComputeSecurity("owner", "user", -64, id).EncKey, a.EncKey);
}

TEST(PdfSecurity, EncryptedFilesOpenWithTheirPasswordsOnly)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("plain.pdf"));
    {
        TzdPDFExport plain(nullptr);
        exportSample(plain, plainFile);
    }
    checkPdf(plainFile);
    const QString plainText = textWith(plainFile, QString());
    ASSERT_TRUE(plainText.contains(QStringLiteral("Tajná zpráva 42"))) << plainText.toStdString();

    struct Case {
        const char* name;
        QString owner, user;
        TzdPDFEncBits flags;
        const char* permission; // qpdf's line for the user
    } cases[] = {
        {"both", QStringLiteral("vlastnik"), QStringLiteral("uzivatel"), TzdPDFEncBits{ePrint, eModify, eCopy, eAnnot},
         "extract for any purpose: allowed"},
        {"owner-only", QStringLiteral("vlastnik"), QString(), TzdPDFEncBits{}, "extract for any purpose: not allowed"},
        {"user-only", QString(), QStringLiteral("uzivatel"), TzdPDFEncBits{ePrint}, "print high resolution: allowed"},
        {"copy", QStringLiteral("o"), QStringLiteral("u"), TzdPDFEncBits{eCopy}, "print low resolution: not allowed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        TzdPDFExport pdf(nullptr);
        pdf.OwnerPassword = c.owner;
        pdf.UserPassword = c.user;
        pdf.SetProtectionFlags(c.flags);
        exportSample(pdf, file);
        const QByteArray bytes = fileBytes(file);
        EXPECT_FALSE(bytes.contains("Tajn")); // nothing readable without the key
        EXPECT_FALSE(bytes.contains("Adobe"));

        // The user opens with the user password (empty when none was set).
        const Tool user = qpdfWith(c.user, {QStringLiteral("--check"), QStringLiteral("--show-encryption"), file});
        EXPECT_EQ(user.exitCode, 0) << user.out.toStdString() << user.err.toStdString();
        EXPECT_TRUE(user.out.contains("R = 3")) << user.out.toStdString();
        EXPECT_TRUE(user.out.contains("P = " + QByteArray::number(pdf.PermissionValue())));
        EXPECT_TRUE(user.out.contains(c.permission)) << user.out.toStdString();
        EXPECT_TRUE(user.out.contains("No syntax or stream encoding errors found"));
        EXPECT_FALSE(user.out.contains("WARNING") || user.err.contains("WARNING")) << user.err.toStdString();
        EXPECT_EQ(textWith(file, c.user), plainText);

        // The owner password opens it as owner; a wrong one is refused.
        if (!c.owner.isEmpty()) {
            const Tool owner = qpdfWith(c.owner, {QStringLiteral("--show-encryption"), file});
            EXPECT_TRUE(owner.out.contains("Supplied password is owner password")) << owner.out.toStdString();
        }
        if (!c.user.isEmpty()) {
            const Tool asUser = qpdfWith(c.user, {QStringLiteral("--show-encryption"), file});
            EXPECT_TRUE(asUser.out.contains("Supplied password is user password")) << asUser.out.toStdString();
            const Tool wrong = qpdfWith(QStringLiteral("spatne"), {QStringLiteral("--check"), file});
            EXPECT_NE(wrong.exitCode, 0);
            EXPECT_TRUE(wrong.err.contains("invalid password")) << wrong.err.toStdString();
            EXPECT_TRUE(textWith(file, QStringLiteral("spatne")).isEmpty());
        }

        // Strings decrypt: the title, the link and the fonts' system info.
        const QJsonObject json = decryptedJson(file, c.user);
        const QByteArray text = QJsonDocument(json).toJson();
        EXPECT_TRUE(text.contains("https://example.org/a\\\\b(c)?q=1")) << text.toStdString().substr(0, 4000);
        EXPECT_TRUE(text.contains("\"/Registry\": \"u:Adobe\"")) << text.toStdString().substr(0, 2000);
        EXPECT_TRUE(text.contains("\"/Ordering\": \"u:Identity\""));
        const Tool info = runTool(QStringLiteral("/usr/bin/pdfinfo"), {QStringLiteral("-upw"), c.user, file});
        EXPECT_TRUE(QString::fromUtf8(info.out).contains(QStringLiteral("Šifrovaný dokument"))) << info.out.toStdString();
    }
}

TEST(PdfSecurity, WithoutAnOwnerPasswordTheUserPasswordDoesNotOpenAsOwner)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf is needed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("user.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.UserPassword = QStringLiteral("uzivatel");
    pdf.SetProtectionFlags(TzdPDFEncBits{});
    exportSample(pdf, file);
    EXPECT_TRUE(pdf.OwnerPassword.isEmpty());
    const Tool t = qpdfWith(QStringLiteral("uzivatel"), {QStringLiteral("--show-encryption"), file});
    EXPECT_TRUE(t.out.contains("Supplied password is user password")) << t.out.toStdString();
    EXPECT_TRUE(t.out.contains("modify anything: not allowed")) << t.out.toStdString();
}

TEST(PdfSecurity, APasswordOutsidePdfDocEncodingIsRefusedAndNoFileWritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("refused.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.FileName = file;
    pdf.UserPassword = QStringLiteral("žluťoučký");
    const QString message = exportError([&] { pdf.StartExport(); });
    EXPECT_TRUE(message.contains(QStringLiteral("user password"))) << message.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()); // not even a temporary file
    pdf.FinishExport();
    EXPECT_FALSE(QFile::exists(file));
}

TEST(PdfSecurity, InformationTextsAreLiteralWhenEncryptedAndHexWhenNot)
{
    QTemporaryDir dir;
    TzdPDFExport plain(nullptr);
    plain.Clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
    exportSample(plain, dir.filePath(QStringLiteral("p.pdf")));
    const QByteArray p = fileBytes(dir.filePath(QStringLiteral("p.pdf")));
    EXPECT_TRUE(p.contains("/Title <FEFF"));
    EXPECT_TRUE(p.contains("/CreationDate (D:20240305140709)"));

    TzdPDFExport enc(nullptr);
    enc.UserPassword = QStringLiteral("u");
    enc.Clock = plain.Clock;
    exportSample(enc, dir.filePath(QStringLiteral("e.pdf")));
    const QByteArray e = fileBytes(dir.filePath(QStringLiteral("e.pdf")));
    EXPECT_TRUE(e.contains("/Title ("));
    EXPECT_FALSE(e.contains("/Title <FEFF"));
    EXPECT_FALSE(e.contains("D:2024"));
    EXPECT_TRUE(e.contains("/Filter /Standard\r\n/V 2\r\n/R 3\r\n/Length 128\r\n/P -4\r\n"));
}

TEST(PdfSecurity, PdfAIgnoresPasswordsAndSaysSoOnce)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.PdfA = true;
    pdf.UserPassword = QStringLiteral("u");
    exportSample(pdf, file);
    EXPECT_EQ(pdf.Messages().size(), 1);
    EXPECT_FALSE(fileBytes(file).contains("/Encrypt"));
    EXPECT_TRUE(pdf.EmbeddedFonts);
    if (haveTools())
        checkPdf(file);
}

} // namespace pdf_security_test
