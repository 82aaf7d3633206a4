#include "zdProgress.h"

#include "Application.h"
#include "zdRes.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int kWidth = 271, kHeight = 101;
constexpr int kMessageTopWithBar = 15, kMessageTopAlone = 35;
constexpr int kCancelText = 2; // "Zrušit"
} // namespace

TzdProgress::TzdProgress(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("zdProgress"));
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    setPalette(QApplication::palette());
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kWidth, kHeight);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    LMessage = new QLabel(Panel1);
    LMessage->setObjectName(QStringLiteral("LMessage"));
    LMessage->setGeometry(16, kMessageTopAlone, 237, 20);
    LMessage->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    LMessage->setFont(font);
    Bar = new QProgressBar(Panel1);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setGeometry(16, 37, 237, 17);
    Bar->setTextVisible(false);
    Bar->setRange(0, 100);
    Bar->setValue(0);
    Bar->hide();
    CancelB = new QPushButton(zdGetResText(kCancelText), Panel1);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    CancelB->setGeometry(100, 64, 75, 25);
    connect(CancelB, &QPushButton::clicked, this, [this] { SetTerminated(true); });
    if (QApplication::isRightToLeft())
        setLayoutDirection(Qt::RightToLeft);
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
    m_activeForm = QApplication::activeWindow();
    if (m_activeForm && m_activeForm != this)
        m_activeForm->setEnabled(false);
}

TzdProgress::~TzdProgress()
{
    enableRemembered();
}

void TzdProgress::enableRemembered()
{
    if (m_activeForm)
        m_activeForm->setEnabled(true);
}

void TzdProgress::Execute(int MaxValue, const QString& Msg, bool ShowCancel, bool ShowBar)
{
    SetTerminated(false);
    CancelB->setVisible(ShowCancel);
    SetShowBar(ShowBar);
    Bar->setMinimum(0);
    Reset();
    Bar->setMaximum(std::max(0, MaxValue));
    SetMessage(Msg);
    show();
    if (m_activeForm) {
        // Wholly on the monitor of the window it stands for.
        if (QScreen* screen = m_activeForm->screen()) {
            const QRect area = screen->availableGeometry();
            QRect r = frameGeometry();
            if (!area.contains(r)) {
                r.moveLeft(std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - r.width())));
                r.moveTop(std::clamp(r.top(), area.top(), std::max(area.top(), area.bottom() - r.height())));
                move(r.topLeft());
            }
        }
    }
    plat::Application().ProcessMessages();
}

void TzdProgress::SetMessage(const QString& Value)
{
    m_message = Value;
    LMessage->setText(Value);
    LMessage->repaint();
}

void TzdProgress::SetPosition(int Value)
{
    m_position = Value;
    Bar->setValue(Value);
    raise();
    plat::Application().ProcessMessages();
}

void TzdProgress::SetShowBar(bool Value)
{
    m_showBar = Value;
    Bar->setVisible(Value);
    LMessage->move(LMessage->x(), Value ? kMessageTopWithBar : kMessageTopAlone);
}

void TzdProgress::SetTerminated(bool Value)
{
    m_terminated = Value;
    if (Value)
        hide();
}

void TzdProgress::hideEvent(QHideEvent* event)
{
    enableRemembered();
    QWidget::hideEvent(event);
}

void TzdProgress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && CancelB->isVisible()) {
        CancelB->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// A press on the window's own surface drags the borderless window.
void TzdProgress::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void TzdProgress::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
    QWidget::mouseMoveEvent(event);
}
