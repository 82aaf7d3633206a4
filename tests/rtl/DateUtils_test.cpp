// Date values, their pictures and their parsing under the English and Czech presets.

#include "DateUtils.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "RtlTestUtil.h"

#include <QDate>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace plat;


namespace {



// 2024-03-05 (a Tuesday) 14:07:09.045
TDateTime sample()
{
    return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
}

struct Ymd {
    int y, m, d;
    bool operator==(const Ymd&) const = default;
};

Ymd decode(TDateTime t)
{
    Ymd r{};
    DecodeDate(t, r.y, r.m, r.d);
    return r;
}

} // namespace

// ---------------------------------------------------------------- encode and decode

TEST(EncodeDate, KnownDayNumbers)
{
    struct Case { int y, m, d; double serial; };
    const std::vector<Case> cases = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {1900, 3, 1, 61}, // 1900 is no leap year
        {2000, 1, 1, 36526}, {2024, 2, 29, 45351}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
        {1899, 12, 29, -1}, {1752, 9, 14, -53797}, // values checked with Python's datetime
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial) << c.y << '-' << c.m << '-' << c.d;
        EXPECT_EQ(decode(c.serial), (Ymd{c.y, c.m, c.d})) << c.serial;
    }
}

TEST(EncodeDate, InvalidPartsRaise)
{
    struct Case { int y, m, d; };
    const std::vector<Case> bad = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 1},
                                   {2024, 1, 0}, {0, 1, 1}, {10000, 1, 1}, {-5, 1, 1}, {2024, 1, 32}};
    for (const Case& c : bad) {
        TDateTime d = 123;
        EXPECT_FALSE(TryEncodeDate(c.y, c.m, c.d, d)) << c.y << '-' << c.m << '-' << c.d;
        EXPECT_EQ(d, 123);
        EXPECT_EQ(errorOf([&] { EncodeDate(c.y, c.m, c.d); }), u"Invalid argument to date encode");
    }
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
}

TEST(EncodeDate, EveryDayRoundTrips)
{
    // Every day of four centuries around the epoch, through both directions.
    const TDateTime first = EncodeDate(1800, 1, 1);
    const TDateTime last = EncodeDate(2200, 12, 31);
    QDate expected(1800, 1, 1);
    for (TDateTime t = first; t <= last; t += 1, expected = expected.addDays(1)) {
        const Ymd got = decode(t);
        ASSERT_EQ(got, (Ymd{expected.year(), expected.month(), expected.day()})) << t;
        ASSERT_EQ(EncodeDate(got.y, got.m, got.d), t);
        ASSERT_EQ(DayOfWeek(t), expected.dayOfWeek() % 7 + 1) << t;
    }
}

TEST(EncodeTime, RangeAndValue)
{
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0);
    for (auto [h, m, s, ms] : std::vector<std::array<int, 4>>{{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0},
                                                              {0, 0, 0, 1000}, {-1, 0, 0, 0}}) {
        // Copies: clang 14 cannot capture structured bindings.
        EXPECT_EQ(errorOf([h = h, m = m, s = s, ms = ms] { EncodeTime(h, m, s, ms); }),
                  u"Invalid argument to time encode")
            << h << m << s << ms;
    }
}

TEST(DecodeTime, EveryMillisecondPatternRoundTrips)
{
    for (int h : {0, 1, 11, 12, 13, 23})
        for (int m : {0, 1, 30, 59})
            for (int s : {0, 1, 59})
                for (int ms : {0, 1, 499, 500, 999}) {
                    int hh, mm, ss, mss;
                    DecodeTime(EncodeDate(2024, 1, 1) + EncodeTime(h, m, s, ms), hh, mm, ss, mss);
                    ASSERT_EQ((std::array{hh, mm, ss, mss}), (std::array{h, m, s, ms}));
                }
}

TEST(DecodeTime, NegativeValuesCountTheDayByItsIntegerPart)
{
    // -1.25: the day is -1 (1899-12-29), the time the fraction 0.25 (06:00).
    EXPECT_EQ(decode(-1.25), (Ymd{1899, 12, 29}));
    int h, m, s, ms;
    DecodeTime(-1.25, h, m, s, ms);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(m, 0);
    // -0.5 lies within day 0 at noon
    EXPECT_EQ(decode(-0.5), (Ymd{1899, 12, 30}));
    DecodeTime(-0.5, h, m, s, ms);
    EXPECT_EQ(h, 12);
}

