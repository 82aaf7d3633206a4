// pdf417patterns OUT.cpp [--zint PATH] [--seed N] [--limit N]
//
// Makes the table of PDF417 codeword patterns (17 modules for each of the
// 929 codewords in each of the three row clusters) and writes it as a C++
// source. The patterns are a fact of the symbology; they are read off
// symbols that zint, a general barcode encoder run as a black box, draws
// with `--dump` for inputs whose codewords our own encoder computes exactly:
// long digit strings (numeric compaction) and random bytes 128..255 (byte
// compaction), with the columns and the error level fixed so that the error
// codewords and row indicators are ours too. Each dumped row is cut into
// start pattern, left row indicator, data codewords, right row indicator and
// stop pattern; every 17-module piece is recorded as the pattern of the
// codeword our encoder put there, in the row's cluster.
//
// It stops when all 3 x 929 entries are filled, and fails (exit 1, nothing
// written) when two patterns claim one entry, one pattern claims two, zint's
// start or stop pattern differs from ours, or the limit of symbols passes.
// Symbols whose layout differs from ours (zint's rows, our error level) are
// skipped. Exit 2 on a bad command line.
#include "zdBarcodePDF417.h"

#include "Exceptions.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSaveFile>
#include <QStringList>

#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr int kClusters = 3;
constexpr int kCodewords = 929;
constexpr int kModules = 17;

struct Options {
    QString out;
    QString zint = QStringLiteral("zint");
    unsigned seed = 15438;
    int limit = 2000;
};

std::optional<Options> parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--zint") && hasValue)
            o.zint = args[++i];
        else if (a == QLatin1String("--seed") && hasValue)
            o.seed = args[++i].toUInt(&ok);
        else if (a == QLatin1String("--limit") && hasValue)
            o.limit = args[++i].toInt(&ok);
        else if (!a.startsWith(QLatin1String("--")) && o.out.isEmpty())
            o.out = a;
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }
    if (o.out.isEmpty())
        return std::nullopt;
    return o;
}

[[noreturn]] void fail(const QString& message)
{
    throw plat::Exception(message);
}

class Table {
public:
    Table() { m_pattern.fill({}); }

    // Records that `pattern` draws `codeword` in `cluster`.
    void record(int cluster, int codeword, int pattern, const QString& where)
    {
        int& entry = m_pattern[std::size_t(cluster)][std::size_t(codeword)];
        if (entry != 0 && entry != pattern)
            fail(QStringLiteral("%1: cluster %2 codeword %3 is drawn as %4 and as %5")
                     .arg(where)
                     .arg(cluster)
                     .arg(codeword)
                     .arg(bits(entry), bits(pattern)));
        const auto [it, added] = m_owner.try_emplace(pattern, cluster * kCodewords + codeword);
        if (!added && it->second != cluster * kCodewords + codeword)
            fail(QStringLiteral("%1: pattern %2 draws cluster %3 codeword %4 and cluster %5 codeword %6")
                     .arg(where, bits(pattern))
                     .arg(it->second / kCodewords)
                     .arg(it->second % kCodewords)
                     .arg(cluster)
                     .arg(codeword));
        if (entry == 0)
            ++m_filled;
        entry = pattern;
    }

    int filled() const { return m_filled; }
    int at(int cluster, int codeword) const { return m_pattern[std::size_t(cluster)][std::size_t(codeword)]; }

    static QString bits(int pattern) { return QString::number(pattern, 2).rightJustified(kModules, QLatin1Char('0')); }

private:
    // A pattern always starts with a bar, so 0 marks an empty entry.
    std::array<std::array<int, kCodewords>, kClusters> m_pattern;
    std::map<int, int> m_owner; // pattern -> cluster * 929 + codeword
    int m_filled = 0;
};

struct Input {
    QString text;     // the characters our encoder gets (code page 28591)
    QString zintData; // the same data for zint's --data
    bool bytes;       // byte compaction, else numeric
};

