#pragma once
// The rules behind the library's controls, without a widget: scroll
// positions, the combo box's geometry and colours, and the font list with
// its recent fonts on top. The widgets in zdCtrls.h only draw and forward.

#include "Canvas.h"
#include "Graphics.h"

#include <QString>

#include <optional>
#include <vector>

namespace plat {
class TCustomIniFile;
}

namespace zd {

// ------------------------------------------------------------ scrolling

// One axis of a scroll window. The position stays within 0 .. Range - Page
// (0 when the page is larger than the range). The limits are worked out in
// 64 bits, so no range, page or step can overflow them.
struct ScrollAxis {
    int Range = 0;
    int Page = 0;
    int Position = 0;

    int MaxPosition() const;
    int Clamp(qint64 value) const;
    // The scroll bar's maximum: the range, or 0 when the range is below the page.
    int BarMaximum() const;
};

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

// The position a scroll command asks for, before clamping; nothing for the
// commands that do not move (end of scrolling).
std::optional<qint64> scrollTarget(ScrollCode code, const ScrollAxis& axis, int smallChange, int largeChange,
                                   int trackPosition);

// ------------------------------------------------------------ combo box

inline constexpr int kComboButtonWidth = 11;

enum class ComboButtonState { Normal, Hot, Pressed };

// Where the parts of a flat combo box of that size lie.
struct ComboLook {
    plat::TRect edit;      // the edit window
    plat::TRect image;     // the area left of the edit text
    plat::TRect button;    // the drop-down button
    int separatorX = 0;    // the line between edit and button, from y 1 to height - 1
    plat::TPoint arrow;    // top-left point of the arrow's three lines
};
ComboLook comboLook(int width, int height, int textIndent);

// The open list's height: its rows (at most the drop-down count) and a
// pixel of border above and below.
int comboListHeight(int itemHeight, int dropDownCount, int itemCount);
// The list opens upwards when it and the box's text would pass the screen's bottom.
bool comboListOpensUpwards(int boxTop, int listHeight, int fontTextHeight, int screenBottom);

// ------------------------------------------------------------ font list

// Where the font sample window goes: at the box's bottom-right corner, a
// pixel to the right, or left of the box when it would pass the screen's
// right edge; above the box when the list opens upwards. box is in screen
// coordinates.
plat::TPoint fontPreviewPos(const plat::TRect& box, int previewWidth, int previewHeight, int screenRight,
                            bool upwards);

struct FontItem {
    QString name;
    int fontType = 0; // the platform's font-type bits: 4 TrueType, 2 device
    bool operator==(const FontItem&) const = default;
};

inline constexpr int kMRUFontCount = 5;
extern const QString kMRUFontSection; // "MRUFont"

// The font combo's list: the recent fonts on top (items 0 .. MRULast), then
// every installed family sorted. The recent fonts live in the settings
// object when there is one, in slots "Font0".."Font4" with their types in
// "FontType0".."FontType4".
class FontList {
public:
    const std::vector<FontItem>& Items() const { return m_items; }
    int MRULast() const { return m_mruLast; }
    // First item of that name ignoring case; -1 when none.
    int IndexOf(const QString& name) const;

    // Rebuilds the list from the installed families (any order, duplicates
    // dropped). With showMRU and settings, the stored recent fonts that are
    // still installed go on top; the slot of one that is not is cleared.
    void Fill(std::vector<FontItem> installed, plat::TCustomIniFile* settings, bool showMRU);

    // The user chose item index: with showMRU the font moves to the top of
    // the recent fonts (five at most) and the slots are written when there
    // are settings. Returns the index to select; index itself when nothing
    // changes (index 0 or -1, or without showMRU).
    int Choose(int index, plat::TCustomIniFile* settings, bool showMRU);

private:
    void writeSlots(plat::TCustomIniFile& settings) const;

    std::vector<FontItem> m_items;
    int m_mruLast = -1;
};

} // namespace zd

// Mixes two colours (system colours resolved first): Amount parts of the
// first in 100 (in 1000 from an Amount of 100 on), rounded, each channel
// kept to 8 bits.
plat::TColor zdBlendColors(plat::TColor Color1, plat::TColor Color2, int Amount);
