// Text layout: wrapping, hyphenation, measuring, splitting and drawing.
// Courier New (a fixed pitch: 50 units per character at 10 points and 600
// dpi, so 8 screen pixels) makes the wrapping cases easy to read: a layout
// 40 pixels wide holds five characters.
#include "zdDrawText.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "FontEngine.h"
#include "Metafile.h"
#include "zdHTMLTags.h"
#include "zdWideStrings.h"
#include "../TestUtil.h"

#include <QRecursiveMutex>

#include <thread>

#include <gtest/gtest.h>

namespace {

constexpr int kMonoChar = 50; // Liberation Mono's advance at 83 pixels per em

TzdWideStrings sourceOf(const QString& text)
{
    TzdWideStrings s;
    for (const QString& line : text.split(QLatin1Char('\n')))
        s.Add(line);
    return s;
}

void setFont(plat::TFont& f, const QString& name, int size = 10)
{
    f.SetName(name);
    f.SetSize(size);
    f.SetColor(plat::clBlack);
}

struct LayoutSetup {
    QString font = QStringLiteral("Courier New");
    int size = 10;
    int width = 40;
    int height = 1000;
    long double gap = 0, charSpacing = 0, lineSpacing = 2;
    TzdDrawTextOptions options = [] {
        TzdDrawTextOptions o;
        o.WordWrap = true;
        return o;
    }();
    bool firstParaBreak = false;
};

// Lays text out on a layout rectangle at (0, 0); the text rectangle is the
// same at scale 1.
void layOut(TzdDrawText& layout, const QString& text, const LayoutSetup& s = {})
{
    plat::TFont font;
    setFont(font, s.font, s.size);
    layout.SetFont(font);
    layout.SetOptions(s.options);
    layout.SetSpacings(s.gap, s.charSpacing, s.lineSpacing);
    const plat::TRect rect(0, 0, s.width, s.height);
    layout.SetDimensions(rect, rect, 1, 1, 1);
    layout.SetText(sourceOf(text), s.firstParaBreak);
}

QStringList linesOf(const TzdDrawText& layout)
{
    QStringList out;
    for (int i = 0; i < layout.LineCount(); ++i)
        out << layout.Line(i);
    return out;
}

std::vector<int> flagsOf(const TzdDrawText& layout)
{
    std::vector<int> out;
    for (int i = 0; i < layout.LineCount(); ++i)
        out.push_back(layout.LineFlags(i));
    return out;
}

std::vector<plat::TMetafileRecord> textRecords(const plat::TMetafile& mf)
{
    std::vector<plat::TMetafileRecord> out;
    for (const auto& r : mf.Records())
        if (r.op == plat::MetaOp::Text)
            out.push_back(r);
    return out;
}

int sum(const std::vector<int>& v)
{
    int s = 0;
    for (int x : v)
        s += x;
    return s;
}

// Draws the laid-out text onto a recording canvas at scale 1 into rect.
std::vector<plat::TMetafileRecord> drawn(TzdDrawText& layout, const plat::TRect& rect, TzdHAlign h = haLeft,
                                         TzdVAlign v = vaTop)
{
    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        layout.SetDimensions(rect, rect, 1, 1, 1);
        layout.DrawText(canvas, h, v);
    }
    return textRecords(mf);
}

} // namespace

// ---------------------------------------------------------------- wrapping

TEST(zdDrawText, WrapsParagraphs)
{
    struct Case {
        const char* text;
        int width;
        bool wordBreak;
        QStringList lines;
    };
    const Case cases[] = {
        {"abcd", 40, false, {"abcd"}},                    // narrower than the line
        {"abcde", 40, false, {"abcde"}},                  // exactly as wide
        {"abc de", 40, false, {"abc", "de"}},             // the blank goes from both lines
        {"ab  cd", 40, false, {"ab ", "cd"}},             // the last blank breaks
        {"abcdefgh", 40, false, {"abcde", "fgh"}},        // cut before the overflowing character
        {"abc", 5, false, {"a", "b", "c"}},               // a character wider than the line stands alone
        {"ab cdefghijk", 40, false, {"ab", "cdefg", "hijk"}},
        {"a <nowrap>bc de</nowrap>", 40, false, {"a", "bc de"}}, // no break inside <nowrap>
        // Hyphenation by syllables where a word allows it.
        {"МОЛОКО", 40, true, {"МОЛО-", "КО"}},
        {"a МОЛОКО", 48, true, {"a МО-", "ЛОКО"}},
        {"ab МОЛОКО", 40, true, {"ab", "МОЛО-", "КО"}},
        {"abcdefgh", 40, true, {"abcde", "fgh"}}, // no syllables: cut
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TzdDrawText layout;
        LayoutSetup s;
        s.width = c.width;
        s.options.WordBreak = c.wordBreak;
        s.options.HTMLTags = true;
        layOut(layout, QString::fromUtf8(c.text), s);
        EXPECT_EQ(linesOf(layout), c.lines);
        EXPECT_EQ(layout.HTMLTags().Count(), layout.LineCount());
    }
}

