// The equipment symbols: building them from a drag or a click, their own properties and
// point bindings, and what they draw — inside their rectangle at any size and turn, with
// the item's pen and brush, following the switch status, and as vectors when exported.
#include "documentformat.h"
#include "drawingdefaults.h"
#include "itemkind.h"
#include "symbolitem.h"
#include "symbollibrary.h"
#include "testsupport.h"

#include <QBuffer>
#include <QGraphicsScene>
#include <QPainter>
#include <QPicture>
#include <QStyleOptionGraphicsItem>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

constexpr int Margin = 12;
const QColor PenColour(255, 255, 0);
const QString IdPoint = QStringLiteral("关联点号");
const QString IdControl = QStringLiteral("遥控点号");
const QString IdStatus = QStringLiteral("状态");
const QString IdDirection = QStringLiteral("方向");

QVector<const ItemKind *> symbolKinds()
{
    QVector<const ItemKind *> kinds;
    for (const ItemKind &kind : ItemKind::all()) {
        if (kind.family == ItemKind::Symbol)
            kinds << &kind;
    }
    return kinds;
}

bool isSwitching(int type)
{
    return type == SymbolLibrary::Breaker || type == SymbolLibrary::BreakerPicture
        || type == SymbolLibrary::Disconnector || type == SymbolLibrary::BreakerTruck;
}

QByteArray rowName(const ItemKind *kind, const QString &detail = QString())
{
    QString name = kind->displayName();
    if (!detail.isEmpty())
        name += QLatin1Char(' ') + detail;
    return name.toUtf8();
}

DrawingDefaults defaults(int penWidth = 1)
{
    DrawingDefaults d;
    d.penWidth = penWidth;
    d.penColor = PenColour;
    d.penStyle = 1;
    return d;
}

std::unique_ptr<GraphicsItem> make(
    int type, const QSizeF &size, int penWidth = 1, const QPointF &origin = QPointF(0, 0))
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    if (!item)
        return item;
    const DrawingDefaults d = defaults(penWidth);
    item->createFromPoints(&d, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr);
    item->setRect(QRectF(origin, size));
    return item;
}

enum Path
{
    OnScreen,
    AsVectors
};

// The item painted alone on a transparent image, its rectangle at (Margin, Margin).
// On screen (the raster engine) a symbol may come from its picture cache; recorded into a
// QPicture it is always drawn as vectors, which the image then replays.
QImage render(GraphicsItem *item, double scale = 1.0, Path path = OnScreen, const QPointF &shift = QPointF())
{
    const QRectF r = item->rect().normalized();
    const QSize size(qCeil((r.width() + 2 * Margin) * scale), qCeil((r.height() + 2 * Margin) * scale));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOptionGraphicsItem option;
    auto paint = [&](QPainter *painter) {
        painter->translate(shift);
        painter->scale(scale, scale);
        painter->translate(Margin - r.left(), Margin - r.top());
        item->paint(painter, &option, nullptr);
    };
    QPainter painter(&image);
    if (path == AsVectors) {
        QPicture picture;
        QPainter recorder(&picture);
        paint(&recorder);
        recorder.end();
        painter.drawPicture(0, 0, picture);
    } else {
        paint(&painter);
    }
    return image;
}

bool painted(const QImage &image, int x, int y)
{
    return image.valid(x, y) && qAlpha(image.pixel(x, y)) > 0;
}

QRect paintedBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (painted(image, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int paintedCount(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += painted(image, x, y) ? 1 : 0;
    }
    return n;
}

// Painted pixels that do not touch `allowed`.
int paintedOutside(const QImage &image, const QRectF &allowed)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (painted(image, x, y) && !QRectF(x, y, 1, 1).intersects(allowed))
                ++n;
        }
    }
    return n;
}

// Pixels of the colour at any coverage (antialiased edges are the colour, not fully opaque).
int countColour(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = qUnpremultiply(image.pixel(x, y));
            n += qAlpha(p) > 0 && qAbs(qRed(p) - colour.red()) <= 10 && qAbs(qGreen(p) - colour.green()) <= 10
                    && qAbs(qBlue(p) - colour.blue()) <= 10
                ? 1
                : 0;
        }
    }
    return n;
}

