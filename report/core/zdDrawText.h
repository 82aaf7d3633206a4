#pragma once
// Text layout of memo objects. A text is wrapped into lines measured at 600
// dots per inch (the font engine's advances, no hinting, no kerning), with
// character and line spacing, a first-line indent, HTML-like tags
// (zdHTMLTags.h), hyphenation, rotation and justification; the lines are
// then drawn on a screen or printer canvas with per-character advances that
// make every line exactly as wide as the 600-dpi layout, so preview and
// print agree ("WYSIWYG").
//
// Geometry is in screen pixels at 96 per inch (the report's unit): the
// layout rectangle for wrapping and fitting, the spacings, the indent. The
// text rectangle is in the target canvas's device pixels.
//
// One process-wide lock serialises every use of every instance: hold it
// (TzdDrawText::Locker) from the first set-up call to the last read of the
// result. An instance is set up anew for each object it serves: font,
// options, spacings, dimensions, then the text.

#include "TypeInfo.h"

#include <QString>

#include <memory>
#include <span>
#include <vector>

class QRecursiveMutex;
class TzdHTMLTagsList;
class TzdWideStrings;

namespace plat {
class TCanvas;
class TFont;
struct TRect;
} // namespace plat

enum TzdHAlign { haLeft, haRight, haCenter, haBlock };
enum TzdVAlign { vaTop, vaBottom, vaCenter };
PLAT_DECLARE_ENUM(TzdHAlign)
PLAT_DECLARE_ENUM(TzdVAlign)

// The layout's switches, by name: callers list them in different orders.
struct TzdDrawTextOptions {
    bool WordWrap = false;
    bool HTMLTags = false;
    int Rotation = 0; // degrees, any value: the layout keeps it in 0 .. 359
    bool RTLReading = false;
    bool WordBreak = false; // hyphenate words that do not fit
    bool Clipped = false;   // clip drawing to the text rectangle
    bool Wysiwyg = true;    // draw with the 600-dpi widths
};

// Paragraph flags of a laid-out line.
inline constexpr int kzdFirstLine = 1;
inline constexpr int kzdLastLine = 2;

class TzdDrawText {
public:
    TzdDrawText();
    ~TzdDrawText();
    TzdDrawText(const TzdDrawText&) = delete;
    TzdDrawText& operator=(const TzdDrawText&) = delete;

    // Holds the process-wide layout lock for its scope.
    class Locker {
    public:
        explicit Locker(TzdDrawText& Layout);
        ~Locker();
        Locker(const Locker&) = delete;
        Locker& operator=(const Locker&) = delete;

    private:
        TzdDrawText& m_layout;
    };
    void Lock();
    void Unlock();

    // Measure and draw wide text even when the font's character set is not
    // the default one; draw all text black. Set before SetFont.
    void SetUseDefaultCharset(bool Value);
    void SetMonochromeText(bool Value);

    void SetFont(const plat::TFont& Font);
    void SetOptions(const TzdDrawTextOptions& Options);
    const TzdDrawTextOptions& Options() const;
    // LayoutRect in screen pixels, TextRect in the target's device pixels;
    // ScaleX, ScaleY: device pixels per screen pixel; PrintScale: the
    // printout's own scale.
    void SetDimensions(const plat::TRect& LayoutRect, const plat::TRect& TextRect, long double ScaleX,
                       long double ScaleY, long double PrintScale);
    void SetSpacings(long double ParagraphGap, long double CharSpacing, long double LineSpacing);
    // Lays the text out, one paragraph per source line. FirstParaBreak: the
    // text continues a paragraph, so its first line has no indent.
    void SetText(const TzdWideStrings& Source, bool FirstParaBreak = false);
    // Clears the first line's paragraph-start flag (the text continues a
    // paragraph) and the last line's paragraph-end flag (it goes on).
    void ApplyParaBreaks(bool FirstParaBreak, bool LastParaBreak);

    void DrawText(plat::TCanvas& Canvas, TzdHAlign HAlign, TzdVAlign VAlign);

    // Screen pixels.
    long double TextHeight() const;
    long double TextWidth();
    long double GetLineHeight() const;
    long double GetUnusedHeight() const;

    // Keeps the lines that fit the layout rectangle's height and returns the
    // source text of the rest (prefixed with the tags of its format when tags
    // are on); ParaBreak tells that the cut falls inside a paragraph.
    QString GetOutBoundsText(bool& ParaBreak);
    // The source text (with tags) of what was laid out, or after
    // GetOutBoundsText of the part that fits.
    QString GetPlainText() const;
    // The laid-out lines joined by CR LF.
    QString GetWrappedText() const;
    // Text without its tags (the characters' formats are recorded).
    QString StripTags(const QString& Text);

    int LineCount() const;
    QString Line(int Index) const;      // empty outside the lines
    int LineFlags(int Index) const;     // kzdFirstLine | kzdLastLine; 0 outside
    TzdHTMLTagsList& HTMLTags();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The one process-wide instance (objects outside a report, the PDF export)
// and the lock every instance shares; both live until the program ends.
TzdDrawText& zdSharedDrawText();
QRecursiveMutex& zdDrawTextLock();

// Spreads Count increments of Step (+1 or -1) over Values[First .. Last]
// evenly: half of them to each half, recursively; one to the middle.
void zdSpreadIncrements(std::span<int> Values, int First, int Last, int Count, int Step);

// Break positions of an upper-case word (a break after position p leaves p
// characters before it), by the syllable rules of Russian: none for words of
// three characters or fewer.
std::vector<int> zdSyllableBreaks(const QString& Word);
