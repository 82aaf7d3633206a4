// The editor's helpers: limits and tab columns, character classes, the
// gutter, glyphs and picture strips, event chains, the gradient and the
// highlighter framework.

#include "EditorFixture.h"
#include "PlainEditHighlighter.h"
#include "PlainEditMiscClasses.h"
#include "PlainEditMiscProcs.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "KeyStore.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace edtest;

TEST(PlainEditMiscProcs, LimitsAndCoordinates)
{
    EXPECT_EQ(ClampInt(5, 1, 3), 3);
    EXPECT_EQ(ClampInt(-5, 1, 3), 1);
    EXPECT_EQ(ClampInt(2, 4, 1), 4) << "Low wins";
    EXPECT_EQ(ClampToInt(qint64(1) << 40), std::numeric_limits<int>::max());
    EXPECT_EQ(EarlierCoord({5, 2}, {9, 1}), (TBufferCoord{9, 1}));
    EXPECT_EQ(EarlierCoord({5, 2}, {5, 2}), (TBufferCoord{5, 2}));
    int before = -1;
    EXPECT_TRUE(FindFirstTab(u"ab\tc", before));
    EXPECT_EQ(before, 2);
    EXPECT_FALSE(FindFirstTab(u"", before));
    EXPECT_TRUE(IsPowerOfTwo(2));
    EXPECT_TRUE(IsPowerOfTwo(65536));
    EXPECT_FALSE(IsPowerOfTwo(1));
    EXPECT_FALSE(IsPowerOfTwo(6));
    EXPECT_EQ(ChooseTabExpander(1), &ExpandTabsWidth1);
    EXPECT_EQ(ChooseTabExpander(8), &ExpandTabsPow2);
    EXPECT_EQ(ChooseTabExpander(3), &ExpandTabsModulo);
}

