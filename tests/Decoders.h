#pragma once
// The independent barcode readers (ZXingReader, zbarimg, dmtxread) run once
// over many pictures: starting a reader costs more than reading a picture,
// so tests hand over all their pictures in one call and get each picture's
// symbols back in the order of the files.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <vector>

namespace zdtest {

// One symbol a reader found.
struct ReadSymbol {
    QByteArray format;     // ZXing: "QRCode", "EAN-13"; zbar: "QR-Code", "EAN-13"
    QString text;          // ZXing: the "Text:" line without its quotes
    QByteArray bytes;      // what the symbol carries
    QByteArray identifier; // ZXing's symbology identifier ("]C1" marks GS1)
};

using ReadSymbols = std::vector<ReadSymbol>;

namespace detail {

inline QByteArray readerOutput(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return {};
    p.closeWriteChannel();
    p.waitForFinished(300000);
    return p.readAllStandardOutput();
}

inline int fileIndex(const QStringList& files, const QByteArray& name)
{
    return int(files.indexOf(QString::fromUtf8(name)));
}

} // namespace detail

// A reader that writes the bytes of every symbol it finds one after another
// (zbarimg -Sbinary, dmtxread) is given a marker picture after each file;
// its output cut at the markers is what it read from each file. An entry
// is empty when the reader found nothing there, and the entries after a
// marker the reader missed are empty too.
inline std::vector<QByteArray> splitAtMarkers(const QByteArray& output, const QByteArray& marker, std::size_t files)
{
    std::vector<QByteArray> out;
    qsizetype from = 0;
    for (std::size_t i = 0; i < files; ++i) {
        const qsizetype end = output.indexOf(marker, from);
        if (end < 0) {
            out.resize(files);
            break;
        }
        out.push_back(output.mid(from, end - from));
        from = end + marker.size();
    }
    return out;
}

// The marker text of splitAtMarkers(): nothing the tests encode holds it.
inline const QByteArray kEndOfPictureMarker = "|zd:end-of-picture|";

// ZXingReader over every file (options such as "-format", "QRCode" before
// them); for each file, the symbols of its report ("Text:", "Bytes:" in hex,
// "Format:", "Identifier:"). With more than one file the reader heads each
// file's part with a "File:" line.
inline std::vector<ReadSymbols> zxingRead(const QStringList& files, const QStringList& options = {})
{
    std::vector<ReadSymbols> out(std::size_t(files.size()));
    if (files.isEmpty())
        return out;
    const QByteArray report = detail::readerOutput(QStringLiteral("ZXingReader"), options + files);
    int file = files.size() == 1 ? 0 : -1;
    for (const QByteArray& line : report.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (key == "File") {
            file = detail::fileIndex(files, value);
            continue;
        }
        if (file < 0)
            continue;
        ReadSymbols& symbols = out[std::size_t(file)];
        if (key == "Text") {
            // Decoded as a whole line: a byte order mark the text starts with stays in it.
            const QString text = QString::fromUtf8(line).mid(int(colon) + 1).trimmed();
            symbols.push_back({});
            symbols.back().text = text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')
                                      ? text.mid(1, text.size() - 2)
                                      : text;
        }
        if (symbols.empty())
            continue;
        if (key == "Bytes")
            symbols.back().bytes = QByteArray::fromHex(value);
        else if (key == "Format")
            symbols.back().format = value;
        else if (key == "Identifier")
            symbols.back().identifier = value;
    }
    return out;
}

} // namespace zdtest
