#include "zs_dsgn.h"

#include "Exceptions.h"
#include "zs_builder.h"
#include "zs_expr.h"
#include "zs_script.h"
#include "zs_xml.h"

#include <array>

using plat::Variant;

namespace zs {

void checkCharIndex(int index, qsizetype length)
{
    if (index < 1 || index > length)
        throw plat::ERangeError(QStringLiteral("String index out of range (%1)").arg(index));
}

} // namespace zs

// ---------------------------------------------------------------- items

TzsDesignatorItem::TzsDesignatorItem(TzsCustomVariable* ref, const QString& sourcePos)
    : Ref(ref), SourcePos(sourcePos)
{
}

TzsCustomExpression* TzsDesignatorItem::GetArg(int index) const
{
    return static_cast<TzsCustomExpression*>(Items(index));
}

void TzsDesignatorItem::prepare()
{
    proc = dynamic_cast<TzsProcVariable*>(Ref);
    helper = dynamic_cast<TzsCustomHelper*>(Ref);
    refIsDesignator = dynamic_cast<TzsDesignator*>(Ref) != nullptr;
    argItems.clear();
    for (int i = 0; i < Count(); ++i) {
        auto* x = dynamic_cast<TzsExpression*>(GetArg(i));
        TzsCustomVariable* sole = x ? x->SoleOperand() : nullptr;
        argItems.push_back(sole ? sole : GetArg(i));
    }
    hasVarParams = false;
    for (int i = 0; i < Ref->ParamCount() && i < Count(); ++i)
        if (Ref->GetParam(i)->IsVar)
            hasVarParams = true;
}

// ---------------------------------------------------------------- designator

namespace {

TzsScript* outermost(TzsScript* s)
{
    while (s->Parent)
        s = s->Parent;
    return s;
}

} // namespace

TzsDesignator::TzsDesignator(TzsScript* script) : Script(script)
{
    MainProgramScript = script->MainProgram();
    if (!MainProgramScript)
        MainProgramScript = outermost(script);
    script->LateClassBinding = MainProgramScript->LateClassBinding;
}

TzsDesignator::~TzsDesignator() = default;

TzsDesignatorItem* TzsDesignator::AddItem(TzsCustomVariable* ref, const QString& sourcePos)
{
    auto* item = new TzsDesignatorItem(ref, sourcePos);
    Add(item);
    return item;
}

void TzsDesignator::Finish()
{
    const int n = Count();
    if (!n)
        return;
    TzsCustomVariable* last = LastItem()->Ref;
    Kind = last->Kind;
    DeclaredType = last->DeclaredType;
    if (Kind == fvtConstructor) {
        Kind = fvtClass;
        DeclaredType = n >= 2 ? GetItem(n - 2)->Ref->DeclaredType : QString();
    }
    ReadOnly = last->ReadOnly;
    // A character of a constant text cannot be written either.
    if (n >= 2 && dynamic_cast<TzsStringHelper*>(last) && GetItem(n - 2)->Ref->ReadOnly)
        ReadOnly = true;
    FormKind = General;
    Target = nullptr;
    IndexExpression = nullptr;
    ArrayHelper = nullptr;
    IndexItem = nullptr;
    TzsCustomVariable* first = GetItem(0)->Ref;
    if (n == 1 && dynamic_cast<TzsVariable*>(first)) {
        FormKind = PlainVariable;
        Target = first;
    } else if (n == 2 && dynamic_cast<TzsStringVariable*>(first) && GetItem(1)->Count() == 1 &&
               dynamic_cast<TzsStringHelper*>(GetItem(1)->Ref)) {
        FormKind = StringChar;
        Target = first;
        IndexExpression = GetItem(1)->GetArg(0);
    } else if (n == 2 && dynamic_cast<TzsVariable*>(first) && first->Kind == fvtArray && first->Target &&
               GetItem(1)->Ref == first->Target) {
        FormKind = ArrayElement;
        Target = first;
        ArrayHelper = first->Target;
        IndexItem = GetItem(1);
    }
    for (int i = 0; i < n; ++i)
        GetItem(i)->prepare();
}

void TzsDesignator::TakeOver(TzsDesignator* other)
{
    m_items.swap(other->m_items);
    FormKind = other->FormKind;
    Target = other->Target;
    IndexExpression = other->IndexExpression;
    ArrayHelper = other->ArrayHelper;
    IndexItem = other->IndexItem;
    Kind = other->Kind;
    DeclaredType = other->DeclaredType;
    ReadOnly = other->ReadOnly;
    Script = other->Script;
    MainProgramScript = other->MainProgramScript;
}

TzsDesignator* TzsDesignator::makeFastPath()
{
    TzsDesignator* fast = nullptr;
    switch (FormKind) {
    case PlainVariable: fast = new TzsVariableDesignator(Script); break;
    case StringChar: fast = new TzsStringDesignator(Script); break;
    case ArrayElement: fast = new TzsArrayDesignator(Script); break;
    default: return nullptr;
    }
    fast->TakeOver(this);
    return fast;
}

Variant TzsDesignator::GetValue()
{
    return Walk(Variant(), false);
}

void TzsDesignator::SetValue(const Variant& value)
{
    Walk(value, true);
}

