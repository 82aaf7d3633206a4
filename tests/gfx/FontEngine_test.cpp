#include "Canvas.h"
#include "FontEngine.h"
#include "GfxTestUtil.h"

#include <QFile>
#include <algorithm>
#include <QStringList>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace plat;

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Linear advances of the text's characters at an em size, and the Windows
// ascent and descent, read straight from the font file with fontTools.
std::vector<int> fontToolsMetrics(const QString& file, const QString& text, int em, int* ascent, int* descent)
{
    const QString script = QStringLiteral(
        "import sys, math\n"
        "from fontTools.ttLib import TTFont\n"
        "f = TTFont(sys.argv[1], fontNumber=0)\n"
        "upem = f['head'].unitsPerEm\n"
        "em = int(sys.argv[2])\n"
        "cmap = f.getBestCmap()\n"
        "hm = f['hmtx'].metrics\n"
        "r = lambda v: int(math.floor(v * em / upem + 0.5))\n"
        "os2 = f['OS/2']\n"
        "print(r(os2.usWinAscent), r(os2.usWinDescent))\n"
        "print(' '.join(str(r(hm[cmap.get(ord(c), '.notdef')][0])) for c in sys.argv[3]))\n");
    QFile tmp(QStringLiteral("/tmp/gfx_fonttools_%1.py").arg(getpid()));
    if (!tmp.open(QIODevice::WriteOnly))
        return {};
    tmp.write(script.toUtf8());
    tmp.close();
    const std::string cmd = std::string(kPython) + " " + tmp.fileName().toStdString() + " '" + file.toStdString()
                            + "' " + std::to_string(em) + " '" + text.toStdString() + "'";
    int status = 0;
    const QString out = QString::fromStdString(gfxtest::run(cmd, &status)).trimmed();
    tmp.remove();
    const QStringList lines = out.split('\n');
    if (status != 0 || lines.size() != 2)
        return {};
    const QStringList ad = lines[0].split(' ');
    *ascent = ad.value(0).toInt();
    *descent = ad.value(1).toInt();
    std::vector<int> out2;
    for (const QString& v : lines[1].split(' ', Qt::SkipEmptyParts))
        out2.push_back(v.toInt());
    return out2;
}

bool havePythonFontTools()
{
    int status = 0;
    gfxtest::run(std::string(kPython) + " -c 'import fontTools' 2>/dev/null", &status);
    return status == 0;
}

} // namespace

// The templates name these families; a missing metric-compatible font would
// change every layout, so this fails loudly instead of skipping.
TEST(FontEngine, TemplateFamiliesResolveToMetricCompatibleFonts)
{
    struct Case {
        const char* requested;
        const char* expected;
        const char* package;
    };
    const Case cases[] = {{"Arial", "Liberation Sans", "fonts-liberation2"},
                          {"Times New Roman", "Liberation Serif", "fonts-liberation2"},
                          {"Courier New", "Liberation Mono", "fonts-liberation2"},
                          {"Tahoma", "Tahoma", "fonts-wine"}};
    for (const Case& c : cases)
        EXPECT_EQ(FontEngine::Instance().ResolveFamily(QString::fromLatin1(c.requested)),
                  QString::fromLatin1(c.expected))
            << c.requested << " must resolve to " << c.expected << " (install " << c.package << ")";
}

TEST(FontEngine, FcMatchArialGivesLiberationSans)
{
    int status = 0;
    const std::string out = gfxtest::run("fc-match -f '%{family[0]}' Arial", &status);
    ASSERT_EQ(status, 0) << "fc-match is missing (fontconfig)";
    EXPECT_EQ(out, "Liberation Sans") << "install fonts-liberation2";
}

TEST(FontEngine, AdvancesAt600DpiEqualTheFontsHorizontalMetrics)
{
    if (!havePythonFontTools())
        FAIL() << "/usr/bin/python3 with fontTools is required (install python3-fonttools)";
    const QString sample = QStringLiteral("Sorvamet Pro 0123 WAVy, čeština ŽĚ!");
    for (const char* family : {"Arial", "Times New Roman", "Courier New", "Tahoma"}) {
        TCanvas measure;
        measure.Font().SetName(QString::fromLatin1(family));
        measure.Font().SetPixelsPerInch(600);
        measure.Font().SetSize(10);
        ASSERT_EQ(measure.Font().Height(), -83);
        std::vector<int> widths;
        measure.GetCharWidths(sample, widths);
        int ascent = 0, descent = 0;
        const std::vector<int> expected =
            fontToolsMetrics(measure.CurrentFace().FilePath(), sample, 83, &ascent, &descent);
        ASSERT_EQ(expected.size(), widths.size()) << family;
        EXPECT_EQ(widths, expected) << family;
        const TTextMetric tm = measure.GetTextMetrics();
        EXPECT_EQ(tm.tmAscent, ascent) << family;
        EXPECT_EQ(tm.tmDescent, descent) << family;
        EXPECT_EQ(tm.tmHeight, ascent + descent) << family;
    }
}

