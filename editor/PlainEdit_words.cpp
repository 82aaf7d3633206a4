// The editor model: words (moves, selection, the word at the caret) and
// matching brackets.

#include "PlainEdit_p.h"

#include "PlainEditHighlighter.h"

#include <algorithm>
#include <vector>

using namespace pe;

namespace {

constexpr char kBrackets[] = "()[]{}<>";

// The index after the character at i (a pair takes two); 1 for none (0).
int afterChar(QStringView text, int i) { return i <= 0 ? 1 : i + (IsLeadChar(text, i) ? 2 : 1); }

int bracketIndex(QChar c)
{
    for (int i = 0; i < 8; ++i) {
        if (c == QLatin1Char(kBrackets[i]))
            return i;
    }
    return -1;
}

} // namespace

TPlainCharSet TCustomPlainEdit::IdentChars() const
{
    if (m_highlighter)
        return m_highlighter->IdentifierCharacters();
    return TPlainCharSet({{48, 57}, {65, 90}, {95, 95}, {97, 122}, {192, 214}, {216, 246}, {248, 255}},
                         TPlainCharSet::OutsideLettersDigits);
}

TPlainCharSet TCustomPlainEdit::WordBreakChars() const
{
    if (m_highlighter)
        return m_highlighter->WordBreakCharacters();
    return TPlainCharSet({{33, 34}, {39, 47}, {58, 59}, {61, 61}, {63, 63}, {91, 94}, {123, 125}});
}

TPlainCharSet TCustomPlainEdit::WordMoveIdentChars() const { return IdentChars().Minus(WordBreakChars()); }

TBufferCoord TCustomPlainEdit::NextWordPosEx(TBufferCoord p) const
{
    const int count = m_lines->Count();
    if (p.Line < 1 || p.Line > count)
        return p;
    const TPlainCharSet ident = WordMoveIdentChars();
    const TPlainCharSet white = ident.Complement();
    const QString text = lineText(p.Line);
    int c = p.Char;
    if (c >= text.size()) {
        if (p.Line == count)
            return p;
        const int found = ScanForCharInSet(lineText(p.Line + 1), 1, ident);
        return TBufferCoord{std::max(1, found), p.Line + 1};
    }
    c = std::max(1, c);
    if (ident.Contains(CharAt(text, c)))
        c = ScanForCharInSet(text, c, white);
    if (c > 0)
        c = ScanForCharInSet(text, c, ident);
    if (c == 0)
        c = int(text.size()) + 1;
    return TBufferCoord{c, p.Line};
}

TBufferCoord TCustomPlainEdit::WordStartEx(TBufferCoord p) const
{
    if (p.Line < 1 || p.Line > m_lines->Count())
        return p;
    const TPlainCharSet white = WordMoveIdentChars().Complement();
    const QString text = lineText(p.Line);
    int c = std::min(p.Char, int(text.size()) + 1);
    if (c > 1 && !white.Contains(CharAt(text, IsTrailChar(text, c - 1) ? c - 2 : c - 1)))
        c = afterChar(text, ReverseScanForCharInSet(text, c - 1, white));
    return TBufferCoord{std::max(1, c), p.Line};
}

TBufferCoord TCustomPlainEdit::WordEndEx(TBufferCoord p) const
{
    if (p.Line < 1 || p.Line > m_lines->Count())
        return p;
    const TPlainCharSet white = WordMoveIdentChars().Complement();
    const QString text = lineText(p.Line);
    const int c = ScanForCharInSet(text, std::max(1, p.Char), white);
    return TBufferCoord{c == 0 ? int(text.size()) + 1 : c, p.Line};
}

