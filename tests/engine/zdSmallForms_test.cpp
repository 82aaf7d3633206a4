// The password and inherit-error dialogs, driven through their named
// controls by the modal-window runner.
#include "Modal.h"
#include "zdInheritError.h"
#include "zdPassw.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

TEST(SmallForms, PasswordIsTypedHiddenAndReadAfterOk)
{
    TzdPasswordForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Heslo"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("PasswordL"))->text(), QStringLiteral("Vložte heslo:"));
    plat::ScopedModalRunner runner([](QDialog& d) {
        QTest::keyClicks(d.findChild<QLineEdit*>(QStringLiteral("PasswordE")), QStringLiteral("tajne7"));
        d.findChild<QPushButton*>(QStringLiteral("OkB"))->click();
        return d.result();
    });
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    EXPECT_EQ(form.PasswordE->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.PasswordE->text(), QStringLiteral("tajne7"));
}

TEST(SmallForms, PasswordCancelGivesNoAcceptance)
{
    TzdPasswordForm form;
    plat::ScopedModalRunner runner([](QDialog& d) {
        d.findChild<QPushButton*>(QStringLiteral("CancelB"))->click();
        return d.result();
    });
    EXPECT_EQ(plat::ExecModal(form), QDialog::Rejected);
}

TEST(SmallForms, InheritErrorOffersDeleteFirstAndRenameOnRequest)
{
    TzdInheritErrorForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Inherit error"));
    EXPECT_TRUE(form.DeleteRB->isChecked());
    EXPECT_EQ(form.RenameRB->text(), QStringLiteral("Rename duplicates"));
    plat::ScopedModalRunner runner([](QDialog& d) {
        d.findChild<QRadioButton*>(QStringLiteral("RenameRB"))->click();
        d.findChild<QPushButton*>(QStringLiteral("OkB"))->click();
        return d.result();
    });
    EXPECT_EQ(plat::ExecModal(form), QDialog::Accepted);
    EXPECT_FALSE(form.DeleteRB->isChecked());
}
