#include "Exceptions.h"
#include "zs_iilparser.h"
#include "zs_iinterpreter.h"
#include "zs_xml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include "zs_test_util.h"

#include <gtest/gtest.h>

namespace {

const QString kPascal = QStringLiteral("PascalScript");
const QString kCpp = QStringLiteral("C++Script");
const QString kBasic = QStringLiteral("BasicScript");
const QString kJs = QStringLiteral("JScript");

// A script's text: its lines, each followed by CR LF.
QString asLines(const QString& content)
{
    QString text;
    const QStringList lines = QString(content).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines[i].isEmpty())
            break;
        text += lines[i] + QLatin1String("\r\n");
    }
    return text;
}

struct Outcome {
    bool ok = false;
    QString message;
    QString position;
    QString unit;
    QString xml;
};

Outcome compile(const QString& language, const QString& text, zs::CompileHost* custom = nullptr)
{
    zs::CompileHost local;
    zs::CompileHost& host = custom ? *custom : local;
    TzsILParser parser(&host);
    parser.LoadLanguage(language);
    Outcome o;
    o.ok = parser.BuildIntermediate(text);
    o.message = host.ErrorMessage;
    o.position = host.ErrorPosition;
    o.unit = host.ErrorUnitName;
    if (o.ok)
        o.xml = zs::xmlWriteText(parser.IntermediateDocument->Root(), false);
    return o;
}

// Compares two trees by element names, attribute text and order; returns
// the path of the first difference, "" when equal.
QString treeDifference(const TzsXMLItem* a, const TzsXMLItem* b, const QString& path = {})
{
    const QString here = path + u'/' + a->Name;
    if (a->Name != b->Name)
        return here + QStringLiteral(": element %1 vs %2").arg(a->Name, b->Name);
    if (a->Text != b->Text)
        return here + QStringLiteral(": attributes [%1] vs [%2]").arg(a->Text, b->Text);
    if (a->Count() != b->Count())
        return here + QStringLiteral(": %1 children vs %2").arg(a->Count()).arg(b->Count());
    for (int i = 0; i < a->Count(); ++i) {
        const QString d = treeDifference(a->Items(i), b->Items(i), here + u'[' + QString::number(i) + u']');
        if (!d.isEmpty())
            return d;
    }
    return {};
}

// data/golden/<language>/NN_name.<ext> is compiled with the folder as its
// include folder (the unit_* files are the units the programs use) and
// compared with NN_name.xml. The .xml files were written by
// `zsil LANGUAGE FILE` and checked by hand; regenerate them the same way
// when the intermediate program changes on purpose.
struct GoldenFolder {
    const QString& language;
    const char* folder;
    const char* extension;
};

void checkGoldenFolder(const GoldenFolder& g)
{
    const QDir dir(QStringLiteral(SORVAMET_TEST_DATA "/golden/") + QString::fromLatin1(g.folder));
    const QStringList sources = dir.entryList({QStringLiteral("[0-9]*.") + QString::fromLatin1(g.extension)}, QDir::Files, QDir::Name);
    ASSERT_GE(sources.size(), 10) << g.folder;
    for (const QString& name : sources) {
        SCOPED_TRACE(name.toStdString());
        QFile source(dir.filePath(name));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        zs::CompileHost host;
        host.IncludeDirs = {dir.absolutePath()};
        TzsILParser parser(&host);
        parser.LoadLanguage(g.language);
        ASSERT_TRUE(parser.BuildIntermediate(asLines(QString::fromUtf8(source.readAll()))))
            << host.ErrorPosition.toStdString() << ": " << host.ErrorMessage.toStdString();

        TzsXMLDocument golden;
        golden.LoadFromFile(dir.filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".xml")));
        const QString difference = treeDifference(parser.IntermediateDocument->Root(), golden.Root());
        EXPECT_TRUE(difference.isEmpty()) << difference.toStdString();
    }
}

struct ErrorCase {
    const char* text;
    const char* message;
    const char* position;
};

void checkErrors(const QString& language, std::initializer_list<ErrorCase> cases)
{
    for (const ErrorCase& c : cases) {
        const Outcome o = compile(language, QString::fromUtf8(c.text));
        EXPECT_FALSE(o.ok) << c.text;
        EXPECT_EQ(o.message, QString::fromUtf8(c.message)) << c.text;
        EXPECT_EQ(o.position, QString::fromUtf8(c.position)) << c.text;
    }
}

