#pragma once
// The editor's small published option objects (selection colours, gutter,
// bookmark options, glyphs), the shared picture strips, the multicast event
// chains and the abstract search engine.
//
// Every option object fires OnChange when a property writer changes a value
// (exceptions noted) and once for an Assign from its own class.

#include "Controls.h"
#include "Graphics.h"

#include <QImage>

#include <functional>
#include <memory>
#include <vector>

namespace plat {
class TCanvas;
class Exception;
} // namespace plat

class TPlainSelectedColor : public plat::TPersistent {
    PLAT_CLASS(TPlainSelectedColor, plat::TPersistent)
public:
    TPlainSelectedColor() = default;
    void Assign(plat::TPersistent* Source) override;

    plat::TColor Background() const { return m_background; }
    void SetBackground(plat::TColor value);
    plat::TColor Foreground() const { return m_foreground; }
    void SetForeground(plat::TColor value);

    plat::TNotifyEvent OnChange;

private:
    void changed();
    plat::TColor m_background = plat::clHighlight;
    plat::TColor m_foreground = plat::clHighlightText;
};

enum TPlainGutterBorderStyle { gbsNone, gbsMiddle, gbsRight };
PLAT_DECLARE_ENUM(TPlainGutterBorderStyle)

class TPlainGutter : public plat::TPersistent {
    PLAT_CLASS(TPlainGutter, plat::TPersistent)
public:
    TPlainGutter();
    ~TPlainGutter() override;
    void Assign(plat::TPersistent* Source) override;

    plat::TFont* Font() const { return m_font.get(); }
    void SetFont(plat::TFont* value);
    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor value);
    plat::TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(plat::TColor value);
    int Width() const { return m_width; }
    void SetWidth(int value);
    bool ShowLineNumbers() const { return m_showLineNumbers; }
    void SetShowLineNumbers(bool value);
    // 2..12; also sets AutoDigitCount.
    int DigitCount() const { return m_digitCount; }
    void SetDigitCount(int value);
    bool LeadingZeros() const { return m_leadingZeros; }
    void SetLeadingZeros(bool value);
    bool ZeroStart() const { return m_zeroStart; }
    void SetZeroStart(bool value);
    int LeftOffset() const { return m_leftOffset; }
    void SetLeftOffset(int value);
    int RightOffset() const { return m_rightOffset; }
    void SetRightOffset(int value);
    plat::TCursor Cursor() const { return m_cursor; }
    void SetCursor(plat::TCursor value) { m_cursor = value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool UseFontStyle() const { return m_useFontStyle; }
    void SetUseFontStyle(bool value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    int AutoDigitCount() const { return m_autoDigitCount; }
    // Fires OnChange even when the value is unchanged.
    TPlainGutterBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TPlainGutterBorderStyle value);
    int LineNumberStart() const { return m_lineNumberStart; }
    void SetLineNumberStart(int value);
    bool Gradient() const { return m_gradient; }
    void SetGradient(bool value);
    plat::TColor GradientStartColor() const { return m_gradientStartColor; }
    void SetGradientStartColor(plat::TColor value);
    plat::TColor GradientEndColor() const { return m_gradientEndColor; }
    void SetGradientEndColor(plat::TColor value);
    int GradientSteps() const { return m_gradientSteps; }
    void SetGradientSteps(int value);

    plat::TNotifyEvent OnChange;

    void UpdateAutoDigits(int LineCount);
    QString FormatLineNumber(int Line) const;
    int TotalWidth(int CharWidth) const;
    // The number shown for a line (ZeroStart and LineNumberStart applied).
    int ShownNumber(int Line) const;

private:
    void changed();
    template <class T>
    void setValue(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        changed();
    }

    std::unique_ptr<plat::TFont> m_font;
    plat::TColor m_color = plat::clBtnFace;
    plat::TColor m_borderColor = plat::clWindow;
    int m_width = 30;
    bool m_showLineNumbers = false;
    int m_digitCount = 4;
    bool m_leadingZeros = false;
    bool m_zeroStart = false;
    int m_leftOffset = 16;
    int m_rightOffset = 2;
    plat::TCursor m_cursor = plat::crDefault;
    bool m_visible = true;
    bool m_useFontStyle = true;
    bool m_autoSize = false;
    int m_autoDigitCount = 4;
    TPlainGutterBorderStyle m_borderStyle = gbsMiddle;
    int m_lineNumberStart = 1;
    bool m_gradient = false;
    plat::TColor m_gradientStartColor = plat::clWindow;
    plat::TColor m_gradientEndColor = plat::clBtnFace;
    int m_gradientSteps = 48;
};

// A list of equal pictures that bookmarks can be drawn from (the host's
// image list). The editor keeps a reference and is told when it is freed.
class TPlainImageList : public plat::TComponent {
    PLAT_CLASS(TPlainImageList, plat::TComponent)
public:
    explicit TPlainImageList(plat::TComponent* AOwner);
    virtual int Count() const { return 0; }
    virtual int ImageWidth() const { return 0; }
    virtual int ImageHeight() const { return 0; }
    virtual void Draw(plat::TCanvas& Canvas, int X, int Y, int Index) const;
};

class TPlainBookMarkOpt : public plat::TPersistent {
    PLAT_CLASS(TPlainBookMarkOpt, plat::TPersistent)
public:
    // Owner: the control, registered for the image list's free notification.
    explicit TPlainBookMarkOpt(plat::TComponent* AOwner = nullptr);
    void Assign(plat::TPersistent* Source) override;

