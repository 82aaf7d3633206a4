#pragma once
// HTML-like tags in memo texts: <b>, <i>, <u>, <strike>, <sub>, <sup>,
// <nowrap>, <font color=...> and their closing forms. The tag list strips
// them paragraph by paragraph and keeps one format record per remaining
// character, grouped by laid-out line: the text layout (zdDrawText.h) feeds
// it, splits its groups as it wraps, and reads the records back as it
// measures and draws, so group k always holds the records of line k.

#include "Graphics.h"

#include <QString>

#include <vector>

namespace plat {
class TCanvas;
} // namespace plat

enum TzdScriptPosition { spBaseline, spSubscript, spSuperscript };

// The format of one character.
class TzdHTMLTag {
public:
    void Assign(const TzdHTMLTag& Source) { *this = Source; }
    // Style, colour, size, drop and no-wrap equal: no font change between them.
    bool SameFormatAs(const TzdHTMLTag& Other) const;

    int SourcePos = 0; // 1-based, in the memo's source text (tags and line breaks counted)
    int Size = 0;      // points
    int BaselineDrop = 0;
    plat::TFontStyles Style;
    plat::TColor Color = plat::clBlack;
    bool SameFormat = false; // drawn without a font change after its predecessor
    bool Reduced = false;    // smaller than the memo's size (sub- or superscript)
    bool NoWrap = false;
    TzdScriptPosition ScriptPos = spBaseline;
};

// The records of one laid-out line.
class TzdHTMLTags {
public:
    void Add(const TzdHTMLTag& Tag) { m_items.push_back(Tag); }
    // Raises EListError outside the list.
    TzdHTMLTag& Items(int Index);
    const TzdHTMLTag& Items(int Index) const;
    int Count() const { return static_cast<int>(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    friend class TzdHTMLTagsList;
    std::vector<TzdHTMLTag> m_items;
};

class TzdHTMLTagsList {
public:
    // Starts a text: defaults and current format, source position 1, no lines.
    void Init(plat::TColor Color, int Size, plat::TFontStyles Style);
    // A new empty group, once the first group exists.
    void NewLine();
    // Removes the tags from Text and appends one record per remaining
    // character to the last group; a text left empty becomes one blank with
    // one record. A quoted '#' colour that is not hexadecimal raises
    // EConvertError.
    void ExpandTags(QString& Text);
    // Splits the last group after its first Count records. AddHyphen appends
    // a copy of the kept part's last record for the hyphen that ends the line.
    void Wrap(int Count, bool AddHyphen);
    // Several Wraps in a row, in one pass over the records (a paragraph's
    // lines are cut from it one after another).
    struct Cut {
        int Count = 0;
        bool AddHyphen = false;
    };
    void WrapAll(const std::vector<Cut>& Cuts);
    // Raises EListError outside the list.
    TzdHTMLTags& GetLine(int Index);
    const TzdHTMLTags& GetLine(int Index) const;
    int Count() const { return static_cast<int>(m_lines.size()); }
    // The record before the last one (across groups); nullptr when none.
    const TzdHTMLTag* PrevTag() const;
    void Clear() { m_lines.clear(); }
    // Drops the groups from Index on.
    void DeleteFrom(int Index);

    // Widths of Text's characters drawn with the formats of line LineIndex on
    // Canvas (its font's style follows the records; size and colour do not
    // change it): each advance plus AddSpacing, a reduced character's width
    // divided by 1.5. With Cumulative each entry holds the running sum.
    // Returns the total. Measured as the font's character set shows the text
    // unless ForceWide (zd::charsetText).
    int FillCharWidths(std::vector<int>& Widths, const QString& Text, bool ForceWide, bool Cumulative,
                       int AddSpacing, int LineIndex, plat::TCanvas& Canvas) const;

    bool TagsEnabled = true;
    plat::TColor DefaultColor = plat::clBlack;
    int DefaultSize = 0;
    plat::TFontStyles DefaultStyle;

    // The state while scanning.
    plat::TColor CurColor = plat::clBlack;
    int CurSize = 0;
    plat::TFontStyles CurStyle;
    int CurDrop = 0;
    bool CurNoWrap = false;
    TzdScriptPosition CurScriptPos = spBaseline;
    int SourcePos = 1;

private:
    // Length of the tag at Text[Pos] (a '<') with its effect applied; 0 when
    // no tag starts there.
    qsizetype applyTag(const QString& Text, qsizetype Pos);
    TzdHTMLTag makeRecord(const TzdHTMLTag* Previous) const;
    static void takeFormat(TzdHTMLTag& First, const TzdHTMLTag& Previous);

    std::vector<TzdHTMLTags> m_lines;
};

namespace zd {

// The text as a font of that character set shows it: through the set's
// code page and back (characters the code page lacks come back as '?'),
// unless the set is the default one or ForceWide. The length never changes,
// so records and widths stay aligned with the characters.
QString charsetText(const QString& Text, plat::TFontCharset Charset, bool ForceWide);

// Reduced size of sub- and superscript: round(Size / 1.5).
int reducedSize(int Size);

} // namespace zd
