#pragma once
// The watch window: expressions evaluated again at each stop of a paused
// run, each enabled or disabled by its check mark. The designer sets the
// script and whether a run is paused, and hides the window instead of
// closing it.

#include <QWidget>

#include <utility>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QToolButton;
class TzsScript;

class TzdWatchForm : public QWidget {
public:
    explicit TzdWatchForm(QWidget* parent = nullptr);
    ~TzdWatchForm() override;

    // The expressions with their enabled flags.
    std::vector<std::pair<QString, bool>> Watches;
    TzsScript* WatchScript = nullptr;
    bool ScriptPaused = false;

    QListWidget* WatchLB() const { return m_list; }
    void Refresh();
    void AddWatch();
    void EditWatch();
    void DeleteWatch();
    void CopyWatch();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The watch dialog in watch mode; false when cancelled.
    bool editExpression(QString& Expression);
    void itemChanged(QListWidgetItem* Item);

    QToolButton* m_add;
    QToolButton* m_delete;
    QToolButton* m_edit;
    QToolButton* m_copy;
    QListWidget* m_list;
    bool m_refreshing = false;
};
