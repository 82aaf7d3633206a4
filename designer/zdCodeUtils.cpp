#include "zdCodeUtils.h"

#include "StringList.h"
#include "zdRes.h"

namespace {

struct Template {
    const char* key;
    const char* text;
};

// Per language: the procedure word, the body's begin and end, the main
// block's closing word and the block-comment quotes.
constexpr Template kLanguages[] = {
    {"PascalScript",
     "proc=\"procedure\" begin=\"begin\" end=\"end;\" lastend=\"end.\" openquote=\"{\" closequote=\"}\""},
    {"C++Script", "proc=\"void\" begin=\"{\" end=\"}\" lastend=\"}\" openquote=\"/*\" closequote=\"*/\""},
    {"BasicScript", "proc=\"sub\" begin=\"\" end=\"end sub\" lastend=\"\" openquote=\"/\\\" closequote=\"/\\\""},
    {"JScript", "proc=\"function\" begin=\"{\" end=\"}\" lastend=\"\" openquote=\"/*\" closequote=\"*/\""},
};

// Per event type: one line per language, in the order of kLanguages.
#define ZD_EVENT(name, pascal, cpp, basic, js)                                                   \
    {name, "PascalScript=" pascal "\r\nC++Script=" cpp "\r\nBasicScript=" basic "\r\nJScript=" js}
constexpr Template kEvents[] = {
    ZD_EVENT("TzdNotifyEvent", "(Sender: TzdComponent);", "(TzdComponent Sender)", "(Sender)", "(Sender)"),
    ZD_EVENT("TzdCloseQueryEvent", "(Sender: TzdComponent; var CanClose: Boolean);",
             "(TzdComponent Sender, bool &CanClose)", "(Sender, byref CanClose)", "(Sender, &CanClose)"),
    ZD_EVENT("TzdKeyEvent", "(Sender: TzdComponent; var Key: Word; Shift: Integer);",
             "(TzdComponent Sender, word &Key, int Shift)", "(Sender, byref Key, Shift)", "(Sender, &Key, Shift)"),
    ZD_EVENT("TzdKeyPressEvent", "(Sender: TzdComponent; var Key: Char);", "(TzdComponent Sender, char &Key)",
             "(Sender, byref Key)", "(Sender, &Key)"),
    ZD_EVENT("TzdMouseEvent", "(Sender: TzdComponent; Button: TMouseButton; Shift: Integer; X, Y: Integer);",
             "(TzdComponent Sender, TMouseButton Button, int Shift, int X, int Y)", "(Sender, Button, Shift, X, Y)",
             "(Sender, Button, Shift, X, Y)"),
    ZD_EVENT("TzdMouseMoveEvent", "(Sender: TzdComponent; Shift: Integer; X, Y: Integer);",
             "(TzdComponent Sender, int Shift, int X, int Y)", "(Sender, Shift, X, Y)", "(Sender, Shift, X, Y)"),
    ZD_EVENT("TzdPreviewClickEvent", "(Sender: TzdView; Button: TMouseButton; Shift: Integer; var Modified: Boolean);",
             "(TzdView Sender, TMouseButton Button, int Shift, bool &Modified)",
             "(Sender, Button, Shift, byref Modified)", "(Sender, Button, Shift, &Modified)"),
    ZD_EVENT("TzdMouseEnterViewEvent", "(Sender: TzdView; var Modified: Boolean);", "(TzdView Sender, bool &Modified)",
             "(Sender, byref Modified)", "(Sender, &Modified)"),
    ZD_EVENT("TzdMouseLeaveViewEvent", "(Sender: TzdView; var Modified: Boolean);", "(TzdView Sender, bool &Modified)",
             "(Sender, byref Modified)", "(Sender, &Modified)"),
    ZD_EVENT("TzdRunDialogsEvent", "(var Result: Boolean);", "(bool &Result)", "(byref Result)", "(&Result)"),
};
#undef ZD_EVENT

// The block-comment depth while walking lines. A closing quote on a stray
// line never takes the depth below zero, so that handlers after it are not
// taken as being inside a comment and later comments still count. Where
// both quotes are one text, a line holding it toggles the depth.
class CommentDepth {
public:
    CommentDepth(const QString& Language, bool upwards)
        : m_open(TemplateValue(Language, QStringLiteral("openquote")))
        , m_close(TemplateValue(Language, QStringLiteral("closequote")))
    {
        if (upwards)
            std::swap(m_open, m_close);
    }
    void step(const QString& line)
    {
        if (!m_open.isEmpty() && m_open == m_close) {
            if (line.contains(m_open))
                m_depth = m_depth == 0 ? 1 : 0;
            return;
        }
        if (!m_close.isEmpty() && line.contains(m_close) && m_depth > 0)
            --m_depth;
        if (!m_open.isEmpty() && line.contains(m_open))
            ++m_depth;
    }
    bool outside() const { return m_depth == 0; }

private:
    QString m_open;
    QString m_close;
    int m_depth = 0;
};

} // namespace

