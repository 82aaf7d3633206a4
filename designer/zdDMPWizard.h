#pragma once
// The dot-matrix report wizards: the list-report wizard's form in
// dot-matrix mode (no style page) and the empty dot-matrix report.

#include "zdClass_services.h"

class TzdDotMatrixWizard : public TzdCustomWizard {
    PLAT_CLASS(TzdDotMatrixWizard, TzdCustomWizard)
public:
    using TzdCustomWizard::TzdCustomWizard;
    QString GetWizardCaption() const override;
    bool RunWizard() override;
};

class TzdDMPEmptyWizard : public TzdCustomWizard {
    PLAT_CLASS(TzdDMPEmptyWizard, TzdCustomWizard)
public:
    using TzdCustomWizard::TzdCustomWizard;
    QString GetWizardCaption() const override;
    bool RunWizard() override;
};
