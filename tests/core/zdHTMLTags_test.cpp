#include "zdHTMLTags.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "FontEngine.h"
#include "../TestUtil.h"

#include <gtest/gtest.h>

using plat::TFontStyles;

namespace {

constexpr int kTagSize = 12;
const TFontStyles kBold{plat::fsBold};

// A tag list started with black, 12 points, no style, fed one paragraph.
struct Expanded {
    QString text;
    TzdHTMLTagsList list;
    const TzdHTMLTag& at(int i) const { return list.GetLine(list.Count() - 1).Items(i); }
    int count() const { return list.GetLine(list.Count() - 1).Count(); }
};

Expanded expand(const QString& source, bool tagsOn = true)
{
    Expanded e;
    e.list.TagsEnabled = tagsOn;
    e.list.Init(plat::clBlack, kTagSize, {});
    e.text = source;
    e.list.ExpandTags(e.text);
    return e;
}

} // namespace

TEST(zdHTMLTags, StylesAndSameFormatFollowThePreviousRecord)
{
    const Expanded e = expand(QStringLiteral("a<b>b</b>c"));
    EXPECT_EQ(e.text, QStringLiteral("abc"));
    ASSERT_EQ(e.count(), 3);
    EXPECT_EQ(e.at(0).Style, TFontStyles());
    EXPECT_EQ(e.at(1).Style, kBold);
    EXPECT_EQ(e.at(2).Style, TFontStyles());
    EXPECT_TRUE(e.at(0).SameFormat);  // the defaults
    EXPECT_FALSE(e.at(1).SameFormat); // bold after plain
    EXPECT_FALSE(e.at(2).SameFormat); // plain after bold
    EXPECT_EQ(e.at(2).SourcePos, 10); // tags counted in the source
}

