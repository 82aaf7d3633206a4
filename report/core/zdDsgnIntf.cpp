#include "zdDsgnIntf.h"

#include "CodePage.h"
#include "StringList.h"
#include "TypeInfo.h"
#include "zdDataSets.h"
#include "zdUtils.h"

#include <algorithm>
#include <memory>

namespace {

TzdPageKinds defaultPages(const plat::TClass* cls)
{
    if (cls->InheritsFrom(TzdDataSet::StaticClass()) || cls->InheritsFrom(TzdCustomDatabase::StaticClass()))
        return TzdPageKinds{fpkDataPage};
    if (cls->InheritsFrom(u"TzdDialogControl") || cls->InheritsFrom(TzdDialogComponent::StaticClass()))
        return TzdPageKinds{fpkDialogPage};
    return TzdPageKinds{fpkReportPage};
}

template <class Items, class Pred>
void removeAll(Items& items, Pred pred)
{
    items.erase(std::remove_if(items.begin(), items.end(), pred), items.end());
}

// Registries live until the program ends, freed in registration order.
struct Registries {
    std::unique_ptr<TzdObjectCollection> objects;
    std::unique_ptr<TzdComponentEditorCollection> componentEditors;
    std::unique_ptr<TzdPropertyEditorCollection> propertyEditors;
    std::unique_ptr<TzdExportFilterCollection> exportFilters;
    std::unique_ptr<TzdWizardCollection> wizards;
    ~Registries()
    {
        objects.reset();
        componentEditors.reset();
        propertyEditors.reset();
        exportFilters.reset();
        wizards.reset();
    }
};

Registries& registries()
{
    static Registries instance;
    return instance;
}

template <class T>
T* lazy(std::unique_ptr<T>& slot)
{
    if (!slot)
        slot = std::make_unique<T>();
    return slot.get();
}

} // namespace

// ---------------------------------------------------------------------------
// Objects

void TzdObjectCollection::RegisterObject(const plat::TClass* ClassRef, plat::TBitmap* ButtonBmp,
                                         const QString& ButtonHint, const QString& CategoryName, quint16 Flags,
                                         qint32 ImageIndex, TzdPageKinds Pages)
{
    if (ClassRef) {
        for (const TzdObjectItem& item : m_items)
            if (item.ClassRef == ClassRef && item.Flags == Flags)
                return;
        plat::RegisterClass(ClassRef);
    }
    TzdObjectItem item{ClassRef, ButtonBmp, ImageIndex, ButtonHint, CategoryName, Flags, Pages};
    if (ClassRef && Pages.empty())
        item.Pages = defaultPages(ClassRef);
    // Our bitmaps hold no device resources, so there is nothing to release
    // until the palette draws the button.
    m_items.push_back(item);
}

void TzdObjectCollection::AddCategory(const QString& CategoryName, plat::TBitmap* ButtonBmp,
                                      const QString& ButtonHint, qint32 ImageIndex)
{
    RegisterObject(nullptr, ButtonBmp, ButtonHint, CategoryName, 0, ImageIndex, {});
}

void TzdObjectCollection::Unregister(const plat::TClass* ClassRef)
{
    removeAll(m_items, [ClassRef](const TzdObjectItem& item) { return item.ClassRef == ClassRef; });
}

// ---------------------------------------------------------------------------
// Component editors

void TzdComponentEditorCollection::Register(const plat::TClass* ComponentClass, TzdComponentEditorClass EditorClass)
{
    m_items.push_back({ComponentClass, EditorClass});
}

int TzdComponentEditorCollection::FindEditorIndex(const plat::TClass* ComponentClass) const
{
    if (!ComponentClass)
        return -1;
    int ancestorMatch = -1;
    for (int i = 0; i < Count(); ++i) {
        const plat::TClass* registered = m_items[static_cast<size_t>(i)].ComponentClass;
        if (!registered)
            continue;
        if (registered == ComponentClass)
            return i;
        if (ComponentClass->InheritsFrom(registered))
            ancestorMatch = i;
    }
    return ancestorMatch;
}

