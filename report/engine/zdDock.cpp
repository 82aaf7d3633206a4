#include "zdDock.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "IniFiles.h"
#include "Streams.h"
#include "zdUtils.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDataStream>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int kSplitterThickness = 6;
constexpr int kGripHalf = 20;       // the grip: the middle 40 pixels
constexpr int kGripLength = 29;     // painted from middle - 14 to middle + 15
constexpr int kGripColor = 12636368;
constexpr int kDotShadowColor = 8421504;
constexpr int kDefaultSiteSize = 100;
// No window or bar is larger than this; a stored size beyond it is damaged.
constexpr int kMaxExtent = 32767;
// A window counts as on a screen when this much of it (or all of it, when
// smaller) shows there.
constexpr int kMinVisible = 40;

const char* const kOwnerProperty = "zdDockOwner";
const char* const kClassNameProperty = "className";
const char* const kBarPosProperty = "zdBarPos";

const QString kData2005 = QStringLiteral("Data2005");

bool isVerticalAlign(plat::TAlign align)
{
    return align == plat::alLeft || align == plat::alRight;
}

bool validExtent(int value)
{
    return value >= 0 && value <= kMaxExtent;
}

// A stored size: the current one when the stored one cannot be a size.
int extentOr(int stored, int current)
{
    return stored > 0 && stored <= kMaxExtent ? stored : current;
}

// A stored position: the current one when it lies beyond any desktop.
int positionOr(int stored, int current)
{
    return stored >= -kMaxExtent && stored <= kMaxExtent ? stored : current;
}

QString toolbarSection(const QToolBar* toolBar)
{
    return QStringLiteral("ToolBar5.") + toolBar->objectName();
}

QString siteSection(const TzdDockSite* site)
{
    return QStringLiteral("Dock5.") + site->objectName();
}

QString formSection(const QWidget* form)
{
    return QStringLiteral("Form5.") + zd::FormClassName(form);
}

QMainWindow* mainWindowOf(const QToolBar* toolBar)
{
    return qobject_cast<QMainWindow*>(toolBar->parentWidget());
}

// The toolbars docked in one area of a main window.
QList<QToolBar*> barsIn(QMainWindow* window, Qt::ToolBarArea area)
{
    QList<QToolBar*> out;
    for (QToolBar* bar : window->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        if (!bar->isFloating() && window->toolBarArea(bar) == area)
            out << bar;
    return out;
}

// Where a docked toolbar stands in its area: relative to the first bar of
// the area once the window is laid out, the place restored for it before.
QPoint barPosition(QMainWindow* window, QToolBar* bar)
{
    const QVariant stored = bar->property(kBarPosProperty);
    if (stored.isValid() && !window->isVisible())
        return stored.toPoint();
    QPoint origin(kMaxExtent, kMaxExtent);
    for (QToolBar* other : barsIn(window, window->toolBarArea(bar)))
        origin = QPoint(std::min(origin.x(), other->x()), std::min(origin.y(), other->y()));
    return bar->pos() - origin;
}

// Lays the bars of an area out again in rows by their places: a bar starts
// a new row when its top differs from the row's.
void layoutArea(QMainWindow* window, Qt::ToolBarArea area, QToolBar* placed, QPoint placedPos)
{
    struct Placed {
        QToolBar* bar;
        QPoint pos;
        bool hidden;
    };
    const bool vertical = area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea;
    std::vector<Placed> bars;
    for (QToolBar* bar : barsIn(window, area))
        bars.push_back({bar, bar == placed ? placedPos : barPosition(window, bar), bar->isHidden()});
    std::stable_sort(bars.begin(), bars.end(), [vertical](const Placed& a, const Placed& b) {
        const int rowA = vertical ? a.pos.x() : a.pos.y();
        const int rowB = vertical ? b.pos.x() : b.pos.y();
        if (rowA != rowB)
            return rowA < rowB;
        return (vertical ? a.pos.y() : a.pos.x()) < (vertical ? b.pos.y() : b.pos.x());
    });
    for (const Placed& p : bars) {
        if (window->toolBarBreak(p.bar))
            window->removeToolBarBreak(p.bar);
        window->removeToolBar(p.bar);
    }
    int row = 0;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int r = vertical ? bars[i].pos.x() : bars[i].pos.y();
        if (i > 0 && r != row)
            window->addToolBarBreak(area);
        row = r;
        window->addToolBar(area, bars[i].bar);
        bars[i].bar->setHidden(bars[i].hidden);
    }
}

