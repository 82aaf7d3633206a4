// Text in PDF files: shaping, fonts, ToUnicode maps and embedded subsets,
// checked with poppler, HarfBuzz's hb-shape, ots-sanitize and fontTools.
#include "FontFixtures.h"
#include "PdfCheck.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"
#include "zdPDFFont.h"

#include "FontEngine.h"
#include "Graphics.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"
#include "zdDrawText.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TextCase {
    const char* name;
    QString font;
    QString text;
    bool rtl;
};

std::vector<TextCase> textCases()
{
    const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    return {
        {"CzechNFC", QStringLiteral("DejaVu Sans"), czech.normalized(QString::NormalizationForm_C), false},
        {"CzechNFD", QStringLiteral("DejaVu Sans"), czech.normalized(QString::NormalizationForm_D), false},
        {"Office", QStringLiteral("DejaVu Sans"), QStringLiteral("office"), false},
        {"LatinDigits", QStringLiteral("Arial"), QStringLiteral("abc 123"), false},
        {"HebrewDigits", QStringLiteral("DejaVu Sans"), QStringLiteral("שלום 123"), true},
        {"ArabicDigits", QStringLiteral("DejaVu Sans"), QStringLiteral("مرحبا 2024"), true},
        {"Astral", QStringLiteral("DejaVu Sans"), QStringLiteral("A\U00010300\U00010301B"), false},
    };
}

struct FontSpec {
    QString name;
    plat::TFontStyles style{};
    int size = 12;
};

FontSpec fontOf(const QString& name, plat::TFontStyles style = {})
{
    return {name, style, 12};
}

std::unique_ptr<plat::TFont> make(const FontSpec& spec)
{
    auto f = std::make_unique<plat::TFont>();
    f->SetName(spec.name);
    f->SetSize(spec.size);
    f->SetStyle(spec.style);
    return f;
}

struct Exported {
    QString file;
    QByteArray bytes;
};

