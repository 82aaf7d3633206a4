#include "zdUnicodeCtrls.h"

TUnicodeMemo::TUnicodeMemo(QWidget* Parent) : QPlainTextEdit(Parent)
{
    setObjectName(QStringLiteral("TextMemo"));
    SetWordWrap(false);
}

QString TUnicodeMemo::WideText() const
{
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TUnicodeMemo::SetWideText(const QString& Value)
{
    if (Value == WideText())
        return;
    QString text = Value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    setPlainText(text);
}

void TUnicodeMemo::SetWordWrap(bool Value)
{
    // Both scroll bars without wrapping, only the vertical one with it.
    setLineWrapMode(Value ? WidgetWidth : NoWrap);
    setHorizontalScrollBarPolicy(Value ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}
