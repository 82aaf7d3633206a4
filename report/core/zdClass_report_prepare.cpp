// The working half of the report document: the script set-up, the value of
// names, expressions through their cache, preparation through the engine,
// and showing, designing and printing through the service bases.

#include "zdClass_report.h"

#include "Application.h"
#include "Exceptions.h"
#include "Handles.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_view.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdPrinterLink.h"
#include "zdReportComponent.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zs_iinterpreter.h"
#include "zs_items.h"
#include "zs_script.h"
#include "zs_stmts.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {

QString resText(const char* key)
{
    return zdGetResources()->GetText(QString::fromLatin1(key));
}

// The owner stamp of the report's own script items (host functions).
constexpr quintptr kUserFunctionStamp = 2;

struct WrapperText {
    const char* language;
    const char* head;
    const char* middle;
    const char* tail;
};

// "zd3f" N between head and middle, the expression between middle and tail.
constexpr WrapperText kWrappers[] = {
    {"PascalScript", "function zd3f", ": Variant; begin Result := ", " end; begin end."},
    {"C++Script", "Variant zd3f", "() { return ", "; } {}"},
    {"BasicScript", "function zd3f", "\r\nreturn ", "\r\nend function"},
    {"JScript", "function zd3f", "() { return ", "; }"},
};

const WrapperText* wrapperOf(const QString& language)
{
    for (const WrapperText& w : kWrappers)
        if (language.compare(QLatin1String(w.language), Qt::CaseInsensitive) == 0)
            return &w;
    return nullptr;
}

// Puts the flag back also when the expression raises.
class MainProgramOff {
public:
    explicit MainProgramOff(TzsScript* script) : m_script(script)
    {
        if (m_script)
            m_script->IsMainProgram = false;
    }
    ~MainProgramOff()
    {
        if (m_script)
            m_script->IsMainProgram = true;
    }
    MainProgramOff(const MainProgramOff&) = delete;
    MainProgramOff& operator=(const MainProgramOff&) = delete;

private:
    TzsScript* m_script;
};

void processMessages()
{
    plat::Application().ProcessMessages();
}

plat::Variant paramAt(const plat::Variant& Params, int Index)
{
    if (!Params.isArray())
        return plat::Null();
    const int low = plat::VarArrayLowBound(Params, 1);
    if (low + Index > plat::VarArrayHighBound(Params, 1))
        return plat::Null();
    return plat::VarArrayGet(Params, {low + Index});
}

// A macro argument arrives as its source text; an argument left out arrives
// as its default value.
QString argumentText(const plat::Variant& Arg)
{
    if (Arg.isNull() || Arg.isEmpty())
        return {};
    return Arg.toString();
}

} // namespace

// ---------------------------------------------------------------------------
// The expression cache

TzdExpressionCache::TzdExpressionCache(TzsScript* OwnerScript)
    : m_ownerScript(OwnerScript)
    , m_cacheScript(std::make_unique<TzsScript>(nullptr))
{
    m_cacheScript->AllowExtendedChars = true;
}

TzdExpressionCache::~TzdExpressionCache() = default;

void TzdExpressionCache::Clear()
{
    m_compiled.clear();
    m_cacheScript->Parent = nullptr;
    m_cacheScript->Clear();
}

QString TzdExpressionCache::FunctionName(const QString& Expression) const
{
    const auto it = m_compiled.find(Expression);
    return it == m_compiled.end() ? QString() : it->second->Name;
}

plat::Variant TzdExpressionCache::Calc(const QString& Expression, QString& Error, TzsScript* Script)
{
    Error.clear();
    m_cacheScript->Parent = Script;
    m_cacheScript->OnGetVarValue = Script ? Script->OnGetVarValue : TzsGetVariableValueEvent();
    TzsCustomVariable* function = nullptr;
    const auto it = m_compiled.find(Expression);
    if (it != m_compiled.end()) {
        function = it->second;
    } else {
        const QString name = QStringLiteral("zd3f") + QString::number(Count());
        const WrapperText* wrapper = wrapperOf(ScriptLanguage);
        bool compiled = false;
        QString message;
        if (wrapper) {
            m_cacheScript->SyntaxType = ScriptLanguage;
            m_cacheScript->Lines.SetText(QString::fromLatin1(wrapper->head) + QString::number(Count()) +
                                         QString::fromLatin1(wrapper->middle) + Expression +
                                         QString::fromLatin1(wrapper->tail));
            compiled = m_cacheScript->Compile();
            message = m_cacheScript->ErrorMessage;
            function = m_cacheScript->FindLocal(name);
        } else {
            // A language without an expression form: an error, never a
            // function that is not there.
            message = zs::message(zs::Msg::SLangNotFound, ScriptLanguage);
        }
        if (!compiled || !function) {
            if (function) {
                m_cacheScript->Remove(function);
                delete function;
            }
            Error = resText("clExprError") + QStringLiteral(" '") + Expression + QStringLiteral("': ") + message;
            return plat::Null();
        }
        m_compiled.emplace(Expression, function);
    }
    plat::Variant value = plat::Null();
    MainProgramOff off(m_ownerScript);
    try {
        value = function->GetValue();
    } catch (const plat::Exception& e) {
        Error = e.message();
    }
    return value;
}