TEST(DecodeTime, TimeRoundingToAWholeDayMovesToTheNextDay)
{
    const TDateTime almostMidnight = EncodeDate(2024, 2, 28) + 0.99999999999;
    int h, m, s, ms;
    DecodeTime(almostMidnight, h, m, s, ms);
    EXPECT_EQ((std::array{h, m, s, ms}), (std::array{0, 0, 0, 0}));
    EXPECT_EQ(decode(almostMidnight), (Ymd{2024, 2, 29}));
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz"_qs, almostMidnight, kEn), u"2024-02-29 00:00:00.000");
    // below half a millisecond the time rounds down
    DecodeTime(EncodeTime(10, 0, 0, 0) + 0.4 / kMSecsPerDay, h, m, s, ms);
    EXPECT_EQ(ms, 0);
    DecodeTime(EncodeTime(10, 0, 0, 0) + 0.6 / kMSecsPerDay, h, m, s, ms);
    EXPECT_EQ(ms, 1);
}

TEST(DecodeDate, OutOfRangeGivesZeros)
{
    for (double bad : {-700000.0, 3e6, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(decode(bad), (Ymd{0, 0, 0})) << bad;
        EXPECT_EQ(DayOfWeek(bad), 0);
    }
}

TEST(Calendar, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_THROW(DaysInMonth(2023, 13), EConvertError);
    EXPECT_THROW(DaysInMonth(2023, 0), EConvertError);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 7)), 1); // a Sunday
    EXPECT_EQ(DayOfWeek(0), 7);                       // 1899-12-30 was a Saturday
}

TEST(Clock, NowIsTodayPlusTime)
{
    const TDateTime today = Date();
    const TDateTime now = Now();
    EXPECT_EQ(today, std::floor(today));
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.0001); // midnight may pass between the two calls
    EXPECT_GE(Time(), 0);
    EXPECT_LT(Time(), 1);
    EXPECT_EQ(decode(today).y, QDate::currentDate().year());
}

// ---------------------------------------------------------------- pictures

TEST(FormatDateTime, PictureTable)
{
    struct Case { const char* picture; const char* en; const char* cs; };
    const std::vector<Case> cases = {
        {"yyyy-mm-dd", "2024-03-05", "2024-03-05"},
        {"d/m/yy", "5/3/24", "5.3.24"},
        {"dd.mm.yyyy hh:nn:ss", "05.03.2024 14:07:09", "05.03.2024 14:07:09"},
        {"hh:mm", "14:07", "14:07"},                           // m after h is minutes
        {"h:m:s", "14:7:9", "14:7:9"},
        {"hh dd mm", "14 05 03", "14 05 03"},                  // ... but not after another token
        {"h \"h\" mm", "14 h 07", "14 h 07"},                 // quoted text does not break the rule
        {"ddd dddd", "Tue Tuesday", "út úterý"},
        {"mmm mmmm", "Mar March", "bře březen"},
        {"MMMM", "March", "březen"},
        {"ddddd", "3/5/2024", "5.3.2024"},
        {"dddddd", "Tuesday, March 5, 2024", "5. březen 2024"},
        {"c", "3/5/2024 2:07:09 PM", "5.3.2024 14:07:09"},
        {"", "3/5/2024 2:07:09 PM", "5.3.2024 14:07:09"},
        {"t", "2:07 PM", "14:07"},
        {"tt", "2:07:09 PM", "14:07:09"},
        {"h am/pm", "2 pm", "2 pm"},
        {"h AM/PM", "2 PM", "2 PM"},
        {"h a/p", "2 p", "2 p"},
        {"h ampm", "2 PM", "2 odp."},
        {"z zzz", "45 045", "45 045"},
        {"y yy yyy yyyy", "24 24 2024 2024", "24 24 2024 2024"},
        {"e ee", "2024 2024", "2024 2024"},
        {"g", "A.D.", "n. l."},
        {"'yyyy' yyyy", "yyyy 2024", "yyyy 2024"},
        {"\"d\" d", "d 5", "d 5"},
        {"hh:nn 'Uhr' ampm", "02:07 Uhr PM", "02:07 Uhr odp."},
        {"x? k!", "x? k!", "x? k!"},                          // other characters stand for themselves
    };
    for (const Case& c : cases) {
        const QString picture = QString::fromUtf8(c.picture);
        EXPECT_EQ(FormatDateTime(picture, sample(), kEn), QString::fromUtf8(c.en)) << c.picture;
        EXPECT_EQ(FormatDateTime(picture, sample(), kCs), QString::fromUtf8(c.cs)) << c.picture;
    }
}

