#pragma once
// The editor's two coordinate systems and its selection modes.
//
// A buffer coordinate addresses the text: a 1-based character index within
// a line (UTF-16 code units; a tab is one character) and a 1-based line.
// A display position addresses the screen grid: a 1-based column and row.
// Every character takes one cell, except that a tab runs to the next tab
// stop and the second unit of a surrogate pair takes none (a pair is one
// cell, as a double-byte character is one character of the grid).

#include <QtGlobal>

#include <compare>

struct TBufferCoord {
    int Char = 0;
    int Line = 0;
    friend constexpr bool operator==(const TBufferCoord&, const TBufferCoord&) = default;
    // Ordered by line, then character.
    friend constexpr std::strong_ordering operator<=>(const TBufferCoord& a, const TBufferCoord& b)
    {
        if (a.Line != b.Line)
            return a.Line <=> b.Line;
        return a.Char <=> b.Char;
    }
};

struct TDisplayPos {
    int Column = 0;
    int Row = 0;
    friend constexpr bool operator==(const TDisplayPos&, const TDisplayPos&) = default;
};

constexpr TBufferCoord BufferCoordOf(int aChar, int aLine) { return TBufferCoord{aChar, aLine}; }
constexpr TDisplayPos DisplayPosOf(int aColumn, int aRow) { return TDisplayPos{aColumn, aRow}; }

enum TPlainSelectionMode : quint8 { smNormal, smLine, smColumn };

// A numbered editor command (names and the default key map: PlainEditKeyCmds.h).
using TPlainEditorCommand = quint16;
