#include "zs_proto.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "zs_script.h"

#include <QLocale>

using plat::Variant;

namespace {

// A small tokenizer for prototypes: words, numbers, quoted strings and
// single punctuation characters, blanks skipped.
class ProtoLexer {
public:
    explicit ProtoLexer(const QString& text) : m_text(text) {}

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }
    bool atEnd()
    {
        skipBlanks();
        return m_pos >= m_text.size();
    }
    QChar peek()
    {
        skipBlanks();
        return m_pos < m_text.size() ? m_text.at(m_pos) : QChar();
    }
    void skip() { ++m_pos; }
    static bool isIdentStart(QChar c) { return c.isLetter() || c == u'_'; }
    static bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

    QString ident()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (m_pos < m_text.size() && isIdentStart(m_text.at(m_pos)))
            while (m_pos < m_text.size() && isIdentChar(m_text.at(m_pos)))
                ++m_pos;
        return m_text.mid(start, m_pos - start);
    }
    QString number()
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'$') {
            ++m_pos;
            while (m_pos < m_text.size() && isxdigit(m_text.at(m_pos).toLatin1()))
                ++m_pos;
            return m_pos - start > 1 ? m_text.mid(start, m_pos - start) : (m_pos = start, QString());
        }
        while (m_pos < m_text.size() && (m_text.at(m_pos).isDigit() || m_text.at(m_pos) == u'.' ||
                                          m_text.at(m_pos) == u'e' || m_text.at(m_pos) == u'E'))
            ++m_pos;
        if (m_pos == start || !m_text.at(start).isDigit()) {
            m_pos = start;
            return {};
        }
        return m_text.mid(start, m_pos - start);
    }
    QString string()
    {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text.at(m_pos) != u'\'')
            return {};
        QString body;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c == u'\'') {
                if (m_pos < m_text.size() && m_text.at(m_pos) == u'\'') {
                    body.append(c);
                    ++m_pos;
                    continue;
                }
                break;
            }
            body.append(c);
        }
        return u'\'' + body + u'\'';
    }
    // The identifier after the last ':' of the whole text.
    QString resultType() const
    {
        const qsizetype colon = m_text.lastIndexOf(u':');
        if (colon < 0)
            return {};
        ProtoLexer tail(m_text.mid(colon + 1));
        return tail.ident();
    }

private:
    QString m_text;
    qsizetype m_pos = 0;
};

Variant readDefault(ProtoLexer& lex, TzsScript* script)
{
    QString t = lex.number();
    if (t.isEmpty())
        t = lex.string();
    if (t.isEmpty() && lex.peek() == u'-') {
        lex.skip();
        const QString n = lex.number();
        if (!n.isEmpty())
            t = u'-' + n;
    }
    if (!t.isEmpty())
        return zsLiteralToValue(t);
    const QString name = lex.ident();
    TzsCustomVariable* item = script && !name.isEmpty() ? script->Find(name) : nullptr;
    return item ? item->GetValue() : plat::Null();
}

} // namespace

std::unique_ptr<TzsCustomVariable> zsParsePrototype(const QString& prototype, TzsScript* script)
{
    auto item = std::make_unique<TzsCustomVariable>();
    ProtoLexer lex(prototype);
    QString kind = lex.ident();
    if (kind.toLower().startsWith(QLatin1String("macro"))) {
        item->Macro = true;
        kind = kind.mid(5);
    }
    const bool isFunction = kind.compare(QLatin1String("function"), Qt::CaseInsensitive) == 0;
    item->SetName(lex.ident());
    item->DeclaredType = isFunction ? lex.resultType() : QString();
    item->Kind = isFunction ? zsTypeOfName(item->DeclaredType, script) : fvtInt;

    if (lex.peek() != u'(')
        return item;
    lex.skip();
    for (;;) {
        bool byRef = false;
        QStringList names;
        QChar c;
        // Names up to the group's ':' (or the list's ')').
        for (;;) {
            c = lex.peek();
            if (c == u',') {
                lex.skip();
                continue;
            }
            if (c.isNull() || !ProtoLexer::isIdentStart(c))
                break;
            const QString word = lex.ident();
            if (word.compare(QLatin1String("var"), Qt::CaseInsensitive) == 0)
                byRef = true;
            else if (word.compare(QLatin1String("const"), Qt::CaseInsensitive) != 0)
                names << word;
        }
        if (c != u':')
            break; // ')' before a type, or the end: names without a type are dropped
        lex.skip();
        const QString typeName = lex.ident();
        const TzsVarType type = zsTypeOfName(typeName, script);
        bool optional = false;
        Variant defaultValue = plat::Null();
        if (lex.peek() == u'=') {
            lex.skip();
            optional = true;
            defaultValue = readDefault(lex, script);
        }
        for (int i = 0; i < names.size(); ++i) {
            const bool last = i == names.size() - 1;
            auto* p = new TzsParamItem(names[i], type, typeName, optional && last, byRef);
            if (optional && last) {
                p->DefaultValue = defaultValue;
                p->Value = defaultValue;
            }
            item->Add(p);
        }
        c = lex.peek();
        if (c != u';')
            break;
        lex.skip();
    }
    return item;
}

