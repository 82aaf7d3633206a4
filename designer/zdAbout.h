#pragma once
// The about box: the report library's name, and the version and maker
// lines the host adds. A click on a web line opens it, on a mail line
// writes to it.

#include <QDialog>

class QLabel;
class QVBoxLayout;

class TzdAboutForm : public QDialog {
public:
    explicit TzdAboutForm(QWidget* Parent = nullptr);
    // A line of the box; tag 1 makes it a web address, tag 2 a mail address.
    QLabel* AddLine(const QString& Text, int Tag = 0);
    // What a click on a line does: tag 1 opens the text, tag 2 mails to it.
    static bool OpenLine(int Tag, const QString& Text);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QVBoxLayout* m_lines;
};
