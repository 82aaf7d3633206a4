// Dialog pages shown before the run: real windows, typed into and clicked
// through the modal runner, talking to the report's script.

#include "EngineFixture.h"

#include "Modal.h"
#include "ScriptedServices.h"
#include "StdCtrls.h"
#include "zdDCtrl.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace enginetest;

namespace {

// The dialog controls' unit starts before the report makes its script.
struct DialogUnits {
    DialogUnits()
    {
        static const bool units = [] {
            Fixture::started();
            zd::startDialogControlsUnit();
            return true;
        }();
        (void)units;
    }
};

struct DialogFixture : DialogUnits, Fixture {
    TzdDialogPage* dialog = nullptr;
    TzdEditControl* edit = nullptr;
    TzdButtonControl* ok = nullptr;
    TzdButtonControl* cancel = nullptr;
    TzdMemoView* shown = nullptr;

    DialogFixture()
    {
        dialog = new TzdDialogPage(&report);
        dialog->SetParent(&report);
        dialog->SetName(QStringLiteral("DialogPage1"));
        dialog->SetBounds(0, 0, 300, 200);
        edit = control<TzdEditControl>(QStringLiteral("Edit1"), 10, 10);
        edit->Ctl()->SetText(QString());
        ok = control<TzdButtonControl>(QStringLiteral("OkB"), 10, 100);
        ok->Ctl()->SetModalResult(1);
        cancel = control<TzdButtonControl>(QStringLiteral("CancelB"), 100, 100);
        cancel->Ctl()->SetModalResult(2);
        shown = memo(band<TzdReportTitle>(QStringLiteral("ReportTitle1"), 0, 30), QStringLiteral("Shown"), 0, 0, 200,
                     20, QStringLiteral("[Edit1.Text]"));
    }

    template <class C>
    C* control(const QString& Name, long double Left, long double Top, TzdComponent* Parent = nullptr)
    {
        auto* c = new C(&report);
        c->SetParent(Parent ? Parent : dialog);
        c->SetName(Name);
        c->SetLeft(Left);
        c->SetTop(Top);
        return c;
    }

    void script(const QString& Text) { report.ScriptText()->SetText(Text); }

    // Preparing reloads the template: objects are looked up by name.
    template <class T>
    T* find(const QString& Name)
    {
        return dynamic_cast<T*>(report.FindObject(Name));
    }
    TzdDialogControl* ctl(const QString& Name) { return find<TzdDialogControl>(Name); }
    QWidget* widget(const QString& Name) { return ctl(Name)->Control()->Widget(); }

    // The prepared text of the memo "Shown".
    QString shownText()
    {
        const QStringList lines = objectLines(zdtool::dumpPages(*store()), 1, QStringLiteral("Shown"));
        return lines.join(u'\n');
    }
};

// A runner that works the shown dialog and returns what the form decided.
plat::ModalRunner runner(std::function<void(QDialog&)> Steps)
{
    return [Steps](QDialog& d) {
        d.show();
        QApplication::processEvents();
        Steps(d);
        QApplication::processEvents();
        const int result = d.isVisible() ? 0 : d.result();
        d.hide();
        return result;
    };
}

void click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
    QApplication::processEvents();
}

} // namespace

TEST(DialogPages, TheTypedTextReachesThePreparedPageAndCancelStopsTheRun)
{
    DialogFixture f;
    {
        plat::ScopedModalRunner use(runner([&](QDialog&) {
            QTest::keyClicks(f.widget(QStringLiteral("Edit1")), QStringLiteral("Ahoj"));
            click(f.widget(QStringLiteral("OkB")));
        }));
        ASSERT_TRUE(f.prepare()) << f.report.ErrorList().join(u'\n').toStdString();
    }
    EXPECT_TRUE(f.shownText().contains(QStringLiteral("Ahoj"))) << f.shownText().toStdString();
    plat::ScopedModalRunner use(runner([&](QDialog&) { click(f.widget(QStringLiteral("CancelB"))); }));
    EXPECT_FALSE(f.prepare());
}

