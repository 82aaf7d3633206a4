#include "zdInspector.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Handles.h"
#include "zdClass.h"
#include "zdClass_services.h"
#include "zdEditors.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kDefaultWidth = 198;
constexpr int kDefaultHeight = 474;
constexpr int kButtonSize = 15;
constexpr int kHintHeight = 65;
constexpr int kPropLHeight = 16;
constexpr int kLevelIndent = 12;     // per level of sub-properties
constexpr int kBoxSize = 9;          // the expand box
constexpr int kSplitterSlack = 30;   // the splitter keeps this far from the edges
constexpr int kMaxDropRows = 8;
constexpr QRgb kButtonFace = 0xF0F0F0;
constexpr QRgb kValueColor = 0x000080; // navy
constexpr QRgb kBoxBorder = 0x808080;

const char* const kOwnerMessage = "The Owner of the object inspector should be TzdCustomDesigner";
const char16_t* const kBoldNames[] = {u"Name", u"Width", u"Height", u"Left", u"Top"};

QString res(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

QString resNumber(int Id, const char* Fallback)
{
    const QString text = zdGetResText(Id);
    return text == QString::number(Id) ? QString::fromUtf8(Fallback) : text;
}

QString errorText(const std::exception& E)
{
    if (auto* pe = dynamic_cast<const plat::Exception*>(&E))
        return pe->message();
    return QString::fromUtf8(E.what());
}

// Runs an event's work; what it raises is shown, never passed to the event loop.
template <class F>
void guarded(F&& Work)
{
    try {
        Work();
    } catch (const std::exception& e) {
        zdErrorMessage(errorText(e));
    }
}

// The indent unit: none at 96 dots per inch, 2 pixels above.
int indentUnit(const QWidget* W) { return W->logicalDpiX() > 96 ? 2 : 0; }

} // namespace

// ---------------------------------------------------------------- the grid and the editing line