// About `codewords` data codewords of digits or of bytes 128..255.
Input makeInput(std::mt19937& rng, bool bytes, int codewords)
{
    Input in{{}, {}, bytes};
    if (bytes) {
        std::uniform_int_distribution<int> byte(128, 255);
        for (int i = std::max(1, codewords * 6 / 5); i > 0; --i) {
            const int b = byte(rng);
            in.text += QChar(b);
            in.zintData += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
        }
    } else {
        std::uniform_int_distribution<int> digit(0, 9);
        for (int i = std::max(13, codewords * 44 / 15); i > 0; --i)
            in.text += QChar('0' + digit(rng));
        in.zintData = in.text;
    }
    return in;
}

// zint's module rows (empty when zint refuses the input).
std::vector<std::vector<bool>> zintRows(const QString& zint, const Input& in, int columns, int level)
{
    QStringList args{QStringLiteral("-b"), QStringLiteral("PDF417"), QStringLiteral("--cols=%1").arg(columns),
                     QStringLiteral("--secure=%1").arg(level), QStringLiteral("--dump")};
    if (in.bytes)
        args << QStringLiteral("--binary") << QStringLiteral("--esc");
    args << QStringLiteral("--data=") + in.zintData;
    QProcess p;
    p.start(zint, args);
    if (!p.waitForStarted(10000))
        fail(QStringLiteral("cannot run %1").arg(zint));
    p.waitForFinished(60000);
    std::vector<std::vector<bool>> rows;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return rows;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        std::vector<bool> row;
        // Hex digits, grouped by two with spaces; a row's last bits are
        // written as a short group, padded on the right.
        for (const char c : line.simplified()) {
            if (c == ' ')
                continue;
            bool ok = false;
            const int nibble = QByteArray(1, c).toInt(&ok, 16);
            if (!ok)
                fail(QStringLiteral("unexpected zint output: %1").arg(QString::fromLatin1(line)));
            for (int bit = 3; bit >= 0; --bit)
                row.push_back((nibble >> bit) & 1);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

int patternAt(const std::vector<bool>& row, int x)
{
    int pattern = 0;
    for (int m = 0; m < kModules; ++m)
        pattern = (pattern << 1) | int(row[std::size_t(x + m)]);
    return pattern;
}

// Records every codeword of one symbol; false when the layouts differ.
bool learn(Table& table, const Options& o, const Input& in, int columns, int level, int serial)
{
    const std::vector<std::vector<bool>> rows = zintRows(o.zint, in, columns, level);
    if (rows.empty())
        return false;
    TzdBarcodePDF417 symbol;
    symbol.SetCodePage(28591);
    symbol.SetCompactionMode(in.bytes ? PDF417CompactionMode::Binary : PDF417CompactionMode::Numeric);
    symbol.SetErrorCorrection(PDF417ErrorCorrection(int(PDF417ErrorCorrection::Level0) + level));
    symbol.SetDataColumns(columns);
    symbol.SetDataRows(int(rows.size()));
    symbol.SetText(in.text);
    if (!symbol.ErrorText().isEmpty())
        fail(QStringLiteral("symbol %1: %2").arg(serial).arg(symbol.ErrorText()));
    if (symbol.LayoutColumns() != columns || symbol.LayoutRows() != int(rows.size()) || symbol.ErrorLevel() != level)
        return false;
    const int width = kModules * columns + 69;
    const std::vector<int>& codewords = symbol.Codewords();
    for (int k = 0; k < int(rows.size()); ++k) {
        const std::vector<bool>& row = rows[std::size_t(k)];
        const QString where = QStringLiteral("symbol %1 row %2").arg(serial).arg(k);
        if (int(row.size()) < width || int(row.size()) >= width + 4)
            fail(QStringLiteral("%1: %2 modules, not %3").arg(where).arg(row.size()).arg(width));
        // The start (17 modules) and stop (18) patterns do not come from the
        // table: they must be ours already.
        for (int x = 0; x < width; ++x)
            if ((x < kModules || x >= width - kModules - 1) && row[std::size_t(x)] != symbol.IsDark(k, x))
                fail(QStringLiteral("%1: start or stop pattern differs at module %2").arg(where).arg(x));
        const int cluster = k % 3;
        table.record(cluster, zd::pdf417RowIndicator(k, int(rows.size()), columns, level, false), patternAt(row, 17),
                     where + QStringLiteral(" left indicator"));
        for (int c = 0; c < columns; ++c)
            table.record(cluster, codewords[std::size_t(k * columns + c)], patternAt(row, 34 + kModules * c),
                         where + QStringLiteral(" column %1").arg(c));
        table.record(cluster, zd::pdf417RowIndicator(k, int(rows.size()), columns, level, true),
                     patternAt(row, 34 + kModules * columns), where + QStringLiteral(" right indicator"));
    }
    return true;
}

QByteArray source(const Table& table)
{
    QByteArray s =
        "// PDF417 codeword patterns: the 17-module bar-space pattern of each of the\n"
        "// 929 codewords in the row clusters 0, 3 and 6, leftmost module in bit 16.\n"
        "//\n"
        "// Generated; do not edit. tests/tools/pdf417patterns read the patterns off\n"
        "// symbols that zint (a general barcode encoder, run as a black box) drew\n"
        "// for digit strings and random bytes whose codewords, error codewords and\n"
        "// row indicators our encoder computes, each pattern recorded as the\n"
        "// codeword our encoder put at its place. Made again, with zint installed,\n"
        "// by:\n"
        "//   build/bin/pdf417patterns barcode/zdBarcodePDF417_patterns.cpp\n"
        "#include \"zdBarcodePDF417.h\"\n"
        "\n"
        "namespace zd {\n"
        "namespace {\n"
        "\n"
        "const int kPatterns[3][929] = {\n";
    for (int cluster = 0; cluster < kClusters; ++cluster) {
        s += "    { // cluster " + QByteArray::number(cluster * 3) + "\n";
        for (int codeword = 0; codeword < kCodewords; ++codeword) {
            if (codeword % 8 == 0)
                s += "        ";
            s += "0x" + QByteArray::number(table.at(cluster, codeword), 16).rightJustified(5, '0') + ",";
            s += codeword % 8 == 7 || codeword == kCodewords - 1 ? "\n" : " ";
        }
        s += "    },\n";
    }
    s += "};\n"
         "\n"
         "} // namespace\n"
         "\n"
         "int pdf417Pattern(int cluster, int codeword)\n"
         "{\n"
         "    return kPatterns[cluster][codeword];\n"
         "}\n"
         "\n"
         "} // namespace zd\n";
    return s;
}

int run(const Options& o)
{
    Table table;
    std::mt19937 rng(o.seed);
    int used = 0, skipped = 0;
    for (int serial = 0; table.filled() < kClusters * kCodewords; ++serial) {
        if (serial >= o.limit)
            fail(QStringLiteral("%1 of %2 entries filled after %3 symbols")
                     .arg(table.filled())
                     .arg(kClusters * kCodewords)
                     .arg(o.limit));
        // Our encoder raises the level into spare room and zint pads
        // instead, so the spare room of the last row (less than `columns`)
        // must stay below the error codeword count.
        const int level = std::uniform_int_distribution<int>(3, 8)(rng);
        const int ecc = 2 << level;
        const int columns = std::uniform_int_distribution<int>(1, std::min(30, ecc))(rng);
        const int room = std::min(928, 90 * columns) - ecc;
        if (room < 3 * columns)
            continue;
        const int data = std::uniform_int_distribution<int>(3 * columns, room - 1)(rng);
        const Input in = makeInput(rng, serial % 2 == 1, data);
        if (learn(table, o, in, columns, level, serial))
            ++used;
        else
            ++skipped;
    }
    std::fprintf(stderr, "pdf417patterns: %d symbols read, %d skipped\n", used, skipped);
    QSaveFile file(o.out);
    if (!file.open(QIODevice::WriteOnly) || file.write(source(table)) < 0 || !file.commit())
        fail(QStringLiteral("cannot write %1").arg(o.out));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::optional<Options> o = parse(app.arguments());
    if (!o) {
        std::fputs("usage: pdf417patterns OUT.cpp [--zint PATH] [--seed N] [--limit N]\n", stderr);
        return 2;
    }
    try {
        return run(*o);
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "pdf417patterns: %s\n", e.message().toUtf8().constData());
        return 1;
    }
}
