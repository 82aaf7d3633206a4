#include "Prvky.h"

#include "ClientDataSet.h"
#include "Exceptions.h"
#include "Hlavni_f.h"
#include "Services.h"
#include "SysUtils.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace zd {

namespace {

bool isDigitKey(QChar c) { return (c >= u'0' && c <= u'9') || c == u'.' || c == u'\b'; }

// The platform's key filter: it sees the characters a key types.
class DigitFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!text.isEmpty() && text.at(0) >= u' ' && text.at(0) != QChar(0x7f) && !isDigitKey(text.at(0))) {
                plat::Services().Beep();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

constexpr int kUpDownWidth = 17;

} // namespace

void JenCisliceATecka(QLineEdit* edit) { edit->installEventFilter(new DigitFilter(edit)); }

// ------------------------------------------------------------ TPravidlaKodu

namespace {
constexpr int kNoLimit = 32767;
} // namespace

TPravidlaKodu::TPravidlaKodu(QLineEdit* edit, int maxLength, bool digitsOnly)
    : QValidator(edit), m_edit(edit), m_maxLength(maxLength), m_digitsOnly(digitsOnly), m_shown(edit->text())
{
    edit->setMaxLength(kNoLimit);
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_shown = text; });
    edit->setValidator(this);
}

void TPravidlaKodu::NastavitText(const QString& text)
{
    m_edit->setValidator(nullptr);
    m_edit->setText(text);
    m_edit->setValidator(this);
}

QString TPravidlaKodu::allowed(const QString& text) const
{
    if (!m_digitsOnly)
        return text;
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'.')
            kept += c;
    return kept;
}

bool TPravidlaKodu::Plati(const QString& text) const
{
    return (m_maxLength <= 0 || text.size() <= m_maxLength) && allowed(text) == text;
}

QValidator::State TPravidlaKodu::validate(QString& input, int& pos) const
{
    // What the change put in is what lies between the part it kept at the
    // start and the part it kept at the end of the text shown before.
    const qsizetype kept = std::min(input.size(), m_shown.size());
    qsizetype head = 0;
    while (head < kept && input[head] == m_shown[head])
        ++head;
    qsizetype tail = 0;
    while (tail < kept - head && input[input.size() - 1 - tail] == m_shown[m_shown.size() - 1 - tail])
        ++tail;
    const QString entered = input.mid(head, input.size() - head - tail);
    QString taken = allowed(entered);
    if (taken.size() != entered.size())
        plat::Services().Beep();
    if (m_maxLength > 0)
        taken.truncate(std::max<qsizetype>(0, m_maxLength - head - tail));
    if (taken.size() != entered.size()) {
        input = input.left(head) + taken + input.right(tail);
        pos = int(head + taken.size());
    }
    return Acceptable;
}

// ------------------------------------------------------------ TUpDown

TUpDown::TUpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent)
    : QWidget(parent), m_edit(associate), m_min(min), m_max(max), m_position(position)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("Up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("Down"));
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(kUpDownWidth);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Click(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { Click(false); });
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString& text) { editChanged(text); });
    m_edit->installEventFilter(this);
    SetPosition(position);
}

TUpDown::~TUpDown() = default;

void TUpDown::SetPosition(int position)
{
    m_position = std::clamp(position, m_min, m_max);
    const QString text = QString::number(m_position);
    if (m_edit->text() == text)
        return;
    m_writing = true;
    m_edit->setText(text);
    m_writing = false;
}

void TUpDown::Click(bool up)
{
    // A text the user typed counts from what it shows.
    int value = m_position;
    if (plat::TryStrToInt(m_edit->text(), value))
        value = std::clamp(value, m_min, m_max);
    else
        value = m_position;
    SetPosition(up ? std::min(value + 1, m_max) : std::max(value - 1, m_min));
    if (OnClick)
        OnClick();
}

void TUpDown::editChanged(const QString& text)
{
    if (m_writing)
        return;
    int value = 0;
    if (plat::TryStrToInt(text, value) && value >= m_min && value <= m_max)
        m_position = value;
}

void TUpDown::KontrolaVstupu()
{
    const QString text = m_edit->text();
    if (text.isEmpty()) {
        SetPosition(m_min);
        return;
    }
    SetPosition(plat::StrToInt(text)); // raises the platform's conversion error
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::NoModifier) {
                Click(key->key() == Qt::Key_Up);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && OnExit) {
            OnExit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------ TRadioGroup

TRadioGroup::TRadioGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(0);
}

void TRadioGroup::SetItems(const QStringList& items)
{
    for (QRadioButton* b : m_buttons)
        delete b;
    m_buttons.clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
        b->setFixedHeight(24);
        layout()->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this] {
            if (OnClick)
                OnClick();
        });
        m_buttons.push_back(b);
    }
    setFixedHeight(24 * int(items.size()) + 9);
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (const QRadioButton* b : m_buttons)
        items << b->text();
    return items;
}

int TRadioGroup::ItemIndex() const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->isChecked())
            return int(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < 0 || index >= int(m_buttons.size()))
        return;
    m_buttons[size_t(index)]->setChecked(true);
    if (OnClick)
        OnClick();
}

// ------------------------------------------------------------ helpers

QStringList PolozkyPoli()
{
    QStringList items;
    if (!Hlavni)
        return items;
    const QString captions[] = {Hlavni->Popiska_kod, Hlavni->Popiska_pole1, Hlavni->Popiska_pole2,
                                Hlavni->Popiska_pole3, Hlavni->Popiska_pole4};
    const int count = Hlavni->ClientDataSet1->Active() ? Hlavni->ClientDataSet1->FieldCount() : 0;
    for (int i = 0; i < count; ++i)
        items << (i >= 1 && i <= 5 ? captions[i - 1] : Hlavni->NazevPole(i));
    return items;
}

void Vycentrovat(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - QPoint(window.width() / 2, window.height() / 2));
}

void PevnaVelikost(QWidget& window, int width, int height) { window.setFixedSize(width, height); }

} // namespace zd
