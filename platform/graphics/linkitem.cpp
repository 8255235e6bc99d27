#include "linkitem.h"

#include "itemkind.h"
#include "itempixmapcache.h"
#include "propertyattributes.h"
#include "textblock.h"

#include <QFileInfo>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace {

// Index of each specific property in the tables below.
enum
{
    ButtonText = 0,
    ButtonControl,
    ButtonAction
};
enum
{
    HotSpotText = 0,
    HotSpotTarget
};
enum
{
    GraphLinkTarget = 0,
    GraphLinkText
};
enum
{
    DetailsText = 0,
    DetailsPoint
};
enum
{
    CircuitName = 0,
    CircuitPoint
};

constexpr double Padding = 2.0;
constexpr double GlyphSize = 14.0;
// Glyphs smaller than this on screen are drawn as a plain square.
constexpr double GreekPixels = 4.0;

const QStringList &actionItems()
{
    static const QStringList items{QStringLiteral("遥控"), QStringLiteral("设点"), QStringLiteral("弹出画面")};
    return items;
}

double levelOfDetail(const QPainter *painter)
{
    return QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t);
}

// Glyphs are built once in a unit box and only scaled when drawn. They keep a margin of
// 0.05 so that their strokes stay inside the box.

QPainterPath chainGlyph()
{
    QPainterPath link;
    link.addRoundedRect(QRectF(0.05, 0.36, 0.52, 0.28), 0.14, 0.14);
    link.addRoundedRect(QRectF(0.43, 0.36, 0.52, 0.28), 0.14, 0.14);
    QTransform turn;
    turn.translate(0.5, 0.5);
    turn.rotate(-45);
    turn.scale(0.9, 0.9);
    turn.translate(-0.5, -0.5);
    return turn.map(link);
}

QPainterPath arrowGlyph()
{
    QPainterPath p;
    p.moveTo(0.08, 0.5);
    p.lineTo(0.9, 0.5);
    p.moveTo(0.58, 0.2);
    p.lineTo(0.9, 0.5);
    p.lineTo(0.58, 0.8);
    return p;
}

QPainterPath sheetGlyph()
{
    QPainterPath p;
    p.moveTo(0.15, 0.05);
    p.lineTo(0.62, 0.05);
    p.lineTo(0.85, 0.28);
    p.lineTo(0.85, 0.95);
    p.lineTo(0.15, 0.95);
    p.closeSubpath();
    p.moveTo(0.62, 0.05);
    p.lineTo(0.62, 0.28);
    p.lineTo(0.85, 0.28);
    for (double y : {0.45, 0.62, 0.79}) {
        p.moveTo(0.28, y);
        p.lineTo(0.72, y);
    }
    return p;
}

// A small input field: the button sets a value.
QPainterPath setPointGlyph()
{
    QPainterPath p;
    p.addRect(QRectF(0.05, 0.25, 0.9, 0.5));
    p.moveTo(0.3, 0.35);
    p.lineTo(0.3, 0.65);
    return p;
}

// A small window: the button opens a screen.
QPainterPath popupGlyph()
{
    QPainterPath p;
    p.addRect(QRectF(0.05, 0.12, 0.9, 0.76));
    p.moveTo(0.05, 0.32);
    p.lineTo(0.95, 0.32);
    return p;
}

const QPainterPath &glyphPath(LinkItem::Glyph glyph)
{
    static const QPainterPath paths[] = {chainGlyph(), arrowGlyph(), sheetGlyph(), setPointGlyph(), popupGlyph()};
    return paths[glyph];
}

} // namespace

