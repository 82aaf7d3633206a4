#pragma once
// Bands: the horizontal (or vertical) strips of a report page that hold the
// printable objects. The engine prints bands, not objects; a band's class
// says when it is printed. A band draws nothing itself at run time: its fill
// and frame go out through a hidden fill object made before printing.
//
// The subreport object embeds another report page in a band.

#include "zdClass_view.h"

class TzdDataSet;
class TzdUserDataSet;
class TzdReportPage;

class TzdFillGaps : public plat::TPersistent {
    PLAT_CLASS(TzdFillGaps, plat::TPersistent)
public:
    TzdFillGaps() = default;
    void Assign(plat::TPersistent* Source) override;

    int Top = 0;
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
};

class TzdBand : public TzdReportComponent {
    PLAT_CLASS(TzdBand, TzdReportComponent)
public:
    explicit TzdBand(plat::TComponent* AOwner);
    ~TzdBand() override;

    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    QString ClassDisplayName() const override;

    // Snapped to character cells on a dot-matrix page.
    void SetLeft(long double Value) override;
    void SetTop(long double Value) override;
    void SetHeight(long double Value) override;

    // The class name without "Tzd" and "Band": "MasterData", "DataBand4".
    QString GetKindName() const;
    // The band's place in the table of the 18 kinds; 0 for none of them.
    int GetKindIndex() const;

    // The hidden fill object, first among the children, that prints the
    // band's fill and frame; none when there is nothing to show.
    void MakeFillObject();
    void FreeFillObject();
    TzdView* FillObject() const { return m_fillObject; }

    // --- properties
    TzdBand* Child() const { return m_child; }
    // Raises the circular-reference error when Value's chain leads back here.
    void SetChild(TzdBand* Value);
    TzdCustomFill* Fill() const { return m_fill; }
    void SetFill(TzdCustomFill* Value);
    TzdFillType FillType() const;
    void SetFillType(TzdFillType Value);
    TzdFillGaps* FillGap() const { return m_fillGap; }
    void SetFillGap(TzdFillGaps* Value) { m_fillGap->Assign(Value); }
    TzdFrame* Frame() const { return m_frame; }
    void SetFrame(TzdFrame* Value) { m_frame->Assign(Value); }
    bool Vertical() const { return m_vertical; }
    void SetVertical(bool Value) { m_vertical = Value; }

    bool AllowSplit = false;
    bool KeepChild = false;
    bool PrintChildIfInvisible = false;
    bool StartNewPage = false;
    bool Stretched = false;
    QString OnAfterCalcHeight;

    // --- state the engine keeps on the band
    std::vector<TzdBand*> SubBands;
    TzdBand* HeaderBand = nullptr;
    TzdBand* FooterBand = nullptr;
    TzdBand* GroupBand = nullptr;
    int LineN = 0;
    int LineThrough = 0;
    int OriginalObjectsCount = -1;
    bool HasVBands = false;
    long double StretchedHeight = 0;
    bool CutOff = false;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    bool onDotMatrixPage() const;

    TzdBand* m_child = nullptr;
    TzdCustomFill* m_fill;
    TzdFillGaps* m_fillGap;
    TzdFrame* m_frame;
    TzdView* m_fillObject = nullptr;
    bool m_vertical = false;
};

