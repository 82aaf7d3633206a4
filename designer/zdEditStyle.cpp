#include "zdEditStyle.h"

#include "Canvas.h"
#include "Files.h"
#include "Modal.h"
#include "Services.h"
#include "zdClass_memo.h"
#include "zdClass_report.h"
#include "zdClass_style.h"
#include "zdDesignerModel.h"
#include "zdDlgUtils.h"
#include "zdEditFill.h"
#include "zdEditFrame.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zd {

namespace {
QString styleFilter() { return dlg::key("dsStyleFile") + QStringLiteral(" (*.zs3)|*.zs3"); }
} // namespace

QString styleFileName(const QString& Chosen)
{
    return plat::ChangeFileExt(Chosen, QStringLiteral(".zs3"));
}

StyleEditModel::StyleEditModel() : m_styles(std::make_unique<TzdStyles>()) {}
StyleEditModel::~StyleEditModel() = default;

int StyleEditModel::Count() const { return m_styles->Count(); }

TzdStyleItem* StyleEditModel::Item(int Index) const
{
    return Index >= 0 && Index < Count() ? m_styles->Items(Index) : nullptr;
}

void StyleEditModel::Load(TzdReport* Report)
{
    m_styles->Clear();
    if (Report && Report->Styles())
        m_styles->Assign(Report->Styles());
}

void StyleEditModel::Commit(TzdReport* Report)
{
    if (!Report || !Report->Styles())
        return;
    Report->Styles()->Assign(m_styles.get());
    Report->Styles()->Apply();
}

int StyleEditModel::Add()
{
    TzdStyleItem* item = m_styles->Add();
    item->MakeUniqueName();
    return Count() - 1;
}

int StyleEditModel::Delete(int Index)
{
    if (!Item(Index))
        return Count() ? 0 : -1;
    m_styles->Delete(Index);
    return Count() == 0 ? -1 : std::min(Index, Count() - 1);
}

void StyleEditModel::Rename(int Index, const QString& Name)
{
    if (TzdStyleItem* item = Item(Index))
        item->SetName(Name);
}

void StyleEditModel::SetApply(int Index, bool Fill, bool Font, bool Frame)
{
    if (TzdStyleItem* item = Item(Index)) {
        item->ApplyFill = Fill;
        item->ApplyFont = Font;
        item->ApplyFrame = Frame;
    }
}

void StyleEditModel::SetFill(int Index, TzdCustomFill* Fill)
{
    if (TzdStyleItem* item = Item(Index))
        item->SetFill(Fill);
}

void StyleEditModel::SetFrame(int Index, TzdFrame* Frame)
{
    if (TzdStyleItem* item = Item(Index))
        item->SetFrame(Frame);
}

void StyleEditModel::SetFont(int Index, plat::TFont* Font, bool DefaultCharset)
{
    if (TzdStyleItem* item = Item(Index)) {
        item->SetFont(Font);
        if (DefaultCharset)
            item->Font()->SetCharset(plat::DEFAULT_CHARSET);
    }
}

void StyleEditModel::SetDefaultCharset(int Index)
{
    if (TzdStyleItem* item = Item(Index))
        item->Font()->SetCharset(plat::DEFAULT_CHARSET);
}

void StyleEditModel::LoadFromFile(const QString& FileName) { m_styles->LoadFromFile(FileName); }

QString StyleEditModel::SaveToFile(const QString& FileName)
{
    const QString name = styleFileName(FileName);
    m_styles->SaveToFile(name);
    return name;
}

bool StyleEditModel::SaveAs(const QString& InitialDir)
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.filter = styleFilter();
    request.initialDir = InitialDir;
    request.defaultExt = QStringLiteral("zs3");
    request.options = {plat::ofOverwritePrompt, plat::ofHideReadOnly};
    for (;;) {
        const plat::FileDialogResult result = plat::Services().FileDialog(request);
        if (!result.accepted || result.FileName().isEmpty())
            return false;
        const QString chosen = result.FileName();
        const QString name = styleFileName(chosen);
        // The dialog asked about the name it was given; another existing
        // file would be overwritten unasked, so that name is offered again.
        if (name != chosen && QFileInfo::exists(name)) {
            request.fileName = name;
            request.initialDir = QFileInfo(name).absolutePath();
            continue;
        }
        SaveToFile(name);
        return true;
    }
}

bool StyleEditModel::LoadAsk(const QString& InitialDir)
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.filter = styleFilter();
    request.initialDir = InitialDir;
    const plat::FileDialogResult result = plat::Services().FileDialog(request);
    if (!result.accepted || result.FileName().isEmpty())
        return false;
    LoadFromFile(result.FileName());
    return true;
}

} // namespace zd

