// Scripts reach the platform's controls and forms: constants, members,
// and events bound to script procedures on real offscreen widgets.

#include "Exceptions.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "StdCtrls.h"
#include "Variant.h"
#include "zs_iformsrtti.h"
#include "zs_items.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A form with an edit, a list and a button, offered to a script as Form1,
// Edit1, List1 and Button1; Print collects the script's output.
class FormsScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const bool started = [] {
            zsRegisterSysFunctions();
            zsStartFormsRTTI();
            return true;
        }();
        (void)started;
        form = new plat::TForm(nullptr);
        form->SetName(QStringLiteral("Form1"));
        edit = new plat::TEdit(form);
        edit->SetName(QStringLiteral("Edit1"));
        edit->SetParent(form);
        edit->SetText(QString());
        list = new plat::TListBox(form);
        list->SetName(QStringLiteral("List1"));
        list->SetParent(form);
        list->Items()->SetText(QStringLiteral("a\r\nb\r\nc"));
        list->SetTop(40);
        button = new plat::TButton(form);
        button->SetName(QStringLiteral("Button1"));
        button->SetParent(form);
        button->SetBounds(10, 150, 75, 25);
    }
    void TearDown() override
    {
        script.reset();
        delete form;
    }

    // Compiles and runs the program; false with the message on failure.
    ::testing::AssertionResult run(const QString& language, const QString& program)
    {
        script = std::make_unique<TzsScript>(nullptr);
        script->AddRTTI();
        script->AddMethod(QStringLiteral("procedure Print(s: Variant)"),
                          [this](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                              output += plat::VarToStr(c->GetParam(0)) + u'\n';
                              return plat::Null();
                          });
        for (plat::TComponent* c : {static_cast<plat::TComponent*>(form), static_cast<plat::TComponent*>(edit),
                                    static_cast<plat::TComponent*>(list), static_cast<plat::TComponent*>(button)})
            script->AddObject(c->Name(), c);
        script->SyntaxType = language;
        script->Lines.SetText(program);
        if (!script->Compile())
            return ::testing::AssertionFailure() << script->ErrorPosition.toStdString() << " "
                                                 << script->ErrorMessage.toStdString();
        try {
            script->Execute();
        } catch (const plat::Exception& e) {
            output += QStringLiteral("%1: %2\n").arg(QString::fromLatin1(e.className()), e.message());
        }
        return ::testing::AssertionSuccess();
    }

    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    plat::TForm* form = nullptr;
    plat::TEdit* edit = nullptr;
    plat::TListBox* list = nullptr;
    plat::TButton* button = nullptr;
    std::unique_ptr<TzsScript> script;
    QString output;
};

TEST_F(FormsScript, ConstantsAreIntegersWithThePlatformsValues)
{
    ASSERT_TRUE(run(QStringLiteral("PascalScript"),
                    QStringLiteral("begin\n"
                                   "  Print(crSize); Print(crSizeAll); Print(mrOk); Print(mrYesToAll);\n"
                                   "  Print(VK_F12); Print(VK_NUMPAD9); Print(bsSizeToolWin); Print(taCenter);\n"
                                   "  Print(crSize = crSizeAll);\n"
                                   "end.")));
    EXPECT_EQ(output, QStringLiteral("-22\n-22\n1\n10\n123\n105\n5\n2\nTrue\n"));
}

TEST_F(FormsScript, ShowModalAnswersCompareWithTheModalResults)
{
    plat::ScopedModalRunner runner([](QDialog&) { return plat::mrOk; });
    ASSERT_TRUE(run(QStringLiteral("PascalScript"),
                    QStringLiteral("begin\n  if Form1.ShowModal = mrOk then Print('ok') else Print('no');\nend.")));
    EXPECT_EQ(output, QStringLiteral("ok\n"));
}

TEST_F(FormsScript, KeyPressHandlersInEveryLanguageSwallowAnEmptiedKey)
{
    struct Case {
        const char* language;
        const char* program;
    };
    const Case cases[] = {
        {"PascalScript", "procedure K(Sender: TObject; var Key: Char);\n"
                         "begin\n  if Key = 'x' then Key := '';\nend;\n"
                         "begin\n  Edit1.OnKeyPress := 'K';\nend."},
        {"BasicScript", "Sub K(Sender, ByRef Key)\n  If Key = \"x\" Then Key = \"\"\nEnd Sub\n"
                        "Edit1.OnKeyPress = \"K\"\n"},
        {"JScript", "function K(Sender, &Key)\n{\n  if (Key == \"x\") Key = \"\";\n}\n"
                    "Edit1.OnKeyPress = \"K\";\n"},
        {"C++Script", "void K(TObject Sender, char &Key)\n{\n  if (Key == \"x\") Key = \"\";\n}\n"
                      "{\n  Edit1.OnKeyPress = \"K\";\n}\n"},
    };
    form->Dialog()->show();
    for (const Case& c : cases) {
        edit->SetText(QString());
        ASSERT_TRUE(run(QString::fromLatin1(c.language), QString::fromLatin1(c.program))) << c.language;
        QTest::keyClicks(edit->Widget(), QStringLiteral("axbx"));
        EXPECT_EQ(edit->Text(), QStringLiteral("ab")) << c.language;
    }
}

TEST_F(FormsScript, CloseQueryRefusingKeepsTheFormOpen)
{
    ASSERT_TRUE(run(QStringLiteral("PascalScript"),
                    QStringLiteral("var Asked: Integer;\n"
                                   "procedure Q(Sender: TObject; var CanClose: Boolean);\n"
                                   "begin\n  Asked := Asked + 1;\n  CanClose := Asked > 1;\nend;\n"
                                   "begin\n  Form1.OnCloseQuery := 'Q';\nend.")));
    form->Dialog()->show();
    form->Close();
    EXPECT_TRUE(form->Dialog()->isVisible());
    form->Close();
    EXPECT_FALSE(form->Dialog()->isVisible());
}

TEST_F(FormsScript, AFreedScriptsEventsRunNothing)
{
    ASSERT_TRUE(run(QStringLiteral("PascalScript"),
                    QStringLiteral("procedure C(Sender: TObject);\nbegin\n  Print('clicked');\nend;\n"
                                   "begin\n  Button1.OnClick := 'C';\nend.")));
    form->Dialog()->show();
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    EXPECT_EQ(output, QStringLiteral("clicked\n"));
    script.reset();
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    EXPECT_EQ(output, QStringLiteral("clicked\n"));
    EXPECT_TRUE(ui.Calls().empty()) << "no error either";
}

TEST_F(FormsScript, MembersReachTheControls)
{
    list->SetMultiSelect(true);
    ASSERT_TRUE(run(QStringLiteral("PascalScript"),
                    QStringLiteral("begin\n"
                                   "  List1.Selected[2] := True;\n"
                                   "  Print(List1.SelCount);\n"
                                   "  List1.ItemIndex := 1;\n"
                                   "  Print(List1.ItemIndex);\n"
                                   "  Edit1.SetBounds(5, 6, 70, 20);\n"
                                   "  Print(Edit1.Left + Edit1.Top + Edit1.Width);\n"
                                   "  Edit1.Text := 'hi';\n"
                                   "  Print(TEdit(Edit1).Text);\n"
                                   "  Print(Edit1.Parent.Name);\n"
                                   "  Print(List1.Selected[5]);\n"
                                   "end.")));
    EXPECT_EQ(output, QStringLiteral("1\n1\n81\nhi\nForm1\nEListError: List index out of bounds (5)\n"));
}

} // namespace
