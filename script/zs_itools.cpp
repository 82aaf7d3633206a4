#include "zs_itools.h"

#include "TypeInfo.h"
#include "zs_items.h"
#include "zs_script.h"
#include "zs_xml.h"

using plat::Variant;

namespace {

const QString kItem = QStringLiteral("item");
// Functions registered without a category are listed with the others.
const QString kDefaultCategory = QStringLiteral("ctOther");

QString textAttribute(const QString& text)
{
    return QStringLiteral("text=\"") + text + u'"';
}

TzsXMLItem* addItem(TzsXMLItem* parent, const QString& text)
{
    TzsXMLItem* item = parent->Add();
    item->Name = kItem;
    item->Text = textAttribute(text);
    return item;
}

TzsXMLItem* group(TzsXMLItem* parent, const QString& name)
{
    TzsXMLItem* g = parent->FindItem(name);
    g->Text = textAttribute(name);
    return g;
}

QString memberText(TzsCustomHelper* member)
{
    if (dynamic_cast<TzsPropertyHelper*>(member))
        return QStringLiteral("property ") + member->Name + QStringLiteral(": ") + member->GetTypeText();
    if (auto* method = dynamic_cast<TzsMethodHelper*>(member)) {
        if (!method->IndexMethod)
            return method->Syntax;
        const qsizetype blank = method->Syntax.indexOf(u' ');
        return QStringLiteral("index property") + (blank < 0 ? QString() : method->Syntax.mid(blank));
    }
    return QStringLiteral("event ") + member->Name;
}

void addMembers(TzsClassVariable* cls, TzsXMLItem* parent)
{
    for (int i = 0; i < cls->GetMembersCount(); ++i)
        addItem(parent, memberText(cls->GetMember(i)));
}

void addFunction(TzsMethodHelper* m, TzsXMLItem* functions)
{
    const QString category = m->Category.isEmpty() ? kDefaultCategory : m->Category;
    TzsXMLItem* g = group(functions, category);
    TzsXMLItem* item = addItem(g, m->Syntax);
    item->Text += QStringLiteral(" description=\"") + m->Description + u'"';
}

} // namespace

void zsBuildScriptTreeXML(TzsScript* Script, TzsXMLItem* Element, bool FunctionsOnly)
{
    TzsXMLItem* functions = group(Element, QStringLiteral("Functions"));
    TzsXMLItem* classes = group(Element, QStringLiteral("Classes"));
    TzsXMLItem* types = group(Element, QStringLiteral("Types"));
    TzsXMLItem* variables = group(Element, QStringLiteral("Variables"));
    TzsXMLItem* constants = group(Element, QStringLiteral("Constants"));

    for (int i = 0; i < Script->GetCount(); ++i) {
        zs::Object* object = Script->GetItem(i);
        if (auto* m = dynamic_cast<TzsMethodHelper*>(object)) {
            addFunction(m, functions);
            continue;
        }
        if (FunctionsOnly)
            continue;
        if (auto* cls = dynamic_cast<TzsClassVariable*>(object)) {
            TzsXMLItem* item =
                addItem(classes, cls->Name + QStringLiteral(" = class(") + cls->Ancestor + QStringLiteral(")"));
            addMembers(cls, item);
            continue;
        }
        auto* v = dynamic_cast<TzsVariable*>(object);
        // Unnamed entries are the compiler's own (literals, hidden items).
        if (!v || v->Name.isEmpty())
            continue;
        if (v->Kind == fvtEnum) {
            // Values collect their names in the type's group for now.
            if (v->Name == v->DeclaredType)
                continue;
            TzsXMLItem* g = types->FindItem(v->DeclaredType);
            g->Text += (g->Text.isEmpty() ? QString() : QStringLiteral(",")) + v->Name;
            continue;
        }
        if (!v->ReadOnly)
            addItem(variables, v->Name + QStringLiteral(": ") + v->GetTypeText());
        else
            addItem(constants, v->Name + QStringLiteral(": ") + v->GetTypeText() + QStringLiteral(" = ") +
                                   plat::VarToStr(v->GetValue()));
    }

    for (int i = 0; i < types->Count(); ++i) {
        TzsXMLItem* g = types->Items(i);
        if (g->Name == kItem)
            continue;
        g->Text = textAttribute(g->Name + QStringLiteral(": (") + g->Text + QStringLiteral(")"));
        g->Name = kItem;
    }
}

void zsBuildClassMembersXML(TzsScript* Script, const plat::TClass* ClassRef, TzsXMLItem* Element)
{
    if (!ClassRef)
        return;
    for (int i = 0; i < Script->GetCount(); ++i) {
        auto* cls = dynamic_cast<TzsClassVariable*>(Script->GetItem(i));
        if (cls && cls->ClassRef && ClassRef->InheritsFrom(cls->ClassRef))
            addMembers(cls, Element);
    }
}
