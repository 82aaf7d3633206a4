#pragma once
// Preparing a report template from the shell and dumping its prepared pages
// as text, one line per prepared object (shared with the engine's tests).

#include "zdClass_report.h"
#include "zdDataSets.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class TzdPreviewPages;

namespace plat {
class TClientDataSet;
} // namespace plat

namespace zdtool {

// A dataset over rows held in memory (tests) or over the record table.
class RowsDataSet : public TzdDataSet {
public:
    explicit RowsDataSet(plat::TComponent* AOwner, const QString& AUserName);
    QStringList Fields;
    std::vector<std::vector<QVariant>> Rows;

    plat::Variant GetValue(const QString& FieldName) override;
    QString GetDisplayText(const QString& FieldName) override;
    bool Eof() override;
    int RecordCount() override { return int(Rows.size()); }
    int FieldsCount() override { return int(Fields.size()); }
    void GetFieldList(plat::TStrings& List) override;
    // Rows and fields from a data packet (the program's record table).
    void LoadPacket(const QString& FileName);
};

// The record table from a data packet, as the report list makes it: a
// dataset named "zdDBDataset1" owned by Host; made before the template is
// read, then bound to the report's dataset list and the data bands that
// name it.
RowsDataSet* loadRecordTable(plat::TComponent& Host, const QString& PacketFile);
void bindRecordTable(TzdReport& Report, RowsDataSet* Data);
// The store of a report: its engine's prepared pages.
TzdPreviewPages* storeOf(TzdReport& Report);
// Prepares with a fixed clock; false with the report's errors in Errors.
bool prepare(TzdReport& Report, const QString& ClockIso, QStringList* Errors = nullptr);
// Loads a template, binds the record table of DataFile (when not empty) as
// "zdDBDataset1" and prepares it; errors go to standard error. Host owns
// the dataset and must outlive Report. The library's and the engine's units
// must have started before Report was made. DialogSteps, when not empty,
// answer the dialog pages (see --dialog).
bool loadAndPrepare(TzdReport& Report, plat::TComponent& Host, const QString& Template, const QString& DataFile,
                    const QString& ClockIso, const QString& DialogSteps = {});
// The dump of every prepared page.
QString dumpPages(TzdPreviewPages& Pages);

} // namespace zdtool
