#include "zdUtils.h"

#include "Application.h"
#include "Exceptions.h"
#include "Files.h"
#include "Services.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "StringList.h"
#include "SysUtils.h"
#include "zdRes.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <zlib.h>

namespace {

constexpr long double kUtilsGeometryTolerance = 0.0001L;
constexpr int kMaxPagesPerRange = 100000;

// A write-only stream into a QSaveFile, committed by writeFileAtomically.
class SaveFileStream final : public plat::TStream {
public:
    explicit SaveFileStream(QSaveFile& file) : m_file(file) {}
    qint64 Read(void*, qint64) override { return 0; }
    qint64 Write(const void* buffer, qint64 count) override
    {
        const qint64 written = m_file.write(static_cast<const char*>(buffer), count);
        return written < 0 ? 0 : written;
    }
    qint64 Seek(qint64 offset, plat::TSeekOrigin origin) override
    {
        qint64 target = offset;
        if (origin == plat::soCurrent)
            target += m_file.pos();
        else if (origin == plat::soEnd)
            target += m_file.size();
        if (target != m_file.pos() && !m_file.seek(target))
            return m_file.pos();
        return target;
    }
    qint64 Size() override { return m_file.size(); }

private:
    QSaveFile& m_file;
};

[[noreturn]] void raiseCreateError(const QString& fileName, const QString& reason)
{
    throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

} // namespace

TzdExtRect zdExtRect(long double left, long double top, long double right, long double bottom)
{
    return TzdExtRect{left, top, right, bottom};
}

TzdExtPoint zdExtPoint(long double x, long double y)
{
    return TzdExtPoint{x, y};
}

TzdRectArea TzdRectArea::CreateBounds(long double x, long double y, long double x1, long double y1)
{
    TzdRectArea area;
    area.X = x;
    area.Y = y;
    area.X1 = x1;
    area.Y1 = y1;
    return area;
}

bool TzdRectArea::OverlapsX(const TzdRectArea& other) const
{
    return other.X < X1 - kUtilsGeometryTolerance && other.X1 > X + kUtilsGeometryTolerance;
}

bool TzdRectArea::OverlapsY(const TzdRectArea& other) const
{
    return other.Y < Y1 - kUtilsGeometryTolerance && other.Y1 > Y + kUtilsGeometryTolerance;
}

TzdRectArea* TzdRectArea::CommonXRange(const TzdRectArea& other) const
{
    if (!OverlapsX(other))
        return nullptr;
    auto* area = new TzdRectArea;
    area->X = std::max(X, other.X);
    area->X1 = std::min(X1, other.X1);
    return area;
}

quint32 zdStreamCRC32(plat::TStream& stream)
{
    const qint64 keep = stream.Position();
    stream.SetPosition(0);
    uLong crc = crc32(0L, Z_NULL, 0);
    char buffer[65536];
    for (;;) {
        const qint64 got = stream.Read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer), static_cast<uInt>(got));
    }
    stream.SetPosition(keep);
    return static_cast<quint32>(crc);
}

QString zdStreamToHex(const plat::TMemoryStream& stream)
{
    return QString::fromLatin1(stream.bytes().toHex().toUpper());
}

void zdHexToStream(const QString& hex, plat::TStream& stream)
{
    const qsizetype count = hex.size() / 2;
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        const int hi = plat::HexDigitValue(hex[2 * i]);
        const int lo = plat::HexDigitValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            throw plat::EConvertError(QStringLiteral("'%1' is not a valid integer value")
                                          .arg(QStringLiteral("$") + hex.mid(2 * i, 2)));
        bytes[i] = static_cast<char>(hi * 16 + lo);
    }
    stream.SetPosition(0);
    stream.WriteBuffer(bytes.constData(), bytes.size());
}

namespace {

// Short plain decimals ("-12", "37.5", "0,25"), the bulk of what files
// hold: digits over a power of ten in exact integers, divided once, which is
// the correctly rounded value a full parse gives. Anything else is left to it.
bool parseShortDecimal(const QString& text, long double& value)
{
    constexpr int kMaxWholeDigits = 15;
    constexpr int kMaxFractionDigits = 4;
    static constexpr long double kPowers[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L};
    const qsizetype n = text.size();
    qsizetype i = 0;
    const bool negative = n > 0 && text[0] == u'-';
    if (negative)
        ++i;
    quint64 digits = 0;
    int whole = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i, ++whole)
        digits = digits * 10 + (text[i].unicode() - u'0');
    if (whole == 0 || whole > kMaxWholeDigits)
        return false;
    int fraction = 0;
    if (i < n && (text[i] == u'.' || text[i] == u',')) {
        for (++i; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i, ++fraction)
            digits = digits * 10 + (text[i].unicode() - u'0');
        if (fraction == 0 || fraction > kMaxFractionDigits)
            return false;
    }
    if (i != n)
        return false;
    const long double magnitude = static_cast<long double>(digits) / kPowers[fraction];
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

long double zdParseFloat(const QString& text)
{
    long double quick = 0;
    if (parseShortDecimal(text, quick))
        return quick;
    const QChar separator = plat::FormatSettings().DecimalSeparator;
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == u' ')
            continue;
        s += (c == u',' || c == u'.') ? separator : c;
    }
    return plat::StrToFloat(s);
}

