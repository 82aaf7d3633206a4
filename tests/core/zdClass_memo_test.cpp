// Text objects: expressions evaluated by the real script engine, display
// formats under fixed Czech and English settings, highlights, suppressed
// repeats, hidden zeros, splitting and flowing, styles, storage and the
// difference texts of prepared pages.

#include "Canvas.h"
#include "Exceptions.h"
#include "FontEngine.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "Metafile.h"
#include "Variant.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_style.h"
#include "zdModelFixture.h"
#include "../MutationTestUtil.h"
#include "zdVariables.h"
#include "zdXMLSerializer.h"

#include <QImage>

#include <thread>

#include <gtest/gtest.h>

using zdtest::TzdTestBand;
using zdtest::TzdTestReport;

namespace {

// Format settings fixed for one test, given back afterwards.
class FormatSettingsScope {
public:
    explicit FormatSettingsScope(const plat::TFormatSettings& settings) : m_saved(plat::FormatSettings())
    {
        plat::FormatSettings() = settings;
    }
    ~FormatSettingsScope() { plat::FormatSettings() = m_saved; }

private:
    plat::TFormatSettings m_saved;
};

struct MemoFixture : ::testing::Test {
    TzdTestReport report;
    TzdTestBand* band = new TzdTestBand(&report);
    TzdMemoView* memo = new TzdMemoView(band);

    MemoFixture()
    {
        zdtest::startReportLibrary();
        band->SetName(QStringLiteral("Band1"));
        band->SetBounds(0, 100, 700, 300);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(10, 20, 200, 60);
        memo->Font()->SetName(QStringLiteral("Arial"));
        memo->Font()->SetSize(10);
        memo->SetParentFont(false);
    }

    // One printing of the memo: its text while printed.
    QString print(TzdCustomMemoView* m, const QString& text)
    {
        m->SetText(text);
        m->BeforePrint();
        m->GetData();
        const QString printed = m->Text();
        m->AfterPrint();
        return printed;
    }
    QString print(const QString& text) { return print(memo, text); }
};

QString line(const QString& text)
{
    return text + QStringLiteral("\r\n");
}

} // namespace

TEST_F(MemoFixture, AnsiTextTakesTheCodePageOfTheFontsCharset)
{
    memo->Font()->SetCharset(plat::EASTEUROPE_CHARSET);
    memo->SetText(QStringLiteral("Žluť"));
    EXPECT_EQ(memo->AnsiText(), QByteArray("\x8Elu\x9D\r\n"));
    memo->SetAnsiText(QByteArray("\x8A\xE1rka"));
    EXPECT_EQ(memo->Text(), line(QStringLiteral("Šárka")));
}

TEST_F(MemoFixture, RotationIsStoredInOneTurn)
{
    const std::pair<int, int> cases[] = {{400, 40}, {360, 0}, {90, 90}, {-30, -30}, {-400, -40}};
    for (auto [given, stored] : cases) {
        memo->SetRotation(given);
        EXPECT_EQ(memo->Rotation(), stored) << given;
    }
}

TEST_F(MemoFixture, InlineFormatsUnderCzechAndEnglishSettings)
{
    struct Case {
        const char* text;
        const char* czech;
        const char* english;
    };
    const Case cases[] = {
        {"[3.5 #n%2.2f]", "3.50", "3.50"},
        {"[3.5 #n%2,2f]", "3,50", "3,50"},
        {"[3.5 #n%2-2f]", "3-50", "3-50"},
        {"[1234567.891 #n%2.2n]", "1\u00A0234\u00A0567.89", "1,234,567.89"},
        {"[1 = 1 #bNo,Yes]", "Yes", "Yes"},
        {"[1 = 2 #bNo,Yes]", "No", "No"},
        {"[42 #n%d kusů]", "42 kusů", "42 kusů"},
        {"[EncodeDate(2024, 3, 5) #dyyyy-mm-dd]", "2024-03-05", "2024-03-05"},
        {"[0.5 #n%g]", "0,5", "0.5"}, // no separator of its own: the locale's stays
        {"['a' + 'b' #x]", "ab", "ab"},
    };
    for (const auto& [settings, czech] : {std::pair{plat::TFormatSettings::czech(), true},
                                          std::pair{plat::TFormatSettings::english(), false}}) {
        FormatSettingsScope scope(settings);
        for (const Case& c : cases)
            EXPECT_EQ(print(QString::fromUtf8(c.text)), line(QString::fromUtf8(czech ? c.czech : c.english)))
                << c.text << (czech ? " (Czech)" : " (English)");
    }
}

