#include "Application.h"
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "Services.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace plat;

namespace {

// A small window whose buttons reach the dialogs only through the services.
class SaveWindow : public QWidget {
public:
    SaveWindow()
    {
        setObjectName(QStringLiteral("SaveWindow"));
        auto* layout = new QVBoxLayout(this);
        ask = new QPushButton(QStringLiteral("Zavřít"), this);
        ask->setObjectName(QStringLiteral("btnClose"));
        open = new QPushButton(QStringLiteral("Otevřít"), this);
        open->setObjectName(QStringLiteral("btnOpen"));
        fail = new QPushButton(QStringLiteral("Chyba"), this);
        fail->setObjectName(QStringLiteral("btnFail"));
        status = new QLabel(this);
        status->setObjectName(QStringLiteral("lblStatus"));
        for (QWidget* w : {static_cast<QWidget*>(ask), static_cast<QWidget*>(open), static_cast<QWidget*>(fail),
                           static_cast<QWidget*>(status)})
            layout->addWidget(w);
        connect(ask, &QPushButton::clicked, this, [this] {
            const int r = Services().MessageBox(QStringLiteral("Uložit změny?"), QStringLiteral("Sorvamet"),
                                                MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
            status->setText(r == IDYES ? "yes" : r == IDNO ? "no" : "cancel");
        });
        connect(open, &QPushButton::clicked, this, [this] {
            FileDialogRequest req;
            req.title = QStringLiteral("Otevřít soubor");
            req.filter = QStringLiteral("Data (*.xml)|*.xml|Vše|*.*");
            req.defaultExt = QStringLiteral("xml");
            req.options = {ofFileMustExist, ofHideReadOnly};
            const FileDialogResult r = Services().FileDialog(req);
            status->setText(r.accepted ? r.FileName() : QStringLiteral("(none)"));
        });
        connect(fail, &QPushButton::clicked, this, [] {
            Application().Guard([] { throw EConvertError(QStringLiteral("'x' is not a valid integer value")); });
        });
    }
    QPushButton* ask;
    QPushButton* open;
    QPushButton* fail;
    QLabel* status;
};

struct ServicesTest : ::testing::Test {
    ScriptedServices ui;
    ScopedServices use{ui};
    SaveWindow window;
    void SetUp() override
    {
        Application().SetTitle(QStringLiteral("Sorvamet Pro"));
        window.show();
    }
};

} // namespace

TEST_F(ServicesTest, WidgetAsksThroughTheServicesAndTheDoubleAnswers)
{
    ui.AnswerMessage(IDNO);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("btnClose")), Qt::LeftButton);
    EXPECT_EQ(window.status->text(), QStringLiteral("no"));
    ASSERT_EQ(ui.Calls().size(), 1u);
    const ServiceCall& c = ui.Calls()[0];
    EXPECT_EQ(c.kind, QStringLiteral("MessageBox"));
    EXPECT_EQ(c.text, QStringLiteral("Uložit změny?"));
    EXPECT_EQ(c.caption, QStringLiteral("Sorvamet"));
    EXPECT_EQ(c.flags, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(c.buttons, (QStringList{"Yes", "No*", "Cancel"}));
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

TEST_F(ServicesTest, FileDialogGetsTheFilterAndTheDefaultExtension)
{
    ui.AnswerFile({QStringLiteral("/data/kody")});
    QTest::mouseClick(window.open, Qt::LeftButton);
    EXPECT_EQ(window.status->text(), QStringLiteral("/data/kody.xml"));
    ASSERT_EQ(ui.CallsOf(QStringLiteral("OpenDialog")).size(), 1u);
    const ServiceCall c = ui.CallsOf(QStringLiteral("OpenDialog"))[0];
    EXPECT_EQ(c.caption, QStringLiteral("Otevřít soubor"));
    EXPECT_EQ(c.details.value(0), QStringLiteral("Data (*.xml)|*.xml|Vše|*.*"));
    EXPECT_EQ(c.details.value(4), QStringLiteral("xml"));
    ui.Cancel(QStringLiteral("OpenDialog"));
    QTest::mouseClick(window.open, Qt::LeftButton);
    EXPECT_EQ(window.status->text(), QStringLiteral("(none)"));
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

TEST_F(ServicesTest, ExceptionInAHandlerBecomesTheDefaultErrorBox)
{
    QTest::mouseClick(window.fail, Qt::LeftButton);
    ASSERT_EQ(ui.Calls().size(), 1u);
    const ServiceCall& c = ui.Calls()[0];
    EXPECT_EQ(c.kind, QStringLiteral("MessageBox"));
    EXPECT_EQ(c.text, QStringLiteral("'x' is not a valid integer value."));
    EXPECT_EQ(c.caption, QStringLiteral("Sorvamet Pro"));
    EXPECT_EQ(c.flags, MB_OK | MB_ICONSTOP);
    // Unanswered: recorded as unexpected, answered with the default button.
    EXPECT_EQ(c.result, IDOK);
    EXPECT_EQ(ui.Unexpected().size(), 1);
}

TEST_F(ServicesTest, UnansweredCallsDoNotBlockAndAreReported)
{
    EXPECT_EQ(Services().MessageBox(QStringLiteral("?"), {}, MB_YESNO | MB_DEFBUTTON2), IDNO);
    QString value = QStringLiteral("old");
    EXPECT_FALSE(Services().InputQuery(QStringLiteral("c"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("old"));
    EXPECT_FALSE(Services().FileDialog(FileDialogRequest{}).accepted);
    EXPECT_EQ(ui.Unexpected().size(), 3);
}

TEST_F(ServicesTest, AnswerThatIsNotAButtonOfTheBoxIsReported)
{
    ui.AnswerMessage(IDCANCEL);
    Services().MessageBox(QStringLiteral("Smazat?"), {}, MB_YESNO);
    ASSERT_EQ(ui.Unexpected().size(), 1);
    EXPECT_TRUE(ui.Unexpected()[0].contains(QStringLiteral("no button")));
}

TEST_F(ServicesTest, MessageDlgDefaultsAndResults)
{
    struct Case {
        TMsgDlgButtons buttons;
        QStringList shown;
    };
    const Case cases[] = {
        {TMsgDlgButtons{mbYes, mbNo}, {"Yes*", "No"}},
        {TMsgDlgButtons{mbOK, mbCancel}, {"OK*", "Cancel"}},
        {TMsgDlgButtons{mbYes, mbNo, mbOK}, {"Yes", "No", "OK*"}},
        {TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, {"Abort*", "Retry", "Ignore"}},
    };
    for (const Case& c : cases) {
        ui.Reset();
        ui.AnswerMessage(mrCancel);
        MessageDlg(QStringLiteral("x"), mtConfirmation, c.buttons);
        ASSERT_EQ(ui.Calls().size(), 1u);
        EXPECT_EQ(ui.Calls()[0].buttons, c.shown);
    }
    ui.Reset();
    ui.AnswerMessage(mrYesToAll);
    EXPECT_EQ(MessageDlg(QStringLiteral("x"), mtWarning, TMsgDlgButtons{mbYes, mbYesToAll}), mrYesToAll);
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

TEST_F(ServicesTest, InputBoxAndInputQuery)
{
    ui.AnswerInput(QStringLiteral("42"));
    EXPECT_EQ(InputBox(QStringLiteral("Počet"), QStringLiteral("Zadejte počet:"), QStringLiteral("1")),
              QStringLiteral("42"));
    ui.Cancel(QStringLiteral("InputQuery"));
    EXPECT_EQ(InputBox(QStringLiteral("Počet"), QStringLiteral("Zadejte počet:"), QStringLiteral("1")),
              QStringLiteral("1"));
    QString v = QStringLiteral("a");
    ui.AnswerInput(QStringLiteral("b"));
    EXPECT_TRUE(InputQuery(QStringLiteral("c"), QStringLiteral("p"), v));
    EXPECT_EQ(v, QStringLiteral("b"));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("InputQuery"))[0].text, QStringLiteral("Zadejte počet:"));
}

TEST_F(ServicesTest, OtherDialogsAnswerFromTheScript)
{
    ui.AnswerColor(clRed);
    EXPECT_EQ(Services().ColorDialog(clBlack, {}), std::optional<TColor>(clRed));
    ui.Cancel(QStringLiteral("ColorDialog"));
    EXPECT_FALSE(Services().ColorDialog(clBlack, {}).has_value());
    TFont f;
    ui.AnswerFont([](TFont& font) { font.SetName(QStringLiteral("Arial")); font.SetSize(14); });
    EXPECT_TRUE(Services().FontDialog(f, {}));
    EXPECT_EQ(f.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(f.Size(), 14);
    PrintDialogRequest pr;
    ui.AnswerPrint([](PrintDialogRequest& r) { r.copies = 3; r.printRange = prPageNums; r.fromPage = 2; r.toPage = 4; });
    EXPECT_TRUE(Services().PrintDialog(pr));
    EXPECT_EQ(pr.copies, 3);
    EXPECT_EQ(pr.toPage, 4);
    ui.AnswerFolder(QStringLiteral("/tmp"));
    EXPECT_EQ(Services().FolderDialog(QStringLiteral("Složka"), {}), std::optional<QString>(QStringLiteral("/tmp")));
    ui.AnswerPrinterSetup(false);
    EXPECT_FALSE(Services().PrinterSetupDialog());
    ui.AnswerShellOpen(false);
    EXPECT_FALSE(Services().ShellOpen(QStringLiteral("http://example.org")));
    EXPECT_TRUE(Services().ShellOpen(QStringLiteral("/tmp/a.pdf")));
    Services().Beep();
    EXPECT_EQ(ui.CallsOf(QStringLiteral("Beep")).size(), 1u);
    EXPECT_TRUE(ui.Unexpected().isEmpty());
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

TEST_F(ServicesTest, ClipboardKeepsTextAndPrivateFormats)
{
    Services().SetClipboardText(QStringLiteral("8591234567890"));
    EXPECT_EQ(Services().ClipboardText(), QStringLiteral("8591234567890"));
    EXPECT_FALSE(Services().ClipboardHasFormat(QStringLiteral("PlainEditBlock")));
    Services().SetClipboardData(QStringLiteral("PlainEditBlock"), QByteArray("\x02rows", 5), QStringLiteral("rows"));
    EXPECT_TRUE(Services().ClipboardHasFormat(QStringLiteral("PlainEditBlock")));
    EXPECT_EQ(Services().ClipboardData(QStringLiteral("PlainEditBlock")), QByteArray("\x02rows", 5));
    EXPECT_EQ(Services().ClipboardText(), QStringLiteral("rows"));
}

TEST(Services, WithoutServicesInstalledCallsRaise)
{
    UiServices* previous = SetServices(nullptr);
    EXPECT_FALSE(HasServices());
    EXPECT_THROW(ShowMessage(QStringLiteral("x")), EInvalidOperation);
    SetServices(previous);
}

TEST(Services, FileFilterSyntax)
{
    const auto f = ParseFileFilter(QStringLiteral("Data (*.xml)|*.xml|Text|*.csv;*.txt|Vše"));
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].description, QStringLiteral("Data (*.xml)"));
    EXPECT_EQ(f[0].patterns, QStringList{"*.xml"});
    EXPECT_EQ(f[1].patterns, (QStringList{"*.csv", "*.txt"}));
    EXPECT_EQ(f[2].patterns, QStringList{"*"});
    EXPECT_TRUE(ParseFileFilter(QString()).empty());
}

TEST(Services, DefaultExtensionOnlyWhenTheNameHasNone)
{
    struct Case {
        const char* name;
        const char* ext;
        const char* result;
    };
    const Case cases[] = {{"/a/kody", "xml", "/a/kody.xml"},   {"/a/kody.csv", "xml", "/a/kody.csv"},
                          {"/a.b/kody", ".xml", "/a.b/kody.xml"}, {"kody", "", "kody"},
                          {"", "xml", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(ApplyDefaultExt(QString::fromUtf8(c.name), QString::fromUtf8(c.ext)), QString::fromUtf8(c.result))
            << c.name;
}
