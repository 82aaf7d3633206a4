#pragma once
// The preview window: a toolbar, the preview control and a status bar.
// Every command goes to the preview control; the window applies the
// report's preview options (Init), keeps the buttons in step with the
// preparation (UpdateControls) and shows the page position and the texts
// the prepared pages send while the pointer moves over objects.

#include "zdClass_options.h"

#include <QMainWindow>

#include <map>
#include <memory>

namespace plat {
class TComponent;
}

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolBar;
class QToolButton;
class TzdComboBox;
class TzdCustomExportFilter;
class TzdPreview;
class TzdReport;
class TzdCustomPreviewPages;

class TzdPreviewForm : public QMainWindow {
public:
    explicit TzdPreviewForm(QWidget* parent = nullptr);
    ~TzdPreviewForm() override;

    TzdPreview* Preview() const { return m_preview; }
    // The report refers to its preview window by this component; it goes
    // with the window.
    plat::TComponent* WindowRef() const { return m_windowRef.get(); }
    static TzdPreviewForm* FromWindowRef(plat::TComponent* Ref);
    // Binds the report and its pages and applies the preview options.
    void Init(TzdReport* Report, TzdCustomPreviewPages* Pages);
    void UpdateControls();
    // Panel 1, or panel 2 with LongHint; drawn at once, without letting
    // input events run.
    void SetMessage(const QString& Text, bool LongHint);
    void ShowZoom(long double zoom);
    void SetCloseCaption(const QString& caption);
    void ToggleFindButton();
    void SidePanelsChanged();
    // Whether the window may close now (not while preparing, printing or
    // exporting); refusing cancels the preparation.
    bool CanClose();

    // --- commands of the buttons
    void PrintBClick();
    void OpenBClick();
    void PdfBClick();
    void ZoomPlusBClick();
    void ZoomMinusBClick();
    void ZoomCBClick();
    void PageEEntered();
    void CancelBClick();
    void FullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }
    void CollapseAll(bool collapse);

    // The toolbar's components by name ("PrintB", "Sep1", ...).
    QAction* ActionOf(const QString& name) const;
    QToolButton* Button(const QString& name) const;
    QStatusBar* Status() const { return m_status; }
    QString PanelText(int i) const;

    QToolBar* ToolBar;
    QMenu* ExportPopup;
    QMenu* HiddenMenu;
    QMenu* RightMenu;
    QAction* CollapseMI;
    QAction* ExpandMI;
    QAction* N1;
    TzdComboBox* ZoomCB;
    QLineEdit* PageE;
    QLabel* OfNL;
    TzdCustomExportFilter* PdfFilter = nullptr;
    TzdCustomExportFilter* EmailFilter = nullptr;
    bool FreeOnClose = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* addButton(const QString& name, int image, int caption, int hint, bool toggle = false);
    void addSeparator(const QString& name);
    void setShown(const QString& name, bool shown);
    bool shown(const QString& name) const;
    void buildRightMenu();
    void pageChanged(int page);
    void sizePanels();
    void guard(const std::function<void()>& body);

    TzdPreview* m_preview;
    std::unique_ptr<plat::TComponent> m_windowRef;
    TzdReport* m_report = nullptr;
    QStatusBar* m_status;
    QLabel* m_panels[3];
    std::map<QString, QAction*> m_actions;
    std::map<QToolButton*, QAction*> m_menuItems;
    bool m_fullScreen = false;
    Qt::WindowStates m_savedState;
    bool m_savedFrameless = false;
    bool m_printing = false;
};
