// PDF417 symbols drawn by the zdbarcode tool read back in ZXingReader to the
// bytes they carry: each compaction, each error level, fixed and automatic
// layouts, at the four rotations.
#include "zdBarcode2D_testutil.h"

#include "CodePage.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Pdf417Case {
    QString text;
    QStringList options; // --NAME VALUE pairs of zdbarcode
    int codePage;        // what the symbol's bytes are in
};

QStringList opts(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* s : list)
        out << QString::fromLatin1(s);
    return out;
}

std::vector<Pdf417Case> pdf417Cases()
{
    const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    QString digits;
    for (int i = 0; i < 100; ++i)
        digits += QChar(u'0' + (i * 7 + i / 10) % 10);
    QString anyBytes;
    std::mt19937 rng(417);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int i = 0; i < 150; ++i)
        anyBytes += QChar(byte(rng));
    QString long300;
    while (long300.size() < 300)
        long300 += QStringLiteral("Sklad %1: Vyrobek-%2, cena %3.50 Kc; ").arg(long300.size()).arg(long300.size() * 37).arg(long300.size() % 97);
    long300.truncate(300);
    return {
        {QStringLiteral("PDF417 Text: Hello, World! (a.b;c) {x}=[y] #1 ~end"),
         opts({"--CompactionMode", "TextComp", "--ErrorCorrection", "Level0"}), 1250},
        {QStringLiteral("ABC1234567890123456def ghi"),
         opts({"--ErrorCorrection", "Level1", "--Columns", "4", "--Rows", "10"}), 1250},
        {digits, opts({"--CompactionMode", "Numeric", "--ErrorCorrection", "Level2"}), 1250},
        {czech, opts({"--CompactionMode", "Binary", "--ErrorCorrection", "Level3", "--Columns", "5"}), 1250},
        {QStringLiteral("Faktura č. 2024/0815: ") + czech + QStringLiteral(" 12345678901234 Kč"),
         opts({"--ErrorCorrection", "Level4", "--Columns", "3", "--Rows", "30"}), 1250},
        {czech, opts({"--CompactionMode", "Binary", "--CodePage", "65001", "--ErrorCorrection", "Level5",
                      "--Columns", "10", "--Rows", "10"}),
         65001},
        {long300.left(200), opts({"--ErrorCorrection", "Level6", "--AspectRatio", "2"}), 1250},
        {QStringLiteral("lower UPPER MiXeD 0123 !@#$%^&*() čřž"),
         opts({"--CompactionMode", "TextComp", "--ErrorCorrection", "Level7", "--Columns", "12", "--Rows", "25"}),
         1250},
        {long300, opts({"--ErrorCorrection", "Level8", "--Columns", "30", "--Rows", "90"}), 1250},
        {QStringLiteral("12345678"), {}, 1250},
        {anyBytes, opts({"--CompactionMode", "Binary", "--CodePage", "28591", "--Columns", "8"}), 28591},
    };
}

class PDF417Decode : public testing::TestWithParam<int> {};

TEST_P(PDF417Decode, DrawnSymbolsReadBack)
{
    if (!zdtest::haveTool(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "zdbarcode or ZXingReader missing";
    const QString angle = QString::number(GetParam());
    QTemporaryDir dir;
    const std::vector<Pdf417Case> all = pdf417Cases();
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const QString png = dir.filePath(QStringLiteral("%1.png").arg(i));
        QStringList args{QStringLiteral("bcCodePDF417"), all[i].text, png, QStringLiteral("--angle"), angle};
        args += all[i].options;
        ASSERT_EQ(zdtest::drawWithZdbarcode(args), 0);
        EXPECT_EQ(zdtest::runTool(QStringLiteral("ZXingReader"),
                                  {QStringLiteral("-format"), QStringLiteral("PDF417"), QStringLiteral("-bytes"), png}),
                  plat::unicodeToCodePage(all[i].codePage, all[i].text));
    }
}

INSTANTIATE_TEST_SUITE_P(Rotations, PDF417Decode, testing::Values(0, 90, 180, 270));

} // namespace
