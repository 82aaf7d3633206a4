// The tab order command of the page popup (dialog pages only) and the
// connections command of the View menu (standalone designer only), and the
// designer's expression editor reaching the dialogs that ask the designer.

#include "KeyStore.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdBarcodeView.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDCtrl.h"
#include "zdDesgnForm.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct DialogCommands : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    QTemporaryDir dir;
    TzdReport report;
    std::unique_ptr<TzdDesignerForm> form;

    DialogCommands()
    {
        static const bool started = [] {
            zd::startReportUnit();
            zd::startBarcodeViewRTTIUnit();
            zd::startBarcodeViewUnit();
            zd::startDialogControlsUnit();
            zd::startDesignerEditorsUnit();
            return true;
        }();
        (void)started;
        report.IniFile = dir.filePath(QStringLiteral("settings.ini"));
        plat::KeyStore::setHiveFolders(dir.filePath(QStringLiteral("user")), dir.filePath(QStringLiteral("machine")));
    }
    ~DialogCommands() override { plat::KeyStore::resetHiveFolders(); }
    void open()
    {
        form = std::make_unique<TzdDesignerForm>(new zd::DesignerModel(nullptr, &report, false), nullptr, true);
        form->resize(1000, 700);
        form->show();
    }
    zd::DesignerModel& model() { return form->Model(); }
    QAction* action(const char* name)
    {
        auto* a = form->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QStringList childNames(TzdComponent* parent) const
    {
        QStringList names;
        for (TzdComponent* c : parent->Children())
            names << c->Name();
        return names;
    }
};

TEST_F(DialogCommands, TabOrderIsOfferedOnDialogPagesAndCancelChangesNothing)
{
    open();
    QAction* tabOrder = action("TabOrderCmd");
    ASSERT_NE(tabOrder, nullptr);
    EXPECT_TRUE(form->findChild<QMenu*>(QStringLiteral("PagePopup"))->actions().contains(tabOrder));
    EXPECT_FALSE(tabOrder->isVisible()) << "a report page has no tab order";

    ASSERT_TRUE(model().NewDialog());
    form->syncFromModel();
    EXPECT_TRUE(tabOrder->isVisible());
    TzdComponent* dialog = model().CurrentPage;
    for (int i = 0; i < 2; ++i)
        ASSERT_NE(model().InsertObject(TzdEditControl::StaticClass(), 0, {10, 10 + 30.0L * i, 100, 21}), nullptr);
    model().SetModifiedFlag(false);
    model().Selection = {dialog};
    const QStringList before = childNames(dialog);
    ASSERT_EQ(before.size(), 2);

    const auto moveLastUp = [](const char* button) {
        return [button](QDialog& d) {
            d.show();
            auto* list = d.findChild<QListWidget*>(QStringLiteral("ControlsLB"));
            list->setCurrentRow(list->count() - 1);
            d.findChild<QPushButton*>(QStringLiteral("UpB"))->click();
            d.findChild<QPushButton*>(QString::fromLatin1(button))->click();
            d.hide();
            return d.result();
        };
    };
    {
        plat::ScopedModalRunner cancel(moveLastUp("CancelB"));
        tabOrder->trigger();
    }
    EXPECT_EQ(childNames(dialog), before);
    EXPECT_FALSE(model().Modified);
    {
        plat::ScopedModalRunner ok(moveLastUp("OkB"));
        tabOrder->trigger();
    }
    EXPECT_EQ(childNames(dialog), (QStringList{before[1], before[0]}));
    EXPECT_TRUE(model().Modified);
    // The object lists follow the new order.
    EXPECT_EQ(model().PageObjects.front()->Name(), before[1]);
}

TEST_F(DialogCommands, ConnectionsAreOfferedByTheStandaloneDesignerOnly)
{
    TzdDesigner designer(nullptr);
    open();
    QAction* connections = action("ConnectionsCmd");
    ASSERT_NE(connections, nullptr);
    EXPECT_TRUE(form->findChild<QMenu*>(QStringLiteral("ViewMenu"))->actions().contains(connections));
    EXPECT_FALSE(connections->isVisible());
    QStringList shown;
    plat::ScopedModalRunner cancel([&](QDialog& d) {
        shown << d.objectName();
        return int(QDialog::Rejected);
    });
    connections->trigger();
    EXPECT_TRUE(shown.isEmpty());

    designer.Standalone = true;
    form->syncFromModel();
    EXPECT_TRUE(connections->isVisible());
    connections->trigger();
    EXPECT_EQ(shown, QStringList{QStringLiteral("zdConnEditorForm")});
    EXPECT_FALSE(model().Modified);
}

TEST_F(DialogCommands, DialogsAskingTheDesignerGetTheExpressionEditor)
{
    open();
    plat::ScopedModalRunner run([](QDialog& d) {
        d.show();
        EXPECT_EQ(d.objectName(), QStringLiteral("TzdExprEditorForm"));
        auto* e = d.findChild<QLineEdit*>(QStringLiteral("ExprMemo"));
        e->setText(e->text() + QStringLiteral(" + 1"));
        d.accept();
        d.hide();
        return d.result();
    });
    EXPECT_EQ(model().EditExpression(QStringLiteral("<Page#>")), QStringLiteral("<Page#> + 1"));
}

} // namespace
