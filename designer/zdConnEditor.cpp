#include "zdConnEditor.h"

#include "KeyStore.h"
#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "CodePage.h"
#include "zdClass_report.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
const QString kSystem = QStringLiteral("System");
const QString kUser = QStringLiteral("User");
constexpr int kStringColumn = 3;

void loadStore(plat::KeyScope Scope, std::vector<zd::connections::Row>& Rows)
{
    plat::KeyStore store(Scope);
    if (!store.OpenKeyReadOnly(zd::connections::key()))
        return;
    plat::TStringList names;
    store.GetValueNames(names);
    for (int i = 0; i < names.Count(); ++i) {
        zd::connections::Row r;
        r.Name = names.Strings(i);
        r.System = Scope == plat::KeyScope::Machine;
        r.ConnectionString = store.ReadString(r.Name);
        Rows.push_back(r);
    }
}

std::vector<zd::connections::Row> storeRows(const std::vector<zd::connections::Row>& Rows, bool System)
{
    std::vector<zd::connections::Row> out;
    for (const auto& r : Rows)
        if (r.System == System && r.Kind == u"ADO Database")
            out.push_back(r);
    return out;
}
} // namespace

QString zd::connections::key() { return QStringLiteral("\\Software\\Rure Viroraz\\Connections"); }

std::vector<zd::connections::Row> zd::connections::load()
{
    std::vector<Row> rows;
    loadStore(plat::KeyScope::Machine, rows);
    loadStore(plat::KeyScope::User, rows);
    return rows;
}

QStringList zd::connections::names()
{
    QStringList list;
    for (const Row& r : load())
        list << r.Name;
    return list;
}

QString zd::connections::validate(const std::vector<Row>& Rows, int Index, const Row& R)
{
    const QString name = R.Name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Enter the connection name.");
    if (name.contains(u'=') || name.contains(u'\n') || name.contains(u'\r') || name.startsWith(u'['))
        return QStringLiteral("The connection name \"%1\" cannot be stored.").arg(name);
    for (int i = 0; i < int(Rows.size()); ++i)
        if (i != Index && Rows[size_t(i)].System == R.System && plat::SameText(Rows[size_t(i)].Name.trimmed(), name))
            return QStringLiteral("The connection \"%1\" already exists.").arg(name);
    return {};
}

QStringList zd::connections::save(const std::vector<Row>& Before, const std::vector<Row>& After)
{
    QStringList errors;
    for (bool system : {true, false}) {
        const std::vector<Row> rows = storeRows(After, system);
        if (rows == storeRows(Before, system))
            continue;
        std::vector<std::pair<QString, QString>> values;
        for (const Row& r : rows)
            values.emplace_back(r.Name.trimmed(), r.ConnectionString);
        try {
            plat::KeyStore store(system ? plat::KeyScope::Machine : plat::KeyScope::User);
            store.ReplaceValues(key(), values);
        } catch (const plat::Exception& e) {
            errors << QStringLiteral("The %1 connections could not be saved: %2")
                          .arg(system ? kSystem : kUser, e.message());
        }
    }
    return errors;
}

// ---------------------------------------------------------------- item dialog

TzdConnectionItemEdit::TzdConnectionItemEdit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdConnectionItemEdit"));
    setWindowTitle(QStringLiteral("Edit connection"));
    auto* layout = new QVBoxLayout(this);
    NameL = named(new QLabel(QStringLiteral("Connection name "), this), "NameL");
    NameE = named(new QLineEdit(this), "NameE");
    ConnL = named(new QLabel(QStringLiteral("Connection string"), this), "ConnL");
    ConnE = named(new QLineEdit(this), "ConnE");
    ConnB = named(new QToolButton(this), "ConnB");
    ConnB->setText(QStringLiteral("..."));
    layout->addWidget(NameL);
    layout->addWidget(NameE);
    layout->addWidget(ConnL);
    auto* conn = new QHBoxLayout;
    conn->addWidget(ConnE, 1);
    conn->addWidget(ConnB);
    layout->addLayout(conn);
    TypeGB = named(new QGroupBox(QStringLiteral("Connection type"), this), "TypeGB");
    auto* type = new QVBoxLayout(TypeGB);
    SystemRB = named(new QRadioButton(QStringLiteral("System connection"), TypeGB), "SystemRB");
    UserRB = named(new QRadioButton(QStringLiteral("User connection"), TypeGB), "UserRB");
    UserRB->setChecked(true);
    type->addWidget(SystemRB);
    type->addWidget(UserRB);
    layout->addWidget(TypeGB);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OkB = named(new QPushButton(QStringLiteral("OK"), this), "OkB");
    OkB->setDefault(true);
    CancelB = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelB");
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    layout->addLayout(buttons);
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    connect(ConnB, &QToolButton::clicked, this, [this] {
        if (EditConnection)
            guarded([this] { ConnE->setText(EditConnection(ConnE->text())); });
    });
}

void TzdConnectionItemEdit::SetRow(const zd::connections::Row& R)
{
    NameE->setText(R.Name);
    ConnE->setText(R.ConnectionString);
    (R.System ? SystemRB : UserRB)->setChecked(true);
}