TEST_F(MemoFixture, MemoFormatAndSeparatorsOfTheDisplayFormat)
{
    FormatSettingsScope scope(plat::TFormatSettings::czech());
    TzdFormat* f = memo->DisplayFormat();
    f->Kind = fkNumeric;
    f->FormatStr = QStringLiteral("%2.2n");
    f->DecimalSeparator = QStringLiteral(".");
    f->ThousandSeparator = QStringLiteral("'");
    EXPECT_EQ(print(QStringLiteral("[1234.5]")), line(QStringLiteral("1'234.50")));
    // A format holding ")" is part of the expression: the memo's format applies.
    EXPECT_EQ(print(QStringLiteral("[Length('a #b)') + 0.5]")), line(QStringLiteral("5.50")));
    f->Kind = fkBoolean;
    f->FormatStr = QStringLiteral("ne,ano");
    EXPECT_EQ(print(QStringLiteral("[2 > 1]")), line(QStringLiteral("ano")));
    // A value the format cannot take prints as it is.
    f->Kind = fkDateTime;
    f->FormatStr = QStringLiteral("yyyy");
    EXPECT_EQ(print(QStringLiteral("['xyz']")), line(QStringLiteral("xyz")));
}

TEST_F(MemoFixture, ExpressionsTakeTheFormatsInTurn)
{
    FormatSettingsScope scope(plat::TFormatSettings::english());
    auto* first = static_cast<TzdFormat*>(memo->Formats()->Add());
    first->Kind = fkNumeric;
    first->FormatStr = QStringLiteral("%1.1f");
    auto* second = static_cast<TzdFormat*>(memo->Formats()->Add());
    second->Kind = fkNumeric;
    second->FormatStr = QStringLiteral("%1.3f");
    EXPECT_EQ(print(QStringLiteral("[1] [2] [3]")), line(QStringLiteral("1.0 2.000 3.000")));
}

TEST_F(MemoFixture, TextWithoutDelimiterKeepsItsLines)
{
    const QString text = QStringLiteral("a\r\n\r\n b ]\r\n\r\n");
    memo->SetText(text);
    const int lines = memo->Memo()->Count();
    EXPECT_EQ(print(text), text);
    memo->SetText(text);
    memo->GetData();
    EXPECT_EQ(memo->Memo()->Count(), lines);
}

TEST_F(MemoFixture, QuotedAndUnterminatedExpressions)
{
    EXPECT_EQ(print(QStringLiteral("<['a]b' + '[']>")), line(QStringLiteral("<a]b[>")));
    // An expression without its closing delimiter runs to the end of the text.
    EXPECT_EQ(print(QStringLiteral("a [1 + 1")), line(QStringLiteral("a 2")));
}

TEST_F(MemoFixture, OwnDelimitersAndEmptyDelimiters)
{
    memo->ExpressionDelimiters = QStringLiteral("<%,%>");
    EXPECT_EQ(print(QStringLiteral("a <%1 + 1%> [b]")), line(QStringLiteral("a 2 [b]")));
    // An empty delimiter is found everywhere: the text stays as it is.
    for (const char* delimiters : {"", ",", "[,", ",]", "[]"}) {
        memo->ExpressionDelimiters = QString::fromLatin1(delimiters);
        EXPECT_EQ(print(QStringLiteral("x [1] y")), line(QStringLiteral("x [1] y"))) << delimiters;
    }
}

TEST_F(MemoFixture, DeferredPageTagsAreFilledWhenDrawn)
{
    zdGlobalVariables()->SetVariables(QStringLiteral("CopyName"), plat::Variant(QStringLiteral("Kopie ")));
    memo->SetText(QStringLiteral("Strana z [TotalPages#], [copyname#]"));
    memo->BeforePrint();
    memo->GetData();
    EXPECT_EQ(memo->Text(), line(QStringLiteral("Strana z [TotalPages#], [CopyName#]")));
    memo->PageTotal = 7;
    memo->CopyNo = 2;
    memo->FillDeferredTags();
    EXPECT_EQ(memo->Text(), line(QStringLiteral("Strana z 7, Kopie 2")));
    memo->AfterPrint();
    EXPECT_EQ(memo->Text(), line(QStringLiteral("Strana z [TotalPages#], [copyname#]")));
    zdGlobalVariables()->DeleteVariable(QStringLiteral("CopyName"));
    memo->FillDeferredTags();
    memo->SetText(QStringLiteral("[COPYNAME#]|[TOTALPAGES]"));
    memo->FillDeferredTags();
    EXPECT_EQ(memo->Text(), line(QStringLiteral("|[TOTALPAGES]")));
    EXPECT_EQ(memo->GetComponentText(), line(QStringLiteral("|7")));
}

