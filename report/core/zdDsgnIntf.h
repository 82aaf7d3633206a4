#pragma once
// Process-wide registries through which the parts of the report library
// announce themselves: report object classes for the designer's palette,
// component editors, property editors, export filters and wizards. Each is
// created empty on first use; items keep their registration order. A
// registry owns its items; class references, bitmaps and filters belong to
// whoever registered them.

#include "Objects.h"

#include <QString>

#include <vector>

class TzdMenu;

namespace plat {
class TBitmap;
class TClass;
class TTypeInfo;
} // namespace plat

class TzdComponent;
class TzdComponentEditor;
class TzdPropertyEditor;
class TzdCustomDesigner;
class TzdCustomExportFilter;

// Class references of the editor kinds: the constructor of the class.
using TzdComponentEditorClass = TzdComponentEditor* (*)(TzdComponent* Component, TzdCustomDesigner* Designer,
                                                        TzdMenu* Menu);
using TzdPropertyEditorClass = TzdPropertyEditor* (*)(TzdCustomDesigner* Designer);

// The class reference of an editor class E.
template <class E>
TzdComponentEditor* zdNewComponentEditor(TzdComponent* Component, TzdCustomDesigner* Designer, TzdMenu* Menu)
{
    return new E(Component, Designer, Menu);
}
template <class E>
TzdPropertyEditor* zdNewPropertyEditor(TzdCustomDesigner* Designer)
{
    return new E(Designer);
}

enum TzdPageKind { fpkDataPage, fpkReportPage, fpkDialogPage, fpkDotMatrixPage };
using TzdPageKinds = plat::TSet<TzdPageKind>;

struct TzdObjectItem {
    const plat::TClass* ClassRef = nullptr; // nullptr for a category entry
    plat::TBitmap* ButtonBmp = nullptr;
    qint32 ImageIndex = -1;
    QString ButtonHint;
    QString CategoryName;
    quint16 Flags = 0;
    TzdPageKinds Pages;
};

class TzdObjectCollection {
public:
    void RegisterObject(const plat::TClass* ClassRef, plat::TBitmap* ButtonBmp, const QString& ButtonHint,
                        const QString& CategoryName, quint16 Flags = 0, qint32 ImageIndex = -1,
                        TzdPageKinds Pages = {});
    void AddCategory(const QString& CategoryName, plat::TBitmap* ButtonBmp, const QString& ButtonHint,
                     qint32 ImageIndex = -1);
    void Unregister(const plat::TClass* ClassRef);

    int Count() const { return static_cast<int>(m_items.size()); }
    const TzdObjectItem& GetItem(int Index) const { return m_items.at(static_cast<size_t>(Index)); }
    const TzdObjectItem& operator[](int Index) const { return GetItem(Index); }

private:
    std::vector<TzdObjectItem> m_items;
};

struct TzdComponentEditorItem {
    const plat::TClass* ComponentClass = nullptr;
    TzdComponentEditorClass EditorClass = nullptr;
};

class TzdComponentEditorCollection {
public:
    void Register(const plat::TClass* ComponentClass, TzdComponentEditorClass EditorClass);
    // A new editor for the component (the caller frees it), or nullptr.
    TzdComponentEditor* GetComponentEditor(TzdComponent* Component, TzdCustomDesigner* Designer, TzdMenu* Menu) const;
    // The registration GetComponentEditor would use, or -1.
    int FindEditorIndex(const plat::TClass* ComponentClass) const;

    int Count() const { return static_cast<int>(m_items.size()); }
    const TzdComponentEditorItem& GetItem(int Index) const { return m_items.at(static_cast<size_t>(Index)); }

private:
    std::vector<TzdComponentEditorItem> m_items;
};

struct TzdPropertyEditorItem {
    const plat::TTypeInfo* PropertyType = nullptr;
    const plat::TClass* ComponentClass = nullptr;
    QString PropertyName;
    TzdPropertyEditorClass EditorClass = nullptr; // nullptr hides the property
};

class TzdPropertyEditorCollection {
public:
    void Register(const plat::TTypeInfo* PropertyType, const plat::TClass* ComponentClass,
                  const QString& PropertyName, TzdPropertyEditorClass EditorClass);
    void RegisterEventEditor(TzdPropertyEditorClass EditorClass);
    int GetEditorIndex(const plat::TTypeInfo* PropertyType, const plat::TObject* Component,
                       const QString& PropertyName) const;

    int EventEditorIndex() const { return m_eventEditorIndex; }
    int Count() const { return static_cast<int>(m_items.size()); }
    const TzdPropertyEditorItem& GetItem(int Index) const { return m_items.at(static_cast<size_t>(Index)); }

private:
    std::vector<TzdPropertyEditorItem> m_items;
    int m_eventEditorIndex = -1;
};

struct TzdExportFilterItem {
    TzdCustomExportFilter* Filter = nullptr;
};

class TzdExportFilterCollection {
public:
    void Register(TzdCustomExportFilter* Filter);
    void Unregister(TzdCustomExportFilter* Filter);

    int Count() const { return static_cast<int>(m_items.size()); }
    const TzdExportFilterItem& GetItem(int Index) const { return m_items.at(static_cast<size_t>(Index)); }

private:
    std::vector<TzdExportFilterItem> m_items;
};

struct TzdWizardItem {
    const plat::TClass* ClassRef = nullptr;
    plat::TBitmap* ButtonBmp = nullptr;
    plat::TBitmap* LargeBmp = nullptr;
    qint32 ImageIndex = -1;
    qint32 ButtonImageIndex = 0;
    bool IsToolbarWizard = false;
};

class TzdWizardCollection {
public:
    void Register(const plat::TClass* ClassRef, qint32 ImageIndex);
    void Unregister(const plat::TClass* ClassRef);

    int Count() const { return static_cast<int>(m_items.size()); }
    TzdWizardItem& GetItem(int Index) { return m_items.at(static_cast<size_t>(Index)); }
    const TzdWizardItem& GetItem(int Index) const { return m_items.at(static_cast<size_t>(Index)); }

private:
    std::vector<TzdWizardItem> m_items;
};

TzdObjectCollection* zdGetObjectRegistry();
TzdComponentEditorCollection* zdGetComponentEditorRegistry();
TzdPropertyEditorCollection* zdGetPropertyEditorRegistry();
TzdExportFilterCollection* zdGetExportFilterRegistry();
TzdWizardCollection* zdGetWizardRegistry();

// Hides the properties named in Names (separated by ';') on ComponentClass
// and its descendants.
void zdHideProperties(const plat::TClass* ComponentClass, const QString& Names);
