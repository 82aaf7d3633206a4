#pragma once
// Date and time values: TDateTime is a double counting days since 1899-12-30;
// the fraction is the time of day. For negative values the integer part is
// the day and the fraction the (absolute) time of that day, so -1.25 is
// 1899-12-29 06:00.
//
// Encode/Decode raise EConvertError for invalid parts; the text conversions
// read FormatSettings() unless given their own settings.

#include "FormatSettings.h"

#include <QString>

namespace plat {

using TDateTime = double;

// 0001-01-01 and 9999-12-31 23:59:59.999
constexpr TDateTime kMinDateTime = -693593.0;
constexpr TDateTime kMaxDateTime = 2958465.99999999;
constexpr int kHoursPerDay = 24;
constexpr int kMinsPerDay = kHoursPerDay * 60;
constexpr int kSecsPerDay = kMinsPerDay * 60;
constexpr int kMSecsPerDay = kSecsPerDay * 1000;

bool IsLeapYear(int year);
// Days of a month; raises EConvertError for a month outside 1..12.
int DaysInMonth(int year, int month);

TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday
int DayOfWeek(TDateTime date);

TDateTime Date();
TDateTime Time();
TDateTime Now();

QString DateToStr(TDateTime date);
QString DateToStr(TDateTime date, const TFormatSettings& settings);
QString TimeToStr(TDateTime time);
QString TimeToStr(TDateTime time, const TFormatSettings& settings);
// Short date, then the long time unless the time is midnight.
QString DateTimeToStr(TDateTime dateTime);
QString DateTimeToStr(TDateTime dateTime, const TFormatSettings& settings);

TDateTime StrToDate(const QString& text);
TDateTime StrToDate(const QString& text, const TFormatSettings& settings);
bool TryStrToDate(const QString& text, TDateTime& date);
bool TryStrToDate(const QString& text, TDateTime& date, const TFormatSettings& settings);
TDateTime StrToTime(const QString& text);
TDateTime StrToTime(const QString& text, const TFormatSettings& settings);
bool TryStrToTime(const QString& text, TDateTime& time);
bool TryStrToTime(const QString& text, TDateTime& time, const TFormatSettings& settings);
TDateTime StrToDateTime(const QString& text);
TDateTime StrToDateTime(const QString& text, const TFormatSettings& settings);
bool TryStrToDateTime(const QString& text, TDateTime& dateTime);
bool TryStrToDateTime(const QString& text, TDateTime& dateTime, const TFormatSettings& settings);

// Date-time picture: c d dd ddd dddd ddddd dddddd e ee g gg m mm mmm mmmm
// yy yyyy h hh n nn s ss z zzz t tt am/pm a/p ampm / : "text" 'text'.
QString FormatDateTime(const QString& format, TDateTime dateTime);
QString FormatDateTime(const QString& format, TDateTime dateTime, const TFormatSettings& settings);

} // namespace plat
