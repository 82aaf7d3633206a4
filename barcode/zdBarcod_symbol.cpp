// Module widths, the dispatcher with its input checks, the measure and the
// modulo-10 check digit shared by the encoders.
#include "zdBarcod_symbol.h"

#include "Exceptions.h"

#include <algorithm>
#include <cmath>

const std::array<const char*, kBarcodeTypeCount> TzdBarcodeTypeNames{
    "bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix", "bcCode39",
    "bcCode39Extended",       "bcCode128",             "bcCode128A",        "bcCode128B",
    "bcCode128C",             "bcCode93",              "bcCode93Extended",  "bcCodeMSI",
    "bcCodePostNet",          "bcCodeCodabar",         "bcCodeEAN8",        "bcCodeEAN13",
    "bcCodeUPC_A",            "bcCodeUPC_E0",          "bcCodeUPC_E1",      "bcCodeUPC_Supp2",
    "bcCodeUPC_Supp5",        "bcCodeEAN128",          "bcCodeEAN128A",     "bcCodeEAN128B",
    "bcCodeEAN128C",          "bcGS1Code128",
};

namespace zd {

namespace {

// The wide-to-narrow ratio range of the symbologies that have one.
struct RatioClamp {
    bool has;
    double low;
};

RatioClamp ratioClamp(TzdBarcodeType typ)
{
    switch (typ) {
    case bcCode_2_5_interleaved:
    case bcCode_2_5_industrial:
    case bcCode39:
    case bcCode39Extended:
    case bcCodeCodabar:
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
        return {true, 2.0};
    case bcCode_2_5_matrix:
        return {true, 2.25};
    default:
        return {false, 0.0};
    }
}

constexpr double kRatioHigh = 3.0;
// Beyond this a module is no longer a barcode module; it also keeps every
// width sum far inside 32 bits.
constexpr int kMaxModul = 1000;
// A wide element of a symbology without ratio clamp (MSI, PostNet) stays
// between one unit and this many narrow modules.
constexpr double kMaxFreeRatio = 10.0;

bool isBlankOrControl(QChar c) { return c.unicode() <= 0x20; }

QString trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlankOrControl(s[b]))
        ++b;
    while (e > b && isBlankOrControl(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

[[noreturn]] void raiseNotInteger(QChar c)
{
    throw plat::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(c));
}

} // namespace

bool isCode128Family(TzdBarcodeType typ)
{
    return (typ >= bcCode128 && typ <= bcCode128C) || (typ >= bcCodeEAN128 && typ <= bcGS1Code128);
}

bool hasFixedModuleWidths(TzdBarcodeType typ)
{
    if (isCode128Family(typ))
        return true;
    switch (typ) {
    case bcCode93:
    case bcCode93Extended:
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5:
        return true;
    default:
        return false;
    }
}

int modulo10(QStringView digits)
{
    int sum = 0;
    int weight = 3;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const QChar c = digits[i];
        if (c < u'0' || c > u'9')
            raiseNotInteger(c);
        sum += (c.unicode() - u'0') * weight;
        weight = 4 - weight;
    }
    return (10 - sum % 10) % 10;
}

QString WidthsToModules(QStringView widths)
{
    QString out;
    out.reserve(widths.size());
    for (qsizetype i = 0; i < widths.size(); ++i) {
        const int w = widths[i].unicode() - u'1'; // 0..3
        out += QChar(char16_t((i % 2 == 0 ? u'5' : u'0') + w));
    }
    return out;
}

void LinearSymbol::MakeModuleWidths()
{
    const RatioClamp clamp = ratioClamp(Typ);
    if (clamp.has) {
        if (!(Ratio >= clamp.low)) // NaN included
            Ratio = clamp.low;
        if (Ratio > kRatioHigh)
            Ratio = kRatioHigh;
    }
    if (Modul < 1 || Modul > kMaxModul)
        throw plat::Exception(QStringLiteral("%1: invalid Modul").arg(QLatin1StringView(kBarcodeClassName)));
    if (hasFixedModuleWidths(Typ)) {
        // These symbologies are defined in whole modules; any other ratio
        // would make them unreadable.
        m_w = {Modul, 2 * Modul, 3 * Modul, 4 * Modul};
        return;
    }
    double wide = std::nearbyint(double(Modul) * Ratio);
    if (!(wide >= 1.0))
        wide = 1.0;
    wide = std::min(wide, kMaxFreeRatio * Modul);
    const int w1 = int(wide);
    m_w = {Modul, w1, w1 * 3 / 2, 2 * w1};
}

QString LinearSymbol::MakeModuleString()
{
    MakeModuleWidths();
    if (Typ < 0 || Typ >= kBarcodeTypeCount)
        throw plat::Exception(QStringLiteral("%1: wrong BarcodeType").arg(QLatin1StringView(kBarcodeClassName)));
    if (TBCdata[Typ].Num) {
        Text = trimmed(Text);
        if (Typ != bcCode128C && Typ != bcCodeEAN128C) {
            for (QChar c : std::as_const(Text))
                if (c < u'0' || c > u'9')
                    throw plat::Exception(QStringLiteral("Barcode must be numeric"));
        }
    }
    switch (Typ) {
    case bcCode_2_5_interleaved: return encode2of5Interleaved();
    case bcCode_2_5_industrial: return encode2of5Industrial();
    case bcCode_2_5_matrix: return encode2of5Matrix();
    case bcCode39: return encodeCode39(Text);
    case bcCode39Extended: return encodeCode39Extended();
    case bcCode93: return encodeCode93(Text, Text);
    case bcCode93Extended: return encodeCode93Extended();
    case bcCodeMSI: return encodeMSI();
    case bcCodePostNet: return encodePostNet();
    case bcCodeCodabar: return encodeCodabar();
    case bcCodeEAN8: return encodeEAN8();
    case bcCodeEAN13: return encodeEAN13();
    case bcCodeUPC_A: return encodeUPCA();
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: return encodeUPCE();
    case bcCodeUPC_Supp2: return encodeSupp2();
    case bcCodeUPC_Supp5: return encodeSupp5();
    default: return EncodeCode128();
    }
}

void LinearSymbol::GetModuleInfo(QChar c, int& width, ModuleKind& kind) const
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'3') {
        width = m_w[u - u'0'];
        kind = ModuleKind::Gap;
    } else if (u >= u'5' && u <= u'8') {
        width = m_w[u - u'5'];
        kind = ModuleKind::Bar;
    } else if (u >= u'A' && u <= u'D') {
        width = m_w[u - u'A'];
        kind = ModuleKind::ShortBar;
    } else {
        throw plat::Exception(QStringLiteral("%1: internal Error").arg(QLatin1StringView(kBarcodeClassName)));
    }
}

int LinearSymbol::ModulesWidth(const QString& modules) const
{
    int sum = 0;
    for (QChar c : modules) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'3') {
            sum += m_w[u - u'0'];
        } else if (u >= u'5' && u <= u'8') {
            sum += m_w[u - u'5'];
        } else {
            int w = 0;
            ModuleKind kind;
            GetModuleInfo(c, w, kind);
            sum += w;
        }
    }
    return sum;
}

int LinearSymbol::GetWidth()
{
    return ModulesWidth(MakeModuleString());
}

QString LinearSymbol::ApplyCheckSum(const QString& s) const
{
    if (CheckSumMethod != csmModulo10)
        return s;
    return s + QChar(char16_t(u'0' + modulo10(s)));
}

} // namespace zd
