#include "zdClass_picture.h"

#include "Canvas.h"
#include "Files.h"
#include "Graphics.h"
#include "Streams.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <QImage>

PLAT_DEFINE_CLASS(TzdPictureView, c)
{
    zd::ViewProperties<TzdPictureView> v{c};
    v.Cursor();
    c.property("AutoSize", &TzdPictureView::AutoSize, &TzdPictureView::SetAutoSize).defaultValue(false);
    c.property("Center", &TzdPictureView::Center).defaultValue(false);
    v.DataField();
    v.DataSet();
    v.DataSetName();
    v.Frame();
    v.FillType();
    v.Fill();
    c.property("FileLink", &TzdPictureView::FileLink);
    c.property("ImageIndex", &TzdPictureView::ImageIndex).stored([](const TzdPictureView& p) {
        return p.ImageIndexStored;
    });
    c.property("KeepAspectRatio", &TzdPictureView::KeepAspectRatio).defaultValue(true);
    c.property("Picture", &TzdPictureView::Picture, &TzdPictureView::SetPicture).stored([](const TzdPictureView& p) {
        return p.PictureStored;
    });
    c.property("Stretched", &TzdPictureView::Stretched).defaultValue(true);
    v.TagStr();
    v.URL();
    c.property("HightQuality", &TzdPictureView::HightQuality);
    c.property("Transparent", &TzdPictureView::Transparent, &TzdPictureView::SetTransparent);
    c.property<plat::ti::TColor>("TransparentColor", &TzdPictureView::TransparentColor);
}

namespace {

constexpr int kPlaceholderImage = 3; // the picture object's palette image
constexpr qint64 kGraphicHeaderSize = 8;

quint32 littleEndian(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

} // namespace

TzdPictureView::TzdPictureView(plat::TComponent* AOwner) : TzdView(AOwner), m_picture(new plat::TPicture)
{
    SetObjectStyle(ObjectStyle() - TzdObjectStyle{osFullAttributes});
    m_picture->SetOnChange([this](plat::TPicture*) { handlePictureChange(); });
}

TzdPictureView::~TzdPictureView()
{
    m_picture->SetOnChange({});
    delete m_picture;
}

QString TzdPictureView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obPicture"));
}

void TzdPictureView::SetPicture(plat::TPicture* Value)
{
    m_picture->Assign(Value);
}

void TzdPictureView::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    if (Value && !m_picture->Empty())
        setSizeDirect(m_picture->Width(), m_picture->Height());
}

void TzdPictureView::handlePictureChange()
{
    SetAutoSize(m_autoSize);
    PictureChanged = true;
}

// ---------------------------------------------------------------------------
// Drawing

void TzdPictureView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                          long double OffsetY)
{
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!DrawCanvas)
        return;
    if (!SkipBackground)
        DrawBackground();
    plat::TGraphic* graphic = m_picture->Graphic();
    if (!graphic || graphic->Empty()) {
        if (DesignMode) {
            const zd::ImageList& images = zdGetResources()->GetObjectButtonImages();
            if (images.size() > kPlaceholderImage) {
                const QImage& image = images[kPlaceholderImage];
                DrawCanvas->DrawImage(plat::Bounds(PixX + 1, PixY + 2, image.width(), image.height()), image,
                                      plat::TRect(0, 0, image.width(), image.height()));
            }
        }
        DrawFrame();
        return;
    }
    const int gw = graphic->Width(), gh = graphic->Height();
    plat::TRect r(PixX, PixY, PixX1, PixY1);
    const bool clipped = !Stretched;
    if (Stretched) {
        if (KeepAspectRatio) {
            const long double kx = gw == 0 ? 0 : static_cast<long double>(PixWidth) / gw;
            const long double ky = gh == 0 ? 0 : static_cast<long double>(PixHeight) / gh;
            if (kx < ky)
                r.Bottom = r.Top + zd::roundPixel(gh * kx);
            else
                r.Right = r.Left + zd::roundPixel(gw * ky);
            if (Center) {
                const int dx = (PixWidth - r.Width()) / 2, dy = (PixHeight - r.Height()) / 2;
                r = plat::TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
            }
        }
    } else {
        DrawCanvas->SaveClip();
        DrawCanvas->IntersectClipRect(r);
        const int w = zd::roundPixel(gw * DrawScaleX), h = zd::roundPixel(gh * DrawScaleY);
        if (Center) {
            r.Left += (PixWidth - w) / 2;
            r.Top += (PixHeight - h) / 2;
        }
        r.Right = r.Left + w;
        r.Bottom = r.Top + h;
    }
    const bool seeThrough = m_transparent && TransparentColor != plat::clNone;
    try {
        zdPaintGraphic(*DrawCanvas, r, graphic, seeThrough ? TransparentColor : plat::clNone, m_transparent,
                       HightQuality, DrawingForPrinter);
    } catch (...) {
        if (clipped)
            DrawCanvas->RestoreClip();
        throw;
    }
    if (clipped)
        DrawCanvas->RestoreClip();
    DrawFrame();
}