void checkCompiles(const QString& language, std::initializer_list<const char*> texts)
{
    for (const char* t : texts) {
        const Outcome o = compile(language, QString::fromUtf8(t));
        EXPECT_TRUE(o.ok) << t << " -> " << o.position.toStdString() << ": " << o.message.toStdString();
    }
}

const TzsXMLItem* child(const TzsXMLItem* item, const char* path)
{
    for (const QString& name : QString::fromLatin1(path).split(u'/')) {
        const int i = const_cast<TzsXMLItem*>(item)->Find(name);
        if (i < 0)
            return nullptr;
        item = item->Items(i);
    }
    return item;
}

} // namespace

// ---------------------------------------------------------------- golden programs

TEST(ZsILParser, GoldenPascalScript) { checkGoldenFolder({kPascal, "pascal", "pas"}); }
TEST(ZsILParser, GoldenCppScript) { checkGoldenFolder({kCpp, "cpp", "cpp"}); }
TEST(ZsILParser, GoldenBasicScript) { checkGoldenFolder({kBasic, "basic", "bas"}); }
TEST(ZsILParser, GoldenJScript) { checkGoldenFolder({kJs, "js", "js"}); }

TEST(ZsILParser, GoldenFilesAreXmlForAnIndependentParser)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 is not installed";
    QProcess py;
    py.setProcessChannelMode(QProcess::MergedChannels);
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import glob,sys,xml.etree.ElementTree as E\n"
                             "files=glob.glob(sys.argv[1]+'/golden/*/*.xml')\n"
                             "assert len(files)>=40, len(files)\n"
                             "for f in files: assert E.parse(f).getroot().tag=='program', f\n"),
              QStringLiteral(SORVAMET_TEST_DATA)});
    ASSERT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAll().toStdString();
}

// ---------------------------------------------------------------- errors

TEST(ZsILParser, PascalScriptErrors)
{
    checkErrors(kPascal, {
        {"begin a := 1; end", "'.' expected", "1:18"},
        {"begin a := 1;", "';' expected", "1:14"},
        {"begin a := 2 * -3; end.", "';' expected", "1:14"},
        {"begin x := ; end.", "Expression expected", "1:12"},
        {"var : Integer; begin end.", "Identifier expected", "1:5"},
        {"begin if a b := 1; end.", "'THEN' expected", "1:12"},
        {"begin for i = 1 to 2 do; end.", "':' expected", "1:13"},
        {"begin for i := 1 do x; end.", "'TO' or 'DOWNTO' expected", "1:18"},
        {"begin repeat x; end.", "'UNTIL' expected", "1:17"},
        {"begin case a 1: x end; end.", "'OF' expected", "1:14"},
        {"begin try x; end; end.", "'FINALLY' or 'EXCEPT' expected", "1:14"},
        {"begin while a x; end.", "'DO' expected", "1:15"},
        {"begin x := (1 + 2; end.", "')' expected", "1:18"},
        {"begin x := a[1; end.", "']' expected", "1:15"},
        {"begin x := <abc; end.", "'>' expected", "1:22"},
        {"program; begin end.", "Identifier expected", "1:8"},
        {"begin with do x; end.", "Expression expected", "1:12"},
        {"procedure; begin end; begin end.", "Identifier expected", "1:10"},
        {"function F: ; begin end; begin end.", "Identifier expected", "1:13"},
        {"begin x := a.; end.", "Identifier expected", "1:14"},
        {"const a 1; begin end.", "'=' expected", "1:9"},
        {"begin x : = 1; end.", "'=' expected", "1:11"},
        {"\r\n\r\n  begin\r\n    x := ;\r\n  end.", "Expression expected", "4:10"},
    });
}

TEST(ZsILParser, PascalScriptAccepts)
{
    checkCompiles(kPascal, {
        "begin end. anything (( after the final dot",
        "const a = 1; b = 2; begin end.",
        "var a: Integer; begin end.",
        "begin case a of 1: x; else y; end; end.",
        "begin case a of 1: x; 2: y; end; end.",
        "begin ; ; end.",
        "BEGIN X := 1 END.",
    });
}