// ---------------------------------------------------------------------------
// Script set-up

TzsScript* const TzdReport::ReportScriptCall = reinterpret_cast<TzsScript*>(quintptr(1));

zd::CustomDataHandler TzdReport::CustomDataReader() const
{
    if (!OnGetCustomData)
        return {};
    return [event = OnGetCustomData](TzdXMLItem* Item) { event(Item); };
}

zd::CustomDataHandler TzdReport::CustomDataWriter() const
{
    if (!OnSaveCustomData)
        return {};
    return [event = OnSaveCustomData](TzdXMLItem* Item) { event(Item); };
}

bool TzdReport::EngineRunning() const
{
    return m_engine && m_engine->BuildRunning;
}

void TzdReport::SetTerminated(bool Value)
{
    Terminated = Value;
    if (Value && m_script)
        m_script->Terminate();
}

void TzdReport::SetLocalValue(const plat::Variant& Value)
{
    if (m_valueVariable)
        m_valueVariable->Value = Value;
}

void TzdReport::SetSelfValue(TzdComponent* View)
{
    if (m_selfVariable)
        m_selfVariable->Value = plat::ObjectToVariant(View);
}

void TzdReport::registerScriptItems(TzdReport* ActiveReport)
{
    TzsScript* script = m_script.get();
    const bool itself = ActiveReport == this;
    for (TzdComponent* own : std::vector<TzdComponent*>(AllObjects())) {
        TzdComponent* obj = own;
        if (!itself)
            if (TzdComponent* same = ActiveReport->FindObject(own->Name()); same && same->Name() == own->Name())
                obj = same;
        obj->DesignMode = false;
        obj->PrepareForRun();
        if (auto* picture = dynamic_cast<TzdPictureView*>(obj))
            picture->PictureChanged = true;
        if (!own->IsAncestor() && !own->Name().isEmpty())
            script->AddObject(own->Name(), obj);
    }
    script->AddObject(QStringLiteral("Report"), ActiveReport);
    script->AddObject(QStringLiteral("Engine"), ActiveReport->m_engine.get());
    TzdCustomPreviewPages* pages = ActiveReport->m_activePreviewPages;
    script->AddObject(QStringLiteral("Outline"), pages ? pages->Outline() : nullptr);
    script->AddVariable(QStringLiteral("Value"), QStringLiteral("Variant"), plat::Null());
    script->AddVariable(QStringLiteral("Self"), QStringLiteral("TzdView"), plat::Null());
    script->AddParamsMethod(QStringLiteral("function Get(Name: String): Variant"),
                            [this](plat::TObject*, const plat::TClass*, const QString&, plat::Variant& Params) {
                                return scriptGet(paramAt(Params, 0).toString());
                            });
    script->AddParamsMethod(QStringLiteral("procedure Set(Name: String; Value: Variant)"),
                            [this](plat::TObject*, const plat::TClass*, const QString&, plat::Variant& Params) {
                                m_variables->SetVariables(paramAt(Params, 0).toString(), paramAt(Params, 1));
                                return plat::Null();
                            });
    const auto macro = [this](plat::TObject*, const plat::TClass*, const QString& MethodName,
                              plat::Variant& Params) { return callMacroFunction(MethodName, Params); };
    for (const char* prototype :
         {"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
          "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
          "macrofunction AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
          "macrofunction MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
          "macrofunction MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
          "macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"})
    {
        TzsMethodHelper* helper = script->AddParamsMethod(QString::fromLatin1(prototype), macro);
        // A macro receives its arguments as source text, whatever the
        // prototype's types say.
        for (int i = 0; i < helper->ParamCount(); ++i)
            helper->TzsCustomVariable::GetParam(i)->Kind = fvtVariant;
    }
    m_valueVariable = script->Find(QStringLiteral("Value"));
    m_selfVariable = script->Find(QStringLiteral("Self"));
}

