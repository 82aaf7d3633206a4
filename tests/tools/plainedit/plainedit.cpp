// plainedit --text FILE --keys "Ctrl+Shift+C Shift+Down ..."
//
// Runs the editor model over a text file: every key of the list is pressed
// in turn (a single character is typed), then the text is printed with its
// caret and selection marks, followed by the undo and redo lists and what
// the clipboard holds. A development tool, not a feature of the program.

#include "EditorDump.h"
#include "PlainEditModel.h"
#include "PlainEditView.h"

#include "Exceptions.h"
#include "ScriptedServices.h"
#include "Services.h"

#include "../ToolCommandLine.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

// A window of a fixed size that has the focus.
class ToolView : public IPlainEditView {
public:
    int ClientWidth() const override { return 640; }
    int ClientHeight() const override { return 400; }
    bool Focused() const override { return true; }
};

struct Key {
    quint16 code = 0;
    plat::TShiftState shift;
    QChar typed; // the character a plain key types
};

int namedKey(const QString& name)
{
    static const std::pair<const char*, int> names[] = {
        {"up", plat::VK_UP},         {"down", plat::VK_DOWN},     {"left", plat::VK_LEFT},
        {"right", plat::VK_RIGHT},   {"home", plat::VK_HOME},     {"end", plat::VK_END},
        {"pgup", plat::VK_PRIOR},    {"pageup", plat::VK_PRIOR},  {"pgdn", plat::VK_NEXT},
        {"pagedown", plat::VK_NEXT}, {"ins", plat::VK_INSERT},    {"insert", plat::VK_INSERT},
        {"del", plat::VK_DELETE},    {"delete", plat::VK_DELETE}, {"bksp", plat::VK_BACK},
        {"backspace", plat::VK_BACK}, {"tab", plat::VK_TAB},      {"enter", plat::VK_RETURN},
        {"return", plat::VK_RETURN}, {"esc", plat::VK_ESCAPE},    {"space", plat::VK_SPACE},
    };
    const QString lower = name.toLower();
    for (const auto& [n, code] : names) {
        if (lower == QLatin1String(n))
            return code;
    }
    if (lower.size() >= 2 && lower.at(0) == QLatin1Char('f')) {
        bool ok = false;
        const int f = lower.mid(1).toInt(&ok);
        if (ok && f >= 1 && f <= 12)
            return plat::VK_F1 + f - 1;
    }
    return 0;
}

// "Ctrl+Shift+C", "Shift+Down", "x" (types x), "Space".
bool parseKey(const QString& token, Key& key)
{
    const QStringList parts = token.split(QLatin1Char('+'));
    QString last = parts.last();
    if (last.isEmpty() && token.endsWith(QLatin1Char('+')))
        last = QStringLiteral("+");
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const QString m = parts[i].toLower();
        if (m == QLatin1String("ctrl"))
            key.shift.include(plat::ssCtrl);
        else if (m == QLatin1String("shift"))
            key.shift.include(plat::ssShift);
        else if (m == QLatin1String("alt"))
            key.shift.include(plat::ssAlt);
        else if (!(m.isEmpty() && i + 2 == parts.size()))
            return false;
    }
    if (const int code = namedKey(last)) {
        key.code = quint16(code);
        if (code == plat::VK_SPACE)
            key.typed = QLatin1Char(' ');
        return true;
    }
    if (last.size() != 1)
        return false;
    const QChar c = last.at(0);
    if (c.isLetter() && c.unicode() < 128) {
        key.code = quint16(c.toUpper().unicode());
        if (key.shift.contains(plat::ssShift))
            key.typed = c.toUpper();
        else
            key.typed = c;
    } else if (c.isDigit() && c.unicode() < 128) {
        key.code = quint16(c.unicode());
        key.typed = c;
    } else {
        key.typed = c; // a character without a key of its own
    }
    return true;
}

QString coord(TBufferCoord p) { return QStringLiteral("(%1,%2)").arg(p.Char).arg(p.Line); }

QString quoted(const QString& s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    out.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    out.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

const char* modeName(TPlainSelectionMode m)
{
    static const char* const names[] = {"smNormal", "smLine", "smColumn"};
    return names[m];
}

void printList(QTextStream& out, const char* title, const TPlainEditUndoList& list)
{
    out << title << ":\n";
    for (int i = 0; i < list.ItemCount(); ++i) {
        const TPlainEditUndoItem& it = list.Item(i);
        out << "  " << UndoReasonName(it.Reason) << ' ' << coord(it.StartPos) << '-' << coord(it.EndPos) << ' '
            << quoted(it.ChangeText) << ' ' << modeName(it.SelectionMode) << " #" << it.ChangeNumber << '\n';
    }
}

int usage()
{
    std::fputs("usage: plainedit --text FILE --keys \"Ctrl+Shift+C Shift+Down ...\"\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<ToolCommandLine> cl =
        parseToolCommandLine(app.arguments(), {}, {QStringLiteral("text"), QStringLiteral("keys")}, "plainedit");
    if (!cl || !cl->positional.empty() || cl->value(QStringLiteral("text")).isEmpty())
        return usage();
    const QString file = cl->value(QStringLiteral("text"));
    const QString keys = cl->value(QStringLiteral("keys"));
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    plat::ScriptedServices services;
    plat::ScopedServices scope(services);
    ToolView view;
    TPlainEdit e;
    e.SetView(&view);
    try {
        e.Lines()->LoadFromFile(file);
        for (const QString& token : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            Key key;
            if (!parseKey(token, key)) {
                std::fprintf(stderr, "plainedit: unknown key \"%s\"\n", qPrintable(token));
                return 2;
            }
            if (key.code != 0) {
                quint16 code = key.code;
                e.KeyDown(code, key.shift);
                // A key that made no command types its character (not with
                // Ctrl or Alt, which type control characters).
                if (code != 0 && !key.typed.isNull() && !key.shift.contains(plat::ssCtrl)
                    && !key.shift.contains(plat::ssAlt)) {
                    QChar typed = key.typed;
                    e.KeyPress(typed);
                }
            } else {
                QChar typed = key.typed;
                e.KeyPress(typed);
            }
        }
    } catch (const plat::Exception& error) {
        std::fprintf(stderr, "plainedit: %s: %s\n", error.className(), qPrintable(error.message()));
        return 1;
    }
    out << "text:\n" << edtest::dumpEditor(e) << '\n';
    out << "caret " << coord(e.CaretPos()) << " selection " << coord(e.SelAnchor()) << '-' << coord(e.SelHead())
        << ' ' << modeName(e.ActiveSelMode()) << (e.Modified() ? " modified" : "") << '\n';
    printList(out, "undo", *e.UndoList());
    printList(out, "redo", *e.RedoList());
    out << "clipboard:\n";
    out << "  text " << quoted(services.ClipboardText()) << '\n';
    if (services.ClipboardHasFormat(kPlainEditClipboardFormat)) {
        const QByteArray block = services.ClipboardData(kPlainEditClipboardFormat);
        out << "  block";
        for (char b : block)
            out << ' ' << QStringLiteral("%1").arg(quint8(b), 2, 16, QLatin1Char('0'));
        out << '\n';
    }
    return 0;
}
