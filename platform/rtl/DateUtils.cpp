#include "DateUtils.h"

#include "Exceptions.h"

#include <QDateTime>

#include <cmath>

using namespace Qt::StringLiterals;

namespace plat {

namespace {

constexpr qint64 kUnixEpochSerial = 25569; // 1970-01-01 as a day number
constexpr qint64 kDaysBeforeEpochYear1 = 693594; // days from 0001-01-01 (day 1) to 1899-12-30
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
// Pictures may name other pictures (ddddd, c, t); two levels are enough and
// stop a picture that names itself.
constexpr int kMaxPictureDepth = 2;

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<qint64>(doe) - 719468;
}

void civilFromDays(qint64 z, int& year, int& month, int& day)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<qint64>(yoe) + era * 400 + (month <= 2));
}

// A date-time as its calendar day number and the milliseconds of that day.
// The integer part is the day and the fraction the time, also for negative
// values; a time that rounds up to a whole day moves to the next day
// instead of reading as 24:00.
struct DayAndTime {
    bool valid = false;
    qint64 day = 0;
    qint64 msec = 0;
};

DayAndTime splitDateTime(TDateTime value)
{
    DayAndTime r;
    if (!std::isfinite(value) || value < kMinDateTime - 1 || value > kMaxDateTime + 1)
        return r;
    const double whole = std::trunc(value);
    r.day = static_cast<qint64>(whole);
    r.msec = static_cast<qint64>(std::nearbyint(std::fabs(value - whole) * kMSecsPerDay));
    if (r.msec >= kMSecsPerDay) {
        r.msec -= kMSecsPerDay;
        ++r.day;
    }
    r.valid = true;
    return r;
}

[[noreturn]] void raiseDateEncode()
{
    throw EConvertError(u"Invalid argument to date encode"_s);
}

// ---------------------------------------------------------------- pictures

struct Parts {
    int year = 0, month = 0, day = 0, dayOfWeek = 0;
    int hour = 0, min = 0, sec = 0, msec = 0;
};

Parts decodeAll(TDateTime value)
{
    Parts p;
    const DayAndTime dt = splitDateTime(value);
    if (!dt.valid)
        return p;
    if (dt.day >= kMinDateTime && dt.day <= kMaxDateTime) {
        civilFromDays(dt.day - kUnixEpochSerial, p.year, p.month, p.day);
        p.dayOfWeek = static_cast<int>(((dt.day + kDaysBeforeEpochYear1) % 7 + 7) % 7) + 1;
    }
    p.hour = static_cast<int>(dt.msec / 3600000);
    p.min = static_cast<int>(dt.msec / 60000 % 60);
    p.sec = static_cast<int>(dt.msec / 1000 % 60);
    p.msec = static_cast<int>(dt.msec % 1000);
    return p;
}

QString number(int value, int minDigits)
{
    QString s = QString::number(value);
    if (s.size() < minDigits)
        s.prepend(QString(minDigits - s.size(), u'0'));
    return s;
}

template <size_t N>
QString nameAt(const std::array<QString, N>& names, int oneBased)
{
    return oneBased >= 1 && oneBased <= static_cast<int>(N) ? names[static_cast<size_t>(oneBased - 1)] : QString();
}

bool startsWithCI(QStringView s, qsizetype at, QStringView what)
{
    return s.mid(at).startsWith(what, Qt::CaseInsensitive);
}

class PictureWriter {
public:
    PictureWriter(TDateTime value, const TFormatSettings& fs) : m_p(decodeAll(value)), m_fs(fs) {}

