#include "Application.h"
#include "QtServices.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plat;

namespace {

// Acts on the next modal dialog from inside its event loop, so the real
// dialogs run without anyone waiting; a watchdog rejects whatever is still
// open after a few seconds so a failing test can never hang.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget*)> act) : m_act(std::move(act))
    {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || m_done)
                return;
            m_done = true;
            m_poll.stop();
            m_act(modal);
        });
        m_poll.start();
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->done(QDialog::Rejected);
        });
        m_watchdog.start(5000);
    }
    bool acted() const { return m_done; }

private:
    std::function<void(QWidget*)> m_act;
    QTimer m_poll, m_watchdog;
    bool m_done = false;
};

QStringList buttonTexts(QMessageBox* box)
{
    QStringList out;
    for (QAbstractButton* b : box->buttons())
        out << b->text();
    out.sort();
    return out;
}

} // namespace

TEST(QtServices, MessageBoxShowsThePlatformButtonsAndDefault)
{
    QtServices services;
    QStringList buttons;
    QString defaultText, title;
    bool escapeIgnored = false;
    ModalDriver driver([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        buttons = buttonTexts(box);
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        title = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Escape); // no Cancel: must not close
        escapeIgnored = box->isVisible();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("Ano"))
                b->click();
    });
    const int r = services.MessageBox(QStringLiteral("Smazat záznam?"), QStringLiteral("Dotaz"),
                                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(r, IDYES);
    EXPECT_EQ(buttons, (QStringList{"Ano", "Ne"}));
    EXPECT_EQ(defaultText, QStringLiteral("Ne"));
    EXPECT_EQ(title, QStringLiteral("Dotaz"));
    EXPECT_TRUE(escapeIgnored);
}

TEST(QtServices, EscapePressesCancel)
{
    QtServices services;
    ModalDriver driver([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(services.MessageBox(QStringLiteral("Pokračovat?"), {}, MB_YESNOCANCEL), IDCANCEL);
    ModalDriver driver2([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    EXPECT_EQ(services.MessageDlg(QStringLiteral("Uložit?"), mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel}),
              mrYes);
}

TEST(QtServices, InputQueryReturnsTheEnteredText)
{
    QtServices services;
    ModalDriver driver([](QWidget* w) {
        auto* dlg = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->labelText(), QStringLiteral("Počet kopií:"));
        dlg->setTextValue(QStringLiteral("7"));
        dlg->accept();
    });
    QString value = QStringLiteral("1");
    EXPECT_TRUE(services.InputQuery(QStringLiteral("Tisk"), QStringLiteral("Počet kopií:"), value));
    EXPECT_EQ(value, QStringLiteral("7"));
}

TEST(QtServices, SaveDialogUsesFiltersAndDefaultExtension)
{
    QtServices services;
    QTemporaryDir dir;
    QStringList filters;
    ModalDriver driver([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        filters = dlg->nameFilters();
        EXPECT_EQ(dlg->selectedNameFilter(), filters.value(1));
        dlg->selectFile(dir.filePath(QStringLiteral("kody")));
        QMetaObject::invokeMethod(dlg, "accept");
    });
    FileDialogRequest req;
    req.kind = FileDialogRequest::Save;
    req.filter = QStringLiteral("Data (*.xml)|*.xml|Text|*.csv;*.txt");
    req.filterIndex = 2;
    req.defaultExt = QStringLiteral("xml");
    req.initialDir = dir.path();
    const FileDialogResult r = services.FileDialog(req);
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(filters, (QStringList{"Data (*.xml)", "Text (*.csv *.txt)"}));
    EXPECT_EQ(r.FileName(), dir.filePath(QStringLiteral("kody.xml")));
    EXPECT_EQ(r.filterIndex, 2);
}

TEST(QtServices, ClipboardRoundTrip)
{
    QtServices services;
    services.SetClipboardText(QStringLiteral("Žluťoučký kůň"));
    EXPECT_EQ(services.ClipboardText(), QStringLiteral("Žluťoučký kůň"));
    services.SetClipboardData(QStringLiteral("PlainEditBlock"), QByteArray("\x01\x00z", 3), QStringLiteral("z"));
    EXPECT_TRUE(services.ClipboardHasFormat(QStringLiteral("PlainEditBlock")));
    EXPECT_EQ(services.ClipboardData(QStringLiteral("PlainEditBlock")), QByteArray("\x01\x00z", 3));
    EXPECT_EQ(services.ClipboardText(), QStringLiteral("z"));
}

TEST(QtServices, NameFiltersAppendThePatternsOnlyWhereTheDescriptionLacksThem)
{
    struct Case {
        const char* filter;
        QStringList names;
    };
    const Case cases[] = {
        {"Databáze pro čárové kódy (*.xml)|*.xml", {"Databáze pro čárové kódy (*.xml)"}},
        {"Databáze csv (oddělovač \"čára\")(*.csv)|*.csv", {"Databáze csv (oddělovač \"čára\")(*.csv)"}},
        {"Obrázky (*.png *.bmp)|*.bmp;*.png", {"Obrázky (*.png *.bmp)"}},
        // Qt reads the patterns at blanks only, so these are given again.
        {"Obrázky (*.png;*.bmp)|*.bmp;*.png", {"Obrázky (*.png;*.bmp) (*.bmp *.png)"}},
        {"Text|*.txt|Vše|*.*", {"Text (*.txt)", "Vše (*.*)"}},
        // Parentheses that are not the patterns.
        {"Data (staré)|*.dat", {"Data (staré) (*.dat)"}},
        {"Text (*.txt)|*.txt;*.text", {"Text (*.txt) (*.txt *.text)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtServices::NameFilters(QString::fromUtf8(c.filter)), c.names) << c.filter;
}

TEST(QtServices, QtsOwnTextsSpeakCzechOnceTheTranslationIsInstalled)
{
    QTranslator* translator = QtServices::InstallQtTranslation();
    ASSERT_NE(translator, nullptr) << "Qt's Czech translation (qt6-translations-l10n) is not installed";
    QMessageBox box(QMessageBox::Question, QStringLiteral("Dotaz"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Ano"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Ne"));
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(dialog.labelText(QFileDialog::LookIn), QStringLiteral("Hledat v:"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

TEST(QtServices, ShellOpenRefusesALocalDocumentThatIsNotThere)
{
    QtServices services;
    QTemporaryDir dir;
    EXPECT_FALSE(services.ShellOpen(dir.filePath(QStringLiteral("napoveda/chybi.htm"))));
}
