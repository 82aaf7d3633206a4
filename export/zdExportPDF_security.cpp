// The standard security handler of encrypted files: RC4 with a 128-bit
// key, revision 3. RC4 is our own: OpenSSL 3 offers it only through its
// legacy provider, which installations often leave out.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "Exceptions.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>

namespace {

// The padding string of the standard security handler.
constexpr unsigned char kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                                        0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                                        0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};
constexpr int kHashRounds = 50;
constexpr int kCipherRounds = 19;

// PDFDocEncoding's bytes 0x18-0x1F and 0x80-0xA0 that differ from Latin-1
// (0x9F is undefined).
constexpr char16_t kDocLow[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9, 0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr char16_t kDocHigh[33] = {0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044, 0x2039,
                                   0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018, 0x2019, 0x201A,
                                   0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160, 0x0178, 0x017D, 0x0131,
                                   0x0142, 0x0153, 0x0161, 0x017E, 0x0000, 0x20AC};

QByteArray xorKey(const QByteArray& key, int value)
{
    QByteArray k = key;
    for (char& c : k)
        c = char(c ^ value);
    return k;
}

QByteArray padding()
{
    return QByteArray(reinterpret_cast<const char*>(kPadding), sizeof kPadding);
}

QByteArray md5Rounds(QByteArray h)
{
    for (int k = 0; k < kHashRounds; ++k)
        h = zd::md5(h);
    return h;
}

QByteArray cipherRounds(const QByteArray& key, QByteArray x)
{
    x = zd::rc4(key, x);
    for (int i = 1; i <= kCipherRounds; ++i)
        x = zd::rc4(xorKey(key, i), x);
    return x;
}

QByteArray permissionBytes(qint32 p)
{
    const quint32 u = quint32(p);
    QByteArray b(4, '\0');
    for (int k = 0; k < 4; ++k)
        b[k] = char((u >> (8 * k)) & 0xFF);
    return b;
}

} // namespace

namespace zd {

QByteArray rc4(const QByteArray& Key, const QByteArray& Data)
{
    if (Key.isEmpty() || Key.size() > 256)
        throw plat::Exception(QStringLiteral("Invalid RC4 key length"));
    std::array<unsigned char, 256> S;
    for (int i = 0; i < 256; ++i)
        S[size_t(i)] = (unsigned char)i;
    const auto* key = reinterpret_cast<const unsigned char*>(Key.constData());
    const int n = int(Key.size());
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + S[size_t(i)] + key[i % n]) & 0xFF;
        std::swap(S[size_t(i)], S[size_t(j)]);
    }
    QByteArray out(Data.size(), Qt::Uninitialized);
    int i = 0, j = 0;
    for (qsizetype k = 0; k < Data.size(); ++k) {
        i = (i + 1) & 0xFF;
        j = (j + S[size_t(i)]) & 0xFF;
        std::swap(S[size_t(i)], S[size_t(j)]);
        out[k] = char(Data[k] ^ S[size_t((S[size_t(i)] + S[size_t(j)]) & 0xFF)]);
    }
    return out;
}

QByteArray md5(const QByteArray& Data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!EVP_Digest(Data.constData(), size_t(Data.size()), digest, &size, EVP_md5(), nullptr))
        throw plat::Exception(QStringLiteral("MD5 is not available"));
    return QByteArray(reinterpret_cast<const char*>(digest), int(size));
}

std::optional<QByteArray> pdfDocEncode(const QString& Text)
{
    QByteArray out;
    for (QChar ch : Text) {
        const char16_t u = ch.unicode();
        int byte = -1;
        if ((u >= 0x20 && u < 0x7F) || u == 0x09 || u == 0x0A || u == 0x0D || (u >= 0xA1 && u <= 0xFF && u != 0xAD))
            byte = u;
        for (int k = 0; byte < 0 && k < 8; ++k)
            if (kDocLow[k] == u)
                byte = 0x18 + k;
        for (int k = 0; byte < 0 && k < 33; ++k)
            if (kDocHigh[k] == u && u != 0)
                byte = 0x80 + k;
        if (byte < 0)
            return std::nullopt;
        out += char(byte);
    }
    return out;
}

