// Date and time values of ini files, as the locale's texts.

#include "IniFiles.h"

#include "DateUtils.h"

namespace plat {

double TCustomIniFile::ReadDate(const QString& section, const QString& ident, double defaultValue)
{
    TDateTime value = 0;
    return TryStrToDate(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteDate(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, DateToStr(value));
}

double TCustomIniFile::ReadDateTime(const QString& section, const QString& ident, double defaultValue)
{
    TDateTime value = 0;
    return TryStrToDateTime(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteDateTime(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, DateTimeToStr(value));
}

double TCustomIniFile::ReadTime(const QString& section, const QString& ident, double defaultValue)
{
    TDateTime value = 0;
    return TryStrToTime(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteTime(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, TimeToStr(value));
}

} // namespace plat
