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
#include "zs_items.h"
#include "zs_script.h"

namespace {

using plat::Variant;

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

Variant param(TzsMethodHelper* Caller, int Index)
{
    return Caller->GetParam(Index);
}

template <class T>
T* objectAs(const Variant& value)
{
    if (!plat::VarIsOrdinal(value) || !plat::IsLiveObjectHandle(quint32(value.toInt64())))
        return nullptr;
    return dynamic_cast<T*>(plat::VariantToObject(value));
}

class TzdClassRTTI : public TzsRTTIModule {
public:
    explicit TzdClassRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        addConstants();
        addEnums();
        addClasses();
        Script->AddObject(S("zdGlobalVariables"), zdGlobalVariables());
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
        add(plat::TObject::StaticClass(), "");
        add(plat::TPersistent::StaticClass(), "TObject");
        add(plat::TComponent::StaticClass(), "TPersistent");

        add(TzdHyperlink::StaticClass(), "TPersistent");
        add(TzdCustomFill::StaticClass(), "TPersistent");
        add(TzdBrushFill::StaticClass(), "TzdCustomFill");
        add(TzdGradientFill::StaticClass(), "TzdCustomFill");
        add(TzdGlassFill::StaticClass(), "TzdCustomFill");
        add(TzdFillGaps::StaticClass(), "TPersistent");

        TzsClassVariable* dataSet = add(TzdDataSet::StaticClass(), "TComponent");
        addDataSetMembers(dataSet);
        add(TzdUserDataSet::StaticClass(), "TzdDataSet");
        add(TzdCustomDBDataSet::StaticClass(), "TzdDataSet");

        addComponentMembers(add(TzdComponent::StaticClass(), "TComponent"));
        add(TzdReportComponent::StaticClass(), "TzdComponent");
        add(TzdDialogComponent::StaticClass(), "TzdReportComponent");
        add(TzdFrameLine::StaticClass(), "TPersistent");
        add(TzdFrame::StaticClass(), "TPersistent");
        add(TzdView::StaticClass(), "TzdReportComponent");
        add(TzdShapeView::StaticClass(), "TzdView");
        add(TzdStretcheable::StaticClass(), "TzdView");
        add(TzdHighlight::StaticClass(), "TPersistent");
        add(TzdFormat::StaticClass(), "TPersistent");
        addMemoMembers(add(TzdCustomMemoView::StaticClass(), "TzdStretcheable"));
        add(TzdMemoView::StaticClass(), "TzdCustomMemoView");
        add(TzdSysMemoView::StaticClass(), "TzdCustomMemoView");
        add(TzdCustomLineView::StaticClass(), "TzdStretcheable");
        add(TzdLineView::StaticClass(), "TzdCustomLineView");
        add(TzdPictureView::StaticClass(), "TzdView");
        add(TzdSubreport::StaticClass(), "TzdView");
        add(TzdBand::StaticClass(), "TzdReportComponent");
        add(TzdDataBand::StaticClass(), "TzdBand");
        int count = 0;
        const plat::TClass* const* kinds = zd::bandKindTable(count);
        for (int i = 0; i < count; ++i)
            if (kinds[i] != TzdDataBand::StaticClass())
                add(kinds[i], kinds[i]->InheritsFrom(S("TzdDataBand")) ? "TzdDataBand" : "TzdBand");
        add(TzdPage::StaticClass(), "TzdComponent");
        add(TzdReportPage::StaticClass(), "TzdPage");
        add(TzdDialogPage::StaticClass(), "TzdPage");
        add(TzdDataPage::StaticClass(), "TzdPage");
        add(TzdEngineOptions::StaticClass(), "TPersistent");
        add(TzdPrintOptions::StaticClass(), "TPersistent");
        add(TzdPreviewOptions::StaticClass(), "TPersistent");
        add(TzdReportOptions::StaticClass(), "TPersistent");
        add(TzdVariable::StaticClass(), "TCollectionItem");
        addVariablesMembers(add(TzdVariables::StaticClass(), "TCollection"));
        add(TzdStyleItem::StaticClass(), "TCollectionItem");
        add(TzdStyles::StaticClass(), "TCollection");
        addReportMembers(add(TzdReport::StaticClass(), "TzdComponent"));
        addEngineMembers(add(TzdCustomEngine::StaticClass(), "TPersistent"));
        addOutlineMembers(add(TzdCustomOutline::StaticClass(), "TPersistent"));
    }

