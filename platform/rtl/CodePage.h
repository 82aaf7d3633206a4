#pragma once
// Code pages at 8-bit boundaries and the one rule for comparing names.
//
// Text lives in QString; bytes in code page 1250 appear only where data
// crosses into files, streams or keys. Code page 1250 goes through our own
// table (the five bytes the code page leaves undefined map to the code points
// of the same number, so every byte round-trips); other code pages through
// iconv. Characters a code page cannot hold become '?'.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace plat {

constexpr int kCodePage1250 = 1250;
constexpr int kCodePageUtf8 = 65001;

QString cp1250ToUnicode(QByteArrayView bytes);
QByteArray unicodeToCp1250(QStringView text);
// True if every character of text survives a round trip through code page 1250.
bool isCp1250Representable(QStringView text);
// The bytes of a text file that is ours in code page 1250 but may have been
// saved as UTF-8 by a text editor: UTF-8 when they start with its byte-order
// mark or are valid UTF-8 holding non-ASCII characters, else code page 1250.
// The mark is not part of the text.
enum class TextFileEncoding { Cp1250, Utf8, Utf8Bom };
QString decodeTextBytes(QByteArrayView bytes, TextFileEncoding* encoding = nullptr);
// The encoding decodeTextBytes reads bytes in (without decoding them).
TextFileEncoding detectTextEncoding(QByteArrayView bytes);
// The bytes of text in an encoding (with the mark for Utf8Bom).
QByteArray encodeTextBytes(QStringView text, TextFileEncoding encoding);

// Windows code page numbers (1250..1258, 874, 932, 936, 949, 950, 1361, the
// OEM pages 437..869, Macintosh 10000/10007/10029, 20127 US-ASCII, 20866 and
// 21866 KOI8, 28591..28606 ISO 8859-x, 65001 UTF-8, 1200/1201 UTF-16).
// 0 (CP_ACP) means the program's ANSI code page, 1250. An unknown number
// raises EConvertError.
QString codePageToUnicode(int codePage, QByteArrayView bytes);
QByteArray unicodeToCodePage(int codePage, QStringView text);
// The iconv name of a code page, or an empty string for an unknown number.
QByteArray codePageName(int codePage);

// Upper and lower case by the case tables of code page 1250 letters (plus the
// simple case mappings of other letters); ß and µ stay unchanged.
QString AnsiUpperCase(QStringView text);
QString AnsiLowerCase(QStringView text);
QChar ansiUpperChar(QChar c);
QChar ansiLowerChar(QChar c);

// Case-insensitive comparison by simple case folding: the one rule for names.
bool SameText(QStringView a, QStringView b);
// <0, 0 or >0, ordered by the folded UTF-16 code units.
int CompareText(QStringView a, QStringView b);
int AnsiCompareText(QStringView a, QStringView b);
// Case-sensitive comparison with the same ordering.
int CompareStr(QStringView a, QStringView b);
int AnsiCompareStr(QStringView a, QStringView b);
bool AnsiSameText(QStringView a, QStringView b);
// A key that compares as CompareText does (for hashing names).
QString foldCase(QStringView text);

} // namespace plat
