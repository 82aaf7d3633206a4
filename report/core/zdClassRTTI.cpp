// The script adapter of the report classes: the geometry constants, the
// enumerations and sets of report objects, the classes with the members
// report scripts and expressions use while a report is prepared, the
// program-wide variables and the report functions.

#include "zdClass.h"

#include "DateUtils.h"
#include "Handles.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdClass_view.h"
#include "zdDataSets.h"
#include "zdReportComponent.h"
#include "zdVariables.h"
#include "CodePage.h"
#include "RtlObjects.h"
#include "zdWideStrings.h"
#include "zs_iadapter.h"
#include "zs_items.h"
#include "zs_script.h"

#include <vector>

namespace {

using plat::Variant;

QString S(const char* text)
{
    return QString::fromLatin1(text);
}


struct LateClass {
    const plat::TClass* cls;
    QString ancestor;
};

// Classes of the layers above (engine, exports) that scripts see too.
std::vector<LateClass>& lateClasses()
{
    static std::vector<LateClass> classes;
    return classes;
}

// A script must not load, clear or free the report (or the objects it
// prepares from) while that report is being prepared or its script runs:
// the engine and the running script still use them.
void refuseWhileRunning(TzdComponent* obj, const char* action)
{
    TzdReport* report = obj ? obj->GetReport() : nullptr;
    if (!report)
        return;
    const TzsScript* script = report->Script();
    if (report->EngineRunning() || (script && script->Running))
        throw plat::EInvalidOperation(
            QStringLiteral("Cannot %1 %2 while the report is running").arg(S(action), obj->Name()));
}

// Object-valued results: the checked instance of T.
template <class T>
T* self(plat::TObject* Instance)
{
    return zs::instanceAs<T>(Instance);
}

plat::obj::TList* snapshot(TzsScript* script, const std::vector<TzdComponent*>& objects, Variant& out)
{
    auto* list = new plat::obj::TList();
    for (TzdComponent* obj : objects)
        list->Add(static_cast<plat::TObject*>(obj));
    out = zs::adoptScriptObject(script, list);
    return list;
}

void checkIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

class TzdClassRTTI : public TzsRTTIModule {
public:
    explicit TzdClassRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        addConstants();
        addEnums();
        addClasses();
        addFunctions();
    }

private:
    void addConstants()
    {
        Script->AddConst(S("zd01cm"), S("Extended"), Variant(3.77953));
        Script->AddConst(S("zd1cm"), S("Extended"), Variant(37.7953));
        Script->AddConst(S("zd01in"), S("Extended"), Variant(9.6));
        Script->AddConst(S("zd1in"), S("Extended"), Variant(96));
        Script->AddConst(S("zd1CharX"), S("Extended"), Variant(9.6));
        Script->AddConst(S("zd1CharY"), S("Extended"), Variant(17));
        Script->AddConst(S("clTransparent"), S("Integer"), Variant(0x1FFFFFFF));
        Script->AddConst(S("crHand"), S("Integer"), Variant(150));
        Script->AddConst(S("crZoom"), S("Integer"), Variant(151));
        Script->AddConst(S("crFormat"), S("Integer"), Variant(152));
    }