TEST(zdDrawText, ParagraphFlagsAndEmptyLines)
{
    TzdDrawText layout;
    layOut(layout, QStringLiteral("abc de\n\nxy"));
    EXPECT_EQ(linesOf(layout), (QStringList{"abc", "de", " ", "xy"}));
    EXPECT_EQ(flagsOf(layout), (std::vector<int>{1, 2, 3, 3}));
    EXPECT_EQ(layout.GetWrappedText(), QStringLiteral("abc\r\nde\r\n \r\nxy"));
    EXPECT_EQ(layout.GetPlainText(), QStringLiteral("abc de\r\n\r\nxy\r\n"));

    layout.ApplyParaBreaks(true, true);
    EXPECT_EQ(flagsOf(layout), (std::vector<int>{0, 2, 3, 1}));
}

TEST(zdDrawText, WithoutWordWrapEachParagraphIsOneLine)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    layOut(layout, QStringLiteral("abc def ghi\nx"), s);
    EXPECT_EQ(linesOf(layout), (QStringList{"abc def ghi", "x"}));
}

TEST(zdDrawText, FirstLineIndentUnlessTheTextContinuesAParagraph)
{
    LayoutSetup s;
    s.gap = 16; // the first line keeps 24 pixels: three characters
    TzdDrawText layout;
    layOut(layout, QStringLiteral("abcdefgh\nabcdefgh"), s);
    EXPECT_EQ(linesOf(layout), (QStringList{"abc", "defgh", "abc", "defgh"}));
    s.firstParaBreak = true;
    layOut(layout, QStringLiteral("abcdefgh\nabcdefgh"), s);
    EXPECT_EQ(linesOf(layout), (QStringList{"abcde", "fgh", "abc", "defgh"}));
}

TEST(zdDrawText, SidewaysRotationsWrapAtTheHeight)
{
    LayoutSetup s;
    s.height = 24; // three characters
    s.width = 1000;
    for (int rotation : {90, 135, 270, 300}) {
        s.options.Rotation = rotation;
        TzdDrawText layout;
        layOut(layout, QStringLiteral("abcdef"), s);
        EXPECT_EQ(linesOf(layout), (QStringList{"abc", "def"})) << rotation;
    }
    s.options.Rotation = 45;
    TzdDrawText layout;
    layOut(layout, QStringLiteral("abcdef"), s);
    EXPECT_EQ(layout.LineCount(), 1);
}

TEST(zdDrawText, SyllableBreaks)
{
    struct Case {
        const char* word;
        std::vector<int> breaks;
    };
    const Case cases[] = {
        {"МОЛОКО", {2, 4}}, {"КАССА", {3}}, {"ПИСЬМО", {2, 4}}, {"ЧАЙКА", {3}},
        {"ДОМ", {}},        {"HELLO", {}},  {"ŘEKA", {}},        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zdSyllableBreaks(QString::fromUtf8(c.word)), c.breaks) << c.word;
}

TEST(zdDrawText, RotationIsKeptInOneTurn)
{
    TzdDrawText layout;
    const std::pair<int, int> cases[] = {{0, 0}, {400, 40}, {360, 0}, {-90, 270}, {-450, 270}, {719, 359}};
    for (auto [given, kept] : cases) {
        TzdDrawTextOptions o;
        o.Rotation = given;
        layout.SetOptions(o);
        EXPECT_EQ(layout.Options().Rotation, kept) << given;
    }
}

// ---------------------------------------------------------------- measuring