    TPlainImageList* BookmarkImages() const { return m_bookmarkImages; }
    void SetBookmarkImages(TPlainImageList* value);
    bool DrawBookmarksFirst() const { return m_drawBookmarksFirst; }
    void SetDrawBookmarksFirst(bool value);
    bool EnableKeys() const { return m_enableKeys; }
    void SetEnableKeys(bool value) { m_enableKeys = value; }
    bool GlyphsVisible() const { return m_glyphsVisible; }
    void SetGlyphsVisible(bool value);
    int LeftMargin() const { return m_leftMargin; }
    void SetLeftMargin(int value);
    int Xoffset() const { return m_xoffset; }
    void SetXoffset(int value);

    plat::TNotifyEvent OnChange;
    // The owner calls this when the image list goes away.
    void ImageListFreed() { m_bookmarkImages = nullptr; }

private:
    void changed();
    plat::TComponent* m_owner;
    TPlainImageList* m_bookmarkImages = nullptr;
    bool m_drawBookmarksFirst = true;
    bool m_enableKeys = true;
    bool m_glyphsVisible = true;
    int m_leftMargin = 2;
    int m_xoffset = 12;
};

// Built-in pictures by resource name ("PLAINEDITWRAPPED",
// "PLAINEDITINTERNALIMAGES"); a null image for an unknown name.
QImage PlainEditResourceBitmap(const QString& ResourceName);

class TPlainGlyph : public plat::TPersistent {
    PLAT_CLASS(TPlainGlyph, plat::TPersistent)
public:
    // Without a resource name there is no built-in bitmap (mask clNone).
    TPlainGlyph(const QString& ResourceName = {}, plat::TColor MaskColor = plat::clNone);
    ~TPlainGlyph() override;
    void Assign(plat::TPersistent* Source) override;

    plat::TBitmap* Glyph() const { return m_glyph.get(); }
    void SetGlyph(plat::TBitmap* value);
    plat::TColor MaskColor() const { return m_maskColor; }
    void SetMaskColor(plat::TColor value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);

    plat::TNotifyEvent OnChange;

    void DrawGlyph(plat::TCanvas& Canvas, int X, int Y, int LineHeight) const;
    int GlyphWidth() const;
    bool HasInternalGlyph() const { return !m_internal.isNull(); }

private:
    void changed();
    QImage m_internal;
    plat::TColor m_internalMask;
    std::unique_ptr<plat::TBitmap> m_glyph;
    plat::TColor m_maskColor = plat::clNone;
    bool m_visible = true;
};

// Count equal pictures cut from one shared built-in bitmap.
class TPlainInternalImage {
public:
    TPlainInternalImage(int Count, const QString& ResourceName);
    ~TPlainInternalImage();
    TPlainInternalImage(const TPlainInternalImage&) = delete;
    TPlainInternalImage& operator=(const TPlainInternalImage&) = delete;

    int Count() const { return m_count; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void DrawImage(plat::TCanvas& Canvas, int Number, int X, int Y, int LineHeight) const;
    // How many images share the bitmap of a resource (0 once it is released).
    static int UsageCount(const QString& ResourceName);

private:
    QString m_name;
    const QImage* m_bitmap = nullptr;
    int m_count = 0;
    int m_width = 0;
    int m_height = 0;
};

// ---------------------------------------------------------------- chains

using TChainErrorEvent = plat::TEvent<void(plat::TObject* Sender, const plat::Exception& E, bool& Continue)>;

class TPlainMethodChain : public plat::TObject {
public:
    TPlainMethodChain();
    ~TPlainMethodChain() override;

    // Raises EPlainMethodChain "%s.Entry : the parameter `AEvent' must be specified."
    void AddHandler(const plat::TMethod& AEvent);
    // Removes every equal entry, from the end; raises EPlainMethodChain
    // "%s.Remove: the parameter `AEvent' must be specified." without code.
    void RemoveHandler(const plat::TMethod& AEvent);
    int Count() const { return int(m_handlers.size()); }
    void FireChain();

    TChainErrorEvent OnChainError;

protected:
    virtual void RunHandler(const plat::TMethod& Handler) = 0;
    virtual bool HandleChainException(const plat::Exception& E);
    virtual QString ChainClassName() const = 0;

private:
    std::vector<plat::TMethod> m_handlers;
};

class TPlainNotifyEventChain : public TPlainMethodChain {
public:
    explicit TPlainNotifyEventChain(plat::TObject* Sender) : m_sender(Sender) {}
    void AddHandler(const plat::TNotifyEvent& AEvent) { TPlainMethodChain::AddHandler(AEvent.toMethod()); }
    void RemoveHandler(const plat::TNotifyEvent& AEvent) { TPlainMethodChain::RemoveHandler(AEvent.toMethod()); }
    plat::TObject* Sender() const { return m_sender; }
    void SetSender(plat::TObject* Sender) { m_sender = Sender; }

protected:
    void RunHandler(const plat::TMethod& Handler) override;
    QString ChainClassName() const override { return QStringLiteral("TPlainNotifyEventChain"); }

private:
    plat::TObject* m_sender;
};

// A search engine the editor keeps a reference to; none exists in the system.
class TPlainEditSearchCustom : public plat::TComponent {
    PLAT_CLASS(TPlainEditSearchCustom, plat::TComponent)
public:
    explicit TPlainEditSearchCustom(plat::TComponent* AOwner);
    virtual QString Pattern() const = 0;
    virtual void SetPattern(const QString& Value) = 0;
    virtual int ResultCount() const = 0;
    virtual int Results(int Index) const = 0;
    virtual int Lengths(int Index) const = 0;
    virtual int FindAll(const QString& NewText) = 0;
    virtual QString Replace(const QString& aOccurrence, const QString& aReplacement) = 0;
    virtual void SetOptions(int Value) = 0;
};
