// Event-handler templates: new scripts, inserted handlers in the four
// languages compiled by the script engine's zsil tool, and the handler
// search and list around comments and strings.

#include "StringList.h"
#include "zdCodeUtils.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList linesOf(const plat::TStrings& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Strings(i);
    return out;
}

void setLines(plat::TStrings& list, const QStringList& lines)
{
    list.Clear();
    for (const QString& line : lines)
        list.Add(line);
}

struct CodeUtils : ::testing::Test {
    CodeUtils() { RegisterCodeTemplates(); }
};

TEST_F(CodeUtils, NewPascalScriptTakesAHandlerBeforeItsMainBlock)
{
    plat::TStringList code;
    DefaultCodeLines(code, QStringLiteral("PascalScript"));
    EXPECT_EQ(linesOf(code), (QStringList{"begin", "", "end."}));
    EXPECT_EQ(InsertEventHandler(code, QStringLiteral("PascalScript"), QStringLiteral("TzdNotifyEvent"),
                                 QStringLiteral("Memo1OnBeforePrint")),
              3);
    EXPECT_EQ(linesOf(code), (QStringList{"procedure Memo1OnBeforePrint(Sender: TzdComponent);", "begin", "",
                                          "end;", "", "begin", "", "end."}));
}

TEST_F(CodeUtils, DefaultLinesPerLanguage)
{
    plat::TStringList code;
    DefaultCodeLines(code, QStringLiteral("C++Script"));
    EXPECT_EQ(linesOf(code), (QStringList{"{", "", "}"}));
    DefaultCodeLines(code, QStringLiteral("BasicScript"));
    EXPECT_EQ(code.Count(), 0);
    DefaultCodeLines(code, QStringLiteral("JScript"));
    EXPECT_EQ(code.Count(), 0);
}

TEST_F(CodeUtils, TemplateValuesAndParameterLists)
{
    EXPECT_EQ(TemplateValue(QStringLiteral("BasicScript"), QStringLiteral("openquote")), QStringLiteral("/\\"));
    EXPECT_EQ(TemplateValue(QStringLiteral("BasicScript"), QStringLiteral("begin")), QString());
    EXPECT_EQ(TemplateValue(QStringLiteral("PascalScript"), QStringLiteral("END")), QStringLiteral("end;"));
    EXPECT_EQ(TemplateValue(QStringLiteral("PascalScript"), QStringLiteral("nothing")), QString());
    EXPECT_EQ(TemplateValue(QStringLiteral("Cobol"), QStringLiteral("proc")), QString());
    EXPECT_EQ(EventParameterList(QStringLiteral("TzdMouseLeaveViewEvent"), QStringLiteral("C++Script")),
              QStringLiteral("(TzdView Sender, bool &Modified)"));
    EXPECT_EQ(EventParameterList(QStringLiteral("TzdRunDialogsEvent"), QStringLiteral("JScript")),
              QStringLiteral("(&Result)"));
    EXPECT_EQ(EventParameterList(QStringLiteral("TzdNoSuchEvent"), QStringLiteral("JScript")), QString());
}

// Every language's new script with a handler of every event type, compiled
// by zsil; each handler is then found exactly once.
TEST_F(CodeUtils, GeneratedHandlersCompileInEveryLanguage)
{
    const QString events[] = {"TzdNotifyEvent",       "TzdCloseQueryEvent",     "TzdKeyEvent",
                              "TzdKeyPressEvent",     "TzdMouseEvent",          "TzdMouseMoveEvent",
                              "TzdPreviewClickEvent", "TzdMouseEnterViewEvent", "TzdMouseLeaveViewEvent",
                              "TzdRunDialogsEvent"};
    QTemporaryDir dir;
    for (const QString language : {"PascalScript", "C++Script", "BasicScript", "JScript"}) {
        SCOPED_TRACE(language.toStdString());
        plat::TStringList code;
        DefaultCodeLines(code, language);
        if (code.Count() == 0) // a script needs at least one line to hold a handler before
            code.Add(QString());
        int n = 0;
        for (const QString& event : events)
            ASSERT_GT(InsertEventHandler(code, language, event, QStringLiteral("Handler%1").arg(++n)), 0);
        const QString file = dir.filePath(QStringLiteral("script.txt"));
        code.SaveToFile(file);
        QProcess zsil;
        zsil.start(QStringLiteral(SORVAMET_BIN_DIR "/zsil"), {language, file});
        ASSERT_TRUE(zsil.waitForFinished(60000));
        EXPECT_EQ(zsil.exitCode(), 0) << zsil.readAllStandardOutput().toStdString()
                                      << linesOf(code).join(u'\n').toStdString();
        for (int i = 1; i <= n; ++i) {
            const int found = FindEventHandler(code, language, QStringLiteral("handler%1").arg(i));
            ASSERT_GE(found, 0);
            int occurrences = 0;
            for (int l = 0; l < code.Count(); ++l)
                occurrences += code.Strings(l).contains(QStringLiteral("Handler%1(").arg(i)) ? 1 : 0;
            EXPECT_EQ(occurrences, 1);
        }
        plat::TStringList fits;
        ListEventHandlers(code, language, QStringLiteral("TzdNotifyEvent"), fits);
        EXPECT_EQ(linesOf(fits), (QStringList{"Handler1"}));
    }
}