// Share of the painted pixels of `a` that have a painted pixel of `b` within one pixel.
double coveredBy(const QImage &a, const QImage &b)
{
    int total = 0;
    int hit = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!painted(a, x, y))
                continue;
            ++total;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = painted(b, x + dx, y + dy);
            }
            hit += near ? 1 : 0;
        }
    }
    return total ? double(hit) / total : 0.0;
}

// A value the property accepts that differs from `current`.
QVariant otherValue(const Property *property, const QVariant &current)
{
    const QVariantHash a = property->attributes();
    switch (property->type()) {
    case Property::String:
        return QStringLiteral("PT.%1.07").arg(current.toString().size() + 3);
    case Property::Enum: {
        const int n = a.value(QStringLiteral("enumNames")).toStringList().size();
        return (current.toInt() + 1) % qMax(1, n);
    }
    case Property::Double: {
        const double lo = a.value(QStringLiteral("minimum")).toDouble();
        const double hi = a.value(QStringLiteral("maximum")).toDouble();
        const double v = lo + (hi - lo) * 0.255;
        return qFuzzyCompare(v, current.toDouble()) ? lo + (hi - lo) * 0.9 : v;
    }
    case Property::Color: {
        const QColor c(40, 90, 200);
        return c == current.value<QColor>() ? QColor(200, 60, 20) : c;
    }
    default:
        return QVariant();
    }
}

} // namespace

class TestSymbolItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("symbolitems"); }

    void everySymbolKindIsBuilt()
    {
        const QVector<const ItemKind *> kinds = symbolKinds();
        QCOMPARE(kinds.size(), 22);
        for (const ItemKind *kind : kinds) {
            std::unique_ptr<GraphicsItem> item(ItemKind::create(kind->type));
            QVERIFY2(dynamic_cast<SymbolItem *>(item.get()), kind->name);
            QCOMPARE(item->type(), kind->type);
            QVERIFY(SymbolLibrary::contains(kind->type));
        }
    }

    void createByDrag_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        const QPointF a(50, 60);
        const QPointF b(80, 105);
        for (const ItemKind *kind : symbolKinds()) {
            QTest::newRow(rowName(kind, QStringLiteral("right-down"))) << kind->type << a << b;
            QTest::newRow(rowName(kind, QStringLiteral("left-up"))) << kind->type << b << a;
            QTest::newRow(rowName(kind, QStringLiteral("right-up")))
                << kind->type << QPointF(a.x(), b.y()) << QPointF(b.x(), a.y());
            QTest::newRow(rowName(kind, QStringLiteral("left-down")))
                << kind->type << QPointF(b.x(), a.y()) << QPointF(a.x(), b.y());
        }
    }

    void createByDrag()
    {
        QFETCH(int, type);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        const DrawingDefaults d = defaults(3);
        QVERIFY(item->createFromPoints(&d, press, release, nullptr));
        QCOMPARE(item->pos(), QPointF(50, 60));
        QCOMPARE(item->rect(), QRectF(0, 0, 30, 45));
        QCOMPARE(item->itemRect(), QRectF(50, 60, 30, 45));
        QCOMPARE(item->penWidth(), 3);
        QCOMPARE(item->penColor(), PenColour);
    }

    void createByClick_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("clickSize");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type << kind->clickSize;
    }

    void createByClick()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, clickSize);
        QVERIFY(!clickSize.isEmpty());
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        const DrawingDefaults d = defaults();
        const QPointF click(100, 80);
        QVERIFY(item->createFromPoints(&d, click, click + QPointF(1, -1), nullptr));
        QCOMPARE(item->rect(), QRectF(QPointF(0, 0), clickSize));
        QCOMPARE(item->itemRect().center(), click);
        // The click size is drawn in full.
        const QImage image = render(item.get());
        QVERIFY(paintedCount(image) > 0);
        QCOMPARE(
            paintedOutside(image, QRectF(QPointF(Margin, Margin), clickSize).adjusted(-1.5, -1.5, 1.5, 1.5)),
            0);
    }

    void offeredProperties_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type;
    }

    void offeredProperties()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        QStringList ids;
        for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific)) {
            QVERIFY2(!ids.contains(p->id()), qPrintable(p->id()));
            ids << p->id();
            QVERIFY(p->isEditable());
            if (p->type() == Property::Enum) {
                const QStringList names = p->attributes().value(QStringLiteral("enumNames")).toStringList();
                const int initial = item->propertyValue(p->id()).toInt();
                QVERIFY2(initial >= 0 && initial < names.size(), qPrintable(p->id()));
            }
        }
        QVERIFY(ids.contains(IdPoint));
        QVERIFY(ids.contains(IdDirection));
        QCOMPARE(ids.contains(IdControl), isSwitching(type));
        QCOMPARE(ids.contains(IdStatus), isSwitching(type));
        if (isSwitching(type)) {
            // New switches are shown closed (in service).
            QCOMPARE(item->propertyValue(IdStatus).toInt(), 1);
        }
        // Symbols show no text, so they offer no font.
        QVERIFY(!item->propertyNames().contains(QStringLiteral("字体")));
    }

    void specificProperties_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariantMap>("setup");
        for (const ItemKind *kind : symbolKinds()) {
            std::unique_ptr<GraphicsItem> item(ItemKind::create(kind->type));
            for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific)) {
                if (!p->isEditable())
                    continue;
                QVariantMap setup;
                // The open colour only shows on an open switch.
                if (p->id() == QStringLiteral("分闸颜色"))
                    setup.insert(IdStatus, 0);
                QTest::newRow(rowName(kind, p->id()))
                    << kind->type << p->id() << otherValue(p, item->propertyValue(p->id())) << setup;
            }
        }
    }

    void specificProperties()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        QFETCH(QVariantMap, setup);
        QVERIFY2(value.isValid(), "a property type without a test value");
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64));
        for (auto it = setup.cbegin(); it != setup.cend(); ++it)
            item->setPropertyValue(it.key(), it.value());
        QVERIFY(item->propertyValue(id) != value);
        const QImage before = render(item.get());
        item->setPropertyValue(id, value);
        QCOMPARE(item->propertyValue(id), value);
        const QImage after = render(item.get());
        if (id == IdPoint || id == IdControl) {
            // Bindings are mirrored into the item and do not change the look.
            QCOMPARE(id == IdPoint ? item->svgID() : item->ykID(), value.toString());
            QCOMPARE(after, before);
        } else {
            QVERIFY(after != before);
        }
    }

    void bindingsBothWays_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("control");
        for (const ItemKind *kind : symbolKinds()) {
            QTest::newRow(rowName(kind, IdPoint)) << kind->type << false;
            if (isSwitching(kind->type))
                QTest::newRow(rowName(kind, IdControl)) << kind->type << true;
        }
    }

    void bindingsBothWays()
    {
        QFETCH(int, type);
        QFETCH(bool, control);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        const QString id = control ? IdControl : IdPoint;
        auto bound = [&] { return control ? item->ykID() : item->svgID(); };
        item->setPropertyValue(id, QStringLiteral("10kV.甲线.101"));
        QCOMPARE(bound(), QStringLiteral("10kV.甲线.101"));
        // Set directly (as when a graph is read), then shown and cleared through the property.
        if (control)
            item->setYkID(QStringLiteral("YK.7"));
        else
            item->setSvgID(QStringLiteral("YX.7"));
        QCOMPARE(item->propertyValue(id).toString(), bound());
        item->setPropertyValue(id, QStringLiteral("10kV.甲线.101"));
        QCOMPARE(bound(), QStringLiteral("10kV.甲线.101"));
        item->setPropertyValue(id, QString());
        QCOMPARE(bound(), QString());
        QCOMPARE(item->propertyValue(id).toString(), QString());
        // The other binding is left alone.
        QCOMPARE(control ? item->svgID() : item->ykID(), QString());
        // Written straight into the table of specific values, the binding follows as well.
        const QList<Property *> own = item->properties().value(AbstractGraphicsProperty::Specific);
        const int index = int(std::find_if(own.cbegin(), own.cend(), [&](const Property *p) {
            return p->id() == id;
        }) - own.cbegin());
        item->setSpecificValue(index, QStringLiteral("10kV.乙线.202"));
        QCOMPARE(bound(), QStringLiteral("10kV.乙线.202"));
    }

    void drawsInsideRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<int>("path");
        const QVector<QSizeF> sizes {QSizeF(40, 40), QSizeF(200, 120), QSizeF(8, 200), QSizeF(200, 8)};
        for (const ItemKind *kind : symbolKinds()) {
            for (const QSizeF &size : sizes) {
                for (int pen : {1, 4}) {
                    const QString name
                        = QStringLiteral("%1x%2 pen %3").arg(size.width()).arg(size.height()).arg(pen);
                    QTest::newRow(rowName(kind, name)) << kind->type << size << pen << int(OnScreen);
                    QTest::newRow(rowName(kind, name + QStringLiteral(" vectors")))
                        << kind->type << size << pen << int(AsVectors);
                }
            }
        }
    }

    void drawsInsideRect()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(int, penWidth);
        QFETCH(int, path);
        // The rectangle need not start at the item's origin.
        std::unique_ptr<GraphicsItem> item = make(type, size, penWidth, QPointF(3, 2));
        const QImage image = render(item.get(), 1.0, Path(path));
        const double tolerance = penWidth / 2.0 + 1.0;
        const QRectF r(QPointF(Margin, Margin), size);
        QCOMPARE(paintedOutside(image, r.adjusted(-tolerance, -tolerance, tolerance, tolerance)), 0);
        // The symbol follows the rectangle: it spans (nearly) all of one side at least.
        const QRect bounds = paintedBounds(image);
        QVERIFY2(bounds.width() >= 0.9 * size.width() || bounds.height() >= 0.9 * size.height(),
            qPrintable(QStringLiteral("%1x%2").arg(bounds.width()).arg(bounds.height())));
    }

    void turnsInsideRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("turn");
        for (const ItemKind *kind : symbolKinds()) {
            for (int turn = 1; turn < 4; ++turn)
                QTest::newRow(rowName(kind, QStringLiteral("%1°").arg(turn * 90))) << kind->type << turn;
        }
    }

    void turnsInsideRect()
    {
        QFETCH(int, type);
        QFETCH(int, turn);
        const QSizeF size(36, 90);
        const int penWidth = 2;
        std::unique_ptr<GraphicsItem> item = make(type, size, penWidth);
        item->setPropertyValue(IdDirection, turn);
        const QImage turned = render(item.get());
        QCOMPARE(paintedOutside(turned, QRectF(QPointF(Margin, Margin), size).adjusted(-2, -2, 2, 2)), 0);

        // It is the upright symbol, drawn in the rectangle with the sides swapped for a quarter
        // turn, and turned clockwise as a picture.
        std::unique_ptr<GraphicsItem> upright = make(type, turn % 2 ? size.transposed() : size, penWidth);
        const QImage expected = render(upright.get()).transformed(QTransform().rotate(90 * turn));
        QCOMPARE(expected.size(), turned.size());
        QVERIFY2(
            coveredBy(turned, expected) > 0.98, qPrintable(QString::number(coveredBy(turned, expected))));
        QVERIFY2(
            coveredBy(expected, turned) > 0.98, qPrintable(QString::number(coveredBy(expected, turned))));
    }

    void circlesStayRound_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("setup");
        const QVariantMap none;
        const QVariantMap three {{QStringLiteral("绕组"), 1}};
        const QVariantMap two {{QStringLiteral("绕组"), 0}};
        QTest::newRow("发电机") << int(SymbolLibrary::Generator) << none;
        QTest::newRow("电动机") << int(SymbolLibrary::Motor) << none;
        QTest::newRow("主变压器 双绕组") << int(SymbolLibrary::MainTransformer) << two;
        QTest::newRow("主变压器 三绕组") << int(SymbolLibrary::MainTransformer) << three;
        QTest::newRow("配变压器") << int(SymbolLibrary::DistributionTransformer) << none;
        QTest::newRow("电压互感器 双绕组") << int(SymbolLibrary::VoltageTransformer) << two;
        QTest::newRow("电压互感器 三绕组") << int(SymbolLibrary::VoltageTransformer) << three;
        QTest::newRow("灯") << int(SymbolLibrary::Lamp) << none;
        QTest::newRow("电铃") << int(SymbolLibrary::Bell) << none;
        QTest::newRow("电抗") << int(SymbolLibrary::Reactor) << none;
    }

    void circlesStayRound()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, setup);
        // Widening the rectangle neither stretches the circles nor moves them off centre.
        QRect previous;
        for (double width : {160.0, 320.0}) {
            std::unique_ptr<GraphicsItem> item = make(type, QSizeF(width, 60));
            for (auto it = setup.cbegin(); it != setup.cend(); ++it)
                item->setPropertyValue(it.key(), it.value());
            const QRect bounds = paintedBounds(render(item.get()));
            QVERIFY(bounds.width() < 0.6 * width);
            const double centre = (bounds.left() + bounds.right() + 1) / 2.0;
            QVERIFY2(qAbs(centre - (Margin + width / 2)) <= 1.0, qPrintable(QString::number(centre)));
            if (previous.isValid())
                QCOMPARE(bounds.size(), previous.size());
            previous = bounds;
        }
    }

    void statusChangesDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("probe"); // where the two states differ, as a share of the rectangle
        QTest::addColumn<QColor>("closedColour");
        // A closed breaker is a filled square, an open one a hollow square.
        QTest::newRow("开关") << int(SymbolLibrary::Breaker) << QPointF(0.5, 0.5) << PenColour;
        QTest::newRow("开关图形") << int(SymbolLibrary::BreakerPicture) << QPointF(0.5, 0.5)
                                  << QColor(255, 0, 0);
        // The closed blade lies on the feeder; the open one swings away from it.
        QTest::newRow("刀闸") << int(SymbolLibrary::Disconnector) << QPointF(0.5, 0.5) << PenColour;
        // In the working position the plug contacts meet the fixed ones.
        QTest::newRow("手车") << int(SymbolLibrary::BreakerTruck) << QPointF(0.5, 0.09) << PenColour;
    }

    void statusChangesDrawing()
    {
        QFETCH(int, type);
        QFETCH(QPointF, probe);
        QFETCH(QColor, closedColour);
        const QSizeF size(48, 96);
        std::unique_ptr<GraphicsItem> item = make(type, size);
        const QPoint at(
            qFloor(Margin + probe.x() * size.width()), qFloor(Margin + probe.y() * size.height()));
        const QImage closed = render(item.get());
        item->setPropertyValue(IdStatus, 0);
        const QImage open = render(item.get());
        QCOMPARE(QColor(closed.pixel(at)), closedColour);
        QVERIFY(!painted(open, at.x(), at.y()));
        if (type == SymbolLibrary::BreakerPicture) {
            // Its outline takes the status colour: red when closed, green when open.
            const QColor green(0, 255, 0);
            QCOMPARE(countColour(closed, green), 0);
            QVERIFY(countColour(open, green) > 20);
            QCOMPARE(countColour(open, closedColour), 0);
        }
        item->setPropertyValue(IdStatus, 1);
        QCOMPARE(render(item.get()), closed);
    }

    void dangerMarkStandsOut_data()
    {
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<QColor>("mark");
        QTest::newRow("yellow ground") << QColor(245, 194, 17) << QColor(32, 32, 32);
        QTest::newRow("white ground") << QColor(255, 255, 255) << QColor(32, 32, 32);
        QTest::newRow("navy ground") << QColor(20, 20, 90) << QColor(255, 255, 255);
        QTest::newRow("red ground") << QColor(200, 0, 0) << QColor(255, 255, 255);
    }

    void dangerMarkStandsOut()
    {
        QFETCH(QColor, ground);
        QFETCH(QColor, mark);
        std::unique_ptr<GraphicsItem> item = make(SymbolLibrary::Danger, QSizeF(80, 72));
        item->setPropertyValue(QStringLiteral("底色"), ground);
        const QImage image = render(item.get());
        QVERIFY(countColour(image, ground) > 800);
        // The exclamation mark sits in the middle of the sign.
        QVERIFY(countColour(image, mark) > 30);
        QCOMPARE(QColor(image.pixel(Margin + 40, Margin + 40)), mark);
    }

    void brushFillsBodies_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("setup");
        QTest::addColumn<bool>("filled");
        const QVariantMap none;
        const QVariantMap open {{IdStatus, 0}};
        for (const ItemKind *kind : symbolKinds()) {
            switch (kind->type) {
            case SymbolLibrary::Breaker:
            case SymbolLibrary::BreakerPicture:
                // The brush fills the open switch; the closed one shows its status colour.
                QTest::newRow(rowName(kind, QStringLiteral("open"))) << kind->type << open << true;
                QTest::newRow(rowName(kind, QStringLiteral("closed"))) << kind->type << none << false;
                break;
            case SymbolLibrary::Disconnector:
            case SymbolLibrary::Capacitor:
            case SymbolLibrary::Reactor:
            case SymbolLibrary::ArcSuppressionCoil:
            case SymbolLibrary::Earth:
            case SymbolLibrary::CurrentTransformer:
            case SymbolLibrary::Diode:
            case SymbolLibrary::Danger:
                QTest::newRow(rowName(kind)) << kind->type << none << false;
                break;
            default:
                QTest::newRow(rowName(kind)) << kind->type << none << true;
                break;
            }
        }
    }

    void brushFillsBodies()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, setup);
        QFETCH(bool, filled);
        const QColor fill(0, 0, 200);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(60, 96));
        for (auto it = setup.cbegin(); it != setup.cend(); ++it)
            item->setPropertyValue(it.key(), it.value());
        item->setPropertyValue(QStringLiteral("填充颜色"), fill);
        QCOMPARE(countColour(render(item.get()), fill), 0); // no fill style yet
        item->setPropertyValue(QStringLiteral("填充方式"), 1);
        const int n = countColour(render(item.get()), fill);
        if (filled)
            QVERIFY2(n > 100, qPrintable(QString::number(n)));
        else
            QCOMPARE(n, 0);
    }

    void drawsWithItemPen_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type;
    }

    void drawsWithItemPen()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(60, 96));
        const QColor colour(0, 200, 255);
        item->setPropertyValue(QStringLiteral("线条颜色"), colour);
        const QImage thin = render(item.get());
        QVERIFY(countColour(thin, colour) > 20);
        QCOMPARE(countColour(thin, PenColour), 0);
        item->setPropertyValue(QStringLiteral("线宽"), 5);
        const QImage thick = render(item.get());
        QVERIFY(countColour(thick, colour) > countColour(thin, colour) * 11 / 10);
        item->setPropertyValue(QStringLiteral("线型"), 2);
        const QImage dashed = render(item.get());
        QVERIFY(countColour(dashed, colour) < countColour(thick, colour));
        // Without a pen colour the symbol stays visible on the black canvas.
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor());
        QVERIFY(countColour(render(item.get()), Qt::white) > 20);
    }

    void pictureMatchesVectors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("shift");
        QTest::addColumn<int>("penWidth");
        for (const ItemKind *kind : symbolKinds()) {
            QTest::newRow(rowName(kind, QStringLiteral("1:1"))) << kind->type << 1.0 << QPointF() << 1;
            QTest::newRow(rowName(kind, QStringLiteral("zoomed, off the pixel grid")))
                << kind->type << 2.5 << QPointF(0.3, 0.7) << 3;
            QTest::newRow(rowName(kind, QStringLiteral("zoomed out")))
                << kind->type << 0.6 << QPointF(0.5, 0.2) << 2;
        }
    }

    void pictureMatchesVectors()
    {
        QFETCH(int, type);
        QFETCH(double, scale);
        QFETCH(QPointF, shift);
        QFETCH(int, penWidth);
        // The cached picture on screen is the vector drawing, to the pixel, at any zoom.
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(36, 60), penWidth, QPointF(-4, 5));
        item->setPropertyValue(QStringLiteral("填充颜色"), QColor(0, 0, 200));
        item->setPropertyValue(QStringLiteral("填充方式"), 1);
        // Seen at another zoom first, so that a picture of the wrong scale would be at hand.
        render(item.get(), scale * 1.6, OnScreen, shift);
        const QImage screen = render(item.get(), scale, OnScreen, shift);
        const QImage vectors = render(item.get(), scale, AsVectors, shift);
        QVERIFY2(coveredBy(screen, vectors) > 0.98, qPrintable(QString::number(coveredBy(screen, vectors))));
        QVERIFY2(coveredBy(vectors, screen) > 0.98, qPrintable(QString::number(coveredBy(vectors, screen))));
        const int fill = countColour(vectors, QColor(0, 0, 200));
        // Thick aliased strokes land on whole pixels, so the fill left inside them may differ
        // by a row or column from a drawing off the pixel grid, never more.
        const int screenFill = countColour(screen, QColor(0, 0, 200));
        if (fill == 0)
            QCOMPARE(screenFill, 0);
        else
            QVERIFY2(screenFill > fill * 3 / 4 && screenFill < fill * 5 / 4,
                qPrintable(QString::number(screenFill)));
        // A changed look is never served from an old picture.
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor(255, 0, 255));
        QCOMPARE(countColour(render(item.get(), scale, OnScreen, shift), PenColour), 0);
    }

    void selectionFrameOnRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("path");
        for (const ItemKind *kind : symbolKinds()) {
            QTest::newRow(rowName(kind, QStringLiteral("screen"))) << kind->type << int(OnScreen);
            QTest::newRow(rowName(kind, QStringLiteral("vectors"))) << kind->type << int(AsVectors);
        }
    }

    void selectionFrameOnRect()
    {
        QFETCH(int, type);
        QFETCH(int, path);
        // The base draws the selection after the symbol with the painter as the symbol left it.
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64), 2, QPointF(6, 9));
        QGraphicsScene scene;
        scene.addItem(item.get());
        item->setSelected(true);
        const QRectF r = item->rect();
        const QSize size(qCeil(r.right()) + 2 * Margin, qCeil(r.bottom()) + 2 * Margin);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QStyleOptionGraphicsItem option;
        option.state |= QStyle::State_Selected;
        QPainter painter(&image);
        QPicture picture;
        QPainter recorder(&picture);
        QPainter *target = path == AsVectors ? &recorder : &painter;
        target->translate(Margin, Margin);
        item->paint(target, &option, nullptr);
        recorder.end();
        painter.drawPicture(0, 0, picture);
        painter.end();
        scene.removeItem(item.get());
        // The dashed frame runs along the rectangle's left side, not elsewhere.
        const QColor frame(0, 160, 255);
        int onLeft = 0;
        for (int y = Margin + qCeil(r.top()) + 6; y < Margin + int(r.bottom()) - 6; ++y) {
            onLeft += countColour(image.copy(Margin + int(r.left()) - 1, y, 3, 1), frame) > 0 ? 1 : 0;
        }
        QVERIFY2(onLeft > 10, qPrintable(QString::number(onLeft)));
        const QRect bounds = paintedBounds(image);
        QVERIFY(bounds.left() >= Margin + int(r.left()) - 6);
        QVERIFY(bounds.top() >= Margin + int(r.top()) - 6);
    }

    void savedAndReadBack_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type;
    }

    void savedAndReadBack()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64), 2);
        QVariantMap changed;
        for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific)) {
            const QVariant value = otherValue(p, item->propertyValue(p->id()));
            item->setPropertyValue(p->id(), value);
            changed.insert(p->id(), value);
        }
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            QVERIFY(DocumentFormat::saveItem(out, item.get()));
        }
        QDataStream in(bytes);
        std::unique_ptr<QGraphicsItem> loaded(DocumentFormat::loadItem(in));
        auto *copy = dynamic_cast<SymbolItem *>(loaded.get());
        QVERIFY(copy);
        for (auto it = changed.cbegin(); it != changed.cend(); ++it)
            QCOMPARE(copy->propertyValue(it.key()), it.value());
        QCOMPARE(copy->svgID(), item->svgID());
        QCOMPARE(copy->ykID(), item->ykID());
        QCOMPARE(render(copy), render(item.get()));
    }

    void tinySymbolIsASpot_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type;
    }

    void tinySymbolIsASpot()
    {
        QFETCH(int, type);
        // Zoomed far out a 40×64 symbol covers a few pixels: it still shows, in its place.
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64));
        const double scale = 0.05;
        const QImage image = render(item.get(), scale);
        QVERIFY(paintedCount(image) > 0);
        const QRectF r(Margin * scale, Margin * scale, 40 * scale, 64 * scale);
        QCOMPARE(paintedOutside(image, r.adjusted(-1, -1, 1, 1)), 0);
    }

    void svgExportKeepsVectors_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *kind : symbolKinds())
            QTest::newRow(rowName(kind)) << kind->type;
    }

    void svgExportKeepsVectors()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64), 2);
        QBuffer buffer;
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(64, 88));
        generator.setViewBox(QRect(0, 0, 64, 88));
        {
            QPainter painter(&generator);
            painter.translate(Margin, Margin);
            QStyleOptionGraphicsItem option;
            item->paint(&painter, &option, nullptr);
        }
        const QByteArray svg = buffer.data();
        QVERIFY(svg.contains("<path"));
        QVERIFY(!svg.contains("<image"));
        // The exported drawing shows the symbol where it was.
        QSvgRenderer renderer(svg);
        QVERIFY(renderer.isValid());
        QImage image(64, 88, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        QVERIFY(paintedCount(image) > 0);
        QCOMPARE(paintedOutside(image, QRectF(Margin - 2, Margin - 2, 44, 68)), 0);
    }

    void sceneShowsSymbolsInPlace()
    {
        QGraphicsScene scene(0, 0, 400, 300);
        scene.setBackgroundBrush(Qt::black);
        QVector<QRectF> places;
        int i = 0;
        for (const ItemKind *kind : symbolKinds()) {
            GraphicsItem *item = ItemKind::create(kind->type);
            const DrawingDefaults d = defaults(2);
            const QPointF press(10 + (i % 8) * 48, 10 + (i / 8) * 90);
            item->createFromPoints(&d, press, press + QPointF(36, 70), nullptr);
            scene.addItem(item);
            places << item->itemRect();
            ++i;
        }
        QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 400, 300), scene.sceneRect());
        painter.end();
        for (const QRectF &place : places) {
            int inside = 0;
            for (int y = int(place.top()); y < int(place.bottom()); ++y) {
                for (int x = int(place.left()); x < int(place.right()); ++x)
                    inside += QColor(image.pixel(x, y)) != QColor(Qt::black) ? 1 : 0;
            }
            QVERIFY(inside > 20);
        }
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool near = std::any_of(places.cbegin(), places.cend(), [&](const QRectF &place) {
                    return place.adjusted(-2, -2, 2, 2).contains(QPointF(x + 0.5, y + 0.5));
                });
                if (!near)
                    QCOMPARE(QColor(image.pixel(x, y)), QColor(Qt::black));
            }
        }
    }

    void libraryCacheSeparatesDrawings()
    {
        SymbolLibrary::clearCache();
        SymbolLibrary::Request base;
        base.type = SymbolLibrary::CapacityFront;
        base.size = QSizeF(40, 64);
        base.level = 60;
        const SymbolLibrary::Drawing *first = SymbolLibrary::drawing(base);
        QCOMPARE(SymbolLibrary::drawing(base), first);
        QCOMPARE(SymbolLibrary::cachedCount(), 1);
        // A status has no meaning for a capacity: it must not split the cache.
        SymbolLibrary::Request same = base;
        same.variant = 1;
        QCOMPARE(SymbolLibrary::drawing(same), first);

        auto differs = [&](SymbolLibrary::Request other) {
            const int before = SymbolLibrary::cachedCount();
            const SymbolLibrary::Drawing *d = SymbolLibrary::drawing(other);
            return d != first && SymbolLibrary::cachedCount() == before + 1;
        };
        SymbolLibrary::Request r = base;
        r.size.setWidth(41);
        QVERIFY(differs(r));
        r = base;
        r.size.setHeight(65);
        QVERIFY(differs(r));
        r = base;
        r.orientation = 2;
        QVERIFY(differs(r));
        r = base;
        r.level = 61;
        QVERIFY(differs(r));
        r = base;
        r.type = SymbolLibrary::CapacityPlan;
        QVERIFY(differs(r));
        // Out-of-range turns and levels land on the valid ones.
        r = base;
        r.orientation = 6;
        base.orientation = 2;
        QCOMPARE(SymbolLibrary::drawing(r), SymbolLibrary::drawing(base));
        QVERIFY(
            SymbolLibrary::build(SymbolLibrary::Request {0x10016, 0, 0, QSizeF(40, 40), 0}).layers.isEmpty());
        QVERIFY(SymbolLibrary::build(SymbolLibrary::Request {SymbolLibrary::Fuse, 0, 0, QSizeF(0, 40), 0})
                    .layers.isEmpty());
    }
};

QTEST_MAIN(TestSymbolItems)
#include "tst_symbolitems.moc"