// One page with one text object per (font, text); returns the file.
Exported exportTexts(QTemporaryDir& dir, const QString& name, const std::vector<std::pair<FontSpec, QString>>& texts,
                     bool embed, bool rtl = false, bool compressed = false)
{
    Exported e;
    e.file = dir.filePath(name + QStringLiteral(".pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = compressed;
    pdf.EmbeddedFonts = embed;
    pdf.FileName = e.file;
    EXPECT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = 794;
    page.Height = 1123;
    pdf.OpenPageInfo(page, 0);
    std::vector<std::unique_ptr<TzdShapeView>> boxes;
    int y = 20;
    std::vector<std::unique_ptr<plat::TFont>> fonts;
    for (const auto& [spec, text] : texts) {
        fonts.push_back(make(spec));
        const plat::TFont& font = *fonts.back();
        auto box = std::make_unique<TzdShapeView>(nullptr);
        box->SetBounds(20, y, 700, 40);
        TzdPDFTextParams p;
        p.View = box.get();
        p.Font = &font;
        p.Lines = {text};
        p.WordWrap = false;
        p.RTLReading = rtl;
        p.HAlign = rtl ? haRight : haLeft;
        pdf.WriteTextObject(p);
        boxes.push_back(std::move(box));
        y += 50;
    }
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    if (pdftest::haveTools())
        pdftest::checkPdf(e.file);
    e.bytes = fileBytes(e.file);
    return e;
}

// hb-shape's glyphs and advances for the text, kerning and optional ligatures off.
QString hbShape(const QString& fontFile, int faceIndex, const QString& text, bool rtl)
{
    QStringList args = {QStringLiteral("--features=-kern,-liga,-clig"), QStringLiteral("--no-glyph-names"),
                        QStringLiteral("--no-clusters"), QStringLiteral("--no-positions"),
                        QStringLiteral("--face-index=") + QString::number(faceIndex), fontFile, text};
    if (rtl)
        args.insert(0, QStringLiteral("--direction=rtl"));
    return QString::fromUtf8(pdftest::runTool(QStringLiteral("/usr/bin/hb-shape"), args).out).trimmed();
}

} // namespace

TEST(PdfText, PdftotextGivesBackTheSourceText)
{
    if (!pdftest::haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    for (const TextCase& c : textCases()) {
        for (bool embed : {false, true}) {
            const Exported e = exportTexts(dir, QString::fromLatin1(c.name) + (embed ? "E" : "R"),
                                           {{fontOf(c.font), c.text}}, embed, c.rtl);
            // poppler marks the direction of runs with embedding controls.
            const QString got = pdftest::pdfToText(e.file)
                                    .remove(QRegularExpression(QStringLiteral("[\u202A-\u202E\u2066-\u2069]")))
                                    .trimmed();
            EXPECT_EQ(got, c.text) << c.name << (embed ? " embedded" : "");
        }
    }
}

TEST(PdfText, OurShapingAgreesWithHbShape)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/hb-shape")))
        GTEST_SKIP() << "hb-shape (libharfbuzz-bin) is needed";
    for (const TextCase& c : textCases()) {
        if (c.rtl)
            continue; // a bidi run split is ours alone; single-direction runs compare 1:1
        TzdPDFFont font(*make(fontOf(c.font)));
        const TzdPDFShapedLine line = font.ShapeLine(c.text, false);
        const plat::FontFace& face = font.Face();
        QStringList ours;
        for (quint16 g : line.Glyphs)
            ours << QString::number(g);
        const QString theirs = hbShape(face.FilePath(), face.FaceIndex(), c.text, false);
        EXPECT_EQ(QStringLiteral("[") + ours.join(u'|') + QStringLiteral("]"), theirs) << c.name;
    }
    // A right-to-left run alone: the same glyphs in the same (visual) order.
    TzdPDFFont hebrew(*make(fontOf(QStringLiteral("DejaVu Sans"))));
    const QString shalom = QStringLiteral("שלום");
    QStringList ours;
    for (quint16 g : hebrew.ShapeLine(shalom, true).Glyphs)
        ours << QString::number(g);
    EXPECT_EQ(QStringLiteral("[") + ours.join(u'|') + QStringLiteral("]"),
              hbShape(hebrew.Face().FilePath(), hebrew.Face().FaceIndex(), shalom, true));
}

TEST(PdfText, OfficeKeepsItsLettersWithLigaturesOff)
{
    TzdPDFFont font(*make(fontOf(QStringLiteral("DejaVu Sans"))));
    const TzdPDFShapedLine line = font.ShapeLine(QStringLiteral("office"), false);
    EXPECT_EQ(line.Glyphs.size(), 6u);
    // The advances are the font's own, as the memo layout measures them.
    const plat::FontFace& face = font.Face();
    qint64 sum = 0;
    for (QChar ch : QStringLiteral("office"))
        sum += std::llround(face.AdvanceUnits(face.GlyphIndex(ch.unicode())) * 1000.0 / face.UnitsPerEm());
    EXPECT_EQ(line.Total, sum);
}

TEST(PdfText, ToUnicodeMapsClustersSurrogatesAndSplitsBlocks)
{
    TzdPDFFont font(*make(fontOf(QStringLiteral("DejaVu Sans"))));
    const QString nfd = QStringLiteral("c\u030C");
    font.ShapeLine(nfd + QStringLiteral(" \U00010300"), false);
    const QByteArray cmap = zd::pdfToUnicodeCMap("X", font.Glyphs(), font.Texts());
    EXPECT_TRUE(cmap.contains("<0063030C>") || cmap.contains("<0063>")) << cmap.toStdString();
    EXPECT_TRUE(cmap.contains("<D800DF00>")) << cmap.toStdString();
    EXPECT_FALSE(cmap.contains("<0000>\r\n") && cmap.indexOf("<0000>") != cmap.indexOf("<0000> <FFFF>"));

    std::vector<quint16> glyphs;
    std::vector<QString> texts;
    for (int g = 0; g < 250; ++g) {
        glyphs.push_back(quint16(g + 3));
        texts.push_back(QString(QChar(0x41 + g % 26)));
    }
    const QByteArray big = zd::pdfToUnicodeCMap("Big", glyphs, texts);
    EXPECT_EQ(big.count("beginbfchar"), 3);
    EXPECT_TRUE(big.contains("100 beginbfchar"));
    EXPECT_TRUE(big.contains("50 beginbfchar"));
}

TEST(PdfText, FontNamesAreEscaped)
{
    EXPECT_EQ(TzdPDFFont(*make(fontOf(QStringLiteral("Times New Roman"), {plat::fsBold, plat::fsItalic}))).PdfFontName(),
              "Times#20New#20Roman,BoldItalic");
    EXPECT_EQ(TzdPDFFont(*make(fontOf(QStringLiteral("Arial Black"), {plat::fsBold}))).PdfFontName(), "Arial#20Black");
    EXPECT_EQ(zd::pdfNameEscape("A#B(c)"), "A#23B#28c#29");
    EXPECT_EQ(zd::pdfNameEscape(QStringLiteral("Čj").toUtf8()), "#C4#8Cj");
}

TEST(PdfText, PlainAndUnderlinedArialAreTwoFontsOfOneName)
{
    if (!pdftest::haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    const FontSpec under = fontOf(QStringLiteral("Arial"), {plat::fsUnderline});
    const Exported e = exportTexts(dir, QStringLiteral("two"), {{fontOf(QStringLiteral("Arial")), QStringLiteral("a")},
                                                                {under, QStringLiteral("b")}},
                                   false);
    EXPECT_EQ(e.bytes.count("/Subtype /Type0"), 2);
    EXPECT_EQ(e.bytes.count("/BaseFont /Arial\r\n"), 4);
    EXPECT_TRUE(e.bytes.contains("/F0 ") && e.bytes.contains("/F1 "));
}

TEST(PdfText, ASubstituteFontIsEmbeddedEvenWhenEmbeddingIsOff)
{
    if (!pdftest::haveTools())
        GTEST_SKIP() << "qpdf and poppler-utils are needed";
    QTemporaryDir dir;
    // Arial resolves to another family: its glyph indices mean nothing
    // without the font they belong to.
    const Exported arial = exportTexts(dir, QStringLiteral("arial"), {{fontOf(QStringLiteral("Arial")), "x"}}, false);
    EXPECT_TRUE(arial.bytes.contains("/FontFile2 "));
    const Exported dejavu =
        exportTexts(dir, QStringLiteral("dejavu"), {{fontOf(QStringLiteral("DejaVu Sans")), "x"}}, false);
    EXPECT_FALSE(dejavu.bytes.contains("/FontFile2 "));
}

TEST(PdfText, EmbeddedSubsetsPassOtsAndFontTools)
{
    if (!pdftest::haveTools() || !fonts::haveOracle() || !fonts::haveOts())
        GTEST_SKIP() << "qpdf, fontTools and ots-sanitize are needed";
    QTemporaryDir dir;
    for (const TextCase& c : textCases()) {
        const FontSpec f = fontOf(c.font);
        TzdPDFFont probe(*make(f));
        const Exported e = exportTexts(dir, QString::fromLatin1(c.name), {{f, c.text}}, true, c.rtl, true);
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("/FontFile2 (\\d+) 0 R"))
                                              .match(QString::fromLatin1(e.bytes));
        ASSERT_TRUE(m.hasMatch()) << c.name;
        const QString ttf = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".ttf"));
        const pdftest::Tool t = pdftest::runTool(QStringLiteral("/usr/bin/qpdf"),
                                                 {QStringLiteral("--show-object=") + m.captured(1),
                                                  QStringLiteral("--filtered-stream-data"), e.file});
        ASSERT_TRUE(fonts::writeFile(ttf, t.out));
        const fonts::ToolRun ots = fonts::run(QStringLiteral("/usr/bin/ots-sanitize"), {ttf});
        EXPECT_EQ(ots.exitCode, 0) << c.name << ots.text().toStdString();
        // The used glyphs: those of the /W array.
        QStringList gids;
        const qsizetype w = e.bytes.indexOf("/W [ ");
        const QByteArray widths = e.bytes.mid(w + 5, e.bytes.indexOf("\r\n", w) - w - 5);
        for (const QRegularExpressionMatch& g :
             QRegularExpression(QStringLiteral("(\\d+) \\[")).globalMatch(QString::fromLatin1(widths)))
            gids << g.captured(1);
        const fonts::ToolRun check = fonts::oracle(
            QStringList{QStringLiteral("check"), probe.Face().FilePath(), QString::number(probe.Face().FaceIndex()), ttf} + gids);
        EXPECT_EQ(check.exitCode, 0) << c.name << check.text().toStdString();
    }
}

