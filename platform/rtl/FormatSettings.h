#pragma once
// Locale settings that the format, float and date functions read.
//
// One process-wide instance, filled once from the system locale; tests and
// the program may overwrite it (or pass their own copy to the overloads that
// take one). Day names are indexed 0 = Sunday, month names 0 = January.

#include <QChar>
#include <QString>
#include <array>

class QLocale;

namespace plat {

struct TFormatSettings {
    QChar DecimalSeparator = u'.';
    QChar ThousandSeparator = u',';
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    QString ShortDateFormat = QStringLiteral("M/d/yyyy");
    QString LongDateFormat = QStringLiteral("dddd, MMMM d, yyyy");
    QString ShortTimeFormat = QStringLiteral("h:mm AMPM");
    QString LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
    QString TimeAMString = QStringLiteral("AM");
    QString TimePMString = QStringLiteral("PM");
    // The en_US names; czech() and fromLocale() replace them.
    std::array<QString, 7> ShortDayNames{
        QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
        QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};
    std::array<QString, 7> LongDayNames{
        QStringLiteral("Sunday"),   QStringLiteral("Monday"), QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
        QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday")};
    std::array<QString, 12> ShortMonthNames{
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    std::array<QString, 12> LongMonthNames{
        QStringLiteral("January"),   QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),     QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),      QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"),   QStringLiteral("November"), QStringLiteral("December")};
    // Era of the Gregorian calendar, for the pictures "g" and "gg".
    QString EraName = QStringLiteral("A.D.");
    QString CurrencyString = QStringLiteral("$");
    // 0 = "$1", 1 = "1$", 2 = "$ 1", 3 = "1 $"
    quint8 CurrencyFormat = 0;
    // 0..15, the platform's negative currency layouts ("($1)", "-$1", ... "(1 $)")
    quint8 NegCurrFormat = 0;
    quint8 CurrencyDecimals = 2;
    // Two-digit years: 0 = current century; otherwise the window ends this
    // many years ago (a year is taken within the 100 years after Now - window).
    int TwoDigitYearCenturyWindow = 50;

    // Settings the original platform shows for the given locale.
    static TFormatSettings fromLocale(const QLocale& locale);
    // Fixed presets (independent of the machine) for cs_CZ and en_US.
    static TFormatSettings czech();
    static TFormatSettings english();
};

// The process-wide settings (filled from QLocale::system() on first use).
TFormatSettings& FormatSettings();

} // namespace plat
