#include "symbollibrary.h"

#include "itemkind.h"

#include <QCache>
#include <QTransform>
#include <QtMath>
#include <initializer_list>

namespace {

// Enough for every size and status on a large graph; a drawing costs about a kilobyte.
constexpr int CacheEntries = 4096;

bool axisParallel(const QPointF &a, const QPointF &b)
{
    return qAbs(a.x() - b.x()) < 1e-9 || qAbs(a.y() - b.y()) < 1e-9;
}

bool needsAntialias(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isCurveTo())
            return true;
        if (e.isLineTo() && i > 0 && !axisParallel(path.elementAt(i - 1), e))
            return true;
    }
    return false;
}

// Collects the layers of one drawing in the upright frame: the feeder enters at the top
// centre and leaves at the bottom centre. Plain strokes gather in two paths, crisp and
// antialiased, so that a symbol is painted with as few calls as possible; a filled layer
// first emits the strokes gathered so far, which keeps the painting order.
class Builder
{
public:
    Builder(double width, double height)
        : w(width)
        , h(height)
        , cx(width / 2)
        , cy(height / 2)
    { }

    const double w;
    const double h;
    const double cx;
    const double cy;

    void stroke(const QPainterPath &path)
    {
        if (needsAntialias(path))
            m_curved.addPath(path);
        else
            m_straight.addPath(path);
    }

    void line(double x1, double y1, double x2, double y2) { polyline({QPointF(x1, y1), QPointF(x2, y2)}); }