TEST(ZsILParser, CppScriptErrors)
{
    checkErrors(kCpp, {
        {"{ x = 1 }", "';' expected", "1:9"},
        {"{ if x) y; }", "'(' expected", "1:6"},
        {"{ switch (a) { case 1: x = 1; break; } }", "'}' expected", "1:31"},
        {"{ do x; (a); }", "'WHILE' expected", "1:9"},
        {"{ x = 1;", "'}' expected", "1:9"},
        {"# foo x { }", "'DEFINE' expected", "1:3"},
        {"int x { }", "';' expected", "1:7"},
        {"{ try { x; } }", "'FINALLY' or 'EXCEPT' expected", "1:14"},
        {"{ IF (a) x = 1; }", "';' expected", "1:10"},
        {"{ while (a x; }", "')' expected", "1:12"},
        {"{ x = ; }", "Expression expected", "1:7"},
        {"#define { }", "Identifier expected", "1:9"},
    });
}

TEST(ZsILParser, CppScriptAccepts)
{
    checkCompiles(kCpp, {
        "{ } trailing text is ignored",
        "{ switch (a) { case 1: { x = 1; break; } } }",
        "{ ; ; }",
        "int f(int a, int &b = 2) { return a; } { f(1, x); }",
    });
}

TEST(ZsILParser, BasicScriptErrors)
{
    checkErrors(kBasic, {
        {"x = 1 y = 2\r\n", "End of line expected", "1:7"},
        {"x = 1", "End of line expected", "1:6"},
        {"x = 1\r\nEnd If\r\ny = 2\r\n", "Statement expected", "2:1"},
        {"x = 1\r\nNext\r\n", "Statement expected", "2:1"},
        {"x = 1\r\nDim 5\r\n", "Identifier expected", "2:5"},
        {"Dim 5\r\n", "Identifier expected", "1:5"},
        {"x = 1\r\n/\\ open\r\ny = 2\r\n", "Statement expected", "2:1"},
        {"5 + 3\r\n", "Statement expected", "1:1"},
        {"If a Then\r\nx = 1\r\n", "'END' expected", "3:1"},
        {"If a Then\r\nx = 1\r\nEnd\r\n", "'IF' expected", "3:4"},
        {"For i = 1 10\r\nNext\r\n", "'TO' expected", "1:11"},
        {"For i = 1 To 10\r\nx = 1\r\n", "'NEXT' expected", "3:1"},
        {"While a\r\nx = 1\r\n", "'WEND' expected", "3:1"},
        {"Select a\r\n", "'CASE' expected", "1:8"},
        {"Try\r\nx = 1\r\nEnd Try\r\n", "'FINALLY' or 'CATCH' expected", "3:1"},
        {"Sub P\r\nEnd\r\n", "'SUB' expected", "2:4"},
        {"Function F\r\nEnd Sub\r\n", "'FUNCTION' expected", "2:5"},
    });
}

TEST(ZsILParser, BasicScriptAccepts)
{
    checkCompiles(kBasic, {
        "x = 1 : y = 2\r\n",
        "' only a comment\r\n",
        "",
        "remaining = 5\r\n",
        "x = 1 ' comment after a statement\r\ny = 2\r\n",
        "x = 1 + _\r\n  2\r\n",
    });
    // Text with no statement is an empty program, not an error.
    const Outcome o = compile(kBasic, QStringLiteral("' nothing here\r\n"));
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.xml, QStringLiteral("<?xml version=\"1.0\"?><program><types><decimal type=\"extended\"/></types></program>"));
}

TEST(ZsILParser, JScriptErrors)
{
    checkErrors(kJs, {
        {"x = 1;\r\n}\r\ny = 2;\r\n", "Statement expected", "2:1"},
        {"function (a) { }", "Expression expected", "1:10"},
        {"switch (a) { case 1: x = 1; break; }", "'}' expected", "1:29"},
        {"if x) y;", "'(' expected", "1:4"},
        {"x = 1; /* open\r\n y = 2;", "Statement expected", "1:8"},
        {"do x; (a);", "'WHILE' expected", "1:7"},
        {"try x; y;", "'FINALLY' or 'EXCEPT' expected", "1:8"},
        {"while (a x;", "')' expected", "1:10"},
        {"x = ;", "Expression expected", "1:5"},
        {"var 5;", "Statement expected", "1:1"},
    });
}