// Takes a toolbar out of its bar into a tool window of its own.
void floatToolBar(QToolBar* bar, const QRect& rect)
{
    QMainWindow* window = mainWindowOf(bar);
    if (!bar->isFloating()) {
        if (window)
            window->removeToolBar(bar);
        bar->setParent(bar->parentWidget(), Qt::Tool | Qt::FramelessWindowHint);
    }
    bar->setGeometry(rect);
}

// A QDataStream's form of a name, as a saved layout holds it.
QByteArray streamedName(const QString& name)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << name;
    return out;
}

// The bytes of a hex text; nothing when the text is not hex pairs.
std::optional<QByteArray> hexBytes(const QString& hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    try {
        plat::TMemoryStream stream;
        zdHexToStream(hex, stream);
        stream.SetPosition(0);
        return stream.readAll();
    } catch (const plat::Exception&) {
        return std::nullopt;
    }
}

// Tries a layout on a scratch main window with stand-ins of the same names,
// so a layout Qt refuses never touches the real site.
bool layoutAccepted(const QByteArray& state, const QStringList& names)
{
    QMainWindow probe;
    for (const QString& name : names) {
        auto* dock = new QDockWidget(&probe);
        dock->setObjectName(name);
        probe.addDockWidget(Qt::LeftDockWidgetArea, dock);
    }
    return probe.restoreState(state);
}

bool isDesignerWindow(const QWidget* form)
{
    return zd::FormClassName(form) == QLatin1String("TzdDesignerForm");
}

} // namespace

namespace zd {

void SetDockOwner(QWidget* control, QWidget* owner)
{
    control->setProperty(kOwnerProperty, QVariant::fromValue(QPointer<QWidget>(owner)));
}

QWidget* DockOwner(const QWidget* control)
{
    if (!control)
        return nullptr;
    const QVariant owner = control->property(kOwnerProperty);
    if (owner.isValid())
        return owner.value<QPointer<QWidget>>().data();
    const QWidget* parent = control->parentWidget();
    return parent ? parent->window() : nullptr;
}

QString FormClassName(const QWidget* form)
{
    const QVariant name = form->property(kClassNameProperty);
    if (name.isValid() && !name.toString().isEmpty())
        return name.toString();
    return QStringLiteral("T") + form->objectName();
}

QString ControlBarName(Qt::ToolBarArea area)
{
    switch (area) {
    case Qt::TopToolBarArea: return QStringLiteral("DockTop");
    case Qt::BottomToolBarArea: return QStringLiteral("DockBottom");
    case Qt::LeftToolBarArea: return QStringLiteral("DockLeft");
    case Qt::RightToolBarArea: return QStringLiteral("DockRight");
    default: return {};
    }
}

Qt::ToolBarArea ControlBarArea(const QString& name)
{
    for (Qt::ToolBarArea area : {Qt::TopToolBarArea, Qt::BottomToolBarArea, Qt::LeftToolBarArea, Qt::RightToolBarArea})
        if (ControlBarName(area).compare(name, Qt::CaseInsensitive) == 0)
            return area;
    return Qt::NoToolBarArea;
}

void KeepOnScreen(QWidget* window)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    const QRect rect = window->frameGeometry();
    for (const QScreen* screen : screens) {
        const QRect shown = rect.intersected(screen->availableGeometry());
        if (shown.width() >= std::min(rect.width(), kMinVisible) && shown.height() >= std::min(rect.height(), kMinVisible))
            return;
    }
    // The nearest screen to the window's centre takes it.
    const QScreen* target = screens.front();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QScreen* screen : screens) {
        const QPoint d = screen->availableGeometry().center() - rect.center();
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (distance < best) {
            best = distance;
            target = screen;
        }
    }
    const QRect area = target->availableGeometry();
    const QSize frame = rect.size() - window->size();
    const int width = std::min(window->width(), area.width() - frame.width());
    const int height = std::min(window->height(), area.height() - frame.height());
    window->resize(std::max(1, width), std::max(1, height));
    const QSize outer = window->frameGeometry().size();
    const int x = std::clamp(rect.x(), area.left(), std::max(area.left(), area.left() + area.width() - outer.width()));
    const int y = std::clamp(rect.y(), area.top(), std::max(area.top(), area.top() + area.height() - outer.height()));
    window->move(x, y);
}

} // namespace zd

