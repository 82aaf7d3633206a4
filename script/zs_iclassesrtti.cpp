// The classes module: file-mode and seek constants, TObject, TPersistent,
// collections, lists, string lists, streams, TComponent and the script
// engine's XML classes.

#include "zs_iclassesrtti.h"
#include "zs_iformsrtti.h"

#include "CodePage.h"
#include "Collections.h"
#include "RtlObjects.h"
#include "zs_iadapter.h"
#include "zs_xml.h"

#include <algorithm>

using plat::Variant;
using L = QLatin1String;

namespace {

const zs::IntConst kFileConsts[] = {
    {"fmCreate", 65535},       {"fmOpenRead", 0},         {"fmOpenWrite", 1},       {"fmOpenReadWrite", 2},
    {"fmShareExclusive", 16},  {"fmShareDenyWrite", 32},  {"fmShareDenyNone", 64},  {"soFromBeginning", 0},
    {"soFromCurrent", 1},      {"soFromEnd", 2},
};

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

// The object a list slot holds: lists scripts see hold objects only.
Variant slotValue(void* item)
{
    return plat::ObjectToVariant(static_cast<plat::TObject*>(item));
}

Variant objectMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& name,
                      TzsMethodHelper*)
{
    if (name == L("CREATE")) {
        // The class named in the script: its own constructor runs. The
        // abstract string list makes a string list.
        if (classType == plat::obj::TStrings::StaticClass())
            classType = plat::obj::TStringList::StaticClass();
        return zs::adoptScriptObject(script, classType->CreateInstance());
    }
    if (name == L("FREE")) {
        zs::freeScriptObject(instance);
        return Variant(0);
    }
    if (name == L("CLASSNAME"))
        return Variant(instance ? instance->ClassName() : classType->ClassName());
    return Variant(0);
}

Variant listMethods(plat::TObject* instance, const QString& name, TzsMethodHelper* c)
{
    auto* list = zs::instanceAs<plat::TList>(instance);
    if (name == L("ADD"))
        return Variant(list->Add(zs::optionalObjectParam<plat::TObject>(c, 0)));
    if (name == L("CLEAR"))
        list->Clear();
    else if (name == L("DELETE"))
        list->Delete(zs::param(c, 0).toInteger());
    else if (name == L("INDEXOF"))
        return Variant(list->IndexOf(zs::optionalObjectParam<plat::TObject>(c, 0)));
    else if (name == L("INSERT"))
        list->Insert(zs::param(c, 0).toInteger(), zs::optionalObjectParam<plat::TObject>(c, 1));
    else if (name == L("REMOVE"))
        return Variant(list->Remove(zs::optionalObjectParam<plat::TObject>(c, 0)));
    else if (name == L("ITEMS.GET"))
        return slotValue(list->Items(zs::param(c, 0).toInteger()));
    else if (name == L("ITEMS.SET"))
        list->SetItems(zs::param(c, 0).toInteger(), zs::optionalObjectParam<plat::TObject>(c, 1));
    return Variant(0);
}

