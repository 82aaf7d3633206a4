#pragma once
// The standard report wizards: the list-report wizard's form, which only
// shows and edits the choices of zd::WizardModel, and the wizard classes
// the designer offers as new-report choices ("wzStd", "wzStdEmpty"). The
// dot-matrix pair lives in zdDMPWizard.h; startWizardsUnit registers all
// four in the designer's order.

#include "zdClass_services.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;
class TzdReport;

namespace zd {
class WizardModel;
class WizardPreview;
} // namespace zd

class TzdStdWizardForm : public QDialog {
public:
    // Model must have started; the form shows and edits its choices.
    TzdStdWizardForm(zd::WizardModel& Model, QWidget* Parent = nullptr);
    ~TzdStdWizardForm() override;

    QTabWidget* Pages;
    QWidget *DataTab, *FieldsTab, *GroupsTab, *LayoutTab, *StyleTab;
    QComboBox* DatasetsCB;
    QPushButton *NewTableB, *NewQueryB;
    QListWidget *FieldsLB, *SelectedFieldsLB, *AvailableFieldsLB, *GroupsLB, *StyleLB;
    QPushButton *AddFieldB, *AddAllFieldsB, *RemoveFieldB, *RemoveAllFieldsB, *FieldUpB, *FieldDownB;
    QPushButton *AddGroupB, *RemoveGroupB, *GroupUpB, *GroupDownB;
    QRadioButton *PortraitRB, *LandscapeRB, *TabularRB, *ColumnarRB;
    QLabel *PortraitImage, *LandscapeImage;
    QCheckBox* FitWidthCB;
    zd::WizardPreview *LayoutPB, *StylePB;
    QPushButton *BackB, *NextB, *FinishB;

    zd::WizardModel& Model() const { return m_model; }

protected:
    // F1 opens the form's help topic.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void buildControls();
    void connectControls();
    void showFields(int FieldsRow, int SelectedRow);
    void showGroups(int AvailableRow, int GroupsRow);
    void updateNavigation();
    void layoutChanged();
    void styleChanged();
    void finish();
    // Runs model code from a control's signal: a failure is shown, never raised.
    template <class F>
    void guarded(F&& Action);

    zd::WizardModel& m_model;
    std::unique_ptr<TzdReport> m_layoutSample;
    std::unique_ptr<TzdReport> m_styleSample;
};

// Shows the list-report wizard on the designer's report; true when it was
// finished. Closed otherwise, the report is the one the designer had.
bool zdRunStdWizardForm(TzdCustomWizard& Wizard, bool DotMatrix);

class TzdStdWizard : public TzdCustomWizard {
    PLAT_CLASS(TzdStdWizard, TzdCustomWizard)
public:
    using TzdCustomWizard::TzdCustomWizard;
    QString GetWizardCaption() const override;
    bool RunWizard() override;
};

class TzdStdEmptyWizard : public TzdCustomWizard {
    PLAT_CLASS(TzdStdEmptyWizard, TzdCustomWizard)
public:
    using TzdCustomWizard::TzdCustomWizard;
    QString GetWizardCaption() const override;
    bool RunWizard() override;
};

namespace zd {
// Registers the four report wizards (standard, empty, dot-matrix, empty
// dot-matrix) in the wizard registry; endWizardsUnit removes them.
void startWizardsUnit();
void endWizardsUnit();
} // namespace zd
