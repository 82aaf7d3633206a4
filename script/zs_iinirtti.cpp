// The ini files module: TCustomIniFile, TMemIniFile and TIniFile.

#include "zs_iclassesrtti.h"

#include "RtlObjects.h"
#include "zs_iadapter.h"

#include <QSaveFile>

using plat::Variant;
using L = QLatin1String;

namespace {

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

const QString kItems = QStringLiteral("Items");
const QString kCount = QStringLiteral("Count");

void writeTStrings(plat::TCustomIniFile* ini, const QString& section, plat::TStrings& value, bool isClear)
{
    if (isClear)
        ini->EraseSection(section);
    for (int i = 0; i < value.Count(); ++i)
        ini->WriteString(section, kItems + QString::number(i), value.Strings(i));
    ini->WriteInteger(section, kCount, value.Count());
}

void readTStrings(plat::TCustomIniFile* ini, const QString& section, plat::TStrings& value, bool isClear)
{
    const int count = ini->ReadInteger(section, kCount, 0);
    if (isClear)
        value.Clear();
    for (int i = 0; i < count; ++i)
        value.Add(ini->ReadString(section, kItems + QString::number(i), QString()));
}

void saveToStream(plat::TCustomIniFile* ini, plat::TStream* stream)
{
    if (!stream)
        return;
    plat::TStringList lines;
    if (auto* file = dynamic_cast<plat::TIniFile*>(ini))
        lines.LoadFromFile(file->FileName());
    else if (auto* mem = dynamic_cast<plat::TMemIniFile*>(ini))
        mem->GetStrings(lines);
    else
        return;
    lines.SaveToStream(*stream);
}

void loadFromStream(plat::TCustomIniFile* ini, plat::TStream* stream)
{
    if (!stream)
        return;
    plat::TStringList lines;
    lines.LoadFromStream(*stream);
    if (auto* file = dynamic_cast<plat::TIniFile*>(ini))
        lines.SaveToFile(file->FileName()); // atomic; the ini file picks the change up
    else if (auto* mem = dynamic_cast<plat::TMemIniFile*>(ini))
        mem->SetStrings(lines);
}

Variant iniMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& n,
                   TzsMethodHelper* c)
{
    if (n == L("CREATE")) {
        const QString fileName = zs::paramText(c, 0);
        if (classType == plat::obj::TMemIniFile::StaticClass())
            return zs::adoptScriptObject(script, new plat::obj::TMemIniFile(fileName));
        return zs::adoptScriptObject(script, new plat::obj::TIniFile(fileName));
    }
    auto* ini = zs::instanceAs<plat::TCustomIniFile>(instance);
    const QString a = zs::paramText(c, 0);
    const auto b = [c] { return zs::paramText(c, 1); };
    if (n == L("READINTEGER"))
        return Variant(ini->ReadInteger(a, b(), zs::param(c, 2).toInteger()));
    if (n == L("WRITEINTEGER"))
        ini->WriteInteger(a, b(), zs::param(c, 2).toInteger());
    else if (n == L("READBOOL"))
        return Variant(ini->ReadBool(a, b(), zs::param(c, 2).toBoolean()));
    else if (n == L("WRITEBOOL"))
        ini->WriteBool(a, b(), zs::param(c, 2).toBoolean());
    else if (n == L("READDATE"))
        return plat::VarFromDateTime(ini->ReadDate(a, b(), zs::param(c, 2).toDouble()));
    else if (n == L("WRITEDATE"))
        ini->WriteDate(a, b(), zs::param(c, 2).toDouble());
    else if (n == L("READDATETIME"))
        return plat::VarFromDateTime(ini->ReadDateTime(a, b(), zs::param(c, 2).toDouble()));
    else if (n == L("WRITEDATETIME"))
        ini->WriteDateTime(a, b(), zs::param(c, 2).toDouble());
    else if (n == L("READFLOAT"))
        return Variant(ini->ReadFloat(a, b(), zs::param(c, 2).toDouble()));
    else if (n == L("WRITEFLOAT"))
        ini->WriteFloat(a, b(), zs::param(c, 2).toDouble());
    else if (n == L("READTIME"))
        return plat::VarFromDateTime(ini->ReadTime(a, b(), zs::param(c, 2).toDouble()));
    else if (n == L("WRITETIME"))
        ini->WriteTime(a, b(), zs::param(c, 2).toDouble());
    else if (n == L("READBINARYSTREAM"))
        return Variant(ini->ReadBinaryStream(a, b(), *zs::objectParam<plat::TStream>(c, 2)));
    else if (n == L("WRITEBINARYSTREAM"))
        ini->WriteBinaryStream(a, b(), *zs::objectParam<plat::TStream>(c, 2));
    else if (n == L("SECTIONEXISTS"))
        return Variant(ini->SectionExists(a));
    else if (n == L("VALUEEXISTS"))
        return Variant(ini->ValueExists(a, b()));
    else if (n == L("WRITETSTRINGS"))
        writeTStrings(ini, a, *zs::objectParam<plat::TStrings>(c, 1), zs::param(c, 2).toBoolean());
    else if (n == L("READTSTRINGS"))
        readTStrings(ini, a, *zs::objectParam<plat::TStrings>(c, 1), zs::param(c, 2).toBoolean());
    else if (n == L("WRITESTRING"))
        ini->WriteString(a, b(), zs::paramText(c, 2));
    else if (n == L("READSTRING"))
        return Variant(ini->ReadString(a, b(), zs::paramText(c, 2)));
    else if (n == L("READSECTIONVALUESEX")) {
        plat::TStrings* strings = zs::objectParam<plat::TStrings>(c, 1);
        plat::TStringList lines;
        ini->ReadSectionValues(a, lines);
        for (int i = 0; i < lines.Count(); ++i)
            strings->Add(lines.ValueFromIndex(i));
    } else if (n == L("DELETEKEY"))
        ini->DeleteKey(a, b());
    else if (n == L("READSECTION"))
        ini->ReadSection(a, *zs::objectParam<plat::TStrings>(c, 1));
    else if (n == L("READSECTIONS"))
        ini->ReadSections(*zs::objectParam<plat::TStrings>(c, 0));
    else if (n == L("READSECTIONVALUES"))
        ini->ReadSectionValues(a, *zs::objectParam<plat::TStrings>(c, 1));
    else if (n == L("ERASESECTION"))
        ini->EraseSection(a);
    else if (n == L("CLEAR"))
        zs::instanceAs<plat::TTextIniFile>(instance)->Clear();
    else if (n == L("GETSTRINGS"))
        zs::instanceAs<plat::TTextIniFile>(instance)->GetStrings(*zs::objectParam<plat::TStrings>(c, 0));
    else if (n == L("SETSTRINGS"))
        zs::instanceAs<plat::TTextIniFile>(instance)->SetStrings(*zs::objectParam<plat::TStrings>(c, 0));
    else if (n == L("SAVEINIFILETOSTREAM"))
        saveToStream(ini, zs::optionalObjectParam<plat::TStream>(c, 0));
    else if (n == L("LOADINIFILEFROMSTREAM"))
        loadFromStream(ini, zs::optionalObjectParam<plat::TStream>(c, 0));
    return Variant(0);
}

