#pragma once
// The connections dialog: the named database connection strings kept in
// the machine-wide store ("System", read-only here) and the user's store
// ("User"). Closing with Close saves each store whose list changed, each
// in one atomic save, and says which store could not be written.

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;
class QToolButton;
class QTreeWidget;
class TzdReport;

namespace zd::connections {

// The key of the connection list in both stores.
QString key();

struct Row {
    QString Name;
    bool System = false;
    QString Kind = QStringLiteral("ADO Database");
    QString ConnectionString;
    bool operator==(const Row&) const = default;
};

// The machine store's rows, then the user store's.
std::vector<Row> load();
// The names of both stores' connections, machine store first.
QStringList names();
// An error text for a row about to be stored at Index (-1: a new one), or
// empty when it is fine: a name is required, cannot hold '=' or a line
// break, and must be unique within its store.
QString validate(const std::vector<Row>& Rows, int Index, const Row& R);
// Writes the stores whose rows differ from Before; returns a message per
// store that could not be written (nothing changed there).
QStringList save(const std::vector<Row>& Before, const std::vector<Row>& After);

} // namespace zd::connections

class TzdConnectionItemEdit : public QDialog {
public:
    explicit TzdConnectionItemEdit(QWidget* parent = nullptr);

    // The other rows, to check the name against.
    std::vector<zd::connections::Row> Rows;
    int Index = -1;
    std::function<QString(const QString&)> EditConnection;

    void SetRow(const zd::connections::Row& R);
    zd::connections::Row row() const;

    QLabel *NameL, *ConnL;
    QLineEdit *NameE, *ConnE;
    QToolButton* ConnB;
    QGroupBox* TypeGB;
    QRadioButton *SystemRB, *UserRB;
    QPushButton *OkB, *CancelB;

    void done(int result) override;
};

class TzdConnEditorForm : public QDialog {
public:
    explicit TzdConnEditorForm(QWidget* parent = nullptr);

    TzdReport* Report = nullptr;
    void Load();
    std::vector<zd::connections::Row> rows() const;
    const std::vector<zd::connections::Row>& loaded() const { return m_loaded; }

    QTreeWidget* ConnLV;
    QPushButton *NewB, *DeleteB, *EditB, *TestB, *OKB;

    void NewConnection();
    void EditConnection();
    void DeleteConnection();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setRow(int index, const zd::connections::Row& R);
    bool runItemDialog(zd::connections::Row& R, int Index);

    std::vector<zd::connections::Row> m_loaded;
};
