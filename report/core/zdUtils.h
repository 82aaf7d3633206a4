#pragma once
// Small routines the whole report library shares: rectangle areas, stream
// CRC-32, hexadecimal and float texts, text splitting, page ranges, bracket
// extraction for expressions, temporary files and program paths.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <functional>

namespace plat {
class TStream;
class TMemoryStream;
class TStrings;
} // namespace plat

struct TzdExtRect {
    long double Left = 0;
    long double Top = 0;
    long double Right = 0;
    long double Bottom = 0;
};

struct TzdExtPoint {
    long double X = 0;
    long double Y = 0;
};

TzdExtRect zdExtRect(long double left, long double top, long double right, long double bottom);
TzdExtPoint zdExtPoint(long double x, long double y);

// A report object's rectangle in absolute coordinates.
class TzdRectArea {
public:
    static TzdRectArea CreateBounds(long double x, long double y, long double x1, long double y1);

    bool OverlapsX(const TzdRectArea& other) const;
    bool OverlapsY(const TzdRectArea& other) const;
    // The common horizontal range (Y = Y1 = 0), or nullptr without overlap.
    TzdRectArea* CommonXRange(const TzdRectArea& other) const;

    long double X = 0;
    long double Y = 0;
    long double X1 = 0;
    long double Y1 = 0;
};

// Streams and text.
quint32 zdStreamCRC32(plat::TStream& stream);
QString zdStreamToHex(const plat::TMemoryStream& stream);
void zdHexToStream(const QString& hex, plat::TStream& stream);
long double zdParseFloat(const QString& text);
QString zdFloatToDisplayStr(long double value);
QString zdFloatToFixedStr(int digits, QChar separator, long double value);
QString zdReplaceChar(const QString& text, QChar from, QChar to);
QString zdSlashToBackslash(const QString& path);
void zdSplitString(const QString& text, plat::TStrings& list, QChar separator);
void zdSplitValues(plat::TStrings& list, const QString& text, QChar separator);
void zdParsePageNumbers(const QString& text, plat::TStrings& list, int pageCount);
// Positions are 1-based, as in expression texts of templates. The 8-bit form
// keeps the name of the original; code page 1250 has no double-byte lead
// bytes, so both forms scan the same way.
QString zdExtractBracketed(const QString& text, const QString& open, const QString& close,
                           int& startPos, int& endPos);
QString zdExtractBracketedW(const QString& text, const QString& open, const QString& close,
                            int& startPos, int& endPos);

// Message boxes of the report library, captioned by the resource texts
// "mbError", "mbConfirm" and "mbInfo". zdConfirmMessage takes the platform's
// MB_ button flags and returns the ID of the button pressed.
void zdErrorMessage(const QString& msg);
int zdConfirmMessage(const QString& msg, unsigned buttons);
void zdInfoMessage(const QString& msg);

// Files and paths (folders end with '/').
QString zdGetTempDir();
QString zdGetTempFileName();
QString zdCreateTempFileIn(const QString& folder);
QString zdGetModuleFileName();
QString zdGetModuleFolder();

namespace zd {

// Writes a file through a temporary file renamed over it, so a failed save
// leaves the last good file in place. Raises EFCreateError on failure.
void writeFileAtomically(const QString& fileName, const std::function<void(plat::TStream&)>& write);

} // namespace zd
