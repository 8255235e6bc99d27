#include "symbolitem.h"

#include "itemkind.h"
#include "itempixmapcache.h"
#include "propertyattributes.h"
#include "symbollibrary.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QThread>
#include <cstring>

namespace {

const QString IdStatus = QStringLiteral("状态");
const QString IdDirection = QStringLiteral("方向");
const QString IdClosedColour = QStringLiteral("合闸颜色");
const QString IdOpenColour = QStringLiteral("分闸颜色");
const QString IdWindings = QStringLiteral("绕组");
const QString IdBackground = QStringLiteral("底色");
const QString IdLevel = QStringLiteral("容量百分比");
const QString IdLevelColour = QStringLiteral("液位颜色");

const QColor DefaultClosed(255, 0, 0);
const QColor DefaultOpen(0, 255, 0);
const QColor DefaultBackground(245, 194, 17);
const QColor DefaultLevel(58, 134, 212);

// Below this many pixels on screen a symbol is only a spot: its details could not be seen.
constexpr double TinyPixels = 4.0;

// The specific properties of one kind and where each role sits in them (-1: not offered).
struct KindTable
{
    QVector<GraphicsItem::SpecificProperty> specifics;
    int status = -1;
    int direction = -1;
    int closedColour = -1;
    int openColour = -1;
    int windings = -1;
    int background = -1;
    int level = -1;
    int levelColour = -1;

    int append(Property *property, const QVariant &initial)
    {
        specifics.append({property, initial});
        return specifics.size() - 1;
    }
};

KindTable makeTable(unsigned offers)
{
    // Property objects are shared by every kind that offers them.
    static Property *const point = new Property(PropertyIds::PointBinding, Property::String);
    static Property *const control = new Property(PropertyIds::ControlBinding, Property::String);
    static Property *const switchStatus = new Property(
        IdStatus, Property::Enum, PropertyAttributes::enumNames({QStringLiteral("分"), QStringLiteral("合")}));
    static Property *const truckStatus = new Property(
        IdStatus, Property::Enum, PropertyAttributes::enumNames({QStringLiteral("试验"), QStringLiteral("工作")}));
    static Property *const direction = new Property(IdDirection, Property::Enum,
        PropertyAttributes::enumNames(
            {QStringLiteral("0°"), QStringLiteral("90°"), QStringLiteral("180°"), QStringLiteral("270°")}));
    static Property *const closedColour = new Property(IdClosedColour, Property::Color);
    static Property *const openColour = new Property(IdOpenColour, Property::Color);
    static Property *const windings = new Property(IdWindings, Property::Enum,
        PropertyAttributes::enumNames({QStringLiteral("双绕组"), QStringLiteral("三绕组")}));
    static Property *const background = new Property(IdBackground, Property::Color);
    static Property *const level
        = new Property(IdLevel, Property::Double, PropertyAttributes::range(0.0, 100.0, 1, 1.0));
    static Property *const levelColour = new Property(IdLevelColour, Property::Color);

    KindTable t;
    t.append(point, QString());
    if (offers & SymbolLibrary::Control)
        t.append(control, QString());
    if (offers & SymbolLibrary::SwitchStatus)
        t.status = t.append(switchStatus, 1);
    if (offers & SymbolLibrary::TruckStatus)
        t.status = t.append(truckStatus, 1);
    t.direction = t.append(direction, 0);
    if (offers & SymbolLibrary::StatusColours) {
        t.closedColour = t.append(closedColour, DefaultClosed);
        t.openColour = t.append(openColour, DefaultOpen);
    }
    if (offers & (SymbolLibrary::TwoWindings | SymbolLibrary::ThreeWindings))
        t.windings = t.append(windings, offers & SymbolLibrary::ThreeWindings ? 1 : 0);
    if (offers & SymbolLibrary::Background)
        t.background = t.append(background, DefaultBackground);
    if (offers & SymbolLibrary::Level) {
        t.level = t.append(level, 60.0);
        t.levelColour = t.append(levelColour, DefaultLevel);
    }
    return t;
}

const KindTable &tableFor(int type)
{
    static const QHash<int, KindTable> tables = [] {
        QHash<int, KindTable> h;
        for (int type : SymbolLibrary::types())
            h.insert(type, makeTable(SymbolLibrary::offers(type)));
        return h;
    }();
    static const KindTable none;
    const auto it = tables.constFind(type);
    return it == tables.constEnd() ? none : it.value();
}

} // namespace

