#pragma once
// The small borderless window shown while a report prints or exports (and
// prepares, when the report asks for old-style progress): one line of
// text, an optional bar and Cancel. While it is up, the window that was
// active when it was made is disabled; the report pumps events between its
// steps so that it repaints and Cancel works.

#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

class TzdProgress : public QWidget {
public:
    explicit TzdProgress(QWidget* parent = nullptr);
    ~TzdProgress() override;

    void Execute(int MaxValue, const QString& Msg, bool ShowCancel, bool ShowBar);

    const QString& Message() const { return m_message; }
    void SetMessage(const QString& Value);
    int Position() const { return m_position; }
    void SetPosition(int Value);
    void Reset() { SetPosition(0); }
    bool ShowBar() const { return m_showBar; }
    void SetShowBar(bool Value);
    bool Terminated() const { return m_terminated; }
    void SetTerminated(bool Value);

    QFrame* Panel1;
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
    bool m_showBar = false;
    bool m_terminated = false;
    // The window that was active at creation, disabled while this one shows.
    QPointer<QWidget> m_activeForm;
    QPoint m_dragOffset;
};