TEST(zdHTMLTags, EdgeCases)
{
    struct Case {
        const char* source;
        const char* text;
        int index;          // the record looked at
        int size;
        int drop;
        TzdScriptPosition script;
        plat::TColor color;
        TFontStyles style;
    };
    const int reduced = zd::reducedSize(kTagSize);
    const Case cases[] = {
        {"H<sub>2</sub>O", "H2O", 1, reduced, 1, spSubscript, plat::clBlack, {}},
        {"H<sub>2</sub>O", "H2O", 2, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"x<SUP>2</SUP>", "x2", 1, reduced, 0, spSuperscript, plat::clBlack, {}},
        {"x<sup>2</sub>y", "x2y", 2, kTagSize, 0, spBaseline, plat::clBlack, {}}, // either closes
        {"<font color=\"#FF0000\">r</font>", "r", 0, kTagSize, 0, spBaseline, 255, {}},
        {"<font color=\"#0000ff\">r", "r", 0, kTagSize, 0, spBaseline, plat::clBlue, {}},
        {"<font color=Red>r", "r", 0, kTagSize, 0, spBaseline, plat::clRed, {}},
        {"<font color=  navy>r", "r", 0, kTagSize, 0, spBaseline, plat::clNavy, {}},
        {"<font color=Red>r</font>k", "rk", 1, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"<B><I><U><STRIKE>x", "x", 0, kTagSize, 0, spBaseline, plat::clBlack,
         {plat::fsBold, plat::fsItalic, plat::fsUnderline, plat::fsStrikeOut}},
        {"<b><i>x</i>y", "xy", 1, kTagSize, 0, spBaseline, plat::clBlack, {plat::fsBold}},
        {"<strike>x</strike>y", "xy", 1, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"<<b>x", "<x", 1, kTagSize, 0, spBaseline, plat::clBlack, {plat::fsBold}},
        // Not tags: the '<' stays.
        {"<font color=nothing>", "<font color=nothing>", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"<font color=Red", "<font color=Red", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"<bold>x", "<bold>x", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"<font color=\"#\">", "<font color=\"#\">", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"a<", "a<", 1, kTagSize, 0, spBaseline, plat::clBlack, {}},
        // Tags only: one blank with one record.
        {"<b></b>", " ", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
        {"", " ", 0, kTagSize, 0, spBaseline, plat::clBlack, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const Expanded e = expand(QString::fromUtf8(c.source));
        EXPECT_EQ(e.text, QString::fromUtf8(c.text));
        ASSERT_EQ(e.count(), e.text.size());
        const TzdHTMLTag& r = e.at(c.index);
        EXPECT_EQ(r.Size, c.size);
        EXPECT_EQ(r.Reduced, c.size != kTagSize);
        EXPECT_EQ(r.BaselineDrop, c.drop);
        EXPECT_EQ(r.ScriptPos, c.script);
        EXPECT_EQ(r.Color, c.color);
        EXPECT_EQ(r.Style, c.style);
    }
}

TEST(zdHTMLTags, NoWrapMarksItsCharacters)
{
    const Expanded e = expand(QStringLiteral("a <nowrap>b c</nowrap> d"));
    EXPECT_EQ(e.text, QStringLiteral("a b c d"));
    const bool expected[] = {false, false, true, true, true, false, false};
    for (int i = 0; i < e.count(); ++i)
        EXPECT_EQ(e.at(i).NoWrap, expected[i]) << i;
}

TEST(zdHTMLTags, DisabledTagsArePlainText)
{
    const Expanded e = expand(QStringLiteral("<b>x"), false);
    EXPECT_EQ(e.text, QStringLiteral("<b>x"));
    ASSERT_EQ(e.count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(e.at(i).SameFormat);
        EXPECT_EQ(e.at(i).Style, TFontStyles());
        EXPECT_EQ(e.at(i).SourcePos, i + 1);
    }
}

TEST(zdHTMLTags, HexColourThatIsNotHexadecimalRaises)
{
    Expanded e;
    e.list.Init(plat::clBlack, kTagSize, {});
    QString text = QStringLiteral("a<font color=\"#12G4\">b");
    try {
        e.list.ExpandTags(text);
        FAIL() << "no exception";
    } catch (const plat::EConvertError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'$12G4' is not a valid integer value"));
    }
}

// Seven or more digits used to land above 24 bits (a system colour's
// marker); only the last six digits count.
TEST(zdHTMLTags, LongHexColourKeepsItsLow24Bits)
{
    EXPECT_EQ(expand(QStringLiteral("<font color=\"#1FF0000\">r")).at(0).Color, plat::clRed);
    EXPECT_EQ(expand(QStringLiteral("<font color=\"#AB00FF00\">r")).at(0).Color, plat::clLime);
    EXPECT_EQ(expand(QStringLiteral("<font color=\"#1234567890FFFF00\">r")).at(0).Color, plat::clYellow);
}

TEST(zdHTMLTags, ParagraphsContinueTheSourcePositionAndTheFormat)
{
    TzdHTMLTagsList list;
    list.Init(plat::clBlack, kTagSize, {});
    QString first = QStringLiteral("<b>ab");
    list.NewLine(); // nothing to follow yet: the first record makes the group
    list.ExpandTags(first);
    list.SourcePos += 2;
    list.NewLine();
    QString second = QStringLiteral("c</b>d");
    list.ExpandTags(second);
    ASSERT_EQ(list.Count(), 2);
    const TzdHTMLTags& line = list.GetLine(1);
    EXPECT_EQ(line.Items(0).SourcePos, 8); // after "<b>ab" and CR LF
    EXPECT_TRUE(line.Items(0).SameFormat); // still bold, as the paragraph before ended
    EXPECT_EQ(line.Items(1).SourcePos, 13);
    EXPECT_FALSE(line.Items(1).SameFormat);
    EXPECT_EQ(list.PrevTag(), &line.Items(0));
}

TEST(zdHTMLTags, WrapSplitsTheLastGroup)
{
    TzdHTMLTagsList list;
    list.Init(plat::clBlack, kTagSize, {});
    QString text = QStringLiteral("<b>abcdef");
    list.ExpandTags(text);
    list.Wrap(2, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetLine(0).Count(), 2);
    ASSERT_EQ(list.GetLine(1).Count(), 4);
    // The new line takes the format of the one before, but keeps its own
    // place in the source, so a part split here does not repeat 'b'.
    EXPECT_EQ(list.GetLine(1).Items(0).Style, kBold);
    EXPECT_EQ(list.GetLine(1).Items(0).SourcePos, 6);
    EXPECT_EQ(list.GetLine(1).Items(0).SameFormat, list.GetLine(0).Items(1).SameFormat);

    list.Wrap(1, true); // "c" + hyphen
    ASSERT_EQ(list.Count(), 3);
    ASSERT_EQ(list.GetLine(1).Count(), 2);
    EXPECT_EQ(list.GetLine(1).Items(1).SourcePos, list.GetLine(1).Items(0).SourcePos);
    EXPECT_EQ(list.GetLine(2).Count(), 3);

    list.Wrap(5, false); // nothing beyond: no new group
    EXPECT_EQ(list.Count(), 3);
    EXPECT_THROW(list.GetLine(3), plat::EListError);
    EXPECT_THROW(list.GetLine(0).Items(2), plat::EListError);
}

TEST(zdHTMLTags, FillCharWidthsMeasuresEachRunInItsStyle)
{
    plat::TCanvas canvas;
    canvas.Font().SetName(QStringLiteral("Arial"));
    canvas.Font().SetHeight(-83);
    TzdHTMLTagsList list;
    list.Init(plat::clBlack, kTagSize, {});
    QString text = QStringLiteral("no<b>no</b><sub>n</sub>");
    list.ExpandTags(text);
    ASSERT_EQ(text, QStringLiteral("nonon"));

    plat::FontRequest regular{QStringLiteral("Arial")};
    plat::FontRequest bold{QStringLiteral("Arial"), true};
    const plat::FontFace& r = plat::FontEngine::Instance().Match(regular);
    const plat::FontFace& b = plat::FontEngine::Instance().Match(bold);
    const int w = r.CharAdvance('n', 83), a = r.CharAdvance('o', 83);
    const int bw = b.CharAdvance('n', 83), ba = b.CharAdvance('o', 83);
    ASSERT_NE(w, bw);
    const int sub = int(std::nearbyint((w + 5) / 1.5));
    std::vector<int> widths;
    EXPECT_EQ(list.FillCharWidths(widths, text, false, false, 5, 0, canvas), w + a + bw + ba + 20 + sub);
    EXPECT_EQ(widths, (std::vector<int>{w + 5, a + 5, bw + 5, ba + 5, sub}));
    list.FillCharWidths(widths, text, false, true, 0, 0, canvas);
    EXPECT_EQ(widths.back(), w + a + bw + ba + int(std::nearbyint(w / 1.5)));
}

TEST(zdHTMLTags, EightBitMeasuringSeesTheCharsetsCodePage)
{
    // Czech letters survive code page 1250; in code page 1252 ř becomes '?'.
    EXPECT_EQ(zd::charsetText(QStringLiteral("řeka"), plat::EASTEUROPE_CHARSET, false), QStringLiteral("řeka"));
    EXPECT_EQ(zd::charsetText(QStringLiteral("řeka"), plat::ANSI_CHARSET, false), QStringLiteral("?eka"));
    EXPECT_EQ(zd::charsetText(QStringLiteral("řeka"), plat::ANSI_CHARSET, true), QStringLiteral("řeka"));
    EXPECT_EQ(zd::charsetText(QStringLiteral("řeka"), plat::DEFAULT_CHARSET, false), QStringLiteral("řeka"));
    // A character the code page lacks keeps the text's length.
    const QString pair = QString::fromUcs4(U"a\U0001F600b");
    EXPECT_EQ(zd::charsetText(pair, plat::EASTEUROPE_CHARSET, false).size(), pair.size());
}

TEST(zdHTMLTags, WrapAllCutsAsWrapsInARowDo)
{
    const auto groups = [](const TzdHTMLTagsList& list) {
        std::vector<std::vector<std::pair<int, bool>>> out; // source position, same format
        for (int g = 0; g < list.Count(); ++g) {
            out.emplace_back();
            for (int i = 0; i < list.GetLine(g).Count(); ++i)
                out.back().emplace_back(list.GetLine(g).Items(i).SourcePos, list.GetLine(g).Items(i).SameFormat);
        }
        return out;
    };
    const std::vector<std::vector<TzdHTMLTagsList::Cut>> cases = {
        {{2, false}, {3, true}, {1, false}},
        {{0, false}, {4, false}},
        {{1, true}, {1, true}, {1, true}},
        {{3, false}, {20, true}, {2, false}}, // a cut beyond the records
    };
    for (const auto& cuts : cases) {
        TzdHTMLTagsList one, many;
        for (TzdHTMLTagsList* list : {&one, &many}) {
            list->Init(plat::clBlack, kTagSize, {});
            QString text = QStringLiteral("a<b>bc</b>defg<i>hi");
            list->ExpandTags(text);
        }
        for (const auto& cut : cuts)
            one.Wrap(cut.Count, cut.AddHyphen);
        many.WrapAll(cuts);
        EXPECT_EQ(groups(one), groups(many));
    }
}
