#include "Exceptions.h"
#include "zs_grammars.h"
#include "zs_iilparser.h"
#include "zs_iinterpreter.h"
#include "zs_xml.h"

#include <QFile>
#include <QProcess>
#include "zs_test_util.h"

#include <gtest/gtest.h>

namespace {

struct GrammarCase {
    const char* language;
    const char* file;
    int keywords;
    int messages;
    int types;
};

const GrammarCase kGrammars[] = {
    {"PascalScript", "PascalScript", 40, 20, 0},
    {"C++Script", "CppScript", 19, 18, 5},
    {"BasicScript", "BasicScript", 40, 28, 1},
    {"JScript", "JScript", 22, 17, 0},
};

QString grammarFolder() { return QStringLiteral(SORVAMET_SOURCE_DIR "/resources/grammars/"); }

int run(const QString& program, const QStringList& args, QString* output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

TEST(ZsGrammars, EveryReferenceAndMessageResolves)
{
    for (const GrammarCase& g : kGrammars) {
        const QString text = zsGetLanguage(QString::fromLatin1(g.language));
        EXPECT_EQ(zs::checkGrammar(text), QStringList()) << g.language;

        TzsXMLDocument doc;
        doc.LoadFromText(text);
        TzsXMLItem* root = doc.Root();
        EXPECT_EQ(root->Name, QStringLiteral("language"));
        EXPECT_EQ(root->Prop(QStringLiteral("text")), QString::fromLatin1(g.language));
        TzsXMLItem* parser = root->FindItem(QStringLiteral("parser"));
        EXPECT_EQ(parser->FindItem(QStringLiteral("keywords"))->Count(), g.keywords) << g.language;
        EXPECT_EQ(parser->FindItem(QStringLiteral("errors"))->Count(), g.messages) << g.language;
        EXPECT_EQ(root->FindItem(QStringLiteral("types"))->Count(), g.types) << g.language;
        EXPECT_GE(root->Find(QStringLiteral("program")), 0);
        EXPECT_GE(root->Find(QStringLiteral("empty")), 0);
    }
}

TEST(ZsGrammars, CompiledInTextEqualsTheCommittedResource)
{
    for (const GrammarCase& g : kGrammars) {
        QFile file(grammarFolder() + QString::fromLatin1(g.file) + QStringLiteral(".xml"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << g.file;
        EXPECT_EQ(QString::fromUtf8(file.readAll()), zsGetLanguage(QString::fromLatin1(g.language))) << g.file;
    }
}

TEST(ZsGrammars, ResourcesAreWellFormedXml)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/xmllint")))
        GTEST_SKIP() << "xmllint is not installed";
    for (const GrammarCase& g : kGrammars) {
        QString out;
        EXPECT_EQ(run(QStringLiteral("/usr/bin/xmllint"),
                      {QStringLiteral("--noout"), grammarFolder() + QString::fromLatin1(g.file) + QStringLiteral(".xml")},
                      &out),
                  0)
            << out.toStdString();
    }
}

TEST(ZsGrammars, RegeneratingFromTheNotationGivesTheSameXml)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 is not installed";
    QString out;
    EXPECT_EQ(run(QStringLiteral("/usr/bin/python3"), {grammarFolder() + QStringLiteral("gen_grammars.py"), QStringLiteral("--check")}, &out), 0)
        << out.toStdString();
}

TEST(ZsGrammars, UndefinedRuleRaisesWhenReached)
{
    zsRegisterLanguage(QStringLiteral("@Broken"),
                       QStringLiteral("<?xml version=\"1.0\"?><language><parser/><types/><empty/>"
                                      "<program><keyword text=\"go\"/><missing/></program></language>"));
    EXPECT_EQ(zs::checkGrammar(zsGetLanguage(QStringLiteral("@Broken"))),
              QStringList{QStringLiteral("Rule 'missing' is not defined")});
    zs::CompileHost host;
    TzsILParser parser(&host);
    parser.LoadLanguage(QStringLiteral("@Broken"));
    // Not reached: the keyword fails first.
    EXPECT_FALSE(parser.BuildIntermediate(QStringLiteral("stop")));
    try {
        parser.BuildIntermediate(QStringLiteral("go"));
        FAIL() << "nothing raised";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid language definition"));
    }
}

TEST(ZsGrammars, GrammarWithoutProgramMatchesNothingAndSucceeds)
{
    zsRegisterLanguage(QStringLiteral("@NoProgram"),
                       QStringLiteral("<?xml version=\"1.0\"?><language><parser/><types><t type=\"x\"/></types></language>"));
    zs::CompileHost host;
    TzsILParser parser(&host);
    parser.LoadLanguage(QStringLiteral("@NoProgram"));
    ASSERT_TRUE(parser.BuildIntermediate(QStringLiteral("anything at all")));
    const TzsXMLItem* root = parser.IntermediateDocument->Root();
    EXPECT_EQ(root->Name, QStringLiteral("program"));
    ASSERT_EQ(root->Count(), 1);
    EXPECT_EQ(root->Items(0)->Name, QStringLiteral("types"));
}