class TzdNullBand : public TzdBand {
    PLAT_CLASS(TzdNullBand, TzdBand)
public:
    explicit TzdNullBand(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdReportTitle : public TzdBand {
    PLAT_CLASS(TzdReportTitle, TzdBand)
public:
    explicit TzdReportTitle(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdReportSummary : public TzdBand {
    PLAT_CLASS(TzdReportSummary, TzdBand)
public:
    explicit TzdReportSummary(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdPageHeader : public TzdBand {
    PLAT_CLASS(TzdPageHeader, TzdBand)
public:
    explicit TzdPageHeader(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    bool PrintOnFirstPage = true;
};

class TzdPageFooter : public TzdBand {
    PLAT_CLASS(TzdPageFooter, TzdBand)
public:
    explicit TzdPageFooter(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
};

class TzdHeader : public TzdBand {
    PLAT_CLASS(TzdHeader, TzdBand)
public:
    explicit TzdHeader(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    bool ReprintOnNewPage = false;
};

class TzdFooter : public TzdBand {
    PLAT_CLASS(TzdFooter, TzdBand)
public:
    explicit TzdFooter(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdDataBand : public TzdBand {
    PLAT_CLASS(TzdDataBand, TzdBand)
public:
    explicit TzdDataBand(plat::TComponent* AOwner);
    ~TzdDataBand() override;
    QString ClassDisplayName() const override;

    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int Value);
    // Places the band in column N (1 past the last column).
    void MoveToColumn(int N);
    // Nesting level: 1 for master data to 6 for the sixth level, 0 here.
    virtual int Level() const { return 0; }

    TzdUserDataSet* RowSource() const { return m_rowSource; }

    int Columns = 0;
    long double ColumnWidth = 0;
    long double ColumnGap = 0;
    bool FooterAfterEach = false;
    QString Filter;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    QString OutlineText;
    bool PrintIfDetailEmpty = false;
    QString OnMasterDetail;
    int CurrentColumn = 0;
    long double SavedColumnPos = 0;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TzdDataSet* m_dataSet = nullptr;
    QString m_dataSetName;
    int m_rowCount = 0;
    TzdUserDataSet* m_rowSource;
};

#define ZD_DATA_BAND_LEVEL(Name, N)                                                                          \
    class Name : public TzdDataBand {                                                                        \
        PLAT_CLASS(Name, TzdDataBand)                                                                        \
    public:                                                                                                  \
        explicit Name(plat::TComponent* AOwner) : TzdDataBand(AOwner) {}                                     \
        int Level() const override { return N; }                                                             \
    };
ZD_DATA_BAND_LEVEL(TzdMasterData, 1)
ZD_DATA_BAND_LEVEL(TzdDetailData, 2)
ZD_DATA_BAND_LEVEL(TzdSubdetailData, 3)
ZD_DATA_BAND_LEVEL(TzdDataBand4, 4)
ZD_DATA_BAND_LEVEL(TzdDataBand5, 5)
ZD_DATA_BAND_LEVEL(TzdDataBand6, 6)
#undef ZD_DATA_BAND_LEVEL

class TzdGroupHeader : public TzdBand {
    PLAT_CLASS(TzdGroupHeader, TzdBand)
public:
    explicit TzdGroupHeader(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    // With DrillDown the drill name follows, escaped like every other value.
    QString DiffAttributes(TzdComponent* Reference) override;

    QString Condition;
    bool DrillDown = false;
    bool ExpandDrillDown = false;
    bool KeepTogether = false;
    bool ReprintOnNewPage = false;
    QString OutlineText;
    bool ResetPageNumbers = false;
    bool ShowFooterIfDrillDown = false;
    bool ShowChildIfDrillDown = false;
    QString DrillName;
};

class TzdGroupFooter : public TzdBand {
    PLAT_CLASS(TzdGroupFooter, TzdBand)
public:
    explicit TzdGroupFooter(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    bool HideIfSingleDataRecord = false;
};

class TzdChild : public TzdBand {
    PLAT_CLASS(TzdChild, TzdBand)
public:
    explicit TzdChild(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdColumnHeader : public TzdBand {
    PLAT_CLASS(TzdColumnHeader, TzdBand)
public:
    explicit TzdColumnHeader(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdColumnFooter : public TzdBand {
    PLAT_CLASS(TzdColumnFooter, TzdBand)
public:
    explicit TzdColumnFooter(plat::TComponent* AOwner) : TzdBand(AOwner) {}
};

class TzdOverlay : public TzdBand {
    PLAT_CLASS(TzdOverlay, TzdBand)
public:
    explicit TzdOverlay(plat::TComponent* AOwner) : TzdBand(AOwner) {}
    bool PrintOnTop = false;
};

class TzdSubreport : public TzdView {
    PLAT_CLASS(TzdSubreport, TzdView)
public:
    explicit TzdSubreport(plat::TComponent* AOwner);
    ~TzdSubreport() override;
    QString ClassDisplayName() const override;
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;

    TzdReportPage* Page() const { return m_page; }
    // The page points back to this subreport.
    void SetPage(TzdReportPage* Value);
    bool PrintOnParent = false;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TzdReportPage* m_page = nullptr;
};

namespace zd {
// The band classes in kind-index order (0 to 17).
const plat::TClass* const* bandKindTable(int& Count);
} // namespace zd
