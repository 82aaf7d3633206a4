#pragma once
// TzdBarcodePDF417: the PDF417 symbol. The text becomes bytes in the
// symbol's code page, text / numeric / byte segments, codewords, the error
// level and the columns x rows layout, padding and Reed-Solomon codewords
// over GF(929); each symbol row is one image row of start pattern, left row
// indicator, data, right row indicator and stop pattern. A failure keeps the
// previous image and its message in ErrorText.

#include "zdBarcode2DBase.h"

#include "TypeInfo.h"

#include <QByteArray>

#include <vector>

enum class PDF417ErrorCorrection { AutoCorr, Level0, Level1, Level2, Level3, Level4, Level5, Level6, Level7, Level8 };
PLAT_DECLARE_ENUM(PDF417ErrorCorrection)
enum class PDF417CompactionMode { AutoCompaction, TextComp, Numeric, Binary };
PLAT_DECLARE_ENUM(PDF417CompactionMode)

namespace zd {

// A run of the byte array: kind 'T' text, 'N' numeric, 'B' byte; [start, end).
struct Segment {
    char kind;
    int start;
    int end;
    int length() const { return end - start; }
};

class TSegmentList {
public:
    void Add(char kind, int start, int end) { m_items.push_back({kind, start, end}); }
    // nullptr outside the list
    Segment* Get(int index) { return index >= 0 && index < Count() ? &m_items[std::size_t(index)] : nullptr; }
    void Delete(int index) { m_items.erase(m_items.begin() + index); }
    int Count() const { return int(m_items.size()); }

private:
    std::vector<Segment> m_items;
};

TSegmentList pdf417Segments(const QByteArray& bytes, PDF417CompactionMode mode);
// Data codewords with the length descriptor slot 0 (left 0); raises
// "The text is too big." past 926 codewords.
std::vector<int> pdf417Compact(const QByteArray& bytes, TSegmentList& segments);
// Error codewords of the level (2^(level+1) of them).
std::vector<int> pdf417ErrorCodewords(const std::vector<int>& data, int level);
// The generator's coefficients a0 .. a(k-1) of a level.
std::vector<int> pdf417Coefficients(int level);
// The left or right row indicator codeword of a symbol row.
int pdf417RowIndicator(int row, int rows, int columns, int level, bool right);
// The 17-module bar-space pattern of a codeword 0..928 in cluster 0, 1 or 2
// (the standard's clusters 0, 3 and 6), bit 16 the leftmost module.
int pdf417Pattern(int cluster, int codeword);

} // namespace zd

class TzdBarcodePDF417 : public TzdBarcode2DBase {
    PLAT_CLASS(TzdBarcodePDF417, TzdBarcode2DBase)
public:
    TzdBarcodePDF417();
    ~TzdBarcodePDF417() override;

    void SetText(const QString& Value) override;
    // The base's settings, then the six PDF417 settings of another PDF417
    // symbol through their setters.
    void Assign(TzdBarcode2DBase* Source) override;

    // ---- published
    long double AspectRatio() const { return m_aspectRatio; }
    void SetAspectRatio(long double Value);
    // Wanted data columns and rows (published as "Columns" and "Rows"; 0 automatic).
    int DataColumns() const { return m_columns; }
    void SetDataColumns(int Value);
    int DataRows() const { return m_rows; }
    void SetDataRows(int Value);
    PDF417ErrorCorrection ErrorCorrection() const { return m_errorCorrection; }
    void SetErrorCorrection(PDF417ErrorCorrection Value);
    int CodePage() const { return m_codePage; }
    void SetCodePage(int Value);
    PDF417CompactionMode CompactionMode() const { return m_compactionMode; }
    void SetCompactionMode(PDF417CompactionMode Value);

    // The last good layout: codewords (descriptor, data, padding, error),
    // columns, rows and error level in use.
    const std::vector<int>& Codewords() const { return m_codewords; }
    int LayoutColumns() const { return m_layoutColumns; }
    int LayoutRows() const { return m_layoutRows; }
    int ErrorLevel() const { return m_errorLevel; }
    int DataCodewordCount() const { return m_dataCount; }

    void Generate();

private:
    void layout(std::vector<int> codewords);

    long double m_aspectRatio = 0.5L;
    int m_columns = 0;
    int m_rows = 0;
    PDF417ErrorCorrection m_errorCorrection = PDF417ErrorCorrection::AutoCorr;
    int m_codePage;
    PDF417CompactionMode m_compactionMode = PDF417CompactionMode::AutoCompaction;

    std::vector<int> m_codewords;
    int m_layoutColumns = 0;
    int m_layoutRows = 0;
    int m_errorLevel = 0;
    int m_dataCount = 0;
};
