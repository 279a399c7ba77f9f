#include "gui/widgets/DepthSeries.h"

#include <QtMath>

#include <algorithm>

#include <cmath>

namespace kestrel::gui {

namespace {

// Closer than this to the base line, a point is on it (pixels).
constexpr double kOnBase = 0.5;

bool onBase(const QPointF& point, double baseY) { return std::fabs(point.y() - baseY) < kOnBase; }

double signedArea(const QPolygonF& polygon)
{
    double twice = 0.0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF& a = polygon[i];
        const QPointF& b = polygon[(i + 1) % polygon.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2.0;
}

// With every piece turned the same way, the winding fill is their union: overlapping
// pieces add up instead of cancelling out.
void addOriented(QPainterPath& path, QPolygonF polygon)
{
    const double area = signedArea(polygon);
    if (std::fabs(area) < 1e-9)
        return;
    if (area < 0.0)
        std::reverse(polygon.begin(), polygon.end());
    path.addPolygon(polygon);
    path.closeSubpath();
}

QRect widened(QRect rect, QPointF offset)
{
    return rect.adjusted(0, -qCeil(std::fabs(offset.y())), qCeil(std::fabs(offset.x())), 0);
}

} // namespace

std::vector<QPolygonF> graphFaces(const QVector<QPointF>& lines, double baseY, bool filled)
{
    std::vector<QPolygonF> faces;
    const qsizetype count = lines.size();
    qsizetype i = 0;
    while (i < count) {
        // A stretch: points off the base line, with the neighbours on it that the line
        // comes up from and goes down to; a gap (NaN) ends it.
        if (std::isnan(lines[i].y()) || onBase(lines[i], baseY)) {
            ++i;
            continue;
        }
        qsizetype first = i;
        if (first > 0 && !std::isnan(lines[first - 1].y()))
            --first;
        qsizetype last = i;
        while (last + 1 < count && !std::isnan(lines[last + 1].y()) && !onBase(lines[last + 1], baseY))
            ++last;
        if (last + 1 < count && !std::isnan(lines[last + 1].y()))
            ++last;
        QPolygonF face;
        if (filled)
            face << QPointF(lines[first].x(), baseY);
        for (qsizetype k = first; k <= last; ++k)
            face << lines[k];
        if (filled)
            face << QPointF(lines[last].x(), baseY) << face.front();
        faces.push_back(face);
        i = last + 1;
    }
    return faces;
}

QPainterPath extrudedFaces(const std::vector<QPolygonF>& faces, QPointF offset, double baseY)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPolygonF& face : faces) {
        if (face.size() < 2)
            continue;
        if (face.isClosed()) {
            addOriented(path, face);
            addOriented(path, face.translated(offset));
        }
        // The sides the edges sweep; none along the base line, which has no height.
        for (qsizetype k = 0; k + 1 < face.size(); ++k) {
            const QPointF& a = face[k];
            const QPointF& b = face[k + 1];
            if (onBase(a, baseY) && onBase(b, baseY))
                continue;
            addOriented(path, QPolygonF{a, b, b + offset, a + offset});
        }
    }
    return path;
}

QPolygonF extrudedBox(const QRectF& box, QPointF offset)
{
    const QRectF r = box.normalized();
    // Front left edge, the back top edge, the back right edge down to the front bottom.
    return QPolygonF{r.bottomLeft(), r.topLeft(), r.topLeft() + offset, r.topRight() + offset,
        r.bottomRight() + offset, r.bottomRight()};
}

DepthGraph::DepthGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QPointF offset)
    : QCPGraph(keyAxis, valueAxis), offset_(offset)
{
}

QRect DepthGraph::clipRect() const { return widened(QCPGraph::clipRect(), offset_); }

void DepthGraph::draw(QCPPainter* painter)
{
    if (!mKeyAxis || !mValueAxis || mKeyAxis->range().size() <= 0.0 || mDataContainer->isEmpty()
        || mLineStyle == lsNone)
        return;
    QVector<QPointF> lines;
    getLines(&lines, QCPDataRange(0, dataCount()));
    const double baseY = mValueAxis->coordToPixel(0.0);
    const bool filled = brush().style() != Qt::NoBrush;

    painter->setPen(Qt::NoPen);
    painter->setBrush(filled ? brush() : QBrush(pen().color()));
    applyFillAntialiasingHint(painter);
    if (mLineStyle == lsImpulse) {
        // Pairs of base and top, one column of the pen's width each.
        const double half = pen().widthF() / 2.0;
        for (qsizetype k = 0; k + 1 < lines.size(); k += 2) {
            const QPointF& top = lines[k + 1];
            if (std::isnan(top.y()) || onBase(top, baseY))
                continue;
            const QRectF column(QPointF(top.x() - half, top.y()), QPointF(top.x() + half, baseY));
            painter->drawPolygon(extrudedBox(column, offset_));
        }
        return;
    }
    painter->drawPath(extrudedFaces(graphFaces(lines, baseY, filled), offset_, baseY));
}

DepthBars::DepthBars(QCPAxis* keyAxis, QCPAxis* valueAxis, QPointF offset)
    : QCPBars(keyAxis, valueAxis), offset_(offset)
{
}

QRect DepthBars::clipRect() const { return widened(QCPBars::clipRect(), offset_); }

void DepthBars::draw(QCPPainter* painter)
{
    if (!mKeyAxis || !mValueAxis || mDataContainer->isEmpty())
        return;
    QCPBarsDataContainer::const_iterator begin;
    QCPBarsDataContainer::const_iterator end;
    getVisibleDataBounds(begin, end);
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush());
    applyFillAntialiasingHint(painter);
    for (auto it = begin; it != end; ++it) {
        if (std::isnan(it->value) || it->value == 0.0)
            continue;
        painter->drawPolygon(extrudedBox(getBarRect(it->key, it->value), offset_));
    }
}

} // namespace kestrel::gui