namespace zd {

class InspectorGrid : public QWidget {
public:
    InspectorGrid(TzdObjectInspector* Inspector, QWidget* Parent) : QWidget(Parent), m_insp(Inspector)
    {
        setObjectName(QStringLiteral("PB"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage buffer(size(), QImage::Format_RGB32);
        {
            QPainter p(&buffer);
            m_insp->paintGrid(p);
        }
        QPainter(this).drawImage(0, 0, buffer);
    }
    void mousePressEvent(QMouseEvent* E) override
    {
        guarded([&] { m_insp->gridPress(int(E->position().x()), int(E->position().y()), false); });
    }
    void mouseDoubleClickEvent(QMouseEvent* E) override
    {
        guarded([&] { m_insp->gridPress(int(E->position().x()), int(E->position().y()), true); });
    }
    void mouseMoveEvent(QMouseEvent* E) override
    {
        guarded([&] {
            m_insp->gridMove(int(E->position().x()), int(E->position().y()), E->buttons() & Qt::LeftButton);
        });
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_insp->gridRelease(); }
    void leaveEvent(QEvent*) override { QToolTip::hideText(); }

private:
    TzdObjectInspector* m_insp;
};

class InspectorEdit : public QLineEdit {
public:
    InspectorEdit(TzdObjectInspector* Inspector, QWidget* Parent) : QLineEdit(Parent), m_insp(Inspector)
    {
        setObjectName(QStringLiteral("Edit1"));
        setFrame(false);
    }
    QElapsedTimer RowClick;

protected:
    void keyPressEvent(QKeyEvent* E) override
    {
        bool taken = false;
        guarded([&] {
            taken = (m_insp->OnKeyPreview && m_insp->OnKeyPreview(E->key(), E->modifiers())) ||
                    m_insp->editKey(E->key(), E->modifiers());
        });
        if (!taken)
            QLineEdit::keyPressEvent(E);
    }
    void focusOutEvent(QFocusEvent* E) override
    {
        QLineEdit::focusOutEvent(E);
        // A popup of our own (the drop-down) keeps the edit going.
        if (E->reason() != Qt::PopupFocusReason)
            guarded([&] { m_insp->FocusLost(); });
    }
    void mousePressEvent(QMouseEvent* E) override
    {
        QLineEdit::mousePressEvent(E);
        // A second click soon after the row's click opens the dialog.
        if (RowClick.isValid() && RowClick.elapsed() < QApplication::doubleClickInterval()) {
            RowClick.invalidate();
            guarded([&] {
                if (m_insp->RowAttributes(m_insp->ItemIndex()).contains(fpaDialog))
                    m_insp->DialogButtonClick();
            });
        }
    }

private:
    TzdObjectInspector* m_insp;
};

} // namespace zd

// ---------------------------------------------------------------- construction

TzdObjectInspector::TzdObjectInspector(plat::TComponent* Owner, QWidget* Parent) : QWidget(Parent)
{
    auto* designer = dynamic_cast<TzdCustomDesigner*>(Owner);
    if (!designer)
        throw plat::Exception(QString::fromLatin1(kOwnerMessage));
    m_designer = plat::ObjectToHandle(designer);
    setObjectName(QStringLiteral("ObjectInspector"));
    setWindowTitle(resNumber(2000, "Objekt inspektor"));
    resize(kDefaultWidth, kDefaultHeight);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    m_rowHeight = QFontMetrics(f).height() + 3;

    m_objects = new QComboBox(this);
    m_objects->setObjectName(QStringLiteral("ObjectsCB"));
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("TabSet"));
    m_tabs->addTab(res("oiProp"));
    m_tabs->addTab(res("oiEvent"));
    m_tabs->setExpanding(false);
    m_back = new QWidget(this);
    m_back->setObjectName(QStringLiteral("BackPanel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_objects);
    layout->addWidget(m_tabs);
    layout->addWidget(m_back, 1);

    m_splitter = new QSplitter(Qt::Vertical, m_back);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(3);
    m_box = new QScrollArea(m_splitter);
    m_box->setObjectName(QStringLiteral("Box"));
    m_box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_box->setWidgetResizable(false);
    m_box->setBackgroundRole(QPalette::Base);
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("TInspPanel"));
    m_box->setWidget(panel);
    m_grid = new zd::InspectorGrid(this, panel);
    m_edit = new zd::InspectorEdit(this, panel);
    m_edit->hide();
    auto makeButton = [&](const char* panelName, const char* buttonName, const QString& text, QToolButton*& btn) {
        auto* w = new QWidget(panel);
        w->setObjectName(QString::fromLatin1(panelName));
        w->setFixedSize(kButtonSize, kButtonSize);
        btn = new QToolButton(w);
        btn->setObjectName(QString::fromLatin1(buttonName));
        btn->setText(text);
        btn->setAutoRaise(true);
        btn->setFocusPolicy(Qt::NoFocus);
        btn->setGeometry(0, 0, kButtonSize, kButtonSize);
        w->hide();
        return w;
    };
    m_editPanel = makeButton("EditPanel", "EditBtn", QStringLiteral("…"), m_editBtn);
    m_comboPanel = makeButton("ComboPanel", "ComboBtn", QStringLiteral("▾"), m_comboBtn);
    m_hintPanel = new QWidget(m_splitter);
    m_hintPanel->setObjectName(QStringLiteral("HintPanel"));
    auto* hl = new QVBoxLayout(m_hintPanel);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    m_propL = new QLabel(m_hintPanel);
    m_propL->setObjectName(QStringLiteral("PropL"));
    m_propL->setFixedHeight(kPropLHeight);
    QFont bold = f;
    bold.setBold(true);
    m_propL->setFont(bold);
    m_propL->setAutoFillBackground(true);
    m_propL->setBackgroundRole(QPalette::ToolTipBase);
    m_descrL = new QLabel(m_hintPanel);
    m_descrL->setObjectName(QStringLiteral("DescrL"));
    m_descrL->setWordWrap(true);
    m_descrL->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_descrL->setAutoFillBackground(true);
    m_descrL->setBackgroundRole(QPalette::Base);
    hl->addWidget(m_propL);
    hl->addWidget(m_descrL, 1);
    m_splitter->addWidget(m_box);
    m_splitter->addWidget(m_hintPanel);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setSizes({kDefaultHeight - kHintHeight, kHintHeight});
    auto* bl = new QVBoxLayout(m_back);
    bl->setContentsMargins(0, 0, 0, 0);
    bl->addWidget(m_splitter);

    QObject::connect(m_objects, &QComboBox::activated, this, [this](int i) { ObjectChosen(i); });
    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) { guarded([&] { SetActiveTab(i); }); });
    QObject::connect(m_editBtn, &QToolButton::clicked, this, [this] { guarded([&] { DialogButtonClick(); }); });
    QObject::connect(m_comboBtn, &QToolButton::clicked, this, [this] {
        guarded([&] {
            if (m_popup && m_popup->isVisible())
                CloseDropDown();
            else
                ShowDropDown();
        });
    });
    layoutGrid();
}

