#include "zdEditFormat.h"

#include "Modal.h"
#include "Services.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
const char* const kCategoryKeys[] = {"fkText", "fkNumber", "fkDateTime", "fkBoolean"};
constexpr int kMaxPresets = 10;
} // namespace

QStringList zd::format::categories()
{
    QStringList list;
    for (const char* key : kCategoryKeys)
        list << res(key);
    return list;
}

std::vector<zd::format::Preset> zd::format::presets(int Kind)
{
    std::vector<Preset> list;
    if (Kind < 1 || Kind > 3)
        return list;
    for (int i = 1; i <= kMaxPresets; ++i) {
        const QString text = zdGetResources()->GetText(QString::fromLatin1(kCategoryKeys[Kind]) + QString::number(i));
        // A key without a text comes back as itself.
        if (text.contains(QStringLiteral("fk")))
            continue;
        const qsizetype semi = text.indexOf(u';');
        list.push_back({text.left(semi), semi < 0 ? QString() : text.mid(semi + 1)});
    }
    return list;
}

QStringList zd::format::expressions(const QString& Text, const QString& Delimiters)
{
    QStringList list;
    const qsizetype comma = Delimiters.indexOf(u',');
    const QString open = comma < 0 ? Delimiters : Delimiters.left(comma);
    const QString close = comma < 0 ? QString() : Delimiters.mid(comma + 1);
    if (open.isEmpty() || close.isEmpty() || !Text.contains(open))
        return list;
    QString s = Text;
    int i = 1;
    while (i <= s.size()) {
        if (!QStringView(s).sliced(i - 1).startsWith(open)) {
            ++i;
            continue;
        }
        int start = i, end = i;
        const QString expr = zdExtractBracketedW(s, open, close, start, end);
        const qsizetype after = start - 1 + open.size() + expr.size();
        if (s.mid(after, close.size()) != close)
            break; // no closing delimiter
        list << open + expr + close;
        s.remove(start - 1, after + close.size() - (start - 1));
    }
    return list;
}

zd::format::EditorModel::EditorModel(TzdCustomMemoView* Memo) : m_working(std::make_unique<TzdFormatCollection>())
{
    m_working->Assign(Memo->Formats());
    Expressions = expressions(Memo->Text(), Memo->ExpressionDelimiters);
    while (m_working->Count() < Expressions.size())
        m_working->Add();
    while (m_working->Count() > Expressions.size())
        m_working->Delete(m_working->Count() - 1);
    if (Expressions.isEmpty()) {
        // The object's single format; read without creating it on the object.
        TzdFormat* f = m_working->Add<TzdFormat>();
        if (Memo->Formats()->Count() > 0)
            f->Assign(Memo->Formats()->GetItem(0));
    }
}

zd::format::EditorModel::~EditorModel() = default;

TzdFormat* zd::format::EditorModel::CurrentFormat() const
{
    return m_current < m_working->Count() ? m_working->GetItem(m_current) : nullptr;
}

void zd::format::EditorModel::Store(int Kind, const QString& FormatStr, const QString& Separator)
{
    TzdFormat* f = CurrentFormat();
    if (!f)
        return;
    f->Kind = static_cast<TzdFormatKind>(std::clamp(Kind, 0, 3));
    f->FormatStr = f->Kind == fkText ? QString() : FormatStr;
    f->DecimalSeparator = Separator.left(1);
    if (f->Kind == fkText) {
        f->DecimalSeparator.clear();
        f->ThousandSeparator.clear();
    }
}

void zd::format::EditorModel::Select(int Index)
{
    if (Index >= 0 && Index < m_working->Count())
        m_current = Index;
}

int zd::format::EditorModel::PresetIndex() const
{
    TzdFormat* f = CurrentFormat();
    if (!f)
        return -1;
    const std::vector<Preset> list = presets(f->Kind);
    int found = -1;
    for (int i = 0; i < int(list.size()); ++i)
        if (list[size_t(i)].Format == f->FormatStr)
            found = i;
    return found;
}