Variant zsLiteralToValue(const QString& text)
{
    if (text.isEmpty())
        return plat::Null();
    if (text.at(0) == u'\'')
        return Variant(text.mid(1, text.size() - 2));
    bool ok = false;
    qint64 i = 0;
    if (text.at(0) == u'$')
        i = text.mid(1).toLongLong(&ok, 16);
    else
        i = text.toLongLong(&ok, 10);
    if (ok)
        return i <= 2147483647 && i >= -2147483647 - 1 ? Variant(int(i)) : Variant(i);
    // '.' is the decimal separator whatever the user's locale.
    const double d = QLocale::c().toDouble(text, &ok);
    if (ok)
        return Variant(d);
    throw plat::EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

namespace zs {
// Kinds of the base type names, for a script that has no type items for them.
bool builtinTypeKind(const QString& name, TzsVarType* kind)
{
    struct Builtin {
        const char* name;
        TzsVarType kind;
    };
    static constexpr Builtin kBuiltins[] = {
        {"Byte", fvtInt},       {"Word", fvtInt},        {"Integer", fvtInt},    {"Longint", fvtInt},
        {"Cardinal", fvtInt},   {"TColor", fvtInt},      {"TAlphaColor", fvtInt}, {"Boolean", fvtBool},
        {"Real", fvtFloat},     {"Single", fvtFloat},    {"Double", fvtFloat},   {"Extended", fvtFloat},
        {"Currency", fvtFloat}, {"TDate", fvtFloat},     {"TTime", fvtFloat},    {"TDateTime", fvtFloat},
        {"Char", fvtChar},      {"String", fvtString},   {"Variant", fvtVariant}, {"Pointer", fvtVariant},
        {"Array", fvtArray},    {"Int64", fvtInt64},
    };
    for (const Builtin& b : kBuiltins) {
        if (name.compare(QLatin1String(b.name), Qt::CaseInsensitive) == 0) {
            *kind = b.kind;
            return true;
        }
    }
    return false;
}
} // namespace zs

TzsVarType zsTypeOfName(const QString& typeName, TzsScript* script)
{
    if (script)
        if (TzsCustomVariable* item = script->Find(typeName))
            return item->Kind;
    TzsVarType kind = fvtClass;
    zs::builtinTypeKind(typeName, &kind);
    return kind;
}

QPoint zsPosToPoint(const QString& text)
{
    if (text.isEmpty())
        return QPoint(0, 0);
    const qsizetype colon = text.indexOf(u':');
    const int y = text.left(colon < 0 ? text.size() : colon).trimmed().toInt();
    const int x = colon < 0 ? 0 : text.mid(colon + 1).trimmed().toInt();
    return QPoint(x, y);
}

namespace {

// The platform's short strings hold at most 255 characters.
constexpr int kShortStringLength = 255;

plat::FormatArg valueToArg(const Variant& v)
{
    switch (v.type()) {
    case plat::varSmallint:
    case plat::varInteger:
    case plat::varShortInt:
    case plat::varByte:
    case plat::varWord: return plat::FormatArg(qint32(v.rawInteger()));
    case plat::varLongWord:
    case plat::varInt64: return plat::FormatArg(qint64(v.rawInteger()));
    case plat::varSingle:
    case plat::varDouble:
    case plat::varCurrency:
    case plat::varDate: return plat::FormatArg(v.toDouble());
    case plat::varOleStr: return plat::FormatArg(v.rawString());
    case plat::varString: return plat::FormatArg(v.rawString().left(kShortStringLength));
    case plat::varBoolean: return plat::FormatArg(v.rawInteger() != 0);
    default: return plat::FormatArg(qint32(0));
    }
}

} // namespace

std::vector<plat::FormatArg> zsValuesToArgs(const Variant& values)
{
    std::vector<plat::FormatArg> args;
    if (!values.isArray()) {
        args.push_back(valueToArg(values));
        return args;
    }
    const int low = plat::VarArrayLowBound(values, 1);
    const int high = plat::VarArrayHighBound(values, 1);
    for (int i = low; i <= high; ++i)
        args.push_back(valueToArg(plat::VarArrayGet(values, {i})));
    return args;
}

Variant zsArgToValue(const plat::FormatArg& arg)
{
    switch (arg.kind()) {
    case plat::FormatArg::Kind::Integer:
    case plat::FormatArg::Kind::Pointer: return Variant(int(arg.intValue()));
    case plat::FormatArg::Kind::Int64: return Variant(qint64(arg.intValue()));
    case plat::FormatArg::Kind::Boolean: return Variant(arg.intValue() != 0);
    case plat::FormatArg::Kind::Extended: return Variant(double(arg.floatValue()));
    case plat::FormatArg::Kind::String: return Variant(arg.stringValue());
    }
    return plat::Null();
}