QString zdFloatToDisplayStr(long double value)
{
    if (value == std::trunc(value))
        return plat::FloatToStr(value);
    return plat::Format(QStringLiteral("%2.2f"), {value});
}

QString zdFloatToFixedStr(int digits, QChar separator, long double value)
{
    plat::TFormatSettings settings = plat::FormatSettings();
    settings.DecimalSeparator = separator;
    return plat::FloatToStrF(value, plat::ffFixed, 18, digits, settings);
}

QString zdReplaceChar(const QString& text, QChar from, QChar to)
{
    QString result = text;
    result.replace(from, to);
    return result;
}

QString zdSlashToBackslash(const QString& path)
{
    return zdReplaceChar(path, u'/', u'\\');
}

void zdSplitString(const QString& text, plat::TStrings& list, QChar separator)
{
    list.Clear();
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            at = text.size();
        list.Add(text.mid(start, at - start));
        start = at + 1;
    }
}

void zdSplitValues(plat::TStrings& list, const QString& text, QChar separator)
{
    list.Clear();
    if (text.isEmpty() || text == QString(separator))
        return;
    qsizetype start = 0; // 0-based piece start
    const qsizetype len = text.size();
    for (qsizetype i = 0; i < len; ++i) {
        if (text[i] == separator) {
            if (i > start) {
                list.Add(text.mid(start, i - start));
                start = i + 1;
            }
        } else if (i == len - 1 && list.Count() > 0) {
            list.Add(text.mid(start));
        }
    }
}

void zdParsePageNumbers(const QString& text, plat::TStrings& list, int pageCount)
{
    list.Clear();
    QString s = text;
    s.remove(u' ');
    if (s.endsWith(u'-'))
        s += QString::number(pageCount);
    const QStringList pieces = s.split(u',', Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        const qsizetype dash = piece.indexOf(u'-', 1);
        if (dash < 0) {
            list.Add(QString::number(plat::StrToInt(piece)));
            continue;
        }
        const int first = plat::StrToInt(piece.left(dash));
        int last = plat::StrToInt(piece.mid(dash + 1));
        // A typing slip such as 1-999999999 must not fill memory: a huge
        // range ends at the last page.
        if (qint64(last) - first > kMaxPagesPerRange)
            last = std::max(first, std::min(last, pageCount));
        for (qint64 n = first; n <= last; ++n)
            list.Add(QString::number(n));
    }
}

QString zdExtractBracketedW(const QString& text, const QString& open, const QString& close,
                            int& startPos, int& endPos)
{
    endPos = startPos;
    int depth = 0;
    bool inDouble = false;
    bool inSingle = false;
    const int len = static_cast<int>(text.size());
    int i = startPos;
    while (i >= 1 && i <= len) {
        const QStringView at = QStringView(text).sliced(i - 1);
        if (!inDouble && !inSingle) {
            if (at.startsWith(open)) {
                if (depth == 0)
                    startPos = i;
                ++depth;
            } else if (at.startsWith(close)) {
                --depth;
            }
        }
        const QChar c = text[i - 1];
        if (c == u'"' && !inSingle)
            inDouble = !inDouble;
        else if (c == u'\'' && !inDouble)
            inSingle = !inSingle;
        if (depth == 0)
            break;
        ++i;
    }
    const int from = startPos + static_cast<int>(open.size());
    const QString result = text.mid(from - 1, std::max(0, i - from));
    if (i != startPos)
        endPos = std::min(len, i + static_cast<int>(close.size()) - 1);
    return result;
}

QString zdExtractBracketed(const QString& text, const QString& open, const QString& close,
                           int& startPos, int& endPos)
{
    return zdExtractBracketedW(text, open, close, startPos, endPos);
}

void zdErrorMessage(const QString& msg)
{
    plat::Application().MessageBox(msg, zdGetResources()->GetText(QStringLiteral("mbError")),
                                   plat::MB_OK | plat::MB_ICONERROR);
}

int zdConfirmMessage(const QString& msg, unsigned buttons)
{
    return plat::Application().MessageBox(msg, zdGetResources()->GetText(QStringLiteral("mbConfirm")),
                                          buttons | plat::MB_ICONQUESTION);
}

void zdInfoMessage(const QString& msg)
{
    plat::Application().MessageBox(msg, zdGetResources()->GetText(QStringLiteral("mbInfo")),
                                   plat::MB_OK | plat::MB_ICONINFORMATION);
}

QString zdGetTempDir()
{
    return plat::TempFolder();
}

QString zdGetTempFileName()
{
    return plat::GetTempFileName(QStringLiteral("fr"));
}

QString zdCreateTempFileIn(const QString& folder)
{
    return plat::GetTempFileName(QStringLiteral("fr"),
                                 folder.isEmpty() ? QString() : plat::IncludeTrailingPathDelimiter(folder));
}

QString zdGetModuleFileName()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString zdGetModuleFolder()
{
    return plat::ProgramFolder();
}

namespace zd {

void writeFileAtomically(const QString& fileName, const std::function<void(plat::TStream&)>& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        raiseCreateError(fileName, file.errorString());
    try {
        SaveFileStream stream(file);
        write(stream);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit())
        raiseCreateError(fileName, file.errorString());
}

} // namespace zd
