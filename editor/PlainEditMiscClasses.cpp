#include "PlainEditMiscClasses.h"

#include "Canvas.h"
#include "Exceptions.h"

#include <QPainter>

#include <algorithm>
#include <list>

using plat::TColor;

// ------------------------------------------------------------ selected colour

PLAT_DEFINE_CLASS(TPlainSelectedColor, c)
{
    c.property<plat::ti::TColor>("Background", &TPlainSelectedColor::Background, &TPlainSelectedColor::SetBackground)
        .defaultValue(plat::clHighlight);
    c.property<plat::ti::TColor>("Foreground", &TPlainSelectedColor::Foreground, &TPlainSelectedColor::SetForeground)
        .defaultValue(plat::clHighlightText);
    c.property("OnChange", &TPlainSelectedColor::OnChange);
}

void TPlainSelectedColor::changed() { OnChange(this); }

void TPlainSelectedColor::SetBackground(TColor value)
{
    if (m_background != value) {
        m_background = value;
        changed();
    }
}

void TPlainSelectedColor::SetForeground(TColor value)
{
    if (m_foreground != value) {
        m_foreground = value;
        changed();
    }
}

void TPlainSelectedColor::Assign(plat::TPersistent* Source)
{
    if (auto* other = dynamic_cast<TPlainSelectedColor*>(Source)) {
        m_background = other->m_background;
        m_foreground = other->m_foreground;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ------------------------------------------------------------ gutter

PLAT_DEFINE_ENUM(TPlainGutterBorderStyle, "gbsNone", "gbsMiddle", "gbsRight")

PLAT_DEFINE_CLASS(TPlainGutter, c)
{
    using G = TPlainGutter;
    c.property("AutoSize", &G::AutoSize, &G::SetAutoSize).defaultValue(false);
    c.property("BorderStyle", &G::BorderStyle, &G::SetBorderStyle).defaultValue(gbsMiddle);
    c.property<plat::ti::TColor>("Color", &G::Color, &G::SetColor).defaultValue(plat::clBtnFace);
    c.property<plat::ti::TColor>("BorderColor", &G::BorderColor, &G::SetBorderColor).defaultValue(plat::clWindow);
    c.property<plat::ti::TCursor>("Cursor", &G::Cursor, &G::SetCursor).defaultValue(plat::crDefault);
    c.property("DigitCount", &G::DigitCount, &G::SetDigitCount).defaultValue(4);
    c.property("Font", &G::Font, &G::SetFont);
    c.property("LeadingZeros", &G::LeadingZeros, &G::SetLeadingZeros).defaultValue(false);
    c.property("LeftOffset", &G::LeftOffset, &G::SetLeftOffset).defaultValue(16);
    c.property("RightOffset", &G::RightOffset, &G::SetRightOffset).defaultValue(2);
    c.property("ShowLineNumbers", &G::ShowLineNumbers, &G::SetShowLineNumbers).defaultValue(false);
    c.property("UseFontStyle", &G::UseFontStyle, &G::SetUseFontStyle).defaultValue(true);
    c.property("Visible", &G::Visible, &G::SetVisible).defaultValue(true);
    c.property("Width", &G::Width, &G::SetWidth).defaultValue(30);
    c.property("ZeroStart", &G::ZeroStart, &G::SetZeroStart).defaultValue(false);
    c.property("LineNumberStart", &G::LineNumberStart, &G::SetLineNumberStart).defaultValue(1);
    c.property("Gradient", &G::Gradient, &G::SetGradient).defaultValue(false);
    c.property<plat::ti::TColor>("GradientStartColor", &G::GradientStartColor, &G::SetGradientStartColor)
        .defaultValue(plat::clWindow);
    c.property<plat::ti::TColor>("GradientEndColor", &G::GradientEndColor, &G::SetGradientEndColor)
        .defaultValue(plat::clBtnFace);
    c.property("GradientSteps", &G::GradientSteps, &G::SetGradientSteps).defaultValue(48);
    c.property("OnChange", &G::OnChange);
}

TPlainGutter::TPlainGutter() : m_font(std::make_unique<plat::TFont>())
{
    m_font->SetName(QStringLiteral("Courier New"));
    m_font->SetSize(8);
    m_font->SetStyle({});
    m_font->SetOwnerListener([this](plat::TGraphicsObject*) { changed(); });
}

TPlainGutter::~TPlainGutter() = default;

void TPlainGutter::changed() { OnChange(this); }

void TPlainGutter::SetFont(plat::TFont* value)
{
    if (value)
        m_font->Assign(value);
}

void TPlainGutter::SetColor(TColor value) { setValue(m_color, value); }
void TPlainGutter::SetBorderColor(TColor value) { setValue(m_borderColor, value); }
void TPlainGutter::SetWidth(int value) { setValue(m_width, std::max(0, value)); }
void TPlainGutter::SetShowLineNumbers(bool value) { setValue(m_showLineNumbers, value); }

void TPlainGutter::SetDigitCount(int value)
{
    value = std::clamp(value, 2, 12);
    if (m_digitCount == value)
        return;
    m_autoDigitCount = m_digitCount = value;
    changed();
}

void TPlainGutter::SetLeadingZeros(bool value) { setValue(m_leadingZeros, value); }
void TPlainGutter::SetZeroStart(bool value) { setValue(m_zeroStart, value); }
void TPlainGutter::SetLeftOffset(int value) { setValue(m_leftOffset, std::max(0, value)); }
void TPlainGutter::SetRightOffset(int value) { setValue(m_rightOffset, std::max(0, value)); }
void TPlainGutter::SetVisible(bool value) { setValue(m_visible, value); }
void TPlainGutter::SetUseFontStyle(bool value) { setValue(m_useFontStyle, value); }
void TPlainGutter::SetAutoSize(bool value) { setValue(m_autoSize, value); }

void TPlainGutter::SetBorderStyle(TPlainGutterBorderStyle value)
{
    m_borderStyle = value;
    changed();
}

void TPlainGutter::SetLineNumberStart(int value)
{
    value = std::max(0, value);
    if (m_lineNumberStart == value)
        return;
    m_lineNumberStart = value;
    m_zeroStart = value == 0;
    changed();
}

void TPlainGutter::SetGradient(bool value) { setValue(m_gradient, value); }
void TPlainGutter::SetGradientStartColor(TColor value) { setValue(m_gradientStartColor, value); }
void TPlainGutter::SetGradientEndColor(TColor value) { setValue(m_gradientEndColor, value); }
void TPlainGutter::SetGradientSteps(int value) { setValue(m_gradientSteps, std::max(2, value)); }

void TPlainGutter::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TPlainGutter*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    m_font->SetOwnerListener(nullptr);
    m_font->Assign(src->m_font.get());
    m_font->SetOwnerListener([this](plat::TGraphicsObject*) { changed(); });
    m_color = src->m_color;
    m_borderColor = src->m_borderColor;
    m_width = src->m_width;
    m_showLineNumbers = src->m_showLineNumbers;
    m_digitCount = src->m_digitCount;
    m_leadingZeros = src->m_leadingZeros;
    m_zeroStart = src->m_zeroStart;
    m_leftOffset = src->m_leftOffset;
    m_rightOffset = src->m_rightOffset;
    m_cursor = src->m_cursor;
    m_visible = src->m_visible;
    m_useFontStyle = src->m_useFontStyle;
    m_autoSize = src->m_autoSize;
    m_autoDigitCount = src->m_autoDigitCount;
    m_borderStyle = src->m_borderStyle;
    m_lineNumberStart = src->m_lineNumberStart;
    m_gradient = src->m_gradient;
    m_gradientStartColor = src->m_gradientStartColor;
    m_gradientEndColor = src->m_gradientEndColor;
    m_gradientSteps = src->m_gradientSteps;
    changed();
}

int TPlainGutter::ShownNumber(int Line) const
{
    if (m_zeroStart)
        return Line - 1;
    if (m_lineNumberStart > 1)
        return Line + m_lineNumberStart - 1;
    return Line;
}

void TPlainGutter::UpdateAutoDigits(int LineCount)
{
    if (m_visible && m_autoSize && m_showLineNumbers) {
        const int last = ShownNumber(LineCount);
        const int digits = std::max(int(QString::number(last).size()), m_digitCount);
        if (digits != m_autoDigitCount) {
            m_autoDigitCount = digits;
            changed();
        }
    } else {
        m_autoDigitCount = m_digitCount;
    }
}

QString TPlainGutter::FormatLineNumber(int Line) const
{
    QString s = QString::number(ShownNumber(Line)).rightJustified(m_autoDigitCount, QLatin1Char(' '));
    if (m_leadingZeros) {
        for (qsizetype i = 0; i + 1 < s.size() && s.at(i) == QLatin1Char(' '); ++i)
            s[i] = QLatin1Char('0');
    }
    return s;
}

int TPlainGutter::TotalWidth(int CharWidth) const
{
    if (!m_visible)
        return 0;
    if (m_showLineNumbers)
        return m_leftOffset + m_rightOffset + CharWidth * m_autoDigitCount + 2;
    return m_width;
}

// ------------------------------------------------------------ image list, bookmark options

PLAT_DEFINE_CLASS(TPlainImageList, c) { (void)c; }

TPlainImageList::TPlainImageList(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}

void TPlainImageList::Draw(plat::TCanvas&, int, int, int) const {}

PLAT_DEFINE_CLASS(TPlainBookMarkOpt, c)
{
    using B = TPlainBookMarkOpt;
    c.property("BookmarkImages", &B::BookmarkImages, &B::SetBookmarkImages);
    c.property("DrawBookmarksFirst", &B::DrawBookmarksFirst, &B::SetDrawBookmarksFirst).defaultValue(true);
    c.property("EnableKeys", &B::EnableKeys, &B::SetEnableKeys).defaultValue(true);
    c.property("GlyphsVisible", &B::GlyphsVisible, &B::SetGlyphsVisible).defaultValue(true);
    c.property("LeftMargin", &B::LeftMargin, &B::SetLeftMargin).defaultValue(2);
    c.property("Xoffset", &B::Xoffset, &B::SetXoffset).defaultValue(12);
    c.property("OnChange", &B::OnChange);
}

TPlainBookMarkOpt::TPlainBookMarkOpt(plat::TComponent* AOwner) : m_owner(AOwner) {}

void TPlainBookMarkOpt::changed() { OnChange(this); }

void TPlainBookMarkOpt::SetBookmarkImages(TPlainImageList* value)
{
    if (m_bookmarkImages == value)
        return;
    m_bookmarkImages = value;
    if (value && m_owner)
        value->FreeNotification(m_owner);
    changed();
}

void TPlainBookMarkOpt::SetDrawBookmarksFirst(bool value)
{
    if (m_drawBookmarksFirst != value) {
        m_drawBookmarksFirst = value;
        changed();
    }
}

void TPlainBookMarkOpt::SetGlyphsVisible(bool value)
{
    if (m_glyphsVisible != value) {
        m_glyphsVisible = value;
        changed();
    }
}

void TPlainBookMarkOpt::SetLeftMargin(int value)
{
    if (m_leftMargin != value) {
        m_leftMargin = value;
        changed();
    }
}

void TPlainBookMarkOpt::SetXoffset(int value)
{
    if (m_xoffset != value) {
        m_xoffset = value;
        changed();
    }
}

void TPlainBookMarkOpt::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TPlainBookMarkOpt*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    m_bookmarkImages = src->m_bookmarkImages;
    if (m_bookmarkImages && m_owner)
        m_bookmarkImages->FreeNotification(m_owner);
    m_drawBookmarksFirst = src->m_drawBookmarksFirst;
    m_enableKeys = src->m_enableKeys;
    m_glyphsVisible = src->m_glyphsVisible;
    m_leftMargin = src->m_leftMargin;
    m_xoffset = src->m_xoffset;
    changed();
}

