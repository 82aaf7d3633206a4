// The Code 128 family (code sets A, B, C and automatic), EAN-128 and GS1-128.
//
// Texts may carry three-character escapes: "&A;", "&B;", "&C;" choose a code
// set, "&S;" shifts one character to the other of A and B, "&1;".."&4;" are
// FNC1..FNC4 ("&FNC1;" is another spelling of "&1;").
#include "zdBarcod_symbol.h"

#include "Exceptions.h"

#include <string_view>

namespace zd {

namespace {

// Symbol values 0..105: bar, gap, bar, gap, bar, gap widths in modules. The
// characters of sets A and B are the rules of valueInA and valueInB.
constexpr std::array<std::string_view, 106> TCode128{
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232",
};
constexpr std::string_view kStop = "2331112";

constexpr int kFNC3 = 96;
constexpr int kFNC2 = 97;
constexpr int kShift = 98;
constexpr int kCodeC = 99;
constexpr int kCodeB = 100; // FNC4 inside set B
constexpr int kCodeA = 101; // FNC4 inside set A
constexpr int kFNC1 = 102;
constexpr int kStartA = 103;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kCheckModulus = 103;

constexpr int kEscapeLength = 3;

// GS1 application identifiers: 'X' matches any character. Fixed fields have
// exactly max characters; variable ones min..max, ended by the next "(".
struct AICode {
    std::string_view id;
    int min;
    int max;
    bool fixed;
};

constexpr std::array<AICode, 89> TzdAICodesData{{
    {"00", 18, 18, true}, {"01", 14, 14, true}, {"02", 14, 14, true}, {"10", 1, 20, false},
    {"11", 6, 6, true}, {"12", 6, 6, true}, {"13", 6, 6, true}, {"15", 6, 6, true},
    {"16", 6, 6, true}, {"17", 6, 6, true}, {"20", 2, 2, true}, {"21", 1, 20, false},
    {"22", 1, 20, false}, {"240", 1, 30, false}, {"241", 1, 30, false}, {"242", 1, 6, false},
    {"243", 1, 20, false}, {"250", 1, 30, false}, {"251", 1, 30, false}, {"253", 13, 30, false},
    {"254", 1, 20, false}, {"255", 13, 25, false}, {"30", 1, 8, false}, {"31XX", 6, 6, true},
    {"32XX", 6, 6, true}, {"33XX", 6, 6, true}, {"34XX", 6, 6, true}, {"35XX", 6, 6, true},
    {"36XX", 6, 6, true}, {"37", 1, 8, false}, {"390X", 1, 15, false}, {"391X", 3, 18, false},
    {"392X", 1, 15, false}, {"393X", 3, 18, false}, {"394X", 4, 4, false}, {"400", 1, 30, false},
    {"401", 1, 30, false}, {"402", 17, 17, false}, {"403", 1, 30, false}, {"41X", 13, 13, true},
    {"420", 1, 20, false}, {"421", 3, 12, false}, {"422", 3, 3, false}, {"423", 3, 15, false},
    {"424", 3, 3, false}, {"425", 3, 15, false}, {"426", 3, 3, false}, {"7001", 13, 13, false},
    {"7002", 1, 30, false}, {"7003", 10, 10, false}, {"7004", 1, 4, false}, {"7005", 1, 12, false},
    {"7006", 6, 6, false}, {"7007", 6, 12, false}, {"7008", 1, 3, false}, {"7009", 1, 10, false},
    {"7010", 1, 2, false}, {"7020", 1, 20, false}, {"7021", 1, 20, false}, {"7022", 1, 20, false},
    {"7023", 1, 30, false}, {"703X", 3, 30, false}, {"710", 1, 20, false}, {"711", 1, 20, false},
    {"712", 1, 20, false}, {"713", 1, 20, false}, {"71X", 1, 20, false}, {"8001", 14, 14, false},
    {"8002", 1, 20, false}, {"8003", 14, 30, false}, {"8004", 1, 30, false}, {"8005", 6, 6, false},
    {"8006", 18, 18, false}, {"8007", 1, 34, false}, {"8008", 8, 12, false}, {"8010", 1, 30, false},
    {"8011", 1, 12, false}, {"8012", 1, 20, false}, {"8013", 1, 30, false}, {"8017", 18, 18, false},
    {"8018", 18, 18, false}, {"8019", 1, 10, false}, {"8020", 1, 25, false}, {"8110", 1, 70, false},
    {"8111", 4, 4, false}, {"8112", 1, 70, false}, {"8200", 1, 70, false}, {"90", 1, 30, false},
    {"9X", 1, 90, false},
}};

const QString kEscA = QStringLiteral("&A;");
const QString kEscB = QStringLiteral("&B;");
const QString kEscC = QStringLiteral("&C;");
const QString kEscShift = QStringLiteral("&S;");
const QString kEscFNC1 = QStringLiteral("&1;");

[[noreturn]] void raiseInvalid()
{
    throw plat::Exception(QStringLiteral("Invalid Barcode"));
}

// Set A: the codes 32..95 are values 0..63, the control codes 0..31 values
// 64..95. Set B: the codes 32..126 are values 0..94. The code 127 has no value.
int valueInA(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 32 && u <= 95)
        return u - 32;
    if (u < 32)
        return u + 64;
    return -1;
}

int valueInB(QChar c)
{
    const char16_t u = c.unicode();
    return u >= 32 && u <= 126 ? u - 32 : -1;
}

bool inSetA(QChar c) { return valueInA(c) >= 0; }
bool inSetB(QChar c) { return valueInB(c) >= 0; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int valueInC(QStringView token)
{
    if (token.size() != 2 || !isDigit(token[0]) || !isDigit(token[1]))
        return -1;
    return (token[0].unicode() - u'0') * 10 + (token[1].unicode() - u'0');
}

// The upper-case escape letter at pos, or 0 when no escape starts there.
char16_t escapeAt(const QString& t, qsizetype pos)
{
    if (pos + 2 >= t.size() || t[pos] != u'&' || t[pos + 2] != u';')
        return 0;
    const char16_t letter = t[pos + 1].toUpper().unicode();
    return std::u16string_view(u"ABCS1234").find(letter) != std::u16string_view::npos ? letter : 0;
}

bool isFncLetter(char16_t letter) { return letter >= u'1' && letter <= u'4'; }

// A token without a copy: an escape (its upper-case letter), or one or two
// characters of the text.
struct Token {
    char16_t escape = 0;
    QStringView text;
};

Token nextToken(const QString& t, qsizetype& pos, Code128Set set)
{
    Token token;
    if ((token.escape = escapeAt(t, pos))) {
        token.text = QStringView(t).mid(pos, kEscapeLength);
        pos += kEscapeLength;
    } else if (set == Code128Set::C && pos + 1 < t.size()) {
        token.text = QStringView(t).mid(pos, 2);
        pos += 2;
    } else {
        token.text = QStringView(t).mid(pos, 1);
        pos += 1;
    }
    return token;
}

// ---------------------------------------------------------------- automatic code sets

enum class CharClass { OnlyA, OnlyB, Both, Digits };

bool digitRunStartsAt(const QString& t, qsizetype q)
{
    // Four digits and at least five characters from q on: four digits at the
    // very end are cheaper in set B than with a switch to C.
    if (t.size() < q + 5)
        return false;
    for (qsizetype i = q; i < q + 4; ++i)
        if (!isDigit(t[i]))
            return false;
    return true;
}

CharClass classAt(const QString& t, qsizetype q)
{
    if (digitRunStartsAt(t, q))
        return CharClass::Digits;
    const bool a = inSetA(t[q]);
    const bool b = inSetB(t[q]);
    if (a && b)
        return CharClass::Both;
    return b ? CharClass::OnlyB : CharClass::OnlyA;
}

// ---------------------------------------------------------------- GS1

const AICode* findAI(const QString& t, qsizetype from)
{
    const qsizetype rest = t.size() - from;
    for (const AICode& row : TzdAICodesData) {
        if (qsizetype(row.id.size()) > rest)
            continue;
        bool match = true;
        for (size_t j = 0; j < row.id.size() && match; ++j)
            match = row.id[j] == 'X' || t[from + qsizetype(j)] == QLatin1Char(row.id[j]);
        if (match)
            return &row;
    }
    return nullptr;
}

// ---------------------------------------------------------------- symbol values

// Writes symbol characters straight into module characters and keeps the
// weighted sum for the check character.
class Code128Writer {
public:
    Code128Writer(int start, qsizetype expectedSymbols) : m_sum(start)
    {
        m_modules.reserve((expectedSymbols + 3) * 6 + 1);
        append(TCode128[start]);
    }

    void add(int value)
    {
        append(TCode128[value]);
        m_sum += value * m_weight;
        ++m_weight;
    }

    QString finish()
    {
        append(TCode128[m_sum % kCheckModulus]);
        append(kStop);
        return std::move(m_modules);
    }

private:
    // Width digits alternate bar, gap, ... from a bar: every pattern has an
    // even length except the stop, which comes last.
    void append(std::string_view widths)
    {
        for (size_t i = 0; i < widths.size(); ++i)
            m_modules += QChar(char16_t((i % 2 == 0 ? u'5' : u'0') + (widths[i] - '1')));
    }

    QString m_modules;
    int m_sum;
    int m_weight = 1;
};

int characterValue(QStringView token, Code128Set set)
{
    switch (set) {
    case Code128Set::A: return token.size() == 1 ? valueInA(token[0]) : -1;
    case Code128Set::B: return token.size() == 1 ? valueInB(token[0]) : -1;
    case Code128Set::C: return valueInC(token);
    case Code128Set::None: break;
    }
    return -1;
}

bool isSetEscape(char16_t escape, Code128Set& set)
{
    switch (escape) {
    case u'A': set = Code128Set::A; return true;
    case u'B': set = Code128Set::B; return true;
    case u'C': set = Code128Set::C; return true;
    default: return false;
    }
}

// Turns prepared text (starting with a code-set escape) into modules.
QString encodePrepared(const QString& t)
{
    qsizetype pos = 0;
    Code128Set set = Code128Set::None;
    if (t.isEmpty() || !isSetEscape(nextToken(t, pos, Code128Set::None).escape, set))
        raiseInvalid();
    Code128Writer writer(set == Code128Set::A ? kStartA : set == Code128Set::B ? kStartB : kStartC, t.size());

    while (pos < t.size()) {
        const Token token = nextToken(t, pos, set);
        Code128Set next = set;
        if (isSetEscape(token.escape, next)) {
            if (next != set)
                writer.add(next == Code128Set::A ? kCodeA : next == Code128Set::B ? kCodeB : kCodeC);
            set = next;
            continue;
        }
        if (token.escape == u'1') {
            writer.add(kFNC1);
            continue;
        }
        // Shift and FNC2..FNC4 have no value in set C: there 96..98 are digit
        // pairs and 100 a switch to B, so writing them would change the data.
        if (set == Code128Set::C && token.escape)
            raiseInvalid();
        if (token.escape == u'S') {
            if (pos >= t.size())
                raiseInvalid();
            const Code128Set shifted = set == Code128Set::A ? Code128Set::B : Code128Set::A;
            const Token target = nextToken(t, pos, shifted);
            const int value = target.escape ? -1 : characterValue(target.text, shifted);
            if (value < 0)
                raiseInvalid();
            writer.add(kShift);
            writer.add(value);
            continue;
        }
        switch (token.escape) {
        case u'2': writer.add(kFNC2); continue;
        case u'3': writer.add(kFNC3); continue;
        case u'4': writer.add(set == Code128Set::A ? kCodeA : kCodeB); continue;
        default: break;
        }
        const int value = characterValue(token.text, set);
        if (value < 0)
            raiseInvalid();
        writer.add(value);
    }
    return writer.finish();
}

bool isEan128(TzdBarcodeType typ) { return typ >= bcCodeEAN128 && typ <= bcCodeEAN128C; }

} // namespace

QString Code128NextToken(const QString& t, qsizetype& pos, Code128Set set)
{
    const Token token = nextToken(t, pos, set);
    if (token.escape)
        return QString(u'&') + QChar(token.escape) + u';';
    return token.text.toString();
}

QString Code128StripEscapes(const QString& t, bool dropFnc)
{
    QString out;
    out.reserve(t.size());
    qsizetype pos = 0;
    while (pos < t.size()) {
        const Token token = nextToken(t, pos, Code128Set::None);
        if (token.escape) {
            if (!isFncLetter(token.escape) || dropFnc)
                continue;
            out += u'&';
            out += QChar(token.escape);
            out += u';';
        } else {
            out += token.text;
        }
    }
    return out;
}

QString Code128NextRun(const QString& t, qsizetype& pos, Code128Set& set)
{
    QString fnc;
    if (isFncLetter(escapeAt(t, pos))) {
        fnc = t.mid(pos, kEscapeLength);
        pos += kEscapeLength;
    }
    if (pos >= t.size()) {
        // A trailing function character: it needs a code set to live in.
        if (set != Code128Set::None)
            return fnc;
        set = Code128Set::B;
        return kEscB + fnc;
    }
    const qsizetype p = pos;
    CharClass state = classAt(t, p);
    if (state == CharClass::Digits) {
        qsizetype n = 0;
        while (p + n < t.size() && isDigit(t[p + n]))
            ++n;
        n -= n % 2;
        pos += n;
        set = Code128Set::C;
        return kEscC + fnc + t.mid(p, n);
    }
    qsizetype i = 1;
    while (p + i < t.size()) {
        CharClass c = classAt(t, p + i);
        if (c != CharClass::Digits && c != state) {
            if (state == CharClass::Both)
                state = c;
            else if (c == CharClass::Both)
                c = state;
        }
        if (c != state)
            break;
        ++i;
    }
    if (state == CharClass::Both)
        state = CharClass::OnlyB;
    const Code128Set runSet = state == CharClass::OnlyA ? Code128Set::A : Code128Set::B;
    pos += i;
    if ((set == Code128Set::A || set == Code128Set::B) && runSet != set && i == 1)
        return kEscShift + fnc + t[p];
    set = runSet;
    return (runSet == Code128Set::A ? kEscA : kEscB) + fnc + t.mid(p, i);
}

QString Code128AutoEncode(const QString& t)
{
    const QString s = Code128StripEscapes(t, false);
    QString out;
    out.reserve(s.size() + 16);
    qsizetype pos = 0;
    Code128Set set = Code128Set::None;
    while (pos < s.size())
        out += Code128NextRun(s, pos, set);
    return out;
}

QString GS1ParseElement(const QString& t, qsizetype& pos)
{
    if (pos >= t.size() || t[pos] != u'(' || t.size() - (pos + 1) < 3)
        return {};
    const AICode* ai = findAI(t, pos + 1);
    if (!ai)
        return {};
    const qsizetype idLength = qsizetype(ai->id.size());
    const QString id = t.mid(pos + 1, idLength);
    qsizetype p = pos + 1 + idLength;
    if (p >= t.size() || t[p] != u')')
        return {};
    const qsizetype rest = t.size() - (p + 1);
    ++p;
    if (ai->fixed) {
        if (ai->max > rest)
            return {};
        const QString data = t.mid(p, ai->max);
        // A fixed field that runs into the next identifier is too short.
        if (data.contains(u'('))
            return {};
        pos = p + ai->max;
        return id + data;
    }
    const qsizetype next = t.indexOf(u'(', p);
    const qsizetype n = next < 0 ? rest : next - p;
    if (n < ai->min || n > ai->max)
        return {};
    QString element = id + t.mid(p, n);
    pos = p + n;
    if (pos < t.size())
        element += kEscFNC1;
    return element;
}

QString GS1ToCode128(const QString& t)
{
    if (t.size() <= 2)
        return {};
    QString out = kEscFNC1;
    qsizetype pos = 0;
    while (pos < t.size()) {
        const QString element = GS1ParseElement(t, pos);
        if (element.isEmpty())
            return {};
        out += element;
    }
    return out;
}

QString Code128HumanText(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("&FNC1;"), kEscFNC1);
    return Code128StripEscapes(t, true);
}

