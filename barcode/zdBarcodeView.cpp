#include "zdBarcodeView.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Variant.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeEditor.h"
#include "zdDataSets.h"
#include "zdDsgnIntf.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <cmath>

PLAT_DEFINE_CLASS(TzdBarCodeView, c)
{
    zd::ViewProperties<TzdBarCodeView> v{c};
    c.property("BarType", &TzdBarCodeView::BarType).defaultValue(bcCode39);
    v.BrushStyle();
    c.property("CalcCheckSum", &TzdBarCodeView::CalcCheckSum).defaultValue(false);
    v.FillType();
    v.Fill();
    v.Color();
    v.Cursor();
    v.DataField();
    v.DataSet();
    v.DataSetName();
    c.property("Expression", &TzdBarCodeView::Expression);
    v.Frame();
    c.property("HAlign", &TzdBarCodeView::HAlign).defaultValue(haLeft);
    c.property("Rotation", &TzdBarCodeView::Rotation);
    c.property("ShowText", &TzdBarCodeView::ShowText).defaultValue(true);
    v.TagStr();
    c.property("TestLine", &TzdBarCodeView::TestLine).defaultValue(false);
    c.property("Text", &TzdBarCodeView::Text, &TzdBarCodeView::SetText);
    v.URL();
    c.property("WideBarRatio", &TzdBarCodeView::WideBarRatio);
    c.property("Zoom", &TzdBarCodeView::Zoom);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont);
}

namespace {

constexpr int kMaxTextPoints = 9;
constexpr long double kMinZoom = 0.0001L;
constexpr int kPaletteImage = 23;
const QString kDefaultText = QStringLiteral("12345678");

// Zoom from a file may be anything; geometry takes only a sane factor.
long double usableZoom(long double zoom)
{
    return std::isfinite(zoom) && zoom >= kMinZoom && zoom <= 1e6L ? zoom : 1.0L;
}

bool upright(int rotation)
{
    return rotation != 90 && rotation != 270;
}

} // namespace

namespace zd {

void barcodeTextExtras(TzdBarcodeType Type, int& Left, int& Right)
{
    Left = Right = 0;
    switch (Type) {
    case bcCodeEAN13:
        Left = 8;
        break;
    case bcCodeUPC_A:
        Left = 8;
        Right = 9;
        break;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
        Right = 9;
        break;
    default:
        break;
    }
}

void drawBarcodeError(plat::TCanvas& Canvas, const QString& Message, int X, int Y, int X1, int Y1,
                      long double ScaleY)
{
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(std::max(1, int(std::nearbyint(ScaleY * 8))));
    font.SetColor(plat::clRed);
    Canvas.SetFont(font);
    Canvas.Brush().SetStyle(plat::bsClear);
    const int width = X1 - X - 2;
    const int lineHeight = Canvas.TextHeight(QStringLiteral("Wg"));
    int y = Y + 2;
    QString line;
    auto flush = [&] {
        if (!line.isEmpty() && y < Y1)
            Canvas.TextOut(X + 2, y, line);
        y += lineHeight;
        line.clear();
    };
    for (const QString& word : Message.split(u' ', Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && Canvas.TextWidth(candidate) > width)
            flush();
        line = line.isEmpty() ? word : line + u' ' + word;
    }
    flush();
}

bool barcodeTextOf(const plat::Variant& Value, QString& Text, QString& Message)
{
    try {
        Text = Value.toString();
        return true;
    } catch (const plat::Exception& e) {
        Message = e.message();
        return false;
    }
}

} // namespace zd

TzdBarCodeView::TzdBarCodeView(plat::TComponent* AOwner)
    : TzdView(AOwner)
    , m_barcode(std::make_unique<TzdBarcode>(nullptr))
{
    Font()->SetName(QStringLiteral("Arial"));
    Font()->SetSize(kMaxTextPoints);
    Font()->SetPixelsPerInch(96);
}

TzdBarCodeView::~TzdBarCodeView() = default;

QString TzdBarCodeView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obBarC"));
}