using zd::dlg::res;

TzdStyleEditorForm::TzdStyleEditorForm(TzdReport* Report, QWidget* Parent) : QDialog(Parent), m_report(Report)
{
    setObjectName(QStringLiteral("TzdStyleEditorForm"));
    setWindowTitle(res(5100, "Editor stylu"));
    resize(389, 251);
    if (TzdDesigner* designer = TzdDesigner::Current()) {
        OpenDir = designer->OpenDir;
        SaveDir = designer->SaveDir;
    }
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    auto action = [bar](const char* name, const QString& hint) { return zd::dlg::toolAction(bar, name, hint); };
    m_addB = action("AddB", res(5104, "Přidat"));
    m_deleteB = action("DeleteB", res(5105, "Odstranit"));
    m_editB = action("EditB", res(5106, "Upravit"));
    m_loadB = action("LoadB", res(5107, "Načíst"));
    m_saveB = action("SaveB", res(5108, "Uložit"));
    QAction* cancelB = action("CancelB", res(2, "Zrušit"));
    QAction* okB = action("OkB", res(1, "OK"));
    layout->addWidget(bar);

    auto* body = new QHBoxLayout;
    layout->addLayout(body, 1);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("StylesTV"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    body->addWidget(m_tree, 1);
    auto* side = new QGridLayout;
    body->addLayout(side);
    auto pair = [this, side](int row, const char* checkName, const char* buttonName, const QString& caption,
                             int tag) -> std::pair<QCheckBox*, QPushButton*> {
        auto* c = new QCheckBox(this);
        c->setObjectName(QString::fromLatin1(checkName));
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(buttonName));
        b->setProperty("tag", tag);
        side->addWidget(c, row, 0);
        side->addWidget(b, row, 1);
        return {c, b};
    };
    std::tie(m_applyFill, m_colorB) = pair(0, "ApplyFillCB", "ColorB", res(5101, "Barva..."), 2);
    std::tie(m_applyFont, m_fontB) = pair(1, "ApplyFontCB", "FontB", res(5102, "Písmo..."), 3);
    std::tie(m_applyFrame, m_frameB) = pair(2, "ApplyFrameCB", "FrameB", res(5103, "Rámeček..."), 4);
    m_def = new QCheckBox(QStringLiteral("Default charset"), this);
    m_def->setObjectName(QStringLiteral("DefCB"));
    side->addWidget(m_def, 3, 0, 1, 2);
    m_sample = new zd::dlg::SampleBox(this);
    m_sample->setObjectName(QStringLiteral("PaintBox"));
    m_sample->setFixedSize(216, 78);
    m_sample->Paint = [this](plat::TCanvas& canvas, int w, int h) {
        canvas.Brush().SetColor(plat::clWindow);
        canvas.Brush().SetStyle(plat::bsSolid);
        canvas.Pen().SetColor(plat::TColor(0x808080));
        canvas.Rectangle(0, 0, w, h);
        TzdStyleItem* item = m_model.Item(Selected());
        if (!item)
            return;
        TzdMemoView memo(nullptr);
        memo.AssignStyleItem(item);
        memo.SetText(zd::dlg::key("dsStyleSample"));
        memo.GapX = 20;
        memo.GapY = 10;
        const long double mw = std::min<long double>(w - 4, memo.CalcWidth());
        const long double mh = std::min<long double>(h - 4, memo.CalcHeight());
        memo.SetBounds((w - mw) / 2, (h - mh) / 2, mw, mh);
        memo.Draw(&canvas, 1, 1, 0, 0);
    };
    side->addWidget(m_sample, 4, 0, 1, 2);

    connect(okB, &QAction::triggered, this, &QDialog::accept);
    connect(cancelB, &QAction::triggered, this, &QDialog::reject);
    connect(m_addB, &QAction::triggered, this, [this] {
        const int index = m_model.Add();
        rebuild(index);
        m_tree->editItem(m_tree->topLevelItem(index));
    });
    connect(m_deleteB, &QAction::triggered, this, [this] { rebuild(m_model.Delete(Selected())); });
    connect(m_editB, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem* item = m_tree->currentItem())
            m_tree->editItem(item);
    });
    connect(m_loadB, &QAction::triggered, this, [this] {
        zd::dlg::guard([this] {
            // A file that cannot be read leaves the styles as they were.
            if (m_model.LoadAsk(OpenDir))
                rebuild(0);
        });
    });
    connect(m_saveB, &QAction::triggered, this, [this] { zd::dlg::guard([this] { m_model.SaveAs(SaveDir); }); });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { labelEdited(item); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] {
        if (!m_filling)
            refresh();
    });
    for (QCheckBox* c : {m_applyFill, m_applyFont, m_applyFrame})
        connect(c, &QCheckBox::toggled, this, [this] {
            if (m_filling)
                return;
            m_model.SetApply(Selected(), m_applyFill->isChecked(), m_applyFont->isChecked(), m_applyFrame->isChecked());
            refresh();
        });
    connect(m_def, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_filling && on)
            m_model.SetDefaultCharset(Selected());
        refresh();
    });
    connect(m_colorB, &QPushButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdStyleItem* item = m_model.Item(Selected());
            if (!item)
                return;
            TzdFillEditorForm form(this);
            form.SetFill(item->Fill());
            if (plat::ExecModal(form) == QDialog::Accepted)
                m_model.SetFill(Selected(), form.GetFill());
            refresh();
        });
    });
    connect(m_frameB, &QPushButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdStyleItem* item = m_model.Item(Selected());
            if (!item)
                return;
            TzdFrameEditorForm form(this);
            form.SetFrame(item->Frame());
            if (plat::ExecModal(form) == QDialog::Accepted)
                m_model.SetFrame(Selected(), form.GetFrame());
            refresh();
        });
    });
    connect(m_fontB, &QPushButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            TzdStyleItem* item = m_model.Item(Selected());
            if (!item)
                return;
            plat::TFont font;
            font.Assign(item->Font());
            if (plat::Services().FontDialog(font, {plat::fdForceFontExist}))
                m_model.SetFont(Selected(), &font, m_def->isChecked());
            refresh();
        });
    });

    m_model.Load(Report);
    rebuild(0);
}