TzdObjectInspector::~TzdObjectInspector()
{
    delete m_popup;
}

// ---------------------------------------------------------------- rows

TzdPropertyItem* TzdObjectInspector::RowItem(int Row) const
{
    return Row >= 0 && Row < RowCount() ? m_rows[size_t(Row)].Item : nullptr;
}

int TzdObjectInspector::RowLevel(int Row) const { return Row >= 0 && Row < RowCount() ? m_rows[size_t(Row)].Level : 0; }

QString TzdObjectInspector::RowName(int Row) const
{
    TzdPropertyItem* item = RowItem(Row);
    return item ? item->Editor->GetName() : QString();
}

TzdPropertyAttributes TzdObjectInspector::RowAttributes(int Row) const
{
    TzdPropertyItem* item = RowItem(Row);
    return item ? item->Editor->GetAttributes() : TzdPropertyAttributes{};
}

QString TzdObjectInspector::RowValue(int Row) const
{
    TzdPropertyItem* item = RowItem(Row);
    if (!item)
        return {};
    try {
        return item->Editor->GetValue();
    } catch (const std::exception& e) {
        return errorText(e);
    }
}

int TzdObjectInspector::FindRow(const QString& Name) const
{
    for (int i = 0; i < RowCount(); ++i)
        if (RowName(i) == Name)
            return i;
    return -1;
}

bool TzdObjectInspector::isEventItem(TzdPropertyItem& Item) const
{
    const plat::TPropInfo* info = Item.Editor->GetPropInfo();
    if (!info || !info->PropType())
        return false;
    const QString type = info->PropType()->Name();
    return type.startsWith(QLatin1String("Tzd")) && type.endsWith(QLatin1String("Event"));
}

void TzdObjectInspector::addRows(TzdPropertyList* List, int Level, bool Events)
{
    for (int i = 0; i < List->Count(); ++i) {
        TzdPropertyItem& item = List->GetItem(i);
        // Events are split off the top level into the events tab.
        if (Level == 0 && isEventItem(item) != Events)
            continue;
        m_rows.push_back({&item, List, Level});
        if (item.Expanded && item.SubProperty)
            addRows(item.SubProperty.get(), Level + 1, Events);
    }
}

void TzdObjectInspector::rebuildRows()
{
    m_rows.clear();
    if (m_list)
        addRows(m_list.get(), 0, ActiveTab() == 1);
}

std::vector<TzdComponent*> TzdObjectInspector::selection() const
{
    std::vector<TzdComponent*> out;
    for (quint32 h : m_selected)
        if (plat::IsLiveObjectHandle(h))
            if (auto* c = dynamic_cast<TzdComponent*>(plat::HandleToObject(h)))
                out.push_back(c);
    return out;
}

// ---------------------------------------------------------------- the selection

QString TzdObjectInspector::comboText(TzdComponent* Obj) const
{
    return Obj ? Obj->Name() + QStringLiteral(": ") + Obj->ClassName() : QString();
}

int TzdObjectInspector::comboIndexOf(TzdComponent* Obj) const
{
    const quint32 h = Obj ? plat::ObjectToHandle(Obj) : 0;
    for (int i = 0; i < m_objects->count(); ++i)
        if (m_objects->itemData(i).toUInt() == h && h)
            return i;
    return -1;
}

void TzdObjectInspector::UpdateObjectsList(const std::vector<TzdComponent*>& Objects)
{
    m_fillingCombo = true;
    m_objects->clear();
    QList<QPair<QString, quint32>> entries;
    for (TzdComponent* obj : Objects)
        entries.append({comboText(obj), obj ? plat::ObjectToHandle(obj) : 0});
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [text, handle] : entries)
        m_objects->addItem(text, handle);
    m_fillingCombo = false;
}

