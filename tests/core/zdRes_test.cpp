#include "zdRes.h"

#include "Exceptions.h"
#include "Files.h"
#include "Objects.h"
#include "ScriptedServices.h"
#include "zdUtils.h"
#include "zdXML.h"
#include "zs_iinterpreter.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray table(const QByteArray& body, const QByteArray& codePage = "1250")
{
    return "<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"" + codePage + "\">" + body
        + "</Resources>";
}

} // namespace

TEST(TzdResources, UnknownKeysAnswerThemselvesAndBangIsDropped)
{
    TzdResources res;
    EXPECT_EQ(res.GetText("noSuchKey"), "noSuchKey");
    res.SetWideText("k", "!x");
    EXPECT_EQ(res.GetText("k"), "x");
    res.SetWideText("k2", "!!x");
    EXPECT_EQ(res.GetText("k2"), "!x");
    EXPECT_EQ(res.GetText("!raw"), "raw");
}

TEST(TzdResources, LaterTablesOverrideByKeyIgnoringCase)
{
    TzdResources res;
    res.LoadFromString(table("<StrRes Name=\"mbError\" Text=\"A\"/><StrRes Name=\"MBERROR\" Text=\"B\"/>"));
    EXPECT_EQ(res.Count(), 1);
    EXPECT_EQ(res.GetText("mbError"), "B");
    EXPECT_EQ(res.GetText("MBERROR"), "B");
    EXPECT_EQ(res.CodePage(), 1250);

    // Texts are UTF-8, escaped twice over.
    res.LoadFromString(table("<StrRes Name=\"t\" Text=\"&#38;#34;\xc5\xbe&#38;amp;\"/>", "1251"));
    EXPECT_EQ(res.GetText("t"), QStringLiteral("\"ž&"));
    EXPECT_EQ(res.CodePage(), 1251);
    res.SetText("eight", "\xe8");
    EXPECT_EQ(res.GetText("eight"), QStringLiteral("и")); // 8-bit text in the table's code page
}

TEST(TzdResources, ForeignRootChangesNothingAndBadCodePageRaises)
{
    TzdResources res;
    res.SetWideText("a", "1");
    res.LoadFromString("<?xml version=\"1.0\"?><Other CodePage=\"5\"><StrRes Name=\"a\" Text=\"2\"/></Other>");
    EXPECT_EQ(res.GetText("a"), "1");
    EXPECT_EQ(res.CodePage(), 0);
    EXPECT_THROW(res.LoadFromString(table("<StrRes Name=\"a\" Text=\"3\"/>", "abc")), plat::EConvertError);
    EXPECT_EQ(res.GetText("a"), "1");
    EXPECT_THROW(res.LoadFromString("<?xml version=\"1.0\"?><Resources><StrRes"), TzdInvalidXMLException);
}

TEST(TzdResources, BuiltInCzechTables)
{
    TzdResources* res = zdGetResources();
    EXPECT_EQ(zdGetResText(1), "OK");
    EXPECT_EQ(zdGetResText(2), QStringLiteral("Zrušit"));
    EXPECT_EQ(res->GetText("poDirect"), QStringLiteral("Normální (1-9)"));
    EXPECT_EQ(res->GetText("clErrors"), QStringLiteral("Nastala(y) následující chyba(y):"));
    EXPECT_EQ(res->GetText("clPageOf"), QStringLiteral("Strana %d z %d"));
    EXPECT_EQ(res->GetText("MasterData"), "MasterData");
    EXPECT_EQ(res->GetText("Code39 Extended"), "Code39 Extended");
    EXPECT_EQ(res->GetText("dbNotAssigned"), QStringLiteral("[nepřiřazeno]"));
}

TEST(TzdResources, ScriptMessagesTakeTheTextsTheStoreHas)
{
    zsSetMessage("SLangNotFound", "before");
    TzdResources empty;
    empty.LocalizeScriptMessages(); // knows no message: changes none
    EXPECT_EQ(zsGetMessage("SLangNotFound"), "before");

    zdGetResources()->LocalizeScriptMessages();
    EXPECT_EQ(zsGetMessage("SLangNotFound"), QStringLiteral("Jazyk '%s' nenalezen"));
    EXPECT_EQ(zsGetMessage("SEventError"), QStringLiteral("Handler události musí být procedura"));

    TzdResources english;
    english.LoadFromString(table("<StrRes Name=\"SEventError\" Text=\"Event handler must be a procedure\"/>"));
    EXPECT_EQ(zsGetMessage("SEventError"), "Event handler must be a procedure");
    EXPECT_EQ(zsGetMessage("SLangNotFound"), QStringLiteral("Jazyk '%s' nenalezen"));
    zdGetResources()->LocalizeScriptMessages();
}

