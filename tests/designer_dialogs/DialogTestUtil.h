#pragma once
// What the editor dialog tests share: a report with one page, its template
// as saved, and a modal runner that lets a test drive a dialog's widgets
// before pressing one of its buttons.

#include "Modal.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace dlgtest {

void startUnits();

struct ReportFixture : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    QTemporaryDir settingsDir;
    TzdReport report;
    TzdReportPage* page;

    ReportFixture()
    {
        startUnits();
        // The dialogs keep their places in the report's settings: a file of the test's own.
        report.IniFile = settingsDir.filePath(QStringLiteral("settings.ini"));
        page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
    }
    template <class T>
    T* add(TzdComponent* parent, const char* name)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent);
        obj->SetName(QString::fromLatin1(name));
        return obj;
    }
    QByteArray snapshot()
    {
        plat::TMemoryStream s;
        report.SaveToStream(s);
        return s.bytes();
    }
};

// Runs every modal dialog through Drive, then presses the button named
// Button ("OkB", "CancelB"...) and returns the dialog's result.
inline plat::ScopedModalRunner driveDialog(std::function<void(QDialog&)> Drive, QString Button)
{
    return plat::ScopedModalRunner([Drive = std::move(Drive), Button](QDialog& dialog) {
        dialog.show();
        if (Drive)
            Drive(dialog);
        // An embedded editor may bring hidden buttons of the same name.
        QAbstractButton* b = nullptr;
        for (QAbstractButton* candidate : dialog.findChildren<QAbstractButton*>(Button))
            if (!b || (candidate->isVisible() && !b->isVisible()))
                b = candidate;
        if (b) {
            QTest::mouseClick(b, Qt::LeftButton);
        } else if (auto* a = dialog.findChild<QAction*>(Button)) {
            a->trigger();
        } else {
            ADD_FAILURE() << "no button " << Button.toStdString();
            dialog.reject();
        }
        dialog.hide();
        return dialog.result();
    });
}

template <class T>
T* child(QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace dlgtest