SymbolItem::SymbolItem(const ItemKind &kind)
    : GraphicsItem(kind)
{ }

const QVector<GraphicsItem::SpecificProperty> &SymbolItem::specifics() const
{
    return tableFor(type()).specifics;
}

namespace {

// Everything a drawing's roles resolve to for one item.
struct Look
{
    QPen pen;
    QBrush brush;
    QColor line;
    QColor status;
    bool closed = false;
    QColor background;
    QColor level;
};

void paintLayers(QPainter *painter, const SymbolLibrary::Drawing &drawing, const Look &look)
{
    for (const SymbolLibrary::Layer &layer : drawing.layers) {
        painter->setRenderHint(QPainter::Antialiasing, layer.antialias);
        switch (layer.stroke) {
        case SymbolLibrary::NoStroke: painter->setPen(Qt::NoPen); break;
        case SymbolLibrary::LineStroke: painter->setPen(look.pen); break;
        case SymbolLibrary::StatusStroke: {
            QPen coloured = look.pen;
            coloured.setColor(look.status);
            painter->setPen(coloured);
            break;
        }
        }
        switch (layer.fill) {
        case SymbolLibrary::NoFill: painter->setBrush(Qt::NoBrush); break;
        case SymbolLibrary::BrushFill: painter->setBrush(look.brush); break;
        case SymbolLibrary::LineFill: painter->setBrush(look.line); break;
        case SymbolLibrary::StatusFill: painter->setBrush(look.closed ? QBrush(look.status) : look.brush); break;
        case SymbolLibrary::BackgroundFill: painter->setBrush(look.background); break;
        case SymbolLibrary::ContrastFill:
            painter->setBrush(qGray(look.background.rgb()) > 140 ? QColor(32, 32, 32) : QColor(Qt::white));
            break;
        case SymbolLibrary::LevelFill: painter->setBrush(look.level); break;
        case SymbolLibrary::SurfaceFill: painter->setBrush(look.level.lighter(140)); break;
        }
        painter->drawPath(layer.path);
    }
}

// The look key of the cached picture: every input of the drawing, packed as raw 16-bit units.
QString lookKey(const SymbolLibrary::Request &request, const Look &look)
{
    struct Fields
    {
        char16_t family[6];
        qint32 type;
        qint32 variant;
        qint32 orientation;
        double width;
        double height;
        double level;
        double penWidth;
        qint32 penStyle;
        QRgb pen;
        QRgb brush;
        QRgb status;
        QRgb background;
        QRgb levelColour;
    } f;
    memset(&f, 0, sizeof f);
    memcpy(f.family, u"symbol", sizeof f.family);
    f.type = request.type;
    f.variant = request.variant;
    f.orientation = request.orientation;
    f.width = request.size.width();
    f.height = request.size.height();
    f.level = request.level;
    f.penWidth = look.pen.widthF();
    f.penStyle = look.pen.style();
    f.pen = look.line.rgba();
    f.brush = look.brush.style() == Qt::NoBrush ? 0 : look.brush.color().rgba();
    f.status = look.status.rgba();
    f.background = look.background.rgba();
    f.levelColour = look.level.rgba();
    static_assert(sizeof(Fields) % 2 == 0, "packed as 16-bit units");
    return QString(reinterpret_cast<const QChar *>(&f), int(sizeof f / 2));
}

// On screen the symbol is a cached picture with its corner on a device pixel: stroking
// thick pens and curves costs far more than copying pixels, and a symbol on whole pixels
// looks the same wherever it stands.
void paintCached(QPainter *painter, const SymbolLibrary::Request &request, const Look &look, const QRectF &r)
{
    // Room for the pen, its square caps and corners included; a cosmetic pen is one pixel.
    const QTransform &world = painter->worldTransform();
    const double reach = look.pen.style() == Qt::NoPen ? 0.0
        : look.pen.isCosmetic()                        ? 1.0 / qMin(world.m11(), world.m22())
                                                       : look.pen.widthF();
    // The key holds the whole request, so the drawing is wanted only to make the picture.
    const auto draw = [&](QPainter *p) {
        if (const SymbolLibrary::Drawing *drawing = SymbolLibrary::drawing(request))
            paintLayers(p, *drawing, look);
    };
    ItemPixmapCache::paint(painter, QRectF(QPointF(), r.size()).adjusted(-reach, -reach, reach, reach),
        lookKey(request, look), draw, ItemPixmapCache::WholePixel, r.topLeft());
}

void paintDirect(QPainter *painter, const SymbolLibrary::Request &request, const Look &look, const QRectF &r)
{
    // The shared caches belong to the GUI thread; elsewhere the drawing is built for once.
    const QCoreApplication *app = QCoreApplication::instance();
    const bool guiThread = app && QThread::currentThread() == app->thread();
    SymbolLibrary::Drawing local;
    const SymbolLibrary::Drawing *drawing
        = guiThread ? SymbolLibrary::drawing(request) : &(local = SymbolLibrary::build(request));
    if (!drawing)
        return;
    const QPointF origin = r.topLeft();
    const bool shifted = !origin.isNull();
    if (shifted)
        painter->translate(origin);
    paintLayers(painter, *drawing, look);
    if (shifted)
        painter->translate(-origin);
}

} // namespace

