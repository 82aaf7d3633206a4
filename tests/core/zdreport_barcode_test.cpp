// Barcode objects of templates drawn by zdreport and read back by an
// independent decoder, at every rotation.

#include "zdToolRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kBarcodeTool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");

// The decoded text of the first symbol ZXingReader finds; empty for none.
QString decodedText(const QString& png)
{
    const zdtest::ToolResult r = zdtest::runTool(QStringLiteral("ZXingReader"), {png});
    for (const QString& line : QString::fromUtf8(r.out).split(u'\n')) {
        if (!line.startsWith(QStringLiteral("Text:")))
            continue;
        const qsizetype first = line.indexOf(u'"');
        const qsizetype last = line.lastIndexOf(u'"');
        if (first >= 0 && last > first)
            return line.mid(first + 1, last - first - 1);
    }
    return {};
}

// Each element in a template of its own, all drawn by one run of the tool
// (starting it costs more than drawing); the pictures in the same order.
QStringList drawnSymbols(const QTemporaryDir& dir, const QStringList& elements)
{
    QStringList args{QStringLiteral("draw")};
    QStringList pngs;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const QString file = dir.filePath(QStringLiteral("t%1.zd3").arg(i));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport>\n<TzdReportPage Name=\"Page1\">\n"
                "<TzdMasterData Name=\"MasterData1\" Height=\"300\" Width=\"700\">\n" +
                elements[i].toUtf8() + "\n</TzdMasterData>\n</TzdReportPage>\n</TzdReport>\n");
        f.close();
        pngs << dir.filePath(QStringLiteral("out%1.png").arg(i));
        args << file << QStringLiteral("Barcode1") << pngs.back();
    }
    const zdtest::ToolResult r = zdtest::runTool(kBarcodeTool, args << QStringLiteral("--scale") << QStringLiteral("4"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return pngs;
}

TEST(zdreportBarcodes, LinearCodesDecodeAtEveryRotation)
{
    if (!QFile::exists(kBarcodeTool) || !zdtest::toolAvailable(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "zdreport or ZXingReader missing";
    const struct {
        const char* type;
        const char* text;
    } cases[] = {
        {"bcCode_2_5_interleaved", "12345678"}, {"bcCode39", "CODE39-12"}, {"bcCode128", "Hello-123"},
        {"bcCode128A", "HELLO123"},             {"bcCode128B", "Hello"},   {"bcCode128C", "123456"},
        {"bcCode93", "CODE93"},                 {"bcCode93Extended", "Ab1"}, {"bcCodeCodabar", "12345"},
        {"bcCodeEAN8", "12345670"},             {"bcCodeEAN13", "5901234123457"},
        {"bcCodeUPC_A", "123456789012"},        {"bcCodeEAN128", "12345678"},
    };
    QTemporaryDir dir;
    QStringList elements, expected, labels;
    for (const auto& c : cases)
        for (int rotation : {0, 90, 180, 270}) {
            elements << QStringLiteral("<TzdBarCodeView Name=\"Barcode1\" Left=\"10\" Top=\"10\" Width=\"100\" "
                                       "Height=\"60\" BarType=\"%1\" Rotation=\"%2\" Text=\"%3\"/>")
                            .arg(QString::fromLatin1(c.type))
                            .arg(rotation)
                            .arg(QString::fromLatin1(c.text));
            expected << QString::fromLatin1(c.text);
            labels << QStringLiteral("%1 %2").arg(QString::fromLatin1(c.type)).arg(rotation);
        }
    const QStringList pngs = drawnSymbols(dir, elements);
    for (qsizetype i = 0; i < pngs.size(); ++i)
        EXPECT_EQ(decodedText(pngs[i]), expected[i]) << labels[i].toStdString();
}

TEST(zdreportBarcodes, QrCodeAndDataMatrixCarryCzechText)
{
    if (!QFile::exists(kBarcodeTool) || !zdtest::toolAvailable(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "zdreport or ZXingReader missing";
    const QString text = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    const char* symbols[] = {
        R"(BarType="bcCodeQR" BarProperties.Encoding="qrUTF8NoBOM")",
        R"(BarType="bcCodeDataMatrix" BarProperties.CodePage="65001")",
    };
    QTemporaryDir dir;
    QStringList elements, labels;
    for (const char* symbol : symbols)
        for (int rotation : {0, 90, 180, 270}) {
            elements << QStringLiteral("<TzdBarcode2DView Name=\"Barcode1\" Left=\"10\" Top=\"10\" %1 "
                                       "Rotation=\"%2\" Text=\"%3\"/>")
                            .arg(QString::fromLatin1(symbol))
                            .arg(rotation)
                            .arg(text);
            labels << QStringLiteral("%1 %2").arg(QString::fromLatin1(symbol)).arg(rotation);
        }
    const QStringList pngs = drawnSymbols(dir, elements);
    for (qsizetype i = 0; i < pngs.size(); ++i)
        EXPECT_EQ(decodedText(pngs[i]), text) << labels[i].toStdString();
}

} // namespace
