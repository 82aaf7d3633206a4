#include "MaskUtils.h"

#include "FormatSettings.h"

#include <QList>

namespace plat {

namespace {

constexpr QChar kFieldSeparator = u';';
constexpr QChar kNoSave = u'0';
constexpr QChar kLiteralEscape = u'\\';
constexpr QChar kReverse = u'!';
constexpr QChar kUpperCase = u'>';
constexpr QChar kLowerCase = u'<';
constexpr QChar kBlankLiteral = u'_';
// The save and blank fields only count within the last four characters
// ("...;1;_"), so a ';' earlier in the mask is an ordinary literal.
constexpr qsizetype kFieldTail = 4;

enum class CharType { None, Literal, IntlLiteral, Directive, Mask, MaskOpt, FieldSeparator, Field };

bool escapedAt(QStringView m, qsizetype i)
{
    // A backslash escapes the next character unless it is itself escaped.
    return i > 0 && m[i - 1] == kLiteralEscape && !(i > 1 && m[i - 2] == kLiteralEscape);
}

CharType charType(QStringView m, qsizetype i)
{
    if (i < 0 || i >= m.size())
        return CharType::None;
    const QChar c = m[i];
    const qsizetype len = m.size();
    if (escapedAt(m, i))
        return CharType::Literal;
    if (c == kFieldSeparator && len >= kFieldTail && i >= len - kFieldTail)
        return CharType::FieldSeparator;
    if (len >= kFieldTail && i >= len - kFieldTail && i > 0 && m[i - 1] == kFieldSeparator && !escapedAt(m, i - 1))
        return CharType::Field;
    switch (c.unicode()) {
    case u':': case u'/':
        return CharType::IntlLiteral;
    case u'!': case u'>': case u'<': case u'\\':
        return CharType::Directive;
    case u'l': case u'a': case u'c': case u'9': case u'#':
        return CharType::MaskOpt;
    case u'L': case u'A': case u'C': case u'0':
        return CharType::Mask;
    default:
        return CharType::Literal;
    }
}

// Literals are saved with the data unless the second field is '0'.
bool saveLiterals(QStringView m)
{
    const qsizetype len = m.size();
    if (len < kFieldTail)
        return true;
    qsizetype first = -1;
    qsizetype second = -1;
    for (qsizetype i = len - 1; i >= 0 && i >= len - kFieldTail - 1 && second < 0; --i) {
        if (charType(m, i) == CharType::FieldSeparator) {
            if (first < 0)
                first = i;
            else
                second = i;
        }
    }
    if (second < 0)
        second = first;
    if (second >= 0 && second + 1 < len)
        return m[second + 1] != kNoSave;
    return true;
}

enum class CaseMode { Keep, Upper, Lower };

struct Position {
    bool slot = false; // a place for one character of the value
    QChar literal;
    QChar maskChar;
    CaseMode caseMode = CaseMode::Keep;
};

struct Mask {
    QList<Position> positions;
    bool reverse = false;
    bool saveLiterals = true;
};

Mask parseMask(QStringView m)
{
    Mask mask;
    mask.saveLiterals = saveLiterals(m);
    const TFormatSettings& fs = FormatSettings();
    CaseMode caseMode = CaseMode::Keep;
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m[i];
        switch (charType(m, i)) {
        case CharType::Literal:
            mask.positions.append({false, c == kBlankLiteral && !escapedAt(m, i) ? QChar(u' ') : c, QChar(), caseMode});
            break;
        case CharType::IntlLiteral:
            mask.positions.append({false, c == u':' ? fs.TimeSeparator : fs.DateSeparator, QChar(), caseMode});
            break;
        case CharType::Directive:
            if (c == kReverse) {
                mask.reverse = true;
            } else if (c == kUpperCase) {
                caseMode = CaseMode::Upper;
            } else if (c == kLowerCase) {
                // "<>" switches conversion off
                const bool off = i + 1 < m.size() && m[i + 1] == kUpperCase;
                caseMode = off ? CaseMode::Keep : CaseMode::Lower;
                if (off)
                    ++i;
            }
            break;
        case CharType::Mask:
        case CharType::MaskOpt:
            mask.positions.append({true, QChar(), c, caseMode});
            break;
        case CharType::FieldSeparator:
        case CharType::Field:
        case CharType::None:
            i = m.size();
            break;
        }
    }
    return mask;
}

QString converted(QChar c, CaseMode mode)
{
    switch (mode) {
    case CaseMode::Upper: return QString(c).toUpper();
    case CaseMode::Lower: return QString(c).toLower();
    default: return QString(c);
    }
}

// Left to right: each slot takes the next character of the value, missing
// ones become blanks, characters left over stay at the end.
QString layForward(const Mask& mask, QStringView value)
{
    QString out;
    qsizetype vi = 0;
    for (const Position& p : mask.positions) {
        if (!p.slot) {
            out += p.literal;
            if (mask.saveLiterals && vi < value.size() && value[vi] == p.literal)
                ++vi;
        } else if (vi < value.size()) {
            out += converted(value[vi++], p.caseMode);
        } else {
            out += u' ';
        }
    }
    out += value.mid(vi);
    return out;
}

// With '!' the value is aligned to the right: blanks and left-overs in front.
QString layBackward(const Mask& mask, QStringView value)
{
    QString out;
    qsizetype vi = value.size() - 1;
    for (qsizetype k = mask.positions.size() - 1; k >= 0; --k) {
        const Position& p = mask.positions[k];
        if (!p.slot) {
            out.prepend(p.literal);
            if (mask.saveLiterals && vi >= 0 && value[vi] == p.literal)
                --vi;
        } else if (vi >= 0) {
            out.prepend(converted(value[vi--], p.caseMode));
        } else {
            out.prepend(u' ');
        }
    }
    out.prepend(value.left(vi + 1));
    return out;
}

} // namespace

EditMaskLayout ParseEditMask(const QString& editMask)
{
    EditMaskLayout layout;
    const Mask mask = parseMask(editMask);
    layout.saveLiterals = mask.saveLiterals;
    const qsizetype len = editMask.size();
    if (len >= 2 && charType(editMask, len - 2) == CharType::FieldSeparator)
        layout.blank = editMask[len - 1];
    for (const Position& p : mask.positions) {
        layout.literals += p.slot ? QChar() : p.literal;
        layout.maskChars += p.slot ? p.maskChar : QChar();
        layout.caseModes += p.caseMode == CaseMode::Upper ? u'>' : p.caseMode == CaseMode::Lower ? u'<' : u' ';
    }
    return layout;
}

bool MaskCharAccepts(QChar maskChar, QChar c)
{
    switch (maskChar.unicode()) {
    case u'0':
    case u'9':
        return c.isDigit();
    case u'#':
        return c.isDigit() || c == u'+' || c == u'-';
    case u'L':
    case u'l':
        return c.isLetter();
    case u'A':
    case u'a':
        return c.isLetterOrNumber();
    default:
        return !c.isNull();
    }
}

QString FormatMaskText(const QString& editMask, const QString& value)
{
    if (editMask.isEmpty())
        return value;
    const Mask mask = parseMask(editMask);
    return mask.reverse ? layBackward(mask, value) : layForward(mask, value);
}

} // namespace plat