void TzdBarCodeView::ApplyDesignFlags(quint16 Flags)
{
    if (Flags <= bcGS1Code128)
        BarType = static_cast<TzdBarcodeType>(Flags);
}

void TzdBarCodeView::FontChanged()
{
    if (Font()->Size() > kMaxTextPoints)
        Font()->SetSize(kMaxTextPoints);
    TzdView::FontChanged();
}

void TzdBarCodeView::SetText(const QString& Value)
{
    m_text = Value;
    if (Align() == baRight || Align() == baCenter)
        GetRealBounds();
}

void TzdBarCodeView::GetData()
{
    TzdView::GetData();
    m_dataError.clear();
    if (IsDataField()) {
        if (!zd::barcodeTextOf(DataSet()->GetValue(DataField()), m_text, m_dataError))
            m_text = kDefaultText;
    } else if (!Expression.isEmpty()) {
        if (zd::ReportDocument* doc = reportDocument())
            if (!zd::barcodeTextOf(doc->Calc(Expression), m_text, m_dataError))
                m_text = kDefaultText;
    }
}

// Steps 1 to 5 of drawing: the encoder takes the settings and the object
// its size.
void TzdBarCodeView::measure(int& extraLeft, int& extraRight)
{
    m_barcode->SetAngle(Rotation);
    m_barcode->SetFont(Font());
    m_barcode->SetChecksum(CalcCheckSum);
    m_barcode->SetTyp(BarType);
    m_barcode->SetRatio(double(WideBarRatio));
    m_barcode->SetColor(Color() == plat::clNone ? plat::clWhite : Color());
    m_barcode->SetText(m_text);
    const long double oldWidth = Width();
    m_errorText = m_dataError;
    Zoom = usableZoom(Zoom);
    zd::barcodeTextExtras(BarType, extraLeft, extraRight);
    int modules = 0;
    try {
        modules = m_barcode->GetWidth();
    } catch (const plat::Exception& e) {
        m_barcode->SetText(kDefaultText);
        m_errorText = e.message();
        try {
            modules = m_barcode->GetWidth();
        } catch (const plat::Exception&) {
            modules = 0;
        }
    }
    const long double size = (modules + extraLeft + extraRight) * Zoom;
    if (upright(Rotation))
        SetWidth(size);
    else
        SetHeight(size);
    if (HAlign == haRight)
        SetLeft(Left() + oldWidth - Width());
    else if (HAlign == haCenter)
        SetLeft(Left() + (oldWidth - Width()) / 2);
}

void TzdBarCodeView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                          long double OffsetY)
{
    int extraLeft = 0, extraRight = 0;
    measure(extraLeft, extraRight);
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    long double displayX = 1, displayY = 1;
    zdGetDisplayScale(*Canvas, false, displayX, displayY);
    displayX = std::min(displayX, 1.0L);
    displayY = std::min(displayY, 1.0L);
    DrawBackground();
    if (!m_errorText.isEmpty()) {
        zd::drawBarcodeError(*Canvas, m_errorText, PixX, PixY, PixX1, PixY1, ScaleY);
        return;
    }
    const int lp = zd::roundPixel(extraLeft * ScaleX);
    const int rp = zd::roundPixel(extraRight * ScaleX);
    const plat::TRect bars = upright(Rotation) ? plat::TRect{PixX + lp, PixY, PixX1 - rp, PixY1}
                                               : plat::TRect{PixX, PixY + rp, PixX1, PixY1 - lp};
    try {
        m_barcode->DrawBarcode(*Canvas, bars, ShowText, displayX, displayY);
    } catch (const plat::Exception& e) {
        m_errorText = e.message();
        zd::drawBarcodeError(*Canvas, m_errorText, PixX, PixY, PixX1, PixY1, ScaleY);
        return;
    }
    if (TestLine) {
        plat::TPen pen;
        pen.SetColor(m_barcode->ColorBar());
        pen.SetWidth(std::max(1, zd::roundPixel(ScaleY * 2)));
        Canvas->SetPen(pen);
        const int l = zd::roundPixel(extraLeft * ScaleX);
        const int r = zd::roundPixel((extraRight + 2) * ScaleX);
        switch (Rotation) {
        case 90:
            Canvas->MoveTo(PixX + l + 1, PixY);
            Canvas->LineTo(PixX + l + 1, PixY1);
            break;
        case 180:
            Canvas->MoveTo(PixX + l + 1, PixY1);
            Canvas->LineTo(PixX1 - r, PixY1);
            break;
        case 270:
            Canvas->MoveTo(PixX1 - r, PixY);
            Canvas->LineTo(PixX1 - r, PixY1);
            break;
        default:
            Canvas->MoveTo(PixX + l + 1, PixY);
            Canvas->LineTo(PixX1 - r, PixY);
            break;
        }
    }
    DrawFrame();
}