// ------------------------------------------------------------ TDockSplitter

TDockSplitter::TDockSplitter(TzdDockSite* site)
    : QWidget(site->parentWidget())
    , m_site(site)
{
    setObjectName(site->objectName() + QStringLiteral("Splitter"));
    setMouseTracking(true);
    hide();
}

bool TDockSplitter::vertical() const
{
    return isVerticalAlign(m_site->Align());
}

bool TDockSplitter::OnGrip(const QPoint& p) const
{
    const int middle = (vertical() ? height() : width()) / 2;
    const int at = vertical() ? p.y() : p.x();
    return at > middle - kGripHalf && at < middle + kGripHalf;
}

void TDockSplitter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), plat::ToQColor(plat::ColorToRGB(plat::clBtnFace)));
    const bool v = vertical();
    const int middle = (v ? height() : width()) / 2;
    // Points along the bar (a) and across it (b).
    auto at = [v](int a, int b) { return v ? QPoint(b, a) : QPoint(a, b); };
    const QRect grip = v ? QRect(0, middle - 14, kSplitterThickness, kGripLength)
                         : QRect(middle - 14, 0, kGripLength, kSplitterThickness);
    painter.fillRect(grip, plat::ToQColor(kGripColor));
    const QColor shadow = plat::ToQColor(kDotShadowColor);
    for (int i = 0; i < 7; ++i) {
        const int a = middle - 9 + 3 * i;
        painter.setPen(Qt::white);
        painter.drawPoint(at(a, 2));
        painter.setPen(shadow);
        painter.drawPoint(at(a + 1, 2));
        painter.drawPoint(at(a, 3));
        painter.drawPoint(at(a + 1, 3));
    }
}

void TDockSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (OnGrip(event->position().toPoint())) {
        m_site->ToggleCollapsed();
        return;
    }
    m_mouseDown = true;
    m_lastGlobal = event->globalPosition().toPoint();
}

void TDockSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_mouseDown) {
        const bool grip = OnGrip(event->position().toPoint());
        setCursor(grip ? Qt::PointingHandCursor : (vertical() ? Qt::SplitHCursor : Qt::SplitVCursor));
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    const QPoint delta = global - m_lastGlobal;
    m_lastGlobal = global;
    const bool autoSize = m_site->AutoSize();
    m_site->SetAutoSize(false);
    const int t = m_site->Thickness();
    switch (m_site->Align()) {
    case plat::alTop: m_site->SetThickness(t + delta.y()); break;
    case plat::alBottom: m_site->SetThickness(t - delta.y()); break;
    case plat::alRight: m_site->SetThickness(t - delta.x()); break;
    default: m_site->SetThickness(t + delta.x()); break;
    }
    m_site->SetAutoSize(autoSize);
}

void TDockSplitter::mouseReleaseEvent(QMouseEvent*)
{
    m_mouseDown = false;
}

// ------------------------------------------------------------ TzdDockSite