TEST(FormatDateTime, TwelveHourClockEdges)
{
    const TDateTime d = EncodeDate(2024, 3, 5);
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm"_qs, d + EncodeTime(0, 30, 0, 0), kEn), u"12:30 am");
    EXPECT_EQ(FormatDateTime(u"h:nn am/pm"_qs, d + EncodeTime(12, 5, 0, 0), kEn), u"12:05 pm");
    EXPECT_EQ(FormatDateTime(u"hh AMPM"_qs, d + EncodeTime(11, 0, 0, 0), kCs), u"11 dop.");
    // the am/pm picture only counts up to the next hour
    EXPECT_EQ(FormatDateTime(u"hh hh ampm"_qs, d + EncodeTime(15, 0, 0, 0), kEn), u"15 03 PM");
}

TEST(FormatDateTime, MidnightHasNoTimeInC)
{
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 12, 24), kCs), u"24.12.2024");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 12, 24) + EncodeTime(0, 0, 1, 0), kCs), u"24.12.2024 0:00:01");
    EXPECT_EQ(DateToStr(sample(), kEn), u"3/5/2024");
    EXPECT_EQ(TimeToStr(sample(), kCs), u"14:07:09");
    EXPECT_EQ(TimeToStr(sample(), kEn), u"2:07:09 PM");
}

TEST(FormatDateTime, SelfReferringSettingsStop)
{
    TFormatSettings fs = kEn;
    fs.ShortDateFormat = u"ddddd c"_qs; // names itself
    fs.LongTimeFormat = u"tt"_qs;
    EXPECT_EQ(FormatDateTime(u"ddddd"_qs, sample(), fs), u"  ");
}

// ---------------------------------------------------------------- parsing

TEST(StrToDate, LenientByShortDateOrder)
{
    struct Case { const char* text; const TFormatSettings* fs; int y, m, d; };
    const std::vector<Case> cases = {
        {"5.3.2024", &kCs, 2024, 3, 5},
        {"05.03.2024", &kCs, 2024, 3, 5},
        {" 5. 3. 2024", &kCs, 2024, 3, 5},
        {"5.3.2024.", &kCs, 2024, 3, 5},
        {"29.2.2024", &kCs, 2024, 2, 29},
        {"3/5/2024", &kEn, 2024, 3, 5},
        {"12/31/1899", &kEn, 1899, 12, 31},
        {"1.1.0024", &kCs, 24, 1, 1},                        // four written digits: no century window
    };
    for (const Case& c : cases) {
        const TDateTime t = StrToDate(QString::fromLatin1(c.text), *c.fs);
        EXPECT_EQ(decode(t), (Ymd{c.y, c.m, c.d})) << c.text;
    }
    TFormatSettings iso = kEn;
    iso.ShortDateFormat = u"yyyy-MM-dd"_qs;
    iso.DateSeparator = u'-';
    EXPECT_EQ(decode(StrToDate(u"2024-03-05"_qs, iso)), (Ymd{2024, 3, 5}));
}