SymbolLibrary::Request SymbolItem::request() const
{
    const KindTable &t = tableFor(type());
    auto intValue = [this](int index) { return index >= 0 ? specificValue(index).toInt() : 0; };
    SymbolLibrary::Request request;
    request.type = type();
    request.size = rect().normalized().size();
    request.orientation = intValue(t.direction);
    request.variant = t.status >= 0 ? intValue(t.status) : intValue(t.windings);
    if (t.level >= 0)
        request.level = specificValue(t.level).toDouble();
    return request;
}

QList<QPointF> SymbolItem::terminalPoints() const
{
    const QPointF corner = rect().normalized().topLeft();
    QList<QPointF> points;
    for (const QPointF &p : SymbolLibrary::terminals(request()))
        points.append(mapToScene(corner + p));
    return points;
}

void SymbolItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option)
{
    const QRectF r = rect().normalized();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const KindTable &t = tableFor(type());
    Look look;
    look.line = penColor().isValid() ? penColor() : QColor(Qt::white);
    const double scale = option ? option->levelOfDetailFromTransform(painter->worldTransform()) : 1.0;
    if (qMax(r.width(), r.height()) * scale < TinyPixels) {
        painter->fillRect(r, look.line);
        return;
    }
    auto intValue = [this](int index) { return index >= 0 ? specificValue(index).toInt() : 0; };
    auto colourValue = [this](int index, const QColor &fallback) {
        const QColor c = index >= 0 ? specificValue(index).value<QColor>() : QColor();
        return c.isValid() ? c : fallback;
    };
    const SymbolLibrary::Request drawing = request();

    // The base has set the item's pen and brush; the layers pick from them by role.
    look.pen = painter->pen();
    look.brush = painter->brush();
    look.closed = t.status >= 0 && intValue(t.status) == 1;
    look.status = look.line;
    if (t.closedColour >= 0) {
        look.status = look.closed ? colourValue(t.closedColour, DefaultClosed) : colourValue(t.openColour, DefaultOpen);
    }
    look.background = colourValue(t.background, DefaultBackground);
    look.level = colourValue(t.levelColour, DefaultLevel);

    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    if (ItemPixmapCache::usable(painter))
        paintCached(painter, drawing, look, r);
    else
        paintDirect(painter, drawing, look, r);
    // The layers set antialiasing each; a cached picture leaves the painter's alone.
    if (painter->testRenderHint(QPainter::Antialiasing) != antialiased)
        painter->setRenderHint(QPainter::Antialiasing, antialiased);
}
