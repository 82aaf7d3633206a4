#pragma once
// The fill editor: one working fill of each kind, the active tab choosing
// which one is the result. The model part (FillFields) applies plain field
// values and is what the window's OK checks.

#include "Graphics.h"
#include "zdClass_fill.h"

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

namespace zd {

namespace dlg {
class ColorButton;
class SampleBox;
} // namespace dlg

// The dialog's fields as plain values; Kind is the active tab.
struct FillFields {
    TzdFillType Kind = ftBrush;
    int BrushStyle = plat::bsSolid;
    plat::TColor BackColor = plat::clNone;
    plat::TColor ForeColor = plat::clBlack;
    int GradientStyle = gsHorizontal;
    plat::TColor StartColor = plat::clWhite;
    plat::TColor EndColor = plat::clBlack;
    int GlassOrientation = foHorizontal;
    plat::TColor GlassColor = TzdGlassFill::kDefaultColor;
    QString Blend = QStringLiteral("0.5");
    bool Hatch = false;
};

// The fields showing Fill (the other kinds keep their defaults).
FillFields fillFieldsOf(const TzdCustomFill* Fill);
// The fill the fields describe; every field is checked first, a blend that
// is no number raises the parser's error and nothing is made.
std::unique_ptr<TzdCustomFill> applyFillFields(const FillFields& Fields);

} // namespace zd

class TzdFillEditorForm : public QDialog {
public:
    explicit TzdFillEditorForm(QWidget* Parent = nullptr);
    ~TzdFillEditorForm() override;

    // Copies Fill into the working fill of its kind and opens its tab.
    void SetFill(const TzdCustomFill* Fill);
    // Only brush fills (shapes): the other tabs are hidden.
    void SetSimpleFill(bool Value);
    // The working fill of the active tab (owned by the dialog).
    TzdCustomFill* GetFill() const;
    zd::FillFields Fields() const;

private:
    void showValues();
    void changed();

    std::unique_ptr<TzdBrushFill> m_brush;
    std::unique_ptr<TzdGradientFill> m_gradient;
    std::unique_ptr<TzdGlassFill> m_glass;
    bool m_simple = false;
    bool m_filling = false;
    QTabWidget* m_pages;
    QComboBox* m_brushStyle;
    zd::dlg::ColorButton* m_backColor;
    zd::dlg::ColorButton* m_foreColor;
    QComboBox* m_gradientStyle;
    zd::dlg::ColorButton* m_startColor;
    zd::dlg::ColorButton* m_endColor;
    QComboBox* m_orientation;
    zd::dlg::ColorButton* m_glassColor;
    QLineEdit* m_blend;
    QCheckBox* m_hatch;
    zd::dlg::SampleBox* m_sample;
};
