#include "zdUtils.h"

#include "Exceptions.h"
#include "Files.h"
#include "ScriptedServices.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "StringList.h"
#include "SysUtils.h"

#include <QDir>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

namespace {

QStringList linesOf(const plat::TStrings& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Strings(i);
    return out;
}

// Sets the decimal separator for one test and puts it back.
class DecimalComma {
public:
    DecimalComma() : m_keep(plat::FormatSettings()) { plat::FormatSettings().DecimalSeparator = u','; }
    ~DecimalComma() { plat::FormatSettings() = m_keep; }

private:
    plat::TFormatSettings m_keep;
};

} // namespace

TEST(zdStreamCRC32, StandardCheckValueAndPositionKept)
{
    plat::TMemoryStream stream(QByteArray("123456789"));
    stream.SetPosition(4);
    EXPECT_EQ(zdStreamCRC32(stream), 0xCBF43926u);
    EXPECT_EQ(stream.Position(), 4);
    plat::TMemoryStream empty;
    EXPECT_EQ(zdStreamCRC32(empty), 0u);
}

TEST(zdHex, StreamToHexAndBack)
{
    plat::TMemoryStream stream(QByteArray("\x00\xab\x10\xff", 4));
    EXPECT_EQ(zdStreamToHex(stream), "00AB10FF");
    plat::TMemoryStream back;
    zdHexToStream(QStringLiteral("00ab10FFx"), back); // half the length: 4 bytes
    EXPECT_EQ(back.bytes(), QByteArray("\x00\xab\x10\xff", 4));
    EXPECT_THROW(zdHexToStream(QStringLiteral("0G"), back), plat::EConvertError);
}

TEST(zdParseFloat, AcceptsCommaOrPointAndBlanks)
{
    DecimalComma comma;
    EXPECT_DOUBLE_EQ(static_cast<double>(zdParseFloat(QStringLiteral("1 234,5"))), 1234.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(zdParseFloat(QStringLiteral("1234.5"))), 1234.5);
    EXPECT_THROW(zdParseFloat(QStringLiteral("12a")), plat::EConvertError);
}

TEST(zdParseFloat, ShortDecimalsReadAsTheFullParseReadsThem)
{
    // Short decimals take a quicker road; it must land on the very same
    // long double, sign of zero included, under either separator.
    const char* const texts[] = {"0", "-0", "7", "-12", "37.5", "0.1", "0.0001", "-0.0003", "18.8976",
                                 "123456789012345", "999999999999999.9999", "-999999999999999.9999",
                                 "2.675", "1122.5196", "0.3333"};
    for (bool comma : {false, true}) {
        plat::TFormatSettings settings = plat::FormatSettings();
        settings.DecimalSeparator = comma ? u',' : u'.';
        const plat::TFormatSettings keep = plat::FormatSettings();
        plat::FormatSettings() = settings;
        for (const char* t : texts) {
            QString text = QString::fromLatin1(t);
            const long double full = plat::StrToFloat(QString(text).replace(u'.', settings.DecimalSeparator), settings);
            if (comma)
                text.replace(u'.', u',');
            const long double quick = zdParseFloat(text);
            EXPECT_EQ(quick, full) << t;
            EXPECT_EQ(std::signbit(quick), std::signbit(full)) << t;
        }
        plat::FormatSettings() = keep;
    }
}

TEST(zdFloatTexts, DisplayAndFixed)
{
    DecimalComma comma;
    EXPECT_EQ(zdFloatToDisplayStr(2), "2");
    EXPECT_EQ(zdFloatToDisplayStr(2.5), "2,50");
    EXPECT_EQ(zdFloatToFixedStr(3, u'.', 1234.5), "1234.500");
    EXPECT_EQ(zdFloatToFixedStr(0, u'.', 2.4), "2");
}

TEST(zdSplit, StringsValuesAndPageNumbers)
{
    plat::TStringList list;
    struct SplitCase {
        QString text;
        QStringList pieces;
    };
    for (const SplitCase& c : {SplitCase{"a,,b", {"a", "", "b"}}, SplitCase{"a,", {"a"}}, SplitCase{"", {}},
                               SplitCase{",a", {"", "a"}}}) {
        zdSplitString(c.text, list, u',');
        EXPECT_EQ(linesOf(list), c.pieces) << c.text.toStdString();
    }
    for (const SplitCase& c : {SplitCase{"a;b", {"a", "b"}}, SplitCase{"a", {}}, SplitCase{";", {}},
                               SplitCase{"a;b;c", {"a", "b", "c"}}, SplitCase{"", {}}}) {
        zdSplitValues(list, c.text, u';');
        EXPECT_EQ(linesOf(list), c.pieces) << c.text.toStdString();
    }
    for (const SplitCase& c : {SplitCase{"1,3,5-7", {"1", "3", "5", "6", "7"}}, SplitCase{"3-", {"3", "4", "5"}},
                               SplitCase{"5-3", {}}, SplitCase{" 2 , 4 ", {"2", "4"}},
                               SplitCase{"4-999999999", {"4", "5"}}}) {
        zdParsePageNumbers(c.text, list, 5);
        EXPECT_EQ(linesOf(list), c.pieces) << c.text.toStdString();
    }
    EXPECT_THROW(zdParsePageNumbers(QStringLiteral("1,x"), list, 5), plat::EConvertError);
}

