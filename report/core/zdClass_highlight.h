#pragma once
// The conditional looks (highlights) and the display formats of text
// objects, each kept in a collection per object. When a highlight applies
// and how a format shapes a value is the text object's business.

#include "zdClass_fill.h"
#include "zdCollections.h"

namespace plat {
class TFont;
} // namespace plat

enum TzdFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
PLAT_DECLARE_ENUM(TzdFormatKind)

class TzdHighlight : public TzdCollectionItem {
    PLAT_CLASS(TzdHighlight, TzdCollectionItem)
public:
    explicit TzdHighlight(plat::TCollection* Collection);
    ~TzdHighlight() override;
    TzdHighlight(const TzdHighlight&) = delete;
    TzdHighlight& operator=(const TzdHighlight&) = delete;
    // From another highlight only; Active stays as it is.
    void Assign(plat::TPersistent* Source) override;

    // Set at print time by the text object while Condition holds.
    bool Active = false;
    bool ApplyFont = true;
    bool ApplyFill = true;
    bool ApplyFrame = false;
    QString Condition;
    bool Visible = true;

    plat::TFont* Font() const { return m_font; }
    void SetFont(plat::TFont* Value);
    TzdCustomFill* Fill() const { return m_fill; }
    void SetFill(TzdCustomFill* Value);
    TzdFillType FillType() const;
    void SetFillType(TzdFillType Value);
    TzdFrame* Frame() const { return m_frame; }
    void SetFrame(TzdFrame* Value);
    // The brush fill's background colour, clNone for other fills; writing
    // sets a brush fill's background only.
    plat::TColor Color() const;
    void SetColor(plat::TColor Value);

private:
    plat::TFont* m_font;
    TzdCustomFill* m_fill;
    TzdFrame* m_frame;
};

class TzdHighlightCollection : public TzdCollection {
    PLAT_CLASS(TzdHighlightCollection, TzdCollection)
public:
    TzdHighlightCollection();
    TzdHighlight* GetItem(int Index) const;
    TzdHighlight* operator[](int Index) const { return GetItem(Index); }
};

class TzdFormat : public TzdCollectionItem {
    PLAT_CLASS(TzdFormat, TzdCollectionItem)
public:
    explicit TzdFormat(plat::TCollection* Collection);
    void Assign(plat::TPersistent* Source) override;

    QString DecimalSeparator;
    QString ThousandSeparator;
    // A number or date-time pattern, or for fkBoolean the texts for false
    // and true.
    QString FormatStr;
    TzdFormatKind Kind = fkText;
};

class TzdFormatCollection : public TzdCollection {
    PLAT_CLASS(TzdFormatCollection, TzdCollection)
public:
    TzdFormatCollection();
    TzdFormat* GetItem(int Index) const;
    TzdFormat* operator[](int Index) const { return GetItem(Index); }
};