TEST(zdDrawText, MeasuresWidthAndHeightInScreenPixels)
{
    LayoutSetup s;
    s.width = 1000;
    TzdDrawText layout;
    EXPECT_EQ(layout.TextWidth(), 0);
    EXPECT_EQ(layout.TextHeight(), 0);
    layOut(layout, QStringLiteral("abcde\nab"), s);
    EXPECT_DOUBLE_EQ(double(layout.TextWidth()), 5 * kMonoChar / 6.25);

    const plat::FontFace& face = plat::FontEngine::Instance().Match(plat::FontRequest{QStringLiteral("Courier New")});
    const long double leading = (face.Ascent(83) + face.Descent(83) - 83) / 6.25L;
    const long double line = 83 / 6.25L + 2;
    EXPECT_DOUBLE_EQ(double(layout.GetLineHeight()), double(line));
    EXPECT_NEAR(double(layout.TextHeight()), double(2 * line + leading), 1e-9);

    // Spacing counts once per character, the indent on paragraphs' first lines.
    s.charSpacing = 1;
    s.gap = 4;
    layOut(layout, QStringLiteral("abcde\nab"), s);
    EXPECT_DOUBLE_EQ(double(layout.TextWidth()), (5 * kMonoChar + 5 * 6 + 25) / 6.25);

    s.charSpacing = 0;
    s.gap = 0;
    s.lineSpacing = -3;
    layOut(layout, QStringLiteral("abcde\nab"), s);
    EXPECT_NEAR(double(layout.TextHeight()), double(2 * (83 / 6.25L - 3) + leading + 3), 1e-9);
}

TEST(zdDrawText, UnusedHeightBelowTheLastWholeLine)
{
    LayoutSetup s;
    s.height = 40;
    TzdDrawText layout;
    layOut(layout, QStringLiteral("a"), s);
    const long double q = 83 / 6.25L + 2;
    EXPECT_NEAR(double(layout.GetUnusedHeight()), double(41 - 2 * q), 1e-9);
    s.height = 10; // no line fits
    layOut(layout, QStringLiteral("a"), s);
    EXPECT_EQ(layout.GetUnusedHeight(), 0);
}

// ---------------------------------------------------------------- splitting

