#pragma once
// Report objects of dot-matrix reports: a page, texts, lines and raw printer
// commands laid out on the character grid (9.6 x 17 units, 10 characters
// per inch, 17 units a line). Every geometry setter snaps to the grid, so
// whatever positions an object (loading, the designer, scripts) ends on it.

#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_shape.h"

#include <QByteArray>

enum TzdDMPFontStyle {
    fsxBold,
    fsxItalic,
    fsxUnderline,
    fsxSuperScript,
    fsxSubScript,
    fsxCondensed,
    fsxWide,
    fsx12cpi,
    fsx15cpi
};
using TzdDMPFontStyles = plat::TSet<TzdDMPFontStyle>;
PLAT_DECLARE_ENUM(TzdDMPFontStyle)
PLAT_DECLARE_SET(TzdDMPFontStyles)

namespace zd {
// A printer command as text to its bytes: "#27#64" (decimal values, each
// after a "#") or "1B40" (hexadecimal pairs; an odd last digit is ignored).
// Raises EConvertError for anything that is not a number.
QByteArray DecodeDMPCommand(const QString& Text);
// Courier New 12, bold, italic and underline from the set.
void ApplyDMPFont(plat::TFont* Font, TzdDMPFontStyles Style);
// Registers the classes and the palette entries; undone by endDotMatrixUnit.
void startDotMatrixUnit();
void endDotMatrixUnit();
} // namespace zd

class TzdDMPPage : public TzdReportPage {
    PLAT_CLASS(TzdDMPPage, TzdReportPage)
public:
    explicit TzdDMPPage(plat::TComponent* AOwner);

    TzdDMPFontStyles FontStyle() const { return m_fontStyle; }
    void SetFontStyle(TzdDMPFontStyles Value);
    void SetPaperWidth(long double Value) override;
    void SetPaperHeight(long double Value) override;
    void SetPaperSize(int Value) override;
    void ApplyPrinterDefaults() override;

protected:
    void FontChanged() override;

private:
    void applyFont();
    TzdDMPFontStyles m_fontStyle;
    bool m_applying = false;
};

class TzdDMPMemoView : public TzdCustomMemoView {
    PLAT_CLASS(TzdDMPMemoView, TzdCustomMemoView)
public:
    explicit TzdDMPMemoView(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;

    void SetLeft(long double Value) override;
    void SetTop(long double Value) override;
    void SetWidth(long double Value) override;
    void SetHeight(long double Value) override;
    void SetParentFont(bool Value) override;
    void DrawFrame() override;
    long double CalcHeight() override;
    long double CalcWidth() override;

    TzdDMPFontStyles FontStyle() const { return m_fontStyle; }
    void SetFontStyle(TzdDMPFontStyles Value);
    bool IsFontStyleStored() const { return !ParentFont(); }
    // The first Height/17 lines of the memo, each cut to Width/9.6
    // characters and ended by a line break.
    QString TruncatedText() const;

    bool TruncOutboundText = true;

protected:
    void FontChanged() override;

private:
    TzdDMPFontStyles m_fontStyle;
    bool m_applying = false;
};

class TzdDMPLineView : public TzdCustomLineView {
    PLAT_CLASS(TzdDMPLineView, TzdCustomLineView)
public:
    explicit TzdDMPLineView(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;

    void SetLeft(long double Value) override;
    void SetTop(long double Value) override;
    void SetWidth(long double Value) override;
    void SetParentFont(bool Value) override;

    TzdDMPFontStyles FontStyle() const { return m_fontStyle; }
    void SetFontStyle(TzdDMPFontStyles Value);
    bool IsFontStyleStored() const { return !ParentFont(); }

private:
    TzdDMPFontStyles m_fontStyle;
};

class TzdDMPCommand : public TzdView {
    PLAT_CLASS(TzdDMPCommand, TzdView)
public:
    explicit TzdDMPCommand(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    void SetLeft(long double Value) override;
    void SetTop(long double Value) override;
    // The bytes Command stands for (see zd::DecodeDMPCommand).
    QByteArray CommandBytes() const { return zd::DecodeDMPCommand(Command); }

    QString Command;
};