Variant stringsMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& name,
                       TzsMethodHelper* c)
{
    if (name == L("CREATE"))
        return objectMethods(script, instance, classType, name, c);
    auto* list = zs::instanceAs<plat::TStrings>(instance);
    if (name == L("ADD"))
        return Variant(list->Add(zs::paramText(c, 0)));
    if (name == L("ADDOBJECT"))
        return Variant(list->AddObject(zs::paramText(c, 0), zs::optionalObjectParam<plat::TObject>(c, 1)));
    if (name == L("CLEAR"))
        list->Clear();
    else if (name == L("DELETE"))
        list->Delete(zs::param(c, 0).toInteger());
    else if (name == L("INDEXOF"))
        return Variant(list->IndexOf(zs::paramText(c, 0)));
    else if (name == L("INDEXOFNAME"))
        return Variant(list->IndexOfName(zs::paramText(c, 0)));
    else if (name == L("INDEXOFOBJECT"))
        return Variant(list->IndexOfObject(zs::optionalObjectParam<plat::TObject>(c, 0)));
    else if (name == L("INSERT"))
        list->Insert(zs::param(c, 0).toInteger(), zs::paramText(c, 1));
    else if (name == L("INSERTOBJECT"))
        list->InsertObject(zs::param(c, 0).toInteger(), zs::paramText(c, 1),
                           zs::optionalObjectParam<plat::TObject>(c, 2));
    else if (name == L("LOADFROMFILE"))
        list->LoadFromFile(zs::paramText(c, 0));
    else if (name == L("LOADFROMSTREAM"))
        list->LoadFromStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("SAVETOFILE"))
        list->SaveToFile(zs::paramText(c, 0));
    else if (name == L("MOVE"))
        list->Move(zs::param(c, 0).toInteger(), zs::param(c, 1).toInteger());
    else if (name == L("SAVETOSTREAM"))
        list->SaveToStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("NAMES.GET"))
        return Variant(list->Names(zs::param(c, 0).toInteger()));
    else if (name == L("OBJECTS.GET"))
        return slotValue(list->Objects(zs::param(c, 0).toInteger()));
    else if (name == L("OBJECTS.SET"))
        list->SetObjects(zs::param(c, 0).toInteger(), zs::optionalObjectParam<plat::TObject>(c, 1));
    else if (name == L("VALUES.GET"))
        return Variant(list->Values(zs::paramText(c, 0)));
    else if (name == L("VALUES.SET"))
        list->SetValues(zs::paramText(c, 0), zs::paramText(c, 1));
    else if (name == L("STRINGS.GET"))
        return Variant(list->Strings(zs::param(c, 0).toInteger()));
    else if (name == L("STRINGS.SET"))
        list->SetStrings(zs::param(c, 0).toInteger(), zs::paramText(c, 1));
    else if (name == L("FIND")) {
        int index = 0;
        const bool found = zs::instanceAs<plat::TStringList>(instance)->Find(zs::paramText(c, 0), index);
        c->SetParam(1, Variant(index));
        return Variant(found);
    } else if (name == L("SORT"))
        zs::instanceAs<plat::TStringList>(instance)->Sort();
    return Variant(0);
}

Variant stringsProp(plat::TObject* instance, const QString& name)
{
    auto* list = zs::instanceAs<plat::TStrings>(instance);
    if (name == L("COMMATEXT"))
        return Variant(list->CommaText());
    if (name == L("COUNT"))
        return Variant(list->Count());
    if (name == L("TEXT"))
        return Variant(list->Text());
    if (name == L("DUPLICATES"))
        return Variant(int(zs::instanceAs<plat::TStringList>(instance)->Duplicates()));
    if (name == L("SORTED"))
        return Variant(zs::instanceAs<plat::TStringList>(instance)->Sorted());
    return Variant(0);
}

void setStringsProp(plat::TObject* instance, const QString& name, const Variant& value)
{
    auto* list = zs::instanceAs<plat::TStrings>(instance);
    if (name == L("COMMATEXT")) {
        list->SetCommaText(plat::VarToStr(value));
    } else if (name == L("TEXT")) {
        list->SetText(plat::VarToStr(value));
    } else if (name == L("DUPLICATES")) {
        const int d = value.toInteger();
        if (d < plat::dupIgnore || d > plat::dupError)
            throw plat::ERangeError(QStringLiteral("Value must be between 0 and 2"));
        zs::instanceAs<plat::TStringList>(instance)->SetDuplicates(plat::TDuplicates(d));
    } else if (name == L("SORTED")) {
        zs::instanceAs<plat::TStringList>(instance)->SetSorted(value.toBoolean());
    }
}

plat::TSeekOrigin seekOrigin(int origin)
{
    if (origin < plat::soBeginning || origin > plat::soEnd)
        throw plat::EStreamError(QStringLiteral("Invalid stream operation"));
    return plat::TSeekOrigin(origin);
}

// Read: the count is clamped to what the stream holds after its position,
// so a wild count neither allocates nor reads beyond the end.
Variant streamRead(plat::TStream* stream, TzsMethodHelper* c)
{
    const qint64 wanted = c->GetParam(1).toInt64();
    const qint64 left = std::max<qint64>(0, stream->Size() - stream->Position());
    const qint64 count = std::clamp<qint64>(wanted, 0, left);
    QByteArray bytes(count, '\0');
    const qint64 read = count > 0 ? std::max<qint64>(0, stream->Read(bytes.data(), count)) : 0;
    bytes.truncate(read);
    c->SetParam(0, Variant(plat::cp1250ToUnicode(bytes)));
    return Variant(int(read));
}