TEST(zdDrawText, SplitsWhereTheHeightEnds)
{
    struct Case {
        const char* text;
        bool wordBreak;
        const char* kept;
        const char* rest;
        bool paraBreak;
    };
    const Case cases[] = {
        {"abc defgh ij", false, "abc", "defgh ij\r\n", true},
        {"abc\ndefgh", false, "abc\r\n", "defgh\r\n", false},
        // A word cut without a blank: the rest begins after the cut, once.
        {"abcdefghij", false, "abcde", "fghij\r\n", true},
        {"abcde<i>fghij", false, "abcde", "<i>fghij\r\n", true},
        {"МОЛОКО", true, "МОЛО-", "КО\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LayoutSetup s;
        s.height = 20; // one line
        s.options.WordBreak = c.wordBreak;
        TzdDrawText layout;
        layOut(layout, QString::fromUtf8(c.text), s);
        bool paraBreak = !c.paraBreak;
        EXPECT_EQ(layout.GetOutBoundsText(paraBreak), QString::fromUtf8(c.rest));
        EXPECT_EQ(paraBreak, c.paraBreak);
        EXPECT_EQ(layout.GetPlainText(), QString::fromUtf8(c.kept));
        EXPECT_EQ(layout.LineCount(), 1);
        EXPECT_EQ(layout.HTMLTags().Count(), 1);
    }
}

TEST(zdDrawText, SplitBetweenParagraphsKeepsEmptyOnes)
{
    LayoutSetup s;
    s.height = 35; // two lines
    s.options.HTMLTags = true;
    TzdDrawText layout;
    layOut(layout, QStringLiteral("abc\n\n<b>def"), s);
    bool paraBreak = true;
    EXPECT_EQ(layout.GetOutBoundsText(paraBreak), QStringLiteral("<font color=\"#000000\"><b><b>def\r\n"));
    EXPECT_FALSE(paraBreak);
    EXPECT_EQ(layout.GetPlainText(), QStringLiteral("abc\r\n\r\n"));
}

TEST(zdDrawText, SplitRestKeepsItsFormat)
{
    LayoutSetup s;
    s.height = 20;
    s.options.HTMLTags = true;
    TzdDrawText layout;
    layOut(layout, QStringLiteral("<font color=\"#FF0000\"><b>abc defgh</b></font>"), s);
    bool paraBreak = false;
    EXPECT_EQ(layout.GetOutBoundsText(paraBreak), QStringLiteral("<font color=\"#FF0000\"><b>defgh</b></font>\r\n"));
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(layout.GetPlainText(), QStringLiteral("<font color=\"#FF0000\"><b>abc"));

    // Sub- and superscript and the other styles, in front; system colours as
    // their RGB value.
    plat::TFont font;
    setFont(font, s.font);
    font.SetColor(plat::clWindowText);
    layout.SetFont(font);
    layout.SetText(sourceOf(QStringLiteral("<i><u><sup>abc defgh")));
    EXPECT_EQ(layout.GetOutBoundsText(paraBreak),
              QStringLiteral("<font color=\"#000000\"><sup><u><i>defgh\r\n"));
}

TEST(zdDrawText, EverythingFitsWhenLinesTakeNoHeight)
{
    LayoutSetup s;
    s.height = 20;
    s.lineSpacing = -83 / 6.25L; // lines on top of each other
    for (long double spacing : {-83 / 6.25L, -20.0L}) {
        s.lineSpacing = spacing;
        TzdDrawText layout;
        layOut(layout, QStringLiteral("abc defgh ij\nklm"), s);
        bool paraBreak = true;
        EXPECT_EQ(layout.GetOutBoundsText(paraBreak), QString());
        EXPECT_FALSE(paraBreak);
        EXPECT_EQ(layout.LineCount(), 4);
        const long double unused = layout.GetUnusedHeight();
        EXPECT_TRUE(std::isfinite(double(unused)));
        EXPECT_GT(unused, 0);
    }
}

TEST(zdDrawText, NothingFitsAboveOneLine)
{
    LayoutSetup s;
    s.height = 5;
    TzdDrawText layout;
    layOut(layout, QStringLiteral("abc defgh"), s);
    bool paraBreak = true;
    EXPECT_EQ(layout.GetOutBoundsText(paraBreak), QStringLiteral("abc defgh\r\n"));
    EXPECT_FALSE(paraBreak);
    EXPECT_EQ(layout.GetPlainText(), QString());
    EXPECT_EQ(layout.LineCount(), 0);
}

// Lines beyond a fixed buffer of 32,768 widths used to overrun it.
TEST(zdDrawText, LinesLongerThanAnyFixedBuffer)
{
    QString text;
    while (text.size() < 40000)
        text += QStringLiteral("word ");
    text.chop(1);
    ASSERT_GT(text.size(), 32768);
    LayoutSetup s;
    s.width = 300;
    TzdDrawText layout;
    layOut(layout, text, s);
    EXPECT_EQ(layout.GetWrappedText().replace(QStringLiteral("\r\n"), QStringLiteral(" ")), text);

    s.options.WordWrap = false;
    layOut(layout, text, s);
    ASSERT_EQ(layout.LineCount(), 1);
    EXPECT_DOUBLE_EQ(double(layout.TextWidth()), text.size() * kMonoChar / 6.25);
    const auto records = drawn(layout, plat::TRect(0, 0, 300, 100));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].dx.size(), size_t(text.size()));
    EXPECT_EQ(sum(records[0].dx), text.size() * kMonoChar * 96 / 600);
}

// ---------------------------------------------------------------- drawing

TEST(zdDrawText, JustifiedLineGivesTheFreeRoomToItsBlanks)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    layOut(layout, QStringLiteral("a b c d"), s);
    layout.ApplyParaBreaks(false, true); // the paragraph goes on: justify
    const int natural = 7 * 8;
    const auto records = drawn(layout, plat::TRect(0, 0, natural + 8, 20), haBlock);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].dx, (std::vector<int>{8, 11, 8, 11, 8, 10, 8}));
}

TEST(zdDrawText, LastLineOfAJustifiedParagraphIsLeftAligned)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    layOut(layout, QStringLiteral("a b c d"), s);
    const auto records = drawn(layout, plat::TRect(0, 0, 100, 20), haBlock);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pts[0], 0);
    EXPECT_EQ(sum(records[0].dx), 56);
}

TEST(zdDrawText, HorizontalAlignment)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    layOut(layout, QStringLiteral("abc"), s); // 24 pixels
    const plat::TRect rect(10, 0, 110, 20);
    EXPECT_EQ(drawn(layout, rect, haLeft)[0].pts[0], 10);
    EXPECT_EQ(drawn(layout, rect, haRight)[0].pts[0], 110 - 24);
    EXPECT_EQ(drawn(layout, rect, haCenter)[0].pts[0], 10 + 38);
    EXPECT_EQ(drawn(layout, rect, haBlock)[0].pts[0], 10); // no blank: left
}

