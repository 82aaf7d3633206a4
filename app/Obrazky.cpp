#include "Obrazky.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace zd {

namespace {

constexpr int kSize = 16;
const QColor kInk{40, 40, 40};
const QColor kRed{200, 30, 30};
const QColor kGreen{30, 140, 40};
const QColor kBlue{30, 80, 170};

void page(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (qreal y = r.top() + 3; y < r.bottom() - 1; y += 2)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void cross(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void funnel(QPainter& p)
{
    QPainterPath path;
    path.moveTo(1.5, 2.5);
    path.lineTo(14.5, 2.5);
    path.lineTo(9.5, 8.5);
    path.lineTo(9.5, 13.5);
    path.lineTo(6.5, 11.5);
    path.lineTo(6.5, 8.5);
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(90, 140, 210));
    p.drawPath(path);
}

void magnifier(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(210, 230, 250));
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
}

void plus(QPainter& p, const QPointF& c, const QColor& colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(c - QPointF(3.5, 0), c + QPointF(3.5, 0));
    p.drawLine(c - QPointF(0, 3.5), c + QPointF(0, 3.5));
}

using Drawing = std::function<void(QPainter&)>;

Drawing drawingOf(const QString& name)
{
    if (name == QLatin1String("Akce_Konec"))
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(170, 120, 70));
            p.drawRect(QRectF(2.5, 1.5, 8, 13));
            p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(14.5, 8));
            p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
            p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
        };
    if (name == QLatin1String("Akce_Kopirovat") || name == QLatin1String("Akce_KopirovatZaznam"))
        return [](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 8, 10));
            page(p, QRectF(6.5, 4.5, 8, 10));
        };
    if (name == QLatin1String("Akce_HledatZaznam") || name == QLatin1String("Akce_HledatZaznamDalsi"))
        return magnifier;
    if (name == QLatin1String("Akce_Filtr"))
        return funnel;
    if (name == QLatin1String("Akce_ZrusitFiltr"))
        return [](QPainter& p) {
            funnel(p);
            cross(p, QRectF(9, 9, 5.5, 5.5), kRed);
        };
    if (name == QLatin1String("Akce_NovyZaznam"))
        return [](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 10, 12));
            plus(p, QPointF(11.5, 11.5), kGreen);
        };
    if (name == QLatin1String("Akce_EditZaznamu"))
        return [](QPainter& p) {
            page(p, QRectF(1.5, 1.5, 10, 12));
            p.setPen(QPen(QColor(230, 170, 40), 3, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(14.5, 4.5), QPointF(7, 12));
            p.setPen(QPen(kInk, 1));
            p.drawLine(QPointF(7, 12), QPointF(5.5, 14.5));
        };
    if (name == QLatin1String("Akce_Konfig"))
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(160, 160, 170));
            for (int i = 0; i < 8; ++i) {
                p.save();
                p.translate(8, 8);
                p.rotate(i * 45.0);
                p.drawRect(QRectF(-1.5, -7.5, 3, 3));
                p.restore();
            }
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
        };
    if (name == QLatin1String("Akce_Napoveda") || name == QLatin1String("Akce_OProgramu"))
        return [name](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
            QFont f = p.font();
            f.setPixelSize(12);
            f.setBold(true);
            p.setFont(f);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter,
                       name == QLatin1String("Akce_Napoveda") ? QStringLiteral("?") : QStringLiteral("i"));
        };
    if (name == QLatin1String("Akce_Sestavy"))
        return [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));
            p.setBrush(QColor(150, 150, 160));
            p.drawRect(QRectF(1.5, 6.5, 13, 6));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
        };
    if (name == QLatin1String("Akce_Generator"))
        return [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            const int bars[][2] = {{1, 1}, {3, 2}, {6, 1}, {8, 1}, {10, 2}, {13, 1}, {15, 1}};
            for (const auto& b : bars)
                p.drawRect(QRectF(b[0] - 0.5, 2, b[1], 9));
            plus(p, QPointF(11.5, 12.5), kGreen);
        };
    return {};
}

} // namespace

QIcon ObrazekAkce(const QString& actionName)
{
    const Drawing draw = drawingOf(actionName);
    if (!draw)
        return {};
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace zd
