#pragma once
// Named styles: a font, a fill and a frame that text objects take by name
// (as far as the style's Apply switches say). A report owns one set; a set
// can also live in a style file of its own, and several sets in a style
// sheet.
//
// Style file: <style Name="..."> with one <item .../> per style, whose
// attributes are the style's stored properties. Style sheet: <stylesheet>
// holding such <style> elements.

#include "zdClass_fill.h"
#include "zdCollections.h"

#include <memory>
#include <vector>

namespace plat {
class TFont;
class TStream;
class TStrings;
} // namespace plat

class TzdComponent;
class TzdXMLItem;

class TzdStyleItem : public TzdCollectionItem {
    PLAT_CLASS(TzdStyleItem, TzdCollectionItem)
public:
    explicit TzdStyleItem(plat::TCollection* Collection);
    ~TzdStyleItem() override;
    TzdStyleItem(const TzdStyleItem&) = delete;
    TzdStyleItem& operator=(const TzdStyleItem&) = delete;

    // Copies the name as it is (no uniqueness check), the fill, font,
    // frame, switches and the inherited flag; other sources are ignored.
    void Assign(plat::TPersistent* Source) override;
    QString GetInheritedName() const override;

    const QString& Name() const { return m_name; }
    // Raises "Duplicate name" when another item of the set has the name in
    // any letter case.
    void SetName(const QString& Value);
    // "Style" and the smallest number from 1 that no item of the set has.
    void MakeUniqueName();

    plat::TFont* Font() const { return m_font; }
    void SetFont(plat::TFont* Value);
    TzdFrame* Frame() const { return m_frame; }
    void SetFrame(TzdFrame* Value);
    TzdCustomFill* Fill() const { return m_fill; }
    void SetFill(TzdCustomFill* Value);
    TzdFillType FillType() const;
    void SetFillType(TzdFillType Value);
    // A brush fill's background, a gradient's middle colour, else clNone;
    // writing sets a brush fill's background only.
    plat::TColor Color() const;
    void SetColor(plat::TColor Value);

    bool ApplyFont = true;
    bool ApplyFill = true;
    bool ApplyFrame = true;

private:
    QString m_name;
    plat::TFont* m_font;
    TzdFrame* m_frame;
    TzdCustomFill* m_fill;
};

class TzdStyles : public TzdCollection {
    PLAT_CLASS(TzdStyles, TzdCollection)
public:
    // Report: the report component whose text objects take the styles;
    // nullptr for a set of a style sheet.
    explicit TzdStyles(TzdComponent* Report = nullptr);

    TzdStyleItem* Add();
    TzdStyleItem* Items(int Index) const;
    // The first item of that name, letter case ignored; nullptr when none.
    TzdStyleItem* Find(const QString& Name) const;
    void GetList(plat::TStrings& List) const;
    // Text objects of the report take their style afresh; one whose style
    // this set lacks no longer names a style.
    void Apply();

    void ReadXMLItem(TzdXMLItem* Item, bool OldFormat);
    void WriteXMLItem(TzdXMLItem* Item);
    // The file is read whole before the set changes: a damaged file leaves
    // the set as it was and raises.
    void LoadFromFile(const QString& FileName);
    void LoadFromStream(plat::TStream& Stream);
    // Written through a temporary file, so a failed save keeps the old one.
    void SaveToFile(const QString& FileName);
    void SaveToStream(plat::TStream& Stream);

    QString Name;
    TzdComponent* Report() const { return m_report; }

private:
    void readItems(TzdXMLItem* Item, bool OldFormat);
    TzdComponent* m_report;
};

class TzdStyleSheet {
public:
    TzdStyleSheet();
    ~TzdStyleSheet();
    TzdStyleSheet(const TzdStyleSheet&) = delete;
    TzdStyleSheet& operator=(const TzdStyleSheet&) = delete;

    void Clear();
    void Delete(int Index);
    TzdStyles* Add();
    int Count() const { return int(m_sets.size()); }
    TzdStyles* Items(int Index) const;
    TzdStyles* GetItem(int Index) const { return Items(Index); }
    TzdStyles* Find(const QString& Name) const;
    void GetList(plat::TStrings& List) const;
    void LoadFromFile(const QString& FileName);
    void LoadFromStream(plat::TStream& Stream);

private:
    std::vector<std::unique_ptr<TzdStyles>> m_sets;
};