TEST(PlainEditMiscProcs, TabStopsAndColumns)
{
    struct Case {
        QString text;
        int width;
        int index;
        int column;
    };
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    const Case cases[] = {
        {"a\tbc", 4, 5, 7},     // a, tab to column 4, b, c
        {"a\tbc", 4, 1, 1},
        {"a\tbc", 4, 2, 2},     // not past the first tab
        {"\t\t", 8, 3, 17},
        {"abc", 8, 9, 9},       // past the end one column each
        {"a\tb", 1, 4, 4},
        {pair + "x\t", 4, 4, 3}, // a pair is one cell
        {pair + "x\t", 4, 5, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CharIndexToColumn(c.index, c.width, c.text), c.column) << c.text.toStdString() << " " << c.index;
    bool hasTabs = false;
    EXPECT_EQ(ExpandTabsModulo("ab\tc", 3, hasTabs), "ab\tc");
    EXPECT_TRUE(hasTabs);
    EXPECT_EQ(ExpandTabsPow2("\tx\t", 4, hasTabs), "\t\t\t\tx\t\t\t");
    EXPECT_EQ(ExpandTabsModulo("abc", 3, hasTabs), "abc");
    EXPECT_FALSE(hasTabs);
    EXPECT_EQ(TabExpandedLength(u"ab\tc", 3), 4);
}

TEST(PlainEditMiscProcs, CharacterSetsGoThroughCodePage1250)
{
    const TPlainCharSet ident({{48, 57}, {65, 90}, {95, 95}, {97, 122}, {192, 214}, {216, 246}, {248, 255}},
                              TPlainCharSet::OutsideLettersDigits);
    EXPECT_TRUE(ident.Contains(QChar(u'a')));
    EXPECT_TRUE(ident.Contains(QChar(0x010D))) << "č is 232 in the code page";
    EXPECT_FALSE(ident.Contains(QChar(0x0161))) << "š is 154, outside the set";
    EXPECT_FALSE(ident.Contains(QChar(0x00D7))) << "× is 215";
    EXPECT_TRUE(ident.Contains(char32_t(0x0416))) << "Cyrillic Ж is a letter outside the code page";
    EXPECT_FALSE(ident.Contains(char32_t(0x2014))) << "an em dash is no letter";
    const TPlainCharSet white = ident.Complement();
    EXPECT_TRUE(white.Contains(QChar(u' ')));
    EXPECT_TRUE(white.Contains(char32_t(0x2014)));
    EXPECT_FALSE(white.Contains(char32_t(0x0416)));
    const QString text = QStringLiteral("ab cd");
    EXPECT_EQ(ScanForCharInSet(text, 1, white), 3);
    EXPECT_EQ(ScanForCharInSet(text, 4, white), 0);
    EXPECT_EQ(ScanForCharInSet(text, 9, white), 0);
    EXPECT_EQ(ReverseScanForCharInSet(text, 5, white), 3);
    EXPECT_EQ(ReverseScanForCharInSet(text, 2, white), 0);
    const QString pair = QStringLiteral("a") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("b");
    EXPECT_TRUE(IsLeadChar(pair, 2));
    EXPECT_TRUE(IsTrailChar(pair, 3));
    EXPECT_EQ(ScanForLeadByte(pair, 1), 2);
    EXPECT_EQ(ScanForLeadByte(pair, 3), 0) << "a start on a trail begins after its pair";
    EXPECT_EQ(ReverseScanForLeadByte(pair, 4), 2);
    EXPECT_EQ(FindLineEnd(u"ab\ncd", 0), 2);
}

TEST(PlainEditMiscProcs, ClassesOfCharacterTypes)
{
    struct Case {
        quint16 type;
        int cls;
    };
    const Case cases[] = {
        {C3_SYMBOL, 9},
        {C3_HALFWIDTH, 1},
        {C3_HALFWIDTH | C3_ALPHA, 1},
        {C3_HALFWIDTH | C3_SYMBOL, 2},
        {C3_HALFWIDTH | C3_LEXICAL, 2},
        {C3_HALFWIDTH | C3_KATAKANA | C3_ALPHA, 3},
        {C3_HALFWIDTH | C3_DIACRITIC, 0},
        {C3_FULLWIDTH, 4},
        {C3_FULLWIDTH | C3_ALPHA, 4},
        {C3_FULLWIDTH | C3_SYMBOL, 5},
        {C3_FULLWIDTH | C3_KATAKANA, 6},
        {C3_FULLWIDTH | C3_HIRAGANA, 7},
        {C3_FULLWIDTH | C3_IDEOGRAPH | C3_ALPHA, 8},
        {0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CharClassOfType3(c.type), c.cls) << std::hex << c.type;
    EXPECT_EQ(CharClassOfType3(CharType3(U'a')), 1);
    EXPECT_EQ(CharClassOfType3(CharType3(U'.')), 2);
    EXPECT_EQ(CharClassOfType3(CharType3(U'\x4E2D')), 8);
    EXPECT_EQ(CharClassOfType3(CharType3(U'\x3042')), 7);
}

TEST(PlainEditMiscProcs, GradientOfTwoStepsAtLeast)
{
    QImage image(10, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    FillGradient(canvas, plat::clRed, plat::clBlue, true, plat::TRect(0, 0, 10, 4), 1);
    canvas.ReleaseDevice();
    EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u) << "the first band in the first colour";
    EXPECT_EQ(image.pixel(9, 3), 0xFF0000FFu) << "the last band in the second colour";
    EXPECT_EQ(image.pixel(4, 0), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(5, 0), 0xFF0000FFu) << "two bands, split in the middle";
}

TEST(PlainGutter, DigitsNumbersAndWidth)
{
    TPlainGutter gutter;
    EXPECT_EQ(gutter.Font()->Name(), "Courier New");
    EXPECT_EQ(gutter.Font()->Size(), 8);
    gutter.SetDigitCount(1);
    EXPECT_EQ(gutter.DigitCount(), 2);
    gutter.SetDigitCount(20);
    EXPECT_EQ(gutter.DigitCount(), 12);
    EXPECT_EQ(gutter.AutoDigitCount(), 12);
    gutter.SetDigitCount(4);
    gutter.SetShowLineNumbers(true);
    gutter.SetAutoSize(true);
    int changes = 0;
    gutter.OnChange = plat::TNotifyEvent([&](plat::TObject*) { ++changes; }, &changes, nullptr);
    gutter.UpdateAutoDigits(12345);
    EXPECT_EQ(gutter.AutoDigitCount(), 5);
    EXPECT_EQ(changes, 1);
    gutter.UpdateAutoDigits(12);
    EXPECT_EQ(gutter.AutoDigitCount(), 4);
    gutter.SetLeadingZeros(true);
    EXPECT_EQ(gutter.FormatLineNumber(7), "0007");
    gutter.SetLeadingZeros(false);
    EXPECT_EQ(gutter.FormatLineNumber(7), "   7");
    gutter.SetLineNumberStart(0);
    EXPECT_TRUE(gutter.ZeroStart());
    EXPECT_EQ(gutter.FormatLineNumber(1), "   0");
    gutter.SetLineNumberStart(10);
    EXPECT_FALSE(gutter.ZeroStart());
    EXPECT_EQ(gutter.FormatLineNumber(1), "  10");
    EXPECT_EQ(gutter.TotalWidth(7), 16 + 2 + 7 * 4 + 2);
    gutter.SetShowLineNumbers(false);
    EXPECT_EQ(gutter.TotalWidth(7), 30);
    gutter.SetVisible(false);
    EXPECT_EQ(gutter.TotalWidth(7), 0);
    changes = 0;
    gutter.SetBorderStyle(gutter.BorderStyle());
    EXPECT_EQ(changes, 1) << "the border style reports even an equal value";
    gutter.SetWidth(-3);
    gutter.SetGradientSteps(1);
    EXPECT_EQ(gutter.Width(), 0);
    EXPECT_EQ(gutter.GradientSteps(), 2);
    gutter.Font()->SetSize(12);
    EXPECT_EQ(changes, 4) << "a change of the font reports too";
}

TEST(PlainGlyph, CentresOrCutsThePictureToTheRow)
{
    TPlainGlyph glyph(QStringLiteral("PlainEditWrapped"), plat::clLime);
    ASSERT_TRUE(glyph.HasInternalGlyph());
    EXPECT_EQ(glyph.GlyphWidth(), 11);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    glyph.DrawGlyph(canvas, 0, 0, 20);
    canvas.ReleaseDevice();
    // 10 rows of picture centred on 20: rows 5..14; its lime mask is transparent.
    EXPECT_EQ(image.pixel(0, 4), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(0, 11), 0xFF000080u) << "the arrow's shaft";
    EXPECT_EQ(image.pixel(10, 5), 0xFFFFFFFFu) << "the mask colour stays transparent";
    TPlainGlyph none;
    EXPECT_EQ(none.GlyphWidth(), 0);
}

TEST(PlainInternalImage, SharesItsBitmapAndReleasesIt)
{
    const QString name = QStringLiteral("PlainEditInternalImages");
    {
        TPlainInternalImage a(10, name);
        TPlainInternalImage b(10, name.toLower());
        EXPECT_EQ(TPlainInternalImage::UsageCount(name), 2);
        EXPECT_EQ(a.Width(), 11);
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        plat::TCanvas canvas(&image);
        a.DrawImage(canvas, 10, 0, 0, 11);
        canvas.ReleaseDevice();
        EXPECT_EQ(image.pixel(5, 5), 0xFFFFFFFFu) << "no picture 10 of ten";
    }
    EXPECT_EQ(TPlainInternalImage::UsageCount(name), 0);
}

namespace {

QString chainMessage(const std::function<void()>& f)
{
    try {
        f();
    } catch (const plat::Exception& e) {
        return QString::fromLatin1(e.className()) + QStringLiteral(": ") + e.message();
    }
    return {};
}

} // namespace

TEST(PlainMethodChain, RunsHandlersAndDecidesOnFailures)
{
    plat::TObject sender;
    TPlainNotifyEventChain chain(&sender);
    QStringList log;
    const plat::TNotifyEvent a([&](plat::TObject* s) { log << (s == &sender ? "a" : "?"); }, &log, "a");
    const plat::TNotifyEvent fails([&](plat::TObject*) { throw plat::EConvertError(QStringLiteral("bad")); }, &log,
                                   "fails");
    const plat::TNotifyEvent b([&](plat::TObject*) { log << "b"; }, &log, "b");
    chain.AddHandler(a);
    chain.AddHandler(fails);
    chain.AddHandler(b);
    chain.AddHandler(a);
    chain.RemoveHandler(a);
    EXPECT_EQ(chain.Count(), 2) << "every equal entry goes";
    chain.AddHandler(a);
    EXPECT_EQ(chainMessage([&] { chain.FireChain(); }), "EConvertError: bad") << "no error handler: it passes on";
    log.clear();
    chain.OnChainError = TChainErrorEvent([](plat::TObject*, const plat::Exception&, bool& cont) { cont = false; },
                                          &log, nullptr);
    EXPECT_EQ(chainMessage([&] { chain.FireChain(); }), "");
    EXPECT_EQ(log, QStringList{}) << "the chain stops quietly after the failing handler";
    chain.OnChainError = TChainErrorEvent([](plat::TObject*, const plat::Exception&, bool&) { throw 1; }, &log,
                                          nullptr);
    EXPECT_EQ(chainMessage([&] { chain.FireChain(); }),
              "EPlainMethodChain: TPlainNotifyEventChain.DoHandleException : MUST NOT occur any kind of exception "
              "in ExceptionHandler");
    EXPECT_EQ(chainMessage([&] { chain.AddHandler(plat::TNotifyEvent()); }),
              "EPlainMethodChain: TPlainNotifyEventChain.Entry : the parameter `AEvent' must be specified.");
    EXPECT_EQ(chainMessage([&] { chain.RemoveHandler(plat::TNotifyEvent()); }),
              "EPlainMethodChain: TPlainNotifyEventChain.Remove: the parameter `AEvent' must be specified.");
}

namespace {

// The least highlighter: one token per line.
class TTestHighlighter : public TPlainCustomHighlighter {
public:
    explicit TTestHighlighter(plat::TComponent* owner) : TPlainCustomHighlighter(owner)
    {
        auto keyword = std::make_unique<TPlainTokenAttributes>(QStringLiteral("Keyword"));
        m_keyword = keyword.get();
        AddAttribute(std::move(keyword));
    }
    TPlainTokenAttributes* DefaultAttribute(int) const override { return m_keyword; }
    bool AtLineEnd() const override { return m_done; }
    QString TokenText() const override { return m_line; }
    TPlainTokenAttributes* TokenAttribute() const override { return m_keyword; }
    int TokenKind() const override { return 0; }
    int TokenStart() const override { return 0; }
    void NextToken() override { m_done = true; }
    void StartLine(const QString& text, int) override
    {
        m_line = text;
        m_done = text.isEmpty();
    }
    TPlainTokenAttributes* Keyword() const { return m_keyword; }

private:
    TPlainTokenAttributes* m_keyword;
    QString m_line;
    bool m_done = false;
};

} // namespace

TEST(PlainCustomHighlighter, FrameworkDefaultsAndChangeNotice)
{
    TTestHighlighter h(nullptr);
    EXPECT_EQ(h.LanguageName(), "<Unknown>");
    EXPECT_EQ(h.AttributeCount(), 1);
    EXPECT_EQ(h.AttributeAt(1), nullptr);
    EXPECT_TRUE(h.WordBreakCharacters().HasCode('['));
    EXPECT_FALSE(h.WordBreakCharacters().HasCode('a'));
    EXPECT_TRUE(h.IdentifierCharacters().HasCode('!'));
    int notices = 0;
    const plat::TNotifyEvent hook([&](plat::TObject*) { ++notices; }, &notices, nullptr);
    h.HookAttrChange(hook);
    h.BeginUpdate();
    h.Keyword()->SetForeground(plat::clRed);
    h.SetEnabled(false);
    EXPECT_EQ(notices, 0) << "pending while updating";
    h.EndUpdate();
    EXPECT_EQ(notices, 1);
    h.UnhookAttrChange(hook);
    h.SetEnabled(true);
    EXPECT_EQ(notices, 1);
}

TEST(PlainCustomHighlighter, AttributesGoToTheRegistryAndBack)
{
    QTemporaryDir dir;
    plat::KeyStore::setHiveFolders(dir.filePath("user"), dir.filePath("machine"));
    {
        TTestHighlighter h(nullptr);
        h.Keyword()->SetForeground(plat::clRed);
        h.Keyword()->SetStyle({plat::fsBold, plat::fsUnderline});
        EXPECT_EQ(h.Keyword()->StyleAsInteger(), 5);
        EXPECT_TRUE(h.WriteToRegistry(plat::KeyScope::User, QStringLiteral("\\Software\\Test\\Hl")));
        TTestHighlighter back(nullptr);
        EXPECT_FALSE(back.ReadFromRegistry(plat::KeyScope::User, QStringLiteral("\\Software\\Test\\None")));
        EXPECT_TRUE(back.ReadFromRegistry(plat::KeyScope::User, QStringLiteral("\\Software\\Test\\Hl")));
        EXPECT_EQ(back.Keyword()->Foreground(), plat::clRed);
        EXPECT_EQ(back.Keyword()->StyleAsInteger(), 5);
    }
    plat::KeyStore::resetHiveFolders();
}

TEST(PlainEditorWithHighlighter, RescansLineStatesAndForgetsAFreedHighlighter)
{
    auto e = editorWith({"a", "b"});
    auto* h = new TTestHighlighter(nullptr);
    e->SetHighlighter(h);
    EXPECT_EQ(e->Highlighter(), h);
    h->Keyword()->SetStyle({plat::fsBold});
    delete h;
    EXPECT_EQ(e->Highlighter(), nullptr);
}
