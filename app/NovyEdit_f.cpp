#include "NovyEdit_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "Modal.h"
#include "Prvky.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kWidth = 521;
constexpr int kHeight = 340;
constexpr int kFieldSize = 50;
constexpr int kNoLimit = 32767;

QString u8(const char* s) { return QString::fromUtf8(s); }

} // namespace

const QString& TNovyEdit::NovyZaznam()
{
    static const QString s = u8("Nový záznam");
    return s;
}

const QString& TNovyEdit::EditaceZaznamu()
{
    static const QString s = u8("Editace aktuálního záznamu");
    return s;
}

TNovyEdit::TNovyEdit(THlavni* hlavni, const QString& caption) : QDialog(hlavni), m_hlavni(hlavni)
{
    setObjectName(QStringLiteral("NovyEdit"));
    setWindowTitle(caption);
    zd::PevnaVelikost(*this, kWidth, kHeight);

    auto label = [this](const char* name, const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(x, y, w, 21);
        return l;
    };
    auto edit = [this](const char* name, int x, int y, int w, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(x, y, w, 23);
        e->setMaxLength(maxLength);
        return e;
    };

    Popiska_ID = label("Popiska_ID", QStringLiteral("ID"), 16, 56, 120);
    Pole_ID = label("Pole_ID", {}, 140, 56, 120);
    Popiska_kod = label("Popiska_kod", hlavni->Popiska_kod, 16, 88, 120);
    // FormCreate: the code's limits (a length of 0 or less from the settings
    // file means no limit, as it did for the platform's edits).
    Ed_kod = edit("Ed_kod", 140, 86, 160, kNoLimit);
    PravidlaKodu = new zd::TPravidlaKodu(Ed_kod, hlavni->MaxDelka, hlavni->PouzeCisla);
    La_Info = label("La_Info",
                    QStringLiteral("(Max. %1 znaků%2)")
                        .arg(hlavni->MaxDelka)
                        .arg(hlavni->PouzeCisla ? u8(", pouze čísla") : QString()),
                    308, 88, kWidth - 316);
    const QString captions[] = {hlavni->Popiska_pole1, hlavni->Popiska_pole2, hlavni->Popiska_pole3,
                                hlavni->Popiska_pole4};
    QLabel** labels[] = {&Popiska_pole1, &Popiska_pole2, &Popiska_pole3, &Popiska_pole4};
    QLineEdit** edits[] = {&Ed_pole1, &Ed_pole2, &Ed_pole3, &Ed_pole4};
    for (int i = 0; i < 4; ++i) {
        const int y = 124 + 34 * i;
        *labels[i] = label(QStringLiteral("Popiska_pole%1").arg(i + 1).toLatin1().constData(), captions[i], 16, y + 2, 120);
        *edits[i] = edit(QStringLiteral("Ed_pole%1").arg(i + 1).toLatin1().constData(), 140, y, 360, kFieldSize);
    }
    Pocitadlo = label("Pocitadlo", QStringLiteral("0 z 0"), 400, 16, 110);
    Pocitadlo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setGeometry(8, 8, 200, 30);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFocusPolicy(Qt::TabFocus);
    struct ButtonDef {
        QToolButton* TNovyEdit::*member;
        const char* name;
        const char* hint;
        QAction* THlavni::*action;
        void (TNovyEdit::*click)();
    };
    const ButtonDef buttons[] = {
        {&TNovyEdit::TB_PrvniZaznam, "TB_PrvniZaznam", "První záznam (Shift+Home)", &THlavni::Akce_PrvniZaznam,
         &TNovyEdit::TB_PrvniZaznamClick},
        {&TNovyEdit::TB_PredchazejiciZaznam, "TB_PredchazejiciZaznam", "Předcházející záznam (Shift+<)",
         &THlavni::Akce_PredchazejiciZaznam, &TNovyEdit::TB_PredchazejiciZaznamClick},
        {&TNovyEdit::TB_NasledujiciZaznam, "TB_NasledujiciZaznam", "Následující záznam (Shift+>)",
         &THlavni::Akce_NasledujiciZaznam, &TNovyEdit::TB_NasledujiciZaznamClick},
        {&TNovyEdit::TB_PosledniZaznam, "TB_PosledniZaznam", "Poslední záznam (Shift+End)",
         &THlavni::Akce_PosledniZaznam, &TNovyEdit::TB_PosledniZaznamClick},
        {&TNovyEdit::TB_NovyZaznam, "TB_NovyZaznam", "Nový záznam (Ins)", &THlavni::Akce_NovyZaznam,
         &TNovyEdit::TB_NovyZaznamClick},
    };
    for (const ButtonDef& def : buttons) {
        if (def.member == &TNovyEdit::TB_NovyZaznam)
            ToolBar1->addSeparator();
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setToolTip(u8(def.hint));
        b->setIcon((hlavni->*def.action)->icon());
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        ToolBar1->addWidget(b);
        const auto click = def.click;
        connect(b, &QToolButton::clicked, this, [this, click] { plat::Application().Guard([&] { (this->*click)(); }); });
        this->*def.member = b;
    }

    Tl_OK = new QPushButton(QStringLiteral("OK"), this);
    Tl_OK->setObjectName(QStringLiteral("Tl_OK"));
    Tl_OK->setGeometry(kWidth - 184, kHeight - 42, 80, 27);
    Tl_OK->setDefault(true);
    Tl_Storno = new QPushButton(QStringLiteral("Storno"), this);
    Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
    Tl_Storno->setGeometry(kWidth - 96, kHeight - 42, 80, 27);
    connect(Tl_OK, &QPushButton::clicked, this, [this] { plat::Application().Guard([this] { Tl_OKClick(); }); });
    connect(Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(Ed_kod, Ed_pole1);
    setTabOrder(Ed_pole1, ToolBar1);
    setTabOrder(ToolBar1, Ed_pole2);
    setTabOrder(Ed_pole2, Ed_pole3);
    setTabOrder(Ed_pole3, Ed_pole4);
    setTabOrder(Ed_pole4, Tl_OK);
    setTabOrder(Tl_OK, Tl_Storno);

    for (QLineEdit* e : {Ed_kod, Ed_pole1, Ed_pole2, Ed_pole3, Ed_pole4})
        connect(e, &QLineEdit::textChanged, this, [this] { Tl_OK->setEnabled(!Ed_kod->text().isEmpty()); });
    // The dialog sees the keys before its controls.
    for (QWidget* w : {static_cast<QWidget*>(Ed_kod), static_cast<QWidget*>(Ed_pole1), static_cast<QWidget*>(Ed_pole2),
                       static_cast<QWidget*>(Ed_pole3), static_cast<QWidget*>(Ed_pole4), static_cast<QWidget*>(ToolBar1),
                       static_cast<QWidget*>(Tl_OK), static_cast<QWidget*>(Tl_Storno)})
        w->installEventFilter(this);
    Tl_OK->setEnabled(false);
    zd::Vycentrovat(*this);
}

TNovyEdit::~TNovyEdit() = default;

bool TNovyEdit::NovyRezim() const { return windowTitle() == NovyZaznam(); }

void TNovyEdit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        plat::Application().Guard([this] { FormShow(); });
    }
}

