// Every symbol a Debian decoder reads is drawn by the zdbarcode tool at each
// rotation and decoded by ZXingReader and zbarimg to the expected text. The
// symbologies no decoder reads are scanned back from the tool's image and
// compared with the standards' bar patterns module by module.
#include "zdBarcode2D_testutil.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>

#include <set>
#include <string>
#include <vector>

namespace {


struct RunResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

RunResult run(const QString& program, const QStringList& args)
{
    QProcess p;
    // Under LeakSanitizer, fontconfig's process-long cache is not ours to free.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString lsan = env.value(QStringLiteral("LSAN_OPTIONS"));
    if (!lsan.isEmpty())
        lsan += u':';
    lsan += QStringLiteral("suppressions=" SORVAMET_TEST_DATA "/lsan-fontconfig.supp");
    env.insert(QStringLiteral("LSAN_OPTIONS"), lsan);
    p.setProcessEnvironment(env);
    p.start(program, args);
    RunResult r;
    if (!p.waitForStarted(10000)) {
        r.err = "cannot start " + program.toUtf8();
        return r;
    }
    p.closeWriteChannel();
    p.waitForFinished(60000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool haveTool(const char* name) { return !QStandardPaths::findExecutable(QLatin1StringView(name)).isEmpty(); }

struct Decoded {
    QByteArray format; // zxing: "EAN-13"; zbar: "EAN-13"
    QByteArray text;
    QByteArray identifier; // zxing's symbology identifier ("]C1" marks GS1)
};

// ZXingReader's report on each file, one run for all: "Bytes:" in hex,
// "Format:", "Identifier:".
std::vector<std::vector<Decoded>> zxing(const QStringList& pngs)
{
    std::vector<std::vector<Decoded>> out;
    for (const zdtest::ReadSymbols& symbols : zdtest::zxingRead(pngs)) {
        out.emplace_back();
        for (const zdtest::ReadSymbol& symbol : symbols)
            out.back().push_back({symbol.format, symbol.bytes, symbol.identifier});
    }
    return out;
}

// zbarimg's "SYMBOLOGY:data" lines of each file, UPC and the add-ons
// enabled, one run for all: a Code 128 marker drawn after each file ends
// its lines.
std::vector<std::vector<Decoded>> zbar(const QStringList& pngs)
{
    QTemporaryDir dir;
    const QString markerFile = dir.filePath(QStringLiteral("marker.png"));
    const QByteArray marker = "CODE-128:" + zdtest::kEndOfPictureMarker + '\n';
    QStringList args{QStringLiteral("-q"), QStringLiteral("-Supca.enable"), QStringLiteral("-Supce.enable"),
                     QStringLiteral("-Sean2.enable"), QStringLiteral("-Sean5.enable")};
    if (zdtest::drawWithZdbarcode({QStringLiteral("bcCode128"), QString::fromLatin1(zdtest::kEndOfPictureMarker),
                                   markerFile}) != 0)
        return std::vector<std::vector<Decoded>>(std::size_t(pngs.size()));
    for (const QString& png : pngs)
        args << png << markerFile;
    const RunResult r = run(QStringLiteral("zbarimg"), args);
    std::vector<std::vector<Decoded>> out;
    for (QByteArray all : zdtest::splitAtMarkers(r.out, marker, std::size_t(pngs.size()))) {
        out.emplace_back();
        if (all.endsWith('\n'))
            all.chop(1);
        for (const QByteArray& line : all.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                out.back().push_back({line.left(colon), line.mid(colon + 1), {}});
        }
    }
    return out;
}

std::vector<Decoded> zbar(const QString& png)
{
    return zbar(QStringList{png}).front();
}

std::set<std::pair<QByteArray, QByteArray>> sorted(const std::vector<Decoded>& v)
{
    std::set<std::pair<QByteArray, QByteArray>> out;
    for (const Decoded& d : v)
        out.insert({d.format, d.text});
    return out;
}

std::string show(const std::vector<Decoded>& v)
{
    std::string s;
    for (const Decoded& d : v)
        s += "[" + d.format.toStdString() + " \"" + d.text.toStdString() + "\" " + d.identifier.toStdString() + "]";
    return s.empty() ? "nothing" : s;
}

struct Case {
    const char* name; // test name
    const char* type;
    QByteArray text;
    QStringList extra;     // tool options beyond the angle
    const char* zxFormat;  // nullptr: ZXing does not read it
    QByteArray zxText;
    const char* zbarFormat; // nullptr: zbar does not read it
    QByteArray zbarText;
    bool gs1 = false;       // FNC1 in first position
};

const QStringList kM2{QStringLiteral("--module"), QStringLiteral("2")};
QStringList withChecksum(QStringList l)
{
    l << QStringLiteral("--checksum");
    return l;
}

// Every set B character (values 0..94) and every set A control code but
// NUL and the line ends (which the decoders' reports cannot carry).
QByteArray printable()
{
    QByteArray t;
    for (char c = 32; c < 127; ++c)
        t += c;
    return t;
}

QByteArray controls()
{
    QByteArray t;
    for (char c = 1; c < 32; ++c)
        if (c != '\n' && c != '\r')
            t += c;
    return t + "END";
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> c = {
        {"ITF", "bcCode_2_5_interleaved", "1234567890", kM2, "ITF", "1234567890", "I2/5", "1234567890"},
        {"ITFCheck", "bcCode_2_5_interleaved", "12345", withChecksum(kM2), "ITF", "123457", "I2/5", "123457"},
        {"ITFRatio3", "bcCode_2_5_interleaved", "000123", kM2 + QStringList{"--ratio", "3"}, "ITF", "000123", "I2/5",
         "000123"},
        {"Code39", "bcCode39", "CODE 39-$/+%.", kM2, "Code39", "CODE 39-$/+%.", "CODE-39", "CODE 39-$/+%."},
        {"Code39All", "bcCode39", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", kM2, "Code39",
         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "CODE-39", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {"Code39Check", "bcCode39", "CODE39", withChecksum(kM2), "Code39", "CODE39W", "CODE-39", "CODE39W"},
        {"Code39Extended", "bcCode39Extended", "abc-1", kM2, "Code39", "+A+B+C/M1", "CODE-39", "+A+B+C/M1"},
        {"Code93", "bcCode93", "TEST93", kM2, "Code93", "TEST93", "CODE-93", "TEST93"},
        {"Code93Long", "bcCode93", "CODE 93 $/+% 0123456789ABCDEFGHIJ", kM2, "Code93",
         "CODE 93 $/+% 0123456789ABCDEFGHIJ", "CODE-93", "CODE 93 $/+% 0123456789ABCDEFGHIJ"},
        {"Code93All", "bcCode93", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", kM2, "Code93",
         "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", "CODE-93", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%"},
        {"Code93Extended", "bcCode93Extended", "Hello, World!", kM2, "Code93", "Hello, World!", "CODE-93",
         "Hello, World!"},
        {"Code128", "bcCode128", "ABC123456", kM2, "Code128", "ABC123456", "CODE-128", "ABC123456"},
        {"Code128Mixed", "bcCode128", "Sorvamet\x01" "12345678x", kM2, "Code128", "Sorvamet\x01" "12345678x",
         "CODE-128", "Sorvamet\x01" "12345678x"},
        {"Code128A", "bcCode128A", "CODE128A\x02", kM2, "Code128", "CODE128A\x02", "CODE-128", "CODE128A\x02"},
        {"Code128B", "bcCode128B", "Code 128b~", kM2, "Code128", "Code 128b~", "CODE-128", "Code 128b~"},
        {"Code128C", "bcCode128C", "12345678", kM2, "Code128", "12345678", "CODE-128", "12345678"},
        {"Code128AllOfSetB", "bcCode128B", printable(), kM2, "Code128", printable(), "CODE-128", printable()},
        {"Code128ControlsOfSetA", "bcCode128A", controls(), kM2, "Code128", controls(), "CODE-128", controls()},
        {"Ean128", "bcCodeEAN128", "ABC123", kM2, "Code128", "ABC123", "CODE-128", "ABC123", true},
        {"Ean128Check", "bcCodeEAN128", "123456", withChecksum(kM2), "Code128", "1234565", "CODE-128", "1234565",
         true},
        {"Ean128A", "bcCodeEAN128A", "AB12", kM2, "Code128", "AB12", "CODE-128", "AB12", true},
        {"Ean128B", "bcCodeEAN128B", "ab12", kM2, "Code128", "ab12", "CODE-128", "ab12", true},
        {"Ean128C", "bcCodeEAN128C", "(01)12345678901231", kM2, "Code128", "0112345678901231", "CODE-128",
         "0112345678901231", true},
        {"Gs1", "bcGS1Code128", "(01)04012345678901(10)ABC(21)123456", kM2, "Code128",
         "010401234567890110ABC\x1d" "21123456", "CODE-128", "010401234567890110ABC\x1d" "21123456", true},
        {"Codabar", "bcCodeCodabar", "12-34$5:6/7.8+9", kM2, "Codabar", "12-34$5:6/7.8+9", "Codabar",
         "A12-34$5:6/7.8+9B"},
        {"Ean8", "bcCodeEAN8", "5512345", withChecksum(kM2), "EAN-8", "55123457", "EAN-8", "55123457"},
        {"Ean13", "bcCodeEAN13", "400638133393", withChecksum(kM2), "EAN-13", "4006381333931", "EAN-13",
         "4006381333931"},
        // Padded with zeros on the left: decoders report such an EAN-13 as UPC-A.
        {"Ean13Isbn", "bcCodeEAN13", "9780306406157", kM2, "EAN-13", "9780306406157", "EAN-13", "9780306406157"},
        {"Ean13Digits", "bcCodeEAN13", "5901234123457", kM2, "EAN-13", "5901234123457", "EAN-13", "5901234123457"},
        {"Ean13Padded", "bcCodeEAN13", "12345", withChecksum(kM2), "UPC-A", "000000123457", "UPC-A",
         "000000123457"},
        {"UpcA", "bcCodeUPC_A", "03600029145", withChecksum(kM2), "UPC-A", "036000291452", "UPC-A", "036000291452"},
        {"UpcE0", "bcCodeUPC_E0", "425261", withChecksum(kM2), "UPC-E", "04252614", "UPC-E", "04252614"},
        {"UpcE0Short", "bcCodeUPC_E0", "123456", withChecksum(kM2), "UPC-E", "01234565", "UPC-E", "01234565"},
        // zbar reads UPC-E of number system 0 only.
        {"UpcE1", "bcCodeUPC_E1", "123456", withChecksum(kM2), "UPC-E", "11234562", nullptr, {}},
    };
    return c;
}

class RoundTrip : public ::testing::TestWithParam<std::tuple<size_t, int>> {};

QString render(const QTemporaryDir& dir, const char* type, const QByteArray& text, const QStringList& extra, int angle,
               const QString& name)
{
    const QString png = dir.filePath(name + QStringLiteral(".png"));
    QStringList args{QLatin1StringView(type), QString::fromLatin1(text), png, QStringLiteral("--angle"),
                     QString::number(angle)};
    args += extra;
    EXPECT_EQ(zdtest::drawWithZdbarcode(args), 0) << args.join(QLatin1Char(' ')).toStdString();
    return png;
}

const int kAngles[] = {0, 90, 180, 270};

// Every case at every angle, drawn once and read by each decoder in one
// run (starting a decoder costs more than reading a symbol); each test of
// the suite takes its own symbol's results.
struct RoundTripReads {
    QTemporaryDir dir;
    std::vector<int> drawn;                         // the tool's exit code per symbol
    std::vector<std::vector<Decoded>> zxing, zbar;  // per symbol

    static std::size_t index(std::size_t c, int angle) { return c * std::size(kAngles) + std::size_t(angle / 90); }

    RoundTripReads()
    {
        const std::size_t count = cases().size() * std::size(kAngles);
        drawn.assign(count, -1);
        zxing.resize(count);
        zbar.resize(count);
        QStringList zxFiles, zbarFiles;
        std::vector<std::size_t> zxIndex, zbarIndex;
        for (std::size_t c = 0; c < cases().size(); ++c)
            for (int angle : kAngles) {
                const Case& k = cases()[c];
                const std::size_t i = index(c, angle);
                const QString png = dir.filePath(QStringLiteral("%1_%2.png").arg(QLatin1StringView(k.name)).arg(angle));
                QStringList args{QLatin1StringView(k.type), QString::fromLatin1(k.text), png, QStringLiteral("--angle"),
                                 QString::number(angle)};
                drawn[i] = zdtest::drawWithZdbarcode(args + k.extra);
                if (k.zxFormat) {
                    zxFiles << png;
                    zxIndex.push_back(i);
                }
                if (k.zbarFormat) {
                    zbarFiles << png;
                    zbarIndex.push_back(i);
                }
            }
        if (haveTool("ZXingReader")) {
            std::vector<std::vector<Decoded>> read = ::zxing(zxFiles);
            for (std::size_t j = 0; j < zxIndex.size(); ++j)
                zxing[zxIndex[j]] = std::move(read[j]);
        }
        if (haveTool("zbarimg")) {
            std::vector<std::vector<Decoded>> read = ::zbar(zbarFiles);
            for (std::size_t j = 0; j < zbarIndex.size(); ++j)
                zbar[zbarIndex[j]] = std::move(read[j]);
        }
    }

    static const RoundTripReads& get()
    {
        static const RoundTripReads reads;
        return reads;
    }
};

} // namespace

TEST_P(RoundTrip, DecodersReadWhatWasDrawn)
{
    const Case& c = cases()[std::get<0>(GetParam())];
    const int angle = std::get<1>(GetParam());
    const RoundTripReads& reads = RoundTripReads::get();
    const std::size_t i = RoundTripReads::index(std::get<0>(GetParam()), angle);
    EXPECT_EQ(reads.drawn[i], 0) << c.type << " " << c.text.toStdString() << " --angle " << angle;

    if (c.zxFormat) {
        if (!haveTool("ZXingReader"))
            GTEST_SKIP() << "ZXingReader (zxing-cpp-tools) not installed";
        const std::vector<Decoded>& z = reads.zxing[i];
        ASSERT_EQ(z.size(), 1u) << show(z);
        EXPECT_EQ(z[0].format, QByteArray(c.zxFormat));
        EXPECT_EQ(z[0].text, c.zxText);
        if (c.gs1) {
            EXPECT_EQ(z[0].identifier, QByteArray("]C1"));
        } else if (QByteArray(c.zxFormat) == "Code128") {
            EXPECT_EQ(z[0].identifier, QByteArray("]C0"));
        }
    }
    if (c.zbarFormat) {
        if (!haveTool("zbarimg"))
            GTEST_SKIP() << "zbarimg (zbar-tools) not installed";
        const std::vector<Decoded>& z = reads.zbar[i];
        ASSERT_EQ(z.size(), 1u) << show(z);
        EXPECT_EQ(z[0].format, QByteArray(c.zbarFormat));
        EXPECT_EQ(z[0].text, c.zbarText);
    }
}

INSTANTIATE_TEST_SUITE_P(Symbols, RoundTrip,
                         ::testing::Combine(::testing::Range(size_t(0), cases().size()), ::testing::ValuesIn(kAngles)),
                         [](const ::testing::TestParamInfo<RoundTrip::ParamType>& info) {
                             return std::string(cases()[std::get<0>(info.param)].name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

// ---------------------------------------------------------------- supplements

class SupplementRoundTrip : public ::testing::TestWithParam<int> {
protected:
    QTemporaryDir dir;
};

namespace {

// An EAN-13 and an add-on drawn at the same angle, joined along the bars
// with a gap of nine modules, as a printed add-on sits beside its symbol.
QString besideEan13(const QTemporaryDir& dir, const char* supType, const QByteArray& supText, int angle)
{
    constexpr int kModul = 2;
    constexpr int kQuiet = 10 * kModul;
    constexpr int kGap = 9 * kModul;
    const QString ean = render(dir, "bcCodeEAN13", "4006381333931", kM2, angle, QStringLiteral("ean"));
    const QString sup = render(dir, supType, supText, kM2, angle, QStringLiteral("sup"));
    // Turn both back to reading direction, join, and turn the result again.
    const QImage e = QImage(ean).transformed(QTransform().rotate(angle));
    const QImage s = QImage(sup).transformed(QTransform().rotate(angle));
    const int eanKeep = e.width() - kQuiet + kGap;
    QImage joined(eanKeep + s.width() - kQuiet, std::max(e.height(), s.height()), QImage::Format_RGB32);
    joined.fill(Qt::white);
    {
        QPainter p(&joined);
        p.drawImage(0, 0, e, 0, 0, eanKeep, e.height());
        p.drawImage(eanKeep, 0, s, kQuiet, 0, s.width() - kQuiet, s.height());
    }
    const QString out = dir.filePath(QStringLiteral("joined.png"));
    joined.transformed(QTransform().rotate(-angle)).save(out);
    return out;
}

} // namespace

// zbar reports the add-on as a symbol of its own beside the EAN-13 (ZXing's
// command line does not look for add-ons).
TEST_P(SupplementRoundTrip, FiveDigitsBesideEan13)
{
    if (!haveTool("zbarimg"))
        GTEST_SKIP() << "zbarimg (zbar-tools) not installed";
    const std::vector<Decoded> z = zbar(besideEan13(dir, "bcCodeUPC_Supp5", "52495", GetParam()));
    EXPECT_EQ(sorted(z), (std::set<std::pair<QByteArray, QByteArray>>{{"EAN-13", "4006381333931"}, {"EAN-5", "52495"}}))
        << show(z);
}

TEST_P(SupplementRoundTrip, TwoDigitsBesideEan13)
{
    if (!haveTool("zbarimg"))
        GTEST_SKIP() << "zbarimg (zbar-tools) not installed";
    // One of each parity pair: 12 % 4 = 0, 13 -> 1, 14 -> 2, 07 -> 3.
    for (const char* two : {"12", "13", "14", "7"}) {
        const std::vector<Decoded> z = zbar(besideEan13(dir, "bcCodeUPC_Supp2", two, GetParam()));
        const QByteArray padded = QByteArray(two).rightJustified(2, '0');
        EXPECT_EQ(sorted(z),
                  (std::set<std::pair<QByteArray, QByteArray>>{{"EAN-13", "4006381333931"}, {"EAN-2", padded}}))
            << two << " " << show(z);
    }
}

INSTANTIATE_TEST_SUITE_P(Angles, SupplementRoundTrip, ::testing::Values(0, 90, 180, 270));

// ---------------------------------------------------------------- undecoded symbologies

namespace {

// The dark and light modules along the middle of the bars of a symbol the
// tool drew at angle 0 with --module 2 (ten modules of quiet zone).
std::string scanModules(const QString& png, int angle, double lengthFraction = 0.3)
{
    const QImage image = QImage(png).transformed(QTransform().rotate(angle));
    constexpr int kModul = 2;
    constexpr int kQuiet = 10 * kModul;
    const int y = kQuiet + int((image.height() - 2 * kQuiet) * lengthFraction);
    std::string bits;
    for (int x = kQuiet; x < image.width() - kQuiet; x += kModul)
        bits += qGray(image.pixel(x, y)) < 128 ? '1' : '0';
    return bits;
}

std::string industrial(const char* nw) // bars only, narrow gaps; 1:3
{
    std::string s;
    for (int i = 0; nw[i]; ++i)
        s += nw[i] == 'W' ? "1110" : "10";
    return s;
}

} // namespace

class PatternScan : public ::testing::TestWithParam<int> {
protected:
    QTemporaryDir dir;
};

TEST_P(PatternScan, TwoOfFiveIndustrial)
{
    const QString png =
        render(dir, "bcCode_2_5_industrial", "19", kM2 + QStringList{"--ratio", "3"}, GetParam(), "i");
    // Start 11011010, 1 = WNNNW, 9 = NWNWN, stop 11010110.
    EXPECT_EQ(scanModules(png, GetParam()), "11011010" + industrial("WNNNW") + industrial("NWNWN") + "11010110");
}

TEST_P(PatternScan, TwoOfFiveMatrix)
{
    // The ratio 2 becomes 2.25: with two-unit modules wide elements are 2
    // modules and the start and stop bars 3. 3 = WWNNN as bar, gap, bar, gap, bar.
    const QString png = render(dir, "bcCode_2_5_matrix", "3", kM2, GetParam(), "m");
    EXPECT_EQ(scanModules(png, GetParam()),
              std::string("111" "0" "1" "0" "1" "0") + "11" "00" "1" "0" "1" "0" + "111" "0" "1" "0" "1");
}

TEST_P(PatternScan, MSIWithCheckDigit)
{
    const QString png = render(dir, "bcCodeMSI", "12345", withChecksum(kM2), GetParam(), "msi");
    // 1 = 110, 0 = 100 (wide = 2 modules); start 110, stop 1001; check digit 5.
    auto bits = [](int d) {
        std::string s;
        for (int b = 3; b >= 0; --b)
            s += (d >> b) & 1 ? "110" : "100";
        return s;
    };
    EXPECT_EQ(scanModules(png, GetParam()),
              "110" + bits(1) + bits(2) + bits(3) + bits(4) + bits(5) + bits(5) + "1001");
}

TEST_P(PatternScan, PostNetTallAndShortBars)
{
    const QString png = render(dir, "bcCodePostNet", "1907", kM2, GetParam(), "p");
    // Near the top only the tall bars show; near the foot every bar does.
    // 1 = 00011, 9 = 10100, 0 = 11000, 7 = 10001; bars 1 module, gaps 2.
    std::string tall = "100", all = "100";
    for (const char* digit : {"00011", "10100", "11000", "10001"}) {
        for (int i = 0; i < 5; ++i) {
            tall += digit[i] == '1' ? "100" : "000";
            all += "100";
        }
    }
    tall += "1";
    all += "1";
    // The text band takes the foot; the short bars reach 2/5 up the bars.
    EXPECT_EQ(scanModules(png, GetParam(), 0.1), tall);
    EXPECT_EQ(scanModules(png, GetParam(), 0.6), all);
}

INSTANTIATE_TEST_SUITE_P(Angles, PatternScan, ::testing::Values(0, 90, 180, 270));

TEST(ZdbarcodeTool, ReportsEncodingErrorsAndBadCommandLines)
{
    if (!QFile::exists(zdtest::kZdbarcode))
        GTEST_SKIP() << "zdbarcode not built";
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("x.png"));
    RunResult r = run(zdtest::kZdbarcode, {QStringLiteral("bcCodeEAN13"), QStringLiteral("12A"), png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QByteArray("Barcode must be numeric"));
    EXPECT_FALSE(QFile::exists(png));
    r = run(zdtest::kZdbarcode, {QStringLiteral("bcCode93"), QString::fromUtf8("Ä"), png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QByteArray("TzdBarcode:Code93 bad Data <Ä>"));
    for (const QStringList& bad : {QStringList{"bcNothing", "1", png}, QStringList{"bcCode39", "A"},
                                   QStringList{"bcCode39", "A", png, "--angle", "45"},
                                   QStringList{"bcCode39", "A", png, "--module"},
                                   QStringList{"bcCode39", "A", png, "--colour", "red"}}) {
        r = run(zdtest::kZdbarcode, bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage")) << r.err.toStdString();
    }
}
