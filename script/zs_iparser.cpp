#include "zs_iparser.h"

#include "CodePage.h"
#include "SysUtils.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr char16_t kCR = 13;
constexpr char16_t kLF = 10;

// Unicode character -> code page 1250 byte (0 when the code page lacks it),
// so that identifier characters keep their meaning as a set of 256 bytes.
const std::array<uchar, 65536>& byteTable()
{
    static const std::unique_ptr<std::array<uchar, 65536>> table = [] {
        auto t = std::make_unique<std::array<uchar, 65536>>();
        t->fill(0);
        for (int i = 1; i < 256; ++i) {
            const char byte = char(i);
            const QString s = plat::cp1250ToUnicode(QByteArrayView(&byte, 1));
            if (!s.isEmpty())
                (*t)[s.at(0).unicode()] = uchar(i);
        }
        return t;
    }();
    return *table;
}

QChar charFromByte(int code)
{
    const char byte = char(code & 0xFF);
    const QString s = plat::cp1250ToUnicode(QByteArrayView(&byte, 1));
    return s.isEmpty() ? QChar(char16_t(code & 0xFF)) : s.at(0);
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || (u >= 123 && u <= 126);
}

// Splits "open,close" as a comma text: items separated by commas or blanks,
// double quotes protecting an item.
void splitPair(const QString& pair, QString& open, QString& close)
{
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = pair.size();
    auto skipBlanks = [&] {
        while (i < n && pair.at(i).unicode() <= ' ')
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (pair.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (pair.at(i) == u'"') {
                    if (i + 1 < n && pair.at(i + 1) == u'"') {
                        item.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item.append(pair.at(i++));
            }
        } else {
            while (i < n && pair.at(i) != u',' && pair.at(i).unicode() > ' ')
                item.append(pair.at(i++));
        }
        items.append(item);
        skipBlanks();
        if (i < n && pair.at(i) == u',') {
            ++i;
            skipBlanks();
            if (i >= n)
                items.append(QString());
        }
    }
    open = items.value(0);
    close = items.value(1);
}

} // namespace

TzsParser::TzsParser()
{
    Clear();
    LineStarts.push_back(0);
    SourceText = QString(QChar(u'\0'));
}