TEST_F(MemoFixture, SuppressRepeatedPrintsTheFirstOfEqualValues)
{
    memo->SuppressRepeated = true;
    EXPECT_EQ(print(QStringLiteral("[5]")), line(QStringLiteral("5")));
    EXPECT_EQ(print(QStringLiteral("[5]")), QString());
    EXPECT_EQ(print(QStringLiteral("[5]")), QString());
    EXPECT_EQ(print(QStringLiteral("[6]")), line(QStringLiteral("6")));
    memo->ForgetLastValue();
    EXPECT_EQ(print(QStringLiteral("[6]")), line(QStringLiteral("6")));
}

TEST_F(MemoFixture, HideZerosHidesNumbersOnly)
{
    memo->HideZeros = true;
    EXPECT_EQ(print(QStringLiteral("a[0.0]b")), line(QStringLiteral("ab")));
    EXPECT_EQ(print(QStringLiteral("a['0']b")), line(QStringLiteral("a0b")));
    EXPECT_EQ(print(QStringLiteral("a[Null]b")), line(QStringLiteral("ab")));
    EXPECT_EQ(print(QStringLiteral("a[1 - 1 #n%2.2f]b")), line(QStringLiteral("ab")));
    memo->HideZeros = false;
    EXPECT_EQ(print(QStringLiteral("a[0]b")), line(QStringLiteral("a0b")));
}

TEST_F(MemoFixture, FirstTrueHighlightAppliesForOnePrinting)
{
    auto* never = static_cast<TzdHighlight*>(memo->Highlights()->Add());
    never->Condition = QStringLiteral("1 = 2");
    auto* blank = static_cast<TzdHighlight*>(memo->Highlights()->Add());
    blank->Condition = QStringLiteral("  ");
    auto* first = static_cast<TzdHighlight*>(memo->Highlights()->Add());
    first->Condition = QStringLiteral("1 = 1");
    first->Font()->SetColor(plat::clBlue);
    first->SetColor(plat::clYellow);
    first->Visible = false;
    auto* second = static_cast<TzdHighlight*>(memo->Highlights()->Add());
    second->Condition = QStringLiteral("2 = 2");
    second->Font()->SetColor(plat::clGreen);

    memo->SetColor(plat::clWhite);
    memo->SetText(QStringLiteral("x"));
    memo->BeforePrint();
    memo->GetData();
    EXPECT_TRUE(memo->HighlightApplied());
    EXPECT_EQ(memo->Font()->Color(), plat::clBlue);
    EXPECT_EQ(memo->Color(), plat::clYellow);
    EXPECT_FALSE(memo->Visible());
    memo->AfterPrint();
    EXPECT_FALSE(memo->HighlightApplied());
    EXPECT_EQ(memo->Font()->Color(), plat::clBlack);
    EXPECT_EQ(memo->Color(), plat::clWhite);
    EXPECT_TRUE(memo->Visible());
}

TEST_F(MemoFixture, FailingExpressionRaisesAndIsListed)
{
    memo->SetText(QStringLiteral("[NoSuchThing + 1]"));
    memo->BeforePrint();
    EXPECT_THROW(memo->GetData(), plat::Exception);
    memo->AfterPrint();
    EXPECT_EQ(memo->Text(), line(QStringLiteral("[NoSuchThing + 1]")));
    EXPECT_GT(report.ErrorList.Count(), 0);
}

