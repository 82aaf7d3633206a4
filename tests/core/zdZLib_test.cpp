#include "zdZLib.h"

#include "zdToolRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "../TestUtil.h"
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray sampleData(int size, quint32 seed)
{
    // Text-like data with some repetition, as report files are.
    QRandomGenerator rng(seed);
    QByteArray out;
    out.reserve(size);
    while (out.size() < size) {
        out += "<TzdMemoView Name=\"Memo";
        out += QByteArray::number(rng.bounded(100000));
        out += "\" Text=\"\xc4\x8d\xc3\xad\xc5\xa1 ";
        out += static_cast<char>(rng.bounded(256));
        out += "\"/>\r\n";
    }
    out.truncate(size);
    return out;
}

QByteArray gzipMember(const QByteArray& data, TZCompressLevel level, const QByteArray& name)
{
    plat::TMemoryStream source(data);
    plat::TMemoryStream dest;
    zdGZipCompress(source, dest, level, name);
    return dest.bytes();
}

QByteArray gunzip(const QByteArray& member, QByteArray* name = nullptr)
{
    plat::TMemoryStream source(member);
    plat::TMemoryStream dest;
    QByteArray fileName;
    zdGZipDecompress(source, dest, fileName);
    if (name)
        *name = fileName;
    return dest.bytes();
}

// The offset of the deflate data in a member written with a name.
qsizetype dataOffset(const QByteArray& member)
{
    return member.indexOf('\0', 10) + 1;
}

} // namespace

TEST(zdGZip, EmptyTemplateIsATwentySixByteMember)
{
    const QByteArray member = gzipMember({}, zlBest, "1.zd3");
    const QByteArray expected = QByteArray::fromHex("1f8b0808" "00000001" "0000") + "1.zd3" + QByteArray(1, '\0')
        + QByteArray::fromHex("0300") + QByteArray(8, '\0');
    EXPECT_EQ(member.toHex(), expected.toHex());
    EXPECT_EQ(member.size(), 26);
}

TEST(zdGZip, MemberRoundTripsAndCarriesAdlerInMtime)
{
    for (int size : {1, 1000, 200000}) {
        const QByteArray data = sampleData(size, static_cast<quint32>(size));
        const QByteArray member = gzipMember(data, zlDefault, "1.zp3");
        const uLong adler = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()),
                                    static_cast<uInt>(data.size()));
        EXPECT_EQ(member.mid(4, 4).toHex(), QByteArray::number(qulonglong(adler), 16).rightJustified(8, '0'));
        QByteArray name;
        EXPECT_EQ(gunzip(member, &name), data);
        EXPECT_EQ(name, "1.zp3");
    }
    EXPECT_EQ(gzipMember("x", zlNone, {}).mid(10, 2), QByteArray("1\0", 2)); // default name "1"
}

TEST(zdGZip, GzipToolAcceptsOurMembers)
{
    if (!zdtest::toolAvailable("gzip"))
        GTEST_SKIP() << "gzip is not installed";
    const QByteArray data = sampleData(300000, 7);
    for (TZCompressLevel level : {zlNone, zlQuick, zlDefault, zlBest}) {
        const QByteArray member = gzipMember(data, level, "1.zd3");
        EXPECT_EQ(zdtest::runTool("gzip", {"-t"}, member).exitCode, 0);
        const auto unpacked = zdtest::runTool("gzip", {"-dc"}, member);
        EXPECT_EQ(unpacked.exitCode, 0);
        EXPECT_EQ(unpacked.out, data);
    }
}

TEST(zdGZip, GzipToolOutputLoads)
{
    if (!zdtest::toolAvailable("gzip"))
        GTEST_SKIP() << "gzip is not installed";
    const QByteArray data = sampleData(50000, 3);
    const auto packed = zdtest::runTool("gzip", {"-c", "-9"}, data);
    ASSERT_EQ(packed.exitCode, 0);
    EXPECT_EQ(gunzip(packed.out), data);
}

TEST(zdGZip, OptionalHeaderFieldsAreParsed)
{
    const QByteArray data = sampleData(5000, 11);
    const QByteArray ours = gzipMember(data, zlDefault, "a.zd3");
    // Rebuild the header with an extra field, a name, a comment and a header CRC.
    QByteArray header = QByteArray::fromHex("1f8b08") + char(0x04 | 0x08 | 0x10 | 0x02) + ours.mid(4, 6);
    header += QByteArray::fromHex("0300") + "abc";
    header += QByteArray("name.zd3\0", 9);
    header += QByteArray("a comment\0", 10);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(header.constData()), static_cast<uInt>(header.size()));
    header += static_cast<char>(crc & 0xFF);
    header += static_cast<char>((crc >> 8) & 0xFF);
    const QByteArray member = header + ours.mid(dataOffset(ours));
    QByteArray name;
    EXPECT_EQ(gunzip(member, &name), data);
    EXPECT_EQ(name, "name.zd3");

    QByteArray badHeaderCrc = member;
    badHeaderCrc[header.size() - 1] = static_cast<char>(badHeaderCrc[header.size() - 1] ^ 0x01);
    EXPECT_THROW(gunzip(badHeaderCrc), EZDecompressionError);
}

