// The property list of the object inspector: rows of the published
// properties of one object, or of what several selected objects share.

#include "zdDsgnIntf_prop.h"

#include "zdClass_services.h"

#include "CodePage.h"
#include "Handles.h"
#include "TypeInfo.h"

namespace {

using EditorMaker = TzdPropertyEditorClass;

EditorMaker defaultEditorFor(const plat::TPropInfo* prop)
{
    const plat::TTypeInfo* type = prop->PropType();
    switch (type->Kind()) {
    case plat::tkInteger:
        return zdNewPropertyEditor<TzdIntegerProperty>;
    case plat::tkChar:
    case plat::tkWChar:
        return zdNewPropertyEditor<TzdCharProperty>;
    case plat::tkEnumeration:
        return zdNewPropertyEditor<TzdEnumProperty>;
    case plat::tkFloat:
        return zdNewPropertyEditor<TzdFloatProperty>;
    case plat::tkString:
    case plat::tkLString:
    case plat::tkWString:
        return zdNewPropertyEditor<TzdStringProperty>;
    case plat::tkSet:
        return zdNewPropertyEditor<TzdSetProperty>;
    case plat::tkClass: {
        const plat::TClass* cls = type->ClassType();
        if (cls && cls->InheritsFrom(plat::TComponent::StaticClass()))
            return zdNewPropertyEditor<TzdComponentProperty>;
        if (cls && cls->InheritsFrom(plat::TPersistent::StaticClass()))
            return zdNewPropertyEditor<TzdClassProperty>;
        return nullptr;
    }
    default:
        return nullptr;
    }
}

bool holdsSubObjects(const plat::TPropInfo* prop)
{
    if (prop->Kind() != plat::tkClass)
        return false;
    const plat::TClass* cls = prop->PropType()->ClassType();
    return cls && !cls->InheritsFrom(plat::TComponent::StaticClass()) &&
           cls->InheritsFrom(plat::TPersistent::StaticClass());
}

// The editor for the property: the registry's choice, else the kind's
// default; nullptr when the property is not shown.
std::unique_ptr<TzdPropertyEditor> createEditor(TzdCustomDesigner* designer, plat::TObject* object,
                                                const plat::TPropInfo* prop)
{
    EditorMaker maker = defaultEditorFor(prop);
    const TzdPropertyEditorCollection* registry = zdGetPropertyEditorRegistry();
    const int index = registry->GetEditorIndex(prop->PropType(), object, prop->Name());
    if (index >= 0)
        maker = registry->GetItem(index).EditorClass;
    if (!maker)
        return nullptr;
    std::unique_ptr<TzdPropertyEditor> editor(maker(designer));
    if (editor)
        editor->AddObject(object, prop);
    return editor;
}

bool sameProperty(const TzdPropertyEditor& a, const TzdPropertyEditor& b)
{
    const plat::TPropInfo* pa = a.GetPropInfo();
    const plat::TPropInfo* pb = b.GetPropInfo();
    return pa && pb && pa->Kind() == pb->Kind() && pa->PropType()->Name() == pb->PropType()->Name() &&
           pa->Name() == pb->Name();
}

} // namespace

TzdPropertyList::TzdPropertyList(TzdCustomDesigner* Designer)
    : m_designer(Designer ? plat::ObjectToHandle(Designer) : 0)
{
}

TzdPropertyList::~TzdPropertyList() = default;

TzdPropertyItem* TzdPropertyList::Find(const QString& Name)
{
    for (auto& item : m_items)
        if (plat::SameText(item->Editor->GetName(), Name))
            return item.get();
    return nullptr;
}

plat::TObject* TzdPropertyList::Component() const
{
    return plat::IsLiveObjectHandle(m_component) ? plat::HandleToObject(m_component) : nullptr;
}

void TzdPropertyList::SetComponent(plat::TObject* Object)
{
    m_component = Object ? plat::ObjectToHandle(Object) : 0;
    m_items.clear();
    if (Object)
        fillProperties(Object);
}

void TzdPropertyList::fillProperties(plat::TObject* Object)
{
    for (const plat::TPropInfo* prop : plat::GetPropList(Object->ClassType(), plat::tkProperties, true)) {
        std::unique_ptr<TzdPropertyItem> item = makeItem(Object, prop);
        if (item)
            m_items.push_back(std::move(item));
    }
}