TEST_F(MemoFixture, FlowToTakesWhatDoesNotFitWithoutEvaluatingIt)
{
    auto* next = new TzdMemoView(band);
    next->SetName(QStringLiteral("Memo2"));
    next->SetBounds(300, 20, 200, 200);
    memo->SetFlowTo(next);
    memo->SetHeight(40); // two lines of Arial 10 with the gaps
    memo->SetText(QStringLiteral("one [1 + 1]\r\ntwo\r\nthree\r\nfour ['[x]']"));
    memo->BeforePrint();
    next->BeforePrint();
    memo->GetData();
    EXPECT_EQ(memo->Text(), QStringLiteral("one 2\r\ntwo\r\n"));
    EXPECT_EQ(next->Text(), QStringLiteral("three\r\nfour [x]\r\n"));
    EXPECT_FALSE(next->AllowExpressions);
    next->GetData();
    EXPECT_EQ(next->Text(), QStringLiteral("three\r\nfour [x]\r\n")) << "brackets of the rest stay";
    delete next;
    EXPECT_EQ(memo->FlowTo(), nullptr) << "a freed target is forgotten";
}

TEST_F(MemoFixture, FlowToItselfIsIgnored)
{
    memo->SetFlowTo(memo);
    memo->SetHeight(40);
    const QString text = QStringLiteral("one\r\ntwo\r\nthree\r\nfour\r\n");
    memo->SetText(text);
    memo->BeforePrint();
    memo->GetData();
    EXPECT_EQ(memo->Text(), text);
    memo->AfterPrint();
}

TEST_F(MemoFixture, FitNextPartSplitsAndReportsTheRoomLeft)
{
    memo->SetHeight(40);
    memo->SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    memo->InitPart();
    const long double room = memo->FitNextPart();
    EXPECT_EQ(memo->Text(), QStringLiteral("one\r\ntwo\r\n"));
    EXPECT_EQ(memo->RemainingText, QStringLiteral("three\r\n"));
    EXPECT_GT(room, 2 * memo->GapY);
    EXPECT_LT(room, memo->Height());
    // Nothing fits: the full height.
    memo->SetHeight(8);
    memo->SetText(QStringLiteral("one\r\ntwo"));
    memo->InitPart();
    EXPECT_EQ(memo->FitNextPart(), memo->Height());
}

TEST_F(MemoFixture, HeightAndWidthFollowTheText)
{
    memo->SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    TzdDrawText& layout = memo->TextLayout();
    const long double three = memo->CalcHeight();
    EXPECT_EQ(three, std::nearbyint(memo->VerticalPadding() + layout.TextHeight()));
    memo->SetText(QStringLiteral("one"));
    EXPECT_LT(memo->CalcHeight(), three);
    memo->Frame()->Typ = TzdFrameTypes{ftTop, ftBottom, ftLeft, ftRight};
    memo->Frame()->SetWidth(3);
    EXPECT_EQ(memo->VerticalPadding(), 2 * 1 + 1 + 1.5L);
    EXPECT_EQ(memo->HorizontalPadding(), 2 * 2 + 1 + 1.5L);

    // AutoWidth at run time: the width follows the text, right-aligned text keeps its right edge.
    memo->Frame()->Typ = TzdFrameTypes{};
    memo->SetText(QStringLiteral("Krátký"));
    const long double width = memo->CalcWidth();
    EXPECT_GT(width, 20);
    EXPECT_LT(width, 80);
    memo->AutoWidth = true;
    memo->HAlign = haRight;
    const long double right = memo->Left() + memo->Width();
    QImage image(400, 400, QImage::Format_RGB32);
    plat::TCanvas canvas(&image);
    memo->Draw(&canvas, 1, 1, 0, 0);
    EXPECT_NEAR(double(memo->Width()), double(width), 1);
    EXPECT_NEAR(double(memo->Left() + memo->Width()), double(right), 0.0001);
}

TEST_F(MemoFixture, TextRectangleInsideFrameAndGaps)
{
    memo->Frame()->Typ = TzdFrameTypes{ftLeft, ftTop};
    memo->Frame()->SetWidth(3);
    memo->BeginDraw(nullptr, 2, 2, 5, 7);
    // PixX = 5 + 2 * 10, PixY = 7 + 2 * 120; left side round((6 - 1) / 2) = 2; gaps 4 and 2.
    EXPECT_EQ(memo->TextRectangle.Left, 25 + 2 + 4);
    EXPECT_EQ(memo->TextRectangle.Top, 247 + 2 + 2);
    EXPECT_EQ(memo->TextRectangle.Right, 25 + 400 - 4 + 1);
    EXPECT_EQ(memo->TextRectangle.Bottom, 247 + 120 - 2 + 1);
}

