#include "zdBarcode2DView.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Variant.h"
#include "zdBarcodeView.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdRes.h"

#include <QImage>

#include <cmath>

PLAT_DEFINE_ENUM(TzdBarcode2DType, "bcCodePDF417", "bcCodeDataMatrix", "bcCodeQR")

PLAT_DEFINE_CLASS(TzdBarcode2DProperties, c) {}

PLAT_DEFINE_CLASS(TzdPDF417Properties, c)
{
    using P = TzdPDF417Properties;
    c.property("AspectRatio", &P::AspectRatio, &P::SetAspectRatio);
    c.property("Columns", &P::Columns, &P::SetColumns);
    c.property("Rows", &P::Rows, &P::SetRows);
    c.property("ErrorCorrection", &P::ErrorCorrection, &P::SetErrorCorrection);
    c.property("CodePage", &P::CodePage, &P::SetCodePage);
    c.property("CompactionMode", &P::CompactionMode, &P::SetCompactionMode);
    c.property("PixelWidth", &P::PixelWidth, &P::SetPixelWidth);
    c.property("PixelHeight", &P::PixelHeight, &P::SetPixelHeight);
}

PLAT_DEFINE_CLASS(TzdDataMatrixProperties, c)
{
    using P = TzdDataMatrixProperties;
    c.property("CodePage", &P::CodePage, &P::SetCodePage);
    c.property("PixelSize", &P::PixelSize, &P::SetPixelSize);
    c.property("SymbolSize", &P::SymbolSize, &P::SetSymbolSize);
    c.property("Encoding", &P::Encoding, &P::SetEncoding);
}

PLAT_DEFINE_CLASS(TzdQRProperties, c)
{
    using P = TzdQRProperties;
    c.property("Encoding", &P::Encoding, &P::SetEncoding);
    c.property("QuietZone", &P::QuietZone, &P::SetQuietZone);
    c.property("ErrorLevels", &P::ErrorLevels, &P::SetErrorLevels);
    c.property("PixelSize", &P::PixelSize, &P::SetPixelSize);
    c.property("CodePage", &P::CodePage, &P::SetCodePage);
}

PLAT_DEFINE_CLASS(TzdBarcode2DView, c)
{
    using V = TzdBarcode2DView;
    zd::ViewProperties<V> v{c};
    c.property("Expression", &V::Expression);
    c.property("BarType", &V::BarType, &V::SetBarType).defaultValue(bcCodePDF417);
    c.property("BarProperties", &V::BarProperties, &V::SetBarProperties);
    v.BrushStyle();
    v.Color();
    v.Cursor();
    v.DataField();
    v.DataSet();
    v.DataSetName();
    v.Frame();
    c.property("HAlign", &V::HAlign).defaultValue(haLeft);
    c.property("Rotation", &V::Rotation, &V::SetRotation);
    c.property("ShowText", &V::ShowText, &V::SetShowText);
    v.TagStr();
    c.property("Text", &V::Text, &V::SetText);
    v.URL();
    c.property("Zoom", &V::Zoom, &V::SetZoom);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont);
    c.property("FontScaled", &V::FontScaled, &V::SetFontScaled);
    c.property("ErrorText", &V::ErrorText, &V::SetErrorText);
    c.property("QuietZone", &V::QuietZone, &V::SetQuietZone);
}

void TzdPDF417Properties::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdPDF417Properties*>(Source);
    if (!src)
        return;
    SetAspectRatio(src->AspectRatio());
    SetColumns(src->Columns());
    SetRows(src->Rows());
    SetErrorCorrection(src->ErrorCorrection());
    SetCodePage(src->CodePage());
    SetCompactionMode(src->CompactionMode());
    SetPixelWidth(src->PixelWidth());
    SetPixelHeight(src->PixelHeight());
}

void TzdDataMatrixProperties::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdDataMatrixProperties*>(Source);
    if (!src)
        return;
    SetCodePage(src->CodePage());
    SetPixelSize(src->PixelSize());
    SetSymbolSize(src->SymbolSize());
    SetEncoding(src->Encoding());
}

void TzdQRProperties::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TzdQRProperties*>(Source);
    if (!src)
        return;
    SetEncoding(src->Encoding());
    SetQuietZone(src->QuietZone());
    SetErrorLevels(src->ErrorLevels());
    SetCodePage(src->CodePage());
}

namespace zd {

int snapRotation(long double Rotation)
{
    // Negative and absurd values count as very large, which snap to 0.
    if (!std::isfinite(Rotation) || Rotation < 0 || Rotation > 360)
        return 0;
    const auto r = static_cast<unsigned>(std::nearbyint(Rotation));
    if (r < 45)
        return 0;
    if (r <= 135)
        return 90;
    if (r <= 224)
        return 180;
    if (r <= 315)
        return 270;
    return 0;
}

} // namespace zd

