// The zdbarcode tool draws the 2D symbols with their options; what it
// writes must read back in ZXingReader.
#include "zdBarcode2D_testutil.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using zdtest::kZdbarcode;
using zdtest::runZdbarcode;

TEST(Barcode2DTool, DrawsSymbolsThatDecode)
{
    if (!QFileInfo::exists(kZdbarcode) || !zdtest::haveTool(QStringLiteral("ZXingReader")))
        GTEST_SKIP() << "zdbarcode or ZXingReader missing";
    const struct {
        QStringList args;
        const char* format;
        QString text;
    } cases[] = {
        {{QStringLiteral("bcCodeQR"), QStringLiteral("--ErrorLevels"), QStringLiteral("ecQ")}, "QRCode",
         QStringLiteral("Sorvamet QR 1")},
        {{QStringLiteral("bcCodeQR"), QStringLiteral("--Encoding"), QStringLiteral("qrUTF8BOM"),
          QStringLiteral("--angle"), QStringLiteral("270"), QStringLiteral("--PixelSize"), QStringLiteral("3")},
         "QRCode", QStringLiteral("Žluťoučký kůň")},
        {{QStringLiteral("bcCodeQR"), QStringLiteral("--Codepage"), QStringLiteral("1250"),
          QStringLiteral("--QuietZone"), QStringLiteral("2")},
         "QRCode", QStringLiteral("Příliš žluťoučký")},
        {{QStringLiteral("bcCodeDataMatrix"), QStringLiteral("--SymbolSize"), QStringLiteral("Size16x48"),
          QStringLiteral("--Encoding"), QStringLiteral("C40")},
         "DataMatrix", QStringLiteral("DATA MATRIX 16X48")},
        {{QStringLiteral("bcCodeDataMatrix"), QStringLiteral("--Encoding"), QStringLiteral("Base256"),
          QStringLiteral("--angle"), QStringLiteral("180"), QStringLiteral("--CodePage"), QStringLiteral("65001")},
         "DataMatrix", QStringLiteral("bytes ÿ ü")},
    };
    QTemporaryDir dir;
    std::vector<QImage> images;
    for (const auto& c : cases) {
        const QString png = dir.filePath(QStringLiteral("%1.png").arg(images.size()));
        QStringList args{c.args[0], c.text, png};
        args += c.args.mid(1);
        ASSERT_EQ(runZdbarcode(args), 0) << args.join(QLatin1Char(' ')).toStdString();
        images.push_back(QImage(png));
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        // the byte-order mark of qrUTF8BOM is part of what the reader returns
        const QString expected = (i == 1 ? QStringLiteral("\uFEFF") : QString()) + cases[i].text;
        EXPECT_EQ(zdtest::zxingTexts({images[i]}, QLatin1String(cases[i].format))[0], expected) << i;
    }
}

TEST(Barcode2DTool, ReportsBadOptionsAndEncodingErrors)
{
    if (!QFileInfo::exists(kZdbarcode))
        GTEST_SKIP() << "zdbarcode missing";
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("x.png"));
    EXPECT_EQ(runZdbarcode({QStringLiteral("bcCodeQR"), QStringLiteral("x"), png, QStringLiteral("--Nothing"),
                            QStringLiteral("1")}),
              2);
    EXPECT_EQ(runZdbarcode({QStringLiteral("bcCodeDataMatrix"), QStringLiteral("x"), png,
                            QStringLiteral("--SymbolSize"), QStringLiteral("Size99")}),
              2);
    EXPECT_EQ(runZdbarcode({QStringLiteral("bcCodeDataMatrix"), QString(4000, QLatin1Char('x')), png}), 1);
    EXPECT_FALSE(QFileInfo::exists(png));
}

} // namespace