TEST_F(MemoFixture, LayoutLockIsReleasedWhenAnExpressionFails)
{
    memo->SetText(QStringLiteral("[1 div 0]"));
    memo->SetFlowTo(new TzdMemoView(band));
    memo->BeforePrint();
    EXPECT_THROW(memo->GetData(), plat::Exception);
    // Another thread could take the lock now.
    bool taken = false;
    std::thread other([&] {
        taken = zdDrawTextLock().tryLock();
        if (taken)
            zdDrawTextLock().unlock();
    });
    other.join();
    EXPECT_TRUE(taken);
    memo->AfterPrint();
}

TEST_F(MemoFixture, StyleOfTheReportIsTakenByName)
{
    TzdStyles styles(&report);
    report.ReportStyles = &styles;
    TzdStyleItem* head = styles.Add();
    head->SetName(QStringLiteral("Nadpis"));
    head->Font()->SetSize(16);
    head->SetColor(plat::clAqua);
    head->ApplyFrame = false;
    head->Frame()->Typ = TzdFrameTypes{ftLeft};
    memo->SetStyle(QStringLiteral("nadpis"));
    EXPECT_EQ(memo->Style(), QStringLiteral("nadpis"));
    EXPECT_EQ(memo->Font()->Size(), 16);
    EXPECT_EQ(memo->Color(), plat::clAqua);
    EXPECT_TRUE(memo->Frame()->Typ.empty());

    // A set without the style: the memo no longer names one.
    head->SetName(QStringLiteral("Jiný"));
    styles.Apply();
    EXPECT_EQ(memo->Style(), QString());
    report.ReportStyles = nullptr;
}

TEST_F(MemoFixture, StoredWithNestedFormatsAndHighlights)
{
    memo->SetText(QStringLiteral("Řádek 1\r\n<b>Řádek</b> 2"));
    memo->SetRotation(90);
    memo->HAlign = haBlock;
    memo->GapX = 3;
    memo->ExpressionDelimiters = QStringLiteral("<%,%>");
    memo->DisplayFormat()->FormatStr = QStringLiteral("%2.2f");
    auto* h = memo->Highlight();
    h->Condition = QStringLiteral("Value > 0");
    const QByteArray one = zdtest::saveToBytes(memo, false);
    EXPECT_TRUE(one.contains("DisplayFormat.FormatStr=\"%2.2f\"")) << one.constData();
    EXPECT_TRUE(one.contains("Highlight.Condition=\"Value &#62; 0\"") || one.contains("Highlight.Condition=\"Value &gt; 0\""))
        << one.constData();
    EXPECT_FALSE(one.contains("<Formats"));

    static_cast<TzdFormat*>(memo->Formats()->Add())->FormatStr = QStringLiteral("second");
    memo->Highlights()->Add();
    const QByteArray two = zdtest::saveToBytes(memo, false);
    EXPECT_TRUE(two.contains("<Formats>")) << two.constData();
    EXPECT_TRUE(two.contains("<Highlights>"));
    EXPECT_FALSE(two.contains("DisplayFormat."));

    // The attribute text of prepared pages carries them as binary data.
    {
        TzdXMLSerializer serializer(nullptr);
        const QByteArray text = serializer.GetObjectText(memo);
        EXPECT_TRUE(text.contains(" PropData=\"")) << text.constData();
        auto* copy = dynamic_cast<TzdMemoView*>(serializer.ReadObjectFromText(&report, text, true));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Formats()->Count(), 2);
        EXPECT_EQ(copy->Formats()->GetItem(1)->FormatStr, QStringLiteral("second"));
        EXPECT_EQ(copy->Highlights()->Count(), 2);
        EXPECT_EQ(copy->Text(), memo->Text());
        delete copy;
    }

    auto* loaded = new TzdMemoView(band);
    zdtest::loadFromBytes(loaded, two);
    EXPECT_EQ(loaded->Text(), memo->Text());
    EXPECT_EQ(loaded->Rotation(), 90);
    EXPECT_EQ(loaded->HAlign, haBlock);
    EXPECT_EQ(loaded->GapX, 3);
    EXPECT_EQ(loaded->ExpressionDelimiters, QStringLiteral("<%,%>"));
    ASSERT_EQ(loaded->Formats()->Count(), 2);
    EXPECT_EQ(loaded->Formats()->GetItem(1)->FormatStr, QStringLiteral("second"));
    ASSERT_EQ(loaded->Highlights()->Count(), 2);
    EXPECT_EQ(loaded->Highlights()->GetItem(0)->Condition, QStringLiteral("Value > 0"));
    EXPECT_EQ(zdtest::saveToBytes(loaded, false), two);
}