    void addEnums()
    {
        const struct {
            const char* type;
            bool set;
            const char* names;
        } kinds[] = {
            {"TzdStretchMode", false, "smDontStretch, smActualHeight, smMaxHeight"},
            {"TzdShiftMode", false, "smDontShift, smAlways, smWhenOverlapped"},
            {"TzdDuplexMode", false, "dmNone, dmVertical, dmHorizontal, dmSimplex"},
            {"TzdAlign", false, "baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient, baHidden"},
            {"TzdFrameStyle", false, "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble"},
            {"TzdFrameTypes", true, "ftLeft, ftRight, ftTop, ftBottom"},
            {"TzdHAlign", false, "haLeft, haRight, haCenter, haBlock"},
            {"TzdVAlign", false, "vaTop, vaBottom, vaCenter"},
            {"TzdRestrictions", true, "rfDontModify, rfDontSize, rfDontMove, rfDontDelete"},
            {"TzdShapeKind", false,
             "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2"},
            {"TzdPreviewButtons", true,
             "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, "
             "pbNavigator, pbExportQuick, pbNoClose, pbNoFullScreen, pbNoEmail"},
            {"TzdZoomMode", false, "zmDefault, zmWholePage, zmPageWidth, zmManyPages"},
            {"TzdPrintPages", false, "ppAll, ppOdd, ppEven"},
            {"TzdDMPFontStyles", true,
             "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, fsx12cpi, "
             "fsx15cpi"},
            {"TzdRangeBegin", false, "rbFirst, rbCurrent"},
            {"TzdRangeEnd", false, "reLast, reCurrent, reCount"},
            {"TzdFieldType", false, "fftNumeric, fftString, fftBoolean"},
            {"TzdFormatKind", false, "fkText, fkNumeric, fkDateTime, fkBoolean"},
            {"TzdFillType", false, "ftBrush, ftGradient, ftGlass"},
            {"TzdPrintMode", false, "pmDefault, pmSplit, pmJoin, pmScale"},
            {"TzdVisibilityTypes", true, "vsPreview, vsExport, vsPrint"},
        };
        for (const auto& k : kinds) {
            if (k.set)
                Script->AddEnumSet(S(k.type), S(k.names));
            else
                Script->AddEnum(S(k.type), S(k.names));
        }
    }

    TzsClassVariable* add(const plat::TClass* cls, const char* ancestor)
    {
        TzsClassVariable* item = Script->AddClass(cls, S(ancestor));
        if (!item)
            item = Script->FindClass(cls->ClassName());
        return item;
    }

    void addClasses()
    {
        // The platform's base classes, when no platform adapter gave them.
        const bool hasPersistent = Script->FindClass(S("TPersistent")) != nullptr;
        add(plat::TObject::StaticClass(), "");
        add(plat::TPersistent::StaticClass(), "TObject");
        add(plat::TComponent::StaticClass(), "TPersistent");

        add(plat::TJPEGImage::StaticClass(), "TGraphic");
        addNamed(plat::TPngImage::StaticClass(), "TPNGObject", "TGraphic");
        add(TzdHyperlink::StaticClass(), "TPersistent");
        add(TzdCustomFill::StaticClass(), "TPersistent");
        add(TzdBrushFill::StaticClass(), "TzdCustomFill");
        add(TzdGradientFill::StaticClass(), "TzdCustomFill");
        add(TzdGlassFill::StaticClass(), "TzdCustomFill");
        add(TzdFillGaps::StaticClass(), "TPersistent");
        if (hasPersistent)
            if (TzsClassVariable* c = Script->AddClass(zd::TWideStrings::StaticClass(), S("TPersistent")))
                addWideStringsMembers(c);

        addDataSetMembers(add(TzdDataSet::StaticClass(), "TComponent"));
        add(TzdUserDataSet::StaticClass(), "TzdDataSet");
        add(TzdCustomDBDataSet::StaticClass(), "TzdDataSet");

        addComponentMembers(add(TzdComponent::StaticClass(), "TComponent"));
        add(TzdReportComponent::StaticClass(), "TzdComponent");
        add(TzdDialogComponent::StaticClass(), "TzdReportComponent");
        add(TzdFrameLine::StaticClass(), "TPersistent");
        add(TzdFrame::StaticClass(), "TPersistent");
        addViewMembers(add(TzdView::StaticClass(), "TzdReportComponent"));
        add(TzdShapeView::StaticClass(), "TzdView");
        TzsClassVariable* stretcheable = add(TzdStretcheable::StaticClass(), "TzdView");
        stretcheable->AddMethod(S("function CalcHeight: Extended"),
                                [](plat::TObject* Instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                                    return Variant(double(self<TzdStretcheable>(Instance)->CalcHeight()));
                                });
        add(TzdHighlight::StaticClass(), "TPersistent");
        add(TzdFormat::StaticClass(), "TPersistent");
        addMemoMembers(add(TzdCustomMemoView::StaticClass(), "TzdStretcheable"));
        add(TzdMemoView::StaticClass(), "TzdCustomMemoView");
        add(TzdSysMemoView::StaticClass(), "TzdCustomMemoView");
        add(TzdCustomLineView::StaticClass(), "TzdStretcheable");
        add(TzdLineView::StaticClass(), "TzdCustomLineView");
        addPictureMembers(add(TzdPictureView::StaticClass(), "TzdView"));
        add(TzdSubreport::StaticClass(), "TzdView");
        addBandMembers(add(TzdBand::StaticClass(), "TzdReportComponent"));
        int count = 0;
        const plat::TClass* const* kinds = zd::bandKindTable(count);
        add(TzdDataBand::StaticClass(), "TzdBand");
        for (int i = 0; i < count; ++i)
            if (kinds[i] != TzdDataBand::StaticClass())
                add(kinds[i], kinds[i]->InheritsFrom(S("TzdDataBand")) ? "TzdDataBand" : "TzdBand");
        add(TzdPage::StaticClass(), "TzdComponent");
        add(TzdReportPage::StaticClass(), "TzdPage");
        add(TzdDialogPage::StaticClass(), "TzdPage");
        add(TzdDataPage::StaticClass(), "TzdPage");
        addEngineOptionsMembers(add(TzdEngineOptions::StaticClass(), "TPersistent"));
        add(TzdPrintOptions::StaticClass(), "TPersistent");
        add(TzdPreviewOptions::StaticClass(), "TPersistent");
        add(TzdReportOptions::StaticClass(), "TPersistent");
        add(TzdVariable::StaticClass(), "TCollectionItem");
        addVariablesMembers(add(TzdVariables::StaticClass(), "TCollection"));
        add(TzdStyleItem::StaticClass(), "TCollectionItem");
        addStylesMembers(add(TzdStyles::StaticClass(), "TCollection"));
        addArrayMembers(add(TzdArray::StaticClass(), "TCollection"));
        // Classes of the engine and export layers (the dot-matrix objects,
        // the engine and its outline), as those layers announced them.
        for (const LateClass& late : lateClasses())
            Script->AddClass(late.cls, late.ancestor);
        Script->AddObject(S("zdGlobalVariables"), zdGlobalVariables());
        addReportMembers(add(TzdReport::StaticClass(), "TzdComponent"));
        addEngineMembers(add(TzdCustomEngine::StaticClass(), "TPersistent"));
        addOutlineMembers(add(TzdCustomOutline::StaticClass(), "TPersistent"));
    }