TzdExtRect TzdBarCodeView::GetRealBounds()
{
    // Drawing without a canvas only measures: the encoder takes the text
    // and the object its size, and nothing is painted.
    Draw(nullptr, 1, 1, 0, 0);
    TzdExtRect r = TzdView::GetRealBounds();
    int a = 0;
    if (upright(Rotation)) {
        plat::TCanvas canvas; // measures only
        canvas.SetFont(*Font());
        const int textWidth = canvas.TextWidth(m_barcode->Text());
        if (textWidth > Width())
            a = int(std::nearbyint((textWidth - Width()) / 2)) + 2;
    }
    const int left = (BarType == bcCodeEAN13 || BarType == bcCodeUPC_A) ? 8 : a;
    const int right = (BarType == bcCodeUPC_A || BarType == bcCodeUPC_E0 || BarType == bcCodeUPC_E1) ? 8 : a;
    switch (Rotation) {
    case 90:
        r.Bottom += left;
        r.Top -= right;
        break;
    case 180:
        r.Left -= right;
        r.Right += left;
        break;
    case 270:
        r.Bottom += right;
        r.Top -= left;
        break;
    default:
        r.Left -= left;
        r.Right += right;
        break;
    }
    return r;
}

// ---------------------------------------------------------------------------
// Palette

namespace {

// The palette's hints of the linear codes, by symbology (GS1-128 has none).
constexpr const char* kLinearHints[] = {
    "2_5_interleaved", "2_5_industrial", "2_5_matrix", "Code39",    "Code39 Extended", "Code128", "Code128A",
    "Code128B",        "Code128C",       "Code93",     "Code93Extended", "MSI",        "PostNet", "Codabar",
    "EAN8",            "EAN13",          "UPC_A",      "UPC_E0",    "UPC_E1",          "UPC_Supp2", "UPC_Supp5",
    "EAN128",          "EAN128A",        "EAN128B",    "EAN128C",
};
static_assert(std::size(kLinearHints) == 25);
constexpr const char* k2DHints[] = {"PDF417", "DataMatrix", "QRCode"};

const QString kCategory = QStringLiteral("Barcode");

} // namespace

namespace zd {

void startBarcodeViewUnit()
{
    plat::RegisterClass(TzdBarCodeView::StaticClass());
    plat::RegisterClass(TzdBarcode2DView::StaticClass());
    TzdObjectCollection* objects = zdGetObjectRegistry();
    objects->AddCategory(kCategory, nullptr, QStringLiteral("obCatBarcode"), kPaletteImage);
    for (quint16 i = 0; i < std::size(kLinearHints); ++i)
        objects->RegisterObject(TzdBarCodeView::StaticClass(), nullptr, QString::fromLatin1(kLinearHints[i]),
                                kCategory, i, kPaletteImage);
    for (quint16 i = 0; i < std::size(k2DHints); ++i)
        objects->RegisterObject(TzdBarcode2DView::StaticClass(), nullptr, QString::fromLatin1(k2DHints[i]),
                                kCategory, i, kPaletteImage);
    zdHideProperties(TzdBarcode2DView::StaticClass(), QStringLiteral("StretchMode"));
    registerBarcodeEditors();
}

void endBarcodeViewUnit()
{
    zdGetObjectRegistry()->Unregister(TzdBarCodeView::StaticClass());
    zdGetObjectRegistry()->Unregister(TzdBarcode2DView::StaticClass());
}

} // namespace zd