const char* const kTextIniMembers[] = {
    "procedure WriteString(const Section, Ident, Value: String)",
    "function ReadString(const Section, Ident, Default: String): String;",
    "procedure ReadSectionValuesEx(const Section: String; Strings: TStrings)",
    "procedure DeleteKey(const Section, Ident: String)",
    "procedure ReadSection(const Section: String; Strings: TStrings)",
    "procedure ReadSections(Strings: TStrings)",
    "procedure ReadSectionValues(const Section: String; Strings: TStrings)",
    "procedure EraseSection(const Section: String)",
};
const char* const kMemIniOnly[] = {
    "procedure Clear",
    "procedure GetStrings(List: TStrings)",
    "procedure SetStrings(List: TStrings)",
};
const char* const kStreamMembers[] = {
    "procedure SaveIniFileToStream(oStream: TStream)",
    "procedure LoadIniFileFromStream(oStream: TStream)",
};

class TzsIniRTTI : public TzsRTTIModule {
public:
    explicit TzsIniRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        const TzsCallMethodEvent call = [script = Script](plat::TObject* i, const plat::TClass* t, const QString& n,
                                                          TzsMethodHelper* c) { return iniMethods(script, i, t, n, c); };
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TCustomIniFile::StaticClass(), S("TObject"))) {
            c->AddConstructor(S("constructor Create(const FileName: String)"), call);
            for (const char* p : {
                     "function ReadInteger(const Section, Ident: String; Default: LongInt): LongInt",
                     "procedure WriteInteger(const Section, Ident: String; Value: LongInt)",
                     "function ReadBool(const Section, Ident: String; Default: Boolean): Boolean",
                     "procedure WriteBool(const Section, Ident: String; Value: Boolean)",
                     "function ReadDate(const Section, Name: String; Default: TDateTime): TDateTime",
                     "procedure WriteDate(const Section, Name: String; Value: TDateTime)",
                     "function ReadDateTime(const Section, Name: String; Default: TDateTime): TDateTime",
                     "procedure WriteDateTime(const Section, Name: String; Value: TDateTime)",
                     "function ReadFloat(const Section, Name: String; Default: Double): Double",
                     "procedure WriteFloat(const Section, Name: String; Value: Double)",
                     "function ReadTime(const Section, Name: String; Default: TDateTime): TDateTime",
                     "procedure WriteTime(const Section, Name: String; Value: TDateTime);",
                     "function ReadBinaryStream(const Section, Name: String; Value: TStream): Integer",
                     "procedure WriteBinaryStream(const Section, Name: String; Value: TStream)",
                     "function SectionExists(const Section: String): Boolean",
                     "function ValueExists(const Section, Ident: String): Boolean",
                     "procedure WriteTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True)",
                     "function ReadTStrings(const Section :String; Value :TStrings; IsClear :Boolean = True): String;",
                 })
                c->AddMethod(S(p), call);
            c->AddProperty(S("FileName"), S("String"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return Variant(zs::instanceAs<plat::TCustomIniFile>(i)->FileName());
            });
        }
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TMemIniFile::StaticClass(), S("TCustomIniFile"))) {
            c->AddConstructor(S("constructor Create(const FileName: String)"), call);
            for (const char* p : kTextIniMembers)
                c->AddMethod(S(p), call);
            for (const char* p : kMemIniOnly)
                c->AddMethod(S(p), call);
            for (const char* p : kStreamMembers)
                c->AddMethod(S(p), call);
        }
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TIniFile::StaticClass(), S("TCustomIniFile"))) {
            for (const char* p : kTextIniMembers)
                c->AddMethod(S(p), call);
            for (const char* p : kStreamMembers)
                c->AddMethod(S(p), call);
        }
    }
};

} // namespace

void zsStartIniRTTI()
{
    zsAddRTTIModule(zsModuleClass<TzsIniRTTI>());
}

void zsEndIniRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TzsIniRTTI>());
}