TBufferCoord TCustomPlainEdit::PrevWordPosEx(TBufferCoord p) const
{
    if (p.Line < 1 || p.Line > m_lines->Count())
        return p;
    const TPlainCharSet ident = WordMoveIdentChars();
    const TPlainCharSet white = ident.Complement();
    const QString text = lineText(p.Line);
    int c = std::min(p.Char, int(text.size()) + 1);
    if (c > 1) {
        const int before = IsTrailChar(text, c - 1) ? c - 2 : c - 1;
        if (white.Contains(CharAt(text, before)))
            c = ReverseScanForCharInSet(text, before, ident);
        if (c > 0)
            c = afterChar(text, ReverseScanForCharInSet(text, c - 1, white));
        if (c == 0)
            return p.Line > 1 ? TBufferCoord{lineLength(p.Line - 1) + 1, p.Line - 1} : TBufferCoord{1, p.Line};
        return TBufferCoord{c, p.Line};
    }
    if (p.Line > 1)
        return TBufferCoord{lineLength(p.Line - 1) + 1, p.Line - 1};
    return TBufferCoord{std::max(1, c), p.Line};
}

void TCustomPlainEdit::SetWordBlock(TBufferCoord p)
{
    const int asked = p.Char;
    p = limitSelEnd(p);
    const QString t = lineText(p.Line) + QChar(0);
    const int n = int(t.size());
    // Beyond the line's end (where the limit would put it on the end) there
    // is no word: the caret goes after the last character.
    if (asked > n || p.Char > n) {
        MoveCaret(TBufferCoord{n, p.Line});
        return;
    }
    // The type word of every character; both halves of a pair share the pair's.
    std::vector<quint16> types(size_t(n) + 1, 0);
    for (int i = 1; i <= n; ++i)
        types[size_t(i)] = IsTrailChar(t, i) ? types[size_t(i - 1)] : CharType3(CharAt(t, i));
    const TPlainCharSet ident = IdentChars();
    int refIndex = p.Char;
    if (p.Char > 1 && (types[size_t(p.Char)] & C3_SYMBOL))
        refIndex = p.Char - 1;
    const quint16 reference = types[size_t(refIndex)];
    const auto isBreak = [&](int i) {
        const int cls = CharClassOfType3(types[size_t(i)]);
        const char32_t ch = CharAt(t, IsTrailChar(t, i) ? i - 1 : i);
        if (cls == 1 || cls == 2)
            return !ident.Contains(ch);
        if (cls == 5 || cls == 9)
            return true;
        return types[size_t(i)] != reference;
    };
    int end = n;
    for (int i = p.Char; i <= n; ++i) {
        if (isBreak(i)) {
            end = i;
            break;
        }
    }
    int start = 1;
    for (int i = p.Char - 1; i >= 1; --i) {
        if (isBreak(i)) {
            start = i + 1;
            break;
        }
    }
    SetCaretAndSel(TBufferCoord{end, p.Line}, TBufferCoord{start, p.Line}, TBufferCoord{end, p.Line});
    InvalidateLine(p.Line);
    StatusChanged({scSelection});
}

QString TCustomPlainEdit::WordAtCaret()
{
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    SetSelAnchor(WordStart());
    SetSelHead(WordEnd());
    const QString word = SelectedText();
    SetSelAnchor(first);
    SetSelHead(last);
    return word;
}

TBufferCoord TCustomPlainEdit::GetMatchingBracketEx(TBufferCoord p) const
{
    const QString text = lineText(p.Line);
    if (p.Char < 1 || p.Char > text.size())
        return TBufferCoord{0, 0};
    const int index = bracketIndex(text.at(p.Char - 1));
    if (index < 0)
        return TBufferCoord{0, 0};
    const QChar inc = text.at(p.Char - 1);
    const QChar dec = QLatin1Char(kBrackets[index ^ 1]);
    const bool forward = (index % 2) == 0;
    int depth = 1;
    int line = p.Line;
    int c = p.Char;
    QString current = text;
    const int count = m_lines->Count();
    while (true) {
        c += forward ? 1 : -1;
        while (c < 1 || c > current.size()) {
            line += forward ? 1 : -1;
            if (line < 1 || line > count)
                return TBufferCoord{0, 0};
            current = lineText(line);
            c = forward ? 1 : int(current.size());
        }
        const QChar ch = current.at(c - 1);
        if (ch == inc) {
            ++depth;
        } else if (ch == dec) {
            if (--depth == 0)
                return TBufferCoord{c, line};
        }
    }
}

void TCustomPlainEdit::FindMatchingBracket()
{
    const TBufferCoord match = GetMatchingBracket();
    if (match.Char > 0 && match.Line > 0)
        MoveCaret(match);
}
