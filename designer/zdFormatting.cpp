#include "zdFormatting.h"

#include "zdClass.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdDMPClass.h"
#include "zdDesignerModel.h"
#include "zdUtils.h"

#include <cmath>

TSampleFormat::TSampleFormat() : m_sample(std::make_unique<TzdMemoView>(nullptr))
{
    if (TzdDesigner* d = TzdDesigner::Current()) {
        m_sample->SetFont(d->DefaultFont());
        m_sample->RTLReading = d->RTLLanguage;
        m_sample->SetParentFont(d->MemoParentFont);
    }
}

TSampleFormat::~TSampleFormat() = default;

namespace {

void copyLook(TzdCustomMemoView* From, TzdCustomMemoView* To)
{
    To->SetFillType(From->FillType());
    To->Fill()->Assign(From->Fill());
    const bool dmp = dynamic_cast<TzdDMPMemoView*>(From) || dynamic_cast<TzdDMPMemoView*>(To);
    if (!dmp)
        To->SetFont(From->Font());
    To->Frame()->Assign(From->Frame());
    To->HAlign = From->HAlign;
    To->VAlign = From->VAlign;
    To->RTLReading = From->RTLReading;
    // ParentFont last: setting the font above clears it.
    To->SetParentFont(From->ParentFont());
}

} // namespace

void TSampleFormat::ApplyTo(TzdCustomMemoView* Memo) { copyLook(m_sample.get(), Memo); }
void TSampleFormat::TakeFrom(TzdCustomMemoView* Memo) { copyLook(Memo, m_sample.get()); }

namespace zd {

namespace {

QString twoDecimals(double v) { return QString::number(v, 'f', 2); }

void convert(double& X, double& Y, int Units)
{
    switch (Units) {
    case 0:
        X = X * 2.54 / 96;
        Y = Y * 2.54 / 96;
        break;
    case 1:
        X /= 96;
        Y /= 96;
        break;
    case 3:
        X = std::trunc(X / double(zd1CharX));
        Y = std::trunc(Y / double(zd1CharY));
        break;
    default:
        break;
    }
}

} // namespace

QString statusPositionText(double Left, double Top, int Units)
{
    convert(Left, Top, Units);
    return twoDecimals(Left) + QStringLiteral("; ") + twoDecimals(Top);
}

QString statusSizeText(double Width, double Height, int Units)
{
    convert(Width, Height, Units);
    return twoDecimals(Width) + QStringLiteral("; ") + twoDecimals(Height);
}

} // namespace zd
