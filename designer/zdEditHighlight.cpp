#include "zdEditHighlight.h"

#include "Canvas.h"
#include "Modal.h"
#include "Services.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdDlgUtils.h"
#include "zdEditExpr.h"
#include "zdEditFill.h"
#include "zdEditFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zd {

HighlightEditModel::HighlightEditModel() : m_items(std::make_unique<TzdHighlightCollection>()) {}
HighlightEditModel::~HighlightEditModel() = default;

int HighlightEditModel::Count() const { return m_items->Count(); }

TzdHighlight* HighlightEditModel::Item(int Index) const
{
    return Index >= 0 && Index < Count() ? m_items->GetItem(Index) : nullptr;
}

void HighlightEditModel::Load(TzdCustomMemoView* Memo)
{
    m_items->Clear();
    if (!Memo)
        return;
    m_items->Assign(Memo->Highlights());
    if (Count() == 1 && Item(0)->Condition.isEmpty())
        m_items->Clear();
}

void HighlightEditModel::WriteBack(TzdCustomMemoView* Memo)
{
    if (!Memo)
        return;
    if (Count() == 0)
        m_items->Add();
    Memo->Highlights()->Assign(m_items.get());
}

int HighlightEditModel::Add(const QString& Condition)
{
    if (Condition.isEmpty())
        return -1;
    auto* h = static_cast<TzdHighlight*>(m_items->Add());
    h->Condition = Condition;
    return Count() - 1;
}

bool HighlightEditModel::Edit(int Index, const QString& Condition)
{
    TzdHighlight* h = Item(Index);
    if (!h || Condition.isEmpty())
        return false;
    h->Condition = Condition;
    return true;
}

int HighlightEditModel::Delete(int Index)
{
    if (!Item(Index))
        return Count() ? 0 : -1;
    m_items->Delete(Index);
    return Count() == 0 ? -1 : std::min(Index, Count() - 1);
}

int HighlightEditModel::Move(int Index, int Delta)
{
    TzdHighlight* h = Item(Index);
    const int target = Index + Delta;
    if (!h || target < 0 || target >= Count())
        return Index;
    h->SetIndex(target);
    return target;
}

} // namespace zd

using zd::dlg::res;

TzdHighlightEditorForm::TzdHighlightEditorForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("TzdHighlightEditorForm"));
    setWindowTitle(res(4600, "Highlight Editor"));
    resize(492, 288);
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    layout->addLayout(groups);

    m_conditionsGB = new QGroupBox(res(4601, "Conditions"), this);
    m_conditionsGB->setObjectName(QStringLiteral("ConditionsGB"));
    auto* cl = new QGridLayout(m_conditionsGB);
    m_list = new QListWidget(m_conditionsGB);
    m_list->setObjectName(QStringLiteral("HighlightsLB"));
    cl->addWidget(m_list, 0, 0, 1, 5);
    auto button = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    auto tool = [](QWidget* parent, const char* name, const QString& caption) {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        return b;
    };
    m_add = button(m_conditionsGB, "AddB", res(4602, "Add"));
    m_delete = button(m_conditionsGB, "DeleteB", res(4603, "Delete"));
    m_edit = button(m_conditionsGB, "EditB", res(4604, "Edit"));
    m_up = tool(m_conditionsGB, "UpB", QStringLiteral("▲"));
    m_down = tool(m_conditionsGB, "DownB", QStringLiteral("▼"));
    cl->addWidget(m_add, 1, 0);
    cl->addWidget(m_delete, 1, 1);
    cl->addWidget(m_edit, 1, 2);
    cl->addWidget(m_up, 1, 3);
    cl->addWidget(m_down, 1, 4);
    groups->addWidget(m_conditionsGB, 1);

    m_styleGB = new QGroupBox(res(4605, "Style"), this);
    m_styleGB->setObjectName(QStringLiteral("StyleGB"));
    auto* sl = new QGridLayout(m_styleGB);
    auto check = [](QWidget* parent, const char* name, const QString& caption) {
        auto* c = new QCheckBox(caption, parent);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    m_frameCB = check(m_styleGB, "FrameCB", res(4606, "Frame"));
    m_fillCB = check(m_styleGB, "FillCB", res(4607, "Fill"));
    m_fontCB = check(m_styleGB, "FontCB", res(4608, "Font"));
    m_visibleCB = check(m_styleGB, "VisibleCB", res(4609, "Visible"));
    m_frameB = tool(m_styleGB, "FrameB", QStringLiteral("…"));
    m_fillB = tool(m_styleGB, "FillB", QStringLiteral("…"));
    m_fontB = tool(m_styleGB, "FontB", QStringLiteral("…"));
    sl->addWidget(m_frameCB, 0, 0);
    sl->addWidget(m_frameB, 0, 1);
    sl->addWidget(m_fillCB, 1, 0);
    sl->addWidget(m_fillB, 1, 1);
    sl->addWidget(m_fontCB, 2, 0);
    sl->addWidget(m_fontB, 2, 1);
    sl->addWidget(m_visibleCB, 3, 0);
    m_sample = new zd::dlg::SampleBox(m_styleGB);
    m_sample->setObjectName(QStringLiteral("PaintBox1"));
    m_sample->setFixedSize(149, 65);
    m_sample->Paint = [this](plat::TCanvas& canvas, int w, int h) {
        canvas.Brush().SetColor(plat::clBtnFace);
        canvas.Brush().SetStyle(plat::bsSolid);
        canvas.FillRect(plat::TRect{0, 0, w, h});
        TzdHighlight* h1 = m_model.Item(Selected());
        if (!h1)
            return;
        TzdMemoView memo(nullptr);
        memo.SetText(QStringLiteral("Sample"));
        memo.HAlign = haCenter;
        memo.VAlign = vaCenter;
        memo.AssignHighlight(h1);
        memo.SetBounds(2, 2, w - 4, h - 4);
        memo.Draw(&canvas, 1, 1, 0, 0);
    };
    sl->addWidget(m_sample, 4, 0, 1, 2);
    groups->addWidget(m_styleGB);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OKB"), QStringLiteral("CancelB")));

    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (!m_filling)
            refresh();
    });
    connect(m_add, &QPushButton::clicked, this, [this] { zd::dlg::guard([this] { AddCondition(); }); });
    connect(m_edit, &QPushButton::clicked, this, [this] { zd::dlg::guard([this] { EditCondition(); }); });
    connect(m_delete, &QPushButton::clicked, this, [this] { zd::dlg::guard([this] { DeleteCondition(); }); });
    connect(m_up, &QToolButton::clicked, this, [this] { MoveCondition(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { MoveCondition(1); });
    for (QCheckBox* c : {m_frameCB, m_fillCB, m_fontCB, m_visibleCB})
        connect(c, &QCheckBox::toggled, this, [this] { flagsChanged(); });
    connect(m_frameB, &QToolButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdHighlight* h = m_model.Item(Selected());
            if (!h)
                return;
            TzdFrameEditorForm form(this);
            form.SetFrame(h->Frame());
            if (plat::ExecModal(form) == QDialog::Accepted)
                h->SetFrame(form.GetFrame());
            refresh();
        });
    });
    connect(m_fillB, &QToolButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdHighlight* h = m_model.Item(Selected());
            if (!h)
                return;
            TzdFillEditorForm form(this);
            form.SetFill(h->Fill());
            if (plat::ExecModal(form) == QDialog::Accepted)
                h->SetFill(form.GetFill());
            refresh();
        });
    });
    connect(m_fontB, &QToolButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdHighlight* h = m_model.Item(Selected());
            if (!h)
                return;
            plat::TFont font;
            font.Assign(h->Font());
            if (plat::Services().FontDialog(font, {}))
                h->SetFont(&font);
            refresh();
        });
    });
    fillList(-1);
}

