#include "zdEditFill.h"

#include "Canvas.h"
#include "zdDlgUtils.h"
#include "zdUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zd {

namespace {
constexpr const char* kBrushStyleKeys[] = {"bsSolid",     "bsClear",      "bsHorizontal", "bsVertical",
                                           "bsFDiagonal", "bsBDiagonal",  "bsCross",      "bsDiagCross"};
constexpr const char* kGradientKeys[] = {"gsHorizontal", "gsVertical",   "gsElliptic",
                                         "gsRectangle",  "gsVertCenter", "gsHorizCenter"};
constexpr const char* kGlassKeys[] = {"foVertical", "foHorizontal", "foVerticalMirror", "foHorizontalMirror"};

template <size_t N>
int clampIndex(int Value, const char* const (&)[N])
{
    return Value < 0 || Value >= int(N) ? 0 : Value;
}
} // namespace

FillFields fillFieldsOf(const TzdCustomFill* Fill)
{
    FillFields f;
    if (auto* b = dynamic_cast<const TzdBrushFill*>(Fill)) {
        f.Kind = ftBrush;
        f.BrushStyle = b->Style;
        f.BackColor = b->BackColor;
        f.ForeColor = b->ForeColor;
    } else if (auto* g = dynamic_cast<const TzdGradientFill*>(Fill)) {
        f.Kind = ftGradient;
        f.GradientStyle = g->GradientStyle;
        f.StartColor = g->StartColor;
        f.EndColor = g->EndColor;
    } else if (auto* gl = dynamic_cast<const TzdGlassFill*>(Fill)) {
        f.Kind = ftGlass;
        f.GlassOrientation = gl->Orientation;
        f.GlassColor = gl->Color;
        f.Blend = zdFloatToDisplayStr(gl->Blend);
        f.Hatch = gl->Hatch;
    }
    return f;
}

std::unique_ptr<TzdCustomFill> applyFillFields(const FillFields& Fields)
{
    // Every field first: a bad blend leaves nothing half made.
    const long double blend = zdParseFloat(Fields.Blend);
    switch (Fields.Kind) {
    case ftGradient: {
        auto g = std::make_unique<TzdGradientFill>();
        g->GradientStyle = TzdGradientStyle(clampIndex(Fields.GradientStyle, kGradientKeys));
        g->StartColor = Fields.StartColor;
        g->EndColor = Fields.EndColor;
        return g;
    }
    case ftGlass: {
        auto g = std::make_unique<TzdGlassFill>();
        g->Orientation = TzdGlassFillOrientation(clampIndex(Fields.GlassOrientation, kGlassKeys));
        g->Color = Fields.GlassColor;
        g->Blend = blend;
        g->Hatch = Fields.Hatch;
        return g;
    }
    case ftBrush:
    default: {
        auto b = std::make_unique<TzdBrushFill>();
        b->Style = plat::TBrushStyle(clampIndex(Fields.BrushStyle, kBrushStyleKeys));
        b->BackColor = Fields.BackColor;
        b->ForeColor = Fields.ForeColor;
        return b;
    }
    }
}

} // namespace zd

using zd::dlg::ColorButton;
using zd::dlg::key;
using zd::dlg::res;

TzdFillEditorForm::TzdFillEditorForm(QWidget* Parent)
    : QDialog(Parent), m_brush(std::make_unique<TzdBrushFill>()), m_gradient(std::make_unique<TzdGradientFill>()),
      m_glass(std::make_unique<TzdGlassFill>())
{
    setObjectName(QStringLiteral("TzdFillEditorForm"));
    setWindowTitle(res(6100, "Fill Editor"));
    resize(320, 312);
    auto* layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(m_pages);

    auto makeTab = [this](const char* name, const QString& caption) {
        auto* tab = new QWidget;
        tab->setObjectName(QString::fromLatin1(name));
        m_pages->addTab(tab, caption);
        return new QFormLayout(tab);
    };
    auto makeList = [this](const char* name, auto& keys) {
        auto* cb = new QComboBox(this);
        cb->setObjectName(QString::fromLatin1(name));
        for (const char* k : keys)
            cb->addItem(key(k));
        return cb;
    };
    auto makeColor = [this](const char* name) {
        auto* b = new ColorButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->OnColorChanged = [this](plat::TColor) { changed(); };
        return b;
    };

    QFormLayout* brush = makeTab("BrushTS", res(6101, "Brush"));
    m_brushStyle = makeList("BrushStyleCB", zd::kBrushStyleKeys);
    m_backColor = makeColor("BackColorCB");
    m_foreColor = makeColor("ForeColorCB");
    brush->addRow(res(6104, "Brush style:"), m_brushStyle);
    brush->addRow(res(6105, "Background color:"), m_backColor);
    brush->addRow(res(6106, "Foreground color:"), m_foreColor);

    QFormLayout* gradient = makeTab("GradientTS", res(6102, "Gradient"));
    m_gradientStyle = makeList("GradientStyleCB", zd::kGradientKeys);
    m_startColor = makeColor("StartColorCB");
    m_endColor = makeColor("EndColorCB");
    gradient->addRow(res(6107, "Gradient style:"), m_gradientStyle);
    gradient->addRow(res(6108, "Start color:"), m_startColor);
    gradient->addRow(res(6109, "End color:"), m_endColor);

    QFormLayout* glass = makeTab("GlassTS", res(6103, "Glass"));
    m_orientation = makeList("GlassOrientationCB", zd::kGlassKeys);
    m_glassColor = makeColor("GlassColorCB");
    m_blend = new QLineEdit(this);
    m_blend->setObjectName(QStringLiteral("GlassBlendE"));
    m_hatch = new QCheckBox(res(6113, "Show hatch"), this);
    m_hatch->setObjectName(QStringLiteral("GlassHatchCB"));
    glass->addRow(res(6110, "Orientation:"), m_orientation);
    glass->addRow(res(6111, "Color:"), m_glassColor);
    glass->addRow(res(6112, "Blend:"), m_blend);
    glass->addRow(m_hatch);

    auto* samplePanel = new QWidget(this);
    samplePanel->setObjectName(QStringLiteral("SampleP"));
    auto* sampleLayout = new QVBoxLayout(samplePanel);
    m_sample = new zd::dlg::SampleBox(samplePanel);
    m_sample->setObjectName(QStringLiteral("PaintBox1"));
    m_sample->setFixedSize(281, 81);
    m_sample->Paint = [this](plat::TCanvas& canvas, int w, int h) {
        canvas.Brush().SetColor(plat::clWhite);
        canvas.Brush().SetStyle(plat::bsSolid);
        canvas.FillRect(plat::TRect{0, 0, w, h});
        GetFill()->Draw(&canvas, 0, 0, w, h, 1, 1);
        canvas.Pen().SetColor(plat::clBtnShadow);
        canvas.Brush().SetStyle(plat::bsClear);
        canvas.Rectangle(0, 0, w, h);
    };
    sampleLayout->addWidget(m_sample);
    layout->addWidget(samplePanel);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OKB"), QStringLiteral("CancelB"), [this] {
        // The blend typed last counts even when the field was not left.
        zd::applyFillFields(Fields());
        m_glass->Blend = zdParseFloat(m_blend->text());
        return true;
    }));

    for (QComboBox* cb : {m_brushStyle, m_gradientStyle, m_orientation})
        connect(cb, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(m_hatch, &QCheckBox::toggled, this, [this] { changed(); });
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { m_sample->update(); });
    zd::dlg::bindNumberEdit(m_blend, [this](long double v) {
        if (!m_filling) {
            m_glass->Blend = v;
            m_sample->update();
        }
    });
    showValues();
}