void TzdObjectInspector::updateComboEntry()
{
    const std::vector<TzdComponent*> sel = selection();
    m_fillingCombo = true;
    if (sel.size() == 1) {
        int i = comboIndexOf(sel.front());
        if (i < 0) {
            m_objects->addItem(comboText(sel.front()), plat::ObjectToHandle(sel.front()));
            i = m_objects->count() - 1;
        } else {
            m_objects->setItemText(i, comboText(sel.front()));
        }
        m_objects->setCurrentIndex(i);
    } else {
        m_objects->setCurrentIndex(-1);
    }
    m_fillingCombo = false;
}

void TzdObjectInspector::SetSelectedObjects(const std::vector<TzdComponent*>& Selected)
{
    CloseDropDown();
    m_rows.clear();
    m_list.reset();
    m_selected.clear();
    std::vector<plat::TObject*> objects;
    for (TzdComponent* c : Selected)
        if (c) {
            m_selected.push_back(plat::ObjectToHandle(c));
            objects.push_back(c);
        }
    auto* designer = plat::IsLiveObjectHandle(m_designer)
                         ? dynamic_cast<TzdCustomDesigner*>(plat::HandleToObject(m_designer))
                         : nullptr;
    try {
        m_list = zdCreatePropertyList(objects, designer);
    } catch (const std::exception& e) {
        m_list.reset();
        zdErrorMessage(errorText(e));
    }
    updateComboEntry();
    m_current = -1;
    rebuildRows();
    layoutGrid();
    if (RowCount() > 0) {
        const int same = FindRow(m_lastName);
        if (same >= 0) {
            SetItemIndex(same);
        } else {
            const QString keep = m_lastName;
            SetItemIndex(0);
            m_lastName = keep;
        }
    } else {
        SetItemIndex(-1);
    }
}

void TzdObjectInspector::UpdateProperties() { SetSelectedObjects(selection()); }

void TzdObjectInspector::ObjectChosen(int Index)
{
    if (m_fillingCombo)
        return;
    try {
        const quint32 h = Index >= 0 ? m_objects->itemData(Index).toUInt() : 0;
        std::vector<TzdComponent*> sel;
        if (h && plat::IsLiveObjectHandle(h))
            if (auto* c = dynamic_cast<TzdComponent*>(plat::HandleToObject(h)))
                sel.push_back(c);
        if (plat::IsLiveObjectHandle(m_designer))
            if (auto* d = dynamic_cast<TzdCustomDesigner*>(plat::HandleToObject(m_designer)))
                d->Selection = sel;
        SetSelectedObjects(sel);
        if (m_edit->isVisible())
            m_edit->setFocus();
        if (OnSelectionChange)
            OnSelectionChange();
    } catch (const std::exception& e) {
        zdErrorMessage(errorText(e));
    }
}

// ---------------------------------------------------------------- the current row

QString TzdObjectInspector::Description() const { return m_descrL->text(); }

void TzdObjectInspector::SetItemIndex(int Row) { selectRow(Row); }

void TzdObjectInspector::selectRow(int Index)
{
    m_propL->clear();
    m_descrL->clear();
    if (m_current >= 0 && m_current < RowCount() && m_edit->isModified())
        commitText(m_current, m_edit->text());
    Index = std::clamp(Index, -1, RowCount() - 1);
    m_current = Index;
    if (Index >= 0) {
        const QString name = RowName(Index);
        m_lastName = name;
        m_propL->setText(name);
        const Row& r = m_rows[size_t(Index)];
        plat::TObject* owner = r.List ? r.List->Component() : nullptr;
        const QString base = QStringLiteral("prop") + name;
        QString text;
        if (owner) {
            const QString key = base + u'.' + owner->ClassName();
            text = zdGetResources()->GetText(key);
            if (text == key)
                text.clear();
        }
        if (text.isEmpty())
            text = zdGetResources()->GetText(base);
        m_descrL->setText(text);
    }
    layoutEditors();
    m_grid->update();
}