TzdDockSite::TzdDockSite(QWidget* parent, plat::TAlign align)
    : QMainWindow(parent)
    , m_splitter(nullptr)
{
    // A main window is always made a window; the site is a child of its host.
    setWindowFlags(Qt::Widget);
    setWindowTitle(QStringLiteral(" "));
    setDockOptions(QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
    resize(10, 10);
    m_splitter = new TDockSplitter(this);
    SetAlign(align);
}

TzdDockSite::~TzdDockSite() = default;

Qt::DockWidgetArea TzdDockSite::innerArea() const
{
    // A side site stacks its tool windows from the top, a top or bottom
    // site from the left.
    return isVerticalAlign(m_align) ? Qt::LeftDockWidgetArea : Qt::TopDockWidgetArea;
}

void TzdDockSite::SetAlign(plat::TAlign align)
{
    m_align = align;
    if (isVerticalAlign(align)) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
    SetThickness(isVerticalAlign(align) ? width() : height());
    placeSplitter();
}

int TzdDockSite::Thickness() const
{
    return isVerticalAlign(m_align) ? width() : height();
}

void TzdDockSite::SetThickness(int value)
{
    value = std::clamp(value, 0, kMaxExtent);
    if (isVerticalAlign(m_align))
        setFixedWidth(value);
    else
        setFixedHeight(value);
}

void TzdDockSite::SetAutoSize(bool value)
{
    m_autoSize = value;
    if (value && DockClientCount() == 0)
        SetThickness(0);
}

QList<QDockWidget*> TzdDockSite::DockClients() const
{
    QList<QDockWidget*> out;
    for (QDockWidget* dock : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        if (!dock->isFloating() && !dock->isHidden())
            out << dock;
    return out;
}

bool TzdDockSite::DockOver(QWidget* control)
{
    if (!control)
        return false;
    if (m_hostForm && zd::DockOwner(control) != m_hostForm)
        return false;
    m_draggedPanelSize = isVerticalAlign(m_align) ? control->width() : control->height();
    return true;
}

bool TzdDockSite::DockDrop(QDockWidget* control)
{
    if (!control || (m_hostForm && zd::DockOwner(control) != m_hostForm))
        return false;
    ManualDock(control);
    if (m_draggedPanelSize > Thickness())
        SetThickness(m_draggedPanelSize);
    m_splitter->show();
    return true;
}

bool TzdDockSite::Undock(QDockWidget* control, QWidget* newTarget)
{
    if (!control || control->parentWidget() != this)
        return false;
    if (newTarget && newTarget->window() != window())
        return false;
    if (auto* site = dynamic_cast<TzdDockSite*>(newTarget); site && site != this) {
        if (!site->DockDrop(control))
            return false;
    } else {
        control->setFloating(true);
    }
    if (DockClientCount() == 0) {
        m_splitter->hide();
        fitToClients();
    }
    return true;
}

void TzdDockSite::ManualDock(QDockWidget* control)
{
    if (!control)
        return;
    const bool wasEmpty = DockClientCount() == 0;
    const int controlThickness = isVerticalAlign(m_align) ? control->width() : control->height();
    if (control->parentWidget() != this) {
        if (auto* from = dynamic_cast<TzdDockSite*>(control->parentWidget())) {
            from->removeDockWidget(control);
            if (from->DockClientCount() == 0) {
                from->Splitter()->hide();
                from->fitToClients();
            }
        }
        control->setParent(this);
    }
    control->setFloating(false);
    addDockWidget(innerArea(), control);
    control->show();
    if (wasEmpty && m_autoSize)
        SetThickness(std::max(controlThickness, 1));
    m_splitter->show();
}

QWidget* TzdDockSite::FindDockedControl(const QString& name) const
{
    if (!name.isEmpty() && m_hostForm) {
        const QList<QWidget*> children = m_hostForm->findChildren<QWidget*>();
        if (!children.isEmpty()) {
            for (QWidget* w : children)
                if (w->objectName().contains(name))
                    return w;
            return nullptr;
        }
    }
    if (name.isEmpty())
        return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name)
            return top;
        if (QWidget* w = top->findChild<QWidget*>(name))
            return w;
    }
    return nullptr;
}

void TzdDockSite::ToggleCollapsed()
{
    const bool autoSize = m_autoSize;
    m_autoSize = false;
    const int t = Thickness();
    if (t != 0) {
        m_size = t;
        SetThickness(0);
    } else {
        SetThickness(m_size);
    }
    m_autoSize = autoSize;
}

