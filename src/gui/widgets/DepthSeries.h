#pragma once

#include <QPointF>
#include <QPolygonF>
#include <qcustomplot.h>

#include <vector>

namespace kestrel::gui {

// The 3D look of a chart series: the series' front faces extruded by `offset` (pixels, up
// and to the right), drawn in the plottable's brush behind the series itself. Only what
// stands above the base line is extruded: a stretch at zero has no height and gets no
// depth, so nothing floats above the axis where the series lies on it.
QPainterPath extrudedFaces(const std::vector<QPolygonF>& faces, QPointF offset, double baseY);

// A graph's faces in pixels, from its line (QCPGraph::getLines): for a filled graph the
// area between the line and `baseY`, one closed face per stretch above the base line; for
// a line without fill the stretches themselves, open, which extrude to a ribbon.
std::vector<QPolygonF> graphFaces(const QVector<QPointF>& lines, double baseY, bool filled);

// A box (a bar, or one impulse column) and its extrusion, as one outline.
QPolygonF extrudedBox(const QRectF& box, QPointF offset);

// The depth copy of a graph: draws the extrusion of the same data instead of the line.
class DepthGraph : public QCPGraph {
public:
    DepthGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, QPointF offset);
    // The extrusion reaches `offset` past the axis rect at the top and right.
    QRect clipRect() const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    QPointF offset_;
};

// The depth copy of a bar series.
class DepthBars : public QCPBars {
public:
    DepthBars(QCPAxis* keyAxis, QCPAxis* valueAxis, QPointF offset);
    QRect clipRect() const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    QPointF offset_;
};

} // namespace kestrel::gui