// ------------------------------------------------------------ built-in pictures

namespace {

constexpr QRgb kLime = 0xFF00FF00;

// The word-wrap mark: a hooked arrow back to the left, on the mask colour.
QImage wrappedBitmap()
{
    // clang-format off
    static constexpr const char* kRows[] = {
        "...........",
        ".......###.",
        ".........#.",
        ".........#.",
        "..#......#.",
        ".##......#.",
        "#########..",
        ".##........",
        "..#........",
        "...........",
    };
    // clang-format on
    QImage image(11, 10, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, kRows[y][x] == '#' ? 0xFF000080 : kLime);
    }
    return image;
}

// Ten bookmark pictures 0..9: a blue tab with its digit, side by side.
QImage bookmarkStrip()
{
    // 3 x 5 digits, one row per string, '#' set.
    // clang-format off
    static constexpr const char* kDigits[10][5] = {
        {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
        {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
        {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
        {"###", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
        {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
    };
    // clang-format on
    constexpr int kWidth = 11, kHeight = 11;
    QImage image(kWidth * 10, kHeight, QImage::Format_RGB32);
    image.fill(0xFFFFFFFF);
    for (int n = 0; n < 10; ++n) {
        const int x0 = n * kWidth;
        for (int y = 1; y < kHeight - 1; ++y) {
            for (int x = 1; x < kWidth - 2; ++x)
                image.setPixel(x0 + x, y, (x == 1 || y == 1 || x == kWidth - 3 || y == kHeight - 2) ? 0xFF000080
                                                                                                      : 0xFF80C0FF);
        }
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 3; ++x) {
                if (kDigits[n][y][x] == '#')
                    image.setPixel(x0 + 3 + x, 3 + y, 0xFF000000);
            }
        }
    }
    return image;
}

struct SharedBitmap {
    QString name; // upper case
    QImage image;
    int usage = 0;
};

std::list<SharedBitmap>& sharedBitmaps()
{
    static std::list<SharedBitmap> list;
    return list;
}

// The picture of a glyph's middle LineHeight rows, or the whole picture
// centred on the row height.
void drawCentred(plat::TCanvas& canvas, const QImage& image, int x, int y, int lineHeight, TColor mask)
{
    QImage part = image;
    int top = y;
    if (lineHeight < image.height()) {
        part = image.copy(0, (image.height() - lineHeight) / 2, image.width(), lineHeight);
    } else {
        top = y + (lineHeight - image.height()) / 2;
    }
    const plat::TRect dest(x, top, x + part.width(), top + part.height());
    if (mask == plat::clNone)
        canvas.DrawImage(dest, part, plat::TRect(0, 0, part.width(), part.height()));
    else
        canvas.DrawTransparent(dest, part, mask);
}

} // namespace

QImage PlainEditResourceBitmap(const QString& ResourceName)
{
    const QString name = ResourceName.toUpper();
    if (name == QLatin1String("PLAINEDITWRAPPED"))
        return wrappedBitmap();
    if (name == QLatin1String("PLAINEDITINTERNALIMAGES"))
        return bookmarkStrip();
    return {};
}

// ------------------------------------------------------------ glyph

PLAT_DEFINE_CLASS(TPlainGlyph, c)
{
    c.property("Glyph", &TPlainGlyph::Glyph, &TPlainGlyph::SetGlyph);
    c.property<plat::ti::TColor>("MaskColor", &TPlainGlyph::MaskColor, &TPlainGlyph::SetMaskColor)
        .defaultValue(plat::clNone);
    c.property("Visible", &TPlainGlyph::Visible, &TPlainGlyph::SetVisible).defaultValue(true);
    c.property("OnChange", &TPlainGlyph::OnChange);
}

TPlainGlyph::TPlainGlyph(const QString& ResourceName, TColor MaskColor)
    : m_internalMask(ResourceName.isEmpty() ? plat::clNone : MaskColor), m_glyph(std::make_unique<plat::TBitmap>())
{
    if (!ResourceName.isEmpty())
        m_internal = PlainEditResourceBitmap(ResourceName);
    m_glyph->SetOnChange([this](plat::TGraphic*) { changed(); });
}

TPlainGlyph::~TPlainGlyph() = default;

void TPlainGlyph::changed() { OnChange(this); }

void TPlainGlyph::SetGlyph(plat::TBitmap* value)
{
    if (value)
        m_glyph->Assign(value);
    else
        m_glyph->SetSize(0, 0);
}

void TPlainGlyph::SetMaskColor(TColor value)
{
    if (m_maskColor != value) {
        m_maskColor = value;
        changed();
    }
}

void TPlainGlyph::SetVisible(bool value)
{
    if (m_visible != value) {
        m_visible = value;
        changed();
    }
}

void TPlainGlyph::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TPlainGlyph*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    m_internal = src->m_internal;
    m_internalMask = src->m_internalMask;
    m_glyph->SetOnChange(nullptr);
    m_glyph->Assign(src->m_glyph.get());
    m_glyph->SetOnChange([this](plat::TGraphic*) { changed(); });
    m_maskColor = src->m_maskColor;
    m_visible = src->m_visible;
    changed();
}

void TPlainGlyph::DrawGlyph(plat::TCanvas& Canvas, int X, int Y, int LineHeight) const
{
    if (!m_glyph->Empty())
        drawCentred(Canvas, m_glyph->Image(), X, Y, LineHeight, m_maskColor);
    else if (!m_internal.isNull())
        drawCentred(Canvas, m_internal, X, Y, LineHeight, m_internalMask);
}

int TPlainGlyph::GlyphWidth() const
{
    if (!m_glyph->Empty())
        return m_glyph->Width();
    return m_internal.isNull() ? 0 : m_internal.width();
}

// ------------------------------------------------------------ internal image

TPlainInternalImage::TPlainInternalImage(int Count, const QString& ResourceName)
    : m_name(ResourceName.toUpper()), m_count(std::max(1, Count))
{
    auto& list = sharedBitmaps();
    auto it = std::find_if(list.begin(), list.end(), [this](const SharedBitmap& b) { return b.name == m_name; });
    if (it == list.end())
        it = list.insert(list.end(), SharedBitmap{m_name, PlainEditResourceBitmap(m_name), 0});
    ++it->usage;
    m_bitmap = &it->image;
    m_width = (m_bitmap->width() + m_count / 2) / m_count;
    m_height = m_bitmap->height();
}

TPlainInternalImage::~TPlainInternalImage()
{
    auto& list = sharedBitmaps();
    auto it = std::find_if(list.begin(), list.end(), [this](const SharedBitmap& b) { return b.name == m_name; });
    if (it != list.end() && --it->usage <= 0)
        list.erase(it);
}

int TPlainInternalImage::UsageCount(const QString& ResourceName)
{
    const QString name = ResourceName.toUpper();
    for (const SharedBitmap& b : sharedBitmaps()) {
        if (b.name == name)
            return b.usage;
    }
    return 0;
}

void TPlainInternalImage::DrawImage(plat::TCanvas& Canvas, int Number, int X, int Y, int LineHeight) const
{
    if (Number < 0 || Number >= m_count || m_bitmap->isNull())
        return;
    const QImage picture = m_bitmap->copy(Number * m_width, 0, m_width, m_height);
    drawCentred(Canvas, picture, X, Y, LineHeight, plat::clNone);
}

// ------------------------------------------------------------ chains

TPlainMethodChain::TPlainMethodChain() = default;
TPlainMethodChain::~TPlainMethodChain() = default;

void TPlainMethodChain::AddHandler(const plat::TMethod& AEvent)
{
    if (!AEvent.IsAssigned())
        throw plat::EPlainMethodChain(
            QStringLiteral("%1.Entry : the parameter `AEvent' must be specified.").arg(ChainClassName()));
    m_handlers.push_back(AEvent);
}

void TPlainMethodChain::RemoveHandler(const plat::TMethod& AEvent)
{
    if (!AEvent.IsAssigned())
        throw plat::EPlainMethodChain(
            QStringLiteral("%1.Remove: the parameter `AEvent' must be specified.").arg(ChainClassName()));
    for (int i = int(m_handlers.size()) - 1; i >= 0; --i) {
        if (m_handlers[size_t(i)].Identity() == AEvent.Identity())
            m_handlers.erase(m_handlers.begin() + i);
    }
}

bool TPlainMethodChain::HandleChainException(const plat::Exception& E)
{
    if (!OnChainError)
        E.raise();
    bool cont = true;
    try {
        OnChainError(this, E, cont);
    } catch (...) {
        throw plat::EPlainMethodChain(
            QStringLiteral("%1.DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler")
                .arg(ChainClassName()));
    }
    return cont;
}

void TPlainMethodChain::FireChain()
{
    // A copy: a handler may add or remove handlers.
    const std::vector<plat::TMethod> handlers = m_handlers;
    for (const plat::TMethod& handler : handlers) {
        try {
            RunHandler(handler);
        } catch (const plat::Exception& e) {
            if (!HandleChainException(e))
                return;
        }
    }
}

void TPlainNotifyEventChain::RunHandler(const plat::TMethod& Handler)
{
    plat::TNotifyEvent::fromMethod(Handler)(m_sender);
}

// ------------------------------------------------------------ search engine

PLAT_DEFINE_CLASS(TPlainEditSearchCustom, c) { (void)c; }

TPlainEditSearchCustom::TPlainEditSearchCustom(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