// Write: never more than the text holds.
Variant streamWrite(plat::TStream* stream, TzsMethodHelper* c)
{
    const QByteArray bytes = plat::unicodeToCp1250(zs::paramText(c, 0));
    const qint64 count = std::clamp<qint64>(c->GetParam(1).toInt64(), 0, bytes.size());
    return Variant(int(stream->Write(bytes.constData(), count)));
}

Variant streamMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& name,
                      TzsMethodHelper* c)
{
    if (name == L("CREATE")) {
        // TFileStream.Create(FileName, Mode); fmCreate is any mode with
        // the high byte's bits all set.
        const int mode = c->GetParam(1).toInteger();
        const quint16 hostMode = (mode & 0xFF00) == 0xFF00 ? quint16(plat::fmCreate | (mode & 0x00F0)) : quint16(mode);
        return zs::adoptScriptObject(script, new plat::obj::TFileStream(zs::paramText(c, 0), hostMode));
    }
    auto* stream = zs::instanceAs<plat::TStream>(instance);
    if (name == L("READ"))
        return streamRead(stream, c);
    if (name == L("WRITE"))
        return streamWrite(stream, c);
    if (name == L("SEEK"))
        return Variant(int(stream->Seek(c->GetParam(0).toInteger(), seekOrigin(c->GetParam(1).toInteger()))));
    if (name == L("COPYFROM"))
        return Variant(stream->CopyFrom(*zs::objectParam<plat::TStream>(c, 0), c->GetParam(1).toInt64()));
    auto* memory = dynamic_cast<plat::TMemoryStream*>(stream);
    if (!memory)
        return Variant(0);
    if (name == L("CLEAR"))
        memory->Clear();
    else if (name == L("LOADFROMSTREAM"))
        memory->LoadFromStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("LOADFROMFILE"))
        memory->LoadFromFile(zs::paramText(c, 0));
    else if (name == L("SAVETOSTREAM"))
        memory->SaveToStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("SAVETOFILE"))
        memory->SaveToFile(zs::paramText(c, 0));
    return Variant(0);
}

Variant xmlItemMethods(TzsScript* script, plat::TObject* instance, const QString& name, TzsMethodHelper* c)
{
    if (name == L("CREATE"))
        return zs::adoptScriptObject(script, new TzsXMLItem());
    auto* item = zs::instanceAs<TzsXMLItem>(instance);
    if (name == L("ADDITEM") || name == L("INSERTITEM")) {
        const bool insert = name == L("INSERTITEM");
        auto* child = zs::objectParam<TzsXMLItem>(c, insert ? 1 : 0);
        if (insert)
            item->InsertItem(c->GetParam(0).toInteger(), child);
        else
            item->AddItem(child);
        // The child belongs to its new parent now; the script no longer frees it.
        zs::releaseScriptObject(child);
        return Variant(0);
    }
    if (name == L("CLEAR"))
        item->Clear();
    else if (name == L("ADD"))
        return plat::ObjectToVariant(item->Add());
    else if (name == L("FIND"))
        return Variant(item->Find(zs::paramText(c, 0)));
    else if (name == L("FINDITEM"))
        return plat::ObjectToVariant(item->FindItem(zs::paramText(c, 0)));
    else if (name == L("ROOT"))
        return plat::ObjectToVariant(item->Root());
    else if (name == L("ITEMS.GET"))
        return plat::ObjectToVariant(item->Items(c->GetParam(0).toInteger()));
    else if (name == L("PROP.GET"))
        return Variant(item->Prop(zs::paramText(c, 0)));
    else if (name == L("PROP.SET"))
        item->SetProp(zs::paramText(c, 0), zs::paramText(c, 1));
    return Variant(0);
}

