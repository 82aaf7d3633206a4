#include "FormatSettings.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace plat {

namespace {

// Qt's date/time pattern letters to the platform's picture letters. Minutes
// become "nn" so that they never read as months; the 12-hour clock is told by
// the presence of "ampm", as the platform does.
QString pictureFromQt(const QString& qt)
{
    QString out;
    bool twelveHour = false;
    for (qsizetype i = 0; i < qt.size();) {
        const QChar c = qt[i];
        if (c == u'\'') {
            const qsizetype end = qt.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? qt.size() : end + 1;
            out += u'"' + qt.mid(i + 1, stop - i - 2 < 0 ? 0 : stop - i - 2) + u'"';
            i = stop;
            continue;
        }
        if (c.category() == QChar::Other_Format) { // bidi marks have no place in a picture
            ++i;
            continue;
        }
        qsizetype n = 1;
        while (i + n < qt.size() && qt[i + n] == c)
            ++n;
        switch (c.unicode()) {
        case u'm': out += n >= 2 ? u"nn"_s : u"n"_s; break;
        case u'H': out += QString(n >= 2 ? 2 : 1, u'h'); break;
        case u'h': out += QString(n >= 2 ? 2 : 1, u'h'); twelveHour = true; break;
        case u'A': case u'a':
            out += u"AMPM"_s; twelveHour = false; n = (i + 1 < qt.size() && qt[i + 1].toUpper() == u'P') ? 2 : n;
            break;
        case u'P': case u'p': break;
        case u't': break;
        case u'y': out += n <= 2 ? u"yyyy"_s : QString(n, u'y'); break;
        default: out += QString(n, c); break;
        }
        i += n;
    }
    if (twelveHour)
        out += u" AMPM"_s;
    return out.trimmed();
}

QChar firstSeparator(const QString& picture, QChar fallback)
{
    for (QChar c : picture)
        if (!c.isLetter() && c != u'"' && c != u' ')
            return c;
    return fallback;
}

} // namespace

TFormatSettings TFormatSettings::english()
{
    return TFormatSettings{}; // the member initialisers are the en_US values
}

TFormatSettings TFormatSettings::czech()
{
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = QChar(0x00A0); // no-break space, as the platform shows it for cs-CZ
    s.DateSeparator = u'.';
    s.TimeSeparator = u':';
    s.ShortDateFormat = u"d.M.yyyy"_s;
    s.LongDateFormat = u"d. MMMM yyyy"_s;
    s.ShortTimeFormat = u"H:mm"_s;
    s.LongTimeFormat = u"H:mm:ss"_s;
    s.TimeAMString = u"dop."_s;
    s.TimePMString = u"odp."_s;
    s.ShortDayNames = {u"ne"_s, u"po"_s, u"út"_s, u"st"_s, u"čt"_s, u"pá"_s, u"so"_s};
    s.LongDayNames = {u"neděle"_s, u"pondělí"_s, u"úterý"_s, u"středa"_s,
                      u"čtvrtek"_s, u"pátek"_s, u"sobota"_s};
    s.ShortMonthNames = {u"led"_s, u"úno"_s, u"bře"_s, u"dub"_s, u"kvě"_s, u"čvn"_s,
                         u"čvc"_s, u"srp"_s, u"zář"_s, u"říj"_s, u"lis"_s, u"pro"_s};
    s.LongMonthNames = {u"leden"_s, u"únor"_s, u"březen"_s, u"duben"_s, u"květen"_s, u"červen"_s,
                        u"červenec"_s, u"srpen"_s, u"září"_s, u"říjen"_s, u"listopad"_s, u"prosinec"_s};
    s.EraName = u"n. l."_s;
    s.CurrencyString = u"Kč"_s;
    s.CurrencyFormat = 3;  // "1 Kč"
    s.NegCurrFormat = 8;   // "-1 Kč"
    s.CurrencyDecimals = 2;
    return s;
}

TFormatSettings TFormatSettings::fromLocale(const QLocale& locale)
{
    // The two locales the program is made for get the exact values the
    // original platform shows; others are derived from Qt's data.
    if (locale.language() == QLocale::Czech)
        return czech();
    if (locale.language() == QLocale::English && locale.territory() == QLocale::UnitedStates)
        return english();
    if (locale.language() == QLocale::C)
        return english();

    TFormatSettings s;
    const QString dp = locale.decimalPoint();
    const QString gs = locale.groupSeparator();
    s.DecimalSeparator = dp.isEmpty() ? QChar(u'.') : dp[0];
    s.ThousandSeparator = gs.isEmpty() ? QChar(u',') : gs[0];
    if (s.ThousandSeparator == QChar(0x202F))
        s.ThousandSeparator = QChar(0x00A0);
    s.ShortDateFormat = pictureFromQt(locale.dateFormat(QLocale::ShortFormat));
    s.LongDateFormat = pictureFromQt(locale.dateFormat(QLocale::LongFormat));
    s.ShortTimeFormat = pictureFromQt(locale.timeFormat(QLocale::NarrowFormat));
    s.LongTimeFormat = pictureFromQt(locale.timeFormat(QLocale::ShortFormat));
    if (!s.LongTimeFormat.contains(u's', Qt::CaseInsensitive))
        s.LongTimeFormat = QString(s.ShortTimeFormat).replace(u"nn"_s, u"nn:ss"_s);
    s.DateSeparator = firstSeparator(s.ShortDateFormat, u'/');
    s.TimeSeparator = firstSeparator(s.LongTimeFormat, u':');
    if (!locale.amText().isEmpty())
        s.TimeAMString = locale.amText();
    if (!locale.pmText().isEmpty())
        s.TimePMString = locale.pmText();
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d; // Qt: 1 = Monday .. 7 = Sunday
        s.ShortDayNames[d] = locale.dayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[d] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    for (int m = 0; m < 12; ++m) {
        s.ShortMonthNames[m] = locale.monthName(m + 1, QLocale::ShortFormat);
        s.LongMonthNames[m] = locale.standaloneMonthName(m + 1, QLocale::LongFormat);
    }
    s.CurrencyString = locale.currencySymbol();
    const QString sample = locale.toCurrencyString(1.0);
    const bool symbolFirst = sample.startsWith(s.CurrencyString);
    const bool spaced = symbolFirst ? !sample.mid(s.CurrencyString.size(), 1).front().isDigit()
                                    : !sample.chopped(s.CurrencyString.size()).back().isDigit();
    s.CurrencyFormat = static_cast<quint8>((symbolFirst ? 0 : 1) + (spaced ? 2 : 0));
    s.NegCurrFormat = symbolFirst ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    return s;
}

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings = TFormatSettings::fromLocale(QLocale::system());
    return settings;
}

} // namespace plat