QString LinearSymbol::EncodeCode128()
{
    QString t = Text;
    t.replace(QStringLiteral("&FNC1;"), kEscFNC1);
    const bool cTypes = Typ == bcCode128C || Typ == bcCodeEAN128C;
    if (cTypes) {
        t.replace(u'(', kEscFNC1);
        t.remove(u')');
    }
    // The EAN-128 check digit joins the data before the code sets are
    // chosen, so that a digit run never ends in a lone digit in set C.
    if (isEan128(Typ) && Checksum && CheckSumMethod == csmModulo10 && !t.isEmpty())
        t += QChar(char16_t(u'0' + modulo10(Code128StripEscapes(t, true))));

    switch (Typ) {
    case bcCode128A:
    case bcCodeEAN128A: t = kEscA + t; break;
    case bcCode128B:
    case bcCodeEAN128B: t = kEscB + t; break;
    case bcCode128C:
    case bcCodeEAN128C: t = kEscC + t; break;
    case bcGS1Code128: t = Code128AutoEncode(GS1ToCode128(t)); break;
    default: t = Code128AutoEncode(t); break;
    }
    if (isEan128(Typ) && t.size() >= kEscapeLength && t.mid(kEscapeLength, kEscapeLength) != kEscFNC1)
        t.insert(kEscapeLength, kEscFNC1);
    return encodePrepared(t);
}

} // namespace zd