void TzdObjectInspector::layoutEditors()
{
    if (m_disabled)
        return;
    if (m_current < 0) {
        m_edit->hide();
        m_editPanel->hide();
        m_comboPanel->hide();
        return;
    }
    const TzdPropertyAttributes attrs = RowAttributes(m_current);
    const int top = m_current * m_rowHeight;
    int valueWidth = m_grid->width() - m_divider - 2;
    int right = m_grid->width();
    auto placeButton = [&](QWidget* panel, bool show) {
        panel->setVisible(show);
        if (!show)
            return;
        right -= kButtonSize;
        valueWidth -= kButtonSize;
        panel->setGeometry(right, top, kButtonSize, m_rowHeight - 1);
        panel->raise();
    };
    placeButton(m_editPanel, attrs.contains(fpaDialog));
    placeButton(m_comboPanel, attrs.contains(fpaValueList));
    m_edit->setReadOnly(attrs.contains(fpaReadOnly));
    m_edit->setText(RowValue(m_current));
    m_edit->setModified(false);
    m_edit->setGeometry(m_divider + 2, top + 1, std::max(valueWidth, 0), m_rowHeight - 2);
    m_edit->selectAll();
    m_edit->show();
    m_box->ensureVisible(0, top + m_rowHeight / 2, 0, m_rowHeight / 2 + 1);
}

// ---------------------------------------------------------------- committing

void TzdObjectInspector::commitText(int Row, const QString& Text)
{
    TzdPropertyItem* item = RowItem(Row);
    // One commit at a time: a failing commit's message box takes the focus,
    // and the focus loss must not commit (and fail) again.
    if (!item || m_committing)
        return;
    m_committing = true;
    try {
        item->Editor->SetValue(Text);
        m_edit->setModified(false);
        afterChange(item);
    } catch (const std::exception& e) {
        m_edit->setModified(false);
        zdErrorMessage(errorText(e));
        m_edit->setText(RowValue(Row));
        m_edit->setModified(false);
    }
    m_committing = false;
}

void TzdObjectInspector::afterChange(TzdPropertyItem*)
{
    updateComboEntry();
    if (OnModify)
        OnModify();
    m_grid->update();
}

void TzdObjectInspector::CommitEdit()
{
    if (m_current >= 0 && m_edit->isModified())
        commitText(m_current, m_edit->text());
}

void TzdObjectInspector::FocusLost()
{
    if (m_disabled || m_committing)
        return;
    selectRow(m_current);
}

void TzdObjectInspector::DialogButtonClick()
{
    TzdPropertyItem* item = RowItem(m_current);
    if (!item || m_committing)
        return;
    m_committing = true;
    bool changed = false;
    try {
        changed = item->Editor->Edit();
    } catch (const std::exception& e) {
        zdErrorMessage(errorText(e));
    }
    m_committing = false;
    if (changed) {
        selectRow(m_current);
        updateComboEntry();
        if (OnModify)
            OnModify();
    }
}

void TzdObjectInspector::ToggleExpanded(int Row)
{
    TzdPropertyItem* item = RowItem(Row);
    if (!item || !item->SubProperty)
        return;
    item->Expanded = !item->Expanded;
    rebuildRows();
    layoutGrid();
    selectRow(std::min(m_current, RowCount() - 1));
}

// ---------------------------------------------------------------- the drop-down list

