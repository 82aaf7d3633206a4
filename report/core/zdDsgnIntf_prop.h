#pragma once
// Property editors, component editors and the property list behind the
// designer's object inspector. Everything here is model code: the inspector
// window only shows what these classes say and hands them the typed text.
//
// Editors never keep raw pointers to what they edit: the designer and the
// edited objects are held by handle (Handles.h), so an object freed while an
// editor still refers to it raises "Invalid object reference" on the next
// use instead of touching freed memory. An editor owns its lists and nothing
// else; a property list owns its items, and an item its editor and sub-list.

#include "Objects.h"
#include "TypeInfo.h"
#include "zdDsgnIntf.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plat {
class TCanvas;
class TPropInfo;
class TStringList;
} // namespace plat

class TzdReport;

enum TzdPropertyAttribute {
    fpaValueList,     // a drop-down filled by GetValues
    fpaSortedList,    // the values list is sorted
    fpaDialog,        // an edit button that calls Edit
    fpaMultiSelect,   // kept when several objects are selected
    fpaSubProperties, // expands into the rows of its sub-list
    fpaReadOnly,      // the value cannot be typed
    fpaOwnerDraw      // DrawValue and DrawListItem draw the value and list
};
using TzdPropertyAttributes = plat::TSet<TzdPropertyAttribute>;
PLAT_DECLARE_ENUM(TzdPropertyAttribute)
PLAT_DECLARE_SET(TzdPropertyAttributes)

// The state of a drop-down list item being drawn.
struct TzdOwnerDrawState {
    bool Selected = false;
    bool Focused = false;
};

class TzdPropertyEditor {
public:
    explicit TzdPropertyEditor(TzdCustomDesigner* Designer);
    virtual ~TzdPropertyEditor();
    TzdPropertyEditor(const TzdPropertyEditor&) = delete;
    TzdPropertyEditor& operator=(const TzdPropertyEditor&) = delete;

    // Steps a list editor to the value after the current one (the first after
    // the last); false when there is no list.
    virtual bool Edit();
    virtual TzdPropertyAttributes GetAttributes();
    virtual QString GetName();
    virtual int GetExtraListWidth();
    virtual QString GetValue();
    // Clears Values; sorted exactly when the attributes hold fpaSortedList.
    virtual void GetValues();
    virtual void SetValue(const QString& Value);
    virtual void DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State);
    virtual void DrawValue(plat::TCanvas& Canvas, const QRect& Rect);

    // --- the edited objects (the first decides the shown value)
    void AddObject(plat::TObject* Object, const plat::TPropInfo* PropInfo);
    int ObjectCount() const { return static_cast<int>(m_objects.size()); }
    // Raises for an object freed since it was added.
    plat::TObject* GetObject(int Index) const;
    const plat::TPropInfo* GetPropInfo(int Index) const;
    plat::TObject* GetComponent() const;
    TzdComponent* GetZdComponent() const;
    const plat::TPropInfo* GetPropInfo() const;
    // nullptr for none; raises when the designer has been freed.
    TzdCustomDesigner* Designer() const;

    qint64 GetOrdinalValue() const;
    long double GetFloatValue() const;
    QString GetStringValue() const;
    plat::TObject* GetObjectValue() const;
    // Write to every edited object in list order, skipping objects whose
    // property has no writer, with the inspector suspended until the last.
    void SetOrdinalValue(qint64 Value);
    void SetFloatValue(long double Value);
    void SetStringValue(const QString& Value);
    void SetObjectValue(plat::TObject* Value);

    void AddValue(const QString& S);
    plat::TStringList& Values() { return *m_values; }

    int ItemHeight = 0;

protected:
    // Runs write(object, propInfo) on every writable edited object, the
    // designer's inspector suspended from the first write until just before
    // the last; a raising write still resumes it.
    void writeToAll(const std::function<void(plat::TObject*, const plat::TPropInfo*)>& write);
    // The shown text of the item Index of Values (for drawing).
    QString valueAt(int Index) const;

private:
    quint32 m_designer = 0;
    std::vector<quint32> m_objects;
    std::vector<const plat::TPropInfo*> m_props;
    std::unique_ptr<plat::TStringList> m_values;
};

// "Neplatná hodnota vlastnosti" as a plain exception.
[[noreturn]] void zdRaiseInvalidProperty();

// --- the standard kinds

class TzdIntegerProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdFloatProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdCharProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdStringProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdEnumProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdSetProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
};

class TzdSetElementProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetName() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
    qint32 Element = 0;
};

class TzdClassProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
};

class TzdComponentProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdNameProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
};

class TzdColorProperty : public TzdIntegerProperty {
public:
    using TzdIntegerProperty::TzdIntegerProperty;
    bool Edit() override;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
    void DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State) override;
    void DrawValue(plat::TCanvas& Canvas, const QRect& Rect) override;
};

class TzdFontProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    bool Edit() override;
    TzdPropertyAttributes GetAttributes() override;
};

class TzdFontNameProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
    void GetValues() override;
};

class TzdFontCharsetProperty : public TzdIntegerProperty {
public:
    using TzdIntegerProperty::TzdIntegerProperty;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdModalResultProperty : public TzdIntegerProperty {
public:
    using TzdIntegerProperty::TzdIntegerProperty;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdShortCutProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdCursorProperty : public TzdIntegerProperty {
public:
    using TzdIntegerProperty::TzdIntegerProperty;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdDateTimeProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdDateProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

class TzdTimeProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void SetValue(const QString& Value) override;
};

namespace zd {
// The shortcut of a text such as "Shift+Ctrl+F1"; 0 for text it does not know.
quint16 textToShortCut(const QString& Text);
// The standard registrations (once; a second call does nothing).
void registerStandardPropertyEditors();
} // namespace zd

// ---------------------------------------------------------------------------
// Component editors: a double-click and the context menu of report objects.

// The context menu a component editor fills: the designer copies its items
// into its own popup menu.
struct TzdMenuItem {
    QString Caption; // "-" for a separator
    int Tag = 0;
    bool Checked = false;
};

class TzdMenu {
public:
    TzdMenuItem& Add(const QString& Caption, int Tag, bool Checked);
    int Count() const { return static_cast<int>(m_items.size()); }
    const TzdMenuItem& Item(int Index) const { return m_items.at(static_cast<size_t>(Index)); }
    // The index of the first item with that tag, -1 when none.
    int IndexOfTag(int Tag) const;
    void Clear() { m_items.clear(); }

private:
    std::vector<TzdMenuItem> m_items;
};

class TzdComponentEditor {
public:
    TzdComponentEditor(TzdComponent* Component, TzdCustomDesigner* Designer, TzdMenu* Menu);
    virtual ~TzdComponentEditor();
    TzdComponentEditor(const TzdComponentEditor&) = delete;
    TzdComponentEditor& operator=(const TzdComponentEditor&) = delete;

    virtual bool Edit();
    virtual bool HasEditor();
    virtual void GetMenuItems();
    virtual bool Execute(int Tag, bool Checked);

    TzdMenuItem* AddMenuItem(const QString& Caption, int Tag, bool Checked);

    // Raise when the object or the designer has been freed.
    TzdComponent* Component() const;
    TzdCustomDesigner* Designer() const;
    TzdMenu* Menu() const { return m_menu; }
    // The designer's selection (live objects only), or the edited object
    // alone when there is no designer.
    std::vector<TzdComponent*> Selection() const;

private:
    quint32 m_component = 0;
    quint32 m_designer = 0;
    TzdMenu* m_menu = nullptr;
};

// ---------------------------------------------------------------------------
// The property list of the object inspector.

class TzdPropertyList;

struct TzdPropertyItem {
    std::unique_ptr<TzdPropertyEditor> Editor;
    bool Expanded = false;
    std::unique_ptr<TzdPropertyList> SubProperty;
};

class TzdPropertyList {
public:
    explicit TzdPropertyList(TzdCustomDesigner* Designer);
    ~TzdPropertyList();
    TzdPropertyList(const TzdPropertyList&) = delete;
    TzdPropertyList& operator=(const TzdPropertyList&) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    TzdPropertyItem& GetItem(int Index) { return *m_items.at(static_cast<size_t>(Index)); }
    // The item whose editor's name is Name (case-insensitive), or nullptr.
    TzdPropertyItem* Find(const QString& Name);

    // Clears the list and fills it from the object's published properties.
    void SetComponent(plat::TObject* Object);
    // nullptr for an empty list or a freed object.
    plat::TObject* Component() const;
    void IntersectWith(TzdPropertyList& Other);

    TzdPropertyList* Parent = nullptr;

private:
    friend std::unique_ptr<TzdPropertyList> zdCreatePropertyList(const std::vector<plat::TObject*>& Objects,
                                                                 TzdCustomDesigner* Designer);
    void fillProperties(plat::TObject* Object);
    std::unique_ptr<TzdPropertyItem> makeItem(plat::TObject* Object, const plat::TPropInfo* Prop);
    void mergeFrom(TzdPropertyList& Other);

    quint32 m_designer = 0;
    quint32 m_component = 0;
    std::vector<std::unique_ptr<TzdPropertyItem>> m_items;
};

// The property list of a selection: the properties all objects share, each
// editor holding every object; nullptr for an empty selection.
std::unique_ptr<TzdPropertyList> zdCreatePropertyList(const std::vector<plat::TObject*>& Objects,
                                                      TzdCustomDesigner* Designer);
