// The barcode component: published properties, layout and drawing.
#include "zdBarcod.h"

#include "Canvas.h"
#include "Metafile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

PLAT_DEFINE_ENUM(TzdBarcodeType, "bcCode_2_5_interleaved", "bcCode_2_5_industrial", "bcCode_2_5_matrix", "bcCode39",
                 "bcCode39Extended", "bcCode128", "bcCode128A", "bcCode128B", "bcCode128C", "bcCode93",
                 "bcCode93Extended", "bcCodeMSI", "bcCodePostNet", "bcCodeCodabar", "bcCodeEAN8", "bcCodeEAN13",
                 "bcCodeUPC_A", "bcCodeUPC_E0", "bcCodeUPC_E1", "bcCodeUPC_Supp2", "bcCodeUPC_Supp5", "bcCodeEAN128",
                 "bcCodeEAN128A", "bcCodeEAN128B", "bcCodeEAN128C", "bcGS1Code128")
PLAT_DEFINE_ENUM(TzdCheckSumMethod, "csmNone", "csmModulo10")

PLAT_DEFINE_CLASS(TzdBarcode, c)
{
    c.property("Text", &TzdBarcode::Text, &TzdBarcode::SetText);
    c.property("Modul", &TzdBarcode::Modul, &TzdBarcode::SetModul).defaultValue(1);
    c.property("Ratio", &TzdBarcode::Ratio, &TzdBarcode::SetRatio);
    c.property("Typ", &TzdBarcode::Typ, &TzdBarcode::SetTyp).defaultValue(bcCodeEAN13);
    c.property("Checksum", &TzdBarcode::Checksum, &TzdBarcode::SetChecksum).defaultValue(false);
    c.property("CheckSumMethod", &TzdBarcode::CheckSumMethod, &TzdBarcode::SetCheckSumMethod)
        .defaultValue(csmModulo10);
    c.property("Angle", &TzdBarcode::Angle, &TzdBarcode::SetAngle);
    // Read-only: the measure encodes the text.
    c.property("Width", [](const TzdBarcode& b) { return const_cast<TzdBarcode&>(b).GetWidth(); });
    c.property("Height", &TzdBarcode::Height, &TzdBarcode::SetHeight).defaultValue(0);
    c.property<plat::ti::TColor>("Color", &TzdBarcode::Color, &TzdBarcode::SetColor).defaultValue(plat::clWhite);
    c.property<plat::ti::TColor>("ColorBar", &TzdBarcode::ColorBar, &TzdBarcode::SetColorBar)
        .defaultValue(plat::clBlack);
    c.property("Font", &TzdBarcode::Font, &TzdBarcode::SetFont);
}

namespace {

constexpr int kDefaultFontSize = 9;
constexpr int kScreenPPI = 96;

int roundInt(double v) { return int(std::nearbyint(v)); }

bool isRightAngle(double angle) { return std::fmod(angle, 90.0) == 0.0; }

bool isHorizontal(double angle) { return std::fmod(angle, 180.0) == 0.0; }

} // namespace

struct TzdBarcode::Layout {
    int width = 0;  // W: the symbol width in picture units
    int pictureWidth = 0;
    int pictureHeight = 0;
    int band = 0;   // height of the text band
    plat::TFont font;
};

TzdBarcode::TzdBarcode(plat::TComponent* AOwner)
    : plat::TComponent(AOwner), m_font(std::make_unique<plat::TFont>())
{
    m_font->SetName(QStringLiteral("Arial"));
    m_font->SetPixelsPerInch(kScreenPPI);
    m_font->SetSize(kDefaultFontSize);
}

TzdBarcode::~TzdBarcode() = default;

void TzdBarcode::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdBarcode*>(Source);
    if (!src)
        return;
    m_height = src->m_height;
    m_symbol.Text = src->m_symbol.Text;
    m_left = src->m_left;
    m_top = src->m_top;
    m_symbol.Modul = src->m_symbol.Modul;
    m_symbol.Ratio = src->m_symbol.Ratio;
    m_symbol.Typ = src->m_symbol.Typ;
    m_symbol.Checksum = src->m_symbol.Checksum;
    m_angle = src->m_angle;
    m_color = src->m_color;
    m_colorBar = src->m_colorBar;
    m_symbol.CheckSumMethod = src->m_symbol.CheckSumMethod;
}

