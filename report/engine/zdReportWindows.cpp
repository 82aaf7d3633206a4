#include "zdReportWindows.h"

#include "Application.h"
#include "Modal.h"
#include "zdClass_report.h"
#include "zdInheritError.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdProgress.h"
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
