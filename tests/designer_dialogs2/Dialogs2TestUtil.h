#pragma once
// A report with one page, a designer that answers the expression editor,
// scripted user-interface services and a dataset "Orders"; the template as
// saved, to compare before and after a dialog.

#include "../core/zdDesignerDouble.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "StringList.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdEditors.h"

#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace dlg2 {

inline void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        zd::startDesignerEditorsUnit();
        return true;
    }();
    (void)started;
}

struct Fixture : ::testing::Test {
    QTemporaryDir dir;
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    TzdReportPage* page = nullptr;
    zdtest::TestDesigner designer{&report};
    TzdUserDataSet* orders = nullptr;

    Fixture()
    {
        startUnits();
        // The dialogs keep their places in the report's settings: a file of the test's own.
        report.IniFile = dir.filePath(QStringLiteral("settings.ini"));
        page = add<TzdReportPage>(nullptr, "Page1");
        report.OpenDesigner = &designer;
        designer.CurrentPage = page;
    }
    ~Fixture() override { report.OpenDesigner = nullptr; }

    template <class T>
    T* add(TzdComponent* parent, const char* name)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent ? parent : &report);
        obj->SetName(QString::fromLatin1(name));
        return obj;
    }
    TzdUserDataSet* addDataSet(const char* alias, QStringList fields)
    {
        auto* ds = new TzdUserDataSet(&report);
        ds->SetName(QString::fromLatin1(alias) + QStringLiteral("DS"));
        ds->SetUserName(QString::fromLatin1(alias));
        for (const QString& f : fields)
            ds->Fields()->Add(f);
        report.DataSets()->AddDataSet(ds);
        return ds;
    }
    void addOrders() { orders = addDataSet("Orders", {QStringLiteral("Amount"), QStringLiteral("Name")}); }

    QByteArray saved()
    {
        const QString file = dir.filePath(QStringLiteral("template.zd3"));
        report.SaveToFile(file);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    // Texts of the error and information boxes shown so far.
    QStringList messages() const
    {
        QStringList list;
        for (const plat::ServiceCall& c : ui.Calls())
            if (c.kind == u"MessageBox" || c.kind == u"MessageDlg")
                list << c.text;
        return list;
    }
};

template <class W>
W* child(QDialog& d, const char* name)
{
    auto* w = d.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs the dialog with a script that works its controls; OK and Cancel are
// clicked by the script.
struct Runner {
    explicit Runner(std::function<void(QDialog&)> script)
        : scope([script](QDialog& d) {
              script(d);
              return d.result();
          })
    {
    }
    plat::ScopedModalRunner scope;
};

} // namespace dlg2