TzdFormatEditorForm::TzdFormatEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdFormatEditorForm"));
    setWindowTitle(res(4500));
    auto* layout = new QVBoxLayout(this);
    Body = named(new QWidget(this), "Body");
    auto* grid = new QGridLayout(Body);
    ExpressionL = named(new QLabel(res(4401), Body), "ExpressionL");
    ComboBox1 = named(new QComboBox(Body), "ComboBox1");
    CategoryL = named(new QLabel(res(4501), Body), "CategoryL");
    CategoryLB = named(new QListWidget(Body), "CategoryLB");
    FormatL = named(new QLabel(res(4502), Body), "FormatL");
    FormatLB = named(new QListWidget(Body), "FormatLB");
    GroupBox1 = named(new QGroupBox(Body), "GroupBox1");
    auto* fields = new QGridLayout(GroupBox1);
    FormatStrL = named(new QLabel(res(4503), GroupBox1), "FormatStrL");
    FormatE = named(new QLineEdit(GroupBox1), "FormatE");
    SeparatorL = named(new QLabel(res(4504), GroupBox1), "SeparatorL");
    SeparatorE = named(new QLineEdit(QStringLiteral(","), GroupBox1), "SeparatorE");
    fields->addWidget(FormatStrL, 0, 0);
    fields->addWidget(FormatE, 0, 1);
    fields->addWidget(SeparatorL, 1, 0);
    fields->addWidget(SeparatorE, 1, 1);
    grid->addWidget(ExpressionL, 0, 0, 1, 2);
    grid->addWidget(ComboBox1, 1, 0, 1, 2);
    grid->addWidget(CategoryL, 2, 0);
    grid->addWidget(FormatL, 2, 1);
    grid->addWidget(CategoryLB, 3, 0);
    grid->addWidget(FormatLB, 3, 1);
    grid->addWidget(GroupBox1, 4, 0, 1, 2);
    layout->addWidget(Body);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    OkB = findChild<QPushButton*>(QStringLiteral("OkB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(CategoryLB, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            categoryChosen();
    });
    connect(FormatLB, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_filling || row < 0)
            return;
        const auto list = zd::format::presets(CategoryLB->currentRow());
        if (row < int(list.size()))
            FormatE->setText(list[size_t(row)].Format);
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling || !m_model)
            return;
        storeFormat();
        m_model->Select(index);
        showFormat();
    });
}

TzdFormatEditorForm::~TzdFormatEditorForm() = default;

TzdFormatCollection& TzdFormatEditorForm::Result() { return m_model->Working(); }

void TzdFormatEditorForm::SetMemo(TzdCustomMemoView* Memo)
{
    m_memo = Memo;
    m_model = std::make_unique<zd::format::EditorModel>(Memo);
    const QScopedValueRollback guard(m_filling, true);
    ComboBox1->clear();
    ComboBox1->addItems(m_model->Expressions);
    ComboBox1->setEnabled(m_model->ExpressionsEnabled());
    ExpressionL->setEnabled(m_model->ExpressionsEnabled());
    CategoryLB->clear();
    CategoryLB->addItems(zd::format::categories());
    ComboBox1->setCurrentIndex(m_model->ExpressionsEnabled() ? 0 : -1);
    m_filling = false;
    showFormat();
}

void TzdFormatEditorForm::showFormat()
{
    TzdFormat* f = m_model ? m_model->CurrentFormat() : nullptr;
    if (!f)
        return;
    const QScopedValueRollback guard(m_filling, true);
    CategoryLB->setCurrentRow(int(f->Kind));
    categoryChosen();
    FormatLB->setCurrentRow(m_model->PresetIndex());
    FormatE->setText(f->FormatStr);
    SeparatorE->setText(f->DecimalSeparator);
}

void TzdFormatEditorForm::categoryChosen()
{
    const int kind = CategoryLB->currentRow();
    {
        const QScopedValueRollback guard(m_filling, true);
        FormatLB->clear();
        for (const zd::format::Preset& p : zd::format::presets(kind))
            FormatLB->addItem(p.Sample);
    }
    const bool text = kind <= 0;
    FormatE->setEnabled(!text);
    FormatStrL->setEnabled(!text);
    SeparatorE->setEnabled(kind == fkNumeric);
    SeparatorL->setEnabled(kind == fkNumeric);
}

void TzdFormatEditorForm::storeFormat()
{
    if (m_model)
        m_model->Store(std::max(0, CategoryLB->currentRow()), FormatE->text(), SeparatorE->text());
}

void TzdFormatEditorForm::done(int result)
{
    if (result == QDialog::Accepted)
        storeFormat();
    QDialog::done(result);
}

void TzdFormatEditorForm::EmbedIn(QTabWidget* Host, const QString& Caption, int Index)
{
    if (m_host)
        return;
    m_host = Host;
    Host->insertTab(Index, Body, Caption);
}

void TzdFormatEditorForm::Finish(int ModalResult)
{
    if (!m_host)
        return;
    if (ModalResult == QDialog::Accepted) {
        storeFormat();
        if (m_memo)
            m_memo->Formats()->Assign(&m_model->Working());
    }
    m_host->removeTab(m_host->indexOf(Body));
    Body->setParent(this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, Body);
    m_host = nullptr;
}

void TzdFormatEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdFormatEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditDisplayFormat(TzdCustomMemoView* Memo, TzdFormatCollection& Result)
{
    if (!Memo)
        return false;
    TzdFormatEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.SetMemo(Memo);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Result.Assign(&form.Result());
    return true;
}