zd::connections::Row TzdConnectionItemEdit::row() const
{
    zd::connections::Row r;
    r.Name = NameE->text().trimmed();
    r.System = SystemRB->isChecked();
    r.ConnectionString = ConnE->text();
    return r;
}

void TzdConnectionItemEdit::done(int result)
{
    if (result == QDialog::Accepted) {
        const QString error = zd::connections::validate(Rows, Index, row());
        if (!error.isEmpty()) {
            zdErrorMessage(error);
            NameE->setFocus();
            return;
        }
    }
    QDialog::done(result);
}

// ---------------------------------------------------------------- list dialog

TzdConnEditorForm::TzdConnEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdConnEditorForm"));
    setWindowTitle(res(5800));
    resize(620, 300);
    auto* layout = new QHBoxLayout(this);
    ConnLV = named(new QTreeWidget(this), "ConnLV");
    ConnLV->setRootIsDecorated(false);
    ConnLV->setColumnCount(4);
    ConnLV->setHeaderLabels({res("cpName"), QStringLiteral("Type"), QStringLiteral("Database"), QString()});
    ConnLV->setColumnWidth(0, 300);
    ConnLV->setColumnWidth(2, 150);
    ConnLV->setColumnHidden(kStringColumn, true);
    layout->addWidget(ConnLV, 1);
    auto* buttons = new QVBoxLayout;
    NewB = named(new QPushButton(res(5801), this), "NewB");
    DeleteB = named(new QPushButton(res(5802), this), "DeleteB");
    EditB = named(new QPushButton(res(132), this), "EditB");
    TestB = named(new QPushButton(QStringLiteral("Test"), this), "TestB");
    OKB = named(new QPushButton(res("clClose"), this), "OKB");
    for (QPushButton* b : {NewB, DeleteB, EditB, TestB})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(OKB);
    layout->addLayout(buttons);
    connect(NewB, &QPushButton::clicked, this, [this] { NewConnection(); });
    connect(EditB, &QPushButton::clicked, this, [this] { EditConnection(); });
    connect(DeleteB, &QPushButton::clicked, this, [this] { DeleteConnection(); });
    connect(OKB, &QPushButton::clicked, this, [this] {
        ConnLV->clearSelection();
        accept();
    });
}

void TzdConnEditorForm::Load()
{
    m_loaded = zd::connections::load();
    ConnLV->clear();
    for (int i = 0; i < int(m_loaded.size()); ++i)
        setRow(i, m_loaded[size_t(i)]);
}

void TzdConnEditorForm::setRow(int index, const zd::connections::Row& R)
{
    QTreeWidgetItem* item = index < ConnLV->topLevelItemCount() ? ConnLV->topLevelItem(index) : new QTreeWidgetItem(ConnLV);
    item->setText(0, R.Name);
    item->setText(1, R.System ? kSystem : kUser);
    item->setText(2, R.Kind);
    item->setText(kStringColumn, R.ConnectionString);
}

std::vector<zd::connections::Row> TzdConnEditorForm::rows() const
{
    std::vector<zd::connections::Row> list;
    for (int i = 0; i < ConnLV->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ConnLV->topLevelItem(i);
        zd::connections::Row r;
        r.Name = item->text(0);
        r.System = item->text(1) == kSystem;
        r.Kind = item->text(2);
        r.ConnectionString = item->text(kStringColumn);
        list.push_back(r);
    }
    return list;
}

bool TzdConnEditorForm::runItemDialog(zd::connections::Row& R, int Index)
{
    TzdConnectionItemEdit item(this);
    item.Rows = rows();
    item.Index = Index;
    item.SetRow(R);
    if (plat::ExecModal(item) != QDialog::Accepted)
        return false;
    R = item.row();
    return true;
}

void TzdConnEditorForm::NewConnection()
{
    zd::connections::Row r;
    if (!runItemDialog(r, -1))
        return;
    const int index = ConnLV->topLevelItemCount();
    setRow(index, r);
    ConnLV->setCurrentItem(ConnLV->topLevelItem(index));
}

void TzdConnEditorForm::EditConnection()
{
    QTreeWidgetItem* item = ConnLV->currentItem();
    if (!item || item->text(2) != u"ADO Database")
        return;
    const int index = ConnLV->indexOfTopLevelItem(item);
    zd::connections::Row r = rows()[size_t(index)];
    if (!runItemDialog(r, index))
        return;
    setRow(index, r);
    ConnLV->setCurrentItem(ConnLV->topLevelItem(index));
}

void TzdConnEditorForm::DeleteConnection()
{
    QTreeWidgetItem* item = ConnLV->currentItem();
    if (!item)
        return;
    if (plat::MessageDlg(QStringLiteral("Delete connection ") + item->text(0) + u'?', plat::mtConfirmation,
                         {plat::mbYes, plat::mbNo}) != plat::mrYes)
        return;
    delete item;
}

void TzdConnEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdConnEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditConnections(TzdReport* Report)
{
    TzdConnEditorForm form;
    form.Report = Report;
    form.Load();
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    const QStringList errors = zd::connections::save(form.loaded(), form.rows());
    if (!errors.isEmpty())
        zdErrorMessage(errors.join(u'\n'));
    return errors.isEmpty();
}
