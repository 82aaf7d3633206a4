#include "zdReportWindows.h"

#include "Application.h"
#include "Modal.h"
#include "zdClass_report.h"
#include "zdInheritError.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdRes.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------
// The progress window

namespace {

constexpr int kLabelTopWithBar = 15, kLabelTopAlone = 35;

} // namespace

TzdProgress::TzdProgress(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("zdProgress"));
    setFixedSize(271, 101);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(0, 0, 271, 101);
    LMessage = new QLabel(panel);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    LMessage->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    LMessage->setGeometry(16, kLabelTopAlone, 237, 20);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    LMessage->setFont(font);
    Bar = new QProgressBar(panel);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setGeometry(16, 37, 237, 17);
    Bar->setRange(0, 100);
    Bar->setValue(0);
    Bar->setTextVisible(false);
    CancelB = new QPushButton(zdGetResText(2), panel);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setGeometry(100, 64, 75, 25);
    connect(CancelB, &QPushButton::clicked, this, [this] { SetTerminated(true); });
    if (QGuiApplication::layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            w->move(panel->width() - w->x() - w->width(), w->y());
    // Nothing but watching or cancelling while the work runs.
    m_disabled = QApplication::activeWindow();
    if (m_disabled)
        m_disabled->setEnabled(false);
}

TzdProgress::~TzdProgress()
{
    enableRemembered();
}

void TzdProgress::enableRemembered()
{
    if (m_disabled)
        m_disabled->setEnabled(true);
}

void TzdProgress::Execute(int MaxValue, const QString& Msg, bool ShowCancel, bool ShowBar)
{
    SetTerminated(false);
    CancelB->setVisible(ShowCancel);
    SetShowBar(ShowBar);
    Bar->setMinimum(0);
    Reset();
    Bar->setMaximum(MaxValue);
    SetMessage(Msg);
    QScreen* screen = m_disabled ? m_disabled->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    show();
    plat::Application().ProcessMessages();
}

void TzdProgress::SetMessage(const QString& Value)
{
    m_message = Value;
    LMessage->setText(Value);
    LMessage->repaint();
}

void TzdProgress::SetPosition(int Value)
{
    m_position = Value;
    Bar->setValue(Value);
    raise();
    plat::Application().ProcessMessages();
}

bool TzdProgress::ShowBar() const
{
    return !Bar->isHidden();
}

void TzdProgress::SetShowBar(bool Value)
{
    Bar->setVisible(Value);
    LMessage->move(LMessage->x(), Value ? kLabelTopWithBar : kLabelTopAlone);
}

void TzdProgress::SetTerminated(bool Value)
{
    m_terminated = Value;
    if (Value)
        hide();
}

void TzdProgress::hideEvent(QHideEvent* event)
{
    enableRemembered();
    QWidget::hideEvent(event);
}

void TzdProgress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && CancelB->isVisible()) {
        CancelB->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The window has no caption bar: a press on its own surface drags it.
void TzdProgress::mousePressEvent(QMouseEvent* event)
{
    m_dragFrom = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void TzdProgress::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragFrom);
    QWidget::mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------
// The windows service

zd::PreviewReportWindows::PreviewReportWindows() = default;

zd::PreviewReportWindows::~PreviewReportWindows() = default;

void zd::PreviewReportWindows::OpenProgress(zd::ReportDocument*)
{
    m_progress = std::make_unique<TzdProgress>();
    m_progress->Execute(0, QString(), true, false);
}

void zd::PreviewReportWindows::SetProgressMessage(const QString& Text)
{
    if (m_progress)
        m_progress->SetMessage(Text);
}

bool zd::PreviewReportWindows::ProgressCancelled()
{
    return m_progress && m_progress->Terminated();
}

void zd::PreviewReportWindows::CloseProgress()
{
    m_progress.reset();
}

TzdPreviewForm* zd::PreviewReportWindows::FormOf(plat::TComponent* Window)
{
    return TzdPreviewForm::FromWindowRef(Window);
}

plat::TComponent* zd::PreviewReportWindows::CreatePreviewWindow(zd::ReportDocument* Report,
                                                                 TzdCustomPreviewPages* Pages,
                                                                 TzdCustomPreview*& Control)
{
    auto* form = new TzdPreviewForm();
    form->Init(Report ? Report->Report() : nullptr, Pages);
    Control = form->Preview()->Service();
    Control->PreviewForm = form->WindowRef();
    return form->WindowRef();
}

void zd::PreviewReportWindows::ShowPreviewWindow(plat::TComponent* Window, bool Modal, bool Maximized, bool)
{
    TzdPreviewForm* form = FormOf(Window);
    if (!form)
        return;
    // A maximized window keeps its designed place; any other is centred.
    if (!Maximized)
        if (QScreen* screen = QGuiApplication::primaryScreen())
            form->move(screen->availableGeometry().center() - form->rect().center());
    if (!Modal) {
        form->FreeOnClose = true;
        form->show();
        return;
    }
    // The modal loop runs through the platform's runner: the window sits in
    // a dialog that ends when the window closes.
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("zdPreviewDialog"));
    dialog.setWindowTitle(form->windowTitle());
    dialog.resize(form->size());
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    form->setParent(&dialog, Qt::Widget);
    layout->addWidget(form);
    struct CloseWatch : QObject {
        QDialog* dialog;
        explicit CloseWatch(QDialog* d) : dialog(d) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Hide && dialog->isVisible())
                dialog->done(QDialog::Rejected);
            return false;
        }
    } watch(&dialog);
    form->installEventFilter(&watch);
    plat::ExecModal(dialog);
    form->removeEventFilter(&watch);
    delete form;
}

void zd::PreviewReportWindows::ClosePreviewWindow(plat::TComponent* Window)
{
    if (TzdPreviewForm* form = FormOf(Window))
        form->close();
}

void zd::PreviewReportWindows::SetPreviewMessage(plat::TComponent* Window, const QString& Text, bool SecondPanel)
{
    if (TzdPreviewForm* form = FormOf(Window))
        form->SetMessage(Text, SecondPanel);
}

void zd::PreviewReportWindows::ShowDesigner(TzdCustomDesigner* Designer, bool Modal, bool MDIChild)
{
    if (DesignerShower)
        DesignerShower(Designer, Modal, MDIChild);
}

int zd::PreviewReportWindows::AskInheritDuplicates()
{
    TzdInheritErrorForm form(QApplication::activeWindow());
    if (plat::ExecModal(form) != QDialog::Accepted)
        return 0;
    return form.DeleteRB->isChecked() ? 1 : 2;
}

zd::PreviewReportWindows* zd::startPreviewUnit()
{
    static PreviewReportWindows windows;
    zdSetReportWindows(&windows);
    return &windows;
}