Variant xmlItemProp(plat::TObject* instance, const QString& name)
{
    auto* item = zs::instanceAs<TzsXMLItem>(instance);
    if (name == L("DATA"))
        return Variant(item->Data);
    if (name == L("COUNT"))
        return Variant(item->Count());
    if (name == L("NAME"))
        return Variant(item->Name);
    if (name == L("PARENT"))
        return plat::ObjectToVariant(item->Parent());
    if (name == L("TEXT"))
        return Variant(item->Text);
    return Variant(0);
}

void setXmlItemProp(plat::TObject* instance, const QString& name, const Variant& value)
{
    auto* item = zs::instanceAs<TzsXMLItem>(instance);
    if (name == L("DATA"))
        item->Data = value.toInteger();
    else if (name == L("NAME"))
        item->Name = plat::VarToStr(value);
    else if (name == L("TEXT"))
        item->Text = plat::VarToStr(value);
}

Variant xmlDocumentMethods(TzsScript* script, plat::TObject* instance, const QString& name, TzsMethodHelper* c)
{
    if (name == L("CREATE"))
        return zs::adoptScriptObject(script, new TzsXMLDocument());
    auto* doc = zs::instanceAs<TzsXMLDocument>(instance);
    if (name == L("SAVETOSTREAM"))
        doc->SaveToStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("LOADFROMSTREAM"))
        doc->LoadFromStream(*zs::objectParam<plat::TStream>(c, 0));
    else if (name == L("SAVETOFILE"))
        doc->SaveToFile(zs::paramText(c, 0));
    else if (name == L("LOADFROMFILE"))
        doc->LoadFromFile(zs::paramText(c, 0));
    return Variant(0);
}

class TzsClassesRTTI : public TzsRTTIModule {
public:
    explicit TzsClassesRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        zs::addIntConsts(Script, std::begin(kFileConsts), std::end(kFileConsts));
        Script->AddEnum(S("TDuplicates"), S("dupIgnore, dupAccept, dupError"));
        Script->AddEnum(S("TPrinterOrientation"), S("poPortrait, poLandscape"));
        addObjectClasses();
        addListClasses();
        addStreamClasses();
        addComponentAndXml();
    }