QByteArray pdfPadPassword(const QByteArray& Password)
{
    const QByteArray cut = Password.left(32);
    return cut + padding().left(32 - cut.size());
}

PdfSecurityValues pdfComputeSecurity(const QByteArray& OwnerPassword, const QByteArray& UserPassword,
                                     qint32 Permissions, const QByteArray& FileID)
{
    PdfSecurityValues v;
    const QByteArray userPad = pdfPadPassword(UserPassword);
    const QByteArray ownerKey = md5Rounds(md5(pdfPadPassword(OwnerPassword)));
    v.OwnerEntry = cipherRounds(ownerKey, userPad);
    v.EncKey = md5Rounds(md5(userPad + v.OwnerEntry + permissionBytes(Permissions) + FileID));
    v.UserEntry = cipherRounds(v.EncKey, md5(padding() + FileID)) + QByteArray(16, '\0');
    return v;
}

QByteArray pdfObjectKey(const QByteArray& EncKey, int Number)
{
    QByteArray salt(5, '\0');
    salt[0] = char(Number & 0xFF);
    salt[1] = char((Number >> 8) & 0xFF);
    salt[2] = char((Number >> 16) & 0xFF);
    return md5(EncKey + salt);
}

} // namespace zd

QByteArray TzdPDFExport::State::encrypt(const QByteArray& data, int number) const
{
    if (!encrypting || data.isEmpty())
        return data;
    return zd::rc4(zd::pdfObjectKey(encKey, number), data);
}

QByteArray TzdPDFExport::State::literal(const QByteArray& bytes, int number) const
{
    return '(' + zd::pdfEscapeLiteral(encrypt(bytes, number)) + ')';
}

QByteArray TzdPDFExport::State::textString(const QString& text, int number) const
{
    if (!encrypting)
        return zd::pdfTextString(text);
    QByteArray bytes("\xFE\xFF", 2);
    for (QChar ch : text) {
        bytes += char(ch.unicode() >> 8);
        bytes += char(ch.unicode() & 0xFF);
    }
    return literal(bytes, number);
}

namespace {

QByteArray passwordBytes(const QString& password, const char* which)
{
    const std::optional<QByteArray> bytes = zd::pdfDocEncode(password);
    if (!bytes)
        throw plat::Exception(QStringLiteral("The %1 password contains a character that PDF passwords cannot hold; "
                                             "use letters of Western European languages, digits and signs")
                                  .arg(QLatin1String(which)));
    return *bytes;
}

QByteArray randomOwnerPassword()
{
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw plat::Exception(QStringLiteral("No random numbers for the owner password"));
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex();
}

} // namespace

void TzdPDFExport::computeSecurity()
{
    State& s = *d;
    const QByteArray user = passwordBytes(UserPassword, "user");
    // An owner password equal to the user password would let the user
    // password open the file as owner, so the permissions would restrict
    // nothing: without one the file gets a random owner password.
    const QByteArray owner = OwnerPassword.isEmpty() ? randomOwnerPassword() : passwordBytes(OwnerPassword, "owner");
    const zd::PdfSecurityValues v =
        zd::pdfComputeSecurity(owner, user, m_permissionValue, QByteArray::fromHex(s.fileID));
    s.encKey = v.EncKey;
    s.ownerEntry = v.OwnerEntry;
    s.userEntry = v.UserEntry;
}

void TzdPDFExport::writeEncryptionDictionary(int& number)
{
    State& s = *d;
    number = s.allocate();
    s.header(number);
    s.line("<<");
    s.line("/Filter /Standard");
    s.line("/V 2");
    s.line("/R 3");
    s.line("/Length 128");
    s.line("/P " + QByteArray::number(m_permissionValue));
    s.line("/O (" + zd::pdfEscapeLiteral(s.ownerEntry) + ")");
    s.line("/U (" + zd::pdfEscapeLiteral(s.userEntry) + ")");
    s.line(">>");
    s.line("endobj");
}