void TzdBarcode::SetFont(plat::TFont* Value)
{
    if (Value && Value != m_font.get())
        m_font->AssignFont(*Value);
}

void TzdBarcode::DrawBarcode(plat::TCanvas& Canvas, const plat::TRect& Rect, bool ShowText, long double ScaleX,
                             long double ScaleY)
{
    (void)ScaleX;
    (void)ScaleY;
    const QString modules = MakeModuleString();
    Layout layout;
    layout.width = m_symbol.ModulesWidth(modules);
    m_left = 0;
    m_top = 0;
    layout.font.AssignFont(*m_font);
    const int size = layout.font.Size();
    layout.font.SetPixelsPerInch(kScreenPPI);
    layout.font.SetSize(size);
    layout.band = 2 - layout.font.Height();

    const int w = layout.width;
    if (w <= 0)
        return;
    const double rectWidth = double(Rect.Right) - Rect.Left;
    const double rectHeight = double(Rect.Bottom) - Rect.Top;
    int barLength = 0;
    if (isHorizontal(m_angle)) {
        const double k = rectWidth / w;
        if (!(k > 0))
            return;
        layout.pictureWidth = w;
        layout.pictureHeight = roundInt(rectHeight / k);
        barLength = layout.pictureHeight;
    } else {
        const double k = rectHeight / w;
        if (!(k > 0))
            return;
        layout.pictureWidth = roundInt(rectWidth / k);
        layout.pictureHeight = w;
        barLength = layout.pictureWidth;
    }
    m_height = barLength;
    if (ShowText) {
        const bool guards = zd::hasGuardBarText(m_symbol.Typ);
        m_height = guards ? barLength - layout.band / 2 : barLength - layout.band - 2;
        const int shift = guards ? (layout.band + 2) / 2 : layout.band + 2;
        const int angle = roundInt(m_angle);
        if (angle == 180)
            m_top = shift;
        else if (angle == 270)
            m_left = shift;
    }
    // A frame too small for the text leaves no room for bars, not bars that
    // grow the other way.
    m_height = std::max(0, m_height);
    if (layout.pictureWidth <= 0 || layout.pictureHeight <= 0)
        return;

    // The symbol is drawn as a picture of pictureWidth x pictureHeight
    // stretched onto Rect; each operation is played onto the canvas as it is
    // made, which gives the pixels of playing the finished picture without
    // keeping a record of every bar.
    plat::TMetafile picture;
    picture.SetWidth(layout.pictureWidth);
    picture.SetHeight(layout.pictureHeight);
    plat::TMetafilePlayer player(Canvas, rectWidth / layout.pictureWidth, rectHeight / layout.pictureHeight,
                                 Rect.Left, Rect.Top);
    {
        plat::TMetafileCanvas surface(picture, player, kScreenPPI);
        drawBars(surface, modules, w);
        if (ShowText)
            drawText(surface, layout);
    }
    player.Finish();
}

void TzdBarcode::drawBars(plat::TCanvas& canvas, const QString& modules, int width) const
{
    const double theta = m_angle * std::numbers::pi / 180.0;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const int h = m_height;
    // Moves the turned width x Height rectangle to non-negative coordinates.
    int ox = 0, oy = 0;
    if (s >= 0 && c >= 0) {
        oy = roundInt(width * s);
    } else if (s >= 0) {
        ox = roundInt(-width * c);
        oy = roundInt(width * s - h * c);
    } else if (c >= 0) {
        ox = roundInt(-h * s);
    } else {
        ox = roundInt(-width * c) + roundInt(-h * s);
        oy = roundInt(-h * c);
    }
    ox += m_left;
    oy += m_top;
    auto turn = [&](double px, double py) {
        return plat::TPoint{roundInt(px * c + py * s) + ox, roundInt(-px * s + py * c) + oy};
    };

    const bool rightAngle = isRightAngle(m_angle);
    canvas.Brush().SetStyle(plat::bsSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(plat::psClear);
    int x = 0;
    for (QChar ch : modules) {
        int w = 0;
        zd::ModuleKind kind;
        m_symbol.GetModuleInfo(ch, w, kind);
        canvas.Brush().SetColor(kind == zd::ModuleKind::Gap ? m_color : m_colorBar);
        // Each module covers [x, x + w) across the bars, so stretched
        // pictures keep every bar exactly its share of the width.
        const int top = kind == zd::ModuleKind::ShortBar ? h - h * 2 / 5 : 0;
        const plat::TPoint a = turn(x, top);
        const plat::TPoint b = turn(x + w, h);
        if (rightAngle) {
            canvas.FillRect(plat::TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X),
                                        std::max(a.Y, b.Y)));
        } else {
            canvas.Polygon({a, turn(x, h), b, turn(x + w, top)});
        }
        x += w;
    }
}