TEST_F(CodeUtils, HandlersInCommentsAndStringsAreNotFound)
{
    plat::TStringList code;
    setLines(code, {
                       "{",
                       "procedure Commented(Sender: TzdComponent);",
                       "}",
                       "procedure Real(Sender: TzdComponent);",
                       "begin",
                       "  ShowMessage('procedure Fake(Sender: TzdComponent);');",
                       "end;",
                       "",
                       "begin",
                       "end.",
                   });
    const QString pascal = QStringLiteral("PascalScript");
    EXPECT_EQ(FindEventHandler(code, pascal, QStringLiteral("Commented")), -1);
    EXPECT_EQ(FindEventHandler(code, pascal, QStringLiteral("Fake")), -1);
    EXPECT_EQ(FindEventHandler(code, pascal, QStringLiteral("REAL")), 3);
    plat::TStringList fits;
    ListEventHandlers(code, pascal, QStringLiteral("TzdNotifyEvent"), fits);
    EXPECT_EQ(linesOf(fits), (QStringList{"Real"}));
}

// A stray closing brace used to take the depth below zero, so that the
// next comment's contents counted as code.
TEST_F(CodeUtils, StrayCommentCloserDoesNotExposeLaterComments)
{
    plat::TStringList code;
    setLines(code, {
                       "x := 1; } stray",
                       "{",
                       "procedure Hidden(Sender: TzdComponent);",
                       "}",
                       "procedure Shown(Sender: TzdComponent);",
                       "begin",
                       "end;",
                       "begin",
                       "end.",
                   });
    const QString pascal = QStringLiteral("PascalScript");
    EXPECT_EQ(FindEventHandler(code, pascal, QStringLiteral("Hidden")), -1);
    EXPECT_EQ(FindEventHandler(code, pascal, QStringLiteral("Shown")), 4);
    plat::TStringList fits;
    ListEventHandlers(code, pascal, QStringLiteral("TzdNotifyEvent"), fits);
    EXPECT_EQ(linesOf(fits), (QStringList{"Shown"}));
}

TEST_F(CodeUtils, ParameterListMustMatchButNotItsCase)
{
    plat::TStringList code;
    setLines(code, {
                       "procedure Lower(sender: tzdcomponent);",
                       "procedure Blank(Sender:  TzdComponent);",
                       "begin",
                       "end.",
                   });
    plat::TStringList fits;
    ListEventHandlers(code, QStringLiteral("PascalScript"), QStringLiteral("TzdNotifyEvent"), fits);
    EXPECT_EQ(linesOf(fits), (QStringList{"Lower"}));
}

TEST_F(CodeUtils, NoMainBlockGivesNoPlace)
{
    plat::TStringList code;
    setLines(code, {"procedure A(Sender: TzdComponent);", "begin", "end;"});
    EXPECT_EQ(FindMainBlock(code, QStringLiteral("PascalScript")), -1);
    EXPECT_EQ(InsertEventHandler(code, QStringLiteral("PascalScript"), QStringLiteral("TzdNotifyEvent"),
                                 QStringLiteral("B")),
              -1);
    EXPECT_EQ(code.Count(), 3);
}

TEST_F(CodeUtils, JScriptHandlerGoesBeforeTheLastLine)
{
    plat::TStringList code;
    setLines(code, {"var a = 1;", "a = 2;"});
    EXPECT_EQ(InsertEventHandler(code, QStringLiteral("JScript"), QStringLiteral("TzdNotifyEvent"),
                                 QStringLiteral("Memo1OnClick")),
              4);
    EXPECT_EQ(linesOf(code), (QStringList{"var a = 1;", "function Memo1OnClick(Sender)", "{", "", "}", "", "a = 2;"}));
}

} // namespace