    void polyline(std::initializer_list<QPointF> points)
    {
        QPainterPath path;
        for (const QPointF &p : points) {
            if (path.elementCount() == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        stroke(path);
    }

    void add(const QPainterPath &path, SymbolLibrary::Fill fill, SymbolLibrary::Stroke stroke)
    {
        flush();
        SymbolLibrary::Layer layer;
        layer.path = path;
        layer.fill = fill;
        layer.stroke = stroke;
        layer.antialias = needsAntialias(path);
        m_drawing.layers.append(layer);
    }

    SymbolLibrary::Drawing finish()
    {
        flush();
        return m_drawing;
    }

private:
    void flush()
    {
        for (QPainterPath *path : {&m_straight, &m_curved}) {
            if (path->isEmpty())
                continue;
            SymbolLibrary::Layer layer;
            layer.path = *path;
            layer.stroke = SymbolLibrary::LineStroke;
            layer.antialias = path == &m_curved;
            m_drawing.layers.append(layer);
            *path = QPainterPath();
        }
    }

    SymbolLibrary::Drawing m_drawing;
    QPainterPath m_straight;
    QPainterPath m_curved;
};

QPainterPath rectPath(const QRectF &r)
{
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath circlePath(const QPointF &centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QVector<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Three earthing bars, each shorter than the one above.
void earthBars(Builder &b, double top, double bottom)
{
    const double widths[] = {0.92, 0.6, 0.28};
    for (int i = 0; i < 3; ++i) {
        const double y = top + (bottom - top) * i / 2;
        const double half = b.w * widths[i] / 2;
        b.line(b.cx - half, y, b.cx + half, y);
    }
}

void breaker(Builder &b)
{
    const QRectF box(b.cx - 0.32 * b.w, 0.25 * b.h, 0.64 * b.w, 0.5 * b.h);
    b.line(b.cx, 0, b.cx, box.top());
    b.line(b.cx, box.bottom(), b.cx, b.h);
    b.add(rectPath(box), SymbolLibrary::StatusFill, SymbolLibrary::StatusStroke);
}

void disconnector(Builder &b, bool closed)
{
    const double contact = 0.28 * b.h;
    const double pivot = 0.72 * b.h;
    b.line(b.cx, 0, b.cx, contact);
    b.line(b.cx - 0.25 * b.w, contact, b.cx + 0.25 * b.w, contact);
    b.line(b.cx, pivot, b.cx, b.h);
    // The open blade swings to the left, clear of the fixed contact.
    if (closed)
        b.line(b.cx, pivot, b.cx, contact);
    else
        b.line(b.cx, pivot, b.cx - 0.38 * b.w, contact + 0.04 * b.h);
    b.add(circlePath(QPointF(b.cx, pivot), 0.07 * qMin(b.w, b.h)), SymbolLibrary::LineFill, SymbolLibrary::LineStroke);
}

void capacitor(Builder &b)
{
    const double top = 0.42 * b.h;
    const double bottom = 0.58 * b.h;
    b.line(b.cx, 0, b.cx, top);
    b.line(b.cx, bottom, b.cx, b.h);
    b.line(0.08 * b.w, top, 0.92 * b.w, top);
    b.line(0.08 * b.w, bottom, 0.92 * b.w, bottom);
}

void breakerTruck(Builder &b, bool working)
{
    // The plug contacts stay with the truck; drawn out to the test position, the fixed
    // contacts no longer reach them.
    const double apex = 0.14 * b.h;
    const double depth = 0.09 * b.h;
    const double half = 0.3 * b.w;
    const double reach = working ? apex : 0.04 * b.h;
    b.line(b.cx, 0, b.cx, reach);
    b.line(b.cx, b.h - reach, b.cx, b.h);
    const QRectF box(b.cx - 0.3 * b.w, 0.32 * b.h, 0.6 * b.w, 0.36 * b.h);
    b.add(rectPath(box), SymbolLibrary::BrushFill, SymbolLibrary::LineStroke);
    b.line(b.cx, apex, b.cx, box.top());
    b.line(b.cx, box.bottom(), b.cx, b.h - apex);
    b.polyline({QPointF(b.cx - half, apex + depth), QPointF(b.cx, apex), QPointF(b.cx + half, apex + depth)});
    b.polyline({QPointF(b.cx - half, b.h - apex - depth), QPointF(b.cx, b.h - apex),
        QPointF(b.cx + half, b.h - apex - depth)});
}

void fuse(Builder &b)
{
    b.add(rectPath(QRectF(0.3 * b.w, 0.22 * b.h, 0.4 * b.w, 0.56 * b.h)), SymbolLibrary::BrushFill,
        SymbolLibrary::LineStroke);
    b.line(b.cx, 0, b.cx, b.h);
}

void reactor(Builder &b)
{
    const double r = qMin(0.42 * b.w, 0.3 * b.h);
    b.polyline({QPointF(b.cx, 0), QPointF(b.cx, b.cy), QPointF(b.cx - r, b.cy)});
    // Three quarters of a turn from the left, over the top, down to the bottom.
    QPainterPath hook;
    hook.moveTo(b.cx - r, b.cy);
    hook.arcTo(QRectF(b.cx - r, b.cy - r, 2 * r, 2 * r), 180, -270);
    b.stroke(hook);
    b.line(b.cx, b.cy + r, b.cx, b.h);
}

void arcSuppressionCoil(Builder &b)
{
    const double top = 0.08 * b.h;
    const double end = 0.62 * b.h;
    const double turn = (end - top) / 3;
    const double rx = qMin(turn / 2, 0.42 * b.w);
    b.line(b.cx, 0, b.cx, top);
    QPainterPath coil;
    coil.moveTo(b.cx, top);
    for (int i = 0; i < 3; ++i)
        coil.arcTo(QRectF(b.cx - rx, top + i * turn, 2 * rx, turn), 90, -180);
    b.stroke(coil);
    b.line(b.cx, end, b.cx, 0.74 * b.h);
    earthBars(b, 0.74 * b.h, 0.98 * b.h);
}

void arrester(Builder &b)
{
    const QRectF body(0.32 * b.w, 0.12 * b.h, 0.36 * b.w, 0.44 * b.h);
    b.line(b.cx, 0, b.cx, body.top());
    b.add(rectPath(body), SymbolLibrary::BrushFill, SymbolLibrary::LineStroke);
    const double tip = 0.44 * b.h;
    const double head = 0.09 * b.h;
    const double half = 0.11 * b.w;
    b.line(b.cx, body.top(), b.cx, tip - head);
    b.line(b.cx, body.bottom(), b.cx, 0.74 * b.h);
    earthBars(b, 0.74 * b.h, 0.98 * b.h);
    b.add(polygonPath({QPointF(b.cx, tip), QPointF(b.cx - half, tip - head), QPointF(b.cx + half, tip - head)}),
        SymbolLibrary::LineFill, SymbolLibrary::LineStroke);
}

// A machine's circle keeps its shape: it fits the shorter side, centred.
double machineRadius(double width, double height)
{
    return qMin(width, height) / 2;
}

void rotatingMachine(Builder &b, bool generator)
{
    const double r = machineRadius(b.w, b.h);
    const QPointF c(b.cx, b.cy);
    b.add(circlePath(c, r), SymbolLibrary::BrushFill, SymbolLibrary::LineStroke);
    if (generator) {
        // A "G" over an alternating-current tilde, both as strokes so that they scale
        // with the circle and export as paths.
        const QPointF g(b.cx, b.cy - 0.3 * r);
        const double gr = 0.36 * r;
        const QRectF gBox(g.x() - gr, g.y() - gr, 2 * gr, 2 * gr);
        QPainterPath letter;
        letter.arcMoveTo(gBox, 42);
        letter.arcTo(gBox, 42, 318);
        letter.lineTo(g.x() + 0.05 * r, g.y());
        b.stroke(letter);
        QPainterPath tilde;
        tilde.moveTo(b.cx - 0.46 * r, b.cy + 0.46 * r);
        tilde.cubicTo(b.cx - 0.31 * r, b.cy + 0.19 * r, b.cx - 0.15 * r, b.cy + 0.19 * r, b.cx, b.cy + 0.46 * r);
        tilde.cubicTo(
            b.cx + 0.15 * r, b.cy + 0.73 * r, b.cx + 0.31 * r, b.cy + 0.73 * r, b.cx + 0.46 * r, b.cy + 0.46 * r);
        b.stroke(tilde);
    } else {
        const double k = 0.46 * r;
        b.polyline({QPointF(b.cx - k, b.cy + k), QPointF(b.cx - k, b.cy - k), QPointF(b.cx, b.cy + 0.3 * k),
            QPointF(b.cx + k, b.cy - k), QPointF(b.cx + k, b.cy + k)});
    }
}

void earth(Builder &b)
{
    b.line(b.cx, 0, b.cx, 0.5 * b.h);
    earthBars(b, 0.5 * b.h, 0.94 * b.h);
}

// Winding circles fitted into an area keeping their shape: two stacked, or three in a
// triangle (one above, two below). `spacing` is the distance of centres in radii.
struct Windings
{
    QVector<QPointF> centres;
    double r = 0;
};

Windings fitWindings(const QRectF &area, bool three, double spacing)
{
    Windings wd;
    const QPointF c = area.center();
    if (three) {
        const double rise = spacing * 0.8660254;
        wd.r = qMin(area.width() / (2 + spacing), area.height() / (2 + rise));
        const double dy = rise * wd.r / 2;
        const double dx = spacing * wd.r / 2;
        wd.centres = {QPointF(c.x(), c.y() - dy), QPointF(c.x() - dx, c.y() + dy), QPointF(c.x() + dx, c.y() + dy)};
    } else {
        wd.r = qMin(area.width() / 2, area.height() / (2 + spacing));
        const double dy = spacing * wd.r / 2;
        wd.centres = {QPointF(c.x(), c.y() - dy), QPointF(c.x(), c.y() + dy)};
    }
    return wd;
}

void addWindings(Builder &b, const Windings &wd)
{
    // Filled as one area first, so that a fill never hides the arcs where circles overlap.
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    QPainterPath circles;
    for (const QPointF &c : wd.centres) {
        area.addEllipse(c, wd.r, wd.r);
        circles.addEllipse(c, wd.r, wd.r);
    }
    b.add(area, SymbolLibrary::BrushFill, SymbolLibrary::NoStroke);
    b.stroke(circles);
}

// The main transformer's windings fill its whole frame.
Windings mainWindings(double width, double height, bool three)
{
    return fitWindings(QRectF(0, 0, width, height), three, 1.3);
}

void mainTransformer(Builder &b, bool three)
{
    addWindings(b, mainWindings(b.w, b.h, three));
}

void distributionTransformer(Builder &b)
{
    const Windings wd = fitWindings(QRectF(0.1 * b.w, 0.12 * b.h, 0.8 * b.w, 0.76 * b.h), false, 1.4);
    b.line(b.cx, 0, b.cx, wd.centres.first().y() - wd.r);
    b.line(b.cx, wd.centres.last().y() + wd.r, b.cx, b.h);
    addWindings(b, wd);
    // Star on the high-voltage winding, delta on the low-voltage one.
    const QPointF star = wd.centres.first();
    const double arm = 0.42 * wd.r;
    b.line(star.x(), star.y(), star.x(), star.y() + arm);
    b.line(star.x(), star.y(), star.x() - 0.866 * arm, star.y() - 0.5 * arm);
    b.line(star.x(), star.y(), star.x() + 0.866 * arm, star.y() - 0.5 * arm);
    const QPointF delta = wd.centres.last();
    const double d = 0.45 * wd.r;
    QPainterPath triangle = polygonPath({QPointF(delta.x(), delta.y() - d),
        QPointF(delta.x() + 0.866 * d, delta.y() + 0.5 * d), QPointF(delta.x() - 0.866 * d, delta.y() + 0.5 * d)});
    b.stroke(triangle);
}

void currentTransformer(Builder &b)
{
    const double r = qMin(0.28 * b.w, 0.2 * b.h);
    b.line(b.cx, 0, b.cx, b.h);
    b.stroke(circlePath(QPointF(b.cx, b.cy), r));
    // The secondary terminal, to the right of the core.
    const double room = b.w / 2 - r;
    const double end = b.cx + r + 0.55 * room;
    b.line(b.cx + r, b.cy, end, b.cy);
    b.add(circlePath(QPointF(end, b.cy), qMin(0.22 * room, 0.08 * b.h)), SymbolLibrary::LineFill,
        SymbolLibrary::LineStroke);
}

void voltageTransformer(Builder &b, bool three)
{
    const double stub = 0.14 * b.h;
    const Windings wd = fitWindings(QRectF(0, stub, b.w, b.h - stub), three, 1.3);
    b.line(b.cx, 0, b.cx, wd.centres.first().y() - wd.r);
    addWindings(b, wd);
}

void lamp(Builder &b)
{
    const double r = qMin(0.46 * b.w, 0.32 * b.h);
    b.line(b.cx, 0, b.cx, b.cy - r);
    b.line(b.cx, b.cy + r, b.cx, b.h);
    b.add(circlePath(QPointF(b.cx, b.cy), r), SymbolLibrary::BrushFill, SymbolLibrary::LineStroke);
    const double k = r * 0.7071068;
    b.line(b.cx - k, b.cy - k, b.cx + k, b.cy + k);
    b.line(b.cx + k, b.cy - k, b.cx - k, b.cy + k);
}

void bell(Builder &b)
{
    // A dome on a flared lip with the clapper below, hanging from its lead.
    const double r = qMin(0.417 * b.w, 0.66 * b.h);
    const double c = 0.28 * r;
    const double top = 0.95 * b.h - r - c;
    const double base = top + r;
    b.line(b.cx, 0, b.cx, top);
    QPainterPath dome;
    dome.moveTo(b.cx - r, base);
    dome.arcTo(QRectF(b.cx - r, top, 2 * r, 2 * r), 180, -180);
    dome.closeSubpath();
    b.add(dome, SymbolLibrary::BrushFill, SymbolLibrary::LineStroke);
    b.line(b.cx - 1.15 * r, base, b.cx + 1.15 * r, base);
    QPainterPath clapper;
    clapper.moveTo(b.cx - c, base);
    clapper.arcTo(QRectF(b.cx - c, base - c, 2 * c, 2 * c), 180, 180);
    clapper.closeSubpath();
    b.add(clapper, SymbolLibrary::LineFill, SymbolLibrary::LineStroke);
}

void diode(Builder &b)
{
    const double top = 0.28 * b.h;
    const double bottom = 0.7 * b.h;
    const double half = 0.38 * b.w;
    b.line(b.cx, 0, b.cx, top);
    b.line(b.cx, bottom, b.cx, b.h);
    b.line(b.cx - half, bottom, b.cx + half, bottom);
    b.add(polygonPath({QPointF(b.cx - half, top), QPointF(b.cx + half, top), QPointF(b.cx, bottom)}),
        SymbolLibrary::LineFill, SymbolLibrary::LineStroke);
}

void danger(Builder &b)
{
    b.add(polygonPath({QPointF(b.cx, 0), QPointF(b.w, b.h), QPointF(0, b.h)}), SymbolLibrary::BackgroundFill,
        SymbolLibrary::LineStroke);
    QPainterPath mark = polygonPath({QPointF(b.cx - 0.06 * b.w, 0.36 * b.h), QPointF(b.cx + 0.06 * b.w, 0.36 * b.h),
        QPointF(b.cx + 0.035 * b.w, 0.72 * b.h), QPointF(b.cx - 0.035 * b.w, 0.72 * b.h)});
    const double dot = qMin(0.065 * b.w, 0.06 * b.h);
    mark.addEllipse(QPointF(b.cx, 0.84 * b.h), dot, dot);
    b.add(mark, SymbolLibrary::ContrastFill, SymbolLibrary::NoStroke);
}

void capacityPlan(Builder &b, double level)
{
    const QRectF box(0, 0, b.w, b.h);
    b.add(rectPath(box), SymbolLibrary::BrushFill, SymbolLibrary::NoStroke);
    if (level > 0) {
        const double height = b.h * level / 100;
        b.add(rectPath(QRectF(0, b.h - height, b.w, height)), SymbolLibrary::LevelFill, SymbolLibrary::NoStroke);
    }
    b.stroke(rectPath(box));
    // A scale along the left side, the middle mark shorter.
    b.line(0, 0.25 * b.h, 0.18 * b.w, 0.25 * b.h);
    b.line(0, 0.5 * b.h, 0.12 * b.w, 0.5 * b.h);
    b.line(0, 0.75 * b.h, 0.18 * b.w, 0.75 * b.h);
}

void capacityFront(Builder &b, double level)
{
    // A standing cylinder: the lid and the bottom are ellipses seen slightly from above.
    const double e = qMin(0.12 * b.h, 0.3 * b.w);
    QPainterPath lid;
    lid.addEllipse(QRectF(0, 0, b.w, 2 * e));
    const QRectF bottomBox(0, b.h - 2 * e, b.w, 2 * e);
    QPainterPath bottom;
    bottom.addEllipse(bottomBox);
    const QPainterPath body = rectPath(QRectF(0, e, b.w, b.h - 2 * e)).united(bottom);
    b.add(body.united(lid), SymbolLibrary::BrushFill, SymbolLibrary::NoStroke);
    if (level > 0) {
        const double surface = (b.h - e) - (b.h - 2 * e) * level / 100;
        b.add(body.intersected(rectPath(QRectF(0, surface, b.w, b.h - surface))), SymbolLibrary::LevelFill,
            SymbolLibrary::NoStroke);
        QPainterPath top;
        top.addEllipse(QRectF(0, surface - e, b.w, 2 * e));
        b.add(top, SymbolLibrary::SurfaceFill, SymbolLibrary::NoStroke);
    }
    b.stroke(lid);
    b.line(0, e, 0, b.h - e);
    b.line(b.w, e, b.w, b.h - e);
    QPainterPath front;
    front.arcMoveTo(bottomBox, 180);
    front.arcTo(bottomBox, 180, 180);
    b.stroke(front);
}

// One symbol: how it is drawn from a request, and what it offers (which decides whether the
// request's variant, the status or the windings, and its level change the drawing).
struct Symbol
{
    int type;
    void (*build)(Builder &b, const SymbolLibrary::Request &r);
    unsigned offers;

    bool usesVariant() const
    {
        return offers
            & (SymbolLibrary::SwitchStatus | SymbolLibrary::TruckStatus | SymbolLibrary::TwoWindings
                | SymbolLibrary::ThreeWindings);
    }
    bool usesLevel() const { return offers & SymbolLibrary::Level; }
};

using Request = SymbolLibrary::Request;

const Symbol Symbols[] = {
    {ItemKind::Breaker, [](Builder &b, const Request &) { breaker(b); },
        SymbolLibrary::Control | SymbolLibrary::SwitchStatus},
    {ItemKind::BreakerPicture, [](Builder &b, const Request &) { breaker(b); },
        SymbolLibrary::Control | SymbolLibrary::SwitchStatus | SymbolLibrary::StatusColours},
    {ItemKind::Disconnector, [](Builder &b, const Request &r) { disconnector(b, r.variant == 1); },
        SymbolLibrary::Control | SymbolLibrary::SwitchStatus},
    {ItemKind::Capacitor, [](Builder &b, const Request &) { capacitor(b); }, 0},
    {ItemKind::BreakerTruck, [](Builder &b, const Request &r) { breakerTruck(b, r.variant == 1); },
        SymbolLibrary::Control | SymbolLibrary::TruckStatus},
    {ItemKind::Fuse, [](Builder &b, const Request &) { fuse(b); }, 0},
    {ItemKind::Reactor, [](Builder &b, const Request &) { reactor(b); }, 0},
    {ItemKind::ArcSuppressionCoil, [](Builder &b, const Request &) { arcSuppressionCoil(b); }, 0},
    {ItemKind::Arrester, [](Builder &b, const Request &) { arrester(b); }, 0},
    {ItemKind::Generator, [](Builder &b, const Request &) { rotatingMachine(b, true); }, 0},
    {ItemKind::Motor, [](Builder &b, const Request &) { rotatingMachine(b, false); }, 0},
    {ItemKind::Earth, [](Builder &b, const Request &) { earth(b); }, 0},
    {ItemKind::MainTransformer, [](Builder &b, const Request &r) { mainTransformer(b, r.variant == 1); },
        SymbolLibrary::TwoWindings},
    {ItemKind::DistributionTransformer, [](Builder &b, const Request &) { distributionTransformer(b); }, 0},
    {ItemKind::CurrentTransformer, [](Builder &b, const Request &) { currentTransformer(b); }, 0},
    {ItemKind::VoltageTransformer, [](Builder &b, const Request &r) { voltageTransformer(b, r.variant == 1); },
        SymbolLibrary::ThreeWindings},
    {ItemKind::Lamp, [](Builder &b, const Request &) { lamp(b); }, 0},
    {ItemKind::Bell, [](Builder &b, const Request &) { bell(b); }, 0},
    {ItemKind::Diode, [](Builder &b, const Request &) { diode(b); }, 0},
    {ItemKind::Danger, [](Builder &b, const Request &) { danger(b); }, SymbolLibrary::Background},
    {ItemKind::CapacityPlan, [](Builder &b, const Request &r) { capacityPlan(b, r.level); }, SymbolLibrary::Level},
    {ItemKind::CapacityFront, [](Builder &b, const Request &r) { capacityFront(b, r.level); }, SymbolLibrary::Level},
};

const Symbol *symbolOf(int type)
{
    for (const Symbol &symbol : Symbols) {
        if (symbol.type == type)
            return &symbol;
    }
    return nullptr;
}

// The request with everything that does not change the drawing of its type cleared,
// so that equal drawings share one cache entry.
// Quarter turns clockwise about the upright frame, landing in the item's rectangle of `size`.
QTransform turn(int orientation, const QSizeF &size)
{
    switch (orientation) {
    case 1: return QTransform(0, 1, -1, 0, size.width(), 0);
    case 2: return QTransform(-1, 0, 0, -1, size.width(), size.height());
    case 3: return QTransform(0, -1, 1, 0, 0, size.height());
    default: return QTransform();
    }
}

SymbolLibrary::Request normalised(const SymbolLibrary::Request &request)
{
    SymbolLibrary::Request r = request;
    const Symbol *symbol = symbolOf(r.type);
    r.variant = symbol && symbol->usesVariant() ? qBound(0, r.variant, 1) : 0;
    r.orientation = ((r.orientation % 4) + 4) % 4;
    r.level = symbol && symbol->usesLevel() ? qBound(0.0, r.level, 100.0) : 0.0;
    return r;
}

struct Key
{
    int type;
    int variant;
    int orientation;
    double width;
    double height;
    double level;

    bool operator==(const Key &o) const
    {
        return type == o.type && variant == o.variant && orientation == o.orientation && width == o.width
            && height == o.height && level == o.level;
    }
};

uint qHash(const Key &k, uint seed = 0)
{
    uint h = ::qHash(k.type, seed);
    h = h * 31 + ::qHash((k.variant << 2) | k.orientation, seed);
    h = h * 31 + ::qHash(k.width, seed);
    h = h * 31 + ::qHash(k.height, seed);
    return h * 31 + ::qHash(k.level, seed);
}

QCache<Key, SymbolLibrary::Drawing> &cache()
{
    static QCache<Key, SymbolLibrary::Drawing> drawings(CacheEntries);
    return drawings;
}

} // namespace

QVector<int> SymbolLibrary::types()
{
    QVector<int> result;
    for (const Symbol &symbol : Symbols)
        result.append(symbol.type);
    return result;
}

unsigned SymbolLibrary::offers(int type)
{
    const Symbol *symbol = symbolOf(type);
    return symbol ? symbol->offers : 0;
}

bool SymbolLibrary::contains(int type)
{
    return symbolOf(type) != nullptr;
}

SymbolLibrary::Drawing SymbolLibrary::build(const Request &request)
{
    const Request r = normalised(request);
    const double width = r.size.width();
    const double height = r.size.height();
    if (!(width > 0 && height > 0))
        return Drawing();
    // Symbols are drawn upright; a quarter turn swaps the sides of the frame.
    const bool across = r.orientation % 2 == 1;
    Builder b(across ? height : width, across ? width : height);
    const Symbol *symbol = symbolOf(r.type);
    if (!symbol)
        return Drawing();
    symbol->build(b, r);
    Drawing drawing = b.finish();
    if (r.orientation == 0)
        return drawing;
    const QTransform turned = turn(r.orientation, r.size);
    for (Layer &layer : drawing.layers)
        layer.path = turned.map(layer.path);
    return drawing;
}

QVector<QPointF> SymbolLibrary::terminals(const Request &request)
{
    const Request r = normalised(request);
    const ItemKind *kind = ItemKind::find(r.type);
    if (!kind || !symbolOf(r.type) || !(r.size.width() > 0 && r.size.height() > 0))
        return {};
    // The upright frame, as build() draws in it.
    const bool across = r.orientation % 2 == 1;
    const double w = across ? r.size.height() : r.size.width();
    const double h = across ? r.size.width() : r.size.height();
    QVector<QPointF> points;
    switch (kind->terminals) {
    case ItemKind::TopBottom: points = {QPointF(w / 2, 0), QPointF(w / 2, h)}; break;
    case ItemKind::Top: points = {QPointF(w / 2, 0)}; break;
    case ItemKind::CircleTop: points = {QPointF(w / 2, h / 2 - machineRadius(w, h))}; break;
    case ItemKind::Windings: {
        const Windings wd = mainWindings(w, h, r.variant == 1);
        points.append(wd.centres.first() - QPointF(0, wd.r));
        for (int i = 1; i < wd.centres.size(); ++i)
            points.append(wd.centres.at(i) + QPointF(0, wd.r));
        break;
    }
    case ItemKind::NoTerminals:
    case ItemKind::LineEnds: break;
    }
    const QTransform turned = turn(r.orientation, r.size);
    for (QPointF &p : points)
        p = turned.map(p);
    return points;
}

const SymbolLibrary::Drawing *SymbolLibrary::drawing(const Request &request)
{
    const Request r = normalised(request);
    const Key key{r.type, r.variant, r.orientation, r.size.width(), r.size.height(), r.level};
    if (const Drawing *found = cache().object(key))
        return found;
    auto *built = new Drawing(build(r));
    cache().insert(key, built);
    return built;
}

int SymbolLibrary::cachedCount()
{
    return cache().count();
}

void SymbolLibrary::clearCache()
{
    cache().clear();
}