    QString write(QStringView format)
    {
        append(format.isEmpty() ? QStringView(u"C") : format, 0);
        return m_out;
    }

private:
    void append(QStringView f, int depth)
    {
        if (depth >= kMaxPictureDepth)
            return;
        QChar lastToken;
        for (qsizetype i = 0; i < f.size();) {
            const QChar starter = f[i];
            QChar token = starter.toUpper();
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastToken == u'H')
                    token = u'N';
                lastToken = token;
            }
            qsizetype count = 1;
            while (i + count < f.size() && f[i + count] == starter)
                ++count;
            const qsizetype next = i + count;
            switch (token.unicode()) {
            case u'Y':
                m_out += count <= 2 ? number(m_p.year % 100, 2) : number(m_p.year, 4);
                break;
            case u'G':
                m_out += m_fs.EraName;
                break;
            case u'E':
                m_out += number(m_p.year, count == 1 ? 1 : 2);
                break;
            case u'M':
                m_out += count == 1 ? number(m_p.month, 1)
                       : count == 2 ? number(m_p.month, 2)
                       : count == 3 ? nameAt(m_fs.ShortMonthNames, m_p.month)
                                    : nameAt(m_fs.LongMonthNames, m_p.month);
                break;
            case u'D':
                if (count <= 2)
                    m_out += number(m_p.day, static_cast<int>(count));
                else if (count == 3)
                    m_out += nameAt(m_fs.ShortDayNames, m_p.dayOfWeek);
                else if (count == 4)
                    m_out += nameAt(m_fs.LongDayNames, m_p.dayOfWeek);
                else
                    append(count == 5 ? m_fs.ShortDateFormat : m_fs.LongDateFormat, depth + 1);
                break;
            case u'H': {
                int hour = m_p.hour;
                if (usesTwelveHourClock(f, next)) {
                    hour %= 12;
                    if (hour == 0)
                        hour = 12;
                }
                m_out += number(hour, count == 1 ? 1 : 2);
                break;
            }
            case u'N':
                m_out += number(m_p.min, count == 1 ? 1 : 2);
                break;
            case u'S':
                m_out += number(m_p.sec, count == 1 ? 1 : 2);
                break;
            case u'Z':
                m_out += number(m_p.msec, count == 1 ? 1 : 3);
                break;
            case u'T':
                append(count == 1 ? m_fs.ShortTimeFormat : m_fs.LongTimeFormat, depth + 1);
                break;
            case u'C':
                append(m_fs.ShortDateFormat, depth + 1);
                if (m_p.hour != 0 || m_p.min != 0 || m_p.sec != 0) {
                    m_out += u' ';
                    append(m_fs.LongTimeFormat, depth + 1);
                }
                break;
            case u'A':
                i = appendAmPm(f, i);
                continue;
            case u'/':
                m_out += QString(count, m_fs.DateSeparator);
                break;
            case u':':
                m_out += QString(count, m_fs.TimeSeparator);
                break;
            case u'"':
            case u'\'': {
                qsizetype end = f.indexOf(starter, i + 1);
                if (end < 0)
                    end = f.size();
                m_out += f.mid(i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            default:
                m_out += f.mid(i, count);
                break;
            }
            i = next;
        }
    }

    // After an hour, the clock is 12-hour when an am/pm picture follows
    // before the next hour (an 'a' that starts no such picture ends the search).
    static bool usesTwelveHourClock(QStringView f, qsizetype from)
    {
        QChar quote;
        for (qsizetype i = from; i < f.size(); ++i) {
            const QChar c = f[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'h' || c == u'H') {
                return false;
            } else if (c == u'a' || c == u'A') {
                return startsWithCI(f, i, u"am/pm") || startsWithCI(f, i, u"a/p") || startsWithCI(f, i, u"ampm");
            }
        }
        return false;
    }

    qsizetype appendAmPm(QStringView f, qsizetype i)
    {
        const bool pm = m_p.hour >= 12;
        if (startsWithCI(f, i, u"am/pm")) {
            m_out += f.mid(pm ? i + 3 : i, 2); // keeps the letter case of the picture
            return i + 5;
        }
        if (startsWithCI(f, i, u"a/p")) {
            m_out += f[pm ? i + 2 : i];
            return i + 3;
        }
        if (startsWithCI(f, i, u"ampm")) {
            m_out += pm ? m_fs.TimePMString : m_fs.TimeAMString;
            return i + 4;
        }
        m_out += f[i];
        return i + 1;
    }

    Parts m_p;
    const TFormatSettings& m_fs;
    QString m_out;
};

// ---------------------------------------------------------------- parsing

class Scanner {
public:
    Scanner(QStringView s, const TFormatSettings& fs) : m_s(s), m_fs(fs) {}

    qsizetype pos() const { return m_pos; }
    void setPos(qsizetype pos) { m_pos = pos; }
    bool atEnd() const { return m_pos >= m_s.size(); }

    void blanks()
    {
        while (m_pos < m_s.size() && m_s[m_pos] == u' ')
            ++m_pos;
    }