bool TzdReport::CompileScript(TzdReport* ActiveReport)
{
    const bool inherits = m_parentTemplate != nullptr;
    TzsScript* parentScript = inherits ? m_parentTemplate->m_script.get() : nullptr;
    if (!m_savedParentScript && (!inherits || m_script->Parent != parentScript))
        m_savedParentScript = m_script->Parent;
    if (m_savedParentScript && inherits)
        m_parentTemplate->m_savedParentScript = m_savedParentScript;
    if (!ActiveReport)
        ActiveReport = this;

    if (inherits) {
        // The host's functions reach the parent template's script as well.
        const quintptr stamp = parentScript->OwnerStamp;
        parentScript->OwnerStamp = kUserFunctionStamp;
        for (int i = 0; i < m_script->GetCount(); ++i) {
            auto* helper = dynamic_cast<TzsMethodHelper*>(m_script->GetItem(i));
            if (!helper || helper->RegisteredBy != kUserFunctionStamp)
                continue;
            parentScript->AddParamsMethod(
                helper->Syntax,
                [this](plat::TObject*, const plat::TClass*, const QString& MethodName, plat::Variant& Params) {
                    return OnUserFunction(MethodName, Params);
                },
                helper->Category, helper->Description);
        }
        parentScript->OwnerStamp = stamp;
        if (!m_parentTemplate->CompileScript(ActiveReport)) {
            AddErrors({plat::Format(resText("clScrError"),
                                    {QStringLiteral("Parent report: ") + m_parentReport + QStringLiteral(" Line: ") +
                                         parentScript->ErrorPosition,
                                     parentScript->ErrorMessage})});
            return false;
        }
    }

    m_exprCache->Clear();
    m_exprCache->ScriptLanguage = m_scriptLanguage;
    if (m_engine)
        m_engine->NotifyList.clear();

    const auto stamp = reinterpret_cast<quintptr>(ActiveReport);
    m_script->ClearItems(stamp);
    m_valueVariable = nullptr;
    m_selfVariable = nullptr;
    m_script->OwnerStamp = stamp;
    m_script->IsMainProgram = true;
    m_script->Parent = inherits ? parentScript : m_savedParentScript;
    bool compiled = false;
    try {
        registerScriptItems(ActiveReport);
        m_script->Lines.Assign(*m_scriptText);
        m_script->SyntaxType = m_scriptLanguage;
        compiled = m_script->Compile();
        if (!compiled)
            AddErrors({plat::Format(resText("clScrError"), {m_script->ErrorPosition, m_script->ErrorMessage})});
    } catch (...) {
        m_script->OwnerStamp = 0;
        throw;
    }
    m_script->OwnerStamp = 0;
    return compiled;
}

// ---------------------------------------------------------------------------
// Names and expressions

TzdDataSet* TzdReport::GetDataset(const QString& Alias) const
{
    for (int i = 0; i < m_dataSets->Count(); ++i) {
        TzdDataSetItem* item = m_dataSets->GetItem(i);
        if (item->DataSet() && item->DataSet()->UserName().compare(Alias, Qt::CaseInsensitive) == 0)
            return item->DataSet();
    }
    return nullptr;
}

QString TzdReport::AliasOfDataset(TzdDataSet* DataSet) const
{
    if (!DataSet)
        return {};
    if (m_dataSets->FindByDataSet(DataSet))
        return DataSet->UserName();
    return resText("clDSNotIncl");
}

void TzdReport::SplitDatasetField(const QString& Text, TzdDataSet*& DataSet, QString& Field) const
{
    DataSet = nullptr;
    Field.clear();
    const qsizetype at = Text.indexOf(QStringLiteral(".\""));
    if (at < 0)
        return;
    DataSet = GetDataset(Text.left(at));
    Field = Text.mid(at + 2);
    Field.chop(1); // the closing quote
}

void TzdReport::ListReportDatasets(QStringList& Names, std::vector<TzdDataSet*>& Objects, bool OnlyDB) const
{
    for (int i = 0; i < m_dataSets->Count(); ++i) {
        TzdDataSet* ds = m_dataSets->GetItem(i)->DataSet();
        if (!ds || (OnlyDB && dynamic_cast<TzdUserDataSet*>(ds)))
            continue;
        Names << ds->UserName();
        Objects.push_back(ds);
    }
}

void TzdReport::ListAvailableDatasets(QStringList& Names, std::vector<TzdDataSet*>& Objects) const
{
    if (m_engineOptions->GlobalDataSetLookup) {
        TzdGlobalDataSetList* list = zdGlobalDataSets();
        list->Lock();
        for (TzdDataSet* ds : list->items()) {
            Names << ds->UserName();
            Objects.push_back(ds);
        }
        list->Unlock();
        return;
    }
    for (int i = 0; i < m_offeredDataSets->Count(); ++i)
        if (TzdDataSet* ds = m_offeredDataSets->GetItem(i)->DataSet()) {
            Names << ds->UserName();
            Objects.push_back(ds);
        }
}

