#pragma once
// The designer window over a designer model on an empty report, with
// scripted UI services and a temporary folder for its files, shared by the
// window's tests.

#include "../DesignerTestUnits.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDesgnForm.h"
#include "zdDesgnWorkspace.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace windowtest {

inline void startUnits()
{
    testunits::startDesignerUnits();
}

struct Window : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    QTemporaryDir dir;
    TzdReport report;
    std::unique_ptr<TzdDesignerForm> form;

    Window()
    {
        startUnits();
        report.IniFile = path("ZazaDuzudi.ini");
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void open()
    {
        form = std::make_unique<TzdDesignerForm>(new zd::DesignerModel(nullptr, &report, false), nullptr, true);
        form->resize(1000, 700);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTest::qWaitForWindowActive(form.get());
    }
    zd::DesignerModel& model() { return form->Model(); }
    QList<plat::ServiceCall> messageBoxes() const
    {
        QList<plat::ServiceCall> boxes;
        for (const plat::ServiceCall& c : ui.Calls())
            if (c.kind == u"MessageBox")
                boxes << c;
        return boxes;
    }
    template <class T = QWidget> T* child(const char* name)
    {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // A click on the workspace at page units (x, y).
    void clickPage(long double x, long double y, Qt::KeyboardModifiers mods = {})
    {
        TDesignerWorkspace* ws = form->Workspace();
        const long double s = model().Scale();
        const QPoint p(int(std::lround(double(x * s))), int(std::lround(double(y * s))));
        QTest::mouseMove(ws, p);
        QTest::mousePress(ws, Qt::LeftButton, mods, p);
        QTest::mouseRelease(ws, Qt::LeftButton, mods, p);
    }
};

} // namespace windowtest
