#include "PlainEdit.h"

#include "Exceptions.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace {
constexpr int kGutterMargin = 4;
}

// The text area: the tab key follows the tab options; the gutter follows
// every scroll and every change of the block count.
class TPlainMemo::Edit : public QPlainTextEdit {
public:
    explicit Edit(TPlainMemo& memo) : QPlainTextEdit(&memo), m_memo(memo) {}

    void setGutterWidth(int width) { setViewportMargins(width, 0, 0, 0); }
    QRectF blockRect(const QTextBlock& block) const
    {
        return blockBoundingGeometry(block).translated(contentOffset());
    }
    using QPlainTextEdit::firstVisibleBlock;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier && !isReadOnly() &&
            m_memo.m_options.contains(eoTabsToSpaces)) {
            QTextCursor cursor = textCursor();
            const int column = cursor.positionInBlock();
            const int width = std::max(1, m_memo.m_tabWidth);
            cursor.insertText(QString(width - column % width, u' '));
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QPlainTextEdit::resizeEvent(event);
        m_memo.updateGutter();
    }

private:
    TPlainMemo& m_memo;
};

class TPlainMemo::Gutter : public QWidget {
public:
    explicit Gutter(TPlainMemo& memo, QWidget* parent) : QWidget(parent), m_memo(memo) {}

protected:
    void paintEvent(QPaintEvent* event) override { m_memo.paintGutter(*this, event); }

private:
    TPlainMemo& m_memo;
};

// ------------------------------------------------------------ lines

int TPlainMemoLines::Count() const
{
    const QTextDocument* doc = m_memo.m_edit->document();
    // An empty text has no lines; a text ending with a line break has no
    // empty last line, as in a string list.
    if (doc->isEmpty())
        return 0;
    const int blocks = doc->blockCount();
    return doc->lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

QString TPlainMemoLines::Strings(int index) const
{
    if (index < 0 || index >= Count())
        throw plat::EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_memo.m_edit->document()->findBlockByNumber(index).text();
}

void TPlainMemoLines::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw plat::EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    QTextDocument* doc = m_memo.m_edit->document();
    const QTextBlock block = doc->findBlockByNumber(index);
    QTextCursor cursor(block);
    // The line with its line break; the last line takes the break before it.
    if (block.next().isValid()) {
        cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    } else if (block.previous().isValid()) {
        cursor.setPosition(block.previous().position() + block.previous().length() - 1);
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void TPlainMemoLines::Clear() { m_memo.Clear(); }

QString TPlainMemoLines::Text() const
{
    QString text;
    const int n = Count();
    for (int i = 0; i < n; ++i)
        text += Strings(i) + QStringLiteral("\r\n");
    return text;
}

void TPlainMemoLines::SetText(const QString& text) { m_memo.SetText(text); }

// ------------------------------------------------------------ memo

TPlainMemo::TPlainMemo(QWidget* parent) : QWidget(parent)
{
    m_edit = new Edit(*this);
    m_edit->setObjectName(QStringLiteral("PlainEdit"));
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_gutter = new Gutter(*this, m_edit);
    m_gutter->setObjectName(QStringLiteral("Gutter"));
    m_gutterFont = font();
    setFocusProxy(m_edit);
    QObject::connect(m_edit, &QPlainTextEdit::blockCountChanged, m_gutter, [this] { updateGutter(); });
    QObject::connect(m_edit, &QPlainTextEdit::updateRequest, m_gutter, [this](const QRect& rect, int dy) {
        if (dy)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    });
    SetTabWidth(m_tabWidth);
    updateGutter();
}

TPlainMemo::~TPlainMemo() = default;

QPlainTextEdit* TPlainMemo::Editor() const { return m_edit; }

QString TPlainMemo::Text() const { return m_edit->toPlainText(); }

void TPlainMemo::SetText(const QString& text)
{
    // Line ends of any platform become the editor's line breaks.
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    m_edit->setPlainText(normal);
}

void TPlainMemo::Clear() { m_edit->clear(); }

void TPlainMemo::SetOptions(TPlainEditOptions options)
{
    m_options = options;
    QTextOption option = m_edit->document()->defaultTextOption();
    QTextOption::Flags flags = option.flags();
    flags.setFlag(QTextOption::ShowTabsAndSpaces, options.contains(eoShowSpecialChars));
    flags.setFlag(QTextOption::ShowLineAndParagraphSeparators, options.contains(eoShowSpecialChars));
    option.setFlags(flags);
    m_edit->document()->setDefaultTextOption(option);
    // Undo steps are grouped by the text widget in any case.
    m_edit->setUndoRedoEnabled(true);
}

void TPlainMemo::SetTabWidth(int width)
{
    m_tabWidth = std::max(1, width);
    m_edit->setTabStopDistance(m_edit->fontMetrics().horizontalAdvance(u' ') * m_tabWidth);
}

void TPlainMemo::SetGutterFont(const QFont& font)
{
    m_gutterFont = font;
    updateGutter();
}

void TPlainMemo::SetShowLineNumbers(bool on)
{
    m_showLineNumbers = on;
    updateGutter();
}

int TPlainMemo::GutterWidth() const
{
    if (!m_showLineNumbers)
        return 0;
    const int digits = std::max(2, int(QString::number(std::max(1, m_edit->blockCount())).size()));
    return QFontMetrics(m_gutterFont).horizontalAdvance(u'9') * digits + 2 * kGutterMargin;
}

void TPlainMemo::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_edit->setFont(font());
        SetTabWidth(m_tabWidth);
    }
}

void TPlainMemo::updateGutter()
{
    if (!m_edit)
        return;
    const int width = GutterWidth();
    m_edit->setGutterWidth(width);
    m_gutter->setVisible(width > 0);
    const QRect area = m_edit->contentsRect();
    m_gutter->setGeometry(area.left(), area.top(), width, area.height());
    m_gutter->update();
}

void TPlainMemo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_edit->setGeometry(rect());
}

void TPlainMemo::paintGutter(QWidget& gutter, QPaintEvent* event)
{
    QPainter painter(&gutter);
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    painter.setFont(m_gutterFont);
    painter.setPen(palette().color(QPalette::ButtonText));
    const int height = QFontMetrics(m_edit->font()).height();
    for (QTextBlock block = m_edit->firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF r = m_edit->blockRect(block);
        if (r.top() > event->rect().bottom())
            break;
        if (block.isVisible() && r.bottom() >= event->rect().top())
            painter.drawText(0, int(r.top()), gutter.width() - kGutterMargin, height, Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(block.blockNumber() + 1));
    }
}