namespace {

using SpecificProperties = QVector<GraphicsItem::SpecificProperty>;

Property *textProperty(const QString &id)
{
    return new Property(id, Property::String);
}

Property *targetProperty()
{
    return new Property(QStringLiteral("链接画面"), Property::Path,
        PropertyAttributes::file(QStringLiteral("画面文件(*.drw)"), AbstractGraphicsUtility::graphDir()));
}

const SpecificProperties &buttonProperties()
{
    static const SpecificProperties button{
        {textProperty(PropertyIds::Text), QStringLiteral("按钮")},
        {textProperty(PropertyIds::ControlBinding), QString()},
        {new Property(QStringLiteral("动作"), Property::Popup, PropertyAttributes::items(actionItems())),
            actionItems().first()},
    };
    return button;
}

const SpecificProperties &hotSpotProperties()
{
    static const SpecificProperties hotSpot{
        {textProperty(PropertyIds::Text), QString()},
        {targetProperty(), QString()},
    };
    return hotSpot;
}

const SpecificProperties &graphLinkProperties()
{
    static const SpecificProperties graphLink{
        {targetProperty(), QString()},
        {textProperty(PropertyIds::Text), QString()},
    };
    return graphLink;
}

const SpecificProperties &detailsProperties()
{
    static const SpecificProperties details{
        {textProperty(PropertyIds::Text), QStringLiteral("详情")},
        {textProperty(PropertyIds::PointBinding), QString()},
    };
    return details;
}

const SpecificProperties &circuitProperties()
{
    static const SpecificProperties circuit{
        {textProperty(QStringLiteral("回路名称")), QStringLiteral("回路")},
        {textProperty(PropertyIds::PointBinding), QString()},
    };
    return circuit;
}

const SpecificProperties &noProperties()
{
    static const SpecificProperties none;
    return none;
}

} // namespace

// One link kind: its own properties, where its text and its target graph sit among them
// (-1: none), whether an empty text shows the target's name instead, and how it is drawn.
struct LinkItem::Row
{
    int type;
    const SpecificProperties &(*specifics)();
    int text;
    int target;
    bool namesTarget;
    void (LinkItem::*draw)(QPainter *painter, const QRectF &r);
};

const LinkItem::Row &LinkItem::rowOf(int type)
{
    // Here rather than at file scope, where the drawing functions could not be named.
    static const Row rows[] = {
        {ItemKind::Button, &buttonProperties, ButtonText, -1, false, &LinkItem::drawButton},
        {ItemKind::HotSpot, &hotSpotProperties, HotSpotText, HotSpotTarget, false, &LinkItem::drawHotSpot},
        {ItemKind::GraphLink, &graphLinkProperties, GraphLinkText, GraphLinkTarget, true, &LinkItem::drawGraphLink},
        {ItemKind::Details, &detailsProperties, DetailsText, -1, false, &LinkItem::drawDetails},
        {ItemKind::Circuit, &circuitProperties, CircuitName, -1, false, &LinkItem::drawCircuit},
    };
    for (const Row &row : rows) {
        if (row.type == type)
            return row;
    }
    // Not reached through the kind table; any other number draws nothing.
    static const Row empty{type, &noProperties, -1, -1, false, nullptr};
    return empty;
}

LinkItem::LinkItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{ }

LinkItem::~LinkItem() = default;

const QVector<GraphicsItem::SpecificProperty> &LinkItem::specifics() const
{
    return m_row.specifics();
}

void LinkItem::specificChanged(int index)
{
    m_shownValid = false;
    // The target graph shows as the tooltip.
    if (index == m_row.target)
        setToolTip(specificValue(index).toString());
}

QString LinkItem::displayText() const
{
    if (!m_shownValid) {
        m_shown = makeDisplayText();
        m_shownValid = true;
    }
    return m_shown;
}

QString LinkItem::makeDisplayText() const
{
    const QString text = m_row.text >= 0 ? specificValue(m_row.text).toString() : QString();
    if (!text.isEmpty() || !m_row.namesTarget)
        return text;
    // Without a text of its own the link names the graph it leads to.
    const QString target = specificValue(m_row.target).toString();
    return target.isEmpty() ? QStringLiteral("未指定画面") : QFileInfo(target).completeBaseName();
}

QColor LinkItem::lineColor() const
{
    return penColor().isValid() ? penColor() : QColor(Qt::white);
}

void LinkItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const QRectF r = rect().normalized();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (!m_block)
        m_block = std::make_unique<TextBlock>();
    if (m_row.draw)
        (this->*m_row.draw)(painter, r);
}

