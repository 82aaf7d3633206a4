#pragma once
// Small report templates built in code: one page of 100 × 100 mm without
// margins (377.95 pixels of printable height), bands and memos placed by
// the test, prepared with a fixed clock and dumped as text.

#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"
#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace enginetest {

inline constexpr long double kPageHeight = 100 * zd01cm;

struct Fixture {
    // The units start before the report exists: it makes its engine then.
    struct Start {
        Start() { started(); }
    } start;
    // Datasets live beside the report, owned by its owner, as the program's
    // record table does.
    plat::TComponent host{nullptr};
    TzdReport report{&host};
    TzdReportPage* page = nullptr;

    Fixture()
    {
        page = addPage(QStringLiteral("Page1"));
    }

    static bool started()
    {
        static const bool once = [] {
            zdtool::startLibrary();
            zd::startEngineUnit();
            return true;
        }();
        return once;
    }

    TzdReportPage* addPage(const QString& Name)
    {
        started();
        auto* p = new TzdReportPage(&report);
        p->SetParent(&report);
        p->SetName(Name);
        p->SetPaperFormat(256, 100, 100);
        p->LeftMargin = p->RightMargin = p->TopMargin = p->BottomMargin = 0;
        return p;
    }

    template <class T>
    T* band(const QString& Name, long double Top, long double Height, TzdReportPage* On = nullptr)
    {
        auto* b = new T(On ? On : page);
        b->SetParent(On ? On : page);
        b->SetName(Name);
        b->SetBounds(0, Top, 100 * zd01cm, Height);
        return b;
    }

    TzdMemoView* memo(TzdBand* Band, const QString& Name, long double Left, long double Top, long double Width,
                      long double Height, const QString& Text)
    {
        auto* m = new TzdMemoView(Band);
        m->SetParent(Band);
        m->SetName(Name);
        m->SetBounds(Left, Top, Width, Height);
        m->SetText(Text);
        return m;
    }

    // Rows of one field "N" (1, 2, ...) and a field "Amount" (N × 10).
    zdtool::RowsDataSet* rows(const QString& Name, int Count)
    {
        auto* ds = new zdtool::RowsDataSet(&host, Name);
        report.DataSets()->AddDataSet(ds);
        ds->Fields = {QStringLiteral("N"), QStringLiteral("Amount")};
        for (int i = 1; i <= Count; ++i)
            ds->Rows.push_back({QVariant(i), QVariant(i * 10)});
        return ds;
    }

    TzdEngine* engine() { return dynamic_cast<TzdEngine*>(report.Engine()); }
    TzdPreviewPages* store() { return zdtool::storeOf(report); }

    bool prepare(QStringList* Errors = nullptr) { return zdtool::prepare(report, {}, Errors); }

    // Prepares twice (the two files must be the same) and dumps the pages.
    QString dump()
    {
        EXPECT_TRUE(prepare()) << report.ErrorList().join(u'\n').toStdString();
        const QByteArray first = zp3();
        EXPECT_TRUE(prepare()) << report.ErrorList().join(u'\n').toStdString();
        EXPECT_TRUE(zp3() == first) << "a second preparation gave another file";
        return zdtool::dumpPages(*store());
    }

    QByteArray zp3()
    {
        plat::TMemoryStream stream;
        store()->SaveToStream(stream);
        return stream.bytes();
    }
};

// Lines of a dump that start with a prefix.
inline QStringList linesWith(const QString& Dump, const QString& Prefix)
{
    QStringList out;
    for (const QString& l : Dump.split(u'\n'))
        if (l.startsWith(Prefix))
            out << l;
    return out;
}

// The dump lines of the objects named Name on page Page.
inline QStringList objectLines(const QString& Dump, int Page, const QString& Name)
{
    QStringList out;
    for (const QString& l : Dump.split(u'\n'))
        if (l.startsWith(QString::number(Page) + u' ') && l.section(u' ', 3, 3) == Name)
            out << l;
    return out;
}

// Compares with data/NAME.dump; SORVAMET_UPDATE_GOLDEN=1 writes it instead.
inline void expectGolden(const QString& Name, const QString& Dump)
{
    const QString path = QStringLiteral(SORVAMET_TEST_DATA "/") + Name + QStringLiteral(".dump");
    if (qEnvironmentVariableIsSet("SORVAMET_UPDATE_GOLDEN")) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(Dump.toUtf8());
        return;
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), Dump.toStdString()) << Name.toStdString();
}

} // namespace enginetest
