#include "zdPreviewForm.h"

#include "Application.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdCtrls.h"
#include "zdDock.h"
#include "zdDsgnIntf.h"
#include "zdPreview.h"
#include "zdPreviewLink.h"
#include "zdRes.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <cmath>

namespace {

constexpr int kStatusPanel0Width = 200;
// Items of the zoom list that set a zoom mode instead of a zoom.
constexpr int kZoomItemPageWidth = 6;
constexpr int kZoomItemWholePage = 7;

QIcon previewIcon(int image)
{
    const zd::ImageList& images = zdGetResources()->GetPreviewButtonImages();
    if (image < 0 || image >= images.size())
        return {};
    return QIcon(QPixmap::fromImage(images[image]));
}

QString res(const char* key)
{
    return zdGetResources()->GetText(QString::fromLatin1(key));
}

} // namespace

namespace {

class PreviewFormRef : public plat::TComponent {
public:
    explicit PreviewFormRef(TzdPreviewForm* AForm) : plat::TComponent(nullptr), Form(AForm) {}
    TzdPreviewForm* const Form;
};

} // namespace

TzdPreviewForm* TzdPreviewForm::FromWindowRef(plat::TComponent* Ref)
{
    auto* ref = dynamic_cast<PreviewFormRef*>(Ref);
    return ref ? ref->Form : nullptr;
}

