#pragma once
// Small routines the whole report library shares: rectangle areas, stream
// CRC-32, hexadecimal and float texts, text splitting, page ranges, bracket
// extraction for expressions, display scaling, image strips and bitmap
// drawing, temporary files and program paths.

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QImage;

namespace plat {
class TStream;
class TMemoryStream;
class TStrings;
class TCanvas;
class TBitmap;
class TGraphic;
struct TRect;
using TColor = std::int32_t;
} // namespace plat

namespace zd {
// Images of one size; the see-through pixels of a masked image have alpha 0.
using ImageList = QList<QImage>;
} // namespace zd

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

// Display scaling: the device's pixels per inch over 96. At 96 dpi, unless
// ignoreDisplayMode, the ratio of the screen's logical size to its display
// mode (a scaled desktop) when the display can be asked.
void zdGetDisplayScale(plat::TCanvas& dc, bool ignoreDisplayMode, long double& scaleX, long double& scaleY);

// Images and bitmaps.
// Every pixel becomes the grey round(((r + g + b) div 3) / 3) + 150, the
// disabled look of buttons; alpha is kept.
void zdLightenBitmap(plat::TBitmap& bitmap);
// Cuts width x height tiles, left to right, then row after row while a row's
// top lies inside the strip (a partial last row is see-through below the
// strip); each tile goes to list masked by its transparent colour and, with
// disabledList, a lightened copy with the same mask to disabledList.
void zdSplitImageStrip(const plat::TBitmap& strip, int width, int height, zd::ImageList* disabledList,
                       zd::ImageList& list);
// Draws the bitmap at (x, y) masked by its transparent colour; nothing for nullptr.
void zdDrawMaskedBitmap(plat::TCanvas& canvas, int x, int y, const plat::TBitmap* bitmap);
// Draws a picture stretched into rect (a picture object's way: transparency
// only with a colour other than clNone, half-tone for high quality, a
// buffer bitmap when printing). Nothing for nullptr or an empty picture.
void zdPaintGraphic(plat::TCanvas& canvas, const plat::TRect& rect, plat::TGraphic* graphic,
                    plat::TColor transparentColor, bool transparent, bool highQuality, bool printing);
// Draws the bitmap stretched into rect; pixels of transparentColor keep the
// background. useDIB is the platform's concern: drawing is the same.
void zdDrawBitmapTransparent(plat::TCanvas& canvas, const plat::TRect& rect, const plat::TBitmap& bitmap,
                             bool useDIB, plat::TColor transparentColor);

// Files and paths (folders end with '/').
QString zdGetTempDir();
QString zdGetTempFileName();
QString zdCreateTempFileIn(const QString& folder);
QString zdGetModuleFileName();
QString zdGetModuleFolder();

namespace zd {

// The screen's logical size and the size of its display mode in device pixels.
struct DisplayMode {
    int screenWidth = 0;
    int screenHeight = 0;
    int modeWidth = 0;
    int modeHeight = 0;
};
// The primary screen's, or nothing without a screen.
std::optional<DisplayMode> currentDisplayMode();
// zdGetDisplayScale on given resolutions and display mode.
void displayScale(int dpiX, int dpiY, const std::optional<DisplayMode>& mode, long double& scaleX,
                  long double& scaleY);

// Writes a file through a temporary file renamed over it, so a failed save
// leaves the last good file in place. Raises EFCreateError on failure.
void writeFileAtomically(const QString& fileName, const std::function<void(plat::TStream&)>& write);

} // namespace zd
