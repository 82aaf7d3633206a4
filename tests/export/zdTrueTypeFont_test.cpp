// Reading TrueType fonts and collections and reducing them to the used
// glyphs, checked by ots-sanitize and by fontTools (ttf_oracle.py).
#include "FontFixtures.h"

#include "zdTrueTypeCollection.h"
#include "zdOS2WindowsMetricsClass.h"
#include "zdTrueTypeFont.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "ScriptedServices.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace fonts;

namespace {

QString raised(const std::function<void()>& f)
{
    try {
        f();
    } catch (const plat::Exception& e) {
        return QString::fromLatin1(e.className()) + ": " + e.message();
    }
    return {};
}

// Reduces a face of a font file to the glyphs, checks the result with both
// outside checkers and compares the widths with fontTools'.
void expectSoundReduction(const QString& file, int faceIndex, const QList<quint16>& glyphs)
{
    TrueTypeCollection collection;
    collection.Load(readFile(file));
    TrueTypeFont* face = collection.Face(faceIndex);
    ASSERT_NE(face, nullptr);
    const QByteArray reduced = collection.Reduce(face, glyphs);
    const QString out = tempPath(QStringLiteral("reduced_%1_%2.ttf").arg(QFileInfo(file).baseName()).arg(faceIndex));
    ASSERT_TRUE(writeFile(out, reduced));

    if (haveOts()) {
        const ToolRun ots = run(QStringLiteral("/usr/bin/ots-sanitize"), {out});
        EXPECT_EQ(ots.exitCode, 0) << ots.text().toStdString();
    }
    const ToolRun check = oracle(QStringList{QStringLiteral("check"), file, QString::number(faceIndex), out} +
                             glyphArgs(glyphs));
    ASSERT_EQ(check.exitCode, 0) << check.text().toStdString();
    const QJsonObject widths = QJsonDocument::fromJson(check.out).object();
    EXPECT_EQ(face->KeptGlyphs().size(), size_t(widths.size()));
    for (auto it = widths.begin(); it != widths.end(); ++it)
        EXPECT_EQ(face->GlyphWidth(quint16(it.key().toUInt())), it.value().toInt()) << "glyph " << it.key().toStdString();
}

struct FontCase {
    const char* name;
    std::function<QString()> file;
    int face;
};

class ReducedFont : public ::testing::TestWithParam<FontCase> {};

} // namespace