bool TzdReport::resolveVariable(const QString& Name, plat::Variant& Value)
{
    const int index = m_variables->IndexOf(Name);
    if (index < 0)
        return false;
    const plat::Variant stored = m_variables->GetItem(index)->Value();
    if (!stored.isString() || stored.toString().contains(QStringLiteral("\r\n"))) {
        Value = stored;
        return true;
    }
    // A variable met again while its own expression is evaluated names
    // itself through a cycle: one error naming it, not a recursion down to
    // the script's call limit.
    for (const QString& open : m_variablesInCalc)
        if (open.compare(Name, Qt::CaseInsensitive) == 0)
            throw plat::Exception(resText("clExprError") + QStringLiteral(" '") + stored.toString() +
                                  QStringLiteral("': circular reference to variable \"") +
                                  m_variables->GetItem(index)->Name() + u'"');
    m_variablesInCalc << Name;
    try {
        Value = Calc(stored.toString(), nullptr);
    } catch (...) {
        m_variablesInCalc.removeLast();
        throw;
    }
    m_variablesInCalc.removeLast();
    return true;
}

bool TzdReport::ResolveName(const QString& Name, plat::Variant& Value)
{
    Value = plat::Null();
    TzdDataSet* ds = nullptr;
    QString field;
    SplitDatasetField(Name, ds, field);
    if (ds && !field.isEmpty()) {
        Value = ds->GetValue(field);
        if (m_engineOptions->ConvertNulls && Value.isNull()) {
            switch (int(ds->GetFieldType(field))) {
            case fftNumeric:
            case 3: // date and time
                Value = plat::Variant(0);
                break;
            case fftString:
                Value = plat::Variant(QString());
                break;
            case fftBoolean:
                Value = plat::Variant(false);
                break;
            default:
                break;
            }
        }
        return true;
    }

    for (const QString& system : m_systemVariableNames) {
        if (system.compare(Name, Qt::CaseInsensitive) != 0)
            continue;
        const QString key = system.toUpper();
        TzdCustomPreviewPages* pages = m_activePreviewPages;
        if (key == QLatin1String("DATE"))
            Value = plat::Variant::fromDate(m_engine ? double(m_engine->StartDate) : 0.0);
        else if (key == QLatin1String("TIME"))
            Value = plat::Variant::fromDate(m_engine ? double(m_engine->StartTime) : 0.0);
        else if (key == QLatin1String("PAGE"))
            Value = plat::Variant(pages ? pages->LogicalPageNumber() : 0);
        else if (key == QLatin1String("PAGE#"))
            Value = plat::Variant(pages ? pages->CurPageIndex + 1 : 0);
        else if (key == QLatin1String("TOTALPAGES"))
            Value = plat::Variant(pages ? pages->LogicalPageTotal() : 0);
        else if (key == QLatin1String("TOTALPAGES#"))
            Value = plat::Variant(m_engine ? m_engine->TotalPages : 0);
        else if (key == QLatin1String("LINE"))
            Value = plat::Variant(m_engine ? m_engine->CurLine : 0);
        else if (key == QLatin1String("LINE#"))
            Value = plat::Variant(m_engine ? m_engine->CurLineThrough : 0);
        else if (key == QLatin1String("COPYNAME#")) {
            TzdVariables* globals = zdGlobalVariables();
            const int index = globals->IndexOf(QStringLiteral("CopyName0"));
            Value = index < 0 ? plat::Null() : globals->GetItem(index)->Value();
        }
        return true;
    }

    plat::Variant host;
    OnGetValue(Name, host);
    OnNewGetValue(this, Name, host);
    if (!host.isEmpty()) {
        Value = host;
        return true;
    }

    if (resolveVariable(Name, Value))
        return true;

    TzdVariables* globals = zdGlobalVariables();
    if (const int index = globals->IndexOf(Name); index >= 0) {
        Value = globals->GetItem(index)->Value();
        return true;
    }

    if (TzsCustomVariable* item = m_script->FindLocal(Name)) {
        if (!dynamic_cast<TzsProcVariable*>(item) && !dynamic_cast<TzsMethodHelper*>(item)) {
            // The item asks the report for its value in turn: not again.
            const bool reading = m_readingScriptItem;
            m_readingScriptItem = true;
            try {
                Value = item->GetValue();
            } catch (...) {
                m_readingScriptItem = reading;
                throw;
            }
            m_readingScriptItem = reading;
            return true;
        }
    }
    Value = plat::Null();
    return false;
}

