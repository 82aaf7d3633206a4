#include "zdEvaluate.h"

#include "Exceptions.h"
#include "Variant.h"
#include "zdRes.h"
#include "zs_script.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zd {

namespace {
const char* const kNotAccessible = "not accessible";
} // namespace

QString FormatWatchValue(TzsScript* Script, const QString& Expression)
{
    if (!Script)
        return QString::fromLatin1(kNotAccessible);
    try {
        const plat::Variant v = Script->Evaluate(Expression);
        if (Script->EvaluateFailed)
            return v.isString() ? v.rawString() : plat::VarToStr(v);
        if (v.isNull())
            return QStringLiteral("Null");
        if (v.type() == plat::varBoolean)
            return v.toBoolean() ? QStringLiteral("True") : QStringLiteral("False");
        if (v.isString())
            return u'\'' + v.rawString() + u'\'';
        return plat::VarToStr(v);
    } catch (const plat::Exception& e) {
        return e.message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
}

} // namespace zd

TzdEvaluateForm::TzdEvaluateForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdEvaluateForm"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    setFixedSize(281, 163);
    setWindowTitle(zdGetResText(5500));
    m_label1 = new QLabel(zdGetResText(5501), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->move(4, 4);
    m_expression = new QLineEdit(this);
    m_expression->setObjectName(QStringLiteral("ExpressionE"));
    m_expression->setGeometry(4, 20, 273, 21);
    m_expression->installEventFilter(this);
    m_label2 = new QLabel(zdGetResText(5502), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->move(4, 52);
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("ResultM"));
    m_result->setGeometry(4, 68, 273, 89);
    m_result->setReadOnly(true);
    m_ok = new QPushButton(zdGetResText(1), this);
    m_ok->setObjectName(QStringLiteral("OkB"));
    m_ok->setGeometry(120, 56, 75, 25);
    m_ok->setDefault(true);
    m_ok->hide();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel = new QPushButton(zdGetResText(2), this);
    m_cancel->setObjectName(QStringLiteral("CancelB"));
    m_cancel->setGeometry(200, 56, 75, 25);
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
}

TzdEvaluateForm::~TzdEvaluateForm() = default;

void TzdEvaluateForm::showEvent(QShowEvent* event)
{
    m_expression->selectAll();
    m_result->clear();
    if (IsWatchMode) {
        m_ok->show();
        m_cancel->show();
        m_result->hide();
        m_label2->hide();
        setFixedHeight(m_ok->geometry().bottom() + 1 + 4);
    }
    QDialog::showEvent(event);
}

void TzdEvaluateForm::Evaluate()
{
    m_result->setPlainText(zd::FormatWatchValue(Script, m_expression->text()));
    m_expression->selectAll();
}

bool TzdEvaluateForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_expression && event->type() == QEvent::KeyPress && !IsWatchMode) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Evaluate();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TzdEvaluateForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