TEST(zdDrawText, IndentOnFirstLinesOnly)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.gap = 8;
    s.width = 48;
    layOut(layout, QStringLiteral("abcdefghij"), s);
    ASSERT_EQ(linesOf(layout), (QStringList{"abcde", "fghij"}));
    const auto records = drawn(layout, plat::TRect(0, 0, 48, 100));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].pts[0], 8);
    EXPECT_EQ(records[1].pts[0], 0);
    EXPECT_EQ(drawn(layout, plat::TRect(0, 0, 60, 100), haRight)[0].pts[0], 60 - 40); // no indent
}

TEST(zdDrawText, VerticalAlignmentMovesTheBlock)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    layOut(layout, QStringLiteral("a\nb"), s);
    // Two lines at scale 1: the layout's height, round((2 * 6.25 * 2 + 83 * 2) / 6.25).
    const int height = int(std::nearbyint((2 * 6.25 * 2 + 83 * 2) / 6.25));
    const plat::TRect rect(0, 10, 50, 110);
    EXPECT_EQ(drawn(layout, rect, haLeft, vaTop)[0].pts[1], 10);
    EXPECT_EQ(drawn(layout, rect, haLeft, vaBottom)[0].pts[1], 110 - height);
    EXPECT_EQ(drawn(layout, rect, haLeft, vaCenter)[0].pts[1], 10 + int(std::nearbyint((100 - height) / 2.0)));
}

TEST(zdDrawText, RotatedTextStartsAtItsCorner)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.WordWrap = false;
    const plat::TRect rect(10, 20, 110, 220);
    struct Case {
        int rotation;
        int x, y;     // first line
        int dx, dy;   // sign of the step to the next line
    };
    const Case cases[] = {{0, 10, 20, 0, 1}, {90, 10, 220, 1, 0}, {180, 110, 220, 0, -1}, {270, 110, 20, -1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        s.options.Rotation = c.rotation;
        layOut(layout, QStringLiteral("ab\ncd"), s);
        const auto records = drawn(layout, rect);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].fontOrientation, c.rotation * 10);
        EXPECT_EQ(records[0].pts[0], c.x);
        EXPECT_EQ(records[0].pts[1], c.y);
        const int stepX = records[1].pts[0] - records[0].pts[0], stepY = records[1].pts[1] - records[0].pts[1];
        EXPECT_EQ((stepX > 0) - (stepX < 0), c.dx);
        EXPECT_EQ((stepY > 0) - (stepY < 0), c.dy);
    }
}

// A negative rotation matched no row of the start-point table.
TEST(zdDrawText, NegativeRotationDrawsAsItsTurn)
{
    for (auto [negative, positive] : {std::pair{-90, 270}, std::pair{-30, 330}, std::pair{-200, 160}}) {
        SCOPED_TRACE(negative);
        LayoutSetup s;
        s.options.WordWrap = false;
        TzdDrawText layout;
        s.options.Rotation = negative;
        layOut(layout, QStringLiteral("ab\ncd"), s);
        const auto a = drawn(layout, plat::TRect(10, 20, 110, 220));
        s.options.Rotation = positive;
        layOut(layout, QStringLiteral("ab\ncd"), s);
        const auto b = drawn(layout, plat::TRect(10, 20, 110, 220));
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].pts, b[i].pts);
            EXPECT_EQ(a[i].fontOrientation, positive * 10);
        }
    }
}

