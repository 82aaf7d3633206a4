#pragma once
// The frame editor: a working frame and the line settings (style, width,
// colour) that the side buttons apply. FrameEditModel holds the rules and
// is what the window's buttons call.

#include "Graphics.h"
#include "zdClass_fill.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QToolButton;

namespace zd {

namespace dlg {
class ColorButton;
class SampleBox;
} // namespace dlg

class FrameEditModel {
public:
    FrameEditModel();
    TzdFrame& Frame() { return m_frame; }
    // Takes a copy of Value; the line settings take its style, width, colour.
    void SetFrame(TzdFrame* Value);

    // The line group's settings; each change restyles the whole frame.
    TzdFrameStyle LineStyle = fsSolid;
    long double LineWidth = 1;
    plat::TColor LineColor = plat::clBlack;
    void SetLineStyle(TzdFrameStyle Value);
    void SetLineWidth(long double Value);
    void SetLineColor(plat::TColor Value);

    // A side switched on takes the line settings; switched off, it goes
    // only when it is already drawn in them, else it is restyled.
    void ToggleSide(TzdFrameType Side, bool On);
    bool HasSide(TzdFrameType Side) const { return m_frame.Typ.contains(Side); }
    void All();
    void None();

    void SetShadow(bool Value) { m_frame.DropShadow = Value; }
    void SetShadowWidth(long double Value) { m_frame.ShadowWidth = Value; }
    void SetShadowColor(plat::TColor Value) { m_frame.ShadowColor = Value; }

private:
    TzdFrame m_frame;
};

} // namespace zd

class TzdFrameEditorForm : public QDialog {
public:
    explicit TzdFrameEditorForm(QWidget* Parent = nullptr);
    ~TzdFrameEditorForm() override;

    void SetFrame(TzdFrame* Value);
    TzdFrame* GetFrame() { return &m_model.Frame(); }
    zd::FrameEditModel& Model() { return m_model; }

private:
    void refresh();

    zd::FrameEditModel m_model;
    bool m_filling = false;
    QToolButton* m_sides[4];
    QCheckBox* m_shadow;
    QComboBox* m_shadowWidth;
    zd::dlg::ColorButton* m_shadowColor;
    QLabel* m_shadowWidthL;
    QLabel* m_shadowColorL;
    QListWidget* m_lineStyle;
    QComboBox* m_lineWidth;
    zd::dlg::ColorButton* m_lineColor;
    zd::dlg::SampleBox* m_sample;
};