TzdPreviewForm::TzdPreviewForm(QWidget* parent)
    : QMainWindow(parent), m_windowRef(std::make_unique<PreviewFormRef>(this))
{
    setObjectName(QStringLiteral("zdPreviewForm"));
    setWindowTitle(zdGetResText(100));
    resize(803, 584);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    addToolBar(Qt::TopToolBarArea, ToolBar);

    ExportPopup = new QMenu(this);
    ExportPopup->setObjectName(QStringLiteral("ExportPopup"));
    HiddenMenu = new QMenu(this);
    HiddenMenu->setObjectName(QStringLiteral("HiddenMenu"));
    QAction* showTemplate = HiddenMenu->addAction(QStringLiteral("Show template"));
    showTemplate->setObjectName(QStringLiteral("Showtemplate1"));
    connect(showTemplate, &QAction::triggered, this, [this] { guard([this] { m_preview->ShowTemplate(); }); });

    m_preview = new TzdPreview(this);
    m_preview->SetPreviewWindow(this);
    setCentralWidget(m_preview);

    QToolButton* b = addButton(QStringLiteral("PrintB"), 2, 101, 102);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { PrintBClick(); }); });
    b = addButton(QStringLiteral("OpenB"), 0, 103, 104);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { OpenBClick(); }); });
    b = addButton(QStringLiteral("SaveB"), 1, 105, 106);
    b->setMenu(ExportPopup);
    b->setPopupMode(QToolButton::InstantPopup);
    b = addButton(QStringLiteral("PdfB"), 24, 0, 151);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { PdfBClick(); }); });
    b = addButton(QStringLiteral("EmailB"), 23, 0, 152);
    connect(b, &QToolButton::clicked, this,
            [this] { guard([this] { m_preview->ExportPages(EmailFilter); }); });
    b = addButton(QStringLiteral("FindB"), 4, 109, 110, true);
    connect(b, &QToolButton::toggled, this, [this](bool on) { m_preview->SetFindFmVisible(on); });
    addSeparator(QStringLiteral("Sep1"));
    b = addButton(QStringLiteral("ZoomPlusB"), 15, 124, 125);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { ZoomPlusBClick(); }); });

    auto* zoomPanel = new TzdTBPanel(ToolBar);
    zoomPanel->setObjectName(QStringLiteral("Sep3"));
    zoomPanel->setToolTip(zdGetResText(119));
    auto* zoomLayout = new QHBoxLayout(zoomPanel);
    zoomLayout->setContentsMargins(0, 0, 0, 0);
    ZoomCB = new TzdComboBox(zoomPanel);
    ZoomCB->setObjectName(QStringLiteral("ZoomCB"));
    ZoomCB->setFixedWidth(49);
    ZoomCB->SetListWidth(100);
    for (const char* item : {"25%", "50%", "75%", "100%", "150%", "200%"})
        ZoomCB->AddItem(QString::fromLatin1(item));
    ZoomCB->AddItem(res("zmPageWidth"));
    ZoomCB->AddItem(res("zmWholePage"));
    ZoomCB->SetText(QStringLiteral("100%"));
    ZoomCB->OnClick = [this] { guard([this] { ZoomCBClick(); }); };
    ZoomCB->installEventFilter(this);
    if (ZoomCB->lineEdit())
        ZoomCB->lineEdit()->installEventFilter(this);
    zoomLayout->addWidget(ZoomCB);
    m_actions[QStringLiteral("Sep3")] = ToolBar->addWidget(zoomPanel);

    b = addButton(QStringLiteral("ZoomMinusB"), 16, 126, 127);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { ZoomMinusBClick(); }); });
    b = addButton(QStringLiteral("FullScreenBtn"), 22, 0, 150);
    connect(b, &QToolButton::clicked, this, [this] { FullScreen(!m_fullScreen); });
    addSeparator(QStringLiteral("Sep2"));
    b = addButton(QStringLiteral("OutlineB"), 12, 128, 129, true);
    connect(b, &QToolButton::clicked, this, [this](bool on) { m_preview->SetOutlineVisible(on); });
    b = addButton(QStringLiteral("ThumbB"), 5, 130, 131, true);
    connect(b, &QToolButton::clicked, this, [this](bool on) { m_preview->SetThumbnailVisible(on); });
    b = addButton(QStringLiteral("PageSettingsB"), 7, 120, 121);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { m_preview->PageSettings(); }); });
    b = addButton(QStringLiteral("DesignerB"), 21, 132, 133);
    connect(b, &QToolButton::clicked, this, [this] { guard([this] { m_preview->EditCurrentPage(); }); });
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QWidget::customContextMenuRequested, this,
            [this, b](const QPoint&) { HiddenMenu->popup(b->mapToGlobal(QPoint(0, 0))); });
    addSeparator(QStringLiteral("Sep5"));
    b = addButton(QStringLiteral("FirstB"), 8, 134, 135);
    connect(b, &QToolButton::clicked, this, [this] { m_preview->FirstPage(); });
    b = addButton(QStringLiteral("PriorB"), 9, 136, 137);
    connect(b, &QToolButton::clicked, this, [this] { m_preview->PriorPage(); });

    auto* pagePanel = new TzdTBPanel(ToolBar);
    pagePanel->setObjectName(QStringLiteral("Sep4"));
    auto* pageLayout = new QHBoxLayout(pagePanel);
    pageLayout->setContentsMargins(2, 0, 2, 0);
    PageE = new QLineEdit(QStringLiteral("1"), pagePanel);
    PageE->setObjectName(QStringLiteral("PageE"));
    PageE->setFrame(false);
    PageE->setFixedWidth(37);
    PageE->setValidator(new QIntValidator(0, 999999999, PageE));
    PageE->setToolTip(zdGetResText(142));
    PageE->installEventFilter(this);
    OfNL = new QLabel(pagePanel);
    OfNL->setObjectName(QStringLiteral("OfNL"));
    pageLayout->addWidget(PageE);
    pageLayout->addWidget(OfNL);
    m_actions[QStringLiteral("Sep4")] = ToolBar->addWidget(pagePanel);

    b = addButton(QStringLiteral("NextB"), 10, 138, 139);
    connect(b, &QToolButton::clicked, this, [this] { m_preview->NextPage(); });
    b = addButton(QStringLiteral("LastB"), 11, 140, 141);
    connect(b, &QToolButton::clicked, this, [this] { m_preview->LastPage(); });
    auto* spacer = new TzdTBPanel(ToolBar);
    spacer->setObjectName(QStringLiteral("zdTBPanel1"));
    spacer->setFixedWidth(35);
    m_actions[QStringLiteral("zdTBPanel1")] = ToolBar->addWidget(spacer);
    auto* cancel = new QToolButton(ToolBar);
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setText(res("clClose"));
    cancel->setFixedWidth(68);
    cancel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(cancel, &QToolButton::clicked, this, [this] { guard([this] { CancelBClick(); }); });
    m_actions[QStringLiteral("CancelB")] = ToolBar->addWidget(cancel);

    RightMenu = new QMenu(this);
    RightMenu->setObjectName(QStringLiteral("RightMenu"));
    CollapseMI = RightMenu->addAction(previewIcon(13), zdGetResText(601));
    CollapseMI->setObjectName(QStringLiteral("CollapseMI"));
    connect(CollapseMI, &QAction::triggered, this, [this] { guard([this] { CollapseAll(true); }); });
    ExpandMI = RightMenu->addAction(previewIcon(14), zdGetResText(600));
    ExpandMI->setObjectName(QStringLiteral("ExpandMI"));
    connect(ExpandMI, &QAction::triggered, this, [this] { guard([this] { CollapseAll(false); }); });
    N1 = RightMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    m_preview->Workspace()->viewport()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_preview->Workspace()->viewport(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { RightMenu->popup(m_preview->Workspace()->viewport()->mapToGlobal(p)); });

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar"));
    m_status->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(m_status);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        // Panels 1 and 2 share what panel 0 leaves, equally.
        m_panels[i]->setMinimumWidth(0);
        m_panels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_status->addWidget(m_panels[i], i == 0 ? 0 : 1);
    }
    if (QGuiApplication::primaryScreen() && QGuiApplication::primaryScreen()->logicalDotsPerInch() > 96)
        m_status->setFixedHeight(24);
    setStatusBar(m_status);
    sizePanels();

    m_preview->OnPageChanged = [this](TzdPreview*, int page) { pageChanged(page); };
    m_preview->OnDblClick = [this] {
        if (m_fullScreen)
            FullScreen(false);
    };
    m_preview->Workspace()->setFocus();
    installEventFilter(this);
}

