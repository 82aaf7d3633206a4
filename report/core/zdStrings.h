#pragma once
// Thin string routines of the text layout and the code editor: length,
// search, copy, insert, delete and upper case, with 1-based positions. The
// "8-bit" ones take text that the program keeps in code page 1250; in
// memory both kinds are QString (UTF-16 code units).

#include <QString>

int zdStrLength(const QString& S);
// 1-based position of the first Sub in S; 0 when absent (or Sub is empty).
int zdStrPos(const QString& Sub, const QString& S);
// Deletes Count characters from Index (1-based); nothing outside S.
void zdStrDelete(QString& S, int Index, int Count);
// At most Count characters from Start (1-based); empty beyond the end.
QString zdStrCopy(const QString& S, int Start, int Count);
// Inserts Source before Index (1-based), at the end when Index is beyond it.
void zdStrInsert(const QString& Source, QString& S, int Index);
QString zdStrUpperCase(const QString& S);

int zdWStrPos(const QString& Sub, const QString& S);
QString zdWStrCopy(const QString& S, int Index, int Count);
int zdWStrLength(const QString& S);
// Upper case through code page 1250: a character outside it comes back as
// the code page's replacement character '?'.
QString zdWStrUpperCase(const QString& S);
void zdWStrDelete(QString& S, int Index, int Count);