TzdStyleEditorForm::~TzdStyleEditorForm() = default;

int TzdStyleEditorForm::Selected() const
{
    QTreeWidgetItem* item = m_tree->currentItem();
    return item ? m_tree->indexOfTopLevelItem(item) : -1;
}

void TzdStyleEditorForm::Select(int Index)
{
    m_tree->setCurrentItem(m_tree->topLevelItem(Index));
    refresh();
}

void TzdStyleEditorForm::accept()
{
    zd::dlg::guard([this] { m_model.Commit(m_report); });
    QDialog::accept();
}

void TzdStyleEditorForm::rebuild(int Select)
{
    m_filling = true;
    m_tree->clear();
    for (int i = 0; i < m_model.Count(); ++i) {
        auto* node = new QTreeWidgetItem(m_tree, QStringList{m_model.Item(i)->Name()});
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    }
    if (m_model.Count() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(std::clamp(Select, 0, m_model.Count() - 1)));
    m_filling = false;
    refresh();
}

void TzdStyleEditorForm::labelEdited(QTreeWidgetItem* Node)
{
    if (m_filling)
        return;
    const int index = m_tree->indexOfTopLevelItem(Node);
    TzdStyleItem* item = m_model.Item(index);
    if (!item)
        return;
    const QString old = item->Name();
    const QString typed = Node->text(0);
    if (typed == old)
        return;
    bool renamed = false;
    if (!item->IsInherited)
        renamed = zd::dlg::guard([&] { m_model.Rename(index, typed); });
    if (!renamed) {
        // The label shows the name the style still has.
        const QSignalBlocker block(m_tree);
        Node->setText(0, old);
    }
}

void TzdStyleEditorForm::refresh()
{
    m_filling = true;
    TzdStyleItem* item = m_model.Item(Selected());
    const bool inheritedReport = m_report && m_report->IsAncestor();
    m_loadB->setEnabled(!inheritedReport);
    for (QWidget* w : std::initializer_list<QWidget*>{m_applyFill, m_applyFont, m_applyFrame, m_def})
        w->setEnabled(item != nullptr);
    m_colorB->setEnabled(item && item->ApplyFill);
    m_fontB->setEnabled(item && item->ApplyFont);
    m_frameB->setEnabled(item && item->ApplyFrame);
    m_deleteB->setEnabled(item && !item->IsInherited);
    m_editB->setEnabled(item && !item->IsInherited);
    if (item) {
        m_applyFill->setChecked(item->ApplyFill);
        m_applyFont->setChecked(item->ApplyFont);
        m_applyFrame->setChecked(item->ApplyFrame);
        m_def->setChecked(item->Font()->Charset() == plat::DEFAULT_CHARSET);
    }
    m_filling = false;
    m_sample->update();
}