TEST(StrToDate, TwoDigitYearsAndMissingYear)
{
    const int year = QDate::currentDate().year();
    // The window takes a two-digit year within the 100 years from (now - 50).
    auto windowed = [&](int yy) {
        const int start = year - 50;
        int y = start / 100 * 100 + yy;
        return y < start ? y + 100 : y;
    };
    for (int yy : {0, 24, 49, 50, 76, 99}) {
        const QString text = QStringLiteral("1.2.%1").arg(yy, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(decode(StrToDate(text, kCs)).y, windowed(yy)) << text.toStdString();
    }
    TFormatSettings noWindow = kCs;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(decode(StrToDate(u"1.2.99"_qs, noWindow)).y, year / 100 * 100 + 99);
    EXPECT_EQ(decode(StrToDate(u"24.12."_qs, kCs)), (Ymd{year, 12, 24}));
    EXPECT_EQ(decode(StrToDate(u"24.12"_qs, kCs)), (Ymd{year, 12, 24}));
    EXPECT_EQ(decode(StrToDate(u"1.1.0"_qs, kCs)).y, windowed(0));
    EXPECT_EQ(decode(StrToDate(u"12/24"_qs, kEn)), (Ymd{year, 12, 24}));
}

TEST(StrToDate, BadTextRaises)
{
    struct Case { const char* text; const TFormatSettings* fs; };
    const std::vector<Case> bad = {{"", &kCs}, {"abc", &kCs}, {"32.1.2024", &kCs}, {"29.2.2023", &kCs},
                                   {"5/3/2024", &kCs}, {"5.3.2024 x", &kCs}, {"5", &kCs}, {"5.", &kCs},
                                   {"5.3.20245", &kCs}, {"5.3.2024 14:00", &kCs}, {"13/1/2024", &kEn},
                                   {"0.1.2024", &kCs}, {"24.12.x", &kCs}, {"24..2024", &kCs}};
    for (const Case& c : bad) {
        TDateTime t = 9;
        EXPECT_FALSE(TryStrToDate(QString::fromLatin1(c.text), t, *c.fs)) << c.text;
        EXPECT_EQ(t, 9);
    }
    EXPECT_EQ(errorOf([] { StrToDate(u"abc"_qs, kCs); }), u"'abc' is not a valid date");
}

TEST(StrToTime, ClockFormsAndErrors)
{
    struct Case { const char* text; const TFormatSettings* fs; int h, m, s, ms; };
    const std::vector<Case> cases = {
        {"14:07:09", &kCs, 14, 7, 9, 0},
        {"14:07", &kCs, 14, 7, 0, 0},
        {"9", &kCs, 9, 0, 0, 0},
        {" 8 : 05 ", &kCs, 8, 5, 0, 0},
        {"14:07:09,5", &kCs, 14, 7, 9, 500},              // the fraction is a fraction of a second
        {"14:07:09,045", &kCs, 14, 7, 9, 45},
        {"14:07:09,12345", &kCs, 14, 7, 9, 123},
        {"2:07 PM", &kEn, 14, 7, 0, 0},
        {"2:07 pm", &kEn, 14, 7, 0, 0},
        {"12:00 AM", &kEn, 0, 0, 0, 0},
        {"12:30 PM", &kEn, 12, 30, 0, 0},
        {"PM 2:07", &kEn, 14, 7, 0, 0},
        {"2:07 odp.", &kCs, 14, 7, 0, 0},
        {"2:07 PM", &kCs, 14, 7, 0, 0},                    // "AM"/"PM" are always understood
    };
    for (const Case& c : cases) {
        int h, m, s, ms;
        DecodeTime(StrToTime(QString::fromLatin1(c.text), *c.fs), h, m, s, ms);
        EXPECT_EQ((std::array{h, m, s, ms}), (std::array{c.h, c.m, c.s, c.ms})) << c.text;
    }
    for (const char* bad : {"", "abc", "24:00", "13:00 PM", "0:00 AM", "12:60", "12:", "12:00:", "12:00:00,",
                            "12:00 x"}) {
        TDateTime t = 9;
        EXPECT_FALSE(TryStrToTime(QString::fromLatin1(bad), t, kEn)) << bad;
        EXPECT_EQ(t, 9);
    }
    EXPECT_EQ(errorOf([] { StrToTime(u"abc"_qs, kCs); }), u"'abc' is not a valid time");
}

TEST(StrToDateTime, DateTimeOrTimeAlone)
{
    EXPECT_EQ(StrToDateTime(u"5.3.2024 14:07:09"_qs, kCs), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime(u"5.3.2024"_qs, kCs), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDateTime(u"14:07"_qs, kCs), EncodeTime(14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime(u"3/5/2024 2:07:09 PM"_qs, kEn), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
    // before the epoch the time still counts forward within its day
    const TDateTime before = StrToDateTime(u"29.12.1899 6:00"_qs, kCs);
    EXPECT_EQ(before, -1.25);
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn"_qs, before, kCs), u"1899-12-29 06:00");
    EXPECT_EQ(errorOf([] { StrToDateTime(u"5.3.2024 25:00"_qs, kCs); }), u"'5.3.2024 25:00' is not a valid date and time");
    EXPECT_EQ(errorOf([] { StrToDateTime(u"x"_qs, kEn); }), u"'x' is not a valid date and time");
}

TEST(StrToDateTime, RoundTripsDateTimeToStr)
{
    for (const TFormatSettings* fs : {&kCs, &kEn}) {
        for (TDateTime t : {EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0), EncodeDate(1999, 12, 31),
                            EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 1, 0), EncodeDate(1, 1, 1) + 0.5,
                            EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0), EncodeDate(1850, 6, 1) - 0.75}) {
            const QString text = DateTimeToStr(t, *fs);
            EXPECT_NEAR(StrToDateTime(text, *fs), t, 1e-9) << text.toStdString();
        }
    }
}

TEST(DateUtilsSettings, ProcessSettingsAreUsedByDefault)
{
    const TFormatSettings saved = FormatSettings();
    FormatSettings() = kCs;
    EXPECT_EQ(DateToStr(sample()), u"5.3.2024");
    EXPECT_EQ(decode(StrToDate(u"5.3.2024"_qs)), (Ymd{2024, 3, 5}));
    FormatSettings() = kEn;
    EXPECT_EQ(DateToStr(sample()), u"3/5/2024");
    FormatSettings() = saved;
}
