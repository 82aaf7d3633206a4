#include "zdEditFrame.h"

#include "Canvas.h"
#include "zdDlgUtils.h"
#include "zdUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zd {

FrameEditModel::FrameEditModel() = default;

void FrameEditModel::SetFrame(TzdFrame* Value)
{
    m_frame.Assign(Value);
    LineStyle = m_frame.Style();
    LineWidth = m_frame.Width();
    LineColor = m_frame.Color();
}

void FrameEditModel::SetLineStyle(TzdFrameStyle Value)
{
    LineStyle = Value;
    m_frame.SetStyle(Value);
}

void FrameEditModel::SetLineWidth(long double Value)
{
    LineWidth = Value;
    m_frame.SetWidth(Value);
}

void FrameEditModel::SetLineColor(plat::TColor Value)
{
    LineColor = Value;
    m_frame.SetColor(Value);
}

void FrameEditModel::ToggleSide(TzdFrameType Side, bool On)
{
    TzdFrameLine* line = m_frame.Line(Side);
    const bool sameLook = line->Style == LineStyle && line->Width == LineWidth && line->Color == LineColor;
    if (!On && sameLook) {
        m_frame.Typ.exclude(Side);
        return;
    }
    m_frame.Typ.include(Side);
    line->Style = LineStyle;
    line->Width = LineWidth;
    line->Color = LineColor;
}

void FrameEditModel::All()
{
    m_frame.Typ = {ftLeft, ftRight, ftTop, ftBottom};
    m_frame.SetStyle(LineStyle);
    m_frame.SetWidth(LineWidth);
    m_frame.SetColor(LineColor);
}

void FrameEditModel::None() { m_frame.Typ = {}; }

} // namespace zd

using zd::dlg::res;