private:
    TzsCallMethodEvent classEvent(Variant (*fn)(TzsScript*, plat::TObject*, const plat::TClass*, const QString&,
                                                TzsMethodHelper*))
    {
        return [script = Script, fn](plat::TObject* i, const plat::TClass* t, const QString& n, TzsMethodHelper* c) {
            return fn(script, i, t, n, c);
        };
    }

    void addObjectClasses()
    {
        const TzsCallMethodEvent object = classEvent(&objectMethods);
        if (TzsClassVariable* c = Script->AddClass(plat::TObject::StaticClass(), QString())) {
            c->AddConstructor(S("constructor Create"), object);
            c->AddMethod(S("procedure Free"), object);
            c->AddMethod(S("function ClassName: String"), object);
        }
        if (TzsClassVariable* c = Script->AddClass(plat::TPersistent::StaticClass(), S("TObject")))
            c->AddMethod(S("procedure Assign(Source: TPersistent)"),
                         [](plat::TObject* i, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                             zs::instanceAs<plat::TPersistent>(i)->Assign(
                                 zs::optionalObjectParam<plat::TPersistent>(c, 0));
                             return Variant(0);
                         });
        Script->AddClass(plat::TCollectionItem::StaticClass(), S("TPersistent"));
        if (TzsClassVariable* c = Script->AddClass(plat::TCollection::StaticClass(), S("TPersistent"))) {
            const auto call = [](plat::TObject* i, const plat::TClass*, const QString& n, TzsMethodHelper* c) {
                auto* collection = zs::instanceAs<plat::TCollection>(i);
                if (n == L("CLEAR"))
                    collection->Clear();
                else if (n == L("ITEMS.GET"))
                    return plat::ObjectToVariant(collection->Items(c->GetParam(0).toInteger()));
                return Variant(0);
            };
            c->AddMethod(S("procedure Clear"), call);
            c->AddProperty(S("Count"), S("Integer"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return Variant(zs::instanceAs<plat::TCollection>(i)->Count());
            });
            c->AddDefaultProperty(S("Items"), S("Integer"), S("TCollectionItem"), call, true);
        }
    }

    void addListClasses()
    {
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TList::StaticClass(), S("TObject"))) {
            const auto call = [](plat::TObject* i, const plat::TClass*, const QString& n, TzsMethodHelper* c) {
                return listMethods(i, n, c);
            };
            for (const char* p : {"function Add(Item: TObject): Integer", "procedure Clear",
                                  "procedure Delete(Index: Integer)", "function IndexOf(Item: TObject): Integer",
                                  "procedure Insert(Index: Integer; Item: TObject)",
                                  "function Remove(Item: TObject): Integer"})
                c->AddMethod(S(p), call);
            c->AddProperty(S("Count"), S("Integer"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return Variant(zs::instanceAs<plat::TList>(i)->Count());
            });
            c->AddDefaultProperty(S("Items"), S("Integer"), S("TObject"), call);
        }
        const TzsCallMethodEvent strings = classEvent(&stringsMethods);
        const auto get = [](plat::TObject* i, const plat::TClass*, const QString& n) { return stringsProp(i, n); };
        const auto set = [](plat::TObject* i, const plat::TClass*, const QString& n, const Variant& v) {
            setStringsProp(i, n, v);
        };
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TStrings::StaticClass(), S("TPersistent"))) {
            c->AddConstructor(S("constructor Create"), strings);
            for (const char* p : {
                     "function Add(const S: string): Integer",
                     "function AddObject(const S: string; AObject: TObject): Integer",
                     "procedure Clear",
                     "procedure Delete(Index: Integer)",
                     "function IndexOf(const S: string): Integer",
                     "function IndexOfName(const Name: string): Integer",
                     "function IndexOfObject(AObject: TObject): Integer",
                     "procedure Insert(Index: Integer; const S: string)",
                     "procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
                     "procedure LoadFromFile(const FileName: string)",
                     "procedure LoadFromStream(Stream: TStream)",
                     "procedure SaveToFile(const FileName: string)",
                     "procedure Move(CurIndex, NewIndex: Integer)",
                     "procedure SaveToStream(Stream: TStream)",
                 })
                c->AddMethod(S(p), strings);
            c->AddProperty(S("CommaText"), S("string"), get, set);
            c->AddProperty(S("Count"), S("Integer"), get);
            c->AddIndexProperty(S("Names"), S("Integer"), S("string"), strings, true);
            c->AddIndexProperty(S("Objects"), S("Integer"), S("TObject"), strings);
            c->AddIndexProperty(S("Values"), S("String"), S("string"), strings);
            c->AddDefaultProperty(S("Strings"), S("Integer"), S("string"), strings);
            c->AddProperty(S("Text"), S("string"), get, set);
        }
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TStringList::StaticClass(), S("TStrings"))) {
            c->AddMethod(S("function Find(s: String; var Index: Integer): Boolean"), strings);
            c->AddMethod(S("procedure Sort"), strings);
            c->AddProperty(S("Duplicates"), S("TDuplicates"), get, set);
            c->AddProperty(S("Sorted"), S("Boolean"), get, set);
        }
    }

    void addStreamClasses()
    {
        const TzsCallMethodEvent stream = classEvent(&streamMethods);
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TStream::StaticClass(), S("TObject"))) {
            for (const char* p : {"function Read(var Buffer: string; Count: Longint): Longint",
                                  "function Write(Buffer: string; Count: Longint): Longint",
                                  "function Seek(Offset: Longint; Origin: Word): Longint",
                                  "function CopyFrom(Source: TStream; Count: Longint): Longint"})
                c->AddMethod(S(p), stream);
            c->AddProperty(
                S("Position"), S("Longint"),
                [](plat::TObject* i, const plat::TClass*, const QString&) {
                    return Variant(zs::instanceAs<plat::TStream>(i)->Position());
                },
                [](plat::TObject* i, const plat::TClass*, const QString&, const Variant& v) {
                    zs::instanceAs<plat::TStream>(i)->SetPosition(v.toInt64());
                });
            c->AddProperty(S("Size"), S("Longint"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return Variant(zs::instanceAs<plat::TStream>(i)->Size());
            });
        }
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TFileStream::StaticClass(), S("TStream")))
            c->AddConstructor(S("constructor Create(Filename: String; Mode: Word)"), stream);
        if (TzsClassVariable* c = Script->AddClass(plat::obj::TMemoryStream::StaticClass(), S("TStream")))
            for (const char* p : {"procedure Clear", "procedure LoadFromStream(Stream: TStream)",
                                  "procedure LoadFromFile(Filename: String)", "procedure SaveToStream(Stream: TStream)",
                                  "procedure SaveToFile(Filename: String)"})
                c->AddMethod(S(p), stream);
    }

    void addComponentAndXml()
    {
        if (TzsClassVariable* c = Script->AddClass(plat::TComponent::StaticClass(), S("TPersistent"))) {
            c->AddConstructor(S("constructor Create(AOwner: TComponent)"),
                              [script = Script](plat::TObject*, const plat::TClass* t, const QString&,
                                                TzsMethodHelper* c) {
                                  auto* owner = zs::optionalObjectParam<plat::TComponent>(c, 0);
                                  return zs::adoptScriptObject(script, t->CreateComponent(owner));
                              });
            c->AddProperty(S("Owner"), S("TComponent"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return plat::ObjectToVariant(zs::instanceAs<plat::TComponent>(i)->Owner());
            });
        }
        const TzsCallMethodEvent item = [script = Script](plat::TObject* i, const plat::TClass*, const QString& n,
                                                          TzsMethodHelper* c) { return xmlItemMethods(script, i, n, c); };
        if (TzsClassVariable* c = Script->AddClass(TzsXMLItem::StaticClass(), S("TObject"))) {
            c->AddConstructor(S("constructor Create"), item);
            for (const char* p : {"procedure AddItem(Item: TzsXMLItem)", "procedure Clear",
                                  "procedure InsertItem(Index: Integer; Item: TzsXMLItem)", "function Add: TzsXMLItem",
                                  "function Find(const Name: String): Integer",
                                  "function FindItem(const Name: String): TzsXMLItem", "function Root: TzsXMLItem"})
                c->AddMethod(S(p), item);
            const auto get = [](plat::TObject* i, const plat::TClass*, const QString& n) { return xmlItemProp(i, n); };
            const auto set = [](plat::TObject* i, const plat::TClass*, const QString& n, const Variant& v) {
                setXmlItemProp(i, n, v);
            };
            c->AddProperty(S("Data"), S("Integer"), get, set);
            c->AddProperty(S("Count"), S("Integer"), get);
            c->AddDefaultProperty(S("Items"), S("Integer"), S("TzsXMLItem"), item, true);
            c->AddIndexProperty(S("Prop"), S("String"), S("String"), item);
            c->AddProperty(S("Name"), S("String"), get, set);
            c->AddProperty(S("Parent"), S("TzsXMLItem"), get);
            c->AddProperty(S("Text"), S("String"), get, set);
        }
        const TzsCallMethodEvent doc = [script = Script](plat::TObject* i, const plat::TClass*, const QString& n,
                                                         TzsMethodHelper* c) {
            return xmlDocumentMethods(script, i, n, c);
        };
        if (TzsClassVariable* c = Script->AddClass(TzsXMLDocument::StaticClass(), S("TObject"))) {
            c->AddConstructor(S("constructor Create"), doc);
            for (const char* p : {"procedure SaveToStream(Stream: TStream)", "procedure LoadFromStream(Stream: TStream)",
                                  "procedure SaveToFile(const FileName: String)",
                                  "procedure LoadFromFile(const FileName: String)"})
                c->AddMethod(S(p), doc);
            c->AddProperty(S("Root"), S("TzsXMLItem"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return plat::ObjectToVariant(zs::instanceAs<TzsXMLDocument>(i)->Root());
            });
        }
    }
};

} // namespace

void zsStartClassesRTTI()
{
    zsAddRTTIModule(zsModuleClass<TzsClassesRTTI>());
}

void zsEndClassesRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TzsClassesRTTI>());
}

void zsStartPlatformModules()
{
    zsStartIniRTTI();
    zsStartClassesRTTI();
    zsStartDialogsRTTI();
    zsStartGraphicsRTTI();
    zsStartFormsRTTI();
}

void zsEndPlatformModules()
{
    zsEndFormsRTTI();
    zsEndGraphicsRTTI();
    zsEndDialogsRTTI();
    zsEndClassesRTTI();
    zsEndIniRTTI();
}