void RegisterCodeTemplates()
{
    TzdResources* res = zdGetResources();
    for (const Template& t : kLanguages)
        res->SetWideText(QString::fromLatin1(t.key), QString::fromLatin1(t.text));
    for (const Template& t : kEvents)
        res->SetWideText(QString::fromLatin1(t.key), QString::fromLatin1(t.text));
}

QString TemplateValue(const QString& Language, const QString& Name)
{
    const QString text = zdGetResources()->GetText(Language);
    const QString upper = text.toUpper();
    const QString wanted = Name.toUpper() + QStringLiteral("=\"");
    for (qsizetype at = upper.indexOf(wanted); at >= 0; at = upper.indexOf(wanted, at + 1)) {
        if (at > 0 && upper.at(at - 1) != u' ')
            continue;
        const qsizetype start = at + wanted.size();
        const qsizetype end = text.indexOf(u'"', start);
        return end < 0 ? text.mid(start) : text.mid(start, end - start);
    }
    return QString();
}

QString EventParameterList(const QString& EventType, const QString& Language)
{
    plat::TStringList lines;
    lines.SetText(zdGetResources()->GetText(EventType));
    for (int i = 0; i < lines.Count(); ++i) {
        const QString line = lines.Strings(i);
        if (line.startsWith(Language + u'='))
            return line.mid(Language.size() + 1);
    }
    return QString();
}

void ListEventHandlers(const plat::TStrings& Code, const QString& Language, const QString& EventType,
                       plat::TStrings& List)
{
    List.Clear();
    const QString proc = TemplateValue(Language, QStringLiteral("proc")).toUpper();
    const QString params = EventParameterList(EventType, Language);
    if (proc.isEmpty())
        return;
    CommentDepth depth(Language, false);
    for (int i = 0; i < Code.Count(); ++i) {
        const QString line = Code.Strings(i);
        depth.step(line);
        if (!depth.outside() || !line.toUpper().startsWith(proc))
            continue;
        const QString rest = line.mid(proc.size());
        const qsizetype paren = rest.indexOf(u'(');
        const QString name = (paren < 0 ? rest : rest.left(paren)).trimmed();
        const QString parameters = paren < 0 ? QString() : rest.mid(paren).trimmed().left(255);
        if (!name.isEmpty() && parameters.compare(params, Qt::CaseInsensitive) == 0)
            List.Add(name);
    }
}

int FindEventHandler(const plat::TStrings& Code, const QString& Language, const QString& Name)
{
    const QString header =
        TemplateValue(Language, QStringLiteral("proc")).toUpper() + u' ' + Name.toUpper() + u'(';
    CommentDepth depth(Language, false);
    for (int i = 0; i < Code.Count(); ++i) {
        const QString line = Code.Strings(i);
        depth.step(line);
        if (depth.outside() && line.toUpper().startsWith(header))
            return i;
    }
    return -1;
}

int FindMainBlock(const plat::TStrings& Code, const QString& Language)
{
    const QString lastEnd = TemplateValue(Language, QStringLiteral("lastend")).toUpper();
    if (lastEnd.isEmpty())
        // Languages without a main block take handlers before the last
        // line; an empty script takes them at its start.
        return Code.Count() > 0 ? Code.Count() - 1 : 0;
    CommentDepth depth(Language, true);
    int endLine = -1;
    for (int i = Code.Count() - 1; i >= 0; --i) {
        const QString line = Code.Strings(i);
        depth.step(line);
        if (depth.outside() && line.toUpper().contains(lastEnd)) {
            endLine = i;
            break;
        }
    }
    if (endLine < 0)
        return -1;
    const QString begin = TemplateValue(Language, QStringLiteral("begin")).toUpper();
    const QString end = TemplateValue(Language, QStringLiteral("end")).toUpper();
    int counter = 1;
    for (int i = endLine - 1; i >= 0; --i) {
        QString line = Code.Strings(i).toUpper();
        const qsizetype comment = line.indexOf(QStringLiteral("//"));
        if (comment >= 0)
            line.truncate(comment);
        if (!end.isEmpty() && line.contains(end))
            ++counter;
        if (!begin.isEmpty() && line.contains(begin))
            --counter;
        if (counter == 0)
            return i;
    }
    return -1;
}

int InsertEventHandler(plat::TStrings& Code, const QString& Language, const QString& EventType,
                       const QString& Name)
{
    const int at = FindMainBlock(Code, Language);
    if (at < 0)
        return -1;
    const QString lines[] = {
        TemplateValue(Language, QStringLiteral("proc")) + u' ' + Name + EventParameterList(EventType, Language),
        TemplateValue(Language, QStringLiteral("begin")),
        QString(),
        TemplateValue(Language, QStringLiteral("end")),
        QString(),
    };
    for (int k = 0; k < 5; ++k)
        Code.Insert(at + k, lines[k]);
    return at + 3;
}

void DefaultCodeLines(plat::TStrings& List, const QString& Language)
{
    List.Clear();
    const QString lastEnd = TemplateValue(Language, QStringLiteral("lastend"));
    if (lastEnd.isEmpty())
        return;
    List.Add(TemplateValue(Language, QStringLiteral("begin")));
    List.Add(QString());
    List.Add(lastEnd);
}