QListWidget* TzdObjectInspector::ShowDropDown()
{
    TzdPropertyItem* item = RowItem(m_current);
    if (!item)
        return nullptr;
    CloseDropDown();
    const TzdPropertyAttributes attrs = item->Editor->GetAttributes();
    QStringList values;
    try {
        item->Editor->GetValues();
        for (int i = 0; i < item->Editor->Values().Count(); ++i)
            values << item->Editor->Values().Strings(i);
    } catch (const std::exception& e) {
        zdErrorMessage(errorText(e));
        return nullptr;
    }
    if (values.isEmpty())
        return nullptr;
    m_popup = new QWidget(this, Qt::Popup | Qt::FramelessWindowHint);
    m_popup->setObjectName(QStringLiteral("PopupForm"));
    m_popupList = new QListWidget(m_popup);
    m_popupList->setObjectName(QStringLiteral("ListBox"));
    m_popupList->setFrameShape(QFrame::Box);
    m_popupList->addItems(values);
    for (int i = 0; i < m_popupList->count(); ++i)
        m_popupList->item(i)->setSizeHint(QSize(0, m_rowHeight));
    const QString current = m_edit->text();
    const int at = int(values.indexOf(current));
    if (at >= 0)
        m_popupList->setCurrentRow(at);
    QFontMetrics fm(m_popupList->font());
    int width = 0;
    for (const QString& v : values)
        width = std::max(width, fm.horizontalAdvance(v));
    width += 8;
    if (attrs.contains(fpaOwnerDraw))
        width += item->Editor->GetExtraListWidth();
    int rows = int(values.size());
    if (rows > kMaxDropRows) {
        width += m_popupList->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        rows = kMaxDropRows;
        m_popupList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        m_popupList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    const int height = rows * m_rowHeight + 2;
    const int valueColumn = m_grid->width() - m_divider;
    QPoint pos = m_edit->mapToGlobal(QPoint(0, m_edit->height()));
    if (width < valueColumn) {
        pos.rx() -= 3;
        width = valueColumn + 1;
    } else {
        pos.setX(m_grid->mapToGlobal(QPoint(m_grid->width(), 0)).x() - width);
    }
    if (const QScreen* screen = this->screen()) {
        const QRect avail = screen->geometry();
        pos.setX(std::max(pos.x(), 0));
        if (pos.y() + height > avail.bottom())
            pos.setY(avail.bottom() - height);
    }
    m_popup->setGeometry(pos.x(), pos.y(), width, height);
    m_popupList->setGeometry(0, 0, width, height);
    QObject::connect(m_popupList, &QListWidget::itemClicked, this,
                     [this](QListWidgetItem* it) { guarded([&] { DropDownChosen(m_popupList->row(it)); }); });
    const bool wasDisabled = m_disabled;
    m_disabled = true;
    m_popup->show();
    m_disabled = wasDisabled;
    return m_popupList;
}

void TzdObjectInspector::CloseDropDown()
{
    if (!m_popup)
        return;
    m_popup->hide();
    m_popup->deleteLater();
    m_popup = nullptr;
    m_popupList = nullptr;
}

void TzdObjectInspector::DropDownChosen(int Index)
{
    if (!m_popupList || Index < 0 || Index >= m_popupList->count())
        return;
    const QString text = m_popupList->item(Index)->text();
    CloseDropDown();
    m_edit->setText(text);
    m_edit->setFocus();
    m_edit->selectAll();
    if (m_current >= 0)
        commitText(m_current, text);
}

// ---------------------------------------------------------------- tabs, suspension, colours, sizes

int TzdObjectInspector::ActiveTab() const { return m_tabs->currentIndex(); }

void TzdObjectInspector::SetActiveTab(int Index)
{
    auto* designer = plat::IsLiveObjectHandle(m_designer)
                         ? dynamic_cast<TzdCustomDesigner*>(plat::HandleToObject(m_designer))
                         : nullptr;
    // A prepared page has no script to run events.
    if (Index == 1 && designer && designer->IsPreviewDesigner)
        Index = 0;
    if (m_tabs->currentIndex() != Index) {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(Index);
    }
    CommitEdit();
    m_current = -1;
    rebuildRows();
    layoutGrid();
    selectRow(-1);
}

void TzdObjectInspector::SuspendGridRefresh()
{
    m_disabled = true;
    m_grid->update();
}

void TzdObjectInspector::ResumeGridRefresh()
{
    m_disabled = false;
    layoutEditors();
    m_grid->update();
}

void TzdObjectInspector::SetInspectorColor(int Color)
{
    for (QWidget* w : {static_cast<QWidget*>(m_objects), static_cast<QWidget*>(m_box)}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, plat::ToQColor(Color));
        p.setColor(QPalette::Window, plat::ToQColor(Color));
        w->setPalette(p);
    }
    m_grid->update();
}

int TzdObjectInspector::HintPanelHeight() const { return m_hintPanel->height(); }

void TzdObjectInspector::SetHintPanelHeight(int Value)
{
    const QList<int> sizes = m_splitter->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    m_splitter->setSizes({std::max(total - Value, 0), Value});
    m_hintPanel->resize(m_hintPanel->width(), Value);
}

