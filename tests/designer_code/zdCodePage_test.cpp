// The code page on screen (offscreen): the script in colours, a breakpoint
// set with F5 drawn in the gutter, gutter clicks, completion after a
// memo's name, and the language choice.

#include "CodeTestUtil.h"
#include "zdCodeCompletion.h"
#include "zdScriptDebugger.h"
#include "zdSyntaxMemo.h"

#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct CodePage : ::testing::Test, codetest::CodeFixture {
    TzdSyntaxMemo* memo() { return page->CodeWindow(); }
    zd::SyntaxMemoModel& editor() { return memo()->Model(); }
    QImage shot() { return memo()->viewport()->grab().toImage(); }
    // The colours of the pixels in a rectangle of the viewport.
    QSet<QRgb> coloursIn(const QImage& image, QRect r)
    {
        QSet<QRgb> set;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                set.insert(image.pixel(x, y) & 0xFFFFFF);
        return set;
    }
    void showPage()
    {
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        memo()->setFocus();
    }
};

} // namespace

TEST_F(CodePage, TheEditorHoldsTheReportsScriptInItsLanguage)
{
    EXPECT_EQ(memo()->Lines().join(u'|'), codetest::sampleScript().join(u'|'));
    EXPECT_EQ(editor().SyntaxLanguage(), QStringLiteral("PascalScript"));
    EXPECT_EQ(page->LangCB()->currentText(), QStringLiteral("PascalScript"));
    EXPECT_EQ(page->ScriptFilterIndex(), 1);
    EXPECT_EQ(page->ScriptDefaultExt(), QStringLiteral("pas"));
    EXPECT_EQ(memo()->objectName(), QStringLiteral("CodeWindow"));
}

TEST_F(CodePage, AStringIsDrawnInNavyAndAKeywordInTheTextColour)
{
    showPage();
    memo()->SetLines({QStringLiteral("begin"), QStringLiteral("'ab'")});
    const QImage image = shot();
    const int g = memo()->GutterWidth();
    const int w = memo()->CellWidth(), h = memo()->CellHeight();
    // Navy text, smoothed or not, leaves pixels far bluer than they are red
    // or green; black text leaves grey ones.
    const auto bluish = [](QRgb c) { return qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 40; };
    const auto anyBluish = [&](QRect r) {
        for (QRgb c : coloursIn(image, r))
            if (bluish(c))
                return true;
        return false;
    };
    EXPECT_TRUE(anyBluish(QRect(g, h, 4 * w, h)));
    EXPECT_FALSE(anyBluish(QRect(g, 0, 5 * w, h)));
    EXPECT_GT(coloursIn(image, QRect(g, 0, 5 * w, h)).size(), 1);
}

TEST_F(CodePage, F5TogglesABreakpointThatIsDrawnInTheGutter)
{
    showPage();
    editor().SetCaretPos(1, codetest::kHandlerFirstLine);
    const QRect disc(4, (codetest::kHandlerFirstLine - 1) * memo()->CellHeight() + 6, 6, 6);
    const QRgb red = qRgb(255, 0, 0) & 0xFFFFFF;
    EXPECT_FALSE(coloursIn(shot(), disc).contains(red));
    QTest::keyClick(memo(), Qt::Key_F5);
    EXPECT_TRUE(editor().IsBreakpoint(codetest::kHandlerFirstLine));
    EXPECT_EQ(coloursIn(shot(), disc), QSet<QRgb>{red});
    QTest::keyClick(memo(), Qt::Key_F5);
    EXPECT_FALSE(editor().HasBreakpoints());
    EXPECT_FALSE(coloursIn(shot(), disc).contains(red));
}

TEST_F(CodePage, AClickAndReleaseInTheGutterTogglesABreakpoint)
{
    showPage();
    const int y = (3 - 1) * memo()->CellHeight() + 2;
    QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {}, QPoint(10, y));
    EXPECT_EQ(editor().BreakpointLines(), std::vector<int>{3});
    QTest::mouseClick(memo()->viewport(), Qt::LeftButton, {}, QPoint(10, y));
    EXPECT_FALSE(editor().HasBreakpoints());
}

TEST_F(CodePage, EnterInTheWindowSplitsALongLineWithoutLoss)
{
    showPage();
    const QString line = QString(3000, u'x') + QStringLiteral("end");
    memo()->SetLines({line});
    editor().SetCaretPos(1000, 1);
    QTest::keyClick(memo(), Qt::Key_Return);
    EXPECT_EQ(editor().Line(1) + editor().Line(2), line);
}

TEST_F(CodePage, CompletionAfterAMemosNameListsItsMembers)
{
    showPage();
    memo()->SetLines({QStringLiteral("  Memo1.")});
    QTest::keyClick(memo(), Qt::Key_End);
    QTest::keyClick(memo(), Qt::Key_Space, Qt::ControlModifier);
    QListWidget* list = memo()->CompletionList();
    ASSERT_NE(list, nullptr);
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Text: String"))) << texts.join(u'|').toStdString();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.startsWith(u"Font:"); }));
    // Choosing an item inserts its name.
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().startsWith(u"Text:"))
            list->setCurrentRow(i);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(editor().Line(1), QStringLiteral("  Memo1.Text"));
}

TEST_F(CodePage, CompletionFollowsAMemberToItsClassAndAnUnknownNameListsNothing)
{
    const auto texts = [this](const char* prefix) {
        QStringList t;
        for (const zd::CompletionItem& item : zd::ScriptCompletionList(&report, QString::fromLatin1(prefix)))
            t << item.text;
        return t;
    };
    const QStringList font = texts("Memo1.Font.");
    EXPECT_TRUE(std::any_of(font.begin(), font.end(), [](const QString& t) { return t.startsWith(u"Size:"); }))
        << font.join(u'|').toStdString();
    EXPECT_TRUE(texts("Nobody.").isEmpty());
    EXPECT_TRUE(texts("Report.").size() > 0);
    EXPECT_TRUE(texts("").contains(QStringLiteral("Memo1 : TzdMemoView")));
}

TEST_F(CodePage, ChoosingAnotherLanguageAndAnsweringNoKeepsTheScript)
{
    ui.AnswerMessage(plat::IDNO);
    page->ChangeLanguage(QStringLiteral("C++Script"));
    EXPECT_EQ(memo()->Lines().join(u'|'), codetest::sampleScript().join(u'|'));
    EXPECT_EQ(page->LangCB()->currentText(), QStringLiteral("PascalScript"));
    EXPECT_EQ(report.GetScriptLanguage(), QStringLiteral("PascalScript"));
    ui.AnswerMessage(plat::IDYES);
    page->ChangeLanguage(QStringLiteral("C++Script"));
    EXPECT_EQ(memo()->Lines(), (QStringList{QStringLiteral("{"), QString(), QStringLiteral("}")}));
    EXPECT_EQ(report.GetScriptLanguage(), QStringLiteral("C++Script"));
    EXPECT_EQ(page->ScriptDefaultExt(), QStringLiteral("cpp"));
    EXPECT_TRUE(model->Modified);
}

TEST_F(CodePage, AScriptThatDoesNotCompileStopsTheRunWithTheEditorAtTheError)
{
    memo()->SetLines({QStringLiteral("begin"), QStringLiteral("  X := ;"), QStringLiteral("end.")});
    page->Debugger().Run();
    EXPECT_FALSE(page->Debugger().Running());
    EXPECT_FALSE(editor().MessageText().isEmpty());
    EXPECT_EQ(editor().CaretPos().line, 2);
}
