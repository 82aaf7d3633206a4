// The picture dialog: a picture loaded through the dialog reaches the
// template on OK only; damaged or hostile files and non-picture clipboard
// contents are reported and leave the picture as it was.

#include "Dialogs2TestUtil.h"
#include "zdClass_picture.h"
#include "zdDialogsSecondHalf.h"
#include "zdEditPicture.h"

#include <QBuffer>
#include <QImage>
#include <QStatusBar>
#include <QToolButton>

using namespace dlg2;

namespace {

QByteArray pngBytes(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

// A PNG whose header claims 100000 x 100000 pixels.
QByteArray hugePng()
{
    QByteArray bytes = pngBytes(1, 1, Qt::red);
    const char size[] = {0, 1, char(0x86), char(0xA0)}; // 100000
    bytes.replace(16, 4, size, 4);
    bytes.replace(20, 4, size, 4);
    return bytes;
}

struct PictureDialog : Fixture {
    TzdPictureView* view = nullptr;
    PictureDialog()
    {
        view = add<TzdPictureView>(page, "Picture1");
        view->Picture()->LoadFromBytes(pngBytes(2, 2, Qt::blue));
    }
    QByteArray pictureBytes() const { return view->Picture()->Graphic()->SaveToBytes(); }
};

TEST_F(PictureDialog, HostileFilesAreReportedAndLeaveThePictureAlone)
{
    const QByteArray good = pngBytes(3, 1, Qt::green);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.png", QByteArray()},
        {"garbage.png", QByteArray(64, 'x')},
        {"truncated.png", good.left(good.size() / 2)},
        {"huge.png", hugePng()},
        {"text.bmp", QByteArray("BM this is no bitmap")},
    };
    const QByteArray before = pictureBytes();
    for (const auto& c : cases) {
        ui.Reset();
        const QString file = writeFile(dir, QString::fromLatin1(c.name), c.bytes);
        EXPECT_FALSE(zd::picture::loadFile(*view->Picture(), file)) << c.name;
        EXPECT_EQ(pictureBytes(), before) << c.name;
        EXPECT_EQ(messages().size(), 1) << c.name;
    }
    ui.Reset();
    EXPECT_FALSE(zd::picture::loadFile(*view->Picture(), dir.filePath(QStringLiteral("missing.png"))));
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(pictureBytes(), before);
}

TEST_F(PictureDialog, HostileFileThroughTheLoadButtonKeepsTheTemplate)
{
    const QByteArray before = saved();
    ui.AnswerFile({writeFile(dir, QStringLiteral("huge.png"), hugePng())});
    QString status;
    Runner run([&](QDialog& d) {
        child<QToolButton>(d, "LoadB")->click();
        status = child<QStatusBar>(d, "StatusBar")->currentMessage();
        child<QToolButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditPicture(*view->Picture()));
    EXPECT_EQ(status, QStringLiteral("2 x 2"));
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(saved(), before);
}

TEST_F(PictureDialog, LoadedPictureReachesTheTemplateOnOkOnly)
{
    const QString file = writeFile(dir, QStringLiteral("new.png"), pngBytes(5, 4, Qt::red));
    const QByteArray before = saved();
    ui.AnswerFile({file});
    Runner cancel([](QDialog& d) {
        child<QToolButton>(d, "LoadB")->click();
        child<QToolButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditPicture(*view->Picture()));
    EXPECT_EQ(saved(), before);

    ui.AnswerFile({file});
    QString status;
    Runner ok([&](QDialog& d) {
        child<QToolButton>(d, "LoadB")->click();
        status = child<QStatusBar>(d, "StatusBar")->currentMessage();
        child<QToolButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditPicture(*view->Picture()));
    EXPECT_EQ(status, QStringLiteral("5 x 4"));
    EXPECT_EQ(view->Picture()->Width(), 5);
    EXPECT_NE(saved(), before);
}

TEST_F(PictureDialog, PastingTextShowsInvalidImageFormat)
{
    ui.SetClipboardText(QStringLiteral("no picture"));
    const QByteArray before = pictureBytes();
    EXPECT_FALSE(zd::picture::paste(*view->Picture()));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages().front(), QStringLiteral("Invalid image format"));
    EXPECT_EQ(pictureBytes(), before);
    ui.SetClipboardData(QStringLiteral("image/png"), pngBytes(7, 1, Qt::black));
    EXPECT_TRUE(zd::picture::paste(*view->Picture()));
    EXPECT_EQ(view->Picture()->Width(), 7);
}

TEST_F(PictureDialog, ClearShowsEmptyStatus)
{
    Runner run([](QDialog& d) {
        child<QToolButton>(d, "ClearB")->click();
        EXPECT_EQ(child<QStatusBar>(d, "StatusBar")->currentMessage(), QStringLiteral("Prázdný"));
        child<QToolButton>(d, "OkB")->click();
    });
    EXPECT_TRUE(zd::dialogs::EditPicture(*view->Picture()));
    EXPECT_TRUE(view->Picture()->Empty());
}

} // namespace
