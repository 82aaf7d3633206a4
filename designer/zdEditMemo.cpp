#include "zdEditMemo.h"

#include "zdEditFormat.h"

#include "IniFiles.h"
#include "zdClass_memo.h"
#include "zdClass_report.h"
#include "zdDlgUtils.h"
#include "zdEditExpr.h"
#include "zdEditHighlight.h"
#include "zdUnicodeCtrls.h"

#include <QKeyEvent>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

using zd::dlg::res;

TzdMemoEditorForm::TzdMemoEditorForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("TzdMemoEditorForm"));
    setProperty("className", QStringLiteral("TzdMemoEditorForm"));
    setWindowTitle(res(3900, "Memo"));
    setMinimumSize(520, 352);
    auto* layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(m_pages, 1);

    auto* textTS = new QWidget;
    textTS->setObjectName(QStringLiteral("TextTS"));
    auto* tl = new QVBoxLayout(textTS);
    auto* bar = new QToolBar(textTS);
    bar->setObjectName(QStringLiteral("ToolBar"));
    QAction* expr = bar->addAction(QStringLiteral("Σ"));
    expr->setObjectName(QStringLiteral("ExprB"));
    expr->setToolTip(res(3901, "Vložit výraz"));
    m_aggregate = bar->addAction(QStringLiteral("∑"));
    m_aggregate->setObjectName(QStringLiteral("AggregateB"));
    m_aggregate->setToolTip(res(3902, "Vložit agregátní proměnnou"));
    m_aggregate->setVisible(false);
    m_wordWrap = bar->addAction(QStringLiteral("↵"));
    m_wordWrap->setObjectName(QStringLiteral("WordWrapB"));
    m_wordWrap->setToolTip(res(3904, "Zalamování slov"));
    m_wordWrap->setCheckable(true);
    tl->addWidget(bar);
    m_memo = new TUnicodeMemo(textTS);
    m_memo->installEventFilter(this);
    tl->addWidget(m_memo, 1);
    m_pages->addTab(textTS, res(3905, "Text"));

    auto* highlightTS = new QWidget;
    highlightTS->setObjectName(QStringLiteral("HighlightTS"));
    m_pages->addTab(highlightTS, res(3907, "Highlight"));
    m_highlight = new TzdHighlightEditorForm(this);
    m_highlight->EmbedIn(highlightTS);
    m_highlight->EditExpression = [this](const QString& e) { return editExpression(e); };
    // The display formats of the memo take the second tab once it is known.
    // Its own buttons stay in its own window, away from this one's.
    m_format = std::make_unique<TzdFormatEditorForm>();

    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));

    connect(expr, &QAction::triggered, this, [this] { zd::dlg::guard([this] { InsertExpression(); }); });
    connect(m_aggregate, &QAction::triggered, this, [this] {
        zd::dlg::guard([this] {
            if (!EditAggregate)
                return;
            if (const auto text = EditAggregate())
                m_memo->insertPlainText(*text);
        });
    });
    connect(m_wordWrap, &QAction::toggled, this, [this](bool on) { SetWordWrap(on); });
}

TzdMemoEditorForm::~TzdMemoEditorForm() = default;

void TzdMemoEditorForm::SetMemo(TzdCustomMemoView* Memo, const QString& Text)
{
    m_object = Memo;
    // Texts are wide whatever the font's character set: an 8-bit round trip
    // would lose the characters outside the code page.
    m_memo->SetWideText(Text);
    m_memo->moveCursor(QTextCursor::Start);
    m_memo->ensureCursorVisible();
    m_highlight->SetMemo(Memo);
    if (Memo) {
        m_format->SetMemo(Memo);
        m_format->EmbedIn(m_pages, res(3906, "Format"), 1);
    }
    m_aggregate->setVisible(bool(EditAggregate));
    m_editedText = Text;
}

TzdReport* TzdMemoEditorForm::report() const
{
    return m_object ? m_object->GetReport() : nullptr;
}

QString TzdMemoEditorForm::editExpression(const QString& Expression)
{
    return EditExpression ? EditExpression(Expression) : zd::editExpressionDialog(this, Expression, report());
}

void TzdMemoEditorForm::InsertExpression()
{
    const QString result = editExpression(QString());
    if (result.isEmpty())
        return;
    const QString delimiters = m_object ? m_object->ExpressionDelimiters : QStringLiteral("[,]");
    m_memo->insertPlainText(zd::wrapExpression(result, delimiters));
}

void TzdMemoEditorForm::SetWordWrap(bool Value)
{
    if (m_wordWrap->isChecked() != Value) {
        m_wordWrap->setChecked(Value);
        return;
    }
    m_memo->SetWordWrap(Value);
}

void TzdMemoEditorForm::setVisible(bool Visible)
{
    // The place and the word wrap come back before the window shows.
    if (Visible && !isVisible() && !m_placing) {
        m_placing = true;
        zd::dlg::restoreDialogPlace(this, report(), [this](plat::TCustomIniFile& Settings, const QString& Section) {
            SetWordWrap(Settings.ReadBool(Section, QStringLiteral("WordWrap"), false));
        });
        m_placing = false;
    }
    QDialog::setVisible(Visible);
}

void TzdMemoEditorForm::done(int Result)
{
    if (isVisible())
        zd::dlg::saveDialogPlace(this, report(), [this](plat::TCustomIniFile& Settings, const QString& Section) {
            Settings.WriteBool(Section, QStringLiteral("WordWrap"), m_wordWrap->isChecked());
        });
    m_editedText = m_memo->WideText();
    m_highlight->Finish(Result);
    m_format->Finish(Result);
    QDialog::done(Result);
}

bool TzdMemoEditorForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_memo && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
        if (ctrl && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        if (ctrl && key->key() == Qt::Key_A) {
            m_memo->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