std::unique_ptr<TzdPropertyItem> TzdPropertyList::makeItem(plat::TObject* Object, const plat::TPropInfo* Prop)
{
    auto* designer = plat::HandleToObjectAs<TzdCustomDesigner>(m_designer);
    auto item = std::make_unique<TzdPropertyItem>();
    item->Editor = createEditor(designer, Object, Prop);
    if (!item->Editor)
        return nullptr; // hidden or of a kind the inspector does not show
    if (Prop->Kind() == plat::tkSet) {
        const plat::TTypeInfo* elements = Prop->PropType()->CompType();
        auto sub = std::make_unique<TzdPropertyList>(designer);
        sub->Parent = this;
        sub->m_component = plat::ObjectToHandle(Object);
        for (qint64 e = elements->MinValue(); e <= elements->MaxValue(); ++e) {
            // The elements ask the registry as the set does: a registration
            // of the set decides its elements too.
            const TzdPropertyEditorCollection* registry = zdGetPropertyEditorRegistry();
            const int index = registry->GetEditorIndex(Prop->PropType(), Object, Prop->Name());
            EditorMaker maker = index >= 0 ? registry->GetItem(index).EditorClass
                                           : zdNewPropertyEditor<TzdSetElementProperty>;
            if (!maker)
                continue;
            auto element = std::make_unique<TzdPropertyItem>();
            element->Editor.reset(maker(designer));
            if (!element->Editor)
                continue;
            element->Editor->AddObject(Object, Prop);
            if (auto* setElement = dynamic_cast<TzdSetElementProperty*>(element->Editor.get()))
                setElement->Element = static_cast<qint32>(e);
            sub->m_items.push_back(std::move(element));
        }
        item->SubProperty = std::move(sub);
    } else if (holdsSubObjects(Prop)) {
        plat::TObject* held = plat::GetObjectProp(Object, Prop);
        // An object already open above (a loop of references) is not opened again.
        bool loop = false;
        for (const TzdPropertyList* list = this; list && held; list = list->Parent)
            loop = loop || list->m_component == plat::ObjectToHandle(held);
        if (held && !loop) {
            auto sub = std::make_unique<TzdPropertyList>(designer);
            sub->Parent = this;
            sub->SetComponent(held);
            if (sub->Count() > 0)
                item->SubProperty = std::move(sub);
        }
    }
    return item;
}

void TzdPropertyList::IntersectWith(TzdPropertyList& Other)
{
    std::vector<std::unique_ptr<TzdPropertyItem>> kept;
    for (auto& item : m_items) {
        if (!item->Editor->GetAttributes().contains(fpaMultiSelect))
            continue;
        TzdPropertyItem* partner = nullptr;
        for (auto& other : Other.m_items)
            if (sameProperty(*item->Editor, *other->Editor)) {
                partner = other.get();
                break;
            }
        if (!partner)
            continue;
        if (item->SubProperty && partner->SubProperty) {
            plat::TObject* mine = item->SubProperty->Component();
            plat::TObject* theirs = partner->SubProperty->Component();
            if (mine && theirs && mine->ClassType() != theirs->ClassType())
                continue;
        }
        kept.push_back(std::move(item));
    }
    m_items = std::move(kept);
}

void TzdPropertyList::mergeFrom(TzdPropertyList& Other)
{
    const int count = std::min(Count(), Other.Count());
    for (int i = 0; i < count; ++i) {
        TzdPropertyItem& mine = GetItem(i);
        TzdPropertyItem& theirs = Other.GetItem(i);
        mine.Editor->AddObject(theirs.Editor->GetObject(0), theirs.Editor->GetPropInfo(0));
        if (mine.SubProperty && theirs.SubProperty) {
            // Sub-lists of objects of one class hold the same rows; intersect
            // anyway, so that a merge never pairs rows of different properties.
            mine.SubProperty->IntersectWith(*theirs.SubProperty);
            theirs.SubProperty->IntersectWith(*mine.SubProperty);
            mine.SubProperty->mergeFrom(*theirs.SubProperty);
        }
    }
}

std::unique_ptr<TzdPropertyList> zdCreatePropertyList(const std::vector<plat::TObject*>& Objects,
                                                      TzdCustomDesigner* Designer)
{
    if (Objects.empty())
        return nullptr;
    std::vector<std::unique_ptr<TzdPropertyList>> lists;
    for (plat::TObject* object : Objects) {
        auto list = std::make_unique<TzdPropertyList>(Designer);
        list->SetComponent(object);
        lists.push_back(std::move(list));
    }
    TzdPropertyList& first = *lists.front();
    for (size_t i = 1; i < lists.size(); ++i)
        first.IntersectWith(*lists[i]);
    for (size_t i = 1; i < lists.size(); ++i)
        lists[i]->IntersectWith(first);
    for (size_t i = 1; i < lists.size(); ++i)
        first.mergeFrom(*lists[i]);
    return std::move(lists.front());
}