namespace {

// The content stream of one page holding one text object.
QByteArray textContent(const TzdPDFTextParams& base, const FontSpec& spec, long double w = 300, long double h = 100)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("t.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = false;
    pdf.FileName = file;
    EXPECT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = 794;
    page.Height = 1123;
    pdf.OpenPageInfo(page, 0);
    auto box = std::make_unique<TzdShapeView>(nullptr);
    box->SetBounds(20, 20, w, h);
    box->SetColor(plat::clNone);
    const auto font = make(spec);
    TzdPDFTextParams p = base;
    p.View = box.get();
    p.Font = font.get();
    pdf.WriteTextObject(p);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    if (pdftest::haveTools())
        pdftest::checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    const qsizetype start = bytes.indexOf("stream\r\n") + 8;
    return bytes.mid(start, bytes.indexOf("\nendstream") - start);
}

} // namespace

TEST(PdfTextRoute, BlankLinesAreWritten)
{
    TzdPDFTextParams p;
    p.Lines = {QStringLiteral("a"), QStringLiteral("   "), QStringLiteral("b")};
    p.WordWrap = false;
    const QByteArray c = textContent(p, fontOf(QStringLiteral("DejaVu Sans"), {}));
    EXPECT_EQ(c.count("BT\r\n"), 3) << c.toStdString();
    EXPECT_TRUE(c.contains("<000300030003> Tj")); // DejaVu Sans's blank is glyph 3
    EXPECT_TRUE(c.startsWith("q\r\n"));
    EXPECT_TRUE(c.endsWith("Q\r\n"));
    EXPECT_TRUE(c.contains("/F0 11.90 Tf\r\n")); // 12 points
}

