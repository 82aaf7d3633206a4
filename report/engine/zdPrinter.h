#pragma once
// The report library's view of the printers: a process-wide list
// (zdPrinters) with one printer object per print queue, or one virtual
// printer when there is none; each printer's papers and bins with their
// platform numbers (Papers.h); the paper, orientation and job settings a
// print run asks for; documents with pages, and raw jobs.
//
// Sizes are millimetres and DPI the printer's drawing resolution. While a
// document is open, the printer's canvas draws into it with its origin at
// the corner of the printable area. A real printer's document is handed to
// the print server when it ends (platform/print), so EndDocument is where a
// lost printout shows: it reports the error and returns false.

#include "Canvas.h"
#include "Papers.h"
#include "StringList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TzdCustomPrinter;

// The canvas of a printer: fonts follow the printer's vertical resolution.
class TzdPrinterCanvas : public plat::TPrinterCanvas {
    PLAT_CLASS(TzdPrinterCanvas, plat::TPrinterCanvas)
public:
    explicit TzdPrinterCanvas(TzdCustomPrinter* printer = nullptr);
    TzdCustomPrinter* Printer() const { return m_printer; }

private:
    TzdCustomPrinter* m_printer;
};

class TzdCustomPrinter {
public:
    TzdCustomPrinter(const QString& Name, const QString& Port);
    virtual ~TzdCustomPrinter();
    TzdCustomPrinter(const TzdCustomPrinter&) = delete;
    TzdCustomPrinter& operator=(const TzdCustomPrinter&) = delete;

    // Reads what the printer offers (once); a printer that cannot be read
    // stays uninitialised.
    virtual void Initialize() = 0;
    // Discards the open document; nothing is printed.
    virtual void AbortDocument() = 0;
    // False (with the message shown) when the printer is not initialised.
    virtual bool BeginDocument() = 0;
    virtual void BeginPage() = 0;
    virtual bool BeginRawDocument() = 0;
    // False when the document could not be handed over; the message is shown.
    virtual bool EndDocument() = 0;
    virtual void EndPage() = 0;
    virtual bool EndRawDocument() = 0;
    // The bytes go to the printer unchanged.
    virtual void WriteRawData(const QByteArray& Data) = 0;
    // The paper a page is laid out on; Width and Height count only for a
    // size of the caller's own (DMPAPER_USER).
    virtual void SetViewParameters(int Paper, long double Width, long double Height,
                                   plat::TPrinterOrientation Orientation) = 0;
    // What the next pages print with. Duplex: 0 the printer's default,
    // 1 vertical, 2 horizontal, 3 one-sided; Bin DMBIN_AUTO: the bin chosen in
    // the properties dialog, else the printer's default.
    virtual void SetPrintParameters(int Paper, plat::TPrinterOrientation Orientation, int Copies, int Duplex,
                                    int Bin, long double Height, long double Width) = 0;
    // True when the user confirmed the dialog.
    virtual bool ShowPropertiesDialog() = 0;

    int IndexOfBin(int BinNumber) const;
    int IndexOfPaper(int PaperNumber) const;
    // The number of the named entry; the first entry's number for an unknown name.
    int BinNameToNumber(const QString& Name) const;
    int PaperNameToNumber(const QString& Name) const;
    // The numbers of the list entries.
    int BinNumber(int Index) const;
    int PaperNumber(int Index) const;

    const QString& Name() const { return m_name; }
    const QString& Port() const { return m_port; }
    const plat::TStringList& BinList() const { return m_binList; }
    const plat::TStringList& PaperList() const { return m_paperList; }
    TzdPrinterCanvas* Canvas() const { return m_canvas.get(); }

    int DefaultPaper() const { return m_defaultPaper; }
    plat::TPrinterOrientation DefaultOrientation() const { return m_defaultOrientation; }
    long double DefaultPaperWidth() const { return m_defaultPaperWidth; }
    long double DefaultPaperHeight() const { return m_defaultPaperHeight; }
    int DefaultBin() const { return m_defaultBin; }
    int DefaultDuplex() const { return m_defaultDuplex; }

    int Paper() const { return m_paper; }
    plat::TPrinterOrientation Orientation() const { return m_orientation; }
    long double PaperWidth() const { return m_paperWidth; }
    long double PaperHeight() const { return m_paperHeight; }
    long double LeftMargin() const { return m_leftMargin; }
    long double TopMargin() const { return m_topMargin; }
    long double RightMargin() const { return m_rightMargin; }
    long double BottomMargin() const { return m_bottomMargin; }
    plat::TPoint DPI() const { return m_dpi; }
    int Bin() const { return m_bin; }
    int Duplex() const { return m_duplex; }

    // The output file of the next document (empty: the printer). It lasts
    // one document: ending or aborting it clears the name.
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& FileName) { m_fileName = FileName; }
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& Title) { m_title = Title; }
    bool Printing() const { return m_printing; }
    bool IsInitialized() const { return m_initialized; }

