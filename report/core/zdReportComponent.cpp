#include "zdReportComponent.h"

#include "Canvas.h"
#include "Graphics.h"
#include "PropStream.h"

#include <cmath>

PLAT_DEFINE_CLASS(TzdReportComponent, c)
{
    c.property("Description", &TzdComponent::Description, &TzdComponent::SetDescription);
}

PLAT_DEFINE_CLASS(TzdDialogComponent, c) {}

TzdReportComponent::TzdReportComponent(plat::TComponent* AOwner) : TzdComponent(AOwner) {}

TzdReportComponent::~TzdReportComponent() = default;

void TzdReportComponent::BeforePrint()
{
    SavedBounds = TzdExtRect{Left(), Top(), Width(), Height()};
}

void TzdReportComponent::GetData() {}

void TzdReportComponent::AfterPrint()
{
    SetBounds(SavedBounds.Left, SavedBounds.Top, SavedBounds.Right, SavedBounds.Bottom);
}

QString TzdReportComponent::GetComponentText()
{
    return {};
}

TzdExtRect TzdReportComponent::GetRealBounds()
{
    const long double left = GetAbsLeft();
    const long double top = GetAbsTop();
    return TzdExtRect{left, top, left + Width(), top + Height()};
}

namespace {
constexpr int kIconSize = 28;

int roundComponentInt(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}
} // namespace

TzdDialogComponent::TzdDialogComponent(plat::TComponent* AOwner) : TzdReportComponent(AOwner)
{
    SetObjectStyle(ObjectStyle() - TzdObjectStyle{osPreviewCopy});
    SetWidth(kIconSize);
    SetHeight(kIconSize);
}

TzdDialogComponent::~TzdDialogComponent()
{
    delete Component;
}

void TzdDialogComponent::Draw(plat::TCanvas* Canvas, long double, long double, long double, long double)
{
    SetWidth(kIconSize);
    SetHeight(kIconSize);
    if (!Canvas)
        return;
    const int x = roundComponentInt(Left());
    const int y = roundComponentInt(Top());
    const int x1 = roundComponentInt(Left() + kIconSize);
    const int y1 = roundComponentInt(Top() + kIconSize);
    Canvas->Brush().SetColor(plat::clBtnFace);
    Canvas->Brush().SetStyle(plat::bsSolid);
    Canvas->FillRect(plat::TRect{x, y, x1, y1});
    // A raised edge: light on the top and left, shadow on the bottom and right.
    Canvas->Pen().SetColor(plat::clBtnHighlight);
    Canvas->MoveTo(x, y1 - 1);
    Canvas->LineTo(x, y);
    Canvas->LineTo(x1 - 1, y);
    Canvas->Pen().SetColor(plat::clBtnShadow);
    Canvas->MoveTo(x1 - 1, y);
    Canvas->LineTo(x1 - 1, y1 - 1);
    Canvas->LineTo(x - 1, y1 - 1);
    Canvas->Font().SetName(QStringLiteral("Tahoma"));
    Canvas->Font().SetSize(8);
    Canvas->Font().SetColor(plat::clBlack);
    Canvas->Font().SetStyle({});
    Canvas->Brush().SetColor(plat::clWindow);
    const int textWidth = Canvas->TextWidth(Name());
    Canvas->TextOut(x - (textWidth - kIconSize) / 2, y1 + 4, Name());
}

void TzdDialogComponent::DefineProperties(plat::TFiler& Filer)
{
    inherited::DefineProperties(Filer);
    if (!GetReportComponent())
        return;
    Filer.DefineProperty(
        QStringLiteral("pLeft"), [this](plat::TReader& r) { SetLeft(static_cast<long double>(r.ReadInteger())); },
        [this](plat::TWriter& w) { w.WriteInteger(roundComponentInt(Left())); }, true);
    Filer.DefineProperty(
        QStringLiteral("pTop"), [this](plat::TReader& r) { SetTop(static_cast<long double>(r.ReadInteger())); },
        [this](plat::TWriter& w) { w.WriteInteger(roundComponentInt(Top())); }, true);
}