TEST(PdfTextRoute, RotatedTextHasOneTransformBeforeItsText)
{
    TzdPDFTextParams p;
    p.Lines = {QStringLiteral("svisle")};
    p.WordWrap = false;
    p.Rotation = 90;
    const QByteArray c = textContent(p, fontOf(QStringLiteral("DejaVu Sans"), {}), 40, 200);
    EXPECT_EQ(c.count(" cm\r\n"), 1);
    EXPECT_LT(c.indexOf(" cm\r\n"), c.indexOf("BT\r\n"));
    EXPECT_TRUE(c.contains("0.00 1.00 -1.00 0.00 ")) << c.toStdString();
}

TEST(PdfTextRoute, JustifiedLinesAdjustAfterBlanksButNotTheLastLine)
{
    TzdPDFTextParams p;
    p.Lines = {QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy a pak běžel dál přes louky a pole až k lesu")};
    p.WordWrap = true;
    p.HAlign = haBlock;
    const QByteArray c = textContent(p, fontOf(QStringLiteral("DejaVu Sans"), {}), 200, 200);
    const int tj = int(c.count("] TJ\r\n"));
    EXPECT_GE(tj, 2) << c.toStdString();
    EXPECT_EQ(c.count("> Tj\r\n"), 1); // the paragraph's last line
    EXPECT_TRUE(QRegularExpression(QStringLiteral(">-?\\d+<")).match(QString::fromLatin1(c)).hasMatch());
}

TEST(PdfTextRoute, SpecialFontsSimulateBoldInOneFont)
{
    TzdPDFTextParams p;
    p.Lines = {QStringLiteral("tučně")};
    p.WordWrap = false;
    const QByteArray c = textContent(p, fontOf(QStringLiteral("Arial Black"), {plat::fsBold}));
    EXPECT_TRUE(c.contains("2 Tr ")) << c.toStdString();
    EXPECT_TRUE(c.contains("0 Tr\r\n"));
}

TEST(PdfTextRoute, DecomposedMarksGetNoWidthOfTheirOwn)
{
    TzdPDFFont font(*make(fontOf(QStringLiteral("DejaVu Sans"))));
    // A base with a combining mark the font has no precomposed glyph for.
    const TzdPDFShapedLine line = font.ShapeLine(QStringLiteral("q\u0303"), false);
    ASSERT_EQ(line.Glyphs.size(), 2u);
    EXPECT_EQ(font.Widths()[1], -1);
    EXPECT_GT(font.Widths()[0], 0);
    EXPECT_TRUE(font.Texts()[1].isEmpty() || font.Texts()[0] == QStringLiteral("q\u0303"));
}

TEST(PdfText, ARequiredLigatureMapsToItsWholeCluster)
{
    // Lam and alef join into one glyph even with optional ligatures off.
    TzdPDFFont font(*make(fontOf(QStringLiteral("DejaVu Sans"))));
    const QString lamAlef = QStringLiteral("لا");
    const TzdPDFShapedLine line = font.ShapeLine(lamAlef, true);
    ASSERT_EQ(line.Glyphs.size(), 1u);
    EXPECT_EQ(font.Texts()[0], lamAlef);
    EXPECT_TRUE(zd::pdfToUnicodeCMap("X", font.Glyphs(), font.Texts()).contains("> <06440627>"));
}