plat::Variant TzdReport::Calc(const QString& Expression, TzsScript* AScript)
{
    plat::Variant value = plat::Null();
    const bool fromScript = AScript == ReportScriptCall;
    QString error;
    try {
        if (ResolveName(Expression, value))
            return value;
    } catch (const plat::Exception& e) {
        // A variable's expression failed (or named itself): reported below
        // by the outermost evaluation.
        if (!m_variablesInCalc.isEmpty())
            throw;
        error = e.message();
    }
    if (error.isEmpty()) {
        TzsScript* script = (!AScript || fromScript) ? m_script.get() : AScript;
        value = m_exprCache->Calc(Expression, error, script);
        if (error.isEmpty())
            return value;
    }
    if (m_engineOptions->IgnoreDevByZero && error == QLatin1String("Floating point division by zero"))
        return value;
    if (fromScript)
        throw plat::Exception(resText("clErrorInExp") + error);
    // An expression inside another one (a variable's) raises its text as it
    // is: the outermost one names the object and enters it once.
    if (!m_variablesInCalc.isEmpty())
        throw plat::Exception(error);
    if (!EvaluatedObjectName.isEmpty())
        error = EvaluatedObjectName + QStringLiteral(": ") + error;
    AddErrors({error});
    throw plat::Exception(error);
}

plat::Variant TzdReport::scriptGet(const QString& Name)
{
    plat::Variant value;
    if (ResolveName(Name, value))
        return value;
    const QString head = Name.section(u'(', 0, 0).trimmed().toUpper();
    if (head == QLatin1String("SUM") || head == QLatin1String("MIN") || head == QLatin1String("MAX") ||
        head == QLatin1String("AVG") || head == QLatin1String("COUNT"))
        return Calc(Name, nullptr);
    AddErrors({resText("clUnknownVar") + u' ' + Name});
    return plat::Null();
}

plat::Variant TzdReport::callMacroFunction(const QString& MethodName, plat::Variant& Params)
{
    TzsScript* running = m_script->RunningProgram;
    const QString name = MethodName.toUpper();
    plat::Variant result = plat::Null();
    if (name == QLatin1String("IIF")) {
        try {
            const plat::Variant condition = Calc(argumentText(paramAt(Params, 0)), running);
            const bool yes = condition.isString() ? false : (!condition.isNull() && !condition.isEmpty() &&
                                                              condition.toBoolean());
            result = Calc(argumentText(paramAt(Params, yes ? 1 : 2)), running);
        } catch (const plat::Exception&) {
        }
        return result;
    }
    // Band and Flags: evaluated when given, 0 when left out; Band is an
    // object reference (a band's name gives the band).
    const auto argument = [&](const plat::Variant& arg) -> plat::Variant {
        const QString text = argumentText(arg).trimmed();
        if (text.isEmpty())
            return plat::Variant(0);
        const plat::Variant v = Calc(text, running);
        return v.isNull() || v.isEmpty() ? plat::Variant(0) : v;
    };
    const bool count = name == QLatin1String("COUNT");
    const int first = count ? 0 : 1;
    const plat::Variant band = argument(paramAt(Params, first));
    const int flags = argument(paramAt(Params, first + 1)).toInteger();
    if (!m_engine)
        return result;
    TzdBand* bandObject = nullptr;
    if (plat::VarIsOrdinal(band) && plat::IsLiveObjectHandle(quint32(band.toInt64())))
        bandObject = dynamic_cast<TzdBand*>(plat::VariantToObject(band));
    return m_engine->EvaluateAggregate(name, count ? QString() : argumentText(paramAt(Params, 0)), bandObject,
                                       flags);
}

// ---------------------------------------------------------------------------
// Script events

void TzdReport::RunScriptEvent(TzdComponent* Sender, const QString& HandlerName, bool Force)
{
    if ((!Force && !EngineRunning()) || HandlerName.isEmpty())
        return;
    m_script->CallFunction(HandlerName, plat::VarArrayOf({plat::ObjectToVariant(Sender)}), true);
}

void TzdReport::RunScriptEventWithParams(const QString& HandlerName, plat::Variant& Params, bool Force)
{
    if ((!Force && !EngineRunning()) || HandlerName.isEmpty())
        return;
    m_script->CallFunctionVar(HandlerName, Params, true);
}

void TzdReport::FireBeforePrint(TzdReportComponent* Sender)
{
    OnBeforePrint(Sender);
    RunScriptEvent(Sender, Sender->OnBeforePrint);
}

void TzdReport::FireAfterPrint(TzdReportComponent* Sender)
{
    OnAfterPrint(Sender);
    RunScriptEvent(Sender, Sender->OnAfterPrint);
}

