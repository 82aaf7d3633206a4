#include "zdDMPWizard.h"

#include "zdDesignerModel.h"
#include "zdRes.h"
#include "zdStdWizard.h"
#include "zdWizardModel.h"

PLAT_DEFINE_CLASS(TzdDotMatrixWizard, c) { (void)c; }
PLAT_DEFINE_CLASS(TzdDMPEmptyWizard, c) { (void)c; }

QString TzdDotMatrixWizard::GetWizardCaption() const { return zdGetResources()->GetText(QStringLiteral("wzDMP")); }

bool TzdDotMatrixWizard::RunWizard() { return zdRunStdWizardForm(*this, true); }

QString TzdDMPEmptyWizard::GetWizardCaption() const
{
    return zdGetResources()->GetText(QStringLiteral("wzDMPEmpty"));
}

bool TzdDMPEmptyWizard::RunWizard()
{
    auto* designer = dynamic_cast<zd::DesignerModel*>(OwnerDesigner);
    return designer && zd::makeEmptyWizardReport(*designer, true);
}