TEST(zdGZip, AnyFlippedByteOfDataOrTrailerIsRefused)
{
    const QByteArray data = sampleData(3000, 5);
    const QByteArray member = gzipMember(data, zlBest, "1.zd3");
    for (qsizetype at = dataOffset(member); at < member.size(); ++at) {
        QByteArray damaged = member;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
        plat::TMemoryStream source(damaged);
        plat::TMemoryStream dest;
        QByteArray name;
        EXPECT_THROW(zdGZipDecompress(source, dest, name), EZDecompressionError) << "offset " << at;
        EXPECT_EQ(dest.Size(), 0) << "offset " << at; // nothing reaches dest
    }
}

TEST(zdGZip, TruncatedOrForeignDataIsRefused)
{
    const QByteArray member = gzipMember(sampleData(3000, 9), zlDefault, {});
    for (qsizetype cut : {qsizetype(5), qsizetype(12), member.size() / 2, member.size() - 1})
        EXPECT_THROW(gunzip(member.left(cut)), EZDecompressionError) << "cut " << cut;
    EXPECT_THROW(gunzip("<?xml version=\"1.0\"?>"), EZDecompressionError);
}

TEST(zdGZip, CompressorWorkRecognisesMembersAndLeavesPlainData)
{
    plat::TMemoryStream plain(QByteArray("<?xml version=\"1.0\"?><TzdReport/>"));
    plain.SetPosition(5);
    plat::TMemoryStream work;
    EXPECT_FALSE(zd::gzipDecompressToWork(plain, work));
    EXPECT_EQ(plain.Position(), 5);

    plat::TMemoryStream templ(QByteArray("<TzdReport/>"));
    plat::TMemoryStream packed;
    zd::gzipCompressWork(templ, packed, true);
    EXPECT_EQ(packed.bytes().mid(10, 6), QByteArray("1.zd3\0", 6));
    packed.SetPosition(0);
    EXPECT_TRUE(zd::gzipDecompressToWork(packed, work));
    EXPECT_EQ(work.Position(), 0);
    EXPECT_EQ(work.bytes(), "<TzdReport/>");

    plat::TMemoryStream prepared;
    zd::gzipCompressWork(templ, prepared, false);
    EXPECT_EQ(prepared.bytes().mid(10, 6), QByteArray("1.zp3\0", 6));
}

TEST(TZCompressionStream, OnlyTellsItsCountAndCannotBeRead)
{
    plat::TMemoryStream dest;
    TZCompressionStream z(dest, zlDefault);
    const QByteArray data = sampleData(1000, 1);
    z.WriteBuffer(data.constData(), data.size());
    EXPECT_EQ(z.Seek(0, plat::soCurrent), 1000);
    try {
        char c;
        z.Read(&c, 1);
        ADD_FAILURE() << "read from a compression stream";
    } catch (const EZCompressionError& e) {
        EXPECT_EQ(e.message(), "Invalid ZStream operation!");
    }
    EXPECT_THROW(z.Seek(0, plat::soBeginning), EZCompressionError);
    z.Finish();
    QByteArray back;
    ZInflateBuffer(dest.Memory(), dest.Size(), back);
    EXPECT_EQ(back, data);
}

TEST(TZCompressionStream, FullBuffersGoOutWithProgress)
{
    QRandomGenerator rng(42);
    QByteArray noise(300000, Qt::Uninitialized);
    for (char& c : noise)
        c = static_cast<char>(rng.bounded(256));
    plat::TMemoryStream dest;
    int progress = 0;
    {
        TZCompressionStream z(dest, zlNone);
        z.OnProgress = [&progress] { ++progress; };
        z.WriteBuffer(noise.constData(), noise.size());
    } // the destructor finishes the stream
    EXPECT_GE(progress, 4);
    QByteArray back;
    ZInflateBuffer(dest.Memory(), dest.Size(), back, 10);
    EXPECT_EQ(back, noise);
}

TEST(zdDeflateStream, WholeStreamIsOneZlibStream)
{
    const QByteArray data = sampleData(70000, 2);
    plat::TMemoryStream source(data);
    source.SetPosition(100); // the whole stream counts, not the rest
    plat::TMemoryStream dest;
    zdDeflateStream(source, dest, zlBest);
    uLongf size = static_cast<uLongf>(data.size());
    QByteArray out(data.size(), '\0');
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                         reinterpret_cast<const Bytef*>(dest.Memory()), static_cast<uLong>(dest.Size())),
              Z_OK);
    EXPECT_EQ(out, data);
}