void TzdReport::FirePreviewClick(TzdView* Sender, plat::TMouseButton Button, plat::TShiftState Shift, bool& Modified,
                                 bool DblClick, bool EndedDrag)
{
    plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(Sender), plat::Variant(int(Button)),
                                             plat::Variant(int(Shift.mask())), plat::Variant(Modified)});
    if (DblClick)
        RunScriptEventWithParams(Sender->OnPreviewDblClick, params, true);
    else if (!EndedDrag)
        RunScriptEventWithParams(Sender->OnPreviewClick, params, true);
    Modified = plat::VarArrayGet(params, {3}).toBoolean();
    if (DblClick)
        OnDblClickObject(Sender, Button, Shift, Modified);
    else if (!EndedDrag)
        OnClickObject(Sender, Button, Shift, Modified);
}

void TzdReport::FireMouseEnter(TzdView* Sender, bool& Refresh)
{
    Sender->MouseEnter(Sender, Refresh);
    OnMouseEnter(Sender);
    if (Sender->OnMouseEnter.isEmpty())
        return;
    plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(Sender), plat::Variant(Refresh)});
    RunScriptEventWithParams(Sender->OnMouseEnter, params, true);
    Refresh = plat::VarArrayGet(params, {1}).toBoolean();
}

void TzdReport::FireMouseLeave(TzdView* Sender, bool& Refresh)
{
    Sender->MouseLeave(Sender, Refresh);
    OnMouseLeave(Sender);
    if (Sender->OnMouseLeave.isEmpty())
        return;
    plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(Sender), plat::Variant(Refresh)});
    RunScriptEventWithParams(Sender->OnMouseLeave, params, true);
    Refresh = plat::VarArrayGet(params, {1}).toBoolean();
}

void TzdReport::FireMouseUp(TzdView* Sender, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                            bool& Modified)
{
    if (Sender->OnMouseUp.isEmpty())
        return;
    plat::Variant params = plat::VarArrayOf({plat::ObjectToVariant(Sender), plat::Variant(X), plat::Variant(Y),
                                             plat::Variant(int(Button)), plat::Variant(int(Shift.mask())),
                                             plat::Variant(this->Modified)});
    RunScriptEventWithParams(Sender->OnMouseUp, params, true);
    Modified = plat::VarArrayGet(params, {5}).toBoolean();
}

// ---------------------------------------------------------------------------
// Progress

bool TzdReport::progressWindowUsed(TzdProgressType ProgressType) const
{
    return ShowProgress && (OldStyleProgress || ProgressType != ptRunning) && zdReportWindows();
}

void TzdReport::BeginProgress(TzdProgressType ProgressType)
{
    if (m_engineOptions->ThreadSafeMode)
        return;
    OnProgressStart(this, ProgressType, 0);
    if (progressWindowUsed(ProgressType)) {
        if (m_progressWindowOpen)
            zdReportWindows()->CloseProgress();
        zdReportWindows()->OpenProgress(this);
        m_progressWindowOpen = true;
    }
    if (m_preview && ProgressType == ptRunning)
        m_preview->PrepareStarted(this, ProgressType, 0);
    processMessages();
}

void TzdReport::StepProgress(TzdProgressType ProgressType, int Progress)
{
    if (m_engineOptions->ThreadSafeMode)
        return;
    OnProgress(this, ProgressType, Progress);
    if (m_progressWindowOpen && progressWindowUsed(ProgressType)) {
        const char* key = ProgressType == ptExporting  ? "prExporting"
                          : ProgressType == ptPrinting ? "prPrinting"
                          : (m_engine && m_engine->FinalPass) ? "prRunning"
                                                               : "prRunningFirst";
        zdReportWindows()->SetProgressMessage(plat::Format(resText(key), {Progress}));
        if (zdReportWindows()->ProgressCancelled())
            SetTerminated(true);
    }
    if (m_preview && ProgressType == ptRunning)
        m_preview->PageAdded(this, ProgressType, Progress - 1);
    processMessages();
}

void TzdReport::EndProgress(TzdProgressType ProgressType)
{
    if (m_engineOptions->ThreadSafeMode)
        return;
    OnProgressStop(this, ProgressType, 0);
    if (m_progressWindowOpen && zdReportWindows()) {
        zdReportWindows()->CloseProgress();
        m_progressWindowOpen = false;
    }
    if (m_preview && ProgressType == ptRunning)
        m_preview->PrepareFinished(this, ProgressType, 0);
    processMessages();
}