void TzdObjectInspector::SetDividerOffset(int Value)
{
    m_divider = Value;
    m_dividerSet = true;
    layoutEditors();
    m_grid->update();
}

void TzdObjectInspector::layoutGrid()
{
    const int width = std::max(m_box->viewport()->width(), 1);
    if (!m_dividerSet)
        m_divider = width / 2;
    const int height = std::max(RowCount() * m_rowHeight, 1);
    m_box->widget()->resize(width, height);
    m_grid->setGeometry(0, 0, width, height);
    m_box->verticalScrollBar()->setSingleStep(m_rowHeight);
    layoutEditors();
    m_grid->update();
}

void TzdObjectInspector::resizeEvent(QResizeEvent* E)
{
    QWidget::resizeEvent(E);
    layoutGrid();
}

// ---------------------------------------------------------------- painting

void TzdObjectInspector::paintGrid(QPainter& P)
{
    P.fillRect(QRect(QPoint(0, 0), m_grid->size()), m_box->palette().color(QPalette::Base));
    if (m_disabled)
        return;
    const int d = indentUnit(this);
    QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    auto drawRow = [&](int i) {
        TzdPropertyItem* item = RowItem(i);
        const int top = i * m_rowHeight;
        const int level = RowLevel(i);
        const bool sub = item->SubProperty != nullptr &&
                         item->Editor->GetAttributes().contains(fpaSubProperties);
        int x = (sub ? d + 1 : d + 13) + level * (d + kLevelIndent);
        if (i == m_current)
            P.fillRect(QRect(0, top, m_divider, m_rowHeight - 1), QColor::fromRgb(kButtonFace));
        if (sub) {
            const QRect box(x, top + 3 + d, kBoxSize - 1, kBoxSize - 1);
            P.setPen(QColor::fromRgb(kBoxBorder));
            P.setBrush(Qt::white);
            P.drawRect(box);
            P.setPen(Qt::black);
            const int cx = box.left() + 2, cy = box.top() + 4;
            P.drawLine(cx, cy, cx + 4, cy);
            if (!item->Expanded)
                P.drawLine(cx + 2, cy - 2, cx + 2, cy + 2);
            x += 12 + d;
        }
        const QString name = item->Editor->GetName();
        const bool isBold = level == 0 && std::any_of(std::begin(kBoldNames), std::end(kBoldNames),
                                                       [&](const char16_t* n) { return name == QStringView(n); });
        P.setFont(isBold ? bold : normal);
        P.setPen(Qt::black);
        P.save();
        P.setClipRect(QRect(0, top, m_divider, m_rowHeight - 1));
        P.drawText(QRect(x, top + 1, m_divider - x, m_rowHeight - 1), Qt::AlignLeft | Qt::AlignTop, name);
        P.restore();
        P.setPen(QColor::fromRgb(kButtonFace));
        P.drawLine(0, top + m_rowHeight - 1, m_grid->width(), top + m_rowHeight - 1);
        if (i == m_current)
            return;
        P.drawLine(m_divider - 1, top, m_divider - 1, top + m_rowHeight - 1);
        item->Editor->ItemHeight = m_rowHeight;
        const QRect valueRect(m_divider + 2, top + 1, m_grid->width() - m_divider - 2, m_rowHeight - 2);
        try {
            if (item->Editor->GetAttributes().contains(fpaOwnerDraw)) {
                plat::TCanvas canvas;
                canvas.SetPainter(&P);
                canvas.Font().SetHeight(-normal.pixelSize());
                item->Editor->DrawValue(canvas, valueRect);
                canvas.ReleaseDevice();
            } else {
                P.setFont(normal);
                P.setPen(QColor::fromRgb(kValueColor));
                P.drawText(valueRect, Qt::AlignLeft | Qt::AlignTop, item->Editor->GetValue());
            }
        } catch (const std::exception& e) {
            P.setPen(Qt::red);
            P.drawText(valueRect, Qt::AlignLeft | Qt::AlignTop, errorText(e));
        }
    };
    // An object freed under the inspector raises on its next question:
    // the row then shows the message instead.
    auto safeRow = [&](int i) {
        try {
            drawRow(i);
        } catch (const std::exception& e) {
            P.setPen(Qt::red);
            P.drawText(QRect(0, i * m_rowHeight, m_grid->width(), m_rowHeight), Qt::AlignLeft, errorText(e));
        }
    };
    for (int i = 0; i < RowCount(); ++i)
        if (i != m_current)
            safeRow(i);
    if (m_current >= 0)
        safeRow(m_current);
}

