// The font combo box and its sample window.

#include "zdCtrls.h"

#include "FontEngine.h"
#include "IniFiles.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString kDefaultMRURegKey = QStringLiteral("\\Software\\Rure Viroraz\\MRUFont");
constexpr int kPreviewWidth = 200;
constexpr int kPreviewHeight = 50;
constexpr int kPreviewPointSize = 18;
constexpr int kFontComboTextIndent = 16;
constexpr int kNoGlyphWidth = 15;

// The two glyphs are drawn here rather than shipped as bitmaps: 15 x 12,
// on a transparent ground.
QPixmap drawTrueTypeGlyph()
{
    QImage image(15, 12, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    auto letterT = [&p](int x, int y, const QColor& color) {
        p.fillRect(x, y, 9, 2, color);     // bar
        p.fillRect(x + 3, y + 2, 3, 7, color); // stem
    };
    letterT(0, 0, QColor(128, 128, 128));
    letterT(6, 3, QColor(0, 0, 0));
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap drawDeviceGlyph()
{
    QImage image(15, 12, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(4, 0, 7, 4, Qt::white); // paper
    p.setPen(Qt::black);
    p.drawRect(4, 0, 6, 4);
    p.fillRect(1, 4, 13, 6, QColor(192, 192, 192)); // printer body
    p.drawRect(1, 4, 12, 6);
    p.drawLine(3, 7, 11, 7);
    p.end();
    return QPixmap::fromImage(image);
}

std::vector<zd::FontItem> installedFonts()
{
    // Printers draw through the same font engine, so a printer brings no
    // families of its own to add.
    std::vector<zd::FontItem> out;
    for (const plat::FontFamilyInfo& info : plat::FontEngine::Instance().FamilyInfos())
        out.push_back({info.name, info.fontType});
    return out;
}

} // namespace

// ------------------------------------------------------------ TzdFontPreview

TzdFontPreview::TzdFontPreview(QWidget* combo)
    : QWidget(combo ? combo->window() : nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
    , m_panel(new QLabel(this))
{
    setObjectName(QStringLiteral("TzdFontPreview"));
    setFixedSize(kPreviewWidth, kPreviewHeight);
    m_panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    m_panel->setFrameStyle(int(QFrame::Box) | int(QFrame::Plain));
    m_panel->setLineWidth(1);
    m_panel->setAlignment(Qt::AlignCenter);
    m_panel->setAutoFillBackground(true);
    QPalette pal = m_panel->palette();
    pal.setColor(QPalette::Window, plat::ToQColor(plat::ColorToRGB(plat::clWindow)));
    pal.setColor(QPalette::WindowText, plat::ToQColor(plat::ColorToRGB(plat::clWindowText)));
    m_panel->setPalette(pal);
    QFont f = m_panel->font();
    f.setPointSize(kPreviewPointSize);
    m_panel->setFont(f);
    hide();
}

void TzdFontPreview::ShowFont(const QString& name)
{
    QFont f = m_panel->font();
    f.setFamilies({name});
    f.setPointSize(kPreviewPointSize);
    m_panel->setFont(f);
    m_panel->setText(name);
}

// ------------------------------------------------------------ TzdFontComboBox

TzdFontComboBox::TzdFontComboBox(QWidget* parent)
    : TzdCustomComboBox(parent)
    , m_mruRegKey(kDefaultMRURegKey)
    , m_preview(new TzdFontPreview(this))
{
    SetTextIndent(kFontComboTextIndent);
    connect(this, qOverload<int>(&QComboBox::highlighted), this, [this](int index) {
        if (index >= 0)
            m_preview->ShowFont(itemText(index));
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) { chosen(index); });
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, [this] { Loaded(); });
    Loaded();
}

TzdFontComboBox::~TzdFontComboBox() = default;

const QPixmap& TzdFontComboBox::TrueTypeGlyph()
{
    static const QPixmap glyph = drawTrueTypeGlyph();
    return glyph;
}

const QPixmap& TzdFontComboBox::DeviceGlyph()
{
    static const QPixmap glyph = drawDeviceGlyph();
    return glyph;
}

const QPixmap* TzdFontComboBox::glyphOf(int fontType)
{
    if (fontType & plat::TRUETYPE_FONTTYPE)
        return &TrueTypeGlyph();
    if (fontType & plat::DEVICE_FONTTYPE)
        return &DeviceGlyph();
    return nullptr;
}

void TzdFontComboBox::SetMRURegKey(const QString& value)
{
    m_mruRegKey = value.isEmpty() ? kDefaultMRURegKey : value;
}

void TzdFontComboBox::SetMRUSettings(std::unique_ptr<plat::TCustomIniFile> settings)
{
    m_mruSettings = std::move(settings);
    Loaded();
}

int TzdFontComboBox::FontType(int index) const
{
    if (index < 0 || index >= int(m_fonts.Items().size()))
        return 0;
    return m_fonts.Items()[std::size_t(index)].fontType;
}

void TzdFontComboBox::FillFontList()
{
    m_fonts.Fill(installedFonts(), m_mruSettings.get(), m_showMRU);
    syncItems(m_fonts.IndexOf(Text()));
}

void TzdFontComboBox::Loaded()
{
    const QString text = Text();
    m_filling = true;
    FillFontList();
    const int index = m_fonts.IndexOf(text);
    {
        const QSignalBlocker block(this);
        setCurrentIndex(index >= 0 ? index : 0);
    }
    m_filling = false;
    update();
}

void TzdFontComboBox::syncItems(int selected)
{
    const QSignalBlocker block(this);
    const QString text = Text();
    clear();
    for (const zd::FontItem& item : m_fonts.Items())
        addItem(item.name, item.fontType);
    if (selected >= 0)
        setCurrentIndex(selected);
    else
        setEditText(text);
}

void TzdFontComboBox::chosen(int index)
{
    if (!m_closingList)
        return;
    m_closingList = false;
    const int selected = m_fonts.Choose(index, m_mruSettings.get(), m_showMRU);
    if (selected != index)
        syncItems(selected);
}

void TzdFontComboBox::Click()
{
    TzdCustomComboBox::Click();
    if (!m_filling && OnClick)
        OnClick();
}

void TzdFontComboBox::ListOpened()
{
    if (currentIndex() < zd::kMRUFontCount)
        view()->setCurrentIndex(model()->index(0, 0));
    const QRect box(mapToGlobal(QPoint(0, 0)), size());
    const QScreen* scr = screen();
    const int screenRight = scr ? scr->geometry().x() + scr->geometry().width() : box.right() + 1 + kPreviewWidth + 1;
    const plat::TPoint at = zd::fontPreviewPos(plat::TRect::fromQRect(box), kPreviewWidth, kPreviewHeight,
                                               screenRight, ListOpensUpwards());
    m_preview->move(at.X, at.Y);
    const int shown = view()->currentIndex().row();
    if (shown >= 0)
        m_preview->ShowFont(itemText(shown));
    m_preview->show();
    m_preview->raise();
}

void TzdFontComboBox::ListClosed()
{
    m_preview->hide();
    // The list hands over its choice right after it closes; a choice that
    // does not follow (the list was cancelled) must not count later.
    m_closingList = true;
    QMetaObject::invokeMethod(this, [this] { m_closingList = false; }, Qt::QueuedConnection);
}

void TzdFontComboBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    const QPalette& pal = palette();
    painter.fillRect(rect, selected ? pal.color(QPalette::Highlight) : plat::ToQColor(plat::ColorToRGB(Color())));
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const QPixmap* glyph = glyphOf(FontType(index));
    int glyphWidth = kNoGlyphWidth;
    if (glyph && !glyph->isNull()) {
        glyphWidth = glyph->width();
        const int x = rtl ? rect.right() - glyphWidth : rect.left() + 1;
        painter.drawPixmap(x, rect.top() + (rect.height() - glyph->height()) / 2, *glyph);
    }
    QRect textRect = rect;
    if (rtl)
        textRect.setRight(rect.right() - glyphWidth - 2);
    else
        textRect.setLeft(rect.left() + glyphWidth + 2);
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    painter.drawText(textRect, (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
                     itemText(index));
    // The recent fonts are set off from the sorted list by a line.
    const int last = m_fonts.MRULast();
    if (last >= 0 && (index == last || index == last + 1)) {
        painter.setPen(plat::ToQColor(plat::ColorToRGB(plat::clBtnShadow)));
        const int y = index == last ? rect.top() + rect.height() - 2 : rect.top();
        painter.drawLine(rect.left(), y, rect.left() + width() - 1, y);
    }
}

void TzdFontComboBox::DrawEditImage(QPainter& painter, int Index, const plat::TRect& rect)
{
    TzdCustomComboBox::DrawEditImage(painter, Index, rect);
    const int index = m_fonts.IndexOf(Text());
    if (index < 0)
        return;
    if (const QPixmap* glyph = glyphOf(FontType(index)); glyph && !glyph->isNull())
        painter.drawPixmap(rect.Left, rect.Top + (rect.Height() - glyph->height()) / 2, *glyph);
}

void TzdFontComboBox::changeEvent(QEvent* event)
{
    TzdCustomComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        const int textHeight = zd::fontTextHeight(font());
        const int glyphHeight = TrueTypeGlyph().height();
        SetItemHeight(glyphHeight < textHeight ? textHeight : glyphHeight + 1);
    }
}