    // A class whose script name differs from the host class's name.
    void addNamed(const plat::TClass* cls, const char* name, const char* ancestor)
    {
        if (Script->Find(S(name)))
            return;
        TzsClassVariable* item = Script->AddClass(cls, S(ancestor));
        if (!item)
            return;
        // Registered under the host class's name; scripts use the other.
        Script->Remove(item);
        item->SetName(S(name));
        Script->Add(S(name), item);
    }

    static void addViewMembers(TzsClassVariable* c)
    {
        c->AddProperty(
            S("TagStr"), S("String"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return Variant(self<TzdView>(Instance)->TagStr());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<TzdView>(Instance)->SetTagStr(plat::VarToStr(Value));
            });
    }

    static void addPictureMembers(TzsClassVariable* c)
    {
        c->AddMethod(S("procedure LoadFromFile(filename: String)"),
                     [](plat::TObject* Instance, const plat::TClass*, const QString&, TzsMethodHelper* Caller) {
                         self<TzdPictureView>(Instance)->Picture()->LoadFromFile(zs::paramText(Caller, 0));
                         return Variant(0);
                     });
    }

    static void addBandMembers(TzsClassVariable* c)
    {
        c->AddMethod(S("procedure AlignChildren"),
                     [](plat::TObject* Instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                         self<TzdBand>(Instance)->AlignChildren();
                         return Variant(0);
                     });
    }

    static void addEngineOptionsMembers(TzsClassVariable* c)
    {
        c->AddProperty(
            S("DestroyForms"), S("Boolean"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return Variant(self<TzdEngineOptions>(Instance)->DestroyForms);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<TzdEngineOptions>(Instance)->DestroyForms = Value.toBoolean();
            });
    }