TEST(zdExtractBracketed, MatchingCloseOutsideQuotes)
{
    int start = 1;
    int end = 0;
    EXPECT_EQ(zdExtractBracketed(QStringLiteral("[a[b]c]"), "[", "]", start, end), "a[b]c");
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 7);

    start = 3;
    EXPECT_EQ(zdExtractBracketedW(QStringLiteral("x [a ']' \"]\" b] y"), "[", "]", start, end), "a ']' \"]\" b");
    EXPECT_EQ(end, 15);

    start = 2; // no Open there: nothing, EndPos stays at StartPos
    EXPECT_EQ(zdExtractBracketed(QStringLiteral("[a]"), "[", "]", start, end), "");
    EXPECT_EQ(end, 2);

    start = 1; // never closed: the rest, within the text
    EXPECT_EQ(zdExtractBracketed(QStringLiteral("[ab"), "[", "]", start, end), "ab");
    EXPECT_LE(end, 3);
}

TEST(TzdRectArea, OverlapWithTolerance)
{
    const TzdRectArea a = TzdRectArea::CreateBounds(0, 0, 10, 10);
    EXPECT_TRUE(a.OverlapsX(TzdRectArea::CreateBounds(9.9, 0, 20, 1)));
    EXPECT_FALSE(a.OverlapsX(TzdRectArea::CreateBounds(10.00005L, 0, 20, 1)));
    EXPECT_FALSE(a.OverlapsY(TzdRectArea::CreateBounds(0, -5, 1, 0.00005L)));
    std::unique_ptr<TzdRectArea> common(a.CommonXRange(TzdRectArea::CreateBounds(5, 3, 15, 4)));
    ASSERT_TRUE(common);
    EXPECT_EQ(common->X, 5);
    EXPECT_EQ(common->X1, 10);
    EXPECT_EQ(common->Y, 0);
    EXPECT_EQ(common->Y1, 0);
    EXPECT_EQ(a.CommonXRange(TzdRectArea::CreateBounds(11, 0, 12, 1)), nullptr);
}

TEST(zdTempFiles, UniqueFilesWithThePrefix)
{
    QTemporaryDir dir;
    const QString a = zdCreateTempFileIn(dir.path());
    const QString b = zdCreateTempFileIn(dir.path());
    EXPECT_NE(a, b);
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith("fr"));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(a.startsWith(dir.path()));
    EXPECT_TRUE(zdGetTempDir().endsWith(u'/'));
    EXPECT_TRUE(zdGetModuleFolder().endsWith(u'/'));
    EXPECT_TRUE(zdGetModuleFileName().startsWith(zdGetModuleFolder()));
    const QString temp = zdGetTempFileName();
    EXPECT_TRUE(QFile::exists(temp));
    QFile::remove(temp);
}

TEST(zdWriteFileAtomically, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("report.zd3");
    zd::writeFileAtomically(name, [](plat::TStream& s) { s.writeBytes("good"); });
    EXPECT_EQ(plat::readFileBytes(name), "good");
    EXPECT_THROW(zd::writeFileAtomically(name,
                                         [](plat::TStream& s) {
                                             s.writeBytes("half");
                                             throw plat::EWriteError(QStringLiteral("Stream write error"));
                                         }),
                 plat::EWriteError);
    EXPECT_EQ(plat::readFileBytes(name), "good");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_THROW(zd::writeFileAtomically(dir.filePath("no/such/folder/x"), [](plat::TStream&) {}),
                 plat::EFCreateError);
}

TEST(zdMessages, CaptionsAndIconsOfTheThreeBoxes)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    ui.AnswerMessage(plat::IDOK);
    ui.AnswerMessage(plat::IDNO);
    ui.AnswerMessage(plat::IDOK);
    zdErrorMessage(QStringLiteral("broken"));
    EXPECT_EQ(zdConfirmMessage(QStringLiteral("sure?"), plat::MB_YESNO), plat::IDNO);
    zdInfoMessage(QStringLiteral("done"));
    const auto calls = ui.CallsOf("MessageBox");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].caption, QStringLiteral("Chyba"));
    EXPECT_EQ(calls[0].text, "broken");
    EXPECT_EQ(calls[0].flags, plat::MB_OK | plat::MB_ICONERROR);
    EXPECT_EQ(calls[1].caption, QStringLiteral("Potvrdit"));
    EXPECT_EQ(calls[1].flags, plat::MB_YESNO | plat::MB_ICONQUESTION);
    EXPECT_EQ(calls[2].caption, QStringLiteral("Informace"));
    EXPECT_EQ(calls[2].flags, plat::MB_OK | plat::MB_ICONINFORMATION);
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}
