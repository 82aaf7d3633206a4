#pragma once
// The data band dialog: the band's dataset (or none, the band then runs by
// its record count alone), the record count and the filter.

#include <QDialog>
#include <QStringList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;
class TzdDataBand;
class TzdReport;

namespace zd::databand {

inline constexpr int kMaxRecords = 32767;

// The list's entries: "[nepřiřazeno]", then the report's datasets sorted by
// alias.
QStringList entries(TzdReport* Report);
// OK: Entry 0 unbinds the band, others bind it to the dataset of that
// alias. Records must be a whole number from 0 to 32767; a bad one raises
// before the band changes.
void apply(TzdDataBand* Band, const QString& Entry, int EntryIndex, const QString& Records, const QString& Filter);

} // namespace zd::databand

class TzdDataBandEditorForm : public QDialog {
public:
    explicit TzdDataBandEditorForm(QWidget* parent = nullptr);

    void SetBand(TzdDataBand* Band);

    QGroupBox *DatasetGB, *FilterGB;
    QListWidget* DatasetsLB;
    QLabel* RecordsL;
    QLineEdit* RecordsE;
    QSpinBox* RecordsUD;
    QLineEdit* FilterE;
    QToolButton* FilterB;
    QPushButton *OkB, *CancelB;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TzdDataBand* m_band = nullptr;
    bool m_filling = false;
};