protected:
    // The list entries: the text of key with number first, then the others.
    void resetLists();
    void addPaper(const QString& name, int number);
    void addBin(const QString& name, int number);
    // The document's title as the job gets it.
    QString documentTitle() const;

    QString m_name, m_port;
    plat::TStringList m_binList, m_paperList;
    std::unique_ptr<TzdPrinterCanvas> m_canvas;
    int m_defaultPaper = 0;
    plat::TPrinterOrientation m_defaultOrientation = plat::poPortrait;
    long double m_defaultPaperWidth = 0, m_defaultPaperHeight = 0;
    int m_defaultBin = plat::DMBIN_AUTO;
    int m_defaultDuplex = plat::DMDUP_SIMPLEX;
    int m_paper = 0;
    plat::TPrinterOrientation m_orientation = plat::poPortrait;
    long double m_paperWidth = 0, m_paperHeight = 0;
    long double m_leftMargin = 0, m_topMargin = 0, m_rightMargin = 0, m_bottomMargin = 0;
    plat::TPoint m_dpi;
    int m_bin = -1;
    int m_duplex = -1;
    QString m_fileName, m_title;
    bool m_printing = false;
    bool m_initialized = false;
};

// A print queue of the print server.
class TzdPrinter : public TzdCustomPrinter {
public:
    TzdPrinter(const QString& Name, const QString& Port);
    ~TzdPrinter() override;

    void Initialize() override;
    void AbortDocument() override;
    bool BeginDocument() override;
    void BeginPage() override;
    bool BeginRawDocument() override;
    bool EndDocument() override;
    void EndPage() override;
    bool EndRawDocument() override;
    void WriteRawData(const QByteArray& Data) override;
    void SetViewParameters(int Paper, long double Width, long double Height,
                           plat::TPrinterOrientation Orientation) override;
    void SetPrintParameters(int Paper, plat::TPrinterOrientation Orientation, int Copies, int Duplex, int Bin,
                            long double Height, long double Width) override;
    bool ShowPropertiesDialog() override;

    // The printer can print on both sides.
    bool CanDuplex() const;

    // What the next page is printed with (the platform's device mode):
    // paper number, orientation, copies, bin and duplex numbers, and a size
    // of the caller's own in tenths of a millimetre, portrait.
    struct DeviceMode {
        int Paper = 0;
        plat::TPrinterOrientation Orientation = plat::poPortrait;
        int Copies = 1;
        bool Collate = false;
        int DefaultSource = plat::DMBIN_AUTO;
        int Duplex = plat::DMDUP_SIMPLEX;
        int PaperLength = 0, PaperWidth = 0;
    };
    const DeviceMode& DevMode() const { return m_devMode; }

private:
    struct Impl;
    bool deviceMetrics(bool quiet = false);
    void endDocumentState();
    std::unique_ptr<Impl> d;
    DeviceMode m_devMode;
};

// The substitute used when no printer is installed: the paper table at 600
// dpi, 5 mm margins, and documents that print nothing.
class TzdVirtualPrinter : public TzdCustomPrinter {
public:
    using TzdCustomPrinter::TzdCustomPrinter;

    void Initialize() override;
    void AbortDocument() override { m_fileName.clear(); }
    bool BeginDocument() override { return true; }
    void BeginPage() override {}
    bool BeginRawDocument() override { return true; }
    bool EndDocument() override;
    void EndPage() override {}
    bool EndRawDocument() override { return true; }
    void WriteRawData(const QByteArray&) override {}
    void SetViewParameters(int Paper, long double Width, long double Height,
                           plat::TPrinterOrientation Orientation) override;
    void SetPrintParameters(int Paper, plat::TPrinterOrientation Orientation, int Copies, int Duplex, int Bin,
                            long double Height, long double Width) override;
    bool ShowPropertiesDialog() override { return false; }
};

class TzdPrinters {
public:
    // Fills the list and makes the default printer current (the virtual
    // printer when there is no queue).
    TzdPrinters();
    ~TzdPrinters();
    TzdPrinters(const TzdPrinters&) = delete;
    TzdPrinters& operator=(const TzdPrinters&) = delete;

    void Clear();
    // nullptr for an index outside the list.
    TzdCustomPrinter* Items(int Index) const;
    int Count() const { return int(m_items.size()); }
    // The first printer of that name ignoring case; -1 when none.
    int IndexOf(const QString& Name) const;
    // Makes the printer current and initialises it; -1: the system's default.
    void SetPrinterIndex(int Index);
    TzdCustomPrinter* CurrentPrinter() const { return Items(m_activeIndex); }
    QString GetDefaultPrinter() const;
    // The print server's queues, sorted by name; the virtual printer alone
    // when there is none. No printer is current afterwards.
    void FillPrinters();

    bool HasRealPrinters() const { return m_hasRealPrinters; }
    const QStringList& Printers() const { return m_printers; }
    int ActivePrinterIndex() const { return m_activeIndex; }
    void SetActivePrinterIndex(int Index) { SetPrinterIndex(Index); }

private:
    void choosePrinter();
    std::vector<std::unique_ptr<TzdCustomPrinter>> m_items;
    QStringList m_printers;
    bool m_hasRealPrinters = false;
    int m_activeIndex = -1;
};

// The process-wide list, created on first use.
TzdPrinters* zdPrinters();

// The size in millimetres of a paper of the table; false for a number the
// table lacks (48 and 49, 256 and above).
bool zdLookupPaperSize(int PaperNumber, long double& Width, long double& Height);