// ---------------------------------------------------------------- mouse and keys

void TzdObjectInspector::gridPress(int X, int Y, bool Double)
{
    try {
        if (Double) {
            if (!m_suppressDouble && RowItem(m_current) && RowItem(m_current)->SubProperty)
                ToggleExpanded(m_current);
            m_suppressDouble = false;
            return;
        }
        if (X > m_divider - 4 && X < m_divider + 2) {
            m_draggingSplitter = true;
            return;
        }
        const int row = Y / m_rowHeight;
        TzdPropertyItem* item = RowItem(row);
        if (item && X > m_divider && X < m_divider + kButtonSize &&
            dynamic_cast<TzdBooleanProperty*>(item->Editor.get())) {
            if (row != m_current)
                selectRow(row);
            bool changed = false;
            try {
                changed = item->Editor->Edit();
            } catch (const std::exception& e) {
                zdErrorMessage(errorText(e));
            }
            if (changed) {
                updateComboEntry();
                if (OnModify)
                    OnModify();
                layoutEditors();
            }
            m_grid->update();
            return;
        }
        if (row >= RowCount())
            return;
        selectRow(row);
        if (m_edit->isVisible())
            m_edit->setFocus();
        m_edit->RowClick.start();
        const int level = RowLevel(row) * kLevelIndent;
        if (item && item->SubProperty && X > level && X < level + 13) {
            ToggleExpanded(row);
            m_suppressDouble = true;
        }
    } catch (const std::exception& e) {
        zdErrorMessage(errorText(e));
    }
}

void TzdObjectInspector::gridMove(int X, int Y, bool Pressed)
{
    if (m_draggingSplitter && Pressed) {
        if (X > kSplitterSlack && X < m_grid->width() - kSplitterSlack)
            SetDividerOffset(X);
        return;
    }
    m_grid->setCursor(X > m_divider - 4 && X < m_divider + 2 ? Qt::SplitHCursor : Qt::ArrowCursor);
    const int row = Y / m_rowHeight;
    if (X <= kLevelIndent || row >= RowCount() || row == m_current) {
        QToolTip::hideText();
        return;
    }
    QFontMetrics fm(font());
    QString text;
    if (X > m_divider - 4) {
        const QString value = RowValue(row);
        if (fm.horizontalAdvance(value) > m_grid->width() - m_divider)
            text = value;
    } else {
        const QString name = RowName(row);
        if (fm.horizontalAdvance(name) > m_divider - (RowLevel(row) * kLevelIndent + kLevelIndent))
            text = name;
    }
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(m_grid->mapToGlobal(QPoint(X, row * m_rowHeight - 2)), text, m_grid);
}

void TzdObjectInspector::gridRelease() { m_draggingSplitter = false; }

bool TzdObjectInspector::editKey(int Key, Qt::KeyboardModifiers Mods)
{
    if (m_current < 0)
        return Key == Qt::Key_Up || Key == Qt::Key_Down || Key == Qt::Key_PageUp || Key == Qt::Key_PageDown ||
               Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Escape;
    const int page = std::max(m_box->viewport()->height() / m_rowHeight, 1);
    switch (Key) {
    case Qt::Key_Escape:
        m_edit->setText(RowValue(m_current));
        m_edit->setModified(false);
        m_edit->selectAll();
        return true;
    case Qt::Key_Up:
        if (m_current > 0)
            selectRow(m_current - 1);
        return true;
    case Qt::Key_Down:
        if (m_current < RowCount() - 1)
            selectRow(m_current + 1);
        return true;
    case Qt::Key_PageUp:
        selectRow(std::max(m_current - page, 0));
        return true;
    case Qt::Key_PageDown:
        selectRow(std::min(m_current + page, RowCount() - 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (RowAttributes(m_current).contains(fpaDialog))
            DialogButtonClick();
        else
            CommitEdit();
        m_edit->selectAll();
        return true;
    default:
        (void)Mods;
        return false;
    }
}
