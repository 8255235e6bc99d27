// The drawing items as the editor uses them: the factory, building from a drag, handles (under
// the mouse and locked: tst_scene), properties, and what every kind draws (inside its rectangle,
// following its properties, the same from the pixmap cache as drawn directly, as vectors and
// text in SVG).
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "testsupport.h"

#include <QtTest>
#include <memory>
#include <tuple>

using namespace ItemSamples;

namespace {

// The libraries are empty here, so their kinds refuse to be drawn, yet take the geometry.
bool libraryKind(int type)
{
    return type == ItemKind::SvgPicture || type == ItemKind::CustomSymbol;
}

std::unique_ptr<GraphicsItem> make(int type)
{
    return std::unique_ptr<GraphicsItem>(
        dynamic_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, type, true)));
}

} // namespace

class TestItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("items"); }

    // Numbers outside the table, the pointer tool's too, make no item: a document naming one is
    // refused, not read as another kind. (Groups: tst_view and tst_scene.)
    void unknownTypesMakeNothing()
    {
        for (int type : {int(ItemKind::Pointer), ItemKind::Group - 2, ItemKind::CapacityFront + 1, -1})
            QVERIFY(!AbstractGraphicsScene::graphicsItem(0, type, true));
    }

    void createFromPointsInEveryDirection_data() { addKindRows(); }

    // Four drags, the second without a brush style and the third with a style but no colour:
    // neither of those two fills.
    void createFromPointsInEveryDirection()
    {
        QFETCH(int, type);
        const DrawingDefaults defaults = ItemSamples::defaults();
        const QPointF a(100, 50);
        const QPointF b(160, 130);
        const QList<QPair<QPointF, QPointF>> drags{
            {a, b}, {b, a}, {QPointF(160, 50), QPointF(100, 130)}, {QPointF(100, 130), QPointF(160, 50)}};
        for (int i = 0; i < drags.size(); ++i) {
            DrawingDefaults d = defaults;
            d.brushStyle = i == 1 ? 0 : d.brushStyle;
            d.bruchColor = i == 2 ? QColor() : d.bruchColor;
            auto item = make(type);
            QVERIFY(item && item->type() == type); // a GraphicsItem, so with every item interface
            QCOMPARE(item->createFromPoints(&d, drags[i].first, drags[i].second, nullptr), !libraryKind(type));
            QCOMPARE(item->itemRect(), QRectF(100, 50, 60, 80));
            QCOMPARE((QVariantList{item->penColor(), item->penWidth(), item->brushColor(), item->hasFill()}),
                (QVariantList{d.penColor, d.penWidth, d.bruchColor, i == 0 || i == 3}));
            // The line keeps the direction of the drag.
            if (type == ItemKind::Line)
                QCOMPARE((QPair<QPointF, QPointF>(
                             item->mapToScene(item->rect().topLeft()), item->mapToScene(item->rect().bottomRight()))),
                    drags[i]);
            else
                QCOMPARE(item->pos(), a);
        }
        // A click makes the kind's click size, centred on the point, where it has one.
        auto clicked = make(type);
        const QSizeF clickSize = ItemKind::find(type)->clickSize;
        const bool made = clicked->createFromPoints(&defaults, a, a, nullptr);
        QCOMPARE(made, !clickSize.isEmpty() && !libraryKind(type));
        QVERIFY(
            !made || clicked->itemRect() == QRectF(a - QPointF(clickSize.width(), clickSize.height()) / 2, clickSize));
    }

    // A selected item is hit anywhere on its handles, also where a handle overlaps a stroked
    // outline running either way, and its bounding rectangle holds them whether selected or not.
    void handlesAreHitEverywhere()
    {
        AbstractGraphicsScene scene;
        for (const ItemKind &kind : ItemKind::all()) {
            for (const QRectF &drag : {QRectF(20, 20, 100, 60), QRectF(QPointF(120, 80), QPointF(20, 20))}) {
                GraphicsItem *item = create(kind.type, drag);
                scene.addItem(item);
                const QRectF unselected = item->boundingRect();
                item->setSelected(true);
                QCOMPARE(item->boundingRect(), unselected);
                for (int i = 0; i < item->handleCount(); ++i) {
                    const QRectF handle = item->handleRect(i);
                    QVERIFY(unselected.contains(handle));
                    for (int k = 0; k < 9; ++k) {
                        const QPointF p = handle.topLeft()
                            + QPointF((0.1 + 0.4 * (k % 3)) * handle.width(), (0.1 + 0.4 * (k / 3)) * handle.height());
                        QVERIFY2(item->shape().contains(p), qPrintable(kind.displayName()));
                    }
                }
                delete item;
            }
        }
    }

    void propertiesAndBindings_data() { addKindRows(); }

    // Every property once, each initial value accepted by its own property; the point bindings
    // follow their properties both ways.
    void propertiesAndBindings()
    {
        QFETCH(int, type);
        auto item = make(type);
        const QStringList ids = item->propertyNames();
        QCOMPARE(QSet<QString>(ids.cbegin(), ids.cend()).size(), ids.size());
        for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific))
            QVERIFY2(p->accepts(item->propertyValue(p->id())), qPrintable(p->id()));

        for (const QString &id : {QStringLiteral("关联点号"), QStringLiteral("遥控点号")}) {
            if (!ids.contains(id))
                continue;
            const bool control = id == QStringLiteral("遥控点号");
            const auto bound = [&](bool yk) { return yk ? item->ykID() : item->svgID(); };
            const QString other = bound(!control);
            item->setPropertyValue(id, QStringLiteral("10kV.甲线.101"));
            QCOMPARE(bound(control), QStringLiteral("10kV.甲线.101"));
            QCOMPARE(bound(!control), other); // the other one is left alone
            // Bound elsewhere (reading a graph, a binding dialog), then shown through the property.
            control ? item->setYkID(QStringLiteral("YK.7")) : item->setSvgID(QStringLiteral("YX.7"));
            QCOMPARE(item->propertyValue(id).toString(), bound(control));
            item->setPropertyValue(id, QString());
            QCOMPARE(bound(control), QString());
        }
    }

    void cacheFollowsEveryProperty_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        for (const ItemKind &kind : ItemKind::all()) {
            auto item = make(kind.type);
            const auto map = item->properties();
            for (const QList<Property *> &list : map) {
                for (const Property *p : list) {
                    if (p->isEditable())
                        QTest::newRow(rowName(kind.type, p->id()))
                            << kind.type << p->id() << otherValue(p, item->propertyValue(p->id()));
                }
            }
        }
    }

    // Every property takes another accepted value, and a change that shows in the vectors
    // shows from the pixmap cache as well.
    void cacheFollowsEveryProperty()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        std::unique_ptr<GraphicsItem> item(create(type, QRectF(0, 0, 200, 140)));
        const QImage cached = render(item.get());
        const QImage vectors = render(item.get(), Path::Vectors);
        item->setPropertyValue(id, value);
        QCOMPARE(item->propertyValue(id), value);
        QCOMPARE(render(item.get()) == cached, render(item.get(), Path::Vectors) == vectors);
    }

    void drawing_data() { addKindRows(); }

    // Inside its rectangle at any size, pen and zoom, and the same from the pixmap cache as
    // drawn as vectors; kept as vectors and text in SVG.
    void drawing()
    {
        QFETCH(int, type);
        QList<std::tuple<QSizeF, int, double, QPointF>> cases; // size, pen width, zoom, offset
        for (const QSizeF &size : {QSizeF(200, 120), QSizeF(8, 200), QSizeF(200, 8)})
            cases << std::tuple(size, 1, 1.0, QPointF()) << std::tuple(size, 4, 1.0, QPointF());
        // Zoomed in and out, off the pixel grid; beyond the cache's size limit the item is
        // drawn directly even on a raster image.
        cases << std::tuple(QSizeF(200, 120), 2, 0.05, QPointF())
              << std::tuple(QSizeF(180, 130), 2, 2.5, QPointF(0.3, 0.7))
              << std::tuple(QSizeF(180, 130), 2, 0.6, QPointF(0.5, 0.2))
              << std::tuple(QSizeF(700, 560), 1, 1.0, QPointF());
        for (const auto &[size, pen, scale, offset] : cases) {
            const QString name
                = QStringLiteral("%1x%2 pen %3 at %4").arg(size.width()).arg(size.height()).arg(pen).arg(scale);
            auto item = make(type);
            DrawingDefaults defaults = ItemSamples::defaults();
            defaults.penWidth = pen;
            QCOMPARE(item->createFromPoints(&defaults, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr),
                !libraryKind(type));
            // Seen at another zoom first, so that a cached picture of the wrong scale would be at hand.
            render(item.get(), Path::Cached, scale * 1.6, offset);
            const QImage cached = render(item.get(), Path::Cached, scale, offset);
            const QImage vectors = render(item.get(), Path::Vectors, scale, offset);
            // Strokes along the rectangle may stand out by half the pen, antialiasing by a pixel;
            // the square cap of a slanted line reaches up to 0.71 pen past its end, and a line
            // thinner than a pixel is spread over one more.
            const double tolerance = type == ItemKind::Line ? pen * scale + 2.0 : pen / 2.0 * scale + 1.0;
            const QRectF allowed = QRectF(QPointF(Margin, Margin) + offset, size * scale)
                                       .adjusted(-tolerance, -tolerance, tolerance, tolerance);
            for (const QImage &image : {cached, vectors}) {
                const QRect drawn = paintedBounds(image);
                QVERIFY2(!drawn.isNull() && allowed.contains(QRectF(drawn)), qPrintable(name));
            }
            const double covered = coveredBy(cached, vectors);
            const double covering = coveredBy(vectors, cached);
            QVERIFY2(covered > 0.98 && covering > 0.98,
                qPrintable(QStringLiteral("%1: %2 %3").arg(name).arg(covered).arg(covering)));
            // Drawn twice at the same place, the cache gives exactly the same pixels.
            QVERIFY2(render(item.get(), Path::Cached, scale, offset) == cached, qPrintable(name));
        }

        std::unique_ptr<GraphicsItem> item(create(type, QRectF(0, 0, 260, 180)));
        if (item->propertyNames().contains(QStringLiteral("文本")))
            item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("前往主画面"));
        // Painted on screen first: the export must not reuse what the screen cached.
        render(item.get());
        const QByteArray svg = svgOf(item.get());
        QVERIFY(!svg.contains("<image"));
        // Kinds that show text offer a font for it; that text stays text, not outlines.
        QCOMPARE(svg.contains("<text"), item->propertyNames().contains(QStringLiteral("字体")));
    }

    void groupReportsItsMembers()
    {
        AbstractGraphicsScene scene;
        GraphicsItem *a = create(ItemKind::Rectangle, QRectF(0, 0, 50, 50));
        GraphicsItem *b = create(ItemKind::Ellipse, QRectF(100, 20, 50, 70));
        GroupItem *group = groupOf(scene, {a, b});
        QCOMPARE(group->itemRect(), a->itemRect() | b->itemRect());
        QCOMPARE(group->propertyValue(QStringLiteral("图元个数")).toInt(), 2);
        // Without a group chosen in the library the group tool draws nothing.
        const DrawingDefaults defaults = ItemSamples::defaults();
        QVERIFY(!group->createFromPoints(&defaults, QPointF(0, 0), QPointF(10, 10), &scene));
    }
};

QTEST_MAIN(TestItems)
#include "tst_items.moc"
