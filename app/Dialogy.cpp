#include "Dialogy.h"

#include "Application.h"
#include "Modal.h"
#include "Services.h"
#include "StringList.h"

#include <QApplication>
#include <algorithm>
#include <QDate>
#include <QDialog>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>


namespace {

QString titleOr(const QString& caption)
{
    return caption.isEmpty() ? plat::Application().Title() : caption;
}

void centreOnScreen(QWidget& w)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
    }
}

constexpr QColor kCaptionColour{3, 63, 113};
constexpr QColor kLinkColour{128, 0, 0};

// The web address of the about box: underlined until the mouse is over it.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
    {
        setCursor(Qt::PointingHandCursor);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, kLinkColour);
        setPalette(p);
        setUnderline(true);
    }

protected:
    void enterEvent(QEnterEvent* e) override
    {
        setUnderline(false);
        QLabel::enterEvent(e);
    }
    void leaveEvent(QEvent* e) override
    {
        setUnderline(true);
        QLabel::leaveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            plat::Application().Guard([this] { zd::OtevritStranku(QStringLiteral("http://") + text()); });
        QLabel::mouseReleaseEvent(e);
    }

private:
    void setUnderline(bool on)
    {
        QFont f = font();
        f.setUnderline(on);
        setFont(f);
    }
};

} // namespace

void ZpravaInfo(const QString& text) { ZpravaInfoTitulek({}, text); }

void ZpravaInfoTitulek(const QString& caption, const QString& text)
{
    plat::Services().MessageBox(text, titleOr(caption), plat::MB_OK | plat::MB_ICONINFORMATION);
}

int Dotaz(const QString& caption, const QString& text, int kind)
{
    unsigned flags = 0;
    switch (kind) {
    case 1: flags = plat::MB_YESNO | plat::MB_ICONQUESTION; break;
    case 2: flags = plat::MB_YESNO | plat::MB_ICONWARNING; break;
    case 3: flags = plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION; break;
    case 4: flags = plat::MB_YESNOCANCEL | plat::MB_ICONWARNING; break;
    default: return 0;
    }
    return plat::Services().MessageBox(text, titleOr(caption), flags | plat::MB_DEFBUTTON2);
}

void TextoveOkno(const QString& caption, const QString& text, bool scrollBar)
{
    TextoveOknoParam(caption, text, 450, 250, true, scrollBar ? 3 : 2, false, true);
}

void TextoveOknoParam(const QString& caption, const QString& text, int width, int height, bool wordWrap,
                      int scrollKind, bool fixedPitch, bool readOnly)
{
    QDialog window(plat::Services().DialogParent());
    window.setObjectName(QStringLiteral("TextoveOkno"));
    window.setWindowTitle(titleOr(caption));
    window.setFixedSize(width, height);
    auto* memo = new QPlainTextEdit(&window);
    memo->setObjectName(QStringLiteral("Memo"));
    memo->setGeometry(0, 0, width, height);
    memo->setPlainText(text);
    memo->setReadOnly(readOnly);
    memo->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    const bool horizontal = scrollKind == 0 || scrollKind == 1;
    const bool vertical = scrollKind == 0 || scrollKind == 3;
    memo->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (fixedPitch) {
        QFont font(QStringLiteral("Courier New"), 10);
        font.setStyleHint(QFont::TypeWriter);
        memo->setFont(font);
    }
    centreOnScreen(window);
    plat::ExecModal(window);
}

bool OtevritDokument(const QString& file, const QString& parameters)
{
    // The shell call takes the target as one argument, so no quoting is needed.
    return plat::Services().ShellOpen(file, parameters);
}

bool zd::OtevritStranku(const QString& address)
{
    if (OtevritDokument(address, {}))
        return true;
    ZpravaInfo(QString::fromUtf8("Stránku %1 se nepodařilo otevřít.\r\n"
                                 "Zkontrolujte, zda je v systému nastaven výchozí webový prohlížeč.")
                   .arg(address));
    return false;
}

QString VerzeProgramu()
{
#ifdef SORVAMET_VERSION
    const QStringList parts = QStringLiteral(SORVAMET_VERSION).split(u'.');
    if (parts.size() >= 2)
        return QStringLiteral("%1.%2").arg(parts[0].toInt()).arg(parts[1].toInt());
#endif
    return {};
}