TzdPreviewForm::~TzdPreviewForm()
{
    // The control goes with the window; it must not call back into it,
    // and the report must not keep a reference to either.
    m_preview->ReleaseReportLink();
    m_preview->SetPreviewWindow(nullptr);
}

QToolButton* TzdPreviewForm::addButton(const QString& name, int image, int caption, int hint, bool toggle)
{
    auto* b = new QToolButton(ToolBar);
    b->setObjectName(name);
    b->setIcon(previewIcon(image));
    if (caption)
        b->setText(zdGetResText(caption));
    b->setToolTip(zdGetResText(hint));
    b->setCheckable(toggle);
    b->setAutoRaise(true);
    m_actions[name] = ToolBar->addWidget(b);
    return b;
}

void TzdPreviewForm::addSeparator(const QString& name)
{
    QAction* a = ToolBar->addSeparator();
    a->setObjectName(name);
    m_actions[name] = a;
}

QAction* TzdPreviewForm::ActionOf(const QString& name) const
{
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QToolButton* TzdPreviewForm::Button(const QString& name) const
{
    return ToolBar->findChild<QToolButton*>(name);
}

void TzdPreviewForm::setShown(const QString& name, bool value)
{
    if (QAction* a = ActionOf(name))
        a->setVisible(value);
}

bool TzdPreviewForm::shown(const QString& name) const
{
    QAction* a = ActionOf(name);
    return a && a->isVisible();
}

QString TzdPreviewForm::PanelText(int i) const
{
    return m_panels[i]->text();
}

void TzdPreviewForm::guard(const std::function<void()>& body)
{
    plat::Application().Guard(body);
}

// --- set-up

void TzdPreviewForm::Init(TzdReport* Report, TzdCustomPreviewPages* Pages)
{
    m_report = Report;
    m_preview->AttachReport(Report, Pages);
    TzdPreviewOptions defaults;
    TzdPreviewOptions* options = Report ? Report->PreviewOptions() : &defaults;
    if (options->Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (options->ZoomMode != zmDefault)
        m_preview->SetZoomMode(options->ZoomMode);
    else
        m_preview->SetZoom(options->Zoom);
    const TzdPreviewButtons buttons = options->Buttons;
    Button(QStringLiteral("DesignerB"))->setEnabled(options->AllowEdit);
    // Only the page area lays out from the right; the window's own layout
    // follows the application's reading order.
    if (m_preview->Workspace()->RightToLeft() != TzdPreview::RTLPreview) {
        m_preview->Workspace()->SetRightToLeft(TzdPreview::RTLPreview);
        m_preview->UpdatePages();
    }
    setShown(QStringLiteral("PrintB"), buttons.contains(pbPrint));
    setShown(QStringLiteral("OpenB"), buttons.contains(pbLoad));
    setShown(QStringLiteral("SaveB"), buttons.contains(pbSave) || buttons.contains(pbExport));
    setShown(QStringLiteral("FindB"), buttons.contains(pbFind));
    setShown(QStringLiteral("PdfB"), false);
    setShown(QStringLiteral("EmailB"), false);
    for (const char* name : {"ZoomPlusB", "ZoomMinusB", "Sep3"})
        setShown(QString::fromLatin1(name), buttons.contains(pbZoom));
    setShown(QStringLiteral("FullScreenBtn"), buttons.contains(pbZoom) && !buttons.contains(pbNoFullScreen));
    if (!buttons.contains(pbZoom))
        setShown(QStringLiteral("Sep1"), false);
    setShown(QStringLiteral("OutlineB"), buttons.contains(pbOutline));
    setShown(QStringLiteral("ThumbB"), buttons.contains(pbOutline));
    setShown(QStringLiteral("PageSettingsB"), buttons.contains(pbPageSetup));
    setShown(QStringLiteral("DesignerB"), buttons.contains(pbEdit));
    if (!shown(QStringLiteral("PageSettingsB")) && !shown(QStringLiteral("DesignerB")))
        setShown(QStringLiteral("Sep2"), false);
    for (const char* name : {"FirstB", "PriorB", "NextB", "LastB", "Sep4"})
        setShown(QString::fromLatin1(name), buttons.contains(pbNavigator));
    if (!buttons.contains(pbNavigator))
        setShown(QStringLiteral("Sep5"), false);
    setShown(QStringLiteral("CancelB"), !buttons.contains(pbNoClose));
    ToolBar->setToolButtonStyle(options->ShowCaptions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);

    ExportPopup->clear();
    if (buttons.contains(pbSave)) {
        QAction* save = ExportPopup->addAction(res("clFP3files") + QStringLiteral("..."));
        save->setObjectName(QStringLiteral("SaveMI"));
        connect(save, &QAction::triggered, this, [this] { guard([this] { m_preview->SaveToFile(); }); });
        if (buttons.contains(pbExport))
            ExportPopup->addSeparator();
    }
    TzdExportFilterCollection* filters = zdGetExportFilterRegistry();
    for (int i = 0; filters && i < filters->Count(); ++i) {
        TzdCustomExportFilter* filter = filters->GetItem(i).Filter;
        const QString cls = filter->ClassName();
        if (cls == u"TzdDotMatrixExport")
            continue;
        if (buttons.contains(pbExport) && cls != u"TzdMailExport") {
            QAction* item = ExportPopup->addAction(filter->GetMenuCaption() + QStringLiteral("..."));
            item->setData(i);
            connect(item, &QAction::triggered, this,
                    [this, filter] { guard([this, filter] { m_preview->ExportPages(filter); }); });
        }
        if (cls == u"TzdPDFExport") {
            PdfFilter = filter;
            setShown(QStringLiteral("PdfB"), buttons.contains(pbExportQuick));
        }
        if (!buttons.contains(pbNoEmail) && cls == u"TzdMailExport") {
            EmailFilter = filter;
            setShown(QStringLiteral("EmailB"), buttons.contains(pbExportQuick));
        }
    }
    if (Report && !Report->ReportOptions()->Name.isEmpty())
        setWindowTitle(Report->ReportOptions()->Name);
    buildRightMenu();
    if (layoutDirection() == Qt::RightToLeft)
        m_preview->setLayoutDirection(Qt::RightToLeft);
    UpdateControls();
    SidePanelsChanged();
}

void TzdPreviewForm::buildRightMenu()
{
    // One item per visible, non-toggle button with a hint, in toolbar order,
    // up to the second separator.
    while (RightMenu->actions().size() > 3)
        RightMenu->removeAction(RightMenu->actions().last());
    m_menuItems.clear();
    int separators = 0;
    for (QAction* a : ToolBar->actions()) {
        if (a->isSeparator()) {
            if (++separators == 2)
                break;
            RightMenu->addSeparator();
            continue;
        }
        auto* b = qobject_cast<QToolButton*>(ToolBar->widgetForAction(a));
        if (!b || b->isCheckable() || !a->isVisible() || b->toolTip().isEmpty() || b->objectName() == u"CancelB")
            continue;
        if (b->menu()) {
            QMenu* sub = RightMenu->addMenu(b->icon(), b->toolTip());
            for (QAction* item : b->menu()->actions()) {
                if (item->isSeparator()) {
                    sub->addSeparator();
                    continue;
                }
                QAction* copy = sub->addAction(item->text());
                copy->setData(item->data());
                connect(copy, &QAction::triggered, item, &QAction::trigger);
            }
            m_menuItems[b] = sub->menuAction();
            continue;
        }
        QAction* item = RightMenu->addAction(b->icon(), b->toolTip());
        item->setObjectName(b->objectName() + QStringLiteral("MI"));
        connect(item, &QAction::triggered, b, &QToolButton::click);
        m_menuItems[b] = item;
    }
}

void TzdPreviewForm::UpdateControls()
{
    const bool running = m_preview->Running();
    const bool pages = m_preview->PageCount() > 0;
    auto enable = [&](const char* name, bool on) {
        QToolButton* b = Button(QString::fromLatin1(name));
        if (!b)
            return;
        b->setEnabled(on);
        if (b->isCheckable() && !on)
            b->setChecked(false);
        if (auto it = m_menuItems.find(b); it != m_menuItems.end())
            it->second->setEnabled(on);
    };
    for (const char* name : {"PrintB", "SaveB", "PdfB", "EmailB", "FindB", "PageSettingsB"})
        enable(name, !running && pages);
    enable("OpenB", !running);
    enable("DesignerB", !running && (!m_report || m_report->PreviewOptions()->AllowEdit));
    bool drill = false;
    if (m_report)
        for (TzdComponent* c : m_report->AllObjects())
            if (auto* h = dynamic_cast<TzdGroupHeader*>(c); h && h->DrillDown)
                drill = true;
    for (QAction* a : {ExpandMI, CollapseMI, N1})
        a->setVisible(!running && drill);
}

// --- status bar

void TzdPreviewForm::pageChanged(int page)
{
    const int count = m_preview->PageCount();
    TzdCustomPreviewPages* pages = m_preview->PreviewPages();
    const bool firstPass = m_preview->Running() && pages && pages->Engine && !pages->Engine->FinalPass;
    if (firstPass) {
        m_panels[0]->setText(res("clFirstPass") + u' ' + QString::number(count));
    } else {
        m_panels[0]->setText(plat::Format(res("clPageOf"), {page, count}));
        OfNL->setText(plat::Format(res("clOf"), {count}));
    }
    PageE->setText(QString::number(page));
}

void TzdPreviewForm::SetMessage(const QString& Text, bool LongHint)
{
    QLabel* panel = m_panels[LongHint ? 2 : 1];
    if (LongHint && Text.isEmpty() && panel->text().isEmpty())
        return;
    panel->setText(Text);
    // Drawn now: pumping events here would let a queued click or close
    // free the page the caller is walking.
    panel->repaint();
}

void TzdPreviewForm::sizePanels()
{
    m_panels[0]->setFixedWidth(kStatusPanel0Width);
}

void TzdPreviewForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    sizePanels();
}

void TzdPreviewForm::ShowZoom(long double zoom)
{
    ZoomCB->SetText(zd::ZoomText(zoom));
}

void TzdPreviewForm::SetCloseCaption(const QString& caption)
{
    if (QToolButton* b = Button(QStringLiteral("CancelB")))
        b->setText(caption);
}

void TzdPreviewForm::ToggleFindButton()
{
    QToolButton* b = Button(QStringLiteral("FindB"));
    b->setChecked(!b->isChecked());
    m_preview->SetFindFmVisible(b->isChecked());
}

void TzdPreviewForm::SidePanelsChanged()
{
    if (QToolButton* b = Button(QStringLiteral("OutlineB")))
        b->setChecked(m_preview->OutlineVisible());
    if (QToolButton* b = Button(QStringLiteral("ThumbB")))
        b->setChecked(m_preview->ThumbnailVisible());
    if (QToolButton* b = Button(QStringLiteral("FindB")))
        b->setChecked(m_preview->FindFmVisible());
}

// --- commands

void TzdPreviewForm::PrintBClick()
{
    m_preview->PrintPages();
    setEnabled(true);
}

void TzdPreviewForm::OpenBClick()
{
    m_preview->LoadFromFile();
    const QString name = m_report ? m_report->ReportOptions()->Name : QString();
    setWindowTitle(name.isEmpty() ? zdGetResText(100) : name);
}

void TzdPreviewForm::PdfBClick()
{
    m_preview->ExportPages(PdfFilter);
}

void TzdPreviewForm::ZoomPlusBClick()
{
    m_preview->SetZoom(m_preview->Zoom() + zd::kButtonZoomStep);
    ZoomCB->SetText(zd::ZoomText(m_preview->Zoom()));
    ZoomCBClick();
}

void TzdPreviewForm::ZoomMinusBClick()
{
    m_preview->SetZoom(m_preview->Zoom() - zd::kButtonZoomStep);
    ZoomCB->SetText(zd::ZoomText(m_preview->Zoom()));
    ZoomCBClick();
}

void TzdPreviewForm::ZoomCBClick()
{
    m_preview->PinPage(m_preview->PageNo());
    const int index = ZoomCB->currentIndex();
    const QString text = ZoomCB->Text();
    if (index == kZoomItemPageWidth && text == ZoomCB->itemText(index)) {
        m_preview->SetZoomMode(zmPageWidth);
    } else if (index == kZoomItemWholePage && text == ZoomCB->itemText(index)) {
        m_preview->SetZoomMode(zmWholePage);
    } else if (auto zoom = zd::ParseZoomText(text)) {
        m_preview->SetZoom(*zoom);
    }
    // The list shows the zoom reached, the pinned page comes back.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ZoomCB->SetText(zd::ZoomText(m_preview->Zoom()));
            const int pinned = m_preview->PinnedPage();
            m_preview->PinPage(-1);
            if (pinned > 0)
                m_preview->SetPageNo(pinned);
        },
        Qt::QueuedConnection);
}