void TzdReport::ShowProgressText(const QString& Text, bool SecondPanel)
{
    if (m_engineOptions->ThreadSafeMode)
        return;
    if (OldStyleProgress && EngineRunning() && ShowProgress && m_progressWindowOpen && zdReportWindows())
        zdReportWindows()->SetProgressMessage(Text);
    if (PreviewWindow && zdReportWindows())
        zdReportWindows()->SetPreviewMessage(PreviewWindow, Text, SecondPanel);
    processMessages();
}

void TzdReport::ApplyPrinterOption()
{
    TzdPrinterLink* link = zdPrinterLink();
    if (!link)
        return;
    const int index = link->IndexOf(m_printOptions->Printer);
    if (index >= 0)
        link->SetPrinterIndex(index);
}

// ---------------------------------------------------------------------------
// Preparation

bool TzdReport::checkDatasets()
{
    for (int i = 0; i < m_dataSets->Count(); ++i) {
        TzdDataSetItem* item = m_dataSets->GetItem(i);
        if (!item->DataSet())
            AddErrors({plat::Format(resText("clDSNotExist"), {item->DataSetName()})});
    }
    return m_errorList.isEmpty();
}

bool TzdReport::runPreparation()
{
    bool result = false;
    try {
        OnBeginDoc(this);
        if (CompileScript(nullptr)) {
            OnAfterScriptCompile(this);
            TzsStatement* main = m_script->MainBlock();
            if (main && main->Count() > 0)
                m_script->Execute();
            if (!Terminated && m_engine) {
                // Whatever a run leaves in the engine starts afresh.
                m_engine->SecondScriptCall = false;
                m_engine->FinalPass = false;
                EvaluatedObjectName.clear();
                result = m_engine->Run(true, false, nullptr);
            }
            if (result)
                OnEndDoc(this);
            else if (PreviewWindow && zdReportWindows()) {
                zdReportWindows()->ClosePreviewWindow(PreviewWindow);
                PreviewWindow = nullptr;
            }
        }
    } catch (const plat::Exception& e) {
        QString message = e.message();
        if (!m_script->ErrorPosition.isEmpty())
            message += u' ' + m_script->ErrorPosition;
        AddErrors({message});
        result = false;
    }
    return result;
}

bool TzdReport::Prepare(bool ClearLastReport)
{
    // Progress steps let events run: a second preparation must not start
    // inside the first.
    if (EngineRunning())
        return false;
    if (ClearLastReport && m_activePreviewPages)
        m_activePreviewPages->Clear();
    if (m_preview)
        m_preview->AttachReport(this, m_activePreviewPages);
    m_errorList.clear();
    Terminated = false;
    m_variablesInCalc.clear();
    bool result = false;
    if (checkDatasets()) {
        // The script and the engine may change the template: a copy taken
        // here puts it back afterwards.
        std::unique_ptr<plat::TStream> copy;
        QString copyFile;
        QString password;
        int splicing = 0;
        if (m_engineOptions->DestroyForms) {
            password = m_reportOptions->Password;
            m_reportOptions->Password.clear();
            if (m_engineOptions->UseFileCache) {
                copyFile = zdCreateTempFileIn(m_engineOptions->TempDir);
                copy = std::make_unique<plat::TFileStream>(copyFile, plat::fmOpenReadWrite);
            } else {
                copy = std::make_unique<plat::TMemoryStream>();
            }
            splicing = m_printOptions->SplicingLine;
            try {
                SaveToStream(*copy, true, false);
            } catch (...) {
                m_reportOptions->Password = password;
                copy.reset();
                if (!copyFile.isEmpty())
                    QFile::remove(copyFile);
                throw;
            }
        }
        result = runPreparation();
        if (copy) {
            const QStringList errors = m_errorList;
            copy->SetPosition(0);
            const TzdDuplexMode duplex = m_printOptions->Duplex;
            ReloadingTemplate = true;
            try {
                LoadFromStream(*copy);
            } catch (const plat::Exception& e) {
                m_errorList = errors;
                AddErrors({e.message()});
            }
            ReloadingTemplate = false;
            m_reportOptions->Password = password;
            m_printOptions->SplicingLine = splicing;
            m_printOptions->Duplex = duplex;
            copy.reset();
            if (!copyFile.isEmpty())
                QFile::remove(copyFile);
            const QStringList afterReload = m_errorList;
            m_errorList = errors;
            for (const QString& e : afterReload)
                if (!errors.contains(e))
                    AddErrors({e});
        }
    }
    if (!m_errorList.isEmpty()) {
        result = false;
        reportErrors();
    }
    return result;
}

bool TzdReport::PrepareSinglePage(TzdPage* Page)
{
    if (!m_engine || EngineRunning())
        return false;
    return m_engine->Run(false, false, Page);
}