TEST_F(MemoFixture, DifferenceTextCarriesTextAndParagraphBreaks)
{
    TzdMemoView reference(nullptr);
    memo->SetText(QStringLiteral("a<b\r\nč"));
    memo->GapY = 4;
    memo->SetRotation(90);
    memo->LastParaBreak = true;
    const QString diff = memo->DiffAttributes(&reference);
    EXPECT_TRUE(diff.contains(QStringLiteral(" GapY=\"4\""))) << diff.toStdString();
    EXPECT_TRUE(diff.contains(QStringLiteral(" u=\"a&lt;b&#13;&#10;č\"")) || diff.contains(QStringLiteral(" u=\"a&#60;b&#13;&#10;č\"")))
        << diff.toStdString();
    EXPECT_TRUE(diff.contains(QStringLiteral(" Rotation=\"90\"")));
    EXPECT_TRUE(diff.contains(QStringLiteral(" LastParaBreak=\"1\"")));
    EXPECT_FALSE(diff.contains(QStringLiteral("FirstParaBreak")));
    // The next part continues the paragraph.
    EXPECT_TRUE(memo->FirstParaBreak);
    EXPECT_FALSE(memo->LastParaBreak);
    EXPECT_TRUE(memo->DiffAttributes(&reference).contains(QStringLiteral(" FirstParaBreak=\"1\"")));
}

TEST_F(MemoFixture, DesignerShowsTheBindingAndNames)
{
    EXPECT_EQ(memo->ClassDisplayName(), QStringLiteral("Objekt textu"));
    TzdSysMemoView sys(nullptr);
    EXPECT_EQ(sys.ClassDisplayName(), QStringLiteral("Systémový text"));
    memo->AllowHTMLTags = true;
    memo->SetText(QStringLiteral("<b>a</b> <i>b</i>"));
    EXPECT_EQ(memo->GetWrappedText(false).trimmed(), QStringLiteral("a b"));
    memo->SetText(QStringLiteral("<b>tučně</b> a dost dlouhý text, který se zalomí do dalších řádků"));
    const QString wrapped = memo->GetWrappedText(true);
    EXPECT_GT(wrapped.count(QStringLiteral("\r\n")), 0);
    EXPECT_FALSE(wrapped.contains(u'<'));
    EXPECT_EQ(QString(wrapped).remove(QStringLiteral("\r\n")).remove(u' '),
              QStringLiteral("tučně a dost dlouhý text, který se zalomí do dalších řádků").remove(u' '));
}

// ---------------------------------------------------------------------------
// What a memo draws is as wide as its 600-dpi layout, on every screen scale
// and printer resolution: each line's advances add up to the line's width
// from the font's own advances (a justified line's to the text rectangle).

namespace {

struct DrawnText {
    QString text;
    long long advances = 0;
};

// A printer canvas that keeps its text calls instead of drawing them.
class RecordingPrinterCanvas : public plat::TPrinterCanvas {
public:
    explicit RecordingPrinterCanvas(int dpi) { SetDeviceDPI(dpi, dpi); }
    void ExtTextOut(int, int, unsigned, const plat::TRect*, const QString& text, const int* dx, int count) override
    {
        DrawnText call{text, 0};
        for (int i = 0; i < count; ++i)
            call.advances += dx[i];
        calls.push_back(call);
    }
    std::vector<DrawnText> calls;
};

long double width600(const QString& family, const QString& text)
{
    const plat::FontFace& face = plat::FontEngine::Instance().Match(plat::FontRequest{family});
    long double total = 0;
    for (QChar c : text)
        total += face.CharAdvance(c.unicode(), 83); // 10 points at 600 dpi
    return total;
}

} // namespace