void TNovyEdit::FormShow()
{
    if (NovyRezim()) {
        for (QToolButton* b : {TB_PrvniZaznam, TB_PredchazejiciZaznam, TB_NasledujiciZaznam, TB_PosledniZaznam})
            b->setEnabled(false);
    } else {
        NacistZaznam();
    }
    Ed_kod->setFocus();
}

void TNovyEdit::NacistZaznam()
{
    const plat::TClientDataSet& table = *m_hlavni->ClientDataSet1;
    Pocitadlo->setText(m_hlavni->CisloZaznamu->text());
    const bool current = table.Active() && table.RecNo() > 0;
    auto value = [&](const char* name) {
        const plat::TField* f = current ? table.FindField(QString::fromLatin1(name)) : nullptr;
        return f ? f->AsString() : QString();
    };
    Pole_ID->setText(value("id"));
    // A stored code is shown whole, also when it breaks the rules for typing.
    PravidlaKodu->NastavitText(value("kod"));
    Ed_pole1->setText(value("pole1"));
    Ed_pole2->setText(value("pole2"));
    Ed_pole3->setText(value("pole3"));
    Ed_pole4->setText(value("pole4"));
    TB_PrvniZaznam->setEnabled(m_hlavni->Akce_PrvniZaznam->isEnabled());
    TB_PredchazejiciZaznam->setEnabled(m_hlavni->Akce_PredchazejiciZaznam->isEnabled());
    TB_NasledujiciZaznam->setEnabled(m_hlavni->Akce_NasledujiciZaznam->isEnabled());
    TB_PosledniZaznam->setEnabled(m_hlavni->Akce_PosledniZaznam->isEnabled());
    Tl_OK->setEnabled(false);
}