    bool character(QChar c)
    {
        blanks();
        if (m_pos < m_s.size() && m_s[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool text(QStringView what)
    {
        blanks();
        if (!what.isEmpty() && startsWithCI(m_s, m_pos, what)) {
            m_pos += what.size();
            return true;
        }
        return false;
    }

    // Decimal digits after blanks; `digits` tells how many were written.
    bool number(int& value, int& digits)
    {
        blanks();
        value = 0;
        digits = 0;
        while (m_pos < m_s.size() && m_s[m_pos] >= u'0' && m_s[m_pos] <= u'9') {
            value = value * 10 + (m_s[m_pos].unicode() - u'0');
            ++digits;
            ++m_pos;
            if (value > kMaxYear)
                return false;
        }
        return digits > 0;
    }

    bool date(TDateTime& result)
    {
        enum Order { MDY, DMY, YMD } order = MDY;
        for (QChar c : m_fs.ShortDateFormat) {
            const QChar u = c.toUpper();
            if (u == u'D') { order = DMY; break; }
            if (u == u'M') { order = MDY; break; }
            if (u == u'Y') { order = YMD; break; }
        }
        int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
        if (!(number(n1, l1) && character(m_fs.DateSeparator) && number(n2, l2)))
            return false;
        int y = 0, m = 0, d = 0;
        const qsizetype afterSecond = m_pos;
        if (character(m_fs.DateSeparator) && !number(n3, l3)) {
            // "24.12." is day and month with the usual closing dot
            blanks();
            if (!atEnd())
                return false;
            m_pos = afterSecond;
        }
        if (l3 > 0) {
            int yearLength = l3;
            switch (order) {
            case MDY: y = n3; m = n1; d = n2; break;
            case DMY: y = n3; m = n2; d = n1; break;
            case YMD: y = n1; m = n2; d = n3; yearLength = l1; break;
            }
            if (yearLength <= 2)
                y = windowedYear(y);
        } else {
            y = QDate::currentDate().year();
            if (order == DMY) {
                d = n1;
                m = n2;
            } else {
                m = n1;
                d = n2;
            }
        }
        character(m_fs.DateSeparator); // "1. 2. 2024." ends with a separator
        blanks();
        return TryEncodeDate(y, m, d, result);
    }

    bool time(TDateTime& result)
    {
        int baseHour = -1;
        if (text(m_fs.TimeAMString) || text(u"AM"))
            baseHour = 0;
        else if (text(m_fs.TimePMString) || text(u"PM"))
            baseHour = 12;
        int hour = 0, min = 0, sec = 0, msec = 0, digits = 0;
        if (!number(hour, digits))
            return false;
        if (character(m_fs.TimeSeparator)) {
            if (!number(min, digits))
                return false;
            if (character(m_fs.TimeSeparator)) {
                if (!number(sec, digits))
                    return false;
                if (character(m_fs.DecimalSeparator) && !fractionOfSecond(msec))
                    return false;
            }
        }
        if (baseHour < 0) {
            if (text(m_fs.TimeAMString) || text(u"AM"))
                baseHour = 0;
            else if (text(m_fs.TimePMString) || text(u"PM"))
                baseHour = 12;
        }
        if (baseHour >= 0) {
            if (hour == 0 || hour > 12)
                return false;
            if (hour == 12)
                hour = 0;
            hour += baseHour;
        }
        blanks();
        return TryEncodeTime(hour, min, sec, msec, result);
    }

private:
    // "30,5" is half a second: the digits are a fraction, cut at milliseconds.
    bool fractionOfSecond(int& msec)
    {
        int digits = 0;
        msec = 0;
        while (m_pos < m_s.size() && m_s[m_pos] >= u'0' && m_s[m_pos] <= u'9') {
            if (digits < 3)
                msec = msec * 10 + (m_s[m_pos].unicode() - u'0');
            ++digits;
            ++m_pos;
        }
        for (int k = digits; k < 3; ++k)
            msec *= 10;
        return digits > 0;
    }

    int windowedYear(int y) const
    {
        const int currentYear = QDate::currentDate().year();
        const int window = m_fs.TwoDigitYearCenturyWindow;
        const int century = currentYear - window;
        y += century / 100 * 100;
        if (window > 0 && y < century)
            y += 100;
        return y;
    }

    QStringView m_s;
    const TFormatSettings& m_fs;
    qsizetype m_pos = 0;
};

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        raiseDateEncode();
    return kMonthDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date)
{
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    date = static_cast<TDateTime>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                                  kUnixEpochSerial);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        raiseDateEncode();
    return date;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time)
{
    if (hour < 0 || hour >= kHoursPerDay || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
        return false;
    time = static_cast<TDateTime>((hour * 3600000LL + min * 60000LL + sec * 1000LL + msec)) / kMSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime time = 0;
    if (!TryEncodeTime(hour, min, sec, msec, time))
        throw EConvertError(u"Invalid argument to time encode"_s);
    return time;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day)
{
    const Parts p = decodeAll(date);
    year = p.year;
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec)
{
    const Parts p = decodeAll(time);
    hour = p.hour;
    min = p.min;
    sec = p.sec;
    msec = p.msec;
}

int DayOfWeek(TDateTime date)
{
    return decodeAll(date).dayOfWeek;
}

TDateTime Date()
{
    return static_cast<TDateTime>(QDate::currentDate().toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

TDateTime Time()
{
    return static_cast<TDateTime>(QTime::currentTime().msecsSinceStartOfDay()) / kMSecsPerDay;
}

TDateTime Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<TDateTime>(now.date().toJulianDay() - QDate(1899, 12, 30).toJulianDay()) +
           static_cast<TDateTime>(now.time().msecsSinceStartOfDay()) / kMSecsPerDay;
}

QString FormatDateTime(const QString& format, TDateTime dateTime)
{
    return FormatDateTime(format, dateTime, FormatSettings());
}

QString FormatDateTime(const QString& format, TDateTime dateTime, const TFormatSettings& settings)
{
    return PictureWriter(dateTime, settings).write(format);
}

QString DateToStr(TDateTime date)
{
    return DateToStr(date, FormatSettings());
}

QString DateToStr(TDateTime date, const TFormatSettings& settings)
{
    return FormatDateTime(settings.ShortDateFormat, date, settings);
}

QString TimeToStr(TDateTime time)
{
    return TimeToStr(time, FormatSettings());
}

QString TimeToStr(TDateTime time, const TFormatSettings& settings)
{
    return FormatDateTime(settings.LongTimeFormat, time, settings);
}

QString DateTimeToStr(TDateTime dateTime)
{
    return DateTimeToStr(dateTime, FormatSettings());
}

QString DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings)
{
    return FormatDateTime(u"c"_s, dateTime, settings);
}

bool TryStrToDate(const QString& text, TDateTime& date)
{
    return TryStrToDate(text, date, FormatSettings());
}

bool TryStrToDate(const QString& text, TDateTime& date, const TFormatSettings& settings)
{
    Scanner scan(text, settings);
    TDateTime value = 0;
    if (!scan.date(value) || !scan.atEnd())
        return false;
    date = value;
    return true;
}

TDateTime StrToDate(const QString& text)
{
    return StrToDate(text, FormatSettings());
}

TDateTime StrToDate(const QString& text, const TFormatSettings& settings)
{
    TDateTime value = 0;
    if (!TryStrToDate(text, value, settings))
        throw EConvertError(u"'%1' is not a valid date"_s.arg(text));
    return value;
}

bool TryStrToTime(const QString& text, TDateTime& time)
{
    return TryStrToTime(text, time, FormatSettings());
}

bool TryStrToTime(const QString& text, TDateTime& time, const TFormatSettings& settings)
{
    Scanner scan(text, settings);
    TDateTime value = 0;
    if (!scan.time(value) || !scan.atEnd())
        return false;
    time = value;
    return true;
}

TDateTime StrToTime(const QString& text)
{
    return StrToTime(text, FormatSettings());
}

TDateTime StrToTime(const QString& text, const TFormatSettings& settings)
{
    TDateTime value = 0;
    if (!TryStrToTime(text, value, settings))
        throw EConvertError(u"'%1' is not a valid time"_s.arg(text));
    return value;
}

bool TryStrToDateTime(const QString& text, TDateTime& dateTime)
{
    return TryStrToDateTime(text, dateTime, FormatSettings());
}

bool TryStrToDateTime(const QString& text, TDateTime& dateTime, const TFormatSettings& settings)
{
    Scanner scan(text, settings);
    TDateTime date = 0;
    TDateTime time = 0;
    if (scan.date(date) && (scan.atEnd() || (scan.time(time) && scan.atEnd()))) {
        // Before the epoch the fraction still counts forward within the day.
        dateTime = date >= 0 ? date + time : date - time;
        return true;
    }
    return TryStrToTime(text, dateTime, settings);
}

TDateTime StrToDateTime(const QString& text)
{
    return StrToDateTime(text, FormatSettings());
}

TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings)
{
    TDateTime value = 0;
    if (!TryStrToDateTime(text, value, settings))
        throw EConvertError(u"'%1' is not a valid date and time"_s.arg(text));
    return value;
}

} // namespace plat
