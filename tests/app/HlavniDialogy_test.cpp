// The main window's commands open the program's dialogs.
#include "Dialogs_fixture.h"
#include "NovyEdit_f.h"

#include <QAction>

using namespace dialogtest;

namespace {

class DialogCommands : public DialogTest {
protected:
    // Triggers the action and returns the object name and caption of the
    // modal window it showed.
    QStringList opened(const char* action)
    {
        QStringList seen;
        onModal([&](QDialog& d) {
            seen << d.objectName() << d.windowTitle();
            return int(QDialog::Rejected);
        });
        window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
        return seen;
    }
};

TEST_F(DialogCommands, EachCommandOpensItsDialog)
{
    newFile();
    addRecord("1");
    struct Case {
        const char* action;
        const char* dialog;
        QString caption;
    };
    const Case cases[] = {
        {"Akce_Konfig", "Konfig", "Konfigurace"},
        {"Akce_NovyZaznam", "NovyEdit", TNovyEdit::NovyZaznam()},
        {"Akce_EditZaznamu", "NovyEdit", TNovyEdit::EditaceZaznamu()},
        {"Akce_HledatZaznam", "Hledat", "Hledat"},
        {"Akce_Filtr", "FiltrZaznamu", "Filtr"},
        {"Akce_Generator", "Generator", u8("Generátor kódů")},
        {"Akce_VlozeniDatExcel", "VlozeniDatExcel", u8("Vložení dat Excelu")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(opened(c.action), (QStringList{QString::fromLatin1(c.dialog), c.caption})) << c.action;
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DialogCommands, ImportAsksForAFile)
{
    newFile();
    ui.Cancel(QStringLiteral("OpenDialog"));
    window->Akce_ImportDat->trigger();
    EXPECT_EQ(ui.CallsOf(QStringLiteral("OpenDialog")).size(), 1u);
}

TEST_F(DialogCommands, DoubleClickEditsTheCurrentRecord)
{
    newFile();
    addRecord("1");
    QString caption;
    onModal([&](QDialog& d) {
        caption = d.windowTitle();
        return int(QDialog::Rejected);
    });
    window->DBGrid1DblClick();
    EXPECT_EQ(caption, TNovyEdit::EditaceZaznamu());
}

} // namespace