TEST(FontEngine, StyleSelectsTheMatchingFace)
{
    FontRequest r;
    r.family = QStringLiteral("Arial");
    r.bold = true;
    const FontFace& bold = FontEngine::Instance().Match(r);
    EXPECT_TRUE(bold.IsBold());
    EXPECT_FALSE(bold.SyntheticBold());
    r.italic = true;
    EXPECT_TRUE(FontEngine::Instance().Match(r).IsItalic());
    r.bold = r.italic = false;
    EXPECT_FALSE(FontEngine::Instance().Match(r).IsBold());
}

TEST(FontEngine, FileBytesAreTheWholeFontFile)
{
    FontRequest r;
    r.family = QStringLiteral("Arial");
    const FontFace& face = FontEngine::Instance().Match(r);
    const QByteArray bytes = face.FileBytes();
    QFile f(face.FilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(bytes, f.readAll());
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x00\x01\x00\x00", 4)) || bytes.startsWith("OTTO")
                || bytes.startsWith("true") || bytes.startsWith("ttcf"));
}

TEST(FontEngine, PositiveHeightIsTheCellHeight)
{
    TCanvas c;
    c.Font().SetName(QStringLiteral("Arial"));
    c.Font().SetHeight(40);
    const TTextMetric cell = c.GetTextMetrics();
    EXPECT_NEAR(cell.tmHeight, 40, 1);
    EXPECT_GT(cell.tmInternalLeading, 0);
    c.Font().SetHeight(-40);
    EXPECT_GT(c.GetTextMetrics().tmHeight, 40);
}

TEST(FontEngine, UnknownFamilyFallsBackToAnInstalledFont)
{
    FontRequest r;
    r.family = QStringLiteral("No Such Family 12345");
    const FontFace& face = FontEngine::Instance().Match(r);
    EXPECT_FALSE(face.FamilyName().isEmpty());
    EXPECT_GT(face.CharAdvance(U'A', 100), 0);
}

TEST(FontEngine, OutlineMetricsAreTheFontsDesignValues)
{
    if (!havePythonFontTools())
        FAIL() << "/usr/bin/python3 with fontTools is required (install python3-fonttools)";
    TCanvas c;
    c.Font().SetName(QStringLiteral("Times New Roman"));
    c.Font().SetStyle(TFontStyles{fsItalic});
    c.Font().SetHeight(-c.CurrentFace().UnitsPerEm()); // one pixel per font unit
    const TOutlineTextMetric m = c.GetOutlineTextMetrics();
    const std::string cmd = std::string(kPython)
                            + " -c \"import sys; from fontTools.ttLib import TTFont; f=TTFont(sys.argv[1]); "
                              "h=f['head']; o=f['OS/2']; p=f['post']; "
                              "print(h.unitsPerEm, h.xMin, h.yMin, h.xMax, h.yMax, o.sTypoAscender, o.sTypoDescender, "
                              "o.sCapHeight, round(p.italicAngle*10))\" '"
                            + c.CurrentFace().FilePath().toStdString() + "'";
    int status = 0;
    const QStringList v = QString::fromStdString(gfxtest::run(cmd, &status)).trimmed().split(' ');
    ASSERT_EQ(status, 0);
    ASSERT_EQ(v.size(), 9);
    EXPECT_EQ(m.otmEMSquare, v[0].toInt());
    EXPECT_EQ(m.otmrcFontBox, TRect(v[1].toInt(), v[4].toInt(), v[3].toInt(), v[2].toInt()));
    EXPECT_EQ(m.otmAscent, v[5].toInt());
    EXPECT_EQ(m.otmDescent, v[6].toInt());
    EXPECT_EQ(m.otmsCapEmHeight, v[7].toInt());
    EXPECT_EQ(m.otmItalicAngle, v[8].toInt());
    EXPECT_LT(m.otmItalicAngle, 0);
    EXPECT_EQ(m.otmpFamilyName, QStringLiteral("Liberation Serif"));
}

TEST(FontEngine, FamilyInfosMarkTrueTypeFamiliesOnceEach)
{
    const std::vector<FontFamilyInfo> infos = FontEngine::Instance().FamilyInfos();
    QStringList names;
    for (const FontFamilyInfo& info : infos)
        names << info.name;
    QStringList expected = FontEngine::Instance().Families();
    expected.removeDuplicates();
    EXPECT_EQ(names.size(), expected.size());
    for (int i = 1; i < names.size(); ++i)
        EXPECT_LT(names[i - 1].compare(names[i], Qt::CaseInsensitive), 0) << names[i].toStdString();
    // fontconfig's own word on the format, as an oracle.
    const auto it = std::find_if(infos.begin(), infos.end(), [](const FontFamilyInfo& i) { return i.name == "Liberation Sans"; });
    ASSERT_NE(it, infos.end());
    EXPECT_EQ(it->fontType, TRUETYPE_FONTTYPE);
}
