#pragma once
// A designer model on an empty report, with scripted dialogs, for the
// designer's tool windows.

#include "../DesignerTestUnits.h"
#include "ScriptedServices.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDataSets.h"
#include "zdDesignerModel.h"
#include "zdEditors.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace paneltest {

inline void startUnits()
{
    testunits::startDesignerUnits();
}

struct Fixture : ::testing::Test {
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    std::unique_ptr<zd::DesignerModel> d;

    Fixture()
    {
        startUnits();
        d = std::make_unique<zd::DesignerModel>(nullptr, &report);
        d->ReloadFromReport();
    }
    ~Fixture() override { d.reset(); }

    TzdComponent* page() const { return d->CurrentPage; }
    template <class T>
    T* add(TzdComponent* parent, const char* name, long double top = 0)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent);
        obj->SetName(QString::fromLatin1(name));
        obj->SetBounds(10, top, 80, 20);
        return obj;
    }
    TzdUserDataSet* dataset(const char* alias, const QStringList& fields)
    {
        auto* ds = new TzdUserDataSet(&report);
        ds->SetUserName(QString::fromLatin1(alias));
        for (const QString& f : fields)
            ds->Fields()->Add(f);
        report.DataSets()->AddDataSet(ds);
        return ds;
    }
    int boxes() const { return int(ui.CallsOf(QStringLiteral("MessageBox")).size()); }
};

// Clicks a node of a tree (with modifiers), as the user would.
inline void clickNode(QTreeWidget* tree, QTreeWidgetItem* node,
                      Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    tree->scrollToItem(node);
    const QRect r = tree->visualItemRect(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, mods, r.center());
}

} // namespace paneltest