void LinkItem::drawGlyph(QPainter *painter, Glyph glyph, const QRectF &target, const QColor &color) const
{
    const QPainterPath &unit = glyphPath(glyph);
    const double s = target.width();
    if (s <= 0)
        return;
    const QTransform world = painter->worldTransform();
    const double lod = QStyleOptionGraphicsItem::levelOfDetailFromTransform(world);
    if (s * lod < GreekPixels) {
        // A hairline keeps at least a pixel on screen, however far out the view is zoomed.
        painter->setPen(QPen(color, 0));
        painter->setBrush(color);
        painter->drawRect(target);
        return;
    }
    // About one unit wide, thinner in small glyphs so that the strokes stay in the box.
    const QPen pen(color, qMin(1.2, s / 10) / s);
    const auto stroke = [&](QPainter *p) {
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->setRenderHint(QPainter::Antialiasing, true);
        p->drawPath(unit);
    };
    // The glyph is drawn in a unit square; on screen it is stroked once per size and colour
    // and then blitted.
    painter->setWorldTransform(QTransform(s, 0, 0, s, target.x(), target.y()) * world);
    if (ItemPixmapCache::usable(painter)) {
        QString key = QStringLiteral("glyph");
        const double look[] = {double(glyph), pen.widthF()};
        ItemPixmapCache::append(key, look, sizeof(look));
        ItemPixmapCache::append(key, color);
        const double reach = pen.widthF();
        ItemPixmapCache::paint(painter, QRectF(0, 0, 1, 1).adjusted(-reach, -reach, reach, reach), key, stroke,
            ItemPixmapCache::WholePixel);
    } else {
        stroke(painter);
    }
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setWorldTransform(world);
}

void LinkItem::drawLabel(
    QPainter *painter, const QRectF &box, const QRectF &clip, Qt::Alignment alignment, const QColor &color)
{
    if (box.width() <= 0)
        return;
    m_block->prepare(displayText(), font(), box.size(), alignment);
    m_block->draw(painter, box.topLeft(), clip, color);
}

void LinkItem::drawButton(QPainter *painter, const QRectF &r)
{
    const QColor face = hasFill() ? brush().color() : QColor(212, 208, 200);
    painter->fillRect(r, face);
    const double bevel = qMin(2.0, qMin(r.width(), r.height()) / 4);
    if (bevel * levelOfDetail(painter) >= 0.5) {
        // Raised: light from the top left.
        const QColor light = mix(face, Qt::white, 0.7);
        const QColor shade = mix(face, Qt::black, 0.45);
        painter->fillRect(QRectF(r.left(), r.top(), r.width(), bevel), light);
        painter->fillRect(QRectF(r.left(), r.top(), bevel, r.height()), light);
        painter->fillRect(QRectF(r.left(), r.bottom() - bevel, r.width(), bevel), shade);
        painter->fillRect(QRectF(r.right() - bevel, r.top(), bevel, r.height()), shade);
    }
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r);

    // Dark text on a light face and light text on a dark one.
    const QColor ink = face.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
    QRectF box = r.adjusted(bevel + Padding, 0, -(bevel + Padding), 0);
    QRectF clip = r.adjusted(bevel, bevel, -bevel, -bevel);
    const int action = actionItems().indexOf(specificValue(ButtonAction).toString());
    const double s = qMin(10.0, r.height() * 0.4);
    if (action > 0 && box.width() > 4 * s) {
        const QRectF target(box.right() - s, r.center().y() - s / 2, s, s);
        drawGlyph(painter, action == 1 ? SetPoint : Popup, target, ink);
        box.setRight(target.left() - Padding);
        clip.setRight(box.right());
    }
    drawLabel(painter, box, clip, Qt::AlignCenter, ink);
}