namespace {

struct SymbolKind {
    std::unique_ptr<TzdBarcode2DBase> symbol;
    std::unique_ptr<TzdBarcode2DProperties> properties;
};

SymbolKind makeSymbol(TzdBarcode2DType type)
{
    SymbolKind kind;
    switch (type) {
    case bcCodeDataMatrix:
        kind.symbol = std::make_unique<TzdBarcodeDataMatrix>();
        kind.properties = std::make_unique<TzdDataMatrixProperties>();
        break;
    case bcCodeQR:
        kind.symbol = std::make_unique<TzdBarcodeQR>();
        kind.properties = std::make_unique<TzdQRProperties>();
        break;
    default:
        kind.symbol = std::make_unique<TzdBarcodePDF417>();
        kind.properties = std::make_unique<TzdPDF417Properties>();
        break;
    }
    kind.properties->SetSymbol(kind.symbol.get());
    return kind;
}

bool upright(int rotation)
{
    return rotation != 90 && rotation != 270;
}

} // namespace

TzdBarcode2DView::TzdBarcode2DView(plat::TComponent* AOwner) : TzdStretcheable(AOwner)
{
    SymbolKind kind = makeSymbol(bcCodePDF417);
    m_symbol = std::move(kind.symbol);
    m_properties = std::move(kind.properties);
    m_symbol->SetFont(Font());
    setSizeDirect(0, 0);
    SetStretchMode(smActualHeight);
}

TzdBarcode2DView::~TzdBarcode2DView()
{
    m_properties.reset();
    m_symbol.reset();
}

QString TzdBarcode2DView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obBarC"));
}

void TzdBarcode2DView::ApplyDesignFlags(quint16 Flags)
{
    if (Flags <= bcCodeQR)
        SetBarType(static_cast<TzdBarcode2DType>(Flags));
}

void TzdBarcode2DView::SetBarType(TzdBarcode2DType Value)
{
    if (Value == m_barType || Value < bcCodePDF417 || Value > bcCodeQR)
        return;
    m_properties.reset();
    m_symbol.reset();
    SymbolKind kind = makeSymbol(Value);
    m_symbol = std::move(kind.symbol);
    m_properties = std::move(kind.properties);
    m_barType = Value;
    if (zd::ReportDocument* doc = reportDocument())
        if (TzdCustomDesigner* designer = doc->Designer())
            designer->RefreshInspector();
}

void TzdBarcode2DView::SetBarProperties(TzdBarcode2DProperties* Value)
{
    m_properties->Assign(Value);
}

void TzdBarcode2DView::GetData()
{
    TzdStretcheable::GetData();
    m_dataError.clear();
    QString text;
    if (IsDataField()) {
        if (zd::barcodeTextOf(DataSet()->GetValue(DataField()), text, m_dataError))
            m_symbol->SetText(text);
    } else if (!Expression.isEmpty()) {
        if (zd::ReportDocument* doc = reportDocument())
            if (zd::barcodeTextOf(doc->Calc(Expression), text, m_dataError))
                m_symbol->SetText(text);
    }
}

void TzdBarcode2DView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                            long double OffsetY)
{
    const int rotation = zd::snapRotation(m_symbol->Rotation());
    m_symbol->SetRotation(rotation);
    const long double zoom = m_symbol->Zoom();
    if (!std::isfinite(zoom) || zoom <= 0 || zoom > 1e6L)
        m_symbol->SetZoom(1);
    m_symbol->SetFont(Font());
    m_symbol->SetColor(Color() == plat::clNone ? plat::clWhite : Color());
    long double w = m_symbol->GetWidth();
    long double h = m_symbol->GetHeight();
    long double u = 0, v = 0;
    if (!m_symbol->FontScaled() && m_symbol->ShowText()) {
        if (upright(rotation))
            v = m_symbol->GetTextHeight();
        else
            u = m_symbol->GetTextHeight();
    }
    if (!upright(rotation))
        std::swap(w, h);
    long double height = m_symbol->Zoom() * (h - v) + v;
    long double width = m_symbol->Zoom() * (w - u) + u;
    if (Frame()->DropShadow) {
        height += std::nearbyint(Frame()->ShadowWidth);
        width += std::nearbyint(Frame()->ShadowWidth);
    }
    SetHeight(height);
    SetWidth(width);
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    const QString error = m_dataError.isEmpty() ? m_symbol->ErrorText() : m_dataError;
    if (!error.isEmpty()) {
        zd::drawBarcodeError(*Canvas, error, PixX, PixY, PixX1, PixY1, ScaleY);
        return;
    }
    DrawBackground();
    m_symbol->Draw(*Canvas, PixX, ScaleX, ScaleY, PixY);
    DrawFrame();
}

TzdExtRect TzdBarcode2DView::GetRealBounds()
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    plat::TCanvas canvas(&scratch);
    Draw(&canvas, 1, 1, 0, 0);
    return TzdStretcheable::GetRealBounds();
}

long double TzdBarcode2DView::CalcHeight()
{
    const long double height = Height();
    const TzdExtRect bounds = GetRealBounds();
    SetHeight(height);
    return bounds.Bottom - bounds.Top;
}

long double TzdBarcode2DView::FitNextPart()
{
    return Height();
}