int AktualniRok() { return QDate::currentDate().year(); }

void OknoOProgramu(const QString& version, const QString& buildDate, const QString& moduleText)
{
    constexpr int kWidth = 520;
    constexpr int kCaptionX = 80;
    constexpr int kFirstRowY = 16;
    constexpr int kRowStep = 24;
    constexpr int kButtonX = 376;
    constexpr int kButtonGap = 28;
    const int valueX = kCaptionX + (moduleText.isEmpty() ? 136 : 160);

    QDialog box(plat::Services().DialogParent());
    box.setObjectName(QStringLiteral("OknoOProgramu"));
    box.setWindowTitle(QStringLiteral("O programu ") + plat::Application().Title());
    QPalette white = box.palette();
    white.setColor(QPalette::Window, Qt::white);
    box.setPalette(white);
    box.setAutoFillBackground(true);
    // The columns are laid out for the platform's dialog font.
    box.setFont(QFont(QStringLiteral("Tahoma"), 8));

    int y = kFirstRowY;
    auto row = [&](const QString& caption, QLabel* value) {
        auto* label = new QLabel(caption, &box);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, kCaptionColour);
        label->setPalette(p);
        label->move(kCaptionX, y);
        label->adjustSize();
        value->move(valueX, y);
        value->adjustSize();
        y += kRowStep;
    };
    row(QStringLiteral("Verze programu:"), new QLabel(version + QStringLiteral("     ") + buildDate, &box));
    if (!moduleText.isEmpty())
        row(QStringLiteral("Verze tiskového modulu:"), new QLabel(moduleText, &box));
    row(QStringLiteral("Autor:"), new QLabel(QStringLiteral("Tým Sorvamet"), &box));
    row(QStringLiteral("Technická podpora:"), new QLabel(QStringLiteral("+420 800 100 200"), &box));
    row(QStringLiteral("Copyright:"), new QLabel(QStringLiteral("© %1 Sorvamet").arg(AktualniRok()), &box));
    auto* link = new LinkLabel(QString::fromLatin1(zd::kWebAddress), &box);
    link->setObjectName(QStringLiteral("La_Web"));
    row(QStringLiteral("Internet:"), link);

    auto* ok = new QPushButton(QStringLiteral("Ok"), &box);
    ok->setObjectName(QStringLiteral("Tl_Ok"));
    ok->setDefault(true);
    const int buttonY = y - kRowStep + kButtonGap;
    ok->setGeometry(kButtonX, buttonY, 75, 25);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    box.setFixedSize(kWidth, buttonY + 65);
    centreOnScreen(box);
    plat::ExecModal(box);
}

QString OpakovatZnak(QChar c, int n) { return n > 0 ? QString(n, c) : QString(); }

QString DoplnitNulami(const QString& text, int length, int mode)
{
    if (text.size() > length)
        return text.left(std::max(length, 0));
    const int missing = length - int(text.size());
    switch (mode) {
    case 0: return text + OpakovatZnak(u'0', missing);
    case 2: return OpakovatZnak(u'0', missing) + text;
    case 1: return OpakovatZnak(u'0', missing / 2) + text + OpakovatZnak(u'0', missing - missing / 2);
    default: return text;
    }
}

QString NahraditZnak(const QString& text, QChar from, QChar to)
{
    QString s = text;
    s.replace(from, to);
    return s;
}

bool JenCislice(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString BezDiakritiky(const QString& text)
{
    static const QString from = QStringLiteral("ŠŤŽšťžÁČÉĚÍĎŇÓŘÚÝáäčéëěíďňóőöřůúűüý");
    static const QString to = QStringLiteral("STZstzACEEIDNORUYaaceeeidnoooruuuuy");
    QString s = text;
    for (QChar& c : s) {
        const qsizetype i = from.indexOf(c);
        if (i >= 0)
            c = to[i];
    }
    return s;
}

void RozdelitCarou(const QString& line, plat::TStrings& list) { RozdelitZnakem(line, u'|', list); }

void RozdelitZnakem(const QString& line, QChar separator, plat::TStrings& list)
{
    list.Clear();
    for (const QString& item : line.split(separator))
        list.Add(item);
}
