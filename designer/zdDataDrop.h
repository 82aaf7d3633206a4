#pragma once
// Inserting objects by dragging nodes of the data tree onto the design
// workspace: the drag arms a memo insertion sized for the field under the
// pointer, the drop creates a memo per selected node (with a caption, and a
// data band per selected dataset node). Model code: the data tree widget
// answers the questions of DataDropSource, the workspace widget forwards
// its drag events here.

#include <QString>
#include <QStringList>

class TzdDataSet;
class TzdReport;

namespace zd {

class DesignerModel;

// What a drop asks of the data tree about its selected nodes.
class DataDropSource {
public:
    virtual ~DataDropSource();
    virtual int SelectedCount() = 0;
    // -1 (or an index outside the selection): the focused node.
    virtual QString InsertionText(int Index) = 0;
    virtual TzdDataSet* SelectedDataset(int Index) = 0;
    virtual QString SelectedDatasetAlias() = 0;
    virtual bool IsDataTab() = 0;
    // The "Insert field" and "Insert caption" check boxes.
    virtual bool InsertField() = 0;
    virtual bool InsertCaption() = 0;
};

// The fields of a dataset; none when the dataset fails to list them (a
// closed connection, a broken query), so that callers in event handlers
// never see its exception.
QStringList fieldListOf(TzdDataSet* DataSet);

// The width in page units of memos made for a field's insertion text: the
// field's display width in characters (10 when unknown or the dataset
// fails), at most 50, times 8, rounded to whole grid steps.
long double dropMemoWidth(TzdReport* Report, const QString& InsertionText, long double GridStepX);

// The name a memo made for an insertion text starts from: its identifier
// characters, or "Memo" when they are too few to stand for it.
QString dropMemoName(const QString& InsertionText);

// The drag is over the workspace at (X, Y), workspace pixels: true when it
// is accepted; the first accepted step arms the memo insertion.
bool dataDragOver(DesignerModel& Designer, DataDropSource& Source, int X, int Y);

// The drop at (X, Y): creates the memos, captions and bands and selects
// what was made.
void dataDrop(DesignerModel& Designer, DataDropSource& Source, int X, int Y);

} // namespace zd