void TzdDockSite::fitToClients()
{
    if (m_autoSize && DockClientCount() == 0)
        SetThickness(0);
}

void TzdDockSite::placeSplitter()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    if (auto* box = qobject_cast<QBoxLayout*>(parent->layout()); box && box->indexOf(this) >= 0) {
        // In a box layout the bar stands right after a left or top site and
        // right before a right or bottom one.
        const bool after = m_align == plat::alLeft || m_align == plat::alTop;
        const int site = box->indexOf(this);
        const int bar = box->indexOf(m_splitter);
        const bool placed = bar >= 0 && (after ? bar == site + 1 : bar == site - 1);
        if (!placed) {
            if (bar >= 0)
                box->removeWidget(m_splitter);
            box->insertWidget(box->indexOf(this) + (after ? 1 : 0), m_splitter);
        }
    }
    if (isVerticalAlign(m_align)) {
        m_splitter->setFixedWidth(kSplitterThickness);
        m_splitter->setMinimumHeight(0);
        m_splitter->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        m_splitter->setFixedHeight(kSplitterThickness);
        m_splitter->setMinimumWidth(0);
        m_splitter->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    if (parent->layout() && parent->layout()->indexOf(m_splitter) >= 0)
        return;
    // Without a layout the bar follows the site by hand.
    const QRect g = geometry();
    switch (m_align) {
    case plat::alTop: m_splitter->setGeometry(g.x(), g.y() + g.height(), g.width(), kSplitterThickness); break;
    case plat::alBottom: m_splitter->setGeometry(g.x(), g.y() - kSplitterThickness, g.width(), kSplitterThickness); break;
    case plat::alRight: m_splitter->setGeometry(g.x() - kSplitterThickness, g.y(), kSplitterThickness, g.height()); break;
    default: m_splitter->setGeometry(g.x() + g.width(), g.y(), kSplitterThickness, g.height()); break;
    }
}

void TzdDockSite::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    placeSplitter();
}

void TzdDockSite::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    placeSplitter();
}

// ------------------------------------------------------------ TzdTBPanel

