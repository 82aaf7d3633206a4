// The binary property stream: tags, records, the hand-written fixture.

#include "Exceptions.h"
#include "ObjectsFixture.h"
#include "PropStream.h"
#include "Streams.h"
#include "../MutationTestUtil.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <cmath>
#include <limits>

using namespace plat;
using namespace fixture;

namespace {

QByteArray written(const std::function<void(TWriter&)>& f)
{
    TMemoryStream s;
    TWriter w(s);
    f(w);
    return s.bytes();
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray fixtureBytes()
{
    QFile f(QStringLiteral(SORVAMET_TEST_DATA "/records.bin"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

TEST(PropStream, WriterUsesTheSmallestTagForEachValue)
{
    struct Case {
        std::function<void(TWriter&)> write;
        const char* bytes;
    };
    const Case cases[] = {
        {[](TWriter& w) { w.WriteListBegin(); }, "01"},
        {[](TWriter& w) { w.WriteListEnd(); }, "00"},
        {[](TWriter& w) { w.WriteInteger(0); }, "0200"},
        {[](TWriter& w) { w.WriteInteger(-128); }, "0280"},
        {[](TWriter& w) { w.WriteInteger(127); }, "027f"},
        {[](TWriter& w) { w.WriteInteger(128); }, "038000"},
        {[](TWriter& w) { w.WriteInteger(-32768); }, "030080"},
        {[](TWriter& w) { w.WriteInteger(32768); }, "0400800000"},
        {[](TWriter& w) { w.WriteInteger(-2147483648LL); }, "0400000080"},
        {[](TWriter& w) { w.WriteInteger(1LL << 32); }, "130000000001000000"},
        {[](TWriter& w) { w.WriteFloat(1.0L); }, "050000000000000080ff3f"},
        {[](TWriter& w) { w.WriteFloat(-2.5L); }, "0500000000000000a000c0"},
        {[](TWriter& w) { w.WriteFloat(0.0L); }, "0500000000000000000000"},
        {[](TWriter& w) { w.WriteString(QStringLiteral("Ab")); }, "06024162"},
        {[](TWriter& w) { w.WriteString(QStringLiteral("Žluť")); }, "06048e6c759d"},
        {[](TWriter& w) { w.WriteIdent(QStringLiteral("alLeft")); }, "0706616c4c656674"},
        {[](TWriter& w) { w.WriteIdent(QStringLiteral("false")); }, "08"},
        {[](TWriter& w) { w.WriteIdent(QStringLiteral("True")); }, "09"},
        {[](TWriter& w) { w.WriteIdent(QStringLiteral("nil")); }, "0d"},
        {[](TWriter& w) { w.WriteIdent(QStringLiteral("Null")); }, "00"},
        {[](TWriter& w) { w.WriteBoolean(false); }, "08"},
        {[](TWriter& w) { w.WriteBoolean(true); }, "09"},
        {[](TWriter& w) { w.WriteBinary(hex("00ff")); }, "0a0200000000ff"},
        {[](TWriter& w) { w.WriteSet(0b101, typeInfoOf<TTestOptions>()); }, "0b06746f426f6c6407746f556e64657200"},
        {[](TWriter& w) { w.WriteSet(0, typeInfoOf<TTestOptions>()); }, "0b00"},
        {[](TWriter& w) { w.WriteValue(vaNil); }, "0d"},
        {[](TWriter& w) { w.WriteWideString(QStringLiteral("Ω")); }, "1201000000a903"},
        {[](TWriter& w) { w.WriteStr(QStringLiteral("Font.Name")); }, "09466f6e742e4e616d65"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(written(c.write).toHex(), QByteArray(c.bytes)) << c.bytes;
}

TEST(PropStream, LongTextsTakeTheLongStringTag)
{
    const QString text(300, u'x');
    const QByteArray bytes = written([&](TWriter& w) { w.WriteString(text); });
    EXPECT_EQ(bytes.left(5).toHex(), "0c2c010000");
    EXPECT_EQ(bytes.size(), 305);
}

TEST(PropStream, CollectionsAreListsOfItemProperties)
{
    TCollection items(TTestItem::StaticClass());
    auto* a = items.Add<TTestItem>();
    a->SetLabel("a");
    items.Add<TTestItem>()->SetWeight(2);
    const QByteArray bytes = written([&](TWriter& w) { w.WriteCollection(&items); });
    // 0e | 01 "Label" "a" 00 | 01 "Weight" int8 2 00 | 00
    EXPECT_EQ(bytes.toHex(), QByteArray("0e01054c6162656c0601610001065765696768740202" "0000"));
    EXPECT_EQ(written([](TWriter& w) { w.WriteCollection(nullptr); }).toHex(), "0e00");
}

TEST(PropStream, ReaderReadsBackEveryTag)
{
    TMemoryStream s;
    {
        TWriter w(s);
        w.WriteListBegin();
        for (qint64 v : {0LL, -1LL, 300LL, -70000LL, 1LL << 40, std::numeric_limits<qint64>::min()})
            w.WriteInteger(v);
        w.WriteFloat(3.25L);
        w.WriteFloat(1.0L / 3.0L);
        w.WriteString("short");
        w.WriteString(QString(400, u'č'));
        w.WriteWideString(QStringLiteral("日本"));
        w.WriteIdent("alClient");
        w.WriteBoolean(true);
        w.WriteBoolean(false);
        w.WriteBinary(hex("deadbeef"));
        w.WriteSet(0b110, typeInfoOf<TTestOptions>());
        w.WriteValue(vaNil);
        w.WriteListEnd();
    }
    s.SetPosition(0);
    TReader r(s);
    r.ReadListBegin();
    for (qint64 v : {0LL, -1LL, 300LL, -70000LL, 1LL << 40, std::numeric_limits<qint64>::min()})
        EXPECT_EQ(r.ReadInteger(), v);
    EXPECT_EQ(r.ReadFloat(), 3.25L);
    EXPECT_EQ(r.ReadFloat(), 1.0L / 3.0L);
    EXPECT_EQ(r.ReadString(), "short");
    EXPECT_EQ(r.ReadString(), QString(400, u'č'));
    EXPECT_EQ(r.ReadWideString(), QStringLiteral("日本"));
    EXPECT_EQ(r.ReadIdent(), "alClient");
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_EQ(r.ReadIdent(), "False");
    EXPECT_EQ(r.ReadBinary(), hex("deadbeef"));
    EXPECT_EQ(r.ReadSet(typeInfoOf<TTestOptions>()), 0b110u);
    EXPECT_EQ(r.ReadIdent(), "nil");
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    EXPECT_TRUE(r.AtEnd());
}

TEST(PropStream, ExtendedFloatsRoundTrip)
{
    const long double values[] = {0.0L, -0.0L, 1.0L, -1.0L, 0.1L, 1e300L, 1e-300L, 1e4000L, 1e-4940L,
                                  std::numeric_limits<long double>::max(), std::numeric_limits<long double>::denorm_min()};
    for (long double v : values) {
        unsigned char buf[10];
        encodeExtended(v, buf);
        const long double back = decodeExtended(buf);
        EXPECT_EQ(back, v);
        EXPECT_EQ(std::signbit(back), std::signbit(v));
    }
    unsigned char buf[10];
    encodeExtended(std::numeric_limits<long double>::infinity(), buf);
    EXPECT_TRUE(std::isinf(decodeExtended(buf)));
    encodeExtended(std::numeric_limits<long double>::quiet_NaN(), buf);
    EXPECT_TRUE(std::isnan(decodeExtended(buf)));
}

TEST(PropStream, HandWrittenRecordsReadIntoAnObject)
{
    const QByteArray bytes = fixtureBytes();
    ASSERT_FALSE(bytes.isEmpty());
    TComponent root(nullptr);
    TTestObject o(&root);
    TTestObject target(&root);
    target.SetName("Target");
    o.SetLink(&target);
    TMemoryStream s(bytes);
    TReader r(s);
    r.SetRoot(&root);
    r.ReadProperties(&o);
    EXPECT_EQ(o.IntValue(), -5);
    EXPECT_EQ(o.BigValue(), 70000);
    EXPECT_EQ(o.ByteValue(), 200);
    EXPECT_EQ(o.CharValue(), 'x');
    EXPECT_FALSE(o.Flag());
    EXPECT_EQ(o.Kind(), tkdOdd);
    EXPECT_EQ(o.Options(), (TTestOptions{toBold, toUnder}));
    EXPECT_EQ(o.Ratio(), 2.5);
    EXPECT_EQ(o.Text(), QStringLiteral("Žluťoučký kůň"));
    EXPECT_EQ(o.Caption(), QString(300, u'L'));
    EXPECT_EQ(o.Wide(), QStringLiteral("Ωμέγα"));
    EXPECT_EQ(o.Value().type(), varBoolean);
    EXPECT_TRUE(o.Value().toBoolean());
    EXPECT_EQ(o.Sub()->Size(), 300);
    EXPECT_EQ(o.Sub()->Name(), "Tahoma");
    EXPECT_EQ(o.Link(), nullptr);
    EXPECT_EQ(o.lines, (QStringList{"first", "second"}));
    EXPECT_EQ(o.blob, hex("0001feff"));
    ASSERT_EQ(o.Items()->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(o.Items()->Items(0))->Label(), "one");
    EXPECT_EQ(static_cast<TTestItem*>(o.Items()->Items(0))->Weight(), 1);
    EXPECT_EQ(static_cast<TTestItem*>(o.Items()->Items(1))->Label(), QStringLiteral("dvě"));
}

TEST(PropStream, WrittenPropertiesReadBackIntoAFreshObject)
{
    TComponent root(nullptr);
    root.SetName("Root");
    TTestObject source(&root);
    TTestObject target(&root);
    target.SetName("Target");
    source.SetIntValue(1234567);
    source.SetBigValue(-(1LL << 50));
    source.SetWideCharValue(QChar(0x03A9));
    source.SetFlag(false);
    source.SetKind(tkdFancy);
    source.SetOptions({toItalic});
    source.SetColor(qint32(0xFF00000F));
    source.SetRatio(-0.125);
    source.SetExtValue(1.0L / 7.0L);
    source.SetMoney(12.5);
    source.SetText(QStringLiteral("ěščř"));
    source.SetWide(QStringLiteral("Ωμ"));
    source.SetValue(Variant(QStringLiteral("v")));
    source.Sub()->SetSize(14);
    source.SetLink(&target);
    source.SetEdge(1, 7.5);
    source.lines = {"a", "b"};
    source.blob = hex("01");
    source.Items()->Add<TTestItem>()->SetLabel("only");

    TMemoryStream s;
    {
        TWriter w(s);
        w.SetRoot(&root);
        w.WriteProperties(&source);
    }
    s.SetPosition(0);
    TTestObject copy(&root);
    TReader r(s);
    r.SetRoot(&root);
    r.BeginReferences();
    r.ReadProperties(&copy);
    EXPECT_EQ(copy.Link(), nullptr); // references wait for the fix-up
    r.FixupReferences();

    EXPECT_EQ(copy.IntValue(), 1234567);
    EXPECT_EQ(copy.BigValue(), -(1LL << 50));
    EXPECT_EQ(copy.WideCharValue(), QChar(0x03A9));
    EXPECT_FALSE(copy.Flag());
    EXPECT_EQ(copy.Kind(), tkdFancy);
    EXPECT_EQ(copy.Options(), TTestOptions{toItalic});
    EXPECT_EQ(copy.Color(), qint32(0xFF00000F));
    EXPECT_EQ(copy.Ratio(), -0.125);
    EXPECT_EQ(copy.ExtValue(), 1.0L / 7.0L);
    EXPECT_EQ(copy.Money(), 12.5);
    EXPECT_EQ(copy.Text(), QStringLiteral("ěščř"));
    EXPECT_EQ(copy.Wide(), QStringLiteral("Ωμ"));
    EXPECT_EQ(copy.Value().toString(), "v");
    EXPECT_EQ(copy.Sub()->Size(), 14);
    EXPECT_EQ(copy.Link(), &target);
    EXPECT_EQ(copy.Edge(1), 7.5);
    EXPECT_EQ(copy.lines, (QStringList{"a", "b"}));
    EXPECT_EQ(copy.blob, hex("01"));
    ASSERT_EQ(copy.Items()->Count(), 1);
    EXPECT_EQ(static_cast<TTestItem*>(copy.Items()->Items(0))->Label(), "only");
}

TEST(PropStream, DefaultsAndUnstoredPropertiesAreLeftOut)
{
    TTestObject o(nullptr);
    o.Items()->Clear();
    const QByteArray bytes = written([&](TWriter& w) { w.WriteProperties(&o); });
    TMemoryStream s(bytes);
    TReader r(s);
    QStringList names;
    while (!r.AtEnd()) {
        names << r.ReadStr();
        r.SkipValue();
    }
    // Ordinals without a declared default are always written; Name (not
    // stored), ReadOnlyValue (no setter) and the handler never; empty
    // strings and zero floats not.
    EXPECT_EQ(names, (QStringList{"IntValue", "BigValue", "WideCharValue", "Sub.Name", "Items"}));
}

TEST(PropStream, AnAncestorDecidesWhatDiffers)
{
    TTestObject ancestor(nullptr);
    TTestObject o(nullptr);
    ancestor.SetIntValue(5);
    o.SetIntValue(5);
    o.SetText("changed");
    o.Sub()->SetSize(11);
    ancestor.lines = {"same"};
    o.lines = {"same"};
    const QByteArray bytes = written([&](TWriter& w) {
        w.SetAncestor(&ancestor);
        w.WriteProperties(&o);
    });
    TMemoryStream s(bytes);
    TReader r(s);
    QStringList names;
    while (!r.AtEnd()) {
        names << r.ReadStr();
        r.SkipValue();
    }
    EXPECT_EQ(names, (QStringList{"Text", "Sub.Size"}));
    // The definer sees the ancestor too: a differing list is written.
    o.lines = {"other"};
    const QByteArray again = written([&](TWriter& w) {
        w.SetAncestor(&ancestor);
        w.WriteProperties(&o);
    });
    EXPECT_TRUE(again.contains("\x05Lines"));
}

TEST(PropStream, BrokenInputRaisesReadErrors)
{
    struct Case {
        const char* bytes;
        const char* message;
    };
    // Each is one record for a TTestObject.
    const Case cases[] = {
        {"08496e7456616c7565", "Stream read error"},                 // name, no value
        {"08496e7456616c756504ff", "Stream read error"},             // truncated int32
        {"08496e7456616c756563", "Invalid property value"},          // unknown tag
        {"0454657874 0cffffff7f41", "Stream read error"},            // long string longer than the stream
        {"0454657874 12ffffff7f", "Stream read error"},              // wide string longer than the stream
        {"044b696e64 0703626164", "Invalid property value"},         // unknown enumeration name
        {"074f7074696f6e73 0b03626164 00", "Invalid property value"},// unknown set element
        {"074d697373696e67 0200", "Property Missing does not exist"},
        {"084e6f537563682e58 0200", "Invalid property path"},        // NoSuch.X
    };
    for (const Case& c : cases) {
        TTestObject o(nullptr);
        TMemoryStream s(QByteArray::fromHex(QByteArray(c.bytes).replace(' ', "")));
        TReader r(s);
        try {
            r.ReadProperties(&o);
            ADD_FAILURE() << c.bytes;
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(c.message)) << c.bytes;
            EXPECT_TRUE(e.inheritsFrom("EFilerError") || e.inheritsFrom("EStreamError")) << c.bytes;
        }
    }
}

TEST(PropStream, DeeplyNestedListsAreRefusedNotRecursedInto)
{
    QByteArray bytes(100000, '\x01');
    TMemoryStream s(bytes);
    TReader r(s);
    EXPECT_THROW(r.SkipValue(), EReadError);
}

TEST(PropStream, UnknownReferencesStayUnset)
{
    TComponent root(nullptr);
    TTestObject o(&root);
    TMemoryStream s(QByteArray::fromHex("044c696e6b 0707556e6b6e6f776e"));
    TReader r(s);
    r.SetRoot(&root);
    r.ReadProperties(&o);
    r.FixupReferences();
    EXPECT_EQ(o.Link(), nullptr);
}

TEST(PropStream, AnIndependentReaderAgreesWithTheWriter)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python))
        GTEST_SKIP() << "no /usr/bin/python3";
    TComponent root(nullptr);
    TTestObject target(&root);
    target.SetName("Target");
    TTestObject o(&root);
    o.SetIntValue(-300);
    o.SetBigValue(1LL << 33);
    o.SetKind(tkdOdd);
    o.SetOptions({toBold, toItalic});
    o.SetRatio(2.5);
    o.SetText(QStringLiteral("Žluť"));
    o.SetWide(QStringLiteral("Ω"));
    o.SetCaption(QString(256, u'c'));
    o.SetFlag(false);
    o.SetLink(&target);
    o.lines = {"x"};
    o.blob = hex("abcd");
    o.Items()->Add<TTestItem>()->SetLabel("i");

    const QString path = QDir::temp().filePath(QStringLiteral("objects_records_%1.bin").arg(QCoreApplication::applicationPid()));
    {
        TFileStream f(path, fmCreate);
        TWriter w(f);
        w.SetRoot(&root);
        w.WriteProperties(&o);
    }
    QProcess p;
    p.start(python, {QStringLiteral(SORVAMET_TEST_DATA "/read_records.py"), path});
    ASSERT_TRUE(p.waitForFinished(30000));
    QFile::remove(path);
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList expected = {
        "IntValue=-300",
        "BigValue=8589934592",
        "WideCharValue=W\"Ž\"",
        "Flag=False",
        "Kind=tkdOdd",
        "Options=[toBold,toItalic]",
        "Ratio=2.5",
        "Text=\"Žluť\"",
        "Wide=W\"Ω\"",
        "Caption=L\"" + QString(256, u'c') + "\"",
        "Sub.Name=\"Arial\"",
        "Link=Target",
        "Items={<Label=\"i\">}",
        "Lines=(\"x\")",
        "Blob=bin:abcd",
    };
    EXPECT_EQ(lines, expected);
}

// ---------------------------------------------------------------- damaged streams

namespace {

// Values one after another, as a variant reader meets them.
QByteArray everyVariantTag()
{
    return written([](TWriter& w) {
        for (qint64 v : {0LL, -1LL, 300LL, -70000LL, 1LL << 40})
            w.WriteInteger(v);
        w.WriteFloat(3.25L);
        w.WriteString("short");
        w.WriteString(QString(300, u'x'));
        w.WriteWideString(QStringLiteral("日本"));
        w.WriteBoolean(false);
        w.WriteValue(vaNil);
        w.WriteValue(vaNull);
    });
}

QByteArray everyTagList()
{
    return written([](TWriter& w) {
        w.WriteListBegin();
        for (qint64 v : {0LL, -1LL, 300LL, -70000LL, 1LL << 40})
            w.WriteInteger(v);
        w.WriteFloat(3.25L);
        w.WriteString("short");
        w.WriteWideString(QStringLiteral("日本"));
        w.WriteIdent("alClient");
        w.WriteBoolean(true);
        w.WriteBinary(hex("deadbeef"));
        w.WriteSet(0b110, typeInfoOf<TTestOptions>());
        w.WriteValue(vaNil);
        w.WriteListEnd();
    });
}

void readIntoObject(const QByteArray& bytes)
{
    TComponent root(nullptr);
    TTestObject o(&root);
    TTestObject target(&root);
    target.SetName("Target");
    TMemoryStream s(bytes);
    TReader r(s);
    r.SetRoot(&root);
    r.ReadProperties(&o);
}

void readVariants(const QByteArray& bytes)
{
    TMemoryStream s(bytes);
    TReader r(s);
    while (!r.AtEnd())
        (void)r.ReadVariant();
}

void skipValues(const QByteArray& bytes)
{
    TMemoryStream s(bytes);
    TReader r(s);
    while (!r.AtEnd())
        r.SkipValue();
}

} // namespace

TEST(PropStream, MutatedStreamsReadOrRaiseReadErrors)
{
    const QByteArray records = fixtureBytes();
    ASSERT_FALSE(records.isEmpty());
    const auto tokens = mutation::binaryTokens();
    const auto objects = mutation::runMutations({records}, 3000, 20261210, tokens, readIntoObject);
    EXPECT_GT(objects.accepted, 100);
    EXPECT_GT(objects.refused, 100);
    const auto variants = mutation::runMutations({everyVariantTag()}, 1500, 7, tokens, readVariants);
    EXPECT_GT(variants.accepted, 100);
    const auto skipped = mutation::runMutations({everyTagList(), records}, 1500, 8, tokens, skipValues);
    EXPECT_GT(skipped.accepted, 100);
}
