#include "zdCrypt.h"

#include "Exceptions.h"
#include "Streams.h"
#include "zdToolRunner.h"


#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray encryptStream(const QByteArray& plain, const QString& password)
{
    plat::TMemoryStream source(plain);
    plat::TMemoryStream dest;
    zdEncryptStream(source, dest, password);
    return dest.bytes();
}

QByteArray decryptStream(const QByteArray& data, const QString& password)
{
    plat::TMemoryStream source(data);
    plat::TMemoryStream dest;
    zdDecryptStream(source, dest, password);
    return dest.bytes();
}

QString messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const plat::Exception& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(zdCrypt, PublishedAes128VectorPasses)
{
    // FIPS 197, appendix C.1: one block, so CBC with a zero IV is the plain cipher.
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const QString key = QStringLiteral("000102030405060708090A0B0C0D0E0F");
    const QByteArray cipher = zdEncryptString(plain, key);
    EXPECT_EQ(cipher.toHex(), "69c4e0d86a7b0430d8cdb78070b4c55a");
    EXPECT_EQ(zdDecryptString(cipher, key), plain);
}

TEST(zdCrypt, KeyTextNormalisation)
{
    struct Case {
        const char* hex;
        int bits;
        const char* key;
    } cases[] = {
        {"0102", 128, "01020000000000000000000000000000"},
        {"abc", 128, "ABC00000000000000000000000000000"},
        {"12zz34", 128, "12000000000000000000000000000000"},
        {"", 128, "00000000000000000000000000000000"},
        {"00112233445566778899AABBCCDDEEFF0102", 128, "00112233445566778899AABBCCDDEEFF"},
        {"a1b2", 64, "A1B2000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zdNormalizeKeyHex(QString::fromLatin1(c.hex), c.bits), QString::fromLatin1(c.key)) << c.hex;
}

TEST(zdCrypt, PasswordKeyIsItsFirstSixteenBytes)
{
    EXPECT_EQ(zdPasswordToKey(QStringLiteral("AB")), "41420000000000000000000000000000");
    EXPECT_EQ(zdPasswordToKey({}), "00000000000000000000000000000000");
    // Passwords are 8-bit text in code page 1250.
    EXPECT_EQ(zdPasswordToKey(QStringLiteral("ž")), "9E000000000000000000000000000000");
    const QString sixteen = QStringLiteral("0123456789abcdef");
    EXPECT_EQ(zdPasswordToKey(sixteen + "X"), zdPasswordToKey(sixteen));
    EXPECT_EQ(zdPasswordToKey(sixteen + "XYZ"), zdPasswordToKey(sixteen + "Q"));
    EXPECT_NE(zdPasswordToKey(sixteen.left(15)), zdPasswordToKey(sixteen));
}

TEST(zdCrypt, StreamIsSignatureAndBlankPaddedBlocks)
{
    const QByteArray plain = "01234567890123456789"; // 20 bytes
    const QByteArray encrypted = encryptStream(plain, QStringLiteral("heslo"));
    EXPECT_EQ(encrypted.size(), 3 + 32);
    EXPECT_TRUE(encrypted.startsWith("rij"));
    EXPECT_EQ(decryptStream(encrypted, QStringLiteral("heslo")), plain + QByteArray(12, ' '));
    // Not encrypted: copied unchanged.
    EXPECT_EQ(decryptStream("<?xml?>", QStringLiteral("heslo")), "<?xml?>");
    // An exact number of blocks gets no padding.
    EXPECT_EQ(encryptStream(QByteArray(32, 'x'), {}).size(), 3 + 32);
}

TEST(zdCrypt, OpensslDecryptsTheBody)
{
    if (!zdtest::toolAvailable("openssl"))
        GTEST_SKIP() << "openssl is not installed";
    const QByteArray plain = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TzdReport Name=\"\xc5\xa1\"/>";
    const QString password = QStringLiteral("tajné heslo!");
    const QByteArray encrypted = encryptStream(plain, password);
    const auto result = zdtest::runTool("openssl",
                                        {"enc", "-d", "-aes-128-cbc", "-nopad", "-K", zdPasswordToKey(password), "-iv",
                                         QString(32, u'0')},
                                        encrypted.mid(3));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, plain + QByteArray(16 - plain.size() % 16, ' '));
}

TEST(zdCrypt, FailuresCarryTheirMessages)
{
    EXPECT_EQ(messageOf([] { decryptStream("rij" + QByteArray(17, 'a'), {}); }), "Wrong message length.");
    const QByteArray empty = encryptStream({}, QStringLiteral("x"));
    EXPECT_EQ(empty, "rij");
    EXPECT_EQ(messageOf([&] { decryptStream(empty, QStringLiteral("x")); }), "Wrong message length.");
    EXPECT_EQ(messageOf([] { zdDecryptString({}, {}); }), "Wrong message length.");
}

namespace {
bool g_promptAsked = false;
bool answerPassword(QString& password)
{
    g_promptAsked = true;
    password = QStringLiteral("secret");
    return true;
}
bool cancelPassword(QString&)
{
    return false;
}
} // namespace

TEST(zdCrypt, CrypterWorkAsksForAMissingPasswordOnly)
{
    plat::TMemoryStream work(QByteArray("<TzdReport/>"));
    plat::TMemoryStream encrypted;
    zd::cryptEncryptWork(work, encrypted, QStringLiteral("secret"));

    zd::setPasswordPrompt(answerPassword);
    encrypted.SetPosition(0);
    plat::TMemoryStream plain;
    EXPECT_TRUE(zd::cryptDecryptToWork(encrypted, plain, {}));
    EXPECT_TRUE(g_promptAsked);
    EXPECT_EQ(plain.Position(), 0);
    EXPECT_EQ(plain.bytes(), "<TzdReport/>    ");

    g_promptAsked = false;
    encrypted.SetPosition(0);
    plat::TMemoryStream again;
    EXPECT_TRUE(zd::cryptDecryptToWork(encrypted, again, QStringLiteral("secret")));
    EXPECT_FALSE(g_promptAsked);

    zd::setPasswordPrompt(cancelPassword);
    EXPECT_EQ(zd::askPassword({}), QString());
    zd::setPasswordPrompt(nullptr);

    plat::TMemoryStream xml(QByteArray("<?xml?>"));
    xml.SetPosition(2);
    plat::TMemoryStream out;
    EXPECT_FALSE(zd::cryptDecryptToWork(xml, out, {}));
    EXPECT_EQ(xml.Position(), 2);
}

TEST(TzdCrypt, EncryptsItsWorkAndDecryptsIntoIt)
{
    const QByteArray plain = "<?xml version=\"1.0\"?><TzdReport Name=\"Faktura\"/>";
    plat::TMemoryStream encrypted;
    {
        TzdCrypt crypt(nullptr);
        crypt.OpenWorkStream();
        crypt.WorkStream().writeBytes(plain);
        crypt.Encrypt(encrypted, QStringLiteral("heslo"));
    }
    EXPECT_EQ(encrypted.bytes(), encryptStream(plain, QStringLiteral("heslo")));

    TzdCrypt reader(nullptr);
    encrypted.SetPosition(0);
    ASSERT_TRUE(reader.Decrypt(encrypted, QStringLiteral("heslo")));
    EXPECT_EQ(reader.WorkStream().Position(), 0);
    EXPECT_EQ(reader.WorkStream().readAll(), plain + QByteArray((16 - plain.size() % 16) % 16, ' '));

    TzdCrypt other(nullptr);
    plat::TMemoryStream xml(plain);
    xml.SetPosition(4);
    EXPECT_FALSE(other.Decrypt(xml, QStringLiteral("heslo")));
    EXPECT_EQ(xml.Position(), 4);
    EXPECT_EQ(other.WorkStream().Size(), 0);
}

TEST(TzdCrypt, AsksForThePasswordOnlyWhenNoKeyIsGiven)
{
    TzdCrypt crypt(nullptr);
    g_promptAsked = false;
    zd::setPasswordPrompt(answerPassword);
    EXPECT_EQ(crypt.AskPassword(QStringLiteral("key")), "key");
    EXPECT_FALSE(g_promptAsked);
    EXPECT_EQ(crypt.AskPassword({}), "secret");
    EXPECT_TRUE(g_promptAsked);
    zd::setPasswordPrompt(cancelPassword);
    EXPECT_EQ(crypt.AskPassword({}), QString());
    zd::setPasswordPrompt(nullptr);
    EXPECT_EQ(crypt.AskPassword({}), QString());
}