TEST(DialogPages, ScriptHandlersOfControlsAndOfThePageRunWhileTheWindowIsUp)
{
    DialogFixture f;
    auto* check = f.control<TzdCheckBoxControl>(QStringLiteral("CheckBox1"), 10, 40);
    f.ok->OnClick = QStringLiteral("OkClick");
    f.edit->OnKeyPress = QStringLiteral("EditKey");
    check->OnClick = QStringLiteral("CheckClick");
    f.dialog->OnCloseQuery = QStringLiteral("AskClose");
    f.script(QStringLiteral("var Clicks: Integer;\n"
                            "procedure OkClick(Sender: TObject);\n"
                            "begin\n  Clicks := Clicks + 1;\nend;\n"
                            "procedure CheckClick(Sender: TObject);\n"
                            "begin\n  Edit1.Text := Edit1.Text + '!';\nend;\n"
                            "procedure EditKey(Sender: TObject; var Key: Char);\n"
                            "begin\n  if Key = 'x' then Key := '';\n  if Key = 'a' then Key := 'A';\nend;\n"
                            "procedure AskClose(Sender: TObject; var CanClose: Boolean);\n"
                            "begin\n  CanClose := Clicks > 1;\nend;\n"
                            "begin\nend."));
    bool stillOpenAfterFirstOk = false;
    QString typed;
    plat::ScopedModalRunner use(runner([&](QDialog& d) {
        QTest::keyClicks(f.widget(QStringLiteral("Edit1")), QStringLiteral("xaxb"));
        QTest::mouseClick(f.widget(QStringLiteral("CheckBox1")), Qt::LeftButton, {}, QPoint(6, 8));
        click(f.widget(QStringLiteral("OkB")));
        stillOpenAfterFirstOk = d.isVisible();
        typed = f.find<TzdEditControl>(QStringLiteral("Edit1"))->Ctl()->Text();
        click(f.widget(QStringLiteral("OkB")));
    }));
    ASSERT_TRUE(f.prepare()) << f.report.ErrorList().join(u'\n').toStdString();
    EXPECT_TRUE(stillOpenAfterFirstOk) << "OnCloseQuery refused the first OK";
    EXPECT_EQ(typed, QStringLiteral("Ab!"));
    EXPECT_TRUE(f.shownText().contains(QStringLiteral("Ab!"))) << f.shownText().toStdString();
}

TEST(DialogPages, AScriptErrorInAHandlerIsReportedAndTheWindowStaysUsable)
{
    DialogFixture f;
    f.ok->OnClick = QStringLiteral("OkClick");
    f.script(QStringLiteral("procedure OkClick(Sender: TObject);\n"
                            "begin\n  Edit1.Text := IntToStr(StrToInt('zlé'));\nend;\n"
                            "begin\nend."));
    plat::ScriptedServices ui;
    plat::ScopedServices services(ui);
    plat::ScopedModalRunner use(runner([&](QDialog&) { click(f.widget(QStringLiteral("OkB"))); }));
    // The button's modal result still ends the run; the error went to the
    // user, not into the event loop.
    EXPECT_TRUE(f.prepare());
    EXPECT_FALSE(ui.Calls().empty());
}

TEST(DialogPages, ThePreparedReportRunsThroughTheShellDriver)
{
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("dialog.zd3"));
    {
        DialogFixture f;
        f.edit->Ctl()->SetText(QStringLiteral("Jméno: "));
        f.report.SaveToFile(templ);
    }
    const auto run = [&](const QString& steps) {
        QProcess p;
        p.start(QStringLiteral(SORVAMET_BIN_DIR "/zdreport"),
                {QStringLiteral("prepare"), templ, QStringLiteral("--dialog"), steps, QStringLiteral("--dump"),
                 QStringLiteral("-")});
        p.waitForFinished(60000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()));
    };
    const auto [okCode, okOut] = run(QStringLiteral("type Edit1 Dobry den;click OkB"));
    EXPECT_EQ(okCode, 0);
    EXPECT_TRUE(okOut.contains(QStringLiteral("Jméno: Dobry den"))) << okOut.toStdString();
    const auto [cancelCode, cancelOut] = run(QStringLiteral("type Edit1 Nic;click CancelB"));
    EXPECT_NE(cancelCode, 0);
    EXPECT_FALSE(cancelOut.contains(QStringLiteral("Nic")));
}
