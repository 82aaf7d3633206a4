// The report classes' script adapter outside a preparation: what a script
// with the modules sees of memos, styles and wide-string lists, and the
// functions that only a report's own script gives values.

#include "Exceptions.h"
#include "Graphics.h"
#include "Handles.h"
#include "zdClass_memo.h"
#include "zdClass_report.h"
#include "zdClass_style.h"
#include "zdModelFixture.h"
#include "zs_iclassesrtti.h"
#include "zs_script.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ReportAdapter : public ::testing::Test {
protected:
    void SetUp() override
    {
        zdtest::startReportLibrary();
        memo = new TzdMemoView(&owner);
        memo->SetName(QStringLiteral("Memo1"));
        addObject(QStringLiteral("Memo1"), memo);
    }

    void addObject(const QString& name, plat::TObject* obj) { objects.emplace_back(name, obj); }

    // Each program runs in a script of its own.
    QString run(const QString& program)
    {
        output.clear();
        script = std::make_unique<TzsScript>(nullptr);
        script->AddRTTI();
        script->AddMethod(QStringLiteral("procedure Print(s: Variant)"),
                          [this](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                              output += plat::VarToStr(c->GetParam(0)) + u'\n';
                              return plat::Null();
                          });
        for (const auto& [name, obj] : objects)
            script->AddObject(name, obj);
        for (const auto& [name, value] : variables)
            script->AddVariable(name, QStringLiteral("String"), plat::Variant(value));
        script->Lines.SetText(program);
        if (!script->Compile())
            return QStringLiteral("compile error %1: %2").arg(script->ErrorPosition, script->ErrorMessage);
        try {
            script->Execute();
        } catch (const plat::Exception& e) {
            output += QStringLiteral("%1: %2\n").arg(QString::fromLatin1(e.className()), e.message());
        }
        return output;
    }

    plat::TComponent owner{nullptr};
    TzdMemoView* memo = nullptr;
    std::vector<std::pair<QString, plat::TObject*>> objects;
    std::vector<std::pair<QString, QString>> variables;
    std::unique_ptr<TzsScript> script;
    QString output;
};

TEST_F(ReportAdapter, MemoTextFollowsTheFontsCharset)
{
    struct Case {
        int charset;
        QChar expected;
    };
    // Byte 0xC0 of an 8-bit text: in code page 1250 'Ŕ', in 1251 'А'; the
    // default charset takes the text as it is.
    const Case cases[] = {
        {plat::DEFAULT_CHARSET, QChar(0x0154)},
        {plat::EASTEUROPE_CHARSET, QChar(0x0154)},
        {plat::RUSSIAN_CHARSET, QChar(0x0410)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        memo->Font()->SetCharset(quint8(c.charset));
        EXPECT_EQ(run(QStringLiteral("begin Memo1.Text := Chr(192); Print(Memo1.Lines.Count) end.")),
                  QStringLiteral("1\n"));
        EXPECT_EQ(memo->Text(), QString(c.expected) + QStringLiteral("\r\n"));
    }
    memo->Font()->SetCharset(plat::RUSSIAN_CHARSET);
    memo->SetText(QString(QChar(0x0410)));
    EXPECT_EQ(run(QStringLiteral("begin Print(Memo1.AnsiText = Chr(192) + #13#10) end.")), QStringLiteral("True\n"));
}

TEST_F(ReportAdapter, WideStringListsCheckTheirIndexes)
{
    EXPECT_EQ(run(QStringLiteral("var w: TWideStrings;\n"
                                 "begin w := TWideStrings.Create; w.Add('a');\n"
                                 "  try Print(w[1]) except Print(ExceptionClassName + ': ' + ExceptionMessage) end;\n"
                                 "  Print(w[0]); w.Free end.")),
              QStringLiteral("EListError: List index out of bounds (1)\na\n"));
}

TEST_F(ReportAdapter, WritingStylesItemsChangesNothing)
{
    EXPECT_EQ(run(QStringLiteral("var s: TzdStyles; i: TzdStyleItem;\n"
                                 "begin s := TzdStyles.Create(nil); i := s.Add; i.Name := 'One';\n"
                                 "  s.Items[0] := nil; Print(s.Items[0].Name); Print(s.Find('One') = i); s.Free end.")),
              QStringLiteral("One\nTrue\n"));
}

TEST_F(ReportAdapter, IifAndAggregatesOutsideAReportAnswerZero)
{
    EXPECT_EQ(run(QStringLiteral("begin Print(IIF(True, 1, 2)); Print(SUM(5)); Print(COUNT) end.")),
              QStringLiteral("0\n0\n0\n"));
}

TEST_F(ReportAdapter, LoadFromFileOfAMissingFileClearsAndAnswersFalse)
{
    auto* report = new TzdReport(&owner);
    auto* page = new TzdReportPage(report);
    page->SetParent(report);
    page->SetName(QStringLiteral("Page1"));
    addObject(QStringLiteral("Rep"), report);
    QTemporaryDir dir;
    variables.emplace_back(QStringLiteral("Missing"), dir.filePath(QStringLiteral("none.zd3")));
    EXPECT_EQ(run(QStringLiteral("begin Print(Rep.LoadFromFile(Missing)); Print(Rep.FindObject('Page1') = nil) end.")),
              QStringLiteral("False\nTrue\n"));
}

TEST(ReportAdapterModules, WideStringsNeedsTheClassesModule)
{
    zdtest::startReportLibrary();
    // Without the platform modules TPersistent comes from the report module
    // itself, after the point where TWideStrings is decided.
    const std::vector<TzsRTTIModuleClass> saved = zsRTTIModules();
    zsEndPlatformModules();
    TzsScript script(nullptr);
    script.AddRTTI();
    zsRTTIModules() = saved;
    EXPECT_NE(script.FindClass(QStringLiteral("TzdReport")), nullptr);
    EXPECT_EQ(script.FindClass(QStringLiteral("TWideStrings")), nullptr);
}

} // namespace
