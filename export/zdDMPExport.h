#pragma once
// Dot-matrix export: prepared pages of a dot-matrix report become a
// character printer's byte stream (text in cells, frame characters and the
// escape commands of a printer definition), saved to a file or printed raw.

#include "zdClass_services.h"
#include "zdDMPClass.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace plat {
class TCustomIniFile;
}

// One printer's command set; commands are raw bytes, empty sends nothing.
class TzdDMPrinter {
public:
    QString Name;
    QByteArray Reset, FormFeed, Landscape, Portrait, BoldOn, BoldOff, ItalicOn, ItalicOff, UnderlineOn,
        UnderlineOff, SuperscriptOn, SuperscriptOff, SubscriptOn, SubscriptOff, CondensedOn, CondensedOff, WideOn,
        WideOff, cpi12On, cpi12Off, cpi15On, cpi15Off;

    void Assign(const TzdDMPrinter& Source) { *this = Source; }
    // The on- (or off-) commands of every member of Style, in set order.
    QByteArray StyleCommands(TzdDMPFontStyles Style, bool On) const;
};

class TzdDMPrinters {
public:
    int Count() const { return int(m_items.size()); }
    // nullptr outside the list.
    const TzdDMPrinter* Items(int Index) const;
    void Clear() { m_items.clear(); }
    // Reads definitions in order after clearing the list; raises on a bad
    // document or command, keeping what was read before.
    void LoadFromXML(const QByteArray& Xml);
    // The built-in definitions, then FileName when it exists: a file that
    // gives no definition leaves the built-ins; a bad one shows the message
    // and keeps what it gave.
    void LoadDefault(const QString& FileName);

private:
    std::vector<TzdDMPrinter> m_items;
};

namespace zd {
// The built-in printer definitions.
QByteArray BuiltInDMPrintersXML();
// The process-wide list, filled at first use from the built-ins and
// "printers.xml" beside the program.
TzdDMPrinters* DMPrinters();
// The printer's code page for the user interface's language: 852 for
// Czech, else 437. The settings file may choose another one (section
// "DMP", key "OEMCodePage"), read when an export starts.
int DMPOEMCodePage();
} // namespace zd

class TzdDotMatrixExport : public TzdCustomExportFilter {
    PLAT_CLASS(TzdDotMatrixExport, TzdCustomExportFilter)
public:
    explicit TzdDotMatrixExport(plat::TComponent* AOwner);
    ~TzdDotMatrixExport() override;

    int ShowSettingsDialog() override;
    bool StartExport() override;
    void OpenPage(TzdReportPage* Page, int Index) override;
    void WriteObject(TzdComponent* Obj) override;
    void ClosePage(TzdReportPage* Page, int Index) override;
    void FinishExport() override;
    void AbortExport() override;

    // Page buffer operations (columns and rows count from 0).
    void PutText(int Column, int Row, const QByteArray& Text);
    void AddFrameBits(int Column, int Row, int Bits);
    void SetCellStyle(int Column, int Row, TzdDMPFontStyles Style);
    void DrawLine(int Column, int Row, TzdDMPFontStyles Style, int Height, int Width);
    void PutMemo(int Column, int Row, TzdDMPMemoView* Memo, int Rows, int Columns);

    int Copies() const { return m_copies; }
    // Clamped to 1..9999.
    void SetCopies(int Value);

    int EscModel = 0;
    bool PageBreaks = true;
    bool OEMConvert = true;
    bool GraphicFrames = false;
    QString CustomFrameSet;
    QString InitString;
    bool SaveToFile = false;
    bool UseIniSettings = true;
    std::function<void(TzdDotMatrixExport*, QString&)> OnTranslate;

private:
    // The report's settings file; nullptr without a report or file name.
    std::unique_ptr<plat::TCustomIniFile> settingsFile() const;
    const TzdDMPrinter& printer() const;
    void write(const QByteArray& Bytes);
    void flushPage();
    bool printRaw();
    void removeTempFile();

    int m_copies = 1;
    int m_codePage = 852; // of the export running
    std::unique_ptr<plat::TStream> m_file;
    QString m_tempFile; // the output file when it is a temporary one
    int m_cols = 0, m_rows = 0, m_usedRows = 0;
    TzdDMPFontStyles m_pageStyle;
    std::vector<char> m_chars;
    std::vector<TzdDMPFontStyles> m_styles;
    std::vector<quint8> m_bits;
};

namespace zd {
// The export printing of dot-matrix reports goes through; nullptr when none.
TzdDotMatrixExport* DotMatrixExport();
} // namespace zd