// Czech text, a composite of composites and the last glyph of each font,
// plus the first glyphs (.notdef and the empty ones).
TEST_P(ReducedFont, PassesTheCheckersAndKeepsTheUsedGlyphsWithTheirComponents)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    const QString file = GetParam().file();
    ASSERT_FALSE(file.isEmpty());
    const ToolRun pick = oracle({QStringLiteral("pick"), file, QString::number(GetParam().face),
                             QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy DŽ Ǻ office")});
    ASSERT_EQ(pick.exitCode, 0) << pick.text().toStdString();
    expectSoundReduction(file, GetParam().face, QList<quint16>{0, 1, 2} + parseGlyphs(pick.out));
}

INSTANTIATE_TEST_SUITE_P(
    Installed, ReducedFont,
    ::testing::Values(FontCase{"LiberationSans", [] { return kLiberationSans; }, 0},
                      FontCase{"LiberationSerifBold", [] { return kLiberationSerifBold; }, 0},
                      // 86-byte OS/2, glyphs past the last metric, composites of composites
                      FontCase{"DejaVuSans", [] { return kDejaVuSans; }, 0},
                      // embedded bitmaps, which are left out
                      FontCase{"WineCourier", [] { return kWineFolder + "courier.ttf"; }, 0},
                      // short offsets, five metrics for 39 glyphs
                      FontCase{"Marlett", [] { return kWineFolder + "marlett.ttf"; }, 0},
                      FontCase{"CompositeSubset", [] { return compositeSubset(); }, 0},
                      FontCase{"CollectionFirstFace", [] { return tahomaCollection(); }, 0},
                      FontCase{"CollectionSecondFace", [] { return tahomaCollection(); }, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrueTypeFont, ASingleCompositeKeepsItsComponentsOnly)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    TrueTypeCollection collection;
    collection.Load(readFile(kDejaVuSans));
    // U+01C4 DŽ: D and Ž, and Ž is Z with a caron.
    const QList<quint16> used{390};
    const QByteArray reduced = collection.Reduce(collection.Face(0), used);
    const QString out = tempPath(QStringLiteral("single.ttf"));
    ASSERT_TRUE(writeFile(out, reduced));
    const ToolRun check = oracle(QStringList{QStringLiteral("check"), kDejaVuSans, "0", out} + glyphArgs(used));
    ASSERT_EQ(check.exitCode, 0) << check.text().toStdString();
    EXPECT_GE(QJsonDocument::fromJson(check.out).object().size(), 4); // DŽ, D, Ž, Z, caron
    EXPECT_EQ(collection.Face(0)->KeptGlyphs().back(), 390);
}

TEST(TrueTypeFont, WidthsPastTheLastMetricUseTheLastAdvance)
{
    TrueTypeCollection collection;
    collection.Load(readFile(kWineFolder + "marlett.ttf"));
    TrueTypeFont* face = collection.Face(0);
    collection.Reduce(face, {4, 38});
    // Marlett has five metrics; the last advance is 2048 units in a 2048-unit em.
    EXPECT_EQ(face->GlyphWidth(4), 1000);
    EXPECT_EQ(face->GlyphWidth(38), 1000);
    EXPECT_EQ(face->GlyphWidth(5), std::nullopt);
}

// An empty glyph 1639 is an ordinary glyph in every font we can recognise.
TEST(TrueTypeFont, AnEmptyGlyph1639KeepsItsAdvance)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    const QString file = made(QStringLiteral("empty1639.ttf"),
                              {QStringLiteral("make-empty-glyph"), kDejaVuSans, QStringLiteral("1639")});
    ASSERT_FALSE(file.isEmpty());
    expectSoundReduction(file, 0, {1639});
}

TEST(TrueTypeFont, ReductionsAddToTheUsedGlyphs)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    TrueTypeCollection collection;
    collection.Load(readFile(kLiberationSans));
    TrueTypeFont* face = collection.Face(0);
    collection.Reduce(face, {36});
    const QByteArray reduced = collection.Reduce(face, {37, 36});
    EXPECT_EQ(face->UsedGlyphs(), (std::vector<quint16>{36, 37}));
    const QString out = tempPath(QStringLiteral("twice.ttf"));
    ASSERT_TRUE(writeFile(out, reduced));
    const ToolRun check = oracle({QStringLiteral("check"), kLiberationSans, "0", out, "36", "37"});
    EXPECT_EQ(check.exitCode, 0) << check.text().toStdString();
}

TEST(TrueTypeFont, GlyphsTheFontLacksAreNotKept)
{
    TrueTypeCollection collection;
    collection.Load(readFile(kWineFolder + "marlett.ttf"));
    TrueTypeFont* face = collection.Face(0);
    collection.Reduce(face, {3, 39, 65535});
    EXPECT_EQ(face->KeptGlyphs(), (std::vector<quint16>{3}));
    EXPECT_EQ(face->GlyphWidth(39), std::nullopt);
}

TEST(TrueTypeFont, CircularAndTooDeepCompositesAreFormatErrors)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    const QString marlett = kWineFolder + "marlett.ttf";
    struct Case {
        const char* chain;
        bool sound;
    } cases[] = {{"0", false}, {"5", true}, {"17", true}, {"18", false}, {"30", false}};
    for (const Case& c : cases) {
        const QString file = made(QStringLiteral("chain%1.ttf").arg(c.chain),
                                  {QStringLiteral("make-composite-chain"), marlett, QString::fromLatin1(c.chain)});
        ASSERT_FALSE(file.isEmpty());
        if (c.sound) {
            expectSoundReduction(file, 0, {1});
        } else {
            TrueTypeCollection collection;
            collection.Load(readFile(file));
            TrueTypeFont* face = collection.Face(0);
            EXPECT_EQ(raised([&] { collection.Reduce(face, {1}); }), "Exception: TrueType font format error")
                << "chain " << c.chain;
            EXPECT_TRUE(face->KeptGlyphs().empty());
        }
    }
}

TEST(TrueTypeFont, KerningValuesAreThoseOfTheKernTable)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    const ToolRun pairs = oracle({QStringLiteral("kern"), kLiberationSans});
    ASSERT_EQ(pairs.exitCode, 0) << pairs.text().toStdString();
    TrueTypeCollection collection;
    collection.Load(readFile(kLiberationSans));
    TrueTypeFont* face = collection.Face(0);
    int checked = 0;
    for (const QByteArray& line : pairs.out.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() != 3)
            continue;
        EXPECT_EQ(face->KerningValue(quint16(f[0].toUInt()), quint16(f[1].toUInt())), f[2].toInt());
        ++checked;
    }
    EXPECT_GT(checked, 0);
    EXPECT_EQ(face->KerningValue(0, 0), 0);
}

