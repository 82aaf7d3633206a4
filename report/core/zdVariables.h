#pragma once
// Report variables: a flat, ordered list of named values in which entries
// whose name begins with a blank are category headings; the variables after
// a heading, up to the next heading or an entry without a name, belong to
// that category. Also TzdArray, a plain list of name-value pairs for scripts.

#include "Variant.h"
#include "zdCollections.h"

#include <QString>

namespace plat {
class TStream;
class TStrings;
} // namespace plat

class TzdXMLItem;

class TzdVariable : public TzdCollectionItem {
    PLAT_CLASS(TzdVariable, TzdCollectionItem)
public:
    explicit TzdVariable(plat::TCollection* Collection);

    const QString& Name() const { return m_name; }
    void SetName(const QString& Value) { m_name = Value; }
    const plat::Variant& Value() const { return m_value; }
    void SetValue(const plat::Variant& Value) { m_value = Value; }

    // A variable is known to its ancestor by its name.
    QString GetInheritedName() const override;
    // Copies name, value and the inherited flag of another variable; any
    // other source is ignored.
    void Assign(plat::TPersistent* Source) override;

private:
    QString m_name;
    plat::Variant m_value = plat::Variant::null();
};

class TzdVariables : public TzdCollection {
    PLAT_CLASS(TzdVariables, TzdCollection)
public:
    TzdVariables();

    TzdVariable* Add();
    TzdVariable* Insert(int Index);
    TzdVariable* GetItem(int Index) const;
    TzdVariable* operator[](int Index) const { return GetItem(Index); }
    int IndexOf(const QString& Name) const;

    plat::Variant GetVariables(const QString& Name) const;
    void SetVariables(const QString& Name, const plat::Variant& Value);

    void GetCategoryList(plat::TStrings& List, bool Clear = true) const;
    void GetVariableList(const QString& Category, plat::TStrings& List) const;
    void AddVariable(const QString& Category, const QString& Name, const plat::Variant& Value);
    void DeleteCategory(const QString& Name);
    void DeleteVariable(const QString& Name);

    void LoadFromFile(const QString& FileName);
    void LoadFromStream(plat::TStream& Stream);
    void LoadFromXMLItem(TzdXMLItem* Item, bool OldFormat);
    void SaveToFile(const QString& FileName);
    void SaveToStream(plat::TStream& Stream);
    void SaveToXMLItem(TzdXMLItem* Item);

private:
    // The index just after the category that starts at heading.
    int categoryEnd(int heading) const;
};

class TzdArray : public plat::TCollection {
    PLAT_CLASS(TzdArray, plat::TCollection)
public:
    TzdArray();

    TzdVariable* GetItem(int Index) const;
    int IndexOf(const plat::Variant& Name) const;
    plat::Variant GetVariables(const plat::Variant& Name) const;
    void SetVariables(const plat::Variant& Name, const plat::Variant& Value);
};

// The process-wide variables that scripts see as zdGlobalVariables.
TzdVariables* zdGlobalVariables();
