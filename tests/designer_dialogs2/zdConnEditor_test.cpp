// The connections dialog over two stores in a temporary folder: the
// machine-wide store is read-only, so a change there is reported while the
// user's store is still saved, atomically and only on Close.

#include "Dialogs2TestUtil.h"
#include "IniFiles.h"
#include "KeyStore.h"
#include "zdConnEditor.h"
#include "zdDialogsSecondHalf.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace dlg2;

namespace {

struct ConnDialog : Fixture {
    QString userFolder, machineFolder;
    ConnDialog()
    {
        userFolder = dir.filePath(QStringLiteral("user"));
        machineFolder = dir.filePath(QStringLiteral("machine"));
        QDir().mkpath(userFolder);
        QDir().mkpath(machineFolder);
        plat::KeyStore::setHiveFolders(userFolder, machineFolder);
        writeHive(machineFolder, "[Software\\Rure Viroraz\\Connections]\r\nSklad=Provider=A\r\nSpolecna=Provider=M\r\n");
        writeHive(userFolder, "[Software\\Rure Viroraz\\Connections]\r\nMoje=Provider=U\r\nSpolecna=Provider=X\r\n"
                              "[Software\\Rure Viroraz\\Jine]\r\nKlic=1\r\n");
    }
    ~ConnDialog() override { plat::KeyStore::resetHiveFolders(); }
    static void writeHive(const QString& folder, const char* text)
    {
        QFile f(folder + QStringLiteral("/registry.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    static QByteArray hive(const QString& folder)
    {
        QFile f(folder + QStringLiteral("/registry.ini"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static QStringList listed(QDialog& d)
    {
        QStringList rows;
        auto* lv = child<QTreeWidget>(d, "ConnLV");
        for (int i = 0; i < lv->topLevelItemCount(); ++i)
            rows << lv->topLevelItem(i)->text(0) + u'/' + lv->topLevelItem(i)->text(1);
        return rows;
    }
};

TEST_F(ConnDialog, ListsBothStoresMachineFirst)
{
    QStringList rows;
    Runner run([&](QDialog& d) {
        rows = listed(d);
        d.reject(); // the window's close box
    });
    EXPECT_FALSE(zd::dialogs::EditConnections(&report));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("Sklad/System"), QStringLiteral("Spolecna/System"),
                                 QStringLiteral("Moje/User"), QStringLiteral("Spolecna/User")}));
}

TEST_F(ConnDialog, NewUserConnectionIsSavedOnCloseOnly)
{
    const QByteArray machineBefore = hive(machineFolder);
    const QByteArray userBefore = hive(userFolder);
    Runner run([](QDialog& d) {
        if (d.objectName() == u"zdConnectionItemEdit") {
            child<QLineEdit>(d, "NameE")->setText(QStringLiteral("Nova"));
            child<QLineEdit>(d, "ConnE")->setText(QStringLiteral("Provider=N"));
            child<QPushButton>(d, "OkB")->click();
            return;
        }
        child<QPushButton>(d, "NewB")->click();
        EXPECT_EQ(child<QTreeWidget>(d, "ConnLV")->currentItem()->text(0), QStringLiteral("Nova"));
        d.reject();
    });
    EXPECT_FALSE(zd::dialogs::EditConnections(&report));
    EXPECT_EQ(hive(userFolder), userBefore);

    Runner close([](QDialog& d) {
        if (d.objectName() == u"zdConnectionItemEdit") {
            child<QLineEdit>(d, "NameE")->setText(QStringLiteral("Nova"));
            child<QLineEdit>(d, "ConnE")->setText(QStringLiteral("Provider=N"));
            child<QPushButton>(d, "OkB")->click();
            return;
        }
        child<QPushButton>(d, "NewB")->click();
        child<QPushButton>(d, "OKB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditConnections(&report));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(hive(machineFolder), machineBefore);
    plat::KeyStore user(plat::KeyScope::User);
    ASSERT_TRUE(user.OpenKeyReadOnly(zd::connections::key()));
    EXPECT_EQ(user.ReadString(QStringLiteral("Nova")), QStringLiteral("Provider=N"));
    EXPECT_EQ(user.ReadString(QStringLiteral("Moje")), QStringLiteral("Provider=U"));
    EXPECT_TRUE(hive(userFolder).contains("Klic=1")); // other keys stay
}

TEST_F(ConnDialog, ChangedMachineConnectionsAreReportedAndUserOnesStillSaved)
{
    const QByteArray machineBefore = hive(machineFolder);
    std::vector<zd::connections::Row> before = zd::connections::load();
    std::vector<zd::connections::Row> after = before;
    after.erase(after.begin()); // Sklad, System
    after.back().ConnectionString = QStringLiteral("Provider=Y"); // Spolecna, User
    const QStringList errors = zd::connections::save(before, after);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains(QStringLiteral("System")));
    EXPECT_EQ(hive(machineFolder), machineBefore);
    plat::KeyStore user(plat::KeyScope::User);
    ASSERT_TRUE(user.OpenKeyReadOnly(zd::connections::key()));
    EXPECT_EQ(user.ReadString(QStringLiteral("Spolecna")), QStringLiteral("Provider=Y"));
}

TEST_F(ConnDialog, DeletingAsksAndReplacesTheUserSection)
{
    ui.AnswerMessage(plat::mrYes);
    Runner run([](QDialog& d) {
        auto* lv = child<QTreeWidget>(d, "ConnLV");
        lv->setCurrentItem(lv->topLevelItem(2)); // Moje, User
        child<QPushButton>(d, "DeleteB")->click();
        child<QPushButton>(d, "OKB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditConnections(&report));
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageDlg")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageDlg"))[0].text, QStringLiteral("Delete connection Moje?"));
    plat::KeyStore user(plat::KeyScope::User);
    ASSERT_TRUE(user.OpenKeyReadOnly(zd::connections::key()));
    EXPECT_FALSE(user.ValueExists(QStringLiteral("Moje")));
    EXPECT_TRUE(user.ValueExists(QStringLiteral("Spolecna")));
}

TEST_F(ConnDialog, ItemDialogRefusesEmptyAndDuplicateNames)
{
    const std::vector<zd::connections::Row> rows = zd::connections::load();
    zd::connections::Row r;
    r.System = false;
    EXPECT_FALSE(zd::connections::validate(rows, -1, r).isEmpty());
    r.Name = QStringLiteral("moje");
    EXPECT_FALSE(zd::connections::validate(rows, -1, r).isEmpty());
    EXPECT_TRUE(zd::connections::validate(rows, 2, r).isEmpty()); // the row itself
    r.Name = QStringLiteral("a=b");
    EXPECT_FALSE(zd::connections::validate(rows, -1, r).isEmpty());
    r.Name = QStringLiteral("Sklad"); // a System name, but a User row
    EXPECT_TRUE(zd::connections::validate(rows, -1, r).isEmpty());

    bool stayedOpen = false;
    Runner run([&](QDialog& d) {
        if (d.objectName() == u"zdConnectionItemEdit") {
            child<QLineEdit>(d, "NameE")->setText(QStringLiteral("Moje"));
            child<QPushButton>(d, "OkB")->click();
            stayedOpen = d.result() != QDialog::Accepted;
            child<QPushButton>(d, "CancelB")->click();
            return;
        }
        child<QPushButton>(d, "NewB")->click();
        EXPECT_EQ(child<QTreeWidget>(d, "ConnLV")->topLevelItemCount(), 4);
        d.reject();
    });
    zd::dialogs::EditConnections(&report);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages().size(), 1);
}

} // namespace
