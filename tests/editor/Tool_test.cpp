// tests/tools/plainedit from the shell's side.

#include "../TestUtil.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QByteArray runPlainEdit(const QStringList& args, int* exitCode = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(SORVAMET_BIN_DIR "/plainedit"), args);
    process.waitForFinished(60000);
    if (exitCode)
        *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

} // namespace

// A column block of a three-line text copied, pasted at the end, undone and redone.
TEST(PlainEditTool, ColumnCopyPasteUndoRedo)
{
    const QString data = QStringLiteral(SORVAMET_TEST_DATA);
    const QByteArray out = runPlainEdit({QStringLiteral("--text"), data + QStringLiteral("/three.txt"),
                                         QStringLiteral("--keys"),
                                         QStringLiteral("Right Ctrl+Shift+C Shift+Down Shift+Down Shift+Right "
                                                        "Shift+Right Ctrl+C Ctrl+End Ctrl+V Ctrl+Z Ctrl+Shift+Z")});
    EXPECT_EQ(out, fileBytes(data + QStringLiteral("/three.expected")));
    EXPECT_TRUE(out.contains("block 02 62 63 0d 0a 66 67 0d 0a 6a 6b 00"));
}

TEST(PlainEditTool, TypesCharactersAndRefusesUnknownKeys)
{
    const QString data = QStringLiteral(SORVAMET_TEST_DATA);
    const QByteArray out = runPlainEdit({QStringLiteral("--text"), data + QStringLiteral("/three.txt"),
                                         QStringLiteral("--keys"), QStringLiteral("End X y Space Shift+Home")});
    EXPECT_TRUE(out.startsWith("text:\n[|abcdXy ]\n")) << out.toStdString();
    int code = 0;
    runPlainEdit({QStringLiteral("--text"), data + QStringLiteral("/three.txt"), QStringLiteral("--keys"),
                  QStringLiteral("Hyper+Q")},
                 &code);
    EXPECT_EQ(code, 2);
}