void TzdPreviewForm::PageEEntered()
{
    bool ok = false;
    const int page = PageE->text().toInt(&ok);
    if (ok)
        m_preview->SetPageNo(page);
    m_preview->Workspace()->setFocus();
}

void TzdPreviewForm::CancelBClick()
{
    if (m_preview->Running()) {
        m_preview->CancelPrepare();
        return;
    }
    close();
}

bool TzdPreviewForm::CanClose()
{
    if (m_preview->Running() || m_preview->Busy()) {
        m_preview->CancelPrepare();
        return false;
    }
    return true;
}

void TzdPreviewForm::closeEvent(QCloseEvent* event)
{
    if (!CanClose()) {
        event->ignore();
        return;
    }
    if (FreeOnClose)
        setAttribute(Qt::WA_DeleteOnClose);
    QMainWindow::closeEvent(event);
}

void TzdPreviewForm::FullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    if (on) {
        m_savedState = windowState();
        m_savedFrameless = windowFlags() & Qt::FramelessWindowHint;
        m_status->hide();
        ToolBar->hide();
        setWindowState(Qt::WindowFullScreen);
    } else {
        setWindowState(m_savedState);
        m_status->show();
        ToolBar->show();
    }
}

void TzdPreviewForm::CollapseAll(bool collapse)
{
    if (!m_report)
        return;
    m_preview->Lock();
    for (TzdComponent* c : m_report->AllObjects())
        if (auto* h = dynamic_cast<TzdGroupHeader*>(c); h && h->DrillDown)
            h->ExpandDrillDown = !collapse;
    m_preview->ToggledDrillNames().clear();
    m_preview->Reprepare();
    if (collapse)
        m_preview->ScrollToPosition(1, 0);
}

// --- keys

void TzdPreviewForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        guard([this] { CancelBClick(); });
        return;
    case Qt::Key_F11:
        FullScreen(!m_fullScreen);
        return;
    case Qt::Key_F1:
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdPreviewForm"));
        return;
    default:
        break;
    }
    if (!m_preview->HandleKey(event->key(), event->modifiers()))
        QMainWindow::keyPressEvent(event);
}

bool TzdPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (watched == ZoomCB || watched == ZoomCB->lineEdit())) {
            guard([this] { ZoomCBClick(); });
            return true;
        }
        if (enter && watched == PageE) {
            guard([this] { PageEEntered(); });
            return true;
        }
        if (key->key() == Qt::Key_Escape && watched != this) {
            guard([this] { CancelBClick(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
