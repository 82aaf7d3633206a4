#include "zdCrypt.h"

#include "Services.h"
#include "zdRes.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TypeInfo.h"

#include <openssl/evp.h>

#include <memory>

namespace {

constexpr int kBlockSize = 16;
constexpr int kKeyBits = 128;
const QByteArray kSignature = QByteArrayLiteral("rij");

zd::PasswordPrompt g_passwordPrompt = nullptr;

[[noreturn]] void raise(const char* message)
{
    throw plat::Exception(QString::fromLatin1(message));
}

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

QByteArray keyBytes(const QString& keyHex)
{
    return QByteArray::fromHex(zdNormalizeKeyHex(keyHex, kKeyBits).toLatin1());
}

// Runs AES-128-CBC over whole blocks, without padding of its own.
QByteArray runCipher(const QByteArray& data, const QString& keyHex, bool encrypt)
{
    const QByteArray key = keyBytes(keyHex);
    const unsigned char iv[kBlockSize] = {};
    CipherContext ctx(EVP_CIPHER_CTX_new());
    if (!ctx
        || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr,
                             reinterpret_cast<const unsigned char*>(key.constData()), iv, encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1)
        raise("Key error.");
    const char* failure = encrypt ? "EnCrypt error." : "DeCrypt error.";
    QByteArray out(data.size() + kBlockSize, Qt::Uninitialized);
    int produced = 0;
    int tail = 0;
    if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &produced,
                         reinterpret_cast<const unsigned char*>(data.constData()), static_cast<int>(data.size())) != 1
        || EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + produced, &tail) != 1
        || produced + tail != data.size())
        raise(failure);
    out.truncate(produced + tail);
    return out;
}

} // namespace

QString zdNormalizeKeyHex(const QString& hexKey, int bits)
{
    const int count = bits > 0 ? bits / 8 : 0;
    QString hex = hexKey;
    if (hex.size() % 2 != 0)
        hex += u'0';
    QByteArray key(count, '\0');
    // A pair that is not hexadecimal ends the key; the rest stays zero.
    for (int i = 0; i < count && 2 * i + 1 < hex.size(); ++i) {
        const int hi = plat::HexDigitValue(hex[2 * i]);
        const int lo = plat::HexDigitValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            break;
        key[i] = static_cast<char>(hi * 16 + lo);
    }
    return QString::fromLatin1(key.toHex().toUpper());
}

QString zdPasswordToKey(const QString& password)
{
    return zdNormalizeKeyHex(QString::fromLatin1(plat::unicodeToCp1250(password).toHex().toUpper()), kKeyBits);
}

QByteArray zdEncryptString(const QByteArray& data, const QString& keyHex)
{
    QByteArray padded = data;
    const qsizetype rest = padded.size() % kBlockSize;
    if (rest != 0)
        padded.append(kBlockSize - rest, ' ');
    return runCipher(padded, keyHex, true);
}

QByteArray zdDecryptString(const QByteArray& data, const QString& keyHex)
{
    // The key is checked first, as the cipher's set-up comes first.
    keyBytes(keyHex);
    if (data.isEmpty() || data.size() % kBlockSize != 0)
        raise("Wrong message length.");
    return runCipher(data, keyHex, false);
}

void zdEncryptStream(plat::TStream& source, plat::TStream& dest, const QString& password)
{
    source.SetPosition(0);
    const QByteArray cipher = zdEncryptString(source.readAll(), zdPasswordToKey(password));
    dest.WriteBuffer(kSignature.constData(), kSignature.size());
    dest.WriteBuffer(cipher.constData(), cipher.size());
}

void zdDecryptStream(plat::TStream& source, plat::TStream& dest, const QString& password)
{
    const QByteArray data = source.readAll();
    if (!data.startsWith(kSignature)) {
        dest.WriteBuffer(data.constData(), data.size());
        return;
    }
    const QByteArray plain = zdDecryptString(data.mid(kSignature.size()), zdPasswordToKey(password));
    dest.WriteBuffer(plain.constData(), plain.size());
}

namespace zd {

void setPasswordPrompt(PasswordPrompt prompt)
{
    g_passwordPrompt = prompt;
}

bool askUserPassword(QString& password)
{
    password.clear();
    if (g_passwordPrompt)
        return g_passwordPrompt(password);
    // No dialog of the preview layer: the platform's input query asks.
    if (!plat::HasServices())
        return false;
    const QString caption = zdGetResources()->GetText(QStringLiteral("4705"));
    return plat::InputQuery(caption, caption, password);
}

QString askPassword(const QString& key)
{
    if (!key.isEmpty())
        return key;
    QString password;
    if (askUserPassword(password))
        return password;
    return {};
}

void cryptEncryptWork(plat::TStream& work, plat::TStream& dest, const QString& key)
{
    zdEncryptStream(work, dest, key);
}

bool cryptDecryptToWork(plat::TStream& source, plat::TStream& work, const QString& key)
{
    const qint64 start = source.Position();
    char head[3] = {};
    const qint64 got = source.Read(head, 3);
    source.SetPosition(start);
    bool encrypted = false;
    if (got == 3 && QByteArrayView(head, 3) == kSignature) {
        zdDecryptStream(source, work, askPassword(key));
        encrypted = true;
    }
    work.SetPosition(0);
    return encrypted;
}

} // namespace zd

// ---------------------------------------------------------------------------
// Crypter component

PLAT_DEFINE_CLASS(TzdCrypt, c) {}

TzdCrypt::TzdCrypt(plat::TComponent* AOwner)
    : TzdCustomCrypter(AOwner, StaticClass())
{
}

TzdCrypt::~TzdCrypt() = default;

bool TzdCrypt::Decrypt(plat::TStream& Source, const QString& Key)
{
    return zd::cryptDecryptToWork(Source, WorkStream(), Key);
}

void TzdCrypt::Encrypt(plat::TStream& Dest, const QString& Key)
{
    zd::cryptEncryptWork(WorkStream(), Dest, Key);
}

QString TzdCrypt::AskPassword(const QString& Key) const
{
    return zd::askPassword(Key);
}