TEST(ZsILParser, JScriptAccepts)
{
    checkCompiles(kJs, {
        "a = 1 b = 2",
        "",
        "// comment only",
        "switch (a) { case 1: { x = 1; break; } }",
        "function f(a, &b) { return a; } f(1, x);",
    });
}

// ---------------------------------------------------------------- details

TEST(ZsILParser, ReportExpressionBecomesCallOfGet)
{
    const Outcome o = compile(kPascal, QStringLiteral("begin x := <Data.\"a\"'<b>'>; end."));
    ASSERT_TRUE(o.ok) << o.message.toStdString();
    TzsXMLDocument doc;
    doc.LoadFromText(o.xml);
    const TzsXMLItem* dsgn = child(doc.Root(), "compoundstmt/assignstmt/expr/dsgn");
    ASSERT_TRUE(dsgn);
    EXPECT_EQ(dsgn->Items(0)->Prop(QStringLiteral("text")), QStringLiteral("Get"));
    const TzsXMLItem* str = child(dsgn, "expr/string");
    ASSERT_TRUE(str);
    EXPECT_EQ(str->Prop(QStringLiteral("text")), QStringLiteral("'Data.\"a\"'<b>''"));
    EXPECT_EQ(str->Prop(QStringLiteral("pos")), QStringLiteral("1:26"));
}

TEST(ZsILParser, PositionsOfNodesAndExpressionEnds)
{
    const Outcome o = compile(kPascal, QStringLiteral("begin\r\n  x := a + 10;\r\nend."));
    ASSERT_TRUE(o.ok);
    TzsXMLDocument doc;
    doc.LoadFromText(o.xml);
    const TzsXMLItem* assign = child(doc.Root(), "compoundstmt/assignstmt");
    ASSERT_TRUE(assign);
    EXPECT_EQ(assign->Prop(QStringLiteral("pos")), QStringLiteral("2:3"));
    const TzsXMLItem* expr = child(assign, "expr");
    EXPECT_EQ(expr->Prop(QStringLiteral("pos")), QStringLiteral("2:8"));
    EXPECT_EQ(expr->Prop(QStringLiteral("pos1")), QStringLiteral("2:14"));
    EXPECT_EQ(child(expr, "number")->Prop(QStringLiteral("text")), QStringLiteral("10"));
}

TEST(ZsILParser, SingleSizeDimensionHasOneBound)
{
    const Outcome o = compile(kPascal, QStringLiteral("var a: array[10] of Integer; b: array[1..10] of Integer; begin end."));
    ASSERT_TRUE(o.ok);
    TzsXMLDocument doc;
    doc.LoadFromText(o.xml);
    ASSERT_EQ(doc.Root()->Items(0)->FindItem(QStringLiteral("array"))->Items(0)->Count(), 1);
    ASSERT_EQ(doc.Root()->Items(1)->FindItem(QStringLiteral("array"))->Items(0)->Count(), 2);
}

TEST(ZsILParser, LanguageDirectiveOverridesTheScriptLanguage)
{
    for (const char* lineEnd : {"\r\n", "\n"}) {
        const Outcome o = compile(kPascal, QStringLiteral("#Language BasicScript ") + QString::fromLatin1(lineEnd)
                                               + QStringLiteral("x = 1\r\n"));
        ASSERT_TRUE(o.ok) << o.message.toStdString();
        EXPECT_TRUE(o.xml.contains(QStringLiteral("<decimal type=\"extended\"/>")));
        EXPECT_TRUE(o.xml.contains(QStringLiteral("<assignstmt pos=\"2:1\">")));
    }
    zs::CompileHost host;
    TzsILParser parser(&host);
    parser.LoadLanguage(kPascal);
    EXPECT_THROW(parser.BuildIntermediate(QStringLiteral("#language Cobol\r\n")), plat::Exception);
}