void LinkItem::drawHotSpot(QPainter *painter, const QRectF &r)
{
    if (hasFill())
        painter->fillRect(r, brush());
    // The frame only marks the spot while editing, so it is dashed whatever the line style.
    // A thin one is a hairline, which the raster engine dashes far faster than a wide pen.
    painter->setPen(QPen(lineColor(), penWidth() <= 1 ? 0 : penWidth(), Qt::DashLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(r);

    const double pad = qMin(Padding, qMin(r.width(), r.height()) / 4);
    const double s = qMin(GlyphSize, qMin(r.height(), r.width()) - 2 * pad);
    const bool withText = !displayText().isEmpty();
    const double x = withText ? r.left() + pad : r.center().x() - s / 2;
    const QRectF target(x, r.center().y() - s / 2, s, s);
    drawGlyph(painter, Chain, target, lineColor());
    if (withText) {
        const QRectF box(target.right() + Padding, r.top(), r.right() - pad - target.right() - Padding, r.height());
        drawLabel(painter, box, r, Qt::AlignLeft | Qt::AlignVCenter, lineColor());
    }
}

void LinkItem::drawGraphLink(QPainter *painter, const QRectF &r)
{
    // A tag pointing to the right, the way the link leads.
    const double tip = qMin(r.height() / 2, r.width() / 3);
    const QPointF tag[] = {r.topLeft(), QPointF(r.right() - tip, r.top()), QPointF(r.right(), r.center().y()),
        QPointF(r.right() - tip, r.bottom()), r.bottomLeft()};
    // Smooth slanted edges are worth their cost only when zoomed in.
    painter->setRenderHint(QPainter::Antialiasing, levelOfDetail(painter) > 1.5);
    painter->drawPolygon(tag, 5);
    painter->setRenderHint(QPainter::Antialiasing, false);

    const double pad = qMin(Padding, qMin(r.width(), r.height()) / 4);
    const double s = qMin(GlyphSize, qMin(r.height() - 2 * pad, r.width() / 3));
    const QRectF target(r.left() + pad, r.center().y() - s / 2, s, s);
    drawGlyph(painter, Arrow, target, lineColor());
    const QRectF box(target.right() + Padding, r.top(), r.right() - tip - target.right() - Padding, r.height());
    drawLabel(painter, box, r, Qt::AlignLeft | Qt::AlignVCenter, lineColor());
}

void LinkItem::drawDetails(QPainter *painter, const QRectF &r)
{
    if (hasFill())
        painter->fillRect(r, brush());
    const double pad = qMin(Padding, qMin(r.width(), r.height()) / 4);
    const double s = qMin(GlyphSize + 2, qMin(r.height(), r.width()) - 2 * pad);
    const QRectF target(r.left() + pad, r.center().y() - s / 2, s, s);
    drawGlyph(painter, Sheet, target, lineColor());
    const QRectF box(target.right() + Padding, r.top(), r.right() - pad - target.right() - Padding, r.height());
    drawLabel(painter, box, r, Qt::AlignLeft | Qt::AlignVCenter, lineColor());
}

void LinkItem::drawCircuit(QPainter *painter, const QRectF &r)
{
    // The title sits in a gap of the loop's top side, half above it.
    m_block->prepare(displayText(), font(), r.size(), Qt::AlignHCenter | Qt::AlignTop);
    const QRectF title = displayText().isEmpty() ? QRectF() : m_block->bounds().translated(r.topLeft());
    const double m = qMin(4.0, qMin(r.width(), r.height()) / 8);
    const double top = r.top() + qMin(title.height() / 2, r.height() / 2);
    const QRectF loop(QPointF(r.left() + m, top), QPointF(r.right() - m, qMax(top, r.bottom() - m)));
    if (hasFill())
        painter->fillRect(loop, brush());

    QLineF sides[5];
    int count = 0;
    const double gapLeft = qMax(loop.left(), title.left() - Padding);
    const double gapRight = qMin(loop.right(), title.right() + Padding);
    if (title.isEmpty() || gapLeft >= gapRight) {
        sides[count++] = QLineF(loop.topLeft(), loop.topRight());
    } else {
        if (gapLeft > loop.left())
            sides[count++] = QLineF(loop.left(), loop.top(), gapLeft, loop.top());
        if (gapRight < loop.right())
            sides[count++] = QLineF(gapRight, loop.top(), loop.right(), loop.top());
    }
    sides[count++] = QLineF(loop.topRight(), loop.bottomRight());
    sides[count++] = QLineF(loop.bottomRight(), loop.bottomLeft());
    sides[count++] = QLineF(loop.bottomLeft(), loop.topLeft());
    painter->drawLines(sides, count);

    // Two closed switches on the feeder, so the outline reads as a circuit.
    const double q = qMin(2 * m, loop.height() / 3);
    if (q > 0) {
        const double y = loop.center().y() - q / 2;
        painter->fillRect(QRectF(loop.left() - q / 2, y, q, q), lineColor());
        painter->fillRect(QRectF(loop.right() - q / 2, y, q, q), lineColor());
    }
    m_block->draw(painter, r.topLeft(), r, lineColor());
}