TzdHighlightEditorForm::~TzdHighlightEditorForm() = default;

void TzdHighlightEditorForm::SetMemo(TzdCustomMemoView* Memo)
{
    m_memo = Memo;
    m_model.Load(Memo);
    fillList(0);
}

void TzdHighlightEditorForm::EmbedIn(QWidget* Host)
{
    auto* layout = new QHBoxLayout(Host);
    layout->addWidget(m_conditionsGB, 1);
    layout->addWidget(m_styleGB);
}

void TzdHighlightEditorForm::Finish(int ModalResult)
{
    setResult(ModalResult);
    if (ModalResult == QDialog::Accepted)
        m_model.WriteBack(m_memo);
}

int TzdHighlightEditorForm::Selected() const { return m_list->currentRow(); }

void TzdHighlightEditorForm::Select(int Index)
{
    m_list->setCurrentRow(Index);
    refresh();
}

QString TzdHighlightEditorForm::askCondition(const QString& Text)
{
    return EditExpression ? EditExpression(Text) : zd::editExpressionDialog(this, Text);
}

void TzdHighlightEditorForm::AddCondition()
{
    const int index = m_model.Add(askCondition(QStringLiteral("Value = 0")));
    if (index >= 0)
        fillList(index);
}

void TzdHighlightEditorForm::EditCondition()
{
    const int index = Selected();
    TzdHighlight* h = m_model.Item(index);
    if (h && m_model.Edit(index, askCondition(h->Condition)))
        fillList(index);
}

void TzdHighlightEditorForm::DeleteCondition() { fillList(m_model.Delete(Selected())); }

void TzdHighlightEditorForm::MoveCondition(int Delta) { fillList(m_model.Move(Selected(), Delta)); }

void TzdHighlightEditorForm::fillList(int Select)
{
    m_filling = true;
    m_list->clear();
    for (int i = 0; i < m_model.Count(); ++i)
        m_list->addItem(m_model.Item(i)->Condition);
    m_list->setCurrentRow(std::min(Select, m_model.Count() - 1));
    m_filling = false;
    refresh();
}

void TzdHighlightEditorForm::refresh()
{
    m_filling = true;
    const int index = Selected();
    TzdHighlight* h = m_model.Item(index);
    for (QWidget* w : std::initializer_list<QWidget*>{m_delete, m_edit, m_up, m_down, m_frameCB, m_fillCB, m_fontCB,
                                                      m_visibleCB})
        w->setEnabled(h != nullptr);
    if (h) {
        m_frameCB->setChecked(h->ApplyFrame);
        m_fillCB->setChecked(h->ApplyFill);
        m_fontCB->setChecked(h->ApplyFont);
        m_visibleCB->setChecked(h->Visible);
        m_up->setEnabled(index > 0);
        m_down->setEnabled(index < m_model.Count() - 1);
    }
    m_frameB->setEnabled(h && h->ApplyFrame);
    m_fillB->setEnabled(h && h->ApplyFill);
    m_fontB->setEnabled(h && h->ApplyFont);
    m_filling = false;
    m_sample->update();
}

void TzdHighlightEditorForm::flagsChanged()
{
    if (m_filling)
        return;
    if (TzdHighlight* h = m_model.Item(Selected())) {
        h->ApplyFrame = m_frameCB->isChecked();
        h->ApplyFill = m_fillCB->isChecked();
        h->ApplyFont = m_fontCB->isChecked();
        h->Visible = m_visibleCB->isChecked();
    }
    refresh();
}