TEST(ZsILParser, ExtendedCharactersInNamesWhenAllowed)
{
    const QString text = QStringLiteral("begin přínos := 1; end.");
    EXPECT_FALSE(compile(kPascal, text).ok);
    zs::CompileHost host;
    host.AllowExtendedChars = true;
    const Outcome o = compile(kPascal, text, &host);
    ASSERT_TRUE(o.ok) << o.message.toStdString();
    EXPECT_TRUE(o.xml.contains(QStringLiteral("<node text=\"přínos\" pos=\"1:13\"/>")));
}

TEST(ZsILParser, FailureWithoutMessageLeavesAnEmptyProgram)
{
    zsRegisterLanguage(QStringLiteral("@Strict"),
                       QStringLiteral("<?xml version=\"1.0\"?><language><parser/><types/>"
                                      "<program node=\"compoundstmt\"><keyword text=\"go\" node=\"x\"/><ident/></program></language>"));
    const Outcome o = compile(QStringLiteral("@Strict"), QStringLiteral("go 5"));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, QString());
    zs::CompileHost host;
    TzsILParser parser(&host);
    parser.LoadLanguage(QStringLiteral("@Strict"));
    EXPECT_FALSE(parser.BuildIntermediate(QStringLiteral("go 5")));
    EXPECT_EQ(zs::xmlWriteText(parser.IntermediateDocument->Root(), false),
              QStringLiteral("<?xml version=\"1.0\"?><program><types/></program>"));
}

TEST(ZsILParser, UnknownLanguageRaises)
{
    zs::CompileHost host;
    TzsILParser parser(&host);
    try {
        parser.LoadLanguage(QStringLiteral("Fortran"));
        FAIL() << "nothing raised";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Language 'Fortran' not found"));
    }
}

TEST(ZsILParser, UnitsFromTheHostAreIncludedOnceInReverseOrder)
{
    zs::CompileHost host;
    QStringList asked;
    host.OnGetUnit = [&](const QString& name, QString& text) {
        asked.append(name);
        if (name == QLatin1String("a"))
            text = QStringLiteral("procedure A; begin end; begin end.\r\n");
        else if (name == QLatin1String("b"))
            text = QStringLiteral("uses 'a'; procedure B; begin end; begin end.\r\n");
    };
    const Outcome o = compile(kPascal, QStringLiteral("uses 'a', 'b', 'A'; begin end."), &host);
    ASSERT_TRUE(o.ok) << o.message.toStdString();
    // Names are taken from the last back: 'A', then 'b' (which uses 'a'), then 'a'.
    EXPECT_EQ(asked, (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
    TzsXMLDocument doc;
    doc.LoadFromText(o.xml);
    ASSERT_GE(doc.Root()->Count(), 3);
    EXPECT_EQ(doc.Root()->Items(0)->Prop(QStringLiteral("unit")), QStringLiteral("A"));
    EXPECT_EQ(doc.Root()->Items(1)->Prop(QStringLiteral("unit")), QStringLiteral("b"));
    EXPECT_EQ(doc.Root()->Items(2)->Name, QStringLiteral("compoundstmt"));
    EXPECT_TRUE(child(doc.Root()->Items(1), "program/procedure"));
}

TEST(ZsILParser, ErrorInsideAUnitCarriesTheUnitName)
{
    zs::CompileHost host;
    host.ErrorUnitName = QStringLiteral("stale from an earlier compile");
    host.OnGetUnit = [](const QString&, QString& text) { text = QStringLiteral("begin\r\n  x := ;\r\nend.\r\n"); };
    const Outcome o = compile(kPascal, QStringLiteral("uses 'bad.pas'; begin end."), &host);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message, QStringLiteral("Expression expected"));
    EXPECT_EQ(o.position, QStringLiteral("2:8"));
    EXPECT_EQ(o.unit, QStringLiteral("bad.pas"));

    // Not even a loop that forgives errors lets it pass.
    zs::CompileHost basic;
    basic.OnGetUnit = [](const QString&, QString& text) { text = QStringLiteral("x = \r\n"); };
    const Outcome b = compile(kBasic, QStringLiteral("y = 1\r\nImports \"u\"\r\nz = 2\r\n"), &basic);
    EXPECT_FALSE(b.ok);
    EXPECT_EQ(b.unit, QStringLiteral("u"));
    EXPECT_EQ(b.message, QStringLiteral("Expression expected"));
}

TEST(ZsILParser, UnitFilesAreSearchedInIncludeDirs)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    QFile unit(second.filePath(QStringLiteral("lib.pas")));
    ASSERT_TRUE(unit.open(QIODevice::WriteOnly));
    unit.write("procedure FromLib;\nbegin\nend;\nbegin\nend.\n");
    unit.close();

    zs::CompileHost host;
    host.IncludeDirs = {first.path(), second.path()};
    const Outcome o = compile(kPascal, QStringLiteral("uses 'lib.pas'; begin end."), &host);
    ASSERT_TRUE(o.ok) << o.message.toStdString();
    EXPECT_TRUE(o.xml.contains(QStringLiteral("<name text=\"FromLib\" pos=\"1:18\"/>")));

    zs::CompileHost missing;
    missing.IncludeDirs = {first.path()};
    TzsILParser parser(&missing);
    parser.LoadLanguage(kPascal);
    EXPECT_THROW(parser.BuildIntermediate(QStringLiteral("uses 'nowhere.pas'; begin end.")), plat::EFOpenError);
}

