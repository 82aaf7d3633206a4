#pragma once
// Rendering 2D symbols to PNG files and reading them back with the
// independent decoders (ZXingReader, zbarimg, dmtxread).

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

// The bytes ZXingReader finds in each image (one call for all of them);
// an image it cannot read gives an empty entry.
inline std::vector<QByteArray> zxingBytes(const std::vector<QImage>& images, const QString& format)
{
    QTemporaryDir dir;
    std::vector<QByteArray> out;
    const QStringList paths = saveAll(dir, images);
    for (const QString& path : paths)
        out.push_back(runTool(QStringLiteral("ZXingReader"),
                              {QStringLiteral("-format"), format, QStringLiteral("-bytes"), path}));
    return out;
}

} // namespace zdtest

namespace zdtest {

// The decoded text of each image as ZXingReader prints it ("Text:" line).
inline std::vector<QString> zxingTexts(const std::vector<QImage>& images, const QString& format)
{
    QTemporaryDir dir;
    std::vector<QString> out;
    for (const QString& path : saveAll(dir, images)) {
        const QString report = QString::fromUtf8(
            runTool(QStringLiteral("ZXingReader"), {QStringLiteral("-format"), format, path}));
        QString text;
        for (const QString& line : report.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("Text:"))) {
                text = line.mid(5).trimmed();
                if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
                    text = text.mid(1, text.size() - 2);
                break;
            }
        out.push_back(text);
    }
    return out;
}

// The raw bytes zbarimg reads from each image.
inline std::vector<QByteArray> zbarBytes(const std::vector<QImage>& images)
{
    QTemporaryDir dir;
    std::vector<QByteArray> out;
    for (const QString& path : saveAll(dir, images)) {
        QByteArray bytes = runTool(QStringLiteral("zbarimg"),
                                   {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), path});
        out.push_back(bytes);
    }
    return out;
}

} // namespace zdtest