TEST(TzdResources, CoreTableHoldsItsKeysInOrder)
{
    ASSERT_GE(zd::kBuiltinStringTableCount, 1);
    const zd::BuiltinStringTable& core = zd::kBuiltinStringTables[0];
    EXPECT_STREQ(core.name, "zdCore");
    const QByteArray xml = QByteArray::fromRawData(reinterpret_cast<const char*>(core.data),
                                                   static_cast<qsizetype>(core.size));
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1250\">"));
    TzdResources res;
    res.LoadFromString(xml);
    EXPECT_EQ(res.Count(), 243); // with the page settings' size message
}

TEST(TzdResources, LanguageFileOverridesSomeTexts)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("English.zdc");
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(table("<StrRes Name=\"mbError\" Text=\"Error\"/><StrRes Name=\"newKey\" Text=\"New\"/>"));
    file.close();

    TzdResources res;
    res.LoadFromString(table("<StrRes Name=\"mbError\" Text=\"Chyba\"/><StrRes Name=\"mbInfo\" Text=\"Informace\"/>"));
    res.LoadFromFile(name);
    EXPECT_EQ(res.GetText("mbError"), "Error");
    EXPECT_EQ(res.GetText("mbInfo"), "Informace");
    EXPECT_EQ(res.GetText("newKey"), "New");
    res.LoadFromFile(dir.filePath("missing.zdc")); // ignored
    EXPECT_EQ(res.GetText("mbError"), "Error");
}

TEST(TzdResources, LanguageFilesBesideTheProgramAreListed)
{
    const QString folder = plat::ProgramFolder();
    const QStringList made = {folder + "CZECH.ZDC", folder + "english.zdc"};
    for (const QString& name : made) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            GTEST_SKIP() << "program folder is not writable";
    }
    TzdResources res;
    for (const QString& name : made)
        QFile::remove(name);
    EXPECT_TRUE(res.Languages().contains("Czech"));
    EXPECT_TRUE(res.Languages().contains("English"));
    EXPECT_LT(res.Languages().indexOf("Czech"), res.Languages().indexOf("English"));
}

TEST(TzdResources, HelpOpensTheTopicPageOfTheWindowClass)
{
    TzdResources res;
    res.ShowHelpForClass("TzdMemoEditorForm"); // no services: nothing happens, nothing fails

    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    for (int i = 0; i < 3; ++i)
        ui.AnswerShellOpen(true);
    res.ShowHelpForClass("tzdmemoeditorform");
    plat::TComponent other(nullptr);
    res.ShowHelp(&other);
    res.ShowHelp();
    const auto calls = ui.CallsOf("ShellOpen");
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, zdGetModuleFolder() + "ZDUser/Text_object.htm");
    EXPECT_EQ(calls[1].text, zdGetModuleFolder() + "ZDUser/index.htm");
    EXPECT_EQ(calls[2].text, zdGetModuleFolder() + "ZDUser/index.htm");
    EXPECT_TRUE(ui.Unexpected().isEmpty());
    EXPECT_EQ(zd::helpTopicPage("TzdSQLEditorForm"), "TzdADOQuery.htm");
}

// Every key the report core asks the resources for is in the built-in tables.
TEST(TzdResources, EveryKeyTheCoreUsesExists)
{
    const QRegularExpression byKey(
        R"re((?:GetText|zdResText)\(\s*(?:QStringLiteral\(|u)?"([^"]+)")re");
    const QRegularExpression byNumber(R"re(zdGetResText\(\s*(\d+)\s*\))re");
    TzdResources* res = zdGetResources();
    QSet<QString> keys;
    QDirIterator it(QStringLiteral(SORVAMET_SOURCE_DIR "/report/core"), {"*.cpp", "*.h"}, QDir::Files);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(file.readAll());
        for (const auto& re : {byKey, byNumber})
            for (auto m = re.globalMatch(source); m.hasNext();)
                keys.insert(m.next().captured(1));
    }
    EXPECT_TRUE(keys.contains("mbError")); // the scan itself works
    for (const QString& key : keys) {
        TzdResources probe = *res; // a missing key would be added as a new text
        probe.SetWideText(key, "probe");
        EXPECT_EQ(probe.Count(), res->Count()) << "missing resource key " << key.toStdString();
    }
}
