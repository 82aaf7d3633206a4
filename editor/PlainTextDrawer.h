#pragma once
// Text in a grid of equal cells: the font stock keeps the sixteen style
// variants (bold, italic, underline, strike-out) of one base font with their
// measured advances, shared between all stocks of the process that use the
// same base font; the drawer writes strings so that every character
// advances exactly one cell.
//
// Measuring needs no device: advances come from the font engine.

#include "Graphics.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace plat {
class TCanvas;
struct TRect;
} // namespace plat

// Style values 0..15: bit 0 bold, 1 italic, 2 underline, 3 strike-out.
using TPlainStyleIndex = int;
TPlainStyleIndex StyleIndexOf(plat::TFontStyles style);

struct TheFontStyleRec {
    plat::TFontStyles Style;
    std::unique_ptr<plat::TFont> Handle; // none until first use
    int Advance = 0;
    int DoubleByteAdvance = 0;
    int Height = 0;
};

struct TheSharedFontsInfo {
    int RefCount = 0;
    int LockCount = 0;
    plat::TFont BaseFont;
    QString Key;
    bool IsDbcsFont = false;
    bool IsTrueType = true;
    std::array<TheFontStyleRec, 16> FontsData;
};

class TheFontsInfoManager {
public:
    ~TheFontsInfoManager();
    TheSharedFontsInfo* AcquireFontsInfo(const plat::TFont* font);
    void ReleaseFontsInfo(TheSharedFontsInfo* info);
    void LockFontHandles(TheSharedFontsInfo* info);
    void UnlockFontHandles(TheSharedFontsInfo* info);
    int EntryCount() const { return int(m_entries.size()); }
    // Fonts share an entry when everything but italic, underline and
    // strike-out agrees (name, height, weight, character set, pitch, angle).
    static QString FontsInfoKey(const plat::TFont& font);

private:
    std::vector<std::unique_ptr<TheSharedFontsInfo>> m_entries;
};
// The process-wide manager, created on first use.
TheFontsInfoManager& FontsInfoManager();

class TheFontStock {
public:
    explicit TheFontStock(const plat::TFont* font);
    virtual ~TheFontStock();
    TheFontStock(const TheFontStock&) = delete;
    TheFontStock& operator=(const TheFontStock&) = delete;

    // Raises EheFontStockException "SetBaseFont: 'Value' must be specified."
    virtual void SetBaseFont(const plat::TFont* font);
    virtual void SetStyle(plat::TFontStyles style);
    virtual int CharAdvance() const;
    virtual int CharHeight() const;
    virtual int DoubleByteAdvance() const;
    virtual void ReleaseFontHandles();
    // The font of the current style (the stock's "handle").
    const plat::TFont* FontHandle() const;
    plat::TFontStyles Style() const { return m_currentStyle; }
    TheSharedFontsInfo* FontsInfo() const { return m_info; }

protected:
    virtual std::unique_ptr<plat::TFont> CreateStyledFont(plat::TFontStyles style) const;
    virtual void MeasureFont(const plat::TFont& font, int& height, int* doubleByteAdvance, int& advance) const;

private:
    TheSharedFontsInfo* m_info = nullptr;
    TheFontStyleRec* m_current = nullptr;
    plat::TFontStyles m_currentStyle;
    bool m_usingHandles = false;
};

class TheTextDrawer {
public:
    TheTextDrawer(plat::TFontStyles baseStyle, const plat::TFont* font);
    virtual ~TheTextDrawer();
    TheTextDrawer(const TheTextDrawer&) = delete;
    TheTextDrawer& operator=(const TheTextDrawer&) = delete;

    // Raises EheTextDrawerException "SetBaseFont: 'Value' must be specified."
    virtual void SetBaseFont(const plat::TFont* font);
    virtual void SetBaseStyle(plat::TFontStyles style);
    virtual void SetStyle(plat::TFontStyles style);
    virtual int CharWidth() const { return m_charWidth + m_charExtra; }
    virtual int CharHeight() const { return m_charHeight; }
    virtual void BeginDrawing(plat::TCanvas* canvas);
    virtual void EndDrawing();
    virtual void TextOut(int x, int y, const QString& text, int length);
    // Every character advances exactly CharWidth.
    virtual void ExtTextOut(int x, int y, unsigned options, const plat::TRect* rect, const QString& text, int length);
    virtual void SetForeColor(plat::TColor color);
    virtual void SetBackColor(plat::TColor color);
    virtual void SetCharExtra(int value);
    virtual void ReleaseTemporaryResources();

    plat::TFontStyles BaseStyle() const { return m_baseStyle; }
    int CharExtra() const { return m_charExtra; }
    int AdvanceCount() const { return int(m_advances.size()); }
    plat::TCanvas* Canvas() const { return m_canvas; }

protected:
    virtual void FlushCharWidths() { m_advances.clear(); }
    virtual void SelectCurrentFont();

private:
    std::unique_ptr<TheFontStock> m_stock;
    plat::TFontStyles m_baseStyle;
    int m_charWidth = 0;
    int m_charHeight = 0;
    plat::TColor m_color = plat::clWindowText;
    plat::TColor m_bkColor = plat::clWindow;
    int m_charExtra = 0;
    plat::TCanvas* m_canvas = nullptr;
    int m_savedState = 0;
    int m_drawingCount = 0;
    std::vector<int> m_advances;
};