// ---------------------------------------------------------------- collections and faces

TEST(TrueTypeCollection, FindsTheFaceByFullNameAndStyle)
{
    if (!haveOracle())
        GTEST_SKIP() << "python3-fonttools is not installed";
    const QString file = tahomaCollection();
    ASSERT_FALSE(file.isEmpty());
    TrueTypeCollection collection;
    collection.Load(readFile(file));
    ASSERT_EQ(collection.FaceCount(), 2);
    struct Case {
        const char16_t* name;
        bool bold;
        int face;
    } cases[] = {
        {u"Tahoma", false, 0},
        {u"Tahoma", true, 1},
        // a report name that stands for the font's localised name (not in this font)
        {u"Tahoma Bold", false, 0},
        {u"Tahoma Bold", true, 0},
        {u"Verdana", false, 0},
    };
    for (const Case& c : cases) {
        plat::TFont font;
        font.SetName(QString::fromUtf16(c.name));
        font.SetStyle(c.bold ? plat::TFontStyles{plat::fsBold} : plat::TFontStyles{});
        EXPECT_EQ(collection.FindFace(font), collection.Face(c.face)) << QString::fromUtf16(c.name).toStdString() << c.bold;
    }
    EXPECT_EQ(collection.Face(1)->FullName(), "Tahoma Bold");
    EXPECT_EQ(collection.Face(2), nullptr);
}

TEST(TrueTypeCollection, HeadersAreCheckedBeforeAnyFaceIsRead)
{
    const QByteArray marlett = readFile(kWineFolder + "marlett.ttf");
    ASSERT_FALSE(marlett.isEmpty());
    struct Case {
        const char* name;
        QByteArray data;
        QString error;
        int faces;
    } cases[] = {
        {"empty", QByteArray(), "TrueType font format error", 0},
        {"short", QByteArray("\0\1\0", 3), "TrueType font format error", 0},
        {"Apple", "true" + marlett.mid(4), "TrueType font format error", 0},
        {"version 3.0", QByteArray::fromHex("74746366 00030000 00000001 0000000c"), "Unknown font collection version", 0},
        {"count past the end", QByteArray::fromHex("74746366 00010000 00000100 0000000c"), "TrueType font format error", 0},
        {"version 2.0", QByteArray::fromHex("74746366 00020000 00000001 00000010") + marlett, "", 1},
        {"PostScript outlines", "OTTO" + marlett.mid(4), "", 0},
        {"single font", marlett, "", 1},
    };
    for (const Case& c : cases) {
        TrueTypeCollection collection;
        const QString error = raised([&] { collection.Load(c.data); });
        EXPECT_EQ(error, c.error.isEmpty() ? QString() : "Exception: " + c.error) << c.name;
        EXPECT_EQ(collection.FaceCount(), c.faces) << c.name;
    }
    TrueTypeCollection postscript;
    postscript.Load("OTTO" + marlett.mid(4));
    EXPECT_EQ(postscript.FindFace(plat::TFont()), nullptr);
}

TEST(TrueTypeCollection, AFaceWithoutOutlinesIsRefused)
{
    // Marlett with its "glyf" tag renamed.
    QByteArray data = readFile(kWineFolder + "marlett.ttf");
    const qsizetype at = data.indexOf("glyf");
    ASSERT_GT(at, 0);
    data.replace(at, 4, "glyg");
    TrueTypeCollection collection;
    collection.Load(data);
    EXPECT_EQ(raised([&] { collection.Reduce(collection.Face(0), {1}); }), "Exception: Glyph table not found");
}

// ---------------------------------------------------------------- checksums

TEST(TrueTypeTable, AChecksumCountsAPartialLastWordAsItsHighBytes)
{
    const QByteArray five = QByteArray::fromHex("0102030405");
    EXPECT_EQ(TTF_Helpers::CheckSum(five, 0, 5), 0x01020304u + 0x05000000u);
    EXPECT_EQ(TTF_Helpers::CheckSum(QByteArray::fromHex("ffffffff00000002"), 0, 8), 1u);
    EXPECT_EQ(TTF_Helpers::CheckSum(five, 1, 3), 0x02030400u);
}