TEST_F(MemoFixture, DrawnLinesAreAsWideAsLaidOutAtEveryScale)
{
    struct Target {
        long double scale;
        int printerDPI;
    };
    const Target targets[] = {{0.5L, 0}, {1, 0}, {1.5L, 0}, {2, 0}, {4.17L, 0}, {300 / 96.0L, 300}, {600 / 96.0L, 600}};
    memo->SetText(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy, the quick brown fox jumps over the lazy dog.\r\n"
                                 "Výška 12,5 cm; šířka 7 cm."));
    memo->SetHeight(200);
    for (const char* family : {"Arial", "Times New Roman", "Courier New", "Tahoma"})
        for (const Target& target : targets)
            for (TzdHAlign align : {haLeft, haBlock}) {
                SCOPED_TRACE(std::string(family) + " at " + std::to_string(double(target.scale)) + " align "
                             + std::to_string(int(align)));
                memo->Font()->SetName(QString::fromLatin1(family));
                memo->HAlign = align;
                std::vector<DrawnText> calls;
                if (target.printerDPI) {
                    RecordingPrinterCanvas printer(target.printerDPI);
                    memo->DrawingForPrinter = true;
                    memo->Draw(&printer, target.scale, target.scale, 0, 0);
                    memo->DrawingForPrinter = false;
                    calls = printer.calls;
                } else {
                    plat::TMetafile mf;
                    {
                        plat::TMetafileCanvas canvas(mf);
                        memo->Draw(&canvas, target.scale, target.scale, 0, 0);
                    }
                    for (const auto& r : mf.Records())
                        if (r.op == plat::MetaOp::Text) {
                            DrawnText call{r.text, 0};
                            for (int d : r.dx)
                                call.advances += d;
                            calls.push_back(call);
                        }
                }
                TzdDrawText& layout = memo->TextLayout();
                ASSERT_GT(layout.LineCount(), 2);
                ASSERT_EQ(size_t(layout.LineCount()), calls.size()); // untagged: one call per line
                const long double rectWidth = memo->TextRectangle.Right - memo->TextRectangle.Left;
                for (int i = 0; i < layout.LineCount(); ++i) {
                    ASSERT_EQ(calls[size_t(i)].text, layout.Line(i));
                    const long double w600 = width600(QString::fromLatin1(family), layout.Line(i));
                    const long double laidOut = target.printerDPI ? w600 / (600.0L / target.printerDPI)
                                                                  : w600 / 6.25L * target.scale;
                    const bool justified = align == haBlock && !(layout.LineFlags(i) & kzdLastLine);
                    EXPECT_EQ(calls[size_t(i)].advances, justified ? (long long)rectWidth : (long long)std::nearbyint(laidOut))
                        << "line " << i << " \"" << layout.Line(i).toStdString() << "\"";
                }
            }
}

// ---------------------------------------------------------------------------
// Data-bound memos

namespace {

// One record: a number, a text and a long text.
class RecordDataSet : public TzdDataSet {
public:
    explicit RecordDataSet(plat::TComponent* AOwner) : TzdDataSet(AOwner) {}
    plat::Variant GetValue(const QString& FieldName) override
    {
        if (FieldName == u"Cena")
            return plat::Variant(Price);
        return plat::Variant(QStringLiteral("text of ") + FieldName);
    }
    QString GetDisplayText(const QString& FieldName) override
    {
        return FieldName == u"Cena" ? QStringLiteral("shown %1").arg(Price) : QStringLiteral("shown ") + FieldName;
    }
    bool IsBlobField(const QString& FieldName) override { return FieldName == u"Popis"; }
    void AssignBlobTo(const QString&, TzdWideStrings* Lines) override { Lines->SetTextStr(QStringLiteral("řádek 1\r\nřádek 2")); }
    double Price = 12.5;
};

} // namespace