    static void addDataSetMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* ds = self<TzdDataSet>(Instance);
            const auto field = [Caller] { return zs::paramText(Caller, 0); };
            if (Name == QLatin1String("OPEN"))
                ds->Open();
            else if (Name == QLatin1String("CLOSE"))
                ds->Close();
            else if (Name == QLatin1String("FIRST"))
                ds->First();
            else if (Name == QLatin1String("NEXT"))
                ds->Next();
            else if (Name == QLatin1String("PRIOR"))
                ds->Prior();
            else if (Name == QLatin1String("EOF"))
                return Variant(ds->Eof());
            else if (Name == QLatin1String("FIELDSCOUNT"))
                return Variant(ds->FieldsCount());
            else if (Name == QLatin1String("RECORDCOUNT"))
                return Variant(ds->RecordCount());
            else if (Name == QLatin1String("ISBLOBFIELD"))
                return Variant(ds->IsBlobField(field()));
            else if (Name == QLatin1String("GETFIELDLIST"))
                ds->GetFieldList(*zs::objectParam<plat::TStrings>(Caller, 0));
            else if (Name == QLatin1String("HASFIELD"))
                return Variant(ds->HasField(field()));
            else if (Name == QLatin1String("VALUE.GET"))
                return ds->GetValue(field());
            else if (Name == QLatin1String("DISPLAYTEXT.GET"))
                return plat::Variant::fromOleStr(ds->GetDisplayText(field()));
            else if (Name == QLatin1String("DISPLAYWIDTH.GET"))
                return Variant(ds->GetDisplayWidth(field()));
            else if (Name == QLatin1String("FIELDTYPE.GET"))
                return Variant(int(ds->GetFieldType(field())));
            return Variant(0);
        };
        for (const char* p : {"procedure Open", "procedure Close", "procedure First", "procedure Next",
                              "procedure Prior", "function Eof: Boolean", "function FieldsCount: Integer",
                              "function RecordCount: Integer", "function IsBlobField(const fName: String): Boolean",
                              "procedure GetFieldList(List: TStrings)", "function HasField(const fName: String): Boolean"})
            c->AddMethod(S(p), call);
        c->AddIndexProperty(S("DisplayText"), S("String"), S("String"), call, true);
        c->AddIndexProperty(S("DisplayWidth"), S("String"), S("Integer"), call, true);
        c->AddIndexProperty(S("FieldType"), S("String"), S("TzdFieldType"), call, true);
        c->AddIndexProperty(S("Value"), S("String"), S("Variant"), call, true);
        c->AddProperty(S("RecNo"), S("Integer"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return Variant(self<TzdDataSet>(Instance)->RecNo);
        });
    }

    void addComponentMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* obj = self<TzdComponent>(Instance);
            if (Name == QLatin1String("FINDOBJECT"))
                return plat::ObjectToVariant(obj->FindObject(zs::paramText(Caller, 0)));
            if (Name == QLatin1String("SETBOUNDS")) {
                obj->SetBounds(zs::param(Caller, 0).toDouble(), zs::param(Caller, 1).toDouble(), zs::param(Caller, 2).toDouble(),
                               zs::param(Caller, 3).toDouble());
            } else if (Name == QLatin1String("CLEAR")) {
                refuseWhileRunning(obj, "clear");
                obj->Clear();
            } else if (Name == QLatin1String("LOADFROMSTREAM")) {
                refuseWhileRunning(obj, "load");
                obj->LoadFromStream(*zs::objectParam<plat::TStream>(Caller, 0));
            } else if (Name == QLatin1String("SAVETOSTREAM")) {
                obj->SaveToStream(*zs::objectParam<plat::TStream>(Caller, 0), zs::param(Caller, 1).toBoolean(), false,
                                  false);
            } else if (Name == QLatin1String("FREE")) {
                // The report and its pages hold what the engine works on.
                if (dynamic_cast<TzdReport*>(obj) || dynamic_cast<TzdPage*>(obj))
                    refuseWhileRunning(obj, "free");
                zs::freeScriptObject(obj);
            }
            return Variant(0);
        };
        c->AddMethod(S("procedure Clear"), call);
        c->AddMethod(S("procedure LoadFromStream(Stream: TStream)"), call);
        c->AddMethod(S("procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)"), call);
        c->AddMethod(S("function FindObject(s: String): TzdComponent"), call);
        c->AddMethod(S("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)"), call);
        c->AddMethod(S("procedure Free"), call);
        c->AddProperty(S("Objects"), S("TList"),
                       [script = Script](plat::TObject* Instance, const plat::TClass*, const QString&) {
                           Variant out;
                           snapshot(script, self<TzdComponent>(Instance)->GetContainerObjects(), out);
                           return out;
                       });
        c->AddProperty(S("AllObjects"), S("TList"),
                       [script = Script](plat::TObject* Instance, const plat::TClass*, const QString&) {
                           Variant out;
                           snapshot(script, self<TzdComponent>(Instance)->AllObjects(), out);
                           return out;
                       });
        c->AddProperty(
            S("Parent"), S("TzdComponent"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return plat::ObjectToVariant(self<TzdComponent>(Instance)->Parent());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<TzdComponent>(Instance)->SetParent(zs::instanceAs<TzdComponent>(zs::objectOf(Value)));
            });
        c->AddProperty(S("Page"), S("TzdPage"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return plat::ObjectToVariant(self<TzdComponent>(Instance)->GetPage());
        });
        c->AddProperty(S("AbsLeft"), S("Extended"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return Variant(double(self<TzdComponent>(Instance)->GetAbsLeft()));
        });
        c->AddProperty(S("AbsTop"), S("Extended"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return Variant(double(self<TzdComponent>(Instance)->GetAbsTop()));
        });
    }

    static void addMemoMembers(TzsClassVariable* c)
    {
        c->AddMethod(S("function CalcWidth: Extended"),
                     [](plat::TObject* Instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                         return Variant(double(self<TzdCustomMemoView>(Instance)->CalcWidth()));
                     });
        c->AddProperty(
            S("Text"), S("String"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return Variant::fromOleStr(self<TzdCustomMemoView>(Instance)->Text());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                auto* memo = self<TzdCustomMemoView>(Instance);
                const int charset = memo->Font()->Charset();
                // An 8-bit text is in the code page of the font's charset.
                if (Value.type() == plat::varString && charset != plat::DEFAULT_CHARSET)
                    memo->SetText(zdAnsiToWide(plat::unicodeToCp1250(Value.toString()), charset));
                else
                    memo->SetText(plat::VarToStr(Value));
            });
        c->AddProperty(
            S("AnsiText"), S("String"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return Variant(plat::cp1250ToUnicode(self<TzdCustomMemoView>(Instance)->AnsiText()));
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<TzdCustomMemoView>(Instance)->SetAnsiText(plat::unicodeToCp1250(plat::VarToStr(Value)));
            });
        c->AddProperty(
            S("Lines"), S("TWideStrings"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return plat::ObjectToVariant(self<TzdCustomMemoView>(Instance)->Memo());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<TzdCustomMemoView>(Instance)->SetMemo(zs::instanceAs<zd::TWideStrings>(zs::objectOf(Value)));
            });
        c->AddProperty(S("Value"), S("Variant"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return self<TzdCustomMemoView>(Instance)->CurrentValue;
        });
    }

    void addVariablesMembers(TzsClassVariable* c)
    {
        c->AddConstructor(S("constructor Create"),
                          [script = Script](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) {
                              return zs::adoptScriptObject(script, new TzdVariables());
                          });
        c->AddDefaultProperty(S("Variables"), S("String"), S("Variant"),
                              [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                                 TzsMethodHelper* Caller) -> Variant {
                                  auto* vars = self<TzdVariables>(Instance);
                                  const QString key = zs::paramText(Caller, 0);
                                  if (Name == QLatin1String("VARIABLES.GET"))
                                      return vars->GetVariables(key);
                                  vars->SetVariables(key, Caller->AssignedValue);
                                  return Variant(0);
                              });
    }

    void addArrayMembers(TzsClassVariable* c)
    {
        c->AddConstructor(S("constructor Create"),
                          [script = Script](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) {
                              return zs::adoptScriptObject(script, new TzdArray());
                          });
        c->AddDefaultProperty(S("Variables"), S("Variant"), S("Variant"),
                              [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                                 TzsMethodHelper* Caller) -> Variant {
                                  auto* array = self<TzdArray>(Instance);
                                  if (Name == QLatin1String("VARIABLES.GET"))
                                      return array->GetVariables(zs::param(Caller, 0));
                                  array->SetVariables(zs::param(Caller, 0), Caller->AssignedValue);
                                  return Variant(0);
                              });
    }

    void addStylesMembers(TzsClassVariable* c)
    {
        const auto call = [script = Script](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                                            TzsMethodHelper* Caller) -> Variant {
            if (Name == QLatin1String("CREATE"))
                return zs::adoptScriptObject(script,
                                             new TzdStyles(zs::optionalObjectParam<TzdReport>(Caller, 0)));
            auto* styles = self<TzdStyles>(Instance);
            if (Name == QLatin1String("ITEMS.GET"))
                return plat::ObjectToVariant(styles->Items(zs::param(Caller, 0).toInteger()));
            if (Name == QLatin1String("ADD"))
                return plat::ObjectToVariant(styles->Add());
            if (Name == QLatin1String("FIND"))
                return plat::ObjectToVariant(styles->Find(zs::paramText(Caller, 0)));
            if (Name == QLatin1String("APPLY"))
                styles->Apply();
            else if (Name == QLatin1String("GETLIST"))
                styles->GetList(*zs::objectParam<plat::TStrings>(Caller, 0));
            else if (Name == QLatin1String("LOADFROMFILE"))
                styles->LoadFromFile(zs::paramText(Caller, 0));
            else if (Name == QLatin1String("LOADFROMSTREAM"))
                styles->LoadFromStream(*zs::objectParam<plat::TStream>(Caller, 0));
            else if (Name == QLatin1String("SAVETOFILE"))
                styles->SaveToFile(zs::paramText(Caller, 0));
            else if (Name == QLatin1String("SAVETOSTREAM"))
                styles->SaveToStream(*zs::objectParam<plat::TStream>(Caller, 0));
            // Writing Items has no effect.
            return Variant(0);
        };
        c->AddConstructor(S("constructor Create(AReport: TzdReport)"), call);
        c->AddDefaultProperty(S("Items"), S("Integer"), S("TzdStyleItem"), call);
        for (const char* p : {"function Add: TzdStyleItem", "function Find(const Name: String): TzdStyleItem",
                              "procedure Apply", "procedure GetList(List: TStrings)",
                              "procedure LoadFromFile(const FileName: String)",
                              "procedure LoadFromStream(Stream: TStream)",
                              "procedure SaveToFile(const FileName: String)",
                              "procedure SaveToStream(Stream: TStream)"})
            c->AddMethod(S(p), call);
    }

    void addWideStringsMembers(TzsClassVariable* c)
    {
        const auto call = [script = Script](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                                            TzsMethodHelper* Caller) -> Variant {
            if (Name == QLatin1String("CREATE"))
                return zs::adoptScriptObject(script, new zd::TWideStrings());
            auto* list = self<zd::TWideStrings>(Instance);
            const auto index = [list, Caller] {
                const int i = zs::param(Caller, 0).toInteger();
                checkIndex(i, list->Count());
                return i;
            };
            if (Name == QLatin1String("ADD"))
                return Variant(list->Add(zs::paramText(Caller, 0)));
            if (Name == QLatin1String("ADDOBJECT"))
                return Variant(list->AddObject(zs::paramText(Caller, 0),
                                               zs::optionalObjectParam<plat::TObject>(Caller, 1)));
            if (Name == QLatin1String("INDEXOF"))
                return Variant(list->IndexOf(zs::paramText(Caller, 0)));
            if (Name == QLatin1String("OBJECTS.GET"))
                return plat::ObjectToVariant(static_cast<plat::TObject*>(list->GetObject(index())));
            if (Name == QLatin1String("STRINGS.GET"))
                return Variant::fromOleStr(list->Get(index()));
            if (Name == QLatin1String("CLEAR"))
                list->Clear();
            else if (Name == QLatin1String("DELETE"))
                list->Delete(zs::param(Caller, 0).toInteger());
            else if (Name == QLatin1String("INSERT")) {
                const int i = zs::param(Caller, 0).toInteger();
                checkIndex(i, list->Count() + 1);
                list->Insert(i, zs::paramText(Caller, 1));
            } else if (Name == QLatin1String("LOADFROMFILE"))
                list->LoadFromFile(zs::paramText(Caller, 0));
            else if (Name == QLatin1String("LOADFROMSTREAM"))
                list->LoadFromStream(*zs::objectParam<plat::TStream>(Caller, 0));
            else if (Name == QLatin1String("SAVETOFILE"))
                list->SaveToFile(zs::paramText(Caller, 0));
            else if (Name == QLatin1String("SAVETOSTREAM"))
                list->SaveToStream(*zs::objectParam<plat::TStream>(Caller, 0));
            else if (Name == QLatin1String("OBJECTS.SET"))
                list->PutObject(index(), zs::optionalObjectParam<plat::TObject>(Caller, 1));
            else if (Name == QLatin1String("STRINGS.SET"))
                list->Put(index(), zs::paramText(Caller, 1));
            return Variant(0);
        };
        c->AddConstructor(S("constructor Create"), call);
        for (const char* p : {"function Add(const S: string): Integer",
                              "function AddObject(const S: string; AObject: TObject): Integer", "procedure Clear",
                              "procedure Delete(Index: Integer)", "function IndexOf(const S: string): Integer",
                              "procedure Insert(Index: Integer; const S: string)",
                              "procedure LoadFromFile(const FileName: string)",
                              "procedure LoadFromStream(Stream: TStream)",
                              "procedure SaveToFile(const FileName: string)",
                              "procedure SaveToStream(Stream: TStream)"})
            c->AddMethod(S(p), call);
        c->AddProperty(S("Count"), S("Integer"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            return Variant(self<zd::TWideStrings>(Instance)->Count());
        });
        c->AddIndexProperty(S("Objects"), S("Integer"), S("TObject"), call);
        c->AddDefaultProperty(S("Strings"), S("Integer"), S("string"), call);
        c->AddProperty(
            S("Text"), S("string"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                return Variant::fromOleStr(self<zd::TWideStrings>(Instance)->Text());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                self<zd::TWideStrings>(Instance)->SetText(plat::VarToStr(Value));
            });
    }

    static void addReportMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* report = self<TzdReport>(Instance);
            if (Name == QLatin1String("CALC"))
                return report->Calc(zs::param(Caller, 0).toString(), TzdReport::ReportScriptCall);
            if (Name == QLatin1String("GETDATASET"))
                return plat::ObjectToVariant(report->GetDataset(zs::param(Caller, 0).toString()));
            if (Name == QLatin1String("LOADFROMFILE")) {
                refuseWhileRunning(report, "load");
                return Variant(report->LoadFromFile(zs::paramText(Caller, 0), false));
            }
            if (Name == QLatin1String("SAVETOFILE"))
                report->SaveToFile(zs::param(Caller, 0).toString());
            else if (Name == QLatin1String("SHOWREPORT"))
                report->ShowReport(true);
            return Variant(0);
        };
        c->AddMethod(S("function Calc(const Expr: String): Variant"), call);
        c->AddMethod(S("function GetDataset(const Alias: String): TzdDataset"), call);
        c->AddMethod(S("function LoadFromFile(const FileName: String): Boolean"), call);
        c->AddMethod(S("procedure SaveToFile(const FileName: String)"), call);
        c->AddMethod(S("procedure ShowReport"), call);
        c->AddProperty(
            S("Terminated"), S("Boolean"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                auto* report = dynamic_cast<TzdReport*>(Instance);
                return Variant(report && report->Terminated);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* report = dynamic_cast<TzdReport*>(Instance))
                    report->SetTerminated(Value.toBoolean());
            });
        c->AddProperty(S("Variables"), S("TzdVariables"),
                       [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                           auto* report = dynamic_cast<TzdReport*>(Instance);
                           return report ? plat::ObjectToVariant(report->Variables()) : Variant(0);
                       });
        c->AddProperty(S("Styles"), S("TzdStyles"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            auto* report = dynamic_cast<TzdReport*>(Instance);
            return report ? plat::ObjectToVariant(report->Styles()) : Variant(0);
        });
    }

    static void addEngineMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* engine = self<TzdCustomEngine>(Instance);
            if (Name == QLatin1String("ADDANCHOR")) {
                if (engine->ActivePreviewPages)
                    engine->ActivePreviewPages->AddAnchor(zs::paramText(Caller, 0), engine->CurY);
                return Variant(0);
            }
            if (Name == QLatin1String("GETANCHORPAGE"))
                return Variant(engine->ActivePreviewPages
                                   ? engine->ActivePreviewPages->GetAnchorPage(zs::paramText(Caller, 0))
                                   : 1);
            if (Name == QLatin1String("NEWPAGE"))
                engine->NewPage();
            else if (Name == QLatin1String("NEWCOLUMN"))
                engine->NewColumn();
            else if (Name == QLatin1String("SHOWBAND"))
                engine->ShowBand(zs::objectParam<TzdBand>(Caller, 0));
            else if (Name == QLatin1String("FREESPACE"))
                return Variant(double(engine->FreeSpace()));
            else if (Name == QLatin1String("STOPREPORT"))
                engine->StopReport();
            return Variant(0);
        };
        for (const char* p : {"procedure NewPage", "procedure NewColumn", "procedure ShowBand(Band: TzdBand)",
                              "function FreeSpace: Extended", "procedure StopReport",
                              "procedure AddAnchor(const Text: String)",
                              "function GetAnchorPage(const Text: String): Integer"})
            c->AddMethod(S(p), call);
    }

    static void addOutlineMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* outline = self<TzdCustomOutline>(Instance);
            if (Name == QLatin1String("ADDITEM")) {
                TzdCustomEngine* engine = outline->GetEngine();
                outline->AddItem(zs::paramText(Caller, 0), engine ? int(std::nearbyint(double(engine->CurY))) : 0);
            } else if (Name == QLatin1String("LEVELROOT")) {
                outline->LevelRoot();
            } else if (Name == QLatin1String("LEVELUP")) {
                outline->LevelUp();
            }
            return Variant(0);
        };
        for (const char* p : {"procedure AddItem(const Text: String)", "procedure LevelRoot", "procedure LevelUp"})
            c->AddMethod(S(p), call);
    }

    void addFunctions()
    {
        const auto datePart = [](plat::TObject*, const plat::TClass*, const QString& Name,
                                 TzsMethodHelper* Caller) -> Variant {
            const QString format = Name == QLatin1String("DAYOF")     ? S("d")
                                   : Name == QLatin1String("MONTHOF") ? S("m")
                                                                      : S("yyyy");
            return Variant(plat::FormatDateTime(format, zs::param(Caller, 0).toDouble()).toInt());
        };
        Script->AddMethod(S("function DayOf(Date: TDateTime): Integer"), datePart, S("ctDate"));
        Script->AddMethod(S("function MonthOf(Date: TDateTime): Integer"), datePart, S("ctDate"));
        Script->AddMethod(S("function YearOf(Date: TDateTime): Integer"), datePart, S("ctDate"));
        // A report's own script registers these as macro functions, which its
        // calls reach first; here they give the names their categories.
        const auto zero = [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) {
            return Variant(0);
        };
        Script->AddMethod(S("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"), zero,
                          S("ctOther"));
        for (const char* p : {"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                              "function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                              "function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                              "function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                              "function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"})
            Script->AddMethod(S(p), zero, S("ctAggregate"));
    }
};

} // namespace

namespace zd {

void registerScriptClass(const plat::TClass* Class, const QString& Ancestor)
{
    for (const LateClass& late : lateClasses())
        if (late.cls == Class)
            return;
    lateClasses().push_back({Class, Ancestor});
}

void startReportRTTIUnit()
{
    zsAddRTTIModule(zsModuleClass<TzdClassRTTI>());
}

void endReportRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdClassRTTI>());
}

} // namespace zd