TEST(TrueTypeFont, AChecksumMismatchIsShownAndPassedOver)
{
    QByteArray data = readFile(kWineFolder + "marlett.ttf");
    // The first word of the "name" table, one higher in its high byte.
    const qsizetype record = data.indexOf("name");
    ASSERT_GT(record, 0);
    const quint32 stored = TTF_Helpers::ReadLongWord(data, record + 4);
    const quint32 offset = TTF_Helpers::ReadLongWord(data, record + 8);
    data[offset] = char(data[offset] + 1);

    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    ui.AnswerMessage(plat::IDNO);
    TrueTypeCollection collection;
    collection.Load(data);
    TrueTypeFont* face = collection.Face(0);
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(ui.CallsOf("MessageBox").size(), 1u);
    const plat::ServiceCall call = ui.CallsOf("MessageBox")[0];
    EXPECT_EQ(call.caption, "Font table checksum error");
    EXPECT_EQ(call.flags, plat::MB_YESNO);
    EXPECT_EQ(call.text, QStringLiteral("Table ID \"name\" checksum error.%1 %2").arg(quint32(stored + 0x01000000u)).arg(stored));

    // The reduced font carries the right sum.
    const QByteArray reduced = collection.Reduce(face, {1, 2});
    TrueTypeCollection again;
    again.Load(reduced);
    again.Face(0);
    EXPECT_EQ(ui.CallsOf("MessageBox").size(), 1u);
}

TEST(TrueTypeFont, WithoutAUserInterfaceAMismatchIsPassedOverSilently)
{
    QByteArray data = readFile(kWineFolder + "marlett.ttf");
    data[data.size() - 1] = char(data[data.size() - 1] ^ 0x40);
    TrueTypeCollection collection;
    collection.Load(data);
    EXPECT_NE(collection.Face(0), nullptr);
}

// ---------------------------------------------------------------- the reduced font's layout

TEST(TrueTypeFont, LeftOutTablesLeaveTheDirectoryAndTheSearchFieldsFollowTheCount)
{
    TrueTypeCollection collection;
    collection.Load(readFile(kWineFolder + "courier.ttf"));
    TrueTypeFont* face = collection.Face(0);
    const QByteArray reduced = collection.Reduce(face, {3});
    const int tables = TTF_Helpers::ReadWord(reduced, 4);
    EXPECT_EQ(tables, face->NumTables());
    for (int i = 0; i < tables; ++i) {
        const QString tag = TTF_Helpers::TagText(TTF_Helpers::ReadLongWord(reduced, 12 + 16 * i));
        EXPECT_NE(tag, "EBDT");
        EXPECT_NE(tag, "EBLC");
    }
    // 17 source tables, 15 kept: 8 records found by halving, 7 more.
    EXPECT_EQ(TTF_Helpers::ReadWord(readFile(kWineFolder + "courier.ttf"), 4), 17);
    EXPECT_EQ(tables, 15);
    EXPECT_EQ(TTF_Helpers::ReadWord(reduced, 6), 128);
    EXPECT_EQ(TTF_Helpers::ReadWord(reduced, 8), 3);
    EXPECT_EQ(TTF_Helpers::ReadWord(reduced, 10), 15 * 16 - 128);
}

// Version 1 of the table is 86 bytes: the fields of later versions read as zero.
TEST(TrueTypeTable, AShortWindowsMetricsTableReadsOnlyItsOwnFields)
{
    QByteArray data = QByteArray::fromHex("4f532f32 00000000 00000010 00000056");
    data += QByteArray::fromHex("0001 01f4") + QByteArray(80, '\x11') + QByteArray::fromHex("2233");
    const auto table = CreateTrueTypeTable(TrueTypeTable(data, 0));
    table->Load(data);
    const auto* os2 = dynamic_cast<const OS2WindowsMetricsClass*>(table.get());
    ASSERT_NE(os2, nullptr);
    EXPECT_EQ(os2->version, 1);
    EXPECT_EQ(os2->xAvgCharWidth, 500);
    EXPECT_EQ(os2->ulCodePageRange[1], 0x11112233u);
    EXPECT_EQ(os2->sxHeight, 0);
    EXPECT_EQ(os2->usMaxContext, 0);
}