// ---------------------------------------------------------------------------
// Data

qint32 TzdPictureView::LoadGraphicFromStream(plat::TStream& Stream, bool FromStart)
{
    const qint64 start = FromStart ? 0 : Stream.Position();
    Stream.SetPosition(start);
    const qint64 size = Stream.Size();
    qint64 p = start;
    if (size - start >= kGraphicHeaderSize) {
        QByteArray header(kGraphicHeaderSize, Qt::Uninitialized);
        Stream.ReadBuffer(header.data(), header.size());
        // A database graphic header: 1, 0100 hex and the length of what follows.
        if (littleEndian(header, 0, 2) == 1 && littleEndian(header, 2, 2) == 0x0100
            && qint64(littleEndian(header, 4, 4)) == size - kGraphicHeaderSize)
            p = start + kGraphicHeaderSize;
        Stream.SetPosition(p);
    }
    QByteArray bytes(int(std::max<qint64>(0, size - p)), Qt::Uninitialized);
    Stream.ReadBuffer(bytes.data(), bytes.size());
    Stream.SetPosition(p);
    std::unique_ptr<plat::TGraphic> graphic = plat::CreateGraphic(plat::DetectGraphicKind(bytes));
    if (!graphic) {
        m_picture->Clear();
        return kInvalidArgument;
    }
    graphic->LoadFromBytes(bytes);
    Stream.SetPosition(size);
    const bool png = dynamic_cast<plat::TPngImage*>(graphic.get()) != nullptr;
    m_picture->SetGraphic(std::move(graphic));
    if (png)
        handlePictureChange();
    return 0;
}

void TzdPictureView::GetData()
{
    TzdView::GetData();
    if (!FileLink.isEmpty()) {
        QString fileName = FileLink;
        if (fileName.contains(u'['))
            ExpandExpressions(fileName);
        if (plat::FileExists(fileName))
            m_picture->LoadFromFile(fileName);
        else
            m_picture->Clear();
        return;
    }
    if (IsDataField() && DataSet()->IsBlobField(DataField())) {
        plat::TMemoryStream blob;
        DataSet()->AssignBlobTo(DataField(), &blob);
        LoadGraphicFromStream(blob, true);
    }
}

QString TzdPictureView::DiffAttributes(TzdComponent* Reference)
{
    if (PictureChanged) {
        if (zd::ReportDocument* doc = reportDocument())
            if (TzdCustomPreviewPages* pages = doc->ActivePreviewPages())
                pages->CachePicture(this);
        PictureChanged = false;
    }
    QString out = TzdView::DiffAttributes(Reference);
    zd::appendDiffItem(out, QStringLiteral("ImageIndex"), QString::number(ImageIndex));
    if (m_transparent)
        zd::appendDiffItem(out, QStringLiteral("Transparent"), QStringLiteral("1"));
    if (TransparentColor != plat::clWhite)
        zd::appendDiffItem(out, QStringLiteral("TransparentColor"), QString::number(TransparentColor));
    return out;
}
