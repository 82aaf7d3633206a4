#pragma once
// The label report of the engine and export benchmarks: every record prints
// a band with one Code 128 barcode and two memos, three labels across an A4
// sheet.

#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdEngine.h"

namespace benchlabels {

// Starts, once per process, the units the label report needs.
inline void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        zd::startEngineUnit();
        return true;
    }();
    (void)started;
}

// Records made up on the fly: a code and two texts per record number.
class LabelData : public TzdDataSet {
public:
    LabelData(plat::TComponent* AOwner, int Count) : TzdDataSet(AOwner), m_count(Count)
    {
        SetUserName(QStringLiteral("Labels"));
        SetName(QStringLiteral("Labels"));
    }
    bool Eof() override { return RecNo >= m_count; }
    int RecordCount() override { return m_count; }
    QString GetDisplayText(const QString& FieldName) override { return plat::VarToStr(GetValue(FieldName)); }
    plat::Variant GetValue(const QString& FieldName) override
    {
        if (FieldName == u"Code")
            return QStringLiteral("SVM%1").arg(RecNo + 1, 8, 10, QChar(u'0'));
        if (FieldName == u"Name")
            return QStringLiteral("Výrobek číslo %1").arg(RecNo + 1);
        return QStringLiteral("Šarže %1, sklad %2").arg((RecNo * 7) % 1000).arg(RecNo % 13);
    }

private:
    int m_count;
};

// Builds the label report over Count records (the dataset is owned by Host).
inline void buildLabelReport(plat::TComponent& Host, TzdReport& report, int records, bool fileCache)
{
    auto* data = new LabelData(&Host, records);
    report.EngineOptions()->UseFileCache = fileCache;
    report.EngineOptions()->NewSilentMode = simSilent;
    report.DataSets()->AddDataSet(data);
    auto* page = new TzdReportPage(&report);
    page->SetParent(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperFormat(9, 210, 297);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 5;
    auto* band = new TzdMasterData(page);
    band->SetParent(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 20, 250, 140);
    band->Columns = 3;
    band->ColumnWidth = 250;
    band->SetDataSet(data);
    auto* code = new TzdBarCodeView(band);
    code->SetParent(band);
    code->SetName(QStringLiteral("Code"));
    code->BarType = bcCode128;
    code->SetBounds(10, 60, 200, 60);
    code->SetDataSet(data);
    code->SetDataField(QStringLiteral("Code"));
    const char* fields[] = {"Name", "Batch"};
    for (int i = 0; i < 2; ++i) {
        auto* memo = new TzdMemoView(band);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Memo%1").arg(i + 1));
        memo->SetBounds(10, 5 + i * 25, 230, 22);
        memo->SetDataSet(data);
        memo->SetDataField(QString::fromLatin1(fields[i]));
    }
}

} // namespace benchlabels