TzdTBPanel::TzdTBPanel(QWidget* parent)
    : QWidget(parent)
{
    resize(8, 8);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

plat::TAlign TzdTBPanel::Align() const
{
    auto* bar = qobject_cast<QToolBar*>(parentWidget());
    return bar && bar->orientation() == Qt::Vertical ? plat::alTop : plat::alLeft;
}

QSize TzdTBPanel::sizeHint() const
{
    return size();
}

bool TzdTBPanel::event(QEvent* event)
{
    const bool done = QWidget::event(event);
    if (event->type() == QEvent::Resize)
        updateGeometry(); // the toolbar lays its items out by their hints
    return done;
}

// ------------------------------------------------------------ toolbars

void zdSaveToolbarPosition(plat::TCustomIniFile& Settings, QToolBar* ToolBar)
{
    const QString section = toolbarSection(ToolBar);
    const bool floating = ToolBar->isFloating();
    QMainWindow* window = mainWindowOf(ToolBar);
    const QPoint pos = (!floating && window) ? barPosition(window, ToolBar) : ToolBar->pos();
    Settings.WriteBool(section, QStringLiteral("Float"), floating);
    Settings.WriteBool(section, QStringLiteral("Visible"), !ToolBar->isHidden());
    Settings.WriteInteger(section, QStringLiteral("Left"), pos.x());
    Settings.WriteInteger(section, QStringLiteral("Top"), pos.y());
    Settings.WriteInteger(section, QStringLiteral("Width"), ToolBar->width());
    Settings.WriteInteger(section, QStringLiteral("Height"), ToolBar->height());
    if (!floating && window)
        Settings.WriteString(section, QStringLiteral("Dock5"), zd::ControlBarName(window->toolBarArea(ToolBar)));
}

void zdRestoreToolbarPosition(plat::TCustomIniFile& Settings, QToolBar* ToolBar)
{
    const QString section = toolbarSection(ToolBar);
    QMainWindow* window = mainWindowOf(ToolBar);
    const bool floating = ToolBar->isFloating();
    const QPoint current = (!floating && window) ? barPosition(window, ToolBar) : ToolBar->pos();
    const int left = positionOr(Settings.ReadInteger(section, QStringLiteral("Left"), current.x()), current.x());
    const int top = positionOr(Settings.ReadInteger(section, QStringLiteral("Top"), current.y()), current.y());
    const int width = extentOr(Settings.ReadInteger(section, QStringLiteral("Width"), ToolBar->width()), ToolBar->width());
    const int height = extentOr(Settings.ReadInteger(section, QStringLiteral("Height"), ToolBar->height()), ToolBar->height());
    ToolBar->hide();
    if (Settings.ReadBool(section, QStringLiteral("Float"), false)) {
        floatToolBar(ToolBar, QRect(left, top, width, height));
        zd::KeepOnScreen(ToolBar);
    } else if (window) {
        const Qt::ToolBarArea currentArea = floating ? Qt::NoToolBarArea : window->toolBarArea(ToolBar);
        const QString name = Settings.ReadString(section, QStringLiteral("Dock5"), zd::ControlBarName(currentArea));
        const Qt::ToolBarArea area = zd::ControlBarArea(name);
        if (area != Qt::NoToolBarArea && area != currentArea)
            window->addToolBar(area, ToolBar);
        if (!ToolBar->isFloating()) {
            ToolBar->setProperty(kBarPosProperty, QPoint(left, top));
            ToolBar->resize(width, height);
            layoutArea(window, window->toolBarArea(ToolBar), ToolBar, QPoint(left, top));
        } else {
            // Named no bar: it floats on where it was, with the stored bounds.
            ToolBar->setGeometry(left, top, width, height);
            zd::KeepOnScreen(ToolBar);
        }
    } else {
        ToolBar->setGeometry(left, top, width, height);
    }
    ToolBar->setVisible(Settings.ReadBool(section, QStringLiteral("Visible"), true));
}

// ------------------------------------------------------------ dock sites

void zdSaveDockSite(plat::TCustomIniFile& Settings, TzdDockSite* Site)
{
    const QString section = siteSection(Site);
    plat::TMemoryStream stream;
    const QByteArray state = Site->saveState();
    stream.WriteBuffer(state.constData(), state.size());
    Settings.WriteString(section, kData2005, zdStreamToHex(stream));
    Settings.WriteInteger(section, QStringLiteral("Width"), Site->width());
    Settings.WriteInteger(section, QStringLiteral("Height"), Site->height());
    Settings.WriteInteger(section, QStringLiteral("Size"), Site->Size());
}

namespace {

// Loads a saved layout into the site: the tool windows it names come into
// the site first (the layout only arranges a site's own tool windows). A
// layout that is not hex or that Qt refuses changes nothing.
void restoreSiteLayout(TzdDockSite* site, const QString& hex)
{
    const std::optional<QByteArray> state = hexBytes(hex);
    if (!state || state->isEmpty())
        return;
    QWidget* scope = site->HostForm() ? site->HostForm() : site->window();
    QList<QDockWidget*> named;
    QStringList names;
    for (QDockWidget* dock : scope->findChildren<QDockWidget*>()) {
        const QString name = dock->objectName();
        if (name.isEmpty() || !state->contains(streamedName(name)))
            continue;
        auto* found = site->FindDockedControl(name);
        auto* docked = qobject_cast<QDockWidget*>(found);
        if (!docked && found)
            docked = qobject_cast<QDockWidget*>(found->parentWidget());
        if (docked && !named.contains(docked)) {
            named << docked;
            names << docked->objectName();
        }
    }
    for (QDockWidget* dock : site->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        if (!names.contains(dock->objectName()))
            names << dock->objectName();
    if (!layoutAccepted(*state, names))
        return;
    for (QDockWidget* dock : named)
        if (dock->parentWidget() != site)
            site->ManualDock(dock);
    if (!site->restoreState(*state))
        return;
    for (QDockWidget* dock : site->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly))
        if (dock->isFloating())
            zd::KeepOnScreen(dock);
    if (site->DockClientCount() > 0)
        site->Splitter()->show();
}

} // namespace

void zdRestoreDockSite(plat::TCustomIniFile& Settings, TzdDockSite* Site)
{
    const QString section = siteSection(Site);
    restoreSiteLayout(Site, Settings.ReadString(section, kData2005, QString()));
    const bool autoSize = Site->AutoSize();
    Site->SetAutoSize(false);
    const int width = Settings.ReadInteger(section, QStringLiteral("Width"), Site->width());
    const int height = Settings.ReadInteger(section, QStringLiteral("Height"), Site->height());
    const bool vertical = isVerticalAlign(Site->Align());
    // A collapsed site is stored 0 thick; only a negative or huge value is damaged.
    const int thickness = vertical ? width : height;
    if (validExtent(thickness))
        Site->SetThickness(thickness);
    const int other = vertical ? height : width;
    if (validExtent(other))
        vertical ? Site->resize(Site->width(), other) : Site->resize(other, Site->height());
    const int size = Settings.ReadInteger(section, QStringLiteral("Size"), kDefaultSiteSize);
    Site->SetSize(validExtent(size) ? size : kDefaultSiteSize);
    Site->SetAutoSize(autoSize);
}

// ------------------------------------------------------------ forms

void zdSaveFormPosition(plat::TCustomIniFile& Settings, QWidget* Form)
{
    const QString section = formSection(Form);
    Settings.WriteInteger(section, QStringLiteral("Left"), Form->x());
    Settings.WriteInteger(section, QStringLiteral("Top"), Form->y());
    Settings.WriteInteger(section, QStringLiteral("Width"), Form->width());
    Settings.WriteInteger(section, QStringLiteral("Height"), Form->height());
    Settings.WriteBool(section, QStringLiteral("Maximized"), Form->windowState().testFlag(Qt::WindowMaximized));
    Settings.WriteBool(section, QStringLiteral("Visible"), !Form->isHidden());
    QString host;
    if (auto* dock = qobject_cast<QDockWidget*>(Form); dock && !dock->isFloating())
        if (auto* site = dynamic_cast<TzdDockSite*>(dock->parentWidget()))
            host = site->objectName();
    Settings.WriteString(section, QStringLiteral("Dock5"), host);
}

void zdRestoreFormPosition(plat::TCustomIniFile& Settings, QWidget* Form)
{
    const QString section = formSection(Form);
    const bool mdiChild = qobject_cast<QMdiSubWindow*>(Form->parentWidget()) != nullptr;
    if (!mdiChild) {
        if (Settings.ReadBool(section, QStringLiteral("Maximized"), false)) {
            Form->setWindowState(Form->windowState() | Qt::WindowMaximized);
        } else {
            const int left = positionOr(Settings.ReadInteger(section, QStringLiteral("Left"), Form->x()), Form->x());
            const int top = positionOr(Settings.ReadInteger(section, QStringLiteral("Top"), Form->y()), Form->y());
            const int width = extentOr(Settings.ReadInteger(section, QStringLiteral("Width"), Form->width()), Form->width());
            const int height = extentOr(Settings.ReadInteger(section, QStringLiteral("Height"), Form->height()), Form->height());
            Form->move(left, top);
            Form->resize(width, height);
            if (Form->isWindow())
                zd::KeepOnScreen(Form);
        }
    }
    const QString host = Settings.ReadString(section, QStringLiteral("Dock5"), QString());
    if (!host.isEmpty()) {
        QWidget* owner = zd::DockOwner(Form);
        QWidget* target = owner ? (owner->objectName() == host ? owner : owner->findChild<QWidget*>(host)) : nullptr;
        auto* dock = qobject_cast<QDockWidget*>(Form);
        if (auto* site = dynamic_cast<TzdDockSite*>(target); site && dock)
            site->ManualDock(dock);
    }
    if (!isDesignerWindow(Form))
        Form->setVisible(Settings.ReadBool(section, QStringLiteral("Visible"), true));
    // Shown, a window has its frame: it must still reach a screen.
    if (Form->isWindow() && Form->isVisible() && !mdiChild)
        zd::KeepOnScreen(Form);
}