void TzdBarcode::drawText(plat::TCanvas& canvas, const Layout& layout) const
{
    canvas.SetFont(layout.font);
    const std::vector<zd::TextPiece> pieces = zd::humanReadablePieces(
        m_symbol.Typ, m_symbol.Text, m_symbol.Ean8Digits(), layout.width, m_symbol.Modul,
        [&canvas](const QString& t) { return canvas.TextWidth(t); });
    const int angle = roundInt(m_angle);
    canvas.Font().SetOrientation(angle * 10);
    canvas.Brush().SetStyle(plat::bsSolid);
    canvas.Brush().SetColor(m_color);
    canvas.SetBkMode(plat::TRANSPARENT);

    const int pw = layout.pictureWidth;
    const int ph = layout.pictureHeight;
    const int band = layout.band;
    auto normalized = [](int x1, int y1, int x2, int y2) {
        return plat::TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    };
    for (const zd::TextPiece& p : pieces) {
        switch (angle) {
        case 90:
            canvas.FillRect(normalized(pw - band, ph - p.from, pw, ph - p.to - 1));
            canvas.TextOut(pw - band, ph - p.x, p.text);
            break;
        case 180:
            canvas.FillRect(normalized(pw - p.from, 0, pw - p.to - 1, band + 2));
            canvas.TextOut(pw - p.x, band, p.text);
            break;
        case 270:
            canvas.FillRect(normalized(0, p.from, band, p.to + 1));
            canvas.TextOut(band, p.x, p.text);
            break;
        default:
            canvas.FillRect(normalized(p.from, ph - band - 2, p.to + 1, ph));
            canvas.TextOut(p.x, ph - band, p.text);
            break;
        }
    }
}

namespace zd {

bool hasGuardBarText(TzdBarcodeType typ)
{
    switch (typ) {
    case bcCodeEAN8:
    case bcCodeEAN13:
    case bcCodeUPC_A:
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return true;
    default:
        return false;
    }
}

std::vector<TextPiece> humanReadablePieces(TzdBarcodeType typ, const QString& text, const QString& ean8Digits,
                                           int w, int modul, const std::function<int(const QString&)>& textWidth)
{
    auto centred = [&](const QString& t) { return std::vector<TextPiece>{{t, (w - textWidth(t)) / 2, 0, w}}; };
    // The digit positions count modules; wider modules move them along
    // with the bars.
    const int m = std::max(1, modul);
    auto piece = [&](qsizetype from, qsizetype count, int x, int to) {
        return TextPiece{text.mid(from, count), x * m, x * m, to};
    };
    switch (typ) {
    case bcCodeEAN8:
        return {{ean8Digits.left(4), 3 * m, 3 * m, 30 * m}, {ean8Digits.mid(4, 4), 35 * m, 35 * m, w - 4 * m}};
    case bcCodeEAN13:
        return {piece(0, 1, -8, -2 * m), piece(1, 6, 3, 44 * m), piece(7, 6, 49, w - 4 * m)};
    case bcCodeUPC_A:
        return {piece(0, 1, -8, -2 * m), piece(1, 5, 10, 44 * m), piece(6, 5, 49, 83 * m),
                {text.mid(11, 1), w + m, w + m, w + 8 * m}};
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        return {piece(0, 6, 3, 44 * m), {text.mid(6, 1), w + m, w + m, w + 8 * m}};
    default:
        break;
    }
    if (isCode128Family(typ))
        return centred(Code128HumanText(text));
    return centred(text);
}

} // namespace zd
