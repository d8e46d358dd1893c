#include "gui/common/ActionIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace kalvor::gui {

namespace {

const QColor kGreen(0x2e, 0x8b, 0x3a);
const QColor kBlue(0x25, 0x63, 0xc0);
const QColor kRed(0xc6, 0x28, 0x28);
const QColor kOrange(0xe0, 0x8a, 0x00);
const QColor kInk(0x50, 0x5a, 0x64);

// Everything is drawn on a 24-unit square and scaled to the pixmap.
void sheet(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(path);
}

void badge(QPainter &p, const QPointF &centre, double radius, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
}

void plus(QPainter &p, const QPointF &c, double half, const QColor &colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
}

void arrow(QPainter &p, const QPointF &from, const QPointF &to, const QColor &colour)
{
    p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - 4 * d + 3.5 * n);
    p.drawLine(to, to - 4 * d - 3.5 * n);
}

void draw(QPainter &p, ActionIcon kind)
{
    switch (kind) {
    case ActionIcon::Add:
        badge(p, {12, 12}, 10, kGreen);
        plus(p, {12, 12}, 5.5, Qt::white, 3);
        break;
    case ActionIcon::Edit: {
        QPainterPath pencil;
        pencil.moveTo(5, 19);
        pencil.lineTo(6.5, 14);
        pencil.lineTo(16, 4.5);
        pencil.lineTo(19.5, 8);
        pencil.lineTo(10, 17.5);
        pencil.closeSubpath();
        p.setPen(QPen(kBlue.darker(130), 1.2));
        p.setBrush(kBlue);
        p.drawPath(pencil);
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 21), QPointF(20, 21));
        break;
    }
    case ActionIcon::Delete:
        badge(p, {12, 12}, 10, kRed);
        p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(16, 16));
        p.drawLine(QPointF(16, 8), QPointF(8, 16));
        break;
    case ActionIcon::Copy:
        sheet(p, {3, 2, 12, 15});
        sheet(p, {9, 7, 12, 15});
        plus(p, {15, 14.5}, 3, kBlue, 2);
        break;
    case ActionIcon::NewPeriod:
        sheet(p, {3, 2, 14, 19});
        badge(p, {17, 17}, 6, kGreen);
        plus(p, {17, 17}, 3.2, Qt::white, 2.2);
        break;
    case ActionIcon::Merge:
        sheet(p, {8, 2, 14, 19});
        arrow(p, {2, 12}, {13, 12}, kBlue);
        break;
    case ActionIcon::Export:
        sheet(p, {2, 2, 14, 19});
        arrow(p, {9, 12}, {22, 12}, kGreen);
        break;
    case ActionIcon::Import: {
        QPainterPath folder;
        folder.moveTo(2, 7);
        folder.lineTo(8, 7);
        folder.lineTo(10, 9);
        folder.lineTo(20, 9);
        folder.lineTo(20, 20);
        folder.lineTo(2, 20);
        folder.closeSubpath();
        p.setPen(QPen(kOrange.darker(140), 1.2));
        p.setBrush(QColor(0xf4, 0xc8, 0x5a));
        p.drawPath(folder);
        arrow(p, {14, 1.5}, {14, 15}, kBlue);
        break;
    }
    case ActionIcon::Workbook:
        p.setPen(QPen(kGreen.darker(130), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 4, 18, 16));
        p.setBrush(kGreen);
        p.drawRect(QRectF(3, 4, 18, 4));
        for (double x : {9.0, 15.0})
            p.drawLine(QPointF(x, 8), QPointF(x, 20));
        for (double y : {12.0, 16.0})
            p.drawLine(QPointF(3, y), QPointF(21, y));
        break;
    case ActionIcon::Check: {
        badge(p, {12, 12}, 10, kOrange);
        QFont font;
        font.setBold(true);
        font.setPixelSize(15);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case ActionIcon::Search:
        p.setPen(QPen(kBlue, 2.6));
        p.setBrush(QColor(0xe4, 0xee, 0xfb));
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.setPen(QPen(kInk, 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        break;
    case ActionIcon::Warning: {
        QPainterPath triangle;
        triangle.moveTo(12, 2);
        triangle.lineTo(22.5, 21);
        triangle.lineTo(1.5, 21);
        triangle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawPath(triangle);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 8.5), QPointF(12, 14));
        p.drawPoint(QPointF(12, 18));
        break;
    }
    case ActionIcon::Update:
        p.setPen(QPen(kBlue, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 150 * 16);
        p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 150 * 16);
        arrow(p, {19, 7}, {19.5, 11}, kBlue);
        arrow(p, {5, 17}, {4.5, 13}, kBlue);
        break;
    }
}

QPixmap render(ActionIcon kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, kind);
    return pixmap;
}

// Grey and faint: an unavailable command reads as such at a glance.
QPixmap faded(const QPixmap &pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 150 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 45 / 100);
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

QIcon actionIcon(ActionIcon kind)
{
    QIcon icon;
    for (const int size : {16, 20, 24, 32, 48}) {
        const QPixmap normal = render(kind, size);
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(faded(normal), QIcon::Disabled);
    }
    return icon;
}

} // namespace kalvor::gui
