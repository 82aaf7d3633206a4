// The zdpreview tool on a shipped template over the record packet: the
// window prepares the report, its status shows the first of all pages, and
// its page area, grabbed at zoom 1, shows labels that a barcode decoder
// reads back to codes of the packet.

#include "zdToolRunner.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kPreviewPacket = QStringLiteral(SORVAMET_TEST_DATA "/records100.xml");

zdtest::ToolResult runOffscreen(const QString& Program, const QStringList& Args)
{
    const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zdtest::ToolResult r = zdtest::runTool(Program, Args);
    if (saved.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    else
        qputenv("QT_QPA_PLATFORM", saved);
    return r;
}

int preparedPageCount(const QString& Template)
{
    const zdtest::ToolResult r =
        zdtest::runTool(QStringLiteral(SORVAMET_BIN_DIR "/zdreport"),
                        {QStringLiteral("prepare"), Template, QStringLiteral("--data"), kPreviewPacket,
                         QStringLiteral("--dump"), QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("pages: (\\d+)")).match(QString::fromUtf8(r.out));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

TEST(PreviewTool, ShowsTheFirstOfAllPagesAndItsLabelsDecode)
{
    const QString templ = QStringLiteral(SORVAMET_BIN_DIR "/Ses/QR.zd3");
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("preview.png"));
    const zdtest::ToolResult r = runOffscreen(QStringLiteral(SORVAMET_BIN_DIR "/zdpreview"),
                                              {templ, QStringLiteral("--data"), kPreviewPacket, QStringLiteral("--grab"), png});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const int pages = preparedPageCount(templ);
    ASSERT_GT(pages, 0);
    EXPECT_EQ(QString::fromUtf8(r.out),
              QStringLiteral("Strana 1 z %1\npages: %1\n").arg(pages));
    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width() > 500, true);
    if (!zdtest::toolAvailable(QStringLiteral("zbarimg")))
        GTEST_SKIP() << "zbarimg missing";
    const zdtest::ToolResult z = zdtest::runTool(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), png});
    const QStringList decoded = QString::fromUtf8(z.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(decoded.isEmpty()) << "no label of the page area decodes";
    QFile packet(kPreviewPacket);
    ASSERT_TRUE(packet.open(QIODevice::ReadOnly));
    const QByteArray bytes = packet.readAll();
    for (const QString& code : decoded)
        EXPECT_TRUE(bytes.contains("kod=\"" + code.trimmed().toLatin1() + '"')) << code.toStdString();
}

TEST(PreviewTool, AMissingTemplateFailsWithAMessage)
{
    QTemporaryDir dir;
    const zdtest::ToolResult r =
        runOffscreen(QStringLiteral(SORVAMET_BIN_DIR "/zdpreview"),
                     {dir.filePath(QStringLiteral("neni.zd3")), QStringLiteral("--grab"), dir.filePath(QStringLiteral("x.png"))});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.png"))));
}
