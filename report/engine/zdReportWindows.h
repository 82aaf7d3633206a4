#pragma once
// The report's windows that live in this layer: the progress window, the
// preview window shown by ShowPrepared and the question about duplicate
// names when a report inherits. startPreviewUnit installs them; tests and
// tools that stay headless do not call it.

#include "zdClass_services.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class TzdPreviewForm;

// One line of text, an optional bar and Cancel; the window that was active
// when it opened is disabled while it is shown.
class TzdProgress : public QWidget {
public:
    explicit TzdProgress(QWidget* parent = nullptr);
    ~TzdProgress() override;

    void Execute(int MaxValue, const QString& Msg, bool ShowCancel, bool ShowBar);
    QString Message() const { return m_message; }
    void SetMessage(const QString& Value);
    int Position() const { return m_position; }
    void SetPosition(int Value);
    void Reset() { SetPosition(0); }
    bool ShowBar() const;
    void SetShowBar(bool Value);
    bool Terminated() const { return m_terminated; }
    void SetTerminated(bool Value);

    QLabel* LMessage;
    QProgressBar* Bar;
    QPushButton* CancelB;

protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void enableRemembered();

    QString m_message;
    int m_position = 0;
    bool m_terminated = false;
    QPointer<QWidget> m_disabled;
    QPoint m_dragFrom;
};

namespace zd {

class PreviewReportWindows : public TzdReportWindows {
public:
    PreviewReportWindows();
    ~PreviewReportWindows() override;

    void OpenProgress(zd::ReportDocument* Report) override;
    void SetProgressMessage(const QString& Text) override;
    bool ProgressCancelled() override;
    void CloseProgress() override;

    plat::TComponent* CreatePreviewWindow(zd::ReportDocument* Report, TzdCustomPreviewPages* Pages,
                                          TzdCustomPreview*& Control) override;
    void ShowPreviewWindow(plat::TComponent* Window, bool Modal, bool Maximized, bool MDIChild) override;
    void ClosePreviewWindow(plat::TComponent* Window) override;
    void SetPreviewMessage(plat::TComponent* Window, const QString& Text, bool SecondPanel) override;

    void ShowDesigner(TzdCustomDesigner* Designer, bool Modal, bool MDIChild) override;
    int AskInheritDuplicates() override;

    // The designer's window belongs to the designer layer, which sets this.
    std::function<void(TzdCustomDesigner*, bool Modal, bool MDIChild)> DesignerShower;

    TzdProgress* Progress() const { return m_progress.get(); }
    // The preview window behind a window reference of the report.
    static TzdPreviewForm* FormOf(plat::TComponent* Window);

private:
    std::unique_ptr<TzdProgress> m_progress;
};

// Installs the windows above (once) and returns them.
PreviewReportWindows* startPreviewUnit();

} // namespace zd