void TzdReport::AttachPreviewPages(TzdCustomPreviewPages* PreviewPages)
{
    m_activePreviewPages = PreviewPages;
    if (m_engine)
        m_engine->ActivePreviewPages = PreviewPages;
    if (PreviewPages)
        PreviewPages->Engine = m_engine.get();
}

bool TzdReport::PrintPrepared()
{
    return m_activePreviewPages ? m_activePreviewPages->Print() : false;
}

// ---------------------------------------------------------------------------
// Showing and designing

void TzdReport::ShowReport(bool ClearLastReport)
{
    if (EngineRunning())
        return;
    if (ClearLastReport && m_activePreviewPages)
        m_activePreviewPages->Clear();
    if (!OldStyleProgress) {
        // The preview shows at once; the timer's first tick prepares inside
        // its message loop, and pages appear as the engine adds them.
        if (!m_prepareTimer) {
            m_prepareTimer = std::make_unique<QTimer>();
            m_prepareTimer->setSingleShot(true);
            m_prepareTimer->setInterval(50);
            QObject::connect(m_prepareTimer.get(), &QTimer::timeout, [this] { PrepareOnTimer(); });
        }
        m_prepareTimer->start();
        ShowPrepared();
        // Without an event loop no tick would come: prepare now.
        if (!QCoreApplication::instance() && PrepareTimerEnabled())
            PrepareOnTimer();
    } else if (Prepare(false)) {
        ShowPrepared();
    }
}

bool TzdReport::PrepareTimerEnabled() const
{
    return m_prepareTimer && m_prepareTimer->isActive();
}

void TzdReport::PrepareOnTimer()
{
    if (m_prepareTimer)
        m_prepareTimer->stop();
    Prepare(false);
}

void TzdReport::ShowPrepared()
{
    PreviewWindow = nullptr;
    if (m_preview) {
        m_preview->AttachReport(this, m_activePreviewPages);
        return;
    }
    TzdReportWindows* windows = zdReportWindows();
    if (!windows)
        return;
    TzdCustomPreview* control = nullptr;
    plat::TComponent* window = windows->CreatePreviewWindow(this, m_activePreviewPages, control);
    if (!window)
        return;
    m_preview = control;
    if (control) {
        control->Report = this;
        control->ActivePreviewPages = m_activePreviewPages;
    }
    PreviewWindow = window;
    OnPreview(this);
    const bool modal = m_previewOptions->Modal;
    // A modal window runs the preparation of the timer inside its loop.
    windows->ShowPreviewWindow(window, modal, m_previewOptions->Maximized, m_previewOptions->MDIChild);
    if (modal) {
        PreviewWindow = nullptr;
        m_preview = nullptr;
    }
}

void TzdReport::SetPreview(TzdCustomPreview* Value)
{
    if (m_preview && !Value) {
        m_preview->Report = nullptr;
        m_preview->ActivePreviewPages = nullptr;
        PreviewWindow = nullptr;
    }
    m_preview = Value;
    if (Value) {
        Value->AttachReport(this, m_activePreviewPages);
        Value->Report = this;
        Value->ActivePreviewPages = m_activePreviewPages;
        PreviewWindow = Value->PreviewForm;
    }
}

void TzdReport::Design(bool Modal, bool MDIChild)
{
    // The designer changes the template the engine is reading.
    if (OpenDesigner || !zdDesignerClass || EngineRunning())
        return;
    m_script->ClearItems(reinterpret_cast<quintptr>(this));
    m_valueVariable = nullptr;
    m_selfVariable = nullptr;
    for (int i = 0; i < m_dataSets->Count(); ++i)
        if (auto* db = dynamic_cast<TzdCustomDBDataSet*>(m_dataSets->GetItem(i)->DataSet()))
            db->SetDesigning(true);
    Modified = false;
    OpenDesigner = zdDesignerClass(nullptr, this, false);
    TzdReportWindows* windows = zdReportWindows();
    if (Modal) {
        std::unique_ptr<TzdCustomDesigner> designer(OpenDesigner);
        if (windows)
            windows->ShowDesigner(designer.get(), true, MDIChild);
        OpenDesigner = nullptr;
        designer.reset();
        processMessages();
    } else if (windows) {
        windows->ShowDesigner(OpenDesigner, false, MDIChild);
    }
}

bool TzdReport::EditPreparedPage()
{
    if (OpenDesigner || !zdDesignerClass)
        return false;
    std::unique_ptr<TzdCustomDesigner> designer(zdDesignerClass(nullptr, this, true));
    OpenDesigner = designer.get();
    if (TzdReportWindows* windows = zdReportWindows())
        windows->ShowDesigner(designer.get(), true, false);
    OpenDesigner = nullptr;
    return Modified;
}