void TzsDesignator::BindLate()
{
    std::unique_ptr<TzsDesignator> bound(zs::buildLateDesignator(*DeferredSource, *Script));
    TakeOver(bound.get());
    // This object evaluates the general way whatever form the chain has.
    FormKind = General;
    DeferredSource.reset();
}

namespace {

constexpr int kInlineArgs = 4;

} // namespace

Variant TzsDesignator::Walk(const Variant& value, bool writing)
{
    if (DeferredSource)
        BindLate();
    Variant current = plat::Null();
    TzsCustomVariable* previous = nullptr;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        TzsDesignatorItem* item = GetItem(i);
        TzsCustomVariable* ref = item->Ref;
        if (item->refIsDesignator) {
            current = ref->GetValue();
            previous = ref;
            continue;
        }
        const int saved = item->proc && item->proc->Executing ? item->proc->SaveLocals() : -1;
        try {
            const int argc = item->Count();
            if (item->argItems.size() != size_t(argc))
                item->prepare();
            if (argc == 1) {
                if (ref->ParamCount() > 0)
                    ref->GetParam(0)->SetValue(ref->Macro ? Variant(item->GetArg(0)->Source)
                                                          : item->argItems[0]->GetValue());
            } else if (argc > 1) {
                // Every argument is evaluated before any parameter changes:
                // an argument may read the parameters of a recursive call.
                std::array<Variant, kInlineArgs> inlineArgs;
                std::vector<Variant> moreArgs;
                Variant* args = inlineArgs.data();
                if (argc > kInlineArgs) {
                    moreArgs.resize(size_t(argc));
                    args = moreArgs.data();
                }
                for (int j = 0; j < argc; ++j)
                    args[j] = ref->Macro ? Variant(item->GetArg(j)->Source) : item->argItems[size_t(j)]->GetValue();
                const int params = std::min(argc, ref->ParamCount());
                for (int j = 0; j < params; ++j)
                    ref->GetParam(j)->SetValue(std::move(args[j]));
            }
            if (item->helper) {
                item->helper->ParentItem = previous;
                item->helper->ParentValue = current;
                item->helper->Program = Script;
            }
            previous = ref;
            if (writing && i == n - 1) {
                ref->SetValue(value);
            } else {
                ref->ResultWanted = i == n - 1 ? ResultWanted : true;
                current = ref->GetValue();
            }
            if (item->hasVarParams) {
                for (int j = 0; j < argc && j < ref->ParamCount(); ++j)
                    if (ref->GetParam(j)->IsVar)
                        item->GetArg(j)->SetValue(ref->GetParam(j)->GetValue());
            }
        } catch (...) {
            if (saved >= 0)
                item->proc->RestoreLocals(saved, false, item);
            throw;
        }
        if (saved >= 0)
            item->proc->RestoreLocals(saved, false, item);
    }
    return current;
}

Variant TzsStringDesignator::GetValue()
{
    const int index = IndexExpression->GetValue().toInteger();
    const QString& text = static_cast<TzsStringVariable*>(Target)->Text;
    zs::checkCharIndex(index, text.size());
    return Variant(QString(text.at(index - 1)));
}

void TzsStringDesignator::SetValue(const Variant& value)
{
    if (Target->ReadOnly)
        throw plat::EInvalidOperation(zs::message(zs::Msg::SLeftCantAssigned));
    const int index = IndexExpression->GetValue().toInteger();
    QString& text = static_cast<TzsStringVariable*>(Target)->Text;
    zs::checkCharIndex(index, text.size());
    const QString v = plat::VarToStr(value);
    text[index - 1] = v.isEmpty() ? QChar(u'\0') : v.at(0);
}

void TzsArrayDesignator::setIndexes()
{
    auto* helper = static_cast<TzsCustomHelper*>(ArrayHelper);
    helper->ParentItem = Target;
    const int n = IndexItem->Count();
    for (int j = 0; j < n; ++j)
        helper->GetParam(j)->Value = IndexItem->GetArg(j)->GetValue();
}

Variant TzsArrayDesignator::GetValue()
{
    setIndexes();
    return ArrayHelper->GetValue();
}

void TzsArrayDesignator::SetValue(const Variant& value)
{
    setIndexes();
    ArrayHelper->SetValue(value);
}

// ---------------------------------------------------------------- sets

TzsSetExpression::TzsSetExpression() : TzsCustomVariable(QString(), fvtVariant, QString()) {}

bool TzsSetExpression::Contains(const Variant& value)
{
    const int n = Count();
    for (int i = 0; i < n;) {
        TzsCustomVariable* entry = GetEntry(i);
        if (!entry) {
            ++i;
            continue;
        }
        if (i + 2 < n && !GetEntry(i + 1) && GetEntry(i + 2)) {
            const Variant low = entry->GetValue();
            if (plat::VarCmpGE(value, low) && plat::VarCmpLE(value, GetEntry(i + 2)->GetValue()))
                return true;
            i += 3;
            continue;
        }
        if (plat::VarCmpEQ(value, entry->GetValue()))
            return true;
        ++i;
    }
    return false;
}

Variant TzsSetExpression::GetValue()
{
    std::vector<Variant> values;
    values.reserve(size_t(Count()));
    for (int i = 0; i < Count(); ++i)
        values.push_back(GetEntry(i) ? GetEntry(i)->GetValue() : plat::Null());
    return plat::VarArrayOf(values);
}
