// The platform adapter modules: one program of edge cases in each of the
// four languages through zsrun (ini file checked on disk, scripted message
// answers), and the ownership rules of the objects scripts create.

#include "Collections.h"
#include "Handles.h"
#include "ScriptedServices.h"
#include "zs_iclassesrtti.h"
#include "zs_sysfuncs_runner.h"
#include "zs_test_util.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString adaptersFolder()
{
    return QStringLiteral(SORVAMET_TEST_DATA "/adapters");
}

QByteArray readBytes(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct Language {
    const char* name;
    const char* extension;
};

constexpr Language kLanguages[] = {
    {"PascalScript", "pas"},
    {"C++Script", "cpp"},
    {"BasicScript", "bas"},
    {"JScript", "js"},
};

TEST(PlatformAdapters, EdgeCasesPrintTheSameInEveryLanguageAndLeaveTheIniFile)
{
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(SORVAMET_BIN_DIR "/zsrun"),
                {QLatin1String(l.name), adaptersFolder() + QStringLiteral("/edges.") + QLatin1String(l.extension),
                 QStringLiteral("msg:6"), QStringLiteral("msg:7"), QStringLiteral("input:given")});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
                  QString::fromUtf8(readBytes(adaptersFolder() + QStringLiteral("/edges.expected"))));
        EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("edges.ini"))),
                  readBytes(adaptersFolder() + QStringLiteral("/edges.ini.expected")));
        // Only the ini file and nothing half-written beside it.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("edges.ini")});
    }
}

class Adapters : public ::testing::Test {
protected:
    void SetUp() override
    {
        zsStartPlatformModules();
        script = zstest::newSystemScript(QStringLiteral("PascalScript"), &owner, &output);
    }
    void TearDown() override
    {
        script.reset();
        zsEndPlatformModules();
    }
    QString run(const QString& program)
    {
        output.clear();
        script->Lines.SetText(program);
        if (!script->Compile())
            return QStringLiteral("compile error %1: %2").arg(script->ErrorPosition, script->ErrorMessage);
        try {
            script->Execute();
        } catch (const plat::Exception& e) {
            output += QStringLiteral("%1: %2\n").arg(QString::fromLatin1(e.className()), e.message());
        }
        return output;
    }

    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    plat::TComponent owner{nullptr};
    QString output;
    std::unique_ptr<TzsScript> script;
};

TEST_F(Adapters, ObjectsTheScriptLeavesBehindGoWithItsModules)
{
    EXPECT_EQ(run(QStringLiteral("var kept: TStringList;\n"
                                 "begin kept := TStringList.Create; kept.Add('x') end.")),
              QString());
    const plat::Variant handle = script->Evaluate(QStringLiteral("kept"));
    const quint32 h = quint32(handle.toInt64());
    ASSERT_TRUE(plat::IsLiveObjectHandle(h));
    script.reset();
    EXPECT_FALSE(plat::IsLiveObjectHandle(h));
}

TEST_F(Adapters, FreeingWhatAnOwnerHoldsRaisesAndLeavesItAlive)
{
    auto* collection = new plat::TCollection(plat::TCollectionItem::StaticClass());
    collection->Add();
    script->AddObject(QStringLiteral("Coll"), collection);
    EXPECT_EQ(run(QStringLiteral("begin\n"
                                 "  try Coll.Items[0].Free except Print(ExceptionClassName + ': ' + ExceptionMessage) end;\n"
                                 "  Print(Coll.Count); Print(Coll[0].ClassName) end.")),
              QStringLiteral("EInvalidOperation: Cannot free TCollectionItem: the object belongs to its owner\n"
                             "1\nTCollectionItem\n"));
    EXPECT_EQ(collection->Count(), 1);
    script.reset();
    delete collection;
}