TzdComponentEditor* TzdComponentEditorCollection::GetComponentEditor(TzdComponent* Component,
                                                                     TzdCustomDesigner* Designer, TzdMenu* Menu) const
{
    if (!Component)
        return nullptr;
    const int index = FindEditorIndex(Component->ClassType());
    if (index < 0 || !m_items[static_cast<size_t>(index)].EditorClass)
        return nullptr;
    return m_items[static_cast<size_t>(index)].EditorClass(Component, Designer, Menu);
}

// ---------------------------------------------------------------------------
// Property editors

void TzdPropertyEditorCollection::Register(const plat::TTypeInfo* PropertyType, const plat::TClass* ComponentClass,
                                           const QString& PropertyName, TzdPropertyEditorClass EditorClass)
{
    m_items.push_back({PropertyType, ComponentClass, PropertyName, EditorClass});
}

void TzdPropertyEditorCollection::RegisterEventEditor(TzdPropertyEditorClass EditorClass)
{
    Register(nullptr, nullptr, QString(), EditorClass);
    m_eventEditorIndex = Count() - 1;
}

int TzdPropertyEditorCollection::GetEditorIndex(const plat::TTypeInfo* PropertyType, const plat::TObject* Component,
                                                const QString& PropertyName) const
{
    if (PropertyType) {
        const QString typeName = PropertyType->Name().toLower();
        const qsizetype event = typeName.indexOf(QStringLiteral("event"));
        if (typeName.startsWith(QStringLiteral("tzd")) && event >= 0 && event == typeName.size() - 5)
            return m_eventEditorIndex;
    }
    const plat::TClass* objectClass = Component ? Component->ClassType() : nullptr;
    int result = -1;
    for (int i = Count() - 1; i >= 0; --i) {
        const TzdPropertyEditorItem& item = m_items[static_cast<size_t>(i)];
        const bool sameName = !item.PropertyName.isEmpty() && plat::SameText(item.PropertyName, PropertyName);
        if (!item.ComponentClass) {
            if (item.PropertyType != PropertyType)
                continue;
            if (item.PropertyName.isEmpty())
                result = i; // type only: the earliest of these wins
            else if (sameName)
                return i;
        } else if (sameName && objectClass && objectClass->InheritsFrom(item.ComponentClass)) {
            return i;
        }
    }
    return result;
}

void zdHideProperties(const plat::TClass* ComponentClass, const QString& Names)
{
    plat::TStringList pieces;
    zdSplitString(Names, pieces, u';');
    for (int i = 0; i < pieces.Count(); ++i)
        zdGetPropertyEditorRegistry()->Register(nullptr, ComponentClass, pieces.Strings(i), nullptr);
}

// ---------------------------------------------------------------------------
// Export filters

void TzdExportFilterCollection::Register(TzdCustomExportFilter* Filter)
{
    if (!Filter)
        return;
    for (const TzdExportFilterItem& item : m_items)
        if (item.Filter == Filter)
            return;
    m_items.push_back({Filter});
}

void TzdExportFilterCollection::Unregister(TzdCustomExportFilter* Filter)
{
    removeAll(m_items, [Filter](const TzdExportFilterItem& item) { return item.Filter == Filter; });
}

// ---------------------------------------------------------------------------
// Wizards

void TzdWizardCollection::Register(const plat::TClass* ClassRef, qint32 ImageIndex)
{
    for (const TzdWizardItem& item : m_items)
        if (item.ClassRef == ClassRef)
            return;
    TzdWizardItem item;
    item.ClassRef = ClassRef;
    item.ImageIndex = ImageIndex;
    m_items.push_back(item);
}

void TzdWizardCollection::Unregister(const plat::TClass* ClassRef)
{
    removeAll(m_items, [ClassRef](const TzdWizardItem& item) { return item.ClassRef == ClassRef; });
}

// ---------------------------------------------------------------------------
// Accessors

TzdObjectCollection* zdGetObjectRegistry() { return lazy(registries().objects); }
TzdComponentEditorCollection* zdGetComponentEditorRegistry() { return lazy(registries().componentEditors); }
TzdPropertyEditorCollection* zdGetPropertyEditorRegistry() { return lazy(registries().propertyEditors); }
TzdExportFilterCollection* zdGetExportFilterRegistry() { return lazy(registries().exportFilters); }
TzdWizardCollection* zdGetWizardRegistry() { return lazy(registries().wizards); }