TzdFillEditorForm::~TzdFillEditorForm() = default;

void TzdFillEditorForm::SetFill(const TzdCustomFill* Fill)
{
    int tab = 0;
    if (auto* b = dynamic_cast<const TzdBrushFill*>(Fill))
        m_brush->Assign(const_cast<TzdBrushFill*>(b));
    else if (auto* g = dynamic_cast<const TzdGradientFill*>(Fill)) {
        m_gradient->Assign(const_cast<TzdGradientFill*>(g));
        tab = 1;
    } else if (auto* gl = dynamic_cast<const TzdGlassFill*>(Fill)) {
        m_glass->Assign(const_cast<TzdGlassFill*>(gl));
        tab = 2;
    }
    if (m_simple)
        tab = 0;
    m_pages->setCurrentIndex(tab);
    showValues();
}

void TzdFillEditorForm::SetSimpleFill(bool Value)
{
    m_simple = Value;
    m_pages->setTabVisible(1, !Value);
    m_pages->setTabVisible(2, !Value);
    if (Value)
        m_pages->setCurrentIndex(0);
}

TzdCustomFill* TzdFillEditorForm::GetFill() const
{
    switch (m_simple ? 0 : m_pages->currentIndex()) {
    case 1:
        return m_gradient.get();
    case 2:
        return m_glass.get();
    default:
        return m_brush.get();
    }
}

zd::FillFields TzdFillEditorForm::Fields() const
{
    zd::FillFields f;
    const int tab = m_simple ? 0 : m_pages->currentIndex();
    f.Kind = tab == 1 ? ftGradient : tab == 2 ? ftGlass : ftBrush;
    f.BrushStyle = m_brushStyle->currentIndex();
    f.BackColor = m_backColor->color();
    f.ForeColor = m_foreColor->color();
    f.GradientStyle = m_gradientStyle->currentIndex();
    f.StartColor = m_startColor->color();
    f.EndColor = m_endColor->color();
    f.GlassOrientation = m_orientation->currentIndex();
    f.GlassColor = m_glassColor->color();
    f.Blend = m_blend->text();
    f.Hatch = m_hatch->isChecked();
    return f;
}

void TzdFillEditorForm::showValues()
{
    m_filling = true;
    m_brushStyle->setCurrentIndex(m_brush->Style);
    m_backColor->setColor(m_brush->BackColor);
    m_foreColor->setColor(m_brush->ForeColor);
    m_gradientStyle->setCurrentIndex(m_gradient->GradientStyle);
    m_startColor->setColor(m_gradient->StartColor);
    m_endColor->setColor(m_gradient->EndColor);
    m_orientation->setCurrentIndex(m_glass->Orientation);
    m_glassColor->setColor(m_glass->Color);
    m_blend->setText(zdFloatToDisplayStr(m_glass->Blend));
    m_blend->setProperty("zdLastGoodText", m_blend->text());
    m_hatch->setChecked(m_glass->Hatch);
    m_filling = false;
    m_sample->update();
}

void TzdFillEditorForm::changed()
{
    if (m_filling)
        return;
    m_brush->Style = plat::TBrushStyle(std::max(0, m_brushStyle->currentIndex()));
    m_brush->BackColor = m_backColor->color();
    m_brush->ForeColor = m_foreColor->color();
    m_gradient->GradientStyle = TzdGradientStyle(std::max(0, m_gradientStyle->currentIndex()));
    m_gradient->StartColor = m_startColor->color();
    m_gradient->EndColor = m_endColor->color();
    m_glass->Orientation = TzdGlassFillOrientation(std::max(0, m_orientation->currentIndex()));
    m_glass->Color = m_glassColor->color();
    m_glass->Hatch = m_hatch->isChecked();
    m_sample->update();
}
