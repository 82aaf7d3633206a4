#include "zdDesignerImages.h"

#include <QCursor>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <array>
#include <cmath>

namespace zd {

namespace {

constexpr int kImageSize = 16;
constexpr int kCursorSize = 32;

const QColor kInk(0x30, 0x30, 0x30);
const QColor kBlue(0x20, 0x60, 0xC0);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kFolder(0xE0, 0xB0, 0x40);
const QColor kRed(0xC0, 0x20, 0x20);
const QColor kGreen(0x20, 0x90, 0x30);
const QColor kGrey(0x90, 0x90, 0x90);

// Control names and their images.
struct NamedImage {
    const char* name;
    DesignerImage image;
};
constexpr NamedImage kNamedImages[] = {
    {"NewB", imgNew}, {"OpenB", imgOpen}, {"SaveB", imgSave}, {"PreviewB", imgPreview},
    {"NewPageB", imgNewPage}, {"NewDialogB", imgNewDialog}, {"DeletePageB", imgDeletePage},
    {"PageSettingsB", imgPageSettings}, {"CutB", imgCut}, {"CopyB", imgCopy}, {"PasteB", imgPaste},
    {"UndoB", imgUndo}, {"RedoB", imgRedo}, {"GroupB", imgGroup}, {"UngroupB", imgUngroup},
    {"BoldB", imgBold}, {"ItalicB", imgItalic}, {"UnderlineB", imgUnderline}, {"FontB", imgFont},
    {"FontColorB", imgFontColor}, {"HighlightB", imgHighlight}, {"RotateB", imgRotate},
    {"TextAlignLeftB", imgTextLeft}, {"TextAlignCenterB", imgTextCenter}, {"TextAlignRightB", imgTextRight},
    {"TextAlignBlockB", imgTextBlock}, {"TextAlignTopB", imgTextTop}, {"TextAlignMiddleB", imgTextMiddle},
    {"TextAlignBottomB", imgTextBottom}, {"FrameTopB", imgFrameTop}, {"FrameBottomB", imgFrameBottom},
    {"FrameLeftB", imgFrameLeft}, {"FrameRightB", imgFrameRight}, {"FrameAllB", imgFrameAll},
    {"FrameNoB", imgFrameNo}, {"FrameEditB", imgFrameEdit}, {"FillColorB", imgFillColor},
    {"FillEditB", imgFillEdit}, {"FrameColorB", imgFrameColor}, {"FrameStyleB", imgFrameStyle},
    {"ShowGridB", imgShowGrid}, {"AlignToGridB", imgAlignToGrid}, {"SetToGridB", imgSetToGrid},
    {"AlignLeftsB", imgAlignLefts}, {"AlignHorzCentersB", imgAlignHorzCenters}, {"AlignRightsB", imgAlignRights},
    {"AlignTopsB", imgAlignTops}, {"AlignVertCentersB", imgAlignVertCenters}, {"AlignBottomsB", imgAlignBottoms},
    {"SpaceHorzB", imgSpaceHorz}, {"SpaceVertB", imgSpaceVert}, {"CenterHorzB", imgCenterHorz},
    {"CenterVertB", imgCenterVert}, {"SameWidthB", imgSameWidth}, {"SameHeightB", imgSameHeight},
    {"SelectToolB", imgSelectTool}, {"HandToolB", imgHandTool}, {"ZoomToolB", imgZoomTool},
    {"TextToolB", imgTextTool}, {"FormatToolB", imgFormatTool}, {"BandsB", imgBands},
};

QColor fromTColor(quint32 c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

void letter(QPainter& p, const QString& text, QFont::Weight weight, bool italic, QColor color, QRect box)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setWeight(weight);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

void page(QPainter& p, int l = 3, int t = 1, int w = 10, int h = 14)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(l, t, w - 1, h - 1);
}

void hline(QPainter& p, int x1, int x2, int y) { p.drawLine(x1, y, x2, y); }
void vline(QPainter& p, int x, int y1, int y2) { p.drawLine(x, y1, x, y2); }

// Text lines for the alignment images: widths of four lines, aligned.
void textLines(QPainter& p, Qt::Alignment a)
{
    p.setPen(kInk);
    constexpr std::array widths{12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = a == Qt::AlignJustify ? 12 : widths[size_t(i)];
        const int x = a == Qt::AlignRight ? 14 - w : a == Qt::AlignHCenter ? 2 + (12 - w) / 2 : 2;
        hline(p, x, x + w, 3 + i * 3);
    }
}

// A frame image: a dotted square with the given sides solid.
void frameSides(QPainter& p, bool top, bool bottom, bool left, bool right)
{
    p.setPen(QPen(kGrey, 1, Qt::DotLine));
    p.drawRect(2, 2, 11, 11);
    p.setPen(QPen(kInk, 2));
    if (top)
        hline(p, 2, 13, 2);
    if (bottom)
        hline(p, 2, 13, 13);
    if (left)
        vline(p, 2, 2, 13);
    if (right)
        vline(p, 13, 2, 13);
}

// Two boxes with a guide line for the alignment palette.
void boxes(QPainter& p, QRect a, QRect b)
{
    p.setPen(kInk);
    p.setBrush(QColor(0xB0, 0xC8, 0xF0));
    p.drawRect(a);
    p.drawRect(b);
}

void arrow(QPainter& p, QPoint from, QPoint to)
{
    p.setPen(QPen(kBlue, 2));
    p.drawLine(from, to);
}

void grid(QPainter& p)
{
    p.setPen(kGrey);
    for (int i = 1; i < 16; i += 4)
        for (int j = 1; j < 16; j += 4)
            p.drawPoint(i, j);
}

void drawImage(QPainter& p, DesignerImage image)
{
    switch (image) {
    case imgNone:
        return;
    case imgNew:
        page(p);
        p.setPen(kFolder);
        hline(p, 10, 14, 2);
        vline(p, 12, 0, 4);
        return;
    case imgOpen:
        p.setPen(kInk);
        p.setBrush(kFolder);
        p.drawRect(1, 5, 13, 9);
        p.drawRect(1, 3, 5, 2);
        return;
    case imgSave:
        p.setPen(kInk);
        p.setBrush(kBlue);
        p.drawRect(1, 1, 13, 13);
        p.setBrush(kPaper);
        p.drawRect(4, 1, 7, 5);
        p.drawRect(4, 9, 7, 5);
        return;
    case imgPreview:
        page(p, 1, 1, 11, 14);
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(6, 6, 6, 6);
        p.drawLine(12, 12, 14, 14);
        return;
    case imgNewPage:
        page(p);
        letter(p, QStringLiteral("+"), QFont::Bold, false, kGreen, QRect(3, 1, 10, 14));
        return;
    case imgNewDialog:
        p.setPen(kInk);
        p.setBrush(QColor(0xE0, 0xE0, 0xE0));
        p.drawRect(1, 2, 13, 11);
        p.setBrush(kBlue);
        p.drawRect(1, 2, 13, 3);
        letter(p, QStringLiteral("+"), QFont::Bold, false, kGreen, QRect(1, 5, 14, 9));
        return;
    case imgDeletePage:
        page(p);
        p.setPen(QPen(kRed, 2));
        p.drawLine(5, 4, 11, 12);
        p.drawLine(11, 4, 5, 12);
        return;
    case imgPageSettings:
        page(p);
        p.setPen(QPen(kGrey, 1, Qt::DotLine));
        p.drawRect(5, 3, 5, 9);
        return;
    case imgCut:
        p.setPen(kInk);
        p.drawLine(4, 1, 10, 10);
        p.drawLine(11, 1, 5, 10);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(1, 10, 4, 4);
        p.drawEllipse(10, 10, 4, 4);
        return;
    case imgCopy:
        page(p, 1, 1, 9, 11);
        page(p, 6, 4, 9, 11);
        return;
    case imgPaste:
        p.setPen(kInk);
        p.setBrush(kFolder);
        p.drawRect(2, 2, 10, 12);
        page(p, 7, 6, 8, 9);
        return;
    case imgUndo:
    case imgRedo: {
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        const bool undo = image == imgUndo;
        p.drawArc(3, 4, 10, 9, undo ? 0 : 180 * 16, 180 * 16);
        const int x = undo ? 3 : 12;
        p.drawLine(x, 8, undo ? 1 : 14, 6);
        p.drawLine(x, 8, undo ? 5 : 10, 6);
        return;
    }
    case imgGroup:
    case imgUngroup:
        boxes(p, QRect(1, 1, 6, 6), QRect(8, 8, 6, 6));
        p.setPen(QPen(image == imgGroup ? kInk : kGrey, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, 15, 15);
        return;
    case imgBold:
        letter(p, QStringLiteral("B"), QFont::Black, false, kInk, QRect(0, 0, 16, 16));
        return;
    case imgItalic:
        letter(p, QStringLiteral("I"), QFont::Bold, true, kInk, QRect(0, 0, 16, 16));
        return;
    case imgUnderline:
        letter(p, QStringLiteral("U"), QFont::Bold, false, kInk, QRect(0, -1, 16, 14));
        hline(p, 3, 12, 14);
        return;
    case imgFont:
        letter(p, QStringLiteral("F"), QFont::Bold, false, kBlue, QRect(0, 0, 9, 16));
        letter(p, QStringLiteral("a"), QFont::Normal, false, kInk, QRect(7, 2, 9, 14));
        return;
    case imgFontColor:
        letter(p, QStringLiteral("A"), QFont::Bold, false, kInk, QRect(0, -2, 16, 14));
        return;
    case imgHighlight:
        letter(p, QStringLiteral("ab"), QFont::Bold, false, kInk, QRect(0, 0, 16, 16));
        p.setPen(QPen(QColor(0xFF, 0xE0, 0x00), 3));
        hline(p, 1, 14, 14);
        return;
    case imgRotate:
        p.save();
        p.translate(8, 8);
        p.rotate(-90);
        letter(p, QStringLiteral("A"), QFont::Bold, false, kInk, QRect(-8, -8, 16, 16));
        p.restore();
        p.setPen(kBlue);
        p.setBrush(Qt::NoBrush);
        p.drawArc(1, 1, 14, 14, 0, 90 * 16);
        return;
    case imgTextLeft:
        textLines(p, Qt::AlignLeft);
        return;
    case imgTextCenter:
        textLines(p, Qt::AlignHCenter);
        return;
    case imgTextRight:
        textLines(p, Qt::AlignRight);
        return;
    case imgTextBlock:
        textLines(p, Qt::AlignJustify);
        return;
    case imgTextTop:
    case imgTextMiddle:
    case imgTextBottom: {
        p.setPen(kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, 13, 13);
        p.setPen(kInk);
        const int y = image == imgTextTop ? 3 : image == imgTextMiddle ? 6 : 9;
        hline(p, 3, 12, y);
        hline(p, 3, 10, y + 3);
        return;
    }
    case imgFrameTop:
        frameSides(p, true, false, false, false);
        return;
    case imgFrameBottom:
        frameSides(p, false, true, false, false);
        return;
    case imgFrameLeft:
        frameSides(p, false, false, true, false);
        return;
    case imgFrameRight:
        frameSides(p, false, false, false, true);
        return;
    case imgFrameAll:
        frameSides(p, true, true, true, true);
        return;
    case imgFrameNo:
        frameSides(p, false, false, false, false);
        return;
    case imgFrameEdit:
        frameSides(p, true, true, true, true);
        letter(p, QStringLiteral("…"), QFont::Bold, false, kBlue, QRect(2, 2, 12, 12));
        return;
    case imgFillColor:
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawPolygon(QPolygon({QPoint(3, 6), QPoint(8, 1), QPoint(13, 6), QPoint(8, 11)}));
        return;
    case imgFillEdit:
        p.setPen(kInk);
        p.setBrush(QBrush(kBlue, Qt::BDiagPattern));
        p.drawRect(1, 1, 13, 13);
        return;
    case imgFrameColor:
        p.setPen(QPen(kInk, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(2, 2, 11, 8);
        return;
    case imgFrameStyle:
        p.setPen(QPen(kInk, 1, Qt::SolidLine));
        hline(p, 1, 14, 3);
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        hline(p, 1, 14, 7);
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        hline(p, 1, 14, 11);
        p.setPen(kInk);
        hline(p, 1, 14, 14);
        hline(p, 1, 14, 15);
        return;
    case imgShowGrid:
        grid(p);
        p.setPen(kGrey);
        for (int i = 3; i < 16; i += 4) {
            hline(p, 0, 15, i);
            vline(p, i, 0, 15);
        }
        return;
    case imgAlignToGrid:
        grid(p);
        boxes(p, QRect(5, 5, 8, 8), QRect(5, 5, 8, 8));
        return;
    case imgSetToGrid:
        grid(p);
        boxes(p, QRect(4, 4, 9, 5), QRect(4, 4, 9, 5));
        arrow(p, QPoint(13, 11), QPoint(13, 14));
        return;
    case imgAlignLefts:
        boxes(p, QRect(3, 2, 10, 4), QRect(3, 9, 6, 4));
        p.setPen(kBlue);
        vline(p, 1, 0, 15);
        return;
    case imgAlignHorzCenters:
        boxes(p, QRect(2, 2, 11, 4), QRect(4, 9, 7, 4));
        p.setPen(kBlue);
        vline(p, 7, 0, 15);
        return;
    case imgAlignRights:
        boxes(p, QRect(2, 2, 10, 4), QRect(6, 9, 6, 4));
        p.setPen(kBlue);
        vline(p, 14, 0, 15);
        return;
    case imgAlignTops:
        boxes(p, QRect(2, 3, 4, 10), QRect(9, 3, 4, 6));
        p.setPen(kBlue);
        hline(p, 0, 15, 1);
        return;
    case imgAlignVertCenters:
        boxes(p, QRect(2, 2, 4, 11), QRect(9, 4, 4, 7));
        p.setPen(kBlue);
        hline(p, 0, 15, 7);
        return;
    case imgAlignBottoms:
        boxes(p, QRect(2, 2, 4, 10), QRect(9, 6, 4, 6));
        p.setPen(kBlue);
        hline(p, 0, 15, 14);
        return;
    case imgSpaceHorz:
        boxes(p, QRect(0, 4, 3, 7), QRect(12, 4, 3, 7));
        boxes(p, QRect(6, 4, 3, 7), QRect(6, 4, 3, 7));
        return;
    case imgSpaceVert:
        boxes(p, QRect(4, 0, 7, 3), QRect(4, 12, 7, 3));
        boxes(p, QRect(4, 6, 7, 3), QRect(4, 6, 7, 3));
        return;
    case imgCenterHorz:
        p.setPen(kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 3, 15, 9);
        boxes(p, QRect(5, 5, 5, 5), QRect(5, 5, 5, 5));
        return;
    case imgCenterVert:
        p.setPen(kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(3, 0, 9, 15);
        boxes(p, QRect(5, 5, 5, 5), QRect(5, 5, 5, 5));
        return;
    case imgSameWidth:
        boxes(p, QRect(2, 2, 11, 4), QRect(2, 9, 11, 4));
        return;
    case imgSameHeight:
        boxes(p, QRect(2, 2, 4, 11), QRect(9, 2, 4, 11));
        return;
    case imgSelectTool:
        p.setPen(kInk);
        p.setBrush(kPaper);
        p.drawPolygon(QPolygon({QPoint(4, 1), QPoint(4, 13), QPoint(7, 10), QPoint(9, 14), QPoint(11, 13),
                                QPoint(9, 9), QPoint(13, 9)}));
        return;
    case imgHandTool:
        p.setPen(kInk);
        p.setBrush(QColor(0xF0, 0xD0, 0xB0));
        p.drawRoundedRect(3, 6, 10, 9, 2, 2);
        for (int i = 0; i < 4; ++i)
            p.drawRect(3 + i * 3, 2 + (i == 0 || i == 3 ? 2 : 0), 2, 5);
        return;
    case imgZoomTool:
        p.setPen(QPen(kInk, 2));
        p.setBrush(kPaper);
        p.drawEllipse(1, 1, 9, 9);
        p.drawLine(10, 10, 14, 14);
        return;
    case imgTextTool:
        letter(p, QStringLiteral("A"), QFont::Bold, false, kBlue, QRect(0, 0, 16, 16));
        return;
    case imgFormatTool:
        p.setPen(kInk);
        p.setBrush(kFolder);
        p.drawRect(2, 1, 11, 5);
        p.setBrush(kInk);
        p.drawRect(7, 6, 1, 3);
        p.drawRect(6, 9, 3, 6);
        return;
    case imgBands:
        p.setPen(kInk);
        p.setBrush(QColor(0xE0, 0xA7, 0x30));
        p.drawRect(1, 2, 13, 3);
        p.setBrush(kPaper);
        p.drawRect(1, 5, 13, 8);
        return;
    case imgObject:
        page(p, 1, 1, 14, 14);
        return;
    case imgCategory:
        boxes(p, QRect(1, 1, 6, 6), QRect(8, 8, 6, 6));
        boxes(p, QRect(8, 1, 6, 6), QRect(1, 8, 6, 6));
        return;
    case imgWizard:
        p.setPen(QPen(kInk, 2));
        p.drawLine(2, 14, 11, 5);
        p.setPen(QColor(0xE0, 0xC0, 0x00));
        p.drawLine(12, 1, 12, 7);
        p.drawLine(9, 4, 15, 4);
        return;
    case imgField:
        p.setPen(kInk);
        p.setBrush(QColor(0xC0, 0xE0, 0xC0));
        p.drawRect(1, 3, 13, 9);
        p.setPen(kGreen);
        hline(p, 3, 11, 7);
        return;
    }
}

QPixmap imagePixmap(DesignerImage Image)
{
    QPixmap pm(kImageSize, kImageSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawImage(p, Image);
    return pm;
}

// Cursors: black shapes with a white outline so they show on any page.
void outlined(QPainter& p, const QPainterPath& path)
{
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(path);
}

QPainterPath doubleArrow(QPointF a, QPointF b)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    const QPointF d = (b - a) / std::max(1.0, std::hypot(b.x() - a.x(), b.y() - a.y()));
    const QPointF n(-d.y(), d.x());
    for (const auto& [tip, dir] : {std::pair{a, d}, std::pair{b, -d}}) {
        path.moveTo(tip);
        path.lineTo(tip + dir * 4 + n * 4);
        path.moveTo(tip);
        path.lineTo(tip + dir * 4 - n * 4);
    }
    return path;
}

QPoint drawCursor(QPainter& p, DesignerCursor Cursor)
{
    switch (Cursor) {
    case crHand:
    case crHandGrab: {
        const bool grab = Cursor == crHandGrab;
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(8, 13, 14, 12, 3, 3);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(8 + i * 4, grab ? 10 : 4 + (i == 0 || i == 3 ? 3 : 0), 3, grab ? 5 : 11, 1, 1);
        return QPoint(15, 15);
    }
    case crZoom: {
        QPainterPath path;
        path.addEllipse(2, 2, 14, 14);
        path.moveTo(14, 14);
        path.lineTo(22, 22);
        path.moveTo(6, 9);
        path.lineTo(12, 9);
        path.moveTo(9, 6);
        path.lineTo(9, 12);
        outlined(p, path);
        return QPoint(9, 9);
    }
    case crText: {
        QPainterPath path;
        path.moveTo(5, 2);
        path.lineTo(11, 2);
        path.moveTo(8, 2);
        path.lineTo(8, 20);
        path.moveTo(5, 20);
        path.lineTo(11, 20);
        outlined(p, path);
        return QPoint(8, 11);
    }
    case crFormatPainter: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(1, 1, 6, 10);
        QPainterPath brush;
        brush.addRect(8, 2, 12, 6);
        brush.moveTo(14, 8);
        brush.lineTo(14, 12);
        brush.addRect(12, 12, 4, 9);
        p.setBrush(QColor(0xE0, 0xB0, 0x40));
        p.drawPath(brush);
        return QPoint(1, 1);
    }
    case crPencil: {
        QPainterPath path;
        path.moveTo(1, 1);
        path.lineTo(5, 3);
        path.lineTo(18, 16);
        path.lineTo(16, 18);
        path.lineTo(3, 5);
        path.closeSubpath();
        outlined(p, path);
        return QPoint(1, 1);
    }
    case crSizeNWSE:
        outlined(p, doubleArrow(QPointF(3, 3), QPointF(19, 19)));
        return QPoint(11, 11);
    case crSizeNESW:
        outlined(p, doubleArrow(QPointF(19, 3), QPointF(3, 19)));
        return QPoint(11, 11);
    case crSizeWE:
        outlined(p, doubleArrow(QPointF(1, 11), QPointF(21, 11)));
        return QPoint(11, 11);
    case crSizeNS:
        outlined(p, doubleArrow(QPointF(11, 1), QPointF(11, 21)));
        return QPoint(11, 11);
    case crSplitV: {
        QPainterPath path = doubleArrow(QPointF(11, 1), QPointF(11, 21));
        path.moveTo(3, 10);
        path.lineTo(19, 10);
        path.moveTo(3, 12);
        path.lineTo(19, 12);
        outlined(p, path);
        return QPoint(11, 11);
    }
    case crSplitH: {
        QPainterPath path = doubleArrow(QPointF(1, 11), QPointF(21, 11));
        path.moveTo(10, 3);
        path.lineTo(10, 19);
        path.moveTo(12, 3);
        path.lineTo(12, 19);
        outlined(p, path);
        return QPoint(11, 11);
    }
    }
    return QPoint(0, 0);
}

} // namespace

QIcon designerIcon(DesignerImage Image)
{
    // Kept for the whole run (never freed after the application object).
    static auto* cache = new QHash<int, QIcon>;
    if (Image == imgNone)
        return QIcon();
    auto it = cache->find(int(Image));
    if (it == cache->end())
        it = cache->insert(int(Image), QIcon(imagePixmap(Image)));
    return *it;
}

DesignerImage designerImageOf(const QString& ControlName)
{
    for (const NamedImage& n : kNamedImages)
        if (ControlName == QLatin1String(n.name))
            return n.image;
    return imgNone;
}

QIcon colorBarIcon(DesignerImage Image, quint32 Color)
{
    QPixmap pm = imagePixmap(Image);
    QPainter p(&pm);
    // The bar from (1, 13) to (16, 16); "no colour" leaves it hollow.
    constexpr quint32 kNoColor = 0x1FFFFFFF;
    if (Color == kNoColor) {
        p.setPen(kGrey);
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 13, 14, 2);
    } else {
        p.fillRect(QRect(1, 13, 15, 3), fromTColor(Color & 0xFFFFFF));
    }
    return QIcon(pm);
}

QIcon objectIcon(const QString& Caption)
{
    static auto* cache = new QHash<QString, QIcon>;
    auto it = cache->find(Caption);
    if (it != cache->end())
        return *it;
    QPixmap pm = imagePixmap(imgObject);
    QPainter p(&pm);
    QString initials = Caption.left(2);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(8);
    f.setBold(true);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(kBlue);
    p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, initials);
    p.end();
    return *cache->insert(Caption, QIcon(pm));
}

QPixmap designerCursorPixmap(DesignerCursor Cursor)
{
    QPixmap pm(kCursorSize, kCursorSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawCursor(p, Cursor);
    return pm;
}

QCursor designerCursor(DesignerCursor Cursor)
{
    static auto* cache = new QHash<int, QCursor>;
    auto it = cache->find(int(Cursor));
    if (it == cache->end()) {
        QPixmap pm(kCursorSize, kCursorSize);
        pm.fill(Qt::transparent);
        QPoint hot;
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing, false);
            hot = drawCursor(p, Cursor);
        }
        it = cache->insert(int(Cursor), QCursor(pm, hot.x(), hot.y()));
    }
    return *it;
}

} // namespace zd