TEST(zdDeflateBytes, SameBytesAsTheStreamForEverySizeAndLevel)
{
    // Sizes around the stream's 64 KiB pieces; levels interleaved so that a
    // reused compressor must come back to a clean start each time.
    const int sizes[] = {0, 1, 700, 65535, 65536, 65537, 200001};
    const TZCompressLevel levels[] = {zlQuick, zlBest, zlQuick, zlDefault, zlNone, zlQuick};
    for (int size : sizes)
        for (TZCompressLevel level : levels) {
            const QByteArray data = sampleData(size, size % 7);
            plat::TMemoryStream source(data);
            plat::TMemoryStream dest;
            zdDeflateStream(source, dest, level);
            EXPECT_EQ(zdDeflateBytes(data, level), dest.bytes()) << "size " << size << ", level " << int(level);
        }
}

TEST(ZInflateBuffer, DamagedBlockRaisesZlibMessage)
{
    const QByteArray data = sampleData(2000, 4);
    QByteArray packed(compressBound(data.size()), '\0');
    uLongf size = static_cast<uLongf>(packed.size());
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
              static_cast<uLong>(data.size()), 9);
    packed.truncate(size);
    packed[packed.size() - 1] = static_cast<char>(packed[packed.size() - 1] ^ 1); // Adler-32
    QByteArray out;
    try {
        ZInflateBuffer(packed.constData(), packed.size(), out);
        ADD_FAILURE() << "damaged block inflated";
    } catch (const EZDecompressionError& e) {
        EXPECT_EQ(e.message(), "data error");
    }
}

TEST(TzdGZipCompressor, TemplateWrittenToAFileReadsBackAndPassesGzip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fileName = dir.filePath("report.zd3");
    const QByteArray data = sampleData(200000, 11);
    {
        TzdGZipCompressor compressor(nullptr);
        compressor.IsTemplate = true;
        compressor.OpenWorkStream();
        compressor.WorkStream().writeBytes(data);
        plat::TFileStream file(fileName, plat::fmCreate);
        compressor.Compress(file);
    }
    EXPECT_EQ(fileBytes(fileName).mid(10, 6), QByteArray("1.zd3\0", 6));
    if (zdtest::toolAvailable("gzip")) {
        EXPECT_EQ(zdtest::runTool("gzip", {"-t", fileName}).exitCode, 0);
        EXPECT_EQ(zdtest::runTool("gzip", {"-dc", fileName}).out, data);
    }

    TzdGZipCompressor reader(nullptr);
    reader.IsTemplate = true;
    reader.OpenWorkStream();
    plat::TFileStream file(fileName, plat::fmOpenRead);
    ASSERT_TRUE(reader.Decompress(file));
    EXPECT_EQ(reader.WorkStream().Position(), 0);
    EXPECT_EQ(reader.WorkStream().readAll(), data);
}

TEST(TzdGZipCompressor, PlainSourceIsLeftAloneAndDamagedMemberRaises)
{
    TzdGZipCompressor compressor(nullptr);
    plat::TMemoryStream plain(QByteArray("<?xml version=\"1.0\"?><TzdReport/>"));
    plain.SetPosition(3);
    EXPECT_FALSE(compressor.Decompress(plain));
    EXPECT_EQ(plain.Position(), 3);
    EXPECT_EQ(compressor.WorkStream().Size(), 0);

    QByteArray member = gzipMember(sampleData(5000, 2), zlBest, "1.zd3");
    member[dataOffset(member) + 100] = static_cast<char>(member[dataOffset(member) + 100] ^ 0x10);
    plat::TMemoryStream damaged(member);
    TzdGZipCompressor reader(nullptr);
    EXPECT_THROW(reader.Decompress(damaged), EZDecompressionError);
    EXPECT_EQ(reader.WorkStream().Size(), 0); // nothing of a damaged member is kept
}

TEST(TzdGZipCompressor, PreparedPagesAreCachedInATemporaryFileThatGoesWithIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString workFile;
    plat::TMemoryStream packed;
    {
        TzdGZipCompressor compressor(nullptr);
        compressor.OpenWorkStream(true, dir.path());
        workFile = compressor.WorkFileName();
        EXPECT_EQ(QFileInfo(workFile).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        EXPECT_TRUE(QFileInfo(workFile).fileName().startsWith("fr"));
        compressor.WorkStream().writeBytes("<preparedreport/>");
        compressor.Compress(packed);
    }
    EXPECT_FALSE(QFile::exists(workFile));
    EXPECT_EQ(packed.bytes().mid(10, 6), QByteArray("1.zp3\0", 6));
    EXPECT_EQ(gunzip(packed.bytes()), "<preparedreport/>");

    // Templates are always worked on in memory.
    TzdGZipCompressor templ(nullptr);
    templ.IsTemplate = true;
    templ.OpenWorkStream(true, dir.path());
    EXPECT_TRUE(templ.WorkFileName().isEmpty());
    EXPECT_TRUE(dynamic_cast<plat::TMemoryStream*>(&templ.WorkStream()));
}