TEST(ZsILParser, DeepNestingIsACompileErrorNotACrash)
{
    struct Case {
        const QString& language;
        QString text;
    };
    const QString opens(100000, u'(');
    const Case cases[] = {
        {kPascal, QStringLiteral("begin x := ") + opens + QStringLiteral("1; end.")},
        {kCpp, QStringLiteral("{ x = ") + opens + QStringLiteral("1; }")},
        {kBasic, QStringLiteral("x = ") + opens + QStringLiteral("1\r\n")},
        {kJs, QStringLiteral("x = ") + opens},
        {kPascal, QStringLiteral("begin x := ") + QString(20000, u'[') + QStringLiteral(" end.")},
        {kJs, QString(100000, u'{')},
        {kPascal, QStringLiteral("begin ") + QStringLiteral("begin ").repeated(50000) + QStringLiteral("end.")},
    };
    for (const Case& c : cases) {
        const Outcome o = compile(c.language, c.text);
        EXPECT_FALSE(o.ok) << c.language.toStdString();
        EXPECT_EQ(o.message, zs::nestingTooDeepMessage()) << c.language.toStdString();
    }
    // Reasonable nesting still compiles.
    const QString fifty = QString(50, u'(') + QStringLiteral("1") + QString(50, u')');
    EXPECT_TRUE(compile(kPascal, QStringLiteral("begin x := ") + fifty + QStringLiteral("; end.")).ok);
}

TEST(ZsILParser, BigProgramCompiles)
{
    QString text = QStringLiteral("var i: Integer;\r\nbegin\r\n");
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("  if i > %1 then i := i + %1 * (i - 1) else Memo.Lines.Add('x%1');\r\n").arg(i);
    text += QStringLiteral("end.\r\n");
    const Outcome o = compile(kPascal, text);
    ASSERT_TRUE(o.ok) << o.message.toStdString();
    EXPECT_TRUE(o.xml.contains(QStringLiteral("'x4999'")));
}

TEST(ZsILParser, DriverPrintsProgramOrError)
{
    const QString zsil = QStringLiteral(SORVAMET_BIN_DIR "/zsil");
    if (!QFile::exists(zsil))
        GTEST_SKIP() << "zsil is not built";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const char* name, const char* text) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    };
    auto run = [&](const QString& language, const QString& file, QString& out) {
        QProcess p;
        p.start(zsil, {language, file});
        p.waitForFinished(30000);
        out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitCode();
    };
    QString out;
    EXPECT_EQ(run(kBasic, write("ok.bas", "x = 1\n"), out), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("<?xml version=\"1.0\"?>\n<program>\n"))) << out.toStdString();
    EXPECT_EQ(run(kPascal, write("bad.pas", "begin\n  x := ;\nend."), out), 1);
    EXPECT_EQ(out, QStringLiteral("2:8: Expression expected\n"));
    write("u.pas", "begin x := ; end.");
    EXPECT_EQ(run(kPascal, write("main.pas", "uses 'u.pas'; begin end."), out), 1);
    EXPECT_EQ(out, QStringLiteral("u.pas:1:12: Expression expected\n"));
}