TEST_F(Adapters, CollectionItemsAreReadOnlyListItemsWritable)
{
    auto* collection = new plat::TCollection(plat::TCollectionItem::StaticClass());
    collection->Add();
    plat::TCollectionItem* first = collection->Items(0);
    script->AddObject(QStringLiteral("Coll"), collection);
    EXPECT_EQ(run(QStringLiteral("begin Coll.Items[0] := nil end.")),
              QStringLiteral("compile error 1:7: Left side cannot be assigned to"));
    EXPECT_EQ(run(QStringLiteral("var l: TList;\n"
                                 "begin l := TList.Create; l.Add(nil); l.Items[0] := Coll; Print(l.Items[0] = Coll);\n"
                                 "  l.Free end.")),
              QStringLiteral("True\n"));
    EXPECT_EQ(collection->Items(0), first);
    script.reset();
    delete collection;
}

TEST_F(Adapters, IndexesOutOfRangeRaiseIntoTheScript)
{
    EXPECT_EQ(run(QStringLiteral("var sl: TStringList;\n"
                                 "begin sl := TStringList.Create;\n"
                                 "  try Print(sl[3]) except Print(ExceptionClassName) end;\n"
                                 "  try sl.Objects[-1] := nil except Print(ExceptionClassName) end;\n"
                                 "  sl.Free end.")),
              QStringLiteral("EStringListError\nEStringListError\n"));
}

TEST_F(Adapters, NilObjectParametersRaise)
{
    EXPECT_EQ(run(QStringLiteral("var sl: TStringList;\n"
                                 "begin sl := TStringList.Create;\n"
                                 "  try sl.SaveToStream(nil) except Print(ExceptionMessage) end;\n"
                                 "  sl.Free end.")),
              QStringLiteral("Invalid object reference\n"));
}

TEST_F(Adapters, LoadIniFileFromStreamReplacesTheFileOnDisk)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("a.ini"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Old]\r\nk=1\r\n");
    }
    script->AddVariable(QStringLiteral("IniName"), QStringLiteral("String"), plat::Variant(ini));
    EXPECT_EQ(run(QStringLiteral("var f: TIniFile; m: TMemIniFile; s: TMemoryStream;\n"
                                 "begin f := TIniFile.Create(IniName); m := TMemIniFile.Create('');\n"
                                 "  s := TMemoryStream.Create; m.WriteString('New', 'k', '2');\n"
                                 "  m.SaveIniFileToStream(s); s.Position := 0; f.LoadIniFileFromStream(s);\n"
                                 "  Print(f.ReadString('New', 'k', '?') + f.ReadString('Old', 'k', '-'));\n"
                                 "  s.Free; m.Free; f.Free end.")),
              QStringLiteral("2-\n"));
    EXPECT_EQ(readBytes(ini), QByteArray("[New]\r\nk=2\r\n"));
}

TEST_F(Adapters, ColourConstantsAreTheTablesIntegers)
{
    EXPECT_EQ(run(QStringLiteral("begin Print(clRed); Print(clNone); Print(clWindowText = -16777208) end.")),
              QStringLiteral("255\n536870911\nTrue\n"));
}

TEST_F(Adapters, DialogComponentsExecuteThroughTheServices)
{
    ui.AnswerFile({QStringLiteral("/tmp/chosen.txt")});
    ui.Cancel(QStringLiteral("ColorDialog"));
    EXPECT_EQ(run(QStringLiteral("var o: TOpenDialog; c: TColorDialog;\n"
                                 "begin o := TOpenDialog.Create(nil); o.Filter := 'Text|*.txt';\n"
                                 "  Print(o.Execute); Print(o.FileName);\n"
                                 "  c := TColorDialog.Create(nil); c.Color := clRed; Print(c.Execute); Print(c.Color);\n"
                                 "  o.Free; c.Free end.")),
              QStringLiteral("True\n/tmp/chosen.txt\nFalse\n255\n"));
    ASSERT_EQ(ui.CallsOf(QStringLiteral("OpenDialog")).size(), 1u);
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

} // namespace
