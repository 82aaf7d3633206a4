#pragma once
// The multi-line edit that the text object editors use. Report texts are
// UTF-16 and so is this control throughout: WideText reads and writes the
// text unchanged, whatever characters it holds.

#include <QPlainTextEdit>

class TUnicodeMemo : public QPlainTextEdit {
public:
    explicit TUnicodeMemo(QWidget* Parent = nullptr);
    // Lines are joined with CR LF, as report texts keep them.
    QString WideText() const;
    // An unchanged text does nothing; a new one replaces the text and
    // notifies as an edit would.
    void SetWideText(const QString& Value);
    bool WordWrap() const { return lineWrapMode() != NoWrap; }
    void SetWordWrap(bool Value);
};