TEST_F(MemoFixture, DataFieldGivesValueDisplayTextOrBlob)
{
    FormatSettingsScope scope(plat::TFormatSettings::czech());
    RecordDataSet ds(nullptr);
    ds.SetUserName(QStringLiteral("Zboží"));
    memo->SetDataSet(&ds);
    memo->SetDataField(QStringLiteral("Cena"));
    memo->SetText(QStringLiteral("template [1]"));
    EXPECT_EQ(print(memo, QStringLiteral("[1]")), line(QStringLiteral("shown 12.5")));
    EXPECT_EQ(memo->Text(), line(QStringLiteral("shown 12.5"))) << "a bound memo's text is not given back";
    memo->DisplayFormat()->Kind = fkNumeric;
    memo->DisplayFormat()->FormatStr = QStringLiteral("%2.2f");
    EXPECT_EQ(print(memo, QString()), line(QStringLiteral("12,50")));
    EXPECT_EQ(plat::VarToStr(memo->CurrentValue), QStringLiteral("12,5"));
    memo->HideZeros = true;
    ds.Price = 0;
    EXPECT_EQ(print(memo, QString()), QString());
    memo->SetDataField(QStringLiteral("Popis"));
    EXPECT_EQ(print(memo, QString()), QStringLiteral("řádek 1\r\nřádek 2\r\n"));

    // While designing the memo shows its binding, and keeps its text.
    memo->SetText(QStringLiteral("kept"));
    memo->DesignMode = true;
    plat::TMetafile mf;
    {
        plat::TMetafileCanvas canvas(mf);
        memo->Draw(&canvas, 1, 1, 0, 0);
    }
    QString drawn;
    for (const auto& r : mf.Records())
        if (r.op == plat::MetaOp::Text)
            drawn += r.text;
    EXPECT_EQ(drawn, QStringLiteral("[Zboží.\"Popis\"]"));
    EXPECT_EQ(memo->Text(), line(QStringLiteral("kept")));
    memo->DesignMode = false;
    memo->SetDataSet(nullptr);
}

// ---------------------------------------------------------------------------
// Damaged templates

TEST_F(MemoFixture, DamagedMemosLoadPrintAndDrawOrAreRefused)
{
    auto* next = new TzdMemoView(band);
    next->SetName(QStringLiteral("Memo2"));
    next->SetBounds(0, 100, 80, 40);
    memo->SetFlowTo(next);
    memo->AllowHTMLTags = true;
    memo->SetRotation(30);
    memo->HAlign = haBlock;
    memo->Underlines = true;
    memo->SetText(QStringLiteral("<b>Tučně</b> [1 + 2 #n%2.2f] <font color=\"#FF0000\">červeně</font>\r\n[2 > 1 #bne,ano]"));
    static_cast<TzdFormat*>(memo->Formats()->Add())->Kind = fkNumeric;
    memo->Formats()->Add();
    memo->Highlight()->Condition = QStringLiteral("1 = 1");
    static_cast<TzdHighlight*>(memo->Highlights()->Add())->Condition = QStringLiteral("2 = 2");
    auto* sys = new TzdSysMemoView(band);
    sys->SetName(QStringLiteral("Sys1"));
    sys->SetText(QStringLiteral("[TotalPages#]"));
    zdtest::registerTestClasses();
    const QByteArray fixture = zdtest::saveToBytes(&report);
    {
        TzdTestReport whole;
        zdtest::loadFromBytes(&whole, fixture);
        int memos = 0;
        for (TzdComponent* obj : whole.AllObjects())
            memos += dynamic_cast<TzdCustomMemoView*>(obj) != nullptr;
        ASSERT_EQ(memos, 3) << fixture.constData();
        auto* first = dynamic_cast<TzdCustomMemoView*>(whole.FindObject(QStringLiteral("Memo1")));
        ASSERT_NE(first, nullptr);
        ASSERT_NE(first->FlowTo(), nullptr);
        EXPECT_EQ(first->FlowTo()->Name(), QStringLiteral("Memo2"));
        EXPECT_EQ(first->Rotation(), 30);
        EXPECT_EQ(first->Formats()->Count(), 2);
    }
    const auto outcome = mutation::runMutations({fixture}, 200, 2026, mutation::textTokens(), [](const QByteArray& b) {
        TzdTestReport loaded;
        zdtest::loadFromBytes(&loaded, b);
        QImage image(64, 64, QImage::Format_RGB32);
        plat::TCanvas canvas(&image);
        for (TzdComponent* obj : loaded.AllObjects())
            if (auto* text = dynamic_cast<TzdCustomMemoView*>(obj)) {
                text->Draw(&canvas, 1, 1, 0, 0);
                text->CalcHeight();
                text->BeforePrint();
                try {
                    text->GetData();
                } catch (const plat::Exception&) {
                    // a damaged expression fails as any failing expression does
                }
                text->AfterPrint();
            }
    });
    EXPECT_GT(outcome.accepted, 80);
}
