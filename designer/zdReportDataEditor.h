#pragma once
// The report datasets dialog: which datasets the report uses, or in the
// standalone designer which stored connection it uses (one at most). The
// dialog's size is kept from one opening to the next.

#include <QDialog>
#include <QStringList>

#include <vector>

class QListWidget;
class QPushButton;
class TzdDataSet;
class TzdReport;

namespace zd::reportdata {

struct Entry {
    QString Caption;
    TzdDataSet* DataSet = nullptr; // none for a connection
    bool Checked = false;
};

// True when a designer component runs standalone.
bool standalone();
// The entries the list shows.
std::vector<Entry> load(TzdReport* Report, bool Standalone);
// OK: the connection name from the ticked entry (empty when none), or the
// report's datasets from the ticked ones.
void apply(TzdReport* Report, bool Standalone, const std::vector<Entry>& Entries);

} // namespace zd::reportdata

class TzdReportDataForm : public QDialog {
public:
    TzdReportDataForm(TzdReport* Report, bool Standalone, QWidget* parent = nullptr);
    ~TzdReportDataForm() override;

    std::vector<zd::reportdata::Entry> entries() const;

    QListWidget* DatasetsLB;
    QPushButton *OkB, *CancelB;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<zd::reportdata::Entry> m_entries;
    bool m_standalone;
    bool m_ticking = false;
};