namespace {
constexpr const char* kWidthItems[] = {"0,1", "0,5", "1", "1,5", "2", "3", "4", "5"};
constexpr const char* kStyleNames[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Double", "AltDot", "Square"};
// Side buttons in the order of TzdFrameType: left, right, top, bottom.
constexpr const char* kSideNames[] = {"FrameLeftB", "FrameRightB", "FrameTopB", "FrameBottomB"};
constexpr const char* kSideCaptions[] = {"Vlevo", "Vpravo", "Nahoře", "Dole"};

QComboBox* widthCombo(QWidget* parent, const char* name)
{
    auto* cb = new QComboBox(parent);
    cb->setObjectName(QString::fromLatin1(name));
    cb->setEditable(true);
    for (const char* item : kWidthItems)
        cb->addItem(QString::fromLatin1(item));
    return cb;
}
} // namespace

TzdFrameEditorForm::TzdFrameEditorForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("TzdFrameEditorForm"));
    setWindowTitle(res(5200, "Editor rámečku"));
    resize(333, 336);
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    layout->addLayout(groups);

    auto* frameGB = new QGroupBox(res(5201, "Rámeček"), this);
    frameGB->setObjectName(QStringLiteral("FrameGB"));
    auto* fl = new QGridLayout(frameGB);
    auto* allB = new QToolButton(frameGB);
    allB->setObjectName(QStringLiteral("FrameAllB"));
    allB->setText(QStringLiteral("▣"));
    auto* noB = new QToolButton(frameGB);
    noB->setObjectName(QStringLiteral("FrameNoB"));
    noB->setText(QStringLiteral("□"));
    fl->addWidget(allB, 0, 0);
    fl->addWidget(noB, 0, 1);
    for (int side = 0; side < 4; ++side) {
        auto* b = new QToolButton(frameGB);
        b->setObjectName(QString::fromLatin1(kSideNames[side]));
        b->setText(QString::fromUtf8(kSideCaptions[side]));
        b->setCheckable(true);
        fl->addWidget(b, 1 + side / 2, side % 2);
        m_sides[side] = b;
        connect(b, &QToolButton::clicked, this, [this, side](bool on) {
            if (m_filling)
                return;
            m_model.ToggleSide(TzdFrameType(side), on);
            refresh();
        });
    }
    m_sample = new zd::dlg::SampleBox(frameGB);
    m_sample->setObjectName(QStringLiteral("FrameSample"));
    m_sample->setFixedSize(160, 94);
    m_sample->Paint = [this](plat::TCanvas& canvas, int w, int h) {
        canvas.Brush().SetColor(plat::clWhite);
        canvas.Brush().SetStyle(plat::bsSolid);
        canvas.FillRect(plat::TRect{0, 0, w, h});
        m_model.Frame().Draw(&canvas, 20, 15, w - 20, h - 15, 1, 1);
    };
    fl->addWidget(m_sample, 3, 0, 1, 2);
    m_shadow = new QCheckBox(res(5203, "Stín"), frameGB);
    m_shadow->setObjectName(QStringLiteral("ShadowCB"));
    fl->addWidget(m_shadow, 4, 0, 1, 2);
    m_shadowWidthL = new QLabel(res(5215, "Šířka:"), frameGB);
    m_shadowWidth = widthCombo(frameGB, "ShadowWidthCB");
    fl->addWidget(m_shadowWidthL, 5, 0);
    fl->addWidget(m_shadowWidth, 5, 1);
    m_shadowColorL = new QLabel(res(5214, "Barva:"), frameGB);
    m_shadowColor = new zd::dlg::ColorButton(frameGB);
    m_shadowColor->setObjectName(QStringLiteral("ShadowColorCB"));
    fl->addWidget(m_shadowColorL, 6, 0);
    fl->addWidget(m_shadowColor, 6, 1);
    groups->addWidget(frameGB);

    auto* lineGB = new QGroupBox(res(5202, "Čára"), this);
    lineGB->setObjectName(QStringLiteral("LineGB"));
    auto* ll = new QVBoxLayout(lineGB);
    ll->addWidget(new QLabel(res(5211, "Styl:"), lineGB));
    m_lineStyle = new QListWidget(lineGB);
    m_lineStyle->setObjectName(QStringLiteral("LineStyleLB"));
    for (const char* name : kStyleNames)
        m_lineStyle->addItem(QString::fromLatin1(name));
    ll->addWidget(m_lineStyle);
    ll->addWidget(new QLabel(res(5215, "Šířka:"), lineGB));
    m_lineWidth = widthCombo(lineGB, "LineWidthCB");
    ll->addWidget(m_lineWidth);
    ll->addWidget(new QLabel(res(5214, "Barva:"), lineGB));
    m_lineColor = new zd::dlg::ColorButton(lineGB);
    m_lineColor->setObjectName(QStringLiteral("LineColorCB"));
    ll->addWidget(m_lineColor);
    groups->addWidget(lineGB);

    auto* hint = new QLabel(res(5216, "Choose the line style, then choose the line to apply the style."), this);
    hint->setObjectName(QStringLiteral("HintL"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB"), [this] {
        // Both widths as typed count; a bad one keeps the dialog open.
        const long double width = zdParseFloat(m_lineWidth->currentText());
        const long double shadow = zdParseFloat(m_shadowWidth->currentText());
        m_model.SetLineWidth(width);
        m_model.SetShadowWidth(shadow);
        return true;
    }));

    connect(allB, &QToolButton::clicked, this, [this] {
        m_model.All();
        refresh();
    });
    connect(noB, &QToolButton::clicked, this, [this] {
        m_model.None();
        refresh();
    });
    connect(m_lineStyle, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_filling || row < 0)
            return;
        m_model.SetLineStyle(TzdFrameStyle(row));
        refresh();
    });
    zd::dlg::bindNumberCombo(m_lineWidth, [this](long double v) {
        if (m_filling)
            return;
        m_model.SetLineWidth(v);
        refresh();
    });
    zd::dlg::bindNumberCombo(m_shadowWidth, [this](long double v) {
        if (m_filling)
            return;
        m_model.SetShadowWidth(v);
        refresh();
    });
    m_lineColor->OnColorChanged = [this](plat::TColor c) {
        m_model.SetLineColor(c);
        refresh();
    };
    m_shadowColor->OnColorChanged = [this](plat::TColor c) {
        m_model.SetShadowColor(c);
        refresh();
    };
    connect(m_shadow, &QCheckBox::toggled, this, [this](bool on) {
        if (m_filling)
            return;
        m_model.SetShadow(on);
        refresh();
    });
    SetFrame(nullptr);
}

TzdFrameEditorForm::~TzdFrameEditorForm() = default;

void TzdFrameEditorForm::SetFrame(TzdFrame* Value)
{
    if (Value)
        m_model.SetFrame(Value);
    m_filling = true;
    m_lineWidth->setCurrentText(zdFloatToDisplayStr(m_model.LineWidth));
    m_lineWidth->setProperty("zdLastGoodText", m_lineWidth->currentText());
    m_lineColor->setColor(m_model.LineColor);
    m_lineStyle->setCurrentRow(m_model.LineStyle);
    m_filling = false;
    refresh();
}

void TzdFrameEditorForm::refresh()
{
    m_filling = true;
    TzdFrame& frame = m_model.Frame();
    for (int side = 0; side < 4; ++side)
        m_sides[side]->setChecked(frame.Typ.contains(TzdFrameType(side)));
    m_shadow->setChecked(frame.DropShadow);
    if (!m_shadowWidth->lineEdit() || !m_shadowWidth->lineEdit()->hasFocus()) {
        m_shadowWidth->setCurrentText(zdFloatToDisplayStr(frame.ShadowWidth));
        m_shadowWidth->setProperty("zdLastGoodText", m_shadowWidth->currentText());
    }
    m_shadowColor->setColor(frame.ShadowColor);
    for (QWidget* w : {static_cast<QWidget*>(m_shadowWidth), static_cast<QWidget*>(m_shadowColor),
                       static_cast<QWidget*>(m_shadowWidthL), static_cast<QWidget*>(m_shadowColorL)})
        w->setEnabled(frame.DropShadow);
    m_filling = false;
    m_sample->update();
}