    static void addDataSetMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* ds = dynamic_cast<TzdDataSet*>(Instance);
            if (!ds)
                return Variant(0);
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
            else if (Name == QLatin1String("VALUE.GET"))
                return ds->GetValue(param(Caller, 0).toString());
            else if (Name == QLatin1String("DISPLAYTEXT.GET"))
                return Variant(ds->GetDisplayText(param(Caller, 0).toString()));
            return Variant(0);
        };
        for (const char* p : {"procedure Open", "procedure Close", "procedure First", "procedure Next",
                              "procedure Prior", "function Eof: Boolean", "function FieldsCount: Integer",
                              "function RecordCount: Integer"})
            c->AddMethod(S(p), call);
        c->AddIndexProperty(S("Value"), S("String"), S("Variant"), call, true);
        c->AddIndexProperty(S("DisplayText"), S("String"), S("String"), call, true);
    }

    static void addComponentMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* obj = dynamic_cast<TzdComponent*>(Instance);
            if (!obj)
                return Variant(0);
            if (Name == QLatin1String("FINDOBJECT"))
                return plat::ObjectToVariant(obj->FindObject(param(Caller, 0).toString()));
            if (Name == QLatin1String("SETBOUNDS"))
                obj->SetBounds(param(Caller, 0).toDouble(), param(Caller, 1).toDouble(), param(Caller, 2).toDouble(),
                               param(Caller, 3).toDouble());
            else if (Name == QLatin1String("CLEAR"))
                obj->Clear();
            return Variant(0);
        };
        c->AddMethod(S("function FindObject(s: String): TzdComponent"), call);
        c->AddMethod(S("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)"), call);
        c->AddMethod(S("procedure Clear"), call);
        c->AddProperty(
            S("Parent"), S("TzdComponent"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                auto* obj = dynamic_cast<TzdComponent*>(Instance);
                return obj ? plat::ObjectToVariant(obj->Parent()) : Variant(0);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* obj = dynamic_cast<TzdComponent*>(Instance))
                    obj->SetParent(objectAs<TzdComponent>(Value));
            });
        c->AddProperty(S("Page"), S("TzdPage"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            auto* obj = dynamic_cast<TzdComponent*>(Instance);
            return obj ? plat::ObjectToVariant(obj->GetPage()) : Variant(0);
        });
        c->AddProperty(S("AbsLeft"), S("Extended"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            auto* obj = dynamic_cast<TzdComponent*>(Instance);
            return obj ? Variant(double(obj->GetAbsLeft())) : Variant(0);
        });
        c->AddProperty(S("AbsTop"), S("Extended"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            auto* obj = dynamic_cast<TzdComponent*>(Instance);
            return obj ? Variant(double(obj->GetAbsTop())) : Variant(0);
        });
    }

    static void addMemoMembers(TzsClassVariable* c)
    {
        c->AddProperty(
            S("Text"), S("String"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) {
                auto* memo = dynamic_cast<TzdCustomMemoView*>(Instance);
                return memo ? Variant(memo->Text()) : Variant(0);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* memo = dynamic_cast<TzdCustomMemoView*>(Instance))
                    memo->SetText(plat::VarToStr(Value));
            });
        c->AddProperty(S("Value"), S("Variant"), [](plat::TObject* Instance, const plat::TClass*, const QString&) {
            auto* memo = dynamic_cast<TzdCustomMemoView*>(Instance);
            return memo ? memo->CurrentValue : Variant(0);
        });
        c->AddMethod(S("function CalcHeight: Extended"),
                     [](plat::TObject* Instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                         auto* memo = dynamic_cast<TzdCustomMemoView*>(Instance);
                         return memo ? Variant(double(memo->CalcHeight())) : Variant(0);
                     });
    }

    static void addVariablesMembers(TzsClassVariable* c)
    {
        c->AddDefaultProperty(S("Variables"), S("String"), S("Variant"),
                              [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                                 TzsMethodHelper* Caller) -> Variant {
                                  auto* vars = dynamic_cast<TzdVariables*>(Instance);
                                  if (!vars)
                                      return Variant(0);
                                  const QString key = param(Caller, 0).toString();
                                  if (Name == QLatin1String("VARIABLES.GET"))
                                      return vars->GetVariables(key);
                                  vars->SetVariables(key, Caller->AssignedValue);
                                  return Variant(0);
                              });
    }

    static void addReportMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* report = dynamic_cast<TzdReport*>(Instance);
            if (!report)
                return Variant(0);
            if (Name == QLatin1String("CALC"))
                return report->Calc(param(Caller, 0).toString(), TzdReport::ReportScriptCall);
            if (Name == QLatin1String("GETDATASET"))
                return plat::ObjectToVariant(report->GetDataset(param(Caller, 0).toString()));
            if (Name == QLatin1String("LOADFROMFILE"))
                return Variant(report->LoadFromFile(param(Caller, 0).toString(), false));
            if (Name == QLatin1String("SAVETOFILE"))
                report->SaveToFile(param(Caller, 0).toString());
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
            auto* engine = dynamic_cast<TzdCustomEngine*>(Instance);
            if (!engine)
                return Variant(0);
            if (Name == QLatin1String("NEWPAGE"))
                engine->NewPage();
            else if (Name == QLatin1String("NEWCOLUMN"))
                engine->NewColumn();
            else if (Name == QLatin1String("SHOWBAND"))
                engine->ShowBand(objectAs<TzdBand>(param(Caller, 0)));
            else if (Name == QLatin1String("FREESPACE"))
                return Variant(double(engine->FreeSpace()));
            else if (Name == QLatin1String("STOPREPORT"))
                engine->StopReport();
            return Variant(0);
        };
        for (const char* p : {"procedure NewPage", "procedure NewColumn", "procedure ShowBand(Band: TzdBand)",
                              "function FreeSpace: Extended", "procedure StopReport"})
            c->AddMethod(S(p), call);
    }

    static void addOutlineMembers(TzsClassVariable* c)
    {
        const auto call = [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                             TzsMethodHelper* Caller) -> Variant {
            auto* outline = dynamic_cast<TzdCustomOutline*>(Instance);
            if (!outline)
                return Variant(0);
            if (Name == QLatin1String("ADDITEM")) {
                TzdCustomEngine* engine = outline->GetEngine();
                outline->AddItem(param(Caller, 0).toString(), engine ? int(qRound(double(engine->CurY))) : 0);
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
            return Variant(plat::FormatDateTime(format, param(Caller, 0).toDouble()).toInt());
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

void startReportRTTIUnit()
{
    zsAddRTTIModule(zsModuleClass<TzdClassRTTI>());
}

void endReportRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdClassRTTI>());
}

} // namespace zd
