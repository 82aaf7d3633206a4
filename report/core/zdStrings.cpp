#include "zdStrings.h"

#include "CodePage.h"

#include <algorithm>

int zdStrLength(const QString& S) { return int(S.size()); }

int zdStrPos(const QString& Sub, const QString& S)
{
    if (Sub.isEmpty())
        return 0;
    return int(S.indexOf(Sub, 0, Qt::CaseSensitive)) + 1;
}

void zdStrDelete(QString& S, int Index, int Count)
{
    if (Index < 1 || Index > S.size() || Count <= 0)
        return;
    S.remove(Index - 1, std::min<qsizetype>(Count, S.size() - (Index - 1)));
}

QString zdStrCopy(const QString& S, int Start, int Count)
{
    // A start before the text counts from its first character, as the platform's Copy does.
    Start = std::max(Start, 1);
    if (Count <= 0 || Start > S.size())
        return {};
    return S.mid(Start - 1, std::min<qsizetype>(Count, S.size() - (Start - 1)));
}

void zdStrInsert(const QString& Source, QString& S, int Index)
{
    S.insert(std::clamp<qsizetype>(Index - 1, 0, S.size()), Source);
}

QString zdStrUpperCase(const QString& S) { return plat::AnsiUpperCase(S); }

int zdWStrPos(const QString& Sub, const QString& S) { return zdStrPos(Sub, S); }

QString zdWStrCopy(const QString& S, int Index, int Count) { return zdStrCopy(S, Index, Count); }

int zdWStrLength(const QString& S) { return int(S.size()); }

QString zdWStrUpperCase(const QString& S)
{
    return plat::AnsiUpperCase(plat::cp1250ToUnicode(plat::unicodeToCp1250(S)));
}

void zdWStrDelete(QString& S, int Index, int Count) { zdStrDelete(S, Index, Count); }
