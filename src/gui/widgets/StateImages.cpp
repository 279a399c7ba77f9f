#include "gui/widgets/StateImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel::gui {

namespace {

QPixmap blankImage()
{
    QPixmap pixmap(kStateImageSize, kStateImageSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A small chart: the cycle has operational records to look at.
QIcon detailImage()
{
    QPixmap pixmap = blankImage();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(0, 90, 200), 1.6));
    const QPointF line[] = {{3, 12}, {6, 7}, {9, 9}, {13, 3}};
    p.drawPolyline(line, 4);
    return QIcon(pixmap);
}

// A red stop sign: the limiter stopped the crane.
QIcon stopImage()
{
    QPixmap pixmap = blankImage();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(220, 30, 30));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 7, 8, 2.5));
    return QIcon(pixmap);
}

// A yellow sign with a wrench mark: the cycle ran in service mode.
QIcon serviceImage()
{
    QPixmap pixmap = blankImage();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath diamond;
    diamond.moveTo(8, 1);
    diamond.lineTo(15, 8);
    diamond.lineTo(8, 15);
    diamond.lineTo(1, 8);
    diamond.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(250, 200, 40));
    p.drawPath(diamond);
    p.setPen(QPen(QColor(40, 40, 40), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 10.5), QPointF(10.5, 5.5));
    p.drawEllipse(QPointF(10.5, 5.5), 1.2, 1.2);
    return QIcon(pixmap);
}

} // namespace

QList<QIcon> makeStateImages() { return {detailImage(), stopImage(), serviceImage()}; }

QIcon cycleRowIcon(const QList<QIcon>& images, int icon, int stateIcon)
{
    const bool hasIcon = icon >= 0 && icon < images.size();
    const bool hasState = stateIcon >= 0 && stateIcon < images.size();
    const QSize size = cycleRowIconSize();
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    if (hasState)
        p.drawPixmap(0, 0, images[stateIcon].pixmap(kStateImageSize, kStateImageSize));
    if (hasIcon)
        p.drawPixmap(kStateImageSize + 2, 0, images[icon].pixmap(kStateImageSize, kStateImageSize));
    p.end();
    return QIcon(pixmap);
}

} // namespace kestrel::gui
