#pragma once
// The report wizards without their window: the choices of the list-report
// wizard as plain values, the building of the report from them, and the
// new-report commands (empty reports, a wizard class, a template file).
//
// Every command here replaces the report being edited, so each one asks
// the save question first when the report is modified, and a wizard that
// is closed without finishing puts the report back exactly as it was: the
// report is kept as its template XML until the wizard ends.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plat {
class TClass;
class TMemoryStream;
} // namespace plat

class TzdDataSet;
class TzdReport;
class TzdStyleSheet;

namespace zd {

class DesignerModel;

// Column widths of the list report, in pixels, one entry per field.
struct ColumnFit {
    std::vector<long double> Header; // the caption's measured width
    std::vector<long double> Data;   // the measured width of the field's display width in digits
    std::vector<long double> Column; // the width the column gets
    long double MaxHeader = 0;
};

// Each column as wide as its caption or its data, whichever is wider.
// With FitToWidth and columns wider in total than Width, the columns are
// narrowed to fill Width exactly: in proportion to their captions when the
// captions alone overflow, else by taking the overflow from the fields
// whose data is wider than their caption, each in proportion to its
// excess. Nothing is fitted when Width is not positive (the margins take
// the whole paper) or when there is nothing to narrow.
ColumnFit fitColumns(const std::vector<long double>& Header, const std::vector<long double>& Data,
                     long double Width, bool FitToWidth);

// The style sheet the wizard offers: "wizstyle.xml" from Folder when it
// exists and holds at least one style set, else the built-in sheet.
void loadWizardStyleSheet(TzdStyleSheet& Sheet, const QString& Folder);
// The built-in sheet as style sheet XML.
QByteArray builtInWizardStyleSheet();

// The choices and the building of the list-report wizard. The lists
// follow the wizard's pages: Fields are the dataset's fields not chosen,
// Selected the chosen ones in order, Available the chosen ones not used
// for grouping, Groups the grouping fields, outermost first.
class WizardModel {
public:
    WizardModel(DesignerModel& Designer, bool DotMatrix);
    // Cancels a wizard still running.
    ~WizardModel();
    WizardModel(const WizardModel&) = delete;
    WizardModel& operator=(const WizardModel&) = delete;

    // Asks the save question when the report is modified, keeps the report
    // aside, and gives the designer an empty report with a data page and
    // "Page1" carrying the designer's defaults for a new report. False,
    // with nothing changed, when the user keeps the report.
    bool Start();
    // Puts the report kept by Start back, byte for byte; the designer's
    // modified flag is what it was.
    void Cancel();
    // Builds the report from the choices. The designer reloads from the
    // report also when building fails; the failure is raised after that,
    // and Cancel still restores the previous report.
    void Finish();
    bool Started() const { return m_started; }
    bool Finished() const { return m_finished; }

    bool DotMatrix() const { return m_dotMatrix; }
    DesignerModel& Designer() const { return m_designer; }
    TzdReport* Report() const;

    // --- data: the report's database datasets by user name, sorted
    QStringList DataSetNames() const;
    int DataSetIndex() const { return m_dataSetIndex; }
    TzdDataSet* DataSet() const;
    // Chooses a dataset (-1: none): Fields get its field list, the other
    // lists are emptied.
    void SelectDataSet(int Index);
    // Chooses the dataset of that user name; false when there is none.
    bool SelectDataSet(const QString& UserName);

    // --- fields; each returns the row to show as current afterwards
    // (-1 when the list is empty)
    int AddFields(std::vector<int> Rows);
    int RemoveFields(std::vector<int> Rows);
    void AddAllFields();
    void RemoveAllFields();
    // Swaps the chosen field at Row with its neighbour (Delta -1 up, +1 down).
    int MoveField(int Row, int Delta);

    // --- groups
    int AddGroup(int AvailableRow);
    int RemoveGroup(int GroupRow);
    int MoveGroup(int Row, int Delta);

    QStringList Fields;
    QStringList Selected;
    QStringList Available;
    QStringList Groups;

    // --- layout and style
    bool Landscape = false;
    bool Columnar = false;
    bool FitWidth = true;
    TzdStyleSheet& StyleSheet() const { return *m_styleSheet; }
    QStringList StyleNames() const;
    int StyleIndex = 0;

    // The column widths of the last Finish.
    const ColumnFit& LastFit() const { return m_fit; }

private:
    void fieldsChanged();
    void build();
    void buildReport();

    DesignerModel& m_designer;
    const bool m_dotMatrix;
    bool m_started = false;
    bool m_finished = false;
    std::unique_ptr<plat::TMemoryStream> m_kept;
    QString m_keptFileName;
    bool m_keptModified = false;
    std::vector<TzdDataSet*> m_dataSets;
    int m_dataSetIndex = -1;
    std::unique_ptr<TzdStyleSheet> m_styleSheet;
    ColumnFit m_fit;
};

// --- the new-report commands of the designer

// The empty-report wizards: after the save question, the report becomes
// an empty one (dot-matrix or not) with a data page and "Page1"; false
// when the user keeps the report.
bool makeEmptyWizardReport(DesignerModel& Designer, bool DotMatrix);

// Runs a wizard of the wizard registry on the designer's report; when it
// accepts, the designer's report is marked modified. False when the class
// is no wizard or the wizard did not accept.
bool runWizardClass(DesignerModel& Designer, const plat::TClass* WizardClass);

// A new report from a template file: after the save question, the report
// is loaded from Template (by the report's OnLoadTemplate handler when
// one is set) or, with Inherit, inherits it by its path relative to the
// program's folder; the report's own file name is empty. A template that
// cannot be loaded is reported and the previous report stays. False when
// nothing was made.
bool newReportFromTemplate(DesignerModel& Designer, const QString& Template, bool Inherit);

} // namespace zd
