#pragma once
// The pages, the direct children of a report: report pages (a sheet of
// paper with margins, columns and a background, holding bands), dialog
// pages (a window shown before the report is built) and the data page (the
// report's non-visual data components).
//
// Sizes of a report page are millimetres; its Width and Height are the
// sheet in pixels (SizeToPaper), except while AlignChildren works on the
// printable area.

#include "zdClass.h"

#include "Controls.h"
#include "Graphics.h"
#include "Papers.h"

class TzdDataSet;
class TzdFrame;
class TzdPictureView;
class TzdSubreport;
class TzdBand;

namespace plat {
class TForm;
class TPicture;
} // namespace plat

enum TzdDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
PLAT_DECLARE_ENUM(TzdDuplexMode)

class TzdPage : public TzdComponent {
    PLAT_CLASS(TzdPage, TzdComponent)
public:
    explicit TzdPage(plat::TComponent* AOwner);
    ~TzdPage() override;
};

class TzdReportPage : public TzdPage {
    PLAT_CLASS(TzdReportPage, TzdPage)
public:
    explicit TzdReportPage(plat::TComponent* AOwner);
    ~TzdReportPage() override;
    QString ClassDisplayName() const override;

    // --- paper
    plat::TPrinterOrientation Orientation() const { return m_orientation; }
    // Swaps the paper's sides and turns the margins with it.
    void SetOrientation(plat::TPrinterOrientation Value);
    long double PaperWidth() const { return m_paperWidth; }
    long double PaperHeight() const { return m_paperHeight; }
    // A size of one's own: PaperSize becomes 256.
    virtual void SetPaperWidth(long double Value);
    virtual void SetPaperHeight(long double Value);
    int PaperSize() const { return m_paperSize; }
    // A number of the paper table takes its size; 256 and above change
    // nothing else.
    virtual void SetPaperSize(int Value);
    // Size, width and height as given, without the table.
    void SetPaperFormat(int Size, long double Width, long double Height);
    // Margins 10 mm and the current printer's default paper.
    virtual void ApplyPrinterDefaults();
    // Width and Height := the sheet in pixels.
    void SizeToPaper();

    // --- columns
    int Columns() const { return m_columns; }
    // Spreads the printable width over Value columns.
    void SetColumns(int Value);
    zd::TStringList* ColumnPositions() const { return m_columnPositions; }
    void SetColumnPositions(zd::TStringList* Value);

    // --- guides
    zd::TStringList* HGuides() const { return m_hGuides; }
    zd::TStringList* VGuides() const { return m_vGuides; }
    void SetHGuides(zd::TStringList* Value);
    void SetVGuides(zd::TStringList* Value);
    void RemoveAllGuides();

    // --- background, colour and frame (held by the background view)
    TzdPictureView* BackgroundView() const { return m_backgroundView; }
    plat::TPicture* BackPicture() const;
    void SetBackPicture(plat::TPicture* Value);
    plat::TColor Color() const;
    void SetColor(plat::TColor Value);
    TzdFrame* Frame() const;
    void SetFrame(TzdFrame* Value);
    void PaintBackPicture(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                          long double OffsetY);

    // --- data
    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);

    int PageCount() const { return m_pageCount; }
    void SetPageCount(int Value);

    // Sizes the bands to the printable area and aligns their children.
    void AlignChildren() override;
    TzdBand* FirstBandOfClass(const plat::TClass* BandClass) const;
    bool BelongsToSubreport() const { return EmbeddingSubreport != nullptr; }

    long double LeftMargin = 0;
    long double RightMargin = 0;
    long double TopMargin = 0;
    long double BottomMargin = 0;
    bool MirrorMargins = false;
    long double ColumnWidth = 0;
    int Bin = plat::DMBIN_AUTO;
    int BinOtherPages = plat::DMBIN_AUTO;
    bool BackPictureVisible = true;
    bool BackPicturePrintable = true;
    bool BackPictureStretched = true;
    TzdDuplexMode Duplex = dmNone;
    bool EndlessHeight = false;
    bool EndlessWidth = false;
    bool LargeDesignHeight = false;
    QString OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool ShowTitleOnPreviousPage = true;
    bool ResetPageNumbers = false;
    bool TitleBeforeHeader = true;
    QString OnAfterPrint;
    QString OnBeforePrint;
    QString OnManualBuild;

    TzdSubreport* EmbeddingSubreport = nullptr;
    std::vector<TzdBand*> HorizontalBands;
    std::vector<TzdBand*> VerticalBands;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    plat::TPrinterOrientation m_orientation = plat::poPortrait;
    long double m_paperWidth = 0;
    long double m_paperHeight = 0;
    int m_paperSize = plat::DMPAPER_A4;
    int m_columns = 0;
    int m_pageCount = 1;
    zd::TStringList* m_columnPositions;
    zd::TStringList* m_hGuides;
    zd::TStringList* m_vGuides;
    TzdPictureView* m_backgroundView;
    TzdDataSet* m_dataSet = nullptr;
    QString m_dataSetName;
};

// A dialog page keeps the window's properties; the window itself is made
// by the engine layer when the report shows the page.
class TzdDialogPage : public TzdPage {
    PLAT_CLASS(TzdDialogPage, TzdPage)
public:
    explicit TzdDialogPage(plat::TComponent* AOwner);
    ~TzdDialogPage() override;
    QString ClassDisplayName() const override;

    // While the page loads, a stored client size wins over the outer size.
    long double ClientWidth() const { return m_clientWidth; }
    void SetClientWidth(long double Value);
    long double ClientHeight() const { return m_clientHeight; }
    void SetClientHeight(long double Value);

    // The page's window (made on first use; a real window while designing).
    plat::TForm* Form();
    // Shows the form modally with the page's caption, colour, border and
    // bounds, its events bound to the page's script handlers; the bounds the
    // user gave the window come back into the page. The result is the
    // form's modal result (2 is cancel).
    int ShowModal();
    int ModalResult = 0;

    plat::TFormBorderStyle BorderStyle = plat::fbsSizeable;
    QString Caption;
    plat::TColor Color = plat::clBtnFace;
    plat::TPosition Position = plat::poScreenCenter;
    plat::TWindowState WindowState = plat::wsNormal;
    QString OnActivate, OnClick, OnCloseQuery, OnDeactivate, OnHide, OnKeyDown, OnKeyPress, OnKeyUp, OnShow,
        OnResize;

private:
    void copyBoundsFromForm();
    long double m_clientWidth = 0;
    long double m_clientHeight = 0;
    plat::TForm* m_form = nullptr;
};

class TzdDataPage : public TzdPage {
    PLAT_CLASS(TzdDataPage, TzdPage)
public:
    explicit TzdDataPage(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
};
