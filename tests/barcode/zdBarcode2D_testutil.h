#pragma once
// Rendering 2D symbols to PNG files and reading them back with the
// independent decoders (ZXingReader, zbarimg, dmtxread).

#include "../Decoders.h"
#include "zdBarcode2DBase.h"
#include "zdbarcode.h"

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace zdtest {

inline bool haveTool(const QString& name)
{
    return !QStandardPaths::findExecutable(name).isEmpty();
}

// The module image at `scale` pixels per module with `quiet` light modules
// around it; moduleHeight scales rows separately (PDF417 rows are tall).
inline QImage renderModules(const TzdBarcode2DBase& symbol, int scale = 4, int quiet = 4, int moduleHeight = 0)
{
    if (moduleHeight <= 0)
        moduleHeight = scale;
    QImage image((symbol.Columns() + 2 * quiet) * scale, symbol.Rows() * moduleHeight + 2 * quiet * scale,
                 QImage::Format_Grayscale8);
    image.fill(255);
    for (int r = 0; r < symbol.Rows(); ++r)
        for (int c = 0; c < symbol.Columns(); ++c)
            if (symbol.IsDark(r, c))
                for (int y = 0; y < moduleHeight; ++y) {
                    uchar* line = image.scanLine(quiet * scale + r * moduleHeight + y);
                    for (int x = 0; x < scale; ++x)
                        line[(quiet + c) * scale + x] = 0;
                }
    return image;
}

// Runs a program and returns its standard output (empty on failure to start).
inline QByteArray runTool(const QString& program, const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return {};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return p.readAllStandardOutput();
}

// The zdbarcode development tool, and a run of it (its exit code; -1 when
// it cannot start).
inline const QString kZdbarcode = QStringLiteral(SORVAMET_BIN_DIR "/zdbarcode");

inline int runZdbarcode(const QStringList& args)
{
    QProcess p;
    p.start(kZdbarcode, args);
    if (!p.waitForStarted(10000))
        return -1;
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// The tool's run in this process: the same drawing without a process start
// per symbol (args as for runZdbarcode).
inline int drawWithZdbarcode(const QStringList& args)
{
    return zdbarcodeMain(QStringList{QStringLiteral("zdbarcode")} + args);
}

// Saves the images as 0.png, 1.png ... in dir and returns the paths.
inline QStringList saveAll(const QTemporaryDir& dir, const std::vector<QImage>& images)
{
    QStringList paths;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QString path = dir.filePath(QString::number(i) + QStringLiteral(".png"));
        images[i].save(path, "PNG");
        paths << path;
    }
    return paths;
}

// The bytes ZXingReader finds in each image (one run for all of them);
// an image it cannot read gives an empty entry.
inline std::vector<QByteArray> zxingBytes(const std::vector<QImage>& images, const QString& format)
{
    QTemporaryDir dir;
    std::vector<QByteArray> out;
    for (const ReadSymbols& symbols : zxingRead(saveAll(dir, images), {QStringLiteral("-format"), format})) {
        QByteArray bytes;
        for (const ReadSymbol& symbol : symbols)
            bytes += symbol.bytes;
        out.push_back(bytes);
    }
    return out;
}

// The decoded text of each image as ZXingReader prints it ("Text:" line),
// one run for all of them.
inline std::vector<QString> zxingTexts(const std::vector<QImage>& images, const QString& format)
{
    QTemporaryDir dir;
    std::vector<QString> out;
    for (const ReadSymbols& symbols : zxingRead(saveAll(dir, images), {QStringLiteral("-format"), format}))
        out.push_back(symbols.empty() ? QString() : symbols.front().text);
    return out;
}

// The raw bytes zbarimg reads from each image, one run for all of them.
// With -Sbinary zbarimg writes the bytes of every symbol as they are, one
// after another: a Code 128 marker drawn after each image splits them.
inline std::vector<QByteArray> zbarBytes(const std::vector<QImage>& images)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("marker.png"));
    if (drawWithZdbarcode({QStringLiteral("bcCode128"), QString::fromLatin1(kEndOfPictureMarker), marker}) != 0)
        return std::vector<QByteArray>(images.size());
    QStringList args{QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sbinary")};
    for (const QString& path : saveAll(dir, images))
        args << path << marker;
    return splitAtMarkers(runTool(QStringLiteral("zbarimg"), args), kEndOfPictureMarker, images.size());
}

// The bytes dmtxread reads from each file (the first symbol of each), one
// run for all of them: starting dmtxread costs more than most reads. The
// marker after each file is dmtxwrite's.
inline std::vector<QByteArray> dmtxBytes(const QStringList& paths)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("marker.png"));
    runTool(QStringLiteral("dmtxwrite"), {QStringLiteral("-o"), marker}, kEndOfPictureMarker);
    QStringList args{QStringLiteral("-N1")};
    for (const QString& path : paths)
        args << path << marker;
    return splitAtMarkers(runTool(QStringLiteral("dmtxread"), args), kEndOfPictureMarker, std::size_t(paths.size()));
}

} // namespace zdtest
