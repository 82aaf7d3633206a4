// The whole path from the shell: a label template with texts, barcodes and
// a picture is prepared over a data packet, exported by zdreport --pdf, and
// read back by qpdf, pdftotext and barcode decoders on poppler's rendering.

#include "EngineFixture.h"

#include "Graphics.h"
#include "zdBarcodeView.h"
#include "zdClass_picture.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace enginetest;

namespace {

struct ToolResult {
    int exitCode = -1;
    QByteArray out, err;
};

ToolResult run(const QString& Program, const QStringList& Args)
{
    QProcess p;
    p.start(Program, Args);
    ToolResult r;
    if (!p.waitForFinished(120000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

ToolResult zdreportPdf(const QStringList& Args)
{
    return run(QStringLiteral(SORVAMET_BIN_DIR "/zdreport"), QStringList{QStringLiteral("--pdf")} + Args);
}

bool haveTools()
{
    for (const char* tool : {"/usr/bin/qpdf", "/usr/bin/pdftotext", "/usr/bin/pdftoppm", "/usr/bin/zbarimg"})
        if (!QFile::exists(QString::fromLatin1(tool)))
            return false;
    return true;
}

QByteArray packet(int Count)
{
    QByteArray rows;
    for (int i = 1; i <= Count; ++i)
        rows += "<ROW id=\"" + QByteArray::number(i) + "\" kod=\"ZD-" + QByteArray::number(i * 7) + "\"/>";
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"id\" fieldtype=\"i4\"/><FIELD attrname=\"kod\" fieldtype=\"string\" WIDTH=\"50\"/>"
           "</FIELDS><PARAMS/></METADATA><ROWDATA>"
           + rows + "</ROWDATA></DATAPACKET>";
}

// Labels of 120 pixels, three to a page: a text, a Code 128 and a picture.
void writeLabelTemplate(const QString& File)
{
    Fixture f;
    auto* band = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 0, 120);
    band->SetDataSetName(QStringLiteral("zdDBDataset1"));
    f.memo(band, QStringLiteral("Text"), 10, 5, 300, 24, QStringLiteral("Štítek [zdDBDataset1.\"kod\"]"));
    auto* code = new TzdBarCodeView(band);
    code->SetParent(band);
    code->SetName(QStringLiteral("Code"));
    code->BarType = bcCode128;
    code->SetBounds(10, 35, 200, 70);
    code->SetDataSetName(QStringLiteral("zdDBDataset1"));
    code->SetDataField(QStringLiteral("kod"));
    auto* picture = new TzdPictureView(band);
    picture->SetParent(band);
    picture->SetName(QStringLiteral("Logo"));
    picture->SetBounds(300, 40, 60, 60);
    QImage logo(30, 30, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    auto png = std::make_unique<plat::TPngImage>();
    png->EncodeFrom(logo);
    picture->Picture()->SetGraphic(std::move(png));
    f.report.SaveToFile(File);
}

} // namespace

TEST(ZdreportPdf, ALabelReportExportsAndItsBarcodesDecode)
{
    if (!haveTools())
        GTEST_SKIP() << "qpdf, poppler-utils and zbar-tools are needed";
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("labels.zd3"));
    const QString data = dir.filePath(QStringLiteral("data.xml"));
    writeLabelTemplate(templ);
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(packet(7));
    file.close();

    for (const QStringList& options :
         {QStringList{}, QStringList{QStringLiteral("--pdf-option"), QStringLiteral("PrintOptimized=true"),
                                     QStringLiteral("--pdf-option"), QStringLiteral("UserPassword=heslo")}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const bool encrypted = !options.isEmpty();
        const QString pdf = dir.filePath(encrypted ? QStringLiteral("enc.pdf") : QStringLiteral("labels.pdf"));
        const ToolResult r = zdreportPdf(QStringList{pdf} + options +
                                  QStringList{QStringLiteral("--data"), data, QStringLiteral("--clock"),
                                              QStringLiteral("2024-05-06T07:08:09"), templ});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("pages: 3\n")) << r.out.toStdString();
        const QStringList password = encrypted ? QStringList{QStringLiteral("--password=heslo")} : QStringList{};
        const ToolResult check = run(QStringLiteral("/usr/bin/qpdf"), password + QStringList{QStringLiteral("--check"), pdf});
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
        EXPECT_FALSE(check.out.contains("WARNING") || check.err.contains("WARNING")) << check.err.toStdString();

        const QStringList upw = encrypted ? QStringList{QStringLiteral("-upw"), QStringLiteral("heslo")} : QStringList{};
        const QString text = QString::fromUtf8(
            run(QStringLiteral("/usr/bin/pdftotext"),
                upw + QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")})
                .out);
        for (int i = 1; i <= 7; ++i)
            EXPECT_TRUE(text.contains(QStringLiteral("Štítek ZD-%1").arg(i * 7))) << text.toStdString();

        const QString base = dir.filePath(QStringLiteral("page"));
        ASSERT_EQ(run(QStringLiteral("/usr/bin/pdftoppm"),
                      upw + QStringList{QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"), pdf, base})
                      .exitCode,
                  0);
        QStringList zbar, zxing;
        for (int page = 1; page <= 3; ++page) {
            const QString png = base + QStringLiteral("-%1.png").arg(page);
            for (const QByteArray& line :
                 run(QStringLiteral("/usr/bin/zbarimg"), {QStringLiteral("-q"), png}).out.split('\n'))
                if (!line.isEmpty())
                    zbar << QString::fromUtf8(line);
            if (QFile::exists(QStringLiteral("/usr/bin/ZXingReader"))) {
                const QString out = QString::fromUtf8(
                    run(QStringLiteral("/usr/bin/ZXingReader"), {QStringLiteral("-format"), QStringLiteral("Code128"), png}).out);
                static const QRegularExpression textLine(QStringLiteral("Text:\\s+\"([^\"]*)\""));
                for (auto it = textLine.globalMatch(out); it.hasNext();)
                    zxing << it.next().captured(1);
            }
        }
        QStringList expected;
        for (int i = 1; i <= 7; ++i)
            expected << QStringLiteral("CODE-128:ZD-%1").arg(i * 7);
        zbar.sort();
        expected.sort();
        EXPECT_EQ(zbar, expected);
        if (QFile::exists(QStringLiteral("/usr/bin/ZXingReader"))) {
            zxing.sort();
            for (QString& e : expected)
                e.remove(QStringLiteral("CODE-128:"));
            EXPECT_EQ(zxing, expected);
        }
    }
}

TEST(ZdreportPdf, AnUnknownOptionFailsWithAMessage)
{
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("labels.zd3"));
    writeLabelTemplate(templ);
    const ToolResult r = zdreportPdf({dir.filePath(QStringLiteral("x.pdf")), QStringLiteral("--pdf-option"),
                               QStringLiteral("Colour=red"), templ});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Colour")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
}