TEST(zdDrawText, TagRunsAreDrawnOneCallEach)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.width = 200;
    s.options.HTMLTags = true;
    s.options.Clipped = true;
    layOut(layout, QStringLiteral("H<sub>2</sub>O <font color=Red>x</font>"), s);
    const auto records = drawn(layout, plat::TRect(0, 0, 200, 40));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].text, QStringLiteral("H"));
    EXPECT_EQ(records[1].text, QStringLiteral("2"));
    EXPECT_EQ(records[2].text, QStringLiteral("O "));
    EXPECT_EQ(records[3].text, QStringLiteral("x"));
    EXPECT_EQ(records[0].fontHeight, -13);
    EXPECT_EQ(records[1].fontHeight, -int(std::nearbyint(7 * 96 / 72.0))); // round(10 / 1.5) points
    EXPECT_EQ(records[1].pts[1] - records[0].pts[1], 7);                    // dropped by its size
    EXPECT_EQ(records[1].pts[0], records[0].pts[0] + sum(records[0].dx));
    EXPECT_EQ(records[3].fontColor, plat::clRed);
    for (const auto& r : records) {
        EXPECT_EQ(r.options & plat::ETO_CLIPPED, plat::ETO_CLIPPED);
        ASSERT_EQ(r.pts.size(), 6u);
        EXPECT_EQ(plat::TRect(r.pts[2], r.pts[3], r.pts[4], r.pts[5]), plat::TRect(0, 0, 200, 40));
    }

    layout.SetMonochromeText(true);
    layOut(layout, QStringLiteral("<font color=Red>x</font>"), s);
    EXPECT_EQ(drawn(layout, plat::TRect(0, 0, 200, 40))[0].fontColor, plat::clBlack);
}

TEST(zdDrawText, WithoutWysiwygTheCanvasChoosesTheWidths)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.Wysiwyg = false;
    layOut(layout, QStringLiteral("abc"), s);
    const auto records = drawn(layout, plat::TRect(0, 0, 100, 20));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].dx.empty());
}

TEST(zdDrawText, DrawingGivesTheCanvasItsStateBack)
{
    TzdDrawText layout;
    LayoutSetup s;
    s.options.Rotation = 90;
    layOut(layout, QStringLiteral("abc"), s);
    plat::TMetafile mf;
    plat::TMetafileCanvas canvas(mf);
    canvas.Font().SetName(QStringLiteral("Tahoma"));
    canvas.Font().SetHeight(-20);
    canvas.SetBkMode(plat::OPAQUE);
    layout.DrawText(canvas, haLeft, vaTop);
    EXPECT_EQ(canvas.Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(canvas.Font().Height(), -20);
    EXPECT_EQ(canvas.Font().Orientation(), 0);
    EXPECT_EQ(canvas.BkMode(), plat::OPAQUE);
}

TEST(zdDrawText, SpreadIncrements)
{
    struct Case {
        std::vector<int> values;
        int count, step;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {{10, 10}, 1, 1, {11, 10}}, // three lines, one pixel: the first advance
        {{0, 0, 0, 0}, 1, 1, {0, 1, 0, 0}},
        {{0, 0, 0, 0}, 2, -1, {-1, 0, -1, 0}},
        {{0, 0, 0, 0, 0}, 3, 1, {1, 0, 1, 1, 0}},
        {{0, 0, 0}, 0, 1, {0, 0, 0}},
        {{0}, 5, 1, {1}}, // more than places: no place outside the values
    };
    for (Case c : cases) {
        zdSpreadIncrements(c.values, 0, int(c.values.size()) - 1, c.count, c.step);
        EXPECT_EQ(c.values, c.expected);
    }
}

// ---------------------------------------------------------------- failures and the lock

TEST(zdDrawText, BadColourLeavesTheLayoutUsable)
{
    LayoutSetup s;
    s.options.HTMLTags = true;
    TzdDrawText layout;
    EXPECT_THROW(layOut(layout, QStringLiteral("<b>abc\n<font color=\"#xyz\">d"), s), plat::EConvertError);
    // The measuring font is plain again: a plain text draws plain.
    layout.SetText(sourceOf(QStringLiteral("abc")));
    const auto records = drawn(layout, plat::TRect(0, 0, 100, 20));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fontStyle, plat::TFontStyles());
}

TEST(zdDrawText, LockerReleasesTheLockWhenTheLayoutRaises)
{
    TzdDrawText& shared = zdSharedDrawText();
    try {
        TzdDrawText::Locker lock(shared);
        LayoutSetup s;
        s.options.HTMLTags = true;
        layOut(shared, QStringLiteral("<font color=\"#q\">x"), s);
    } catch (const plat::EConvertError&) {
    }
    bool free = false;
    std::thread other([&free] {
        free = zdDrawTextLock().tryLock();
        if (free)
            zdDrawTextLock().unlock();
    });
    other.join();
    EXPECT_TRUE(free);
}

TEST(zdDrawText, LockIsReentrant)
{
    TzdDrawText a, b;
    TzdDrawText::Locker outer(a);
    TzdDrawText::Locker inner(b); // the export's layout inside a memo's
    SUCCEED();
}