void TzsParser::Clear()
{
    m_keywords.clear();
    m_keywordsExact.clear();
    m_keywordsFolded.clear();
    SpecStrChar = false;
    CommentLine1 = QStringLiteral("//");
    SetCommentBlock1(QStringLiteral("{,}"));
    SetCommentBlock2(QStringLiteral("(*,*)"));
    HexSequence = QStringLiteral("$");
    SetIdentChars(QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz"));
    SkipChar.clear();
    SkipEOL = true;
    StringQuotes = QStringLiteral("'");
    AutoSkip = true;
}

void TzsParser::SetCommentBlock1(const QString& pair)
{
    m_commentBlock1 = pair;
    splitPair(pair, m_block1Open, m_block1Close);
}

void TzsParser::SetCommentBlock2(const QString& pair)
{
    m_commentBlock2 = pair;
    splitPair(pair, m_block2Open, m_block2Close);
}

void TzsParser::SetIdentChars(const QString& chars)
{
    IdentifierChars.reset();
    const auto& table = byteTable();
    for (QChar c : chars) {
        const char16_t u = c.unicode();
        const int b = u < 128 ? u : table[u];
        if (b)
            IdentifierChars.set(size_t(b));
    }
}

namespace {

bool lessExact(const QString& a, QStringView b) { return QStringView(a).compare(b) < 0; }
bool lessFolded(const QString& a, QStringView b) { return QStringView(a).compare(b, Qt::CaseInsensitive) < 0; }

} // namespace

void TzsParser::AddKeyword(const QString& word)
{
    const auto exact = std::lower_bound(m_keywordsExact.begin(), m_keywordsExact.end(), QStringView(word), lessExact);
    if (exact != m_keywordsExact.end() && *exact == word)
        return;
    m_keywordsExact.insert(exact, word);
    const auto at = std::lower_bound(m_keywords.begin(), m_keywords.end(), word);
    m_keywords.insert(at, word);
    const auto folded = std::lower_bound(m_keywordsFolded.begin(), m_keywordsFolded.end(), QStringView(word), lessFolded);
    if (folded == m_keywordsFolded.end() || QStringView(*folded).compare(word, Qt::CaseInsensitive) != 0)
        m_keywordsFolded.insert(folded, word);
}

bool TzsParser::isKeyWord(QStringView word) const
{
    if (word.isEmpty())
        return false;
    if (CaseSensitive) {
        const auto it = std::lower_bound(m_keywordsExact.begin(), m_keywordsExact.end(), word, lessExact);
        return it != m_keywordsExact.end() && QStringView(*it) == word;
    }
    const auto it = std::lower_bound(m_keywordsFolded.begin(), m_keywordsFolded.end(), word, lessFolded);
    return it != m_keywordsFolded.end() && QStringView(*it).compare(word, Qt::CaseInsensitive) == 0;
}

bool TzsParser::IsKeyWord(const QString& word) const { return isKeyWord(QStringView(word)); }

bool TzsParser::isIdentChar(QChar c) const
{
    const char16_t u = c.unicode();
    const int b = u < 128 ? u : byteTable()[u];
    return b != 0 && IdentifierChars.test(size_t(b));
}

void TzsParser::SetText(const QString& text)
{
    SourceText = text;
    SourceText.append(QChar(u'\0'));
    TextLength = int(text.size());
    CurrentPos = 1;
    TokenStart = 1;
    UnterminatedComment = 0;
    if (TrackLines) {
        LineStarts.clear();
        LineStarts.push_back(0);
        for (int i = 0; i < TextLength; ++i) {
            if (text.at(i) == QChar(kLF))
                LineStarts.push_back(i + 1);
        }
    }
}

void TzsParser::SetPosition(int position)
{
    CurrentPos = position;
    TokenStart = position;
}

bool TzsParser::atText(int position, const QString& what) const
{
    if (what.isEmpty() || position < 1 || position - 1 + what.size() > SourceText.size())
        return false;
    return QStringView(SourceText).mid(position - 1, what.size()) == what;
}

// An opener made of identifier characters (BasicScript's rem) is a word: it
// matches ignoring case and only when no identifier character follows, so
// that names such as remaining stay code. Other openers match exactly.
bool TzsParser::matchLineComment(int position, const QString& opener) const
{
    if (opener.isEmpty())
        return false;
    if (!isIdentChar(opener.at(0)))
        return atText(position, opener);
    if (position - 1 + opener.size() > SourceText.size())
        return false;
    if (QStringView(SourceText).mid(position - 1, opener.size()).compare(opener, Qt::CaseInsensitive) != 0)
        return false;
    return !isIdentChar(ch(position + int(opener.size())));
}

// Skips one comment at CurrentPos; false when there is none.
bool TzsParser::skipOneComment()
{
    if (CurrentPos >= TextLength)
        return false;
    if (matchLineComment(CurrentPos, CommentLine1) || matchLineComment(CurrentPos, CommentLine2)) {
        const bool startsLine = CurrentPos == 1 || ch(CurrentPos - 1) == QChar(kLF);
        while (CurrentPos <= TextLength) {
            const QChar c = ch(CurrentPos);
            if (c == QChar(kLF))
                break;
            // Keep the line's end visible where line ends matter.
            if (!SkipEOL && !startsLine && c == QChar(kCR))
                break;
            ++CurrentPos;
        }
        return true;
    }
    const QString* close = nullptr;
    int openLength = 0;
    if (!m_commentBlock1.isEmpty() && atText(CurrentPos, m_block1Open)) {
        close = &m_block1Close;
        openLength = int(m_block1Open.size());
    } else if (!m_commentBlock2.isEmpty() && atText(CurrentPos, m_block2Open)) {
        close = &m_block2Close;
        openLength = int(m_block2Open.size());
    }
    if (!close)
        return false;
    const int start = CurrentPos;
    const int from = CurrentPos - 1 + openLength;
    const qsizetype found = close->isEmpty() ? -1 : QStringView(SourceText).left(TextLength).indexOf(*close, from);
    if (found < 0) {
        UnterminatedComment = start;
        CurrentPos = TextLength + 1;
    } else {
        CurrentPos = int(found + close->size()) + 1;
    }
    return true;
}

void TzsParser::SkipSpaces()
{
    // Each continuation character asks for one following end of line; the
    // requests are kept as a count instead of nested calls.
    int pendingEol = 0;
    for (;;) {
        while (CurrentPos <= TextLength) {
            const QChar c = ch(CurrentPos);
            if (c.unicode() > ' ' || (!SkipEOL && c == QChar(kCR)))
                break;
            ++CurrentPos;
        }
        if (!SkipChar.isEmpty() && CurrentPos <= TextLength && ch(CurrentPos) == SkipChar.at(0)) {
            ++CurrentPos;
            ++pendingEol;
            continue;
        }
        if (skipOneComment())
            continue;
        if (pendingEol > 0 && (ch(CurrentPos) == QChar(kCR) || ch(CurrentPos) == QChar(kLF))) {
            while (ch(CurrentPos) == QChar(kCR) || ch(CurrentPos) == QChar(kLF))
                ++CurrentPos;
            --pendingEol;
            continue;
        }
        break;
    }
    TokenStart = CurrentPos;
}

bool TzsParser::GetEOL()
{
    SkipSpaces();
    const QChar c = ch(CurrentPos);
    if (CurrentPos > TextLength || (c != QChar(kCR) && c != QChar(kLF)))
        return false;
    while (CurrentPos <= TextLength && (ch(CurrentPos) == QChar(kCR) || ch(CurrentPos) == QChar(kLF)))
        ++CurrentPos;
    return true;
}

int TzsParser::scanWord()
{
    if (AutoSkip)
        SkipSpaces();
    const int start = CurrentPos;
    if (CurrentPos > TextLength || isDigit(ch(CurrentPos)) || !isIdentChar(ch(CurrentPos)))
        return 0;
    while (CurrentPos <= TextLength && isIdentChar(ch(CurrentPos)))
        ++CurrentPos;
    return CurrentPos - start;
}

QString TzsParser::GetWord()
{
    const int length = scanWord();
    return length ? SourceText.mid(CurrentPos - length - 1, length) : QString();
}

int TzsParser::scanChar()
{
    if (CurrentPos > TextLength || !isPunctuation(ch(CurrentPos)))
        return 0;
    ++CurrentPos;
    return 1;
}

QString TzsParser::GetIdent()
{
    QString word = GetWord();
    if (IsKeyWord(word))
        return {};
    return word;
}

QString TzsParser::GetChar()
{
    if (CurrentPos > TextLength || !isPunctuation(ch(CurrentPos)))
        return {};
    return QString(ch(CurrentPos++));
}

bool TzsParser::readInteger()
{
    const int start = CurrentPos;
    if (!HexSequence.isEmpty() && atText(CurrentPos, HexSequence)
        && CurrentPos + HexSequence.size() <= TextLength && plat::HexDigitValue(ch(CurrentPos + int(HexSequence.size()))) >= 0) {
        CurrentPos += int(HexSequence.size());
        while (CurrentPos <= TextLength && plat::HexDigitValue(ch(CurrentPos)) >= 0)
            ++CurrentPos;
        return true;
    }
    while (CurrentPos <= TextLength && isDigit(ch(CurrentPos)))
        ++CurrentPos;
    return CurrentPos > start;
}

QString TzsParser::GetNumber()
{
    if (AutoSkip)
        SkipSpaces();
    const int start = CurrentPos;
    if (!readInteger()) {
        CurrentPos = start;
        return {};
    }
    bool tryExponent = true;
    if (ch(CurrentPos) == u'.' && CurrentPos < TextLength) {
        if (isDigit(ch(CurrentPos + 1))) {
            CurrentPos += 1;
            while (CurrentPos <= TextLength && isDigit(ch(CurrentPos)))
                ++CurrentPos;
        } else {
            tryExponent = false; // 1..5 stays a number, two dots and a number
        }
    }
    if (tryExponent && CurrentPos <= TextLength && (ch(CurrentPos) == u'E' || ch(CurrentPos) == u'e')) {
        const int e = CurrentPos;
        ++CurrentPos;
        if (ch(CurrentPos) == u'+' || ch(CurrentPos) == u'-')
            ++CurrentPos;
        if (CurrentPos <= TextLength && isDigit(ch(CurrentPos))) {
            while (CurrentPos <= TextLength && isDigit(ch(CurrentPos)))
                ++CurrentPos;
        } else {
            CurrentPos = e;
        }
    }
    QString text = SourceText.mid(start - 1, CurrentPos - start);
    if (!HexSequence.isEmpty() && HexSequence != QLatin1String("$"))
        text.replace(HexSequence, QStringLiteral("$"));
    return text;
}

QString TzsParser::GetString()
{
    if (AutoSkip)
        SkipSpaces();
    const QChar quote = StringQuotes.isEmpty() ? QChar(u'\0') : StringQuotes.at(0);
    QString collected;
    bool any = false;
    for (;;) {
        const int partStart = CurrentPos;
        if (CurrentPos <= TextLength && !quote.isNull() && ch(CurrentPos) == quote) {
            ++CurrentPos;
            QString part;
            bool closed = false;
            while (CurrentPos <= TextLength) {
                const QChar c = ch(CurrentPos);
                if (c != u'\t' && c.unicode() < 32)
                    break; // a string never spans a line
                ++CurrentPos;
                if (c == quote) {
                    if (!SpecStrChar && ch(CurrentPos) == quote && CurrentPos <= TextLength) {
                        part.append(quote);
                        ++CurrentPos;
                        continue;
                    }
                    closed = true;
                    break;
                }
                if (SpecStrChar && c == u'\\') {
                    const QChar e = ch(CurrentPos);
                    if (CurrentPos > TextLength || (e != u'\t' && e.unicode() < 32))
                        break;
                    ++CurrentPos;
                    const char16_t lower = e.toLower().unicode();
                    if (lower == 'n') {
                        part.append(QChar(kLF));
                    } else if (lower == 'r') {
                        part.append(QChar(kCR));
                    } else if (lower == 'x') {
                        int code = 0;
                        bool digits = false;
                        while (CurrentPos <= TextLength && plat::HexDigitValue(ch(CurrentPos)) >= 0) {
                            code = ((code << 4) | plat::HexDigitValue(ch(CurrentPos))) & 0xFF;
                            digits = true;
                            ++CurrentPos;
                        }
                        if (digits)
                            part.append(charFromByte(code));
                    } else {
                        part.append(e);
                    }
                    continue;
                }
                part.append(c);
            }
            if (!closed) {
                CurrentPos = partStart;
                break;
            }
            collected.append(part);
            any = true;
            continue;
        }
        if (CurrentPos <= TextLength && ch(CurrentPos) == u'#') {
            ++CurrentPos;
            const int numberStart = CurrentPos;
            if (!readInteger()) {
                CurrentPos = partStart;
                break;
            }
            QString digits = SourceText.mid(numberStart - 1, CurrentPos - numberStart);
            qint64 code = 0;
            if (!HexSequence.isEmpty() && digits.startsWith(HexSequence)) {
                for (QChar c : QStringView(digits).mid(HexSequence.size()))
                    code = std::min<qint64>(code * 16 + plat::HexDigitValue(c), 0x10FFFF + 1);
            } else {
                for (QChar c : digits)
                    code = std::min<qint64>(code * 10 + (c.unicode() - '0'), 0x10FFFF + 1);
            }
            if (code < 256)
                collected.append(charFromByte(int(code)));
            else if (code <= 0xFFFF && !(code >= 0xD800 && code <= 0xDFFF))
                collected.append(QChar(char16_t(code)));
            else
                collected.append(u'?');
            any = true;
            continue;
        }
        break;
    }
    if (!any)
        return {};
    return u'\'' + collected + u'\'';
}

QString TzsParser::GetZDString()
{
    const int start = CurrentPos;
    int depth = 1;
    bool inSingle = false;
    bool inDouble = false;
    while (CurrentPos <= TextLength) {
        const QChar c = ch(CurrentPos);
        if (c == u'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (c == u'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (!inSingle && !inDouble) {
            if (c == u'<' || c == u'[') {
                ++depth;
            } else if (c == u'>' || c == u']') {
                if (--depth == 0)
                    break;
            }
        }
        ++CurrentPos;
    }
    return SourceText.mid(start - 1, CurrentPos - start);
}

QString TzsParser::PositionToXY(int position) const
{
    const auto it = std::lower_bound(LineStarts.begin(), LineStarts.end(), position);
    const int line = int(it - LineStarts.begin());
    const int previous = line > 0 ? LineStarts[size_t(line - 1)] : 0;
    return QString::number(std::max(line, 1)) + u':' + QString::number(position - previous);
}

QString TzsParser::GetXYPosition() const { return PositionToXY(CurrentPos); }

int TzsParser::PositionOfPoint(int column, int line) const
{
    if (line < 1 || line > int(LineStarts.size()))
        return -1;
    return column + LineStarts[size_t(line - 1)];
}