bool TNovyEdit::UlozitZaznam()
{
    if (Ed_kod->text().isEmpty())
        return true;
    // Once more before storing: a code the user changed keeps the rules
    // however it got into the edit. A stored code shown unchanged is kept.
    if (Ed_kod->isModified() && !PravidlaKodu->Plati(Ed_kod->text())) {
        ZpravaInfo(u8("Hodnota pole \"") + m_hlavni->Popiska_kod + u8("\" neodpovídá omezení ") + La_Info->text() +
                   QStringLiteral("."));
        Ed_kod->setFocus();
        return false;
    }
    plat::TClientDataSet& table = *m_hlavni->ClientDataSet1;
    const bool novy = NovyRezim();
    try {
        if (novy || table.IsEmpty())
            table.Append();
        else
            table.Edit();
        table.FieldByName(QStringLiteral("kod")).SetAsString(Ed_kod->text());
        table.FieldByName(QStringLiteral("pole1")).SetAsString(Ed_pole1->text());
        table.FieldByName(QStringLiteral("pole2")).SetAsString(Ed_pole2->text());
        table.FieldByName(QStringLiteral("pole3")).SetAsString(Ed_pole3->text());
        table.FieldByName(QStringLiteral("pole4")).SetAsString(Ed_pole4->text());
        table.Post();
    } catch (...) {
        // No half-typed record stays pending in the table.
        table.Cancel();
        throw;
    }
    Tl_OK->setEnabled(false);
    if (novy) {
        setWindowTitle(EditaceZaznamu());
        Pole_ID->setText(table.FieldByName(QStringLiteral("id")).AsString());
    }
    Pocitadlo->setText(m_hlavni->CisloZaznamu->text());
    Ed_kod->setFocus();
    return true;
}

void TNovyEdit::Tl_OKClick() { UlozitZaznam(); }

void TNovyEdit::navigate(QAction* action)
{
    // A refused code stays in the edit to be mended: no move.
    if (!UlozitZaznam())
        return;
    if (action->isEnabled())
        action->trigger();
    NacistZaznam();
    // The record shown is the one "OK" changes from now on; otherwise a
    // further "OK" would add the shown record a second time.
    if (m_hlavni->ClientDataSet1->RecNo() > 0)
        setWindowTitle(EditaceZaznamu());
}

void TNovyEdit::TB_PrvniZaznamClick() { navigate(m_hlavni->Akce_PrvniZaznam); }
void TNovyEdit::TB_PredchazejiciZaznamClick() { navigate(m_hlavni->Akce_PredchazejiciZaznam); }
void TNovyEdit::TB_NasledujiciZaznamClick() { navigate(m_hlavni->Akce_NasledujiciZaznam); }
void TNovyEdit::TB_PosledniZaznamClick() { navigate(m_hlavni->Akce_PosledniZaznam); }

void TNovyEdit::TB_NovyZaznamClick()
{
    if (!UlozitZaznam())
        return;
    setWindowTitle(NovyZaznam());
    Pole_ID->clear();
    Ed_kod->clear();
    Ed_pole1->clear();
    Tl_OK->setEnabled(false);
    Ed_kod->setFocus();
}

bool TNovyEdit::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    // The shortcuts click the buttons whatever their enabled state.
    auto run = [](auto&& handler) {
        plat::Application().Guard(handler);
        return true;
    };
    switch (key) {
    case Qt::Key_Up: focusNextPrevChild(false); return true;
    case Qt::Key_Down: focusNextPrevChild(true); return true;
    case Qt::Key_Insert:
        if (modifiers.testFlag(Qt::ControlModifier))
            return false;
        return run([this] { TB_NovyZaznamClick(); });
    default: break;
    }
    if (!shift)
        return false;
    switch (key) {
    case Qt::Key_Home: return run([this] { TB_PrvniZaznamClick(); });
    case Qt::Key_End: return run([this] { TB_PosledniZaznamClick(); });
    case Qt::Key_Left: return run([this] { TB_PredchazejiciZaznamClick(); });
    case Qt::Key_Right: return run([this] { TB_NasledujiciZaznamClick(); });
    default: return false;
    }
}

bool TNovyEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowNovyEdit(THlavni* hlavni, const QString& caption)
{
    TNovyEdit dialog(hlavni, caption);
    plat::ExecModal(dialog);
}
