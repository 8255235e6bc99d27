// The drawing items as the editor uses them: the factory, building from a drag,
// handles under the mouse, geometry for undo, locking, properties, and what every kind
// draws (inside its rectangle, following its properties, the same from the pixmap cache as
// drawn directly, as vectors and text in SVG).
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "testsupport.h"

#include <QGraphicsView>
#include <QtTest>
#include <memory>

using ItemSamples::rowName;

namespace {

// Built from a drag over `rect` with the sample defaults.
std::unique_ptr<GraphicsItem> built(int type, const QRectF &rect)
{
    return std::unique_ptr<GraphicsItem>(ItemSamples::create(type, rect));
}

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

using TestSupport::drag;

} // namespace

class TestItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("items"); }

    void factoryKnowsEveryDrawingTool()
    {
        std::unique_ptr<QGraphicsItem> group(AbstractGraphicsScene::graphicsItem(1, ItemKind::Group, true));
        QVERIFY(dynamic_cast<GroupItem *>(group.get()));
        // The pointer tool and numbers outside the table.
        for (int type : {int(ItemKind::Pointer), ItemKind::Group - 2, ItemKind::CapacityFront + 1, -1})
            QVERIFY(!AbstractGraphicsScene::graphicsItem(0, type, true));
    }

    void createFromPointsInEveryDirection_data() { ItemSamples::addKindRows(); }

    void createFromPointsInEveryDirection()
    {
        QFETCH(int, type);
        const DrawingDefaults defaults = ItemSamples::defaults();
        const QPointF a(100, 50);
        const QPointF b(160, 130);
        const QList<QPair<QPointF, QPointF>> drags{
            {a, b}, {b, a}, {QPointF(160, 50), QPointF(100, 130)}, {QPointF(100, 130), QPointF(160, 50)}};
        for (const auto &d : drags) {
            auto item = make(type);
            QVERIFY(item && item->type() == type); // a GraphicsItem, so with every item interface
            QCOMPARE(item->createFromPoints(&defaults, d.first, d.second, nullptr), !libraryKind(type));
            QCOMPARE(item->itemRect(), QRectF(100, 50, 60, 80));
            QCOMPARE((QVariantList{item->penColor(), item->penWidth(), item->brushColor()}),
                (QVariantList{defaults.penColor, defaults.penWidth, defaults.bruchColor}));
            if (type == ItemKind::Line) {
                // The line keeps the direction of the drag.
                QCOMPARE(item->mapToScene(item->rect().topLeft()), d.first);
                QCOMPARE(item->mapToScene(item->rect().bottomRight()), d.second);
            } else {
                QCOMPARE(item->pos(), QPointF(100, 50));
            }
        }

        auto clicked = make(type);
        QVERIFY(clicked);
        const bool made = clicked->createFromPoints(&defaults, a, a, nullptr);
        const QSizeF clickSize = ItemKind::find(type)->clickSize;
        QCOMPARE(made, !clickSize.isEmpty() && !libraryKind(type));
        if (made)
            QCOMPARE(
                clicked->itemRect(), QRectF(a - QPointF(clickSize.width() / 2, clickSize.height() / 2), clickSize));
    }

    // No fill without a brush style, nor with a style but no colour.
    void noFillWithoutBrush()
    {
        for (bool styled : {false, true}) {
            DrawingDefaults d = ItemSamples::defaults();
            d.brushStyle = styled ? 1 : 0;
            d.bruchColor = styled ? QColor() : d.bruchColor;
            auto item = make(ItemKind::Rectangle);
            item->createFromPoints(&d, QPointF(0, 0), QPointF(50, 50), nullptr);
            QVERIFY(!item->hasFill() && item->brush().style() == Qt::NoBrush);
        }
    }

    // A selected item is hit anywhere on its handles, also where a handle overlaps a stroked
    // outline running either way, and its bounding rectangle holds them whether selected or not.
    void handlesAreHitEverywhere()
    {
        AbstractGraphicsScene scene;
        for (const ItemKind &kind : ItemKind::all()) {
            for (const QRectF &drag :
                {QRectF(QPointF(20, 20), QPointF(120, 80)), QRectF(QPointF(120, 80), QPointF(20, 20))}) {
                GraphicsItem *item = built(kind.type, drag).release();
                scene.addItem(item);
                const QRectF unselected = item->boundingRect();
                item->setSelected(true);
                QCOMPARE(item->boundingRect(), unselected);
                const QPainterPath shape = item->shape();
                for (int i = 0; i < item->handleCount(); ++i) {
                    const QRectF handle = item->handleRect(i);
                    QVERIFY(unselected.contains(handle));
                    for (double fx : {0.1, 0.5, 0.9}) {
                        for (double fy : {0.1, 0.5, 0.9}) {
                            const QPointF p(handle.left() + fx * handle.width(), handle.top() + fy * handle.height());
                            QVERIFY2(shape.contains(p), qPrintable(kind.displayName()));
                        }
                    }
                }
                delete item;
            }
        }
    }

    void mouseOnHandlesAndBody()
    {
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 600, 400);
        QGraphicsView view(&scene);
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        GraphicsItem *item = built(ItemKind::Rectangle, QRectF(100, 100, 100, 60)).release();
        scene.addItem(item);
        item->setSelected(true);
        const QVariant before = item->geometry();
        QCOMPARE(item->isResizing(), -1);

        int during = -2;
        drag(view, QPointF(200, 160), QPointF(260, 230), [&] { during = item->isResizing(); });
        QCOMPARE(during, 4); // the bottom-right handle
        QCOMPARE(item->isResizing(), -1);
        QCOMPARE(item->itemRect(), QRectF(100, 100, 160, 130));
        // The inner half of a handle grabs it as well.
        during = -2;
        drag(view, QPointF(257, 227), QPointF(267, 237), [&] { during = item->isResizing(); });
        QCOMPARE(during, 4);
        QCOMPARE(item->itemRect(), QRectF(100, 100, 167, 137)); // the edge follows the mouse
        // Dragging the top-left handle past the opposite corner flips, never inverts.
        drag(view, QPointF(100, 100), QPointF(300, 300));
        QVERIFY(item->rect().width() >= 0 && item->rect().height() >= 0);
        // The geometry an undo step keeps puts it back.
        item->setGeometry(before);
        QCOMPARE(item->itemRect(), QRectF(100, 100, 100, 60));

        // Locked, it stays selectable but neither moves nor resizes.
        item->setLock(true);
        scene.clearSelection();
        const QRectF locked = item->itemRect();
        drag(view, QPointF(150, 150), QPointF(200, 220));
        QVERIFY(item->isSelected());
        drag(view, locked.bottomRight(), QPointF(300, 320));
        QCOMPARE(item->itemRect(), locked);
        item->setLock(false);
        drag(view, locked.bottomRight(), locked.bottomRight() + QPointF(20, 20));
        QCOMPARE(item->itemRect(), locked.adjusted(0, 0, 20, 20));
    }

    void initialValuesFitTheirProperty_data() { createFromPointsInEveryDirection_data(); }

    void initialValuesFitTheirProperty()
    {
        QFETCH(int, type);
        auto item = make(type);
        const auto map = item->properties();
        QSet<QString> ids;
        for (const QList<Property *> &list : map) {
            for (const Property *p : list) {
                QVERIFY2(!ids.contains(p->id()), qPrintable(p->id()));
                ids.insert(p->id());
            }
        }
        QCOMPARE(item->propertyNames().size(), ids.size());
        for (const Property *p : map.value(AbstractGraphicsProperty::Specific)) {
            const QVariant v = item->propertyValue(p->id());
            const QVariantHash a = p->attributes();
            QVERIFY2(v.isValid(), qPrintable(p->id()));
            if (p->type() == Property::Enum) {
                const int n = a.value(QStringLiteral("enumNames")).toStringList().size();
                QVERIFY2(v.toInt() >= 0 && v.toInt() < n, qPrintable(p->id()));
            } else if (p->type() == Property::Popup) {
                QVERIFY2(a.value(QStringLiteral("items")).toStringList().contains(v.toString()), qPrintable(p->id()));
            } else if (p->type() == Property::Int || p->type() == Property::Double) {
                const QVariant lo = a.value(QStringLiteral("minimum"));
                const QVariant hi = a.value(QStringLiteral("maximum"));
                QVERIFY2((!lo.isValid() || v.toDouble() >= lo.toDouble())
                        && (!hi.isValid() || v.toDouble() <= hi.toDouble()),
                    qPrintable(p->id()));
            }
        }
    }

    void ownPropertiesShowInTheDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariantMap>("setup");
        for (const ItemKind &kind : ItemKind::all()) {
            auto item = make(kind.type);
            QList<Property *> own = item->properties().value(AbstractGraphicsProperty::Specific);
            for (Property *p : item->properties().value(AbstractGraphicsProperty::General)) {
                // Texts and pictures draw no frame by default, so only the colour shows.
                if (p->id() == QStringLiteral("线条颜色")
                    || (p->id() == QStringLiteral("线宽") && kind.family <= ItemKind::Symbol))
                    own << p;
            }
            for (const Property *p : qAsConst(own)) {
                // Shown only with a picture file at hand; the picture tests cover it.
                if (!p->isEditable() || p->id() == QStringLiteral("保持比例"))
                    continue;
                QVariant value = ItemSamples::otherValue(p, item->propertyValue(p->id()));
                QVariantMap setup;
                // Some values only show in a state that makes them matter.
                if (p->id() == QStringLiteral("线宽"))
                    value = 5; // the samples draw with 2
                if (p->id() == QStringLiteral("分闸颜色"))
                    setup.insert(QStringLiteral("状态"), 0);
                if (p->id() == QStringLiteral("自动换行"))
                    setup.insert(
                        QStringLiteral("文本"), QStringLiteral("一段很长很长的文字, 用来检查换行 ABCDEFG 0123456789"));
                if (kind.type == ItemKind::AnalogValue) {
                    // The sample value lies between the default limits; move a limit past it.
                    if (p->id() == QStringLiteral("上限"))
                        value = 100.0;
                    else if (p->id() == QStringLiteral("下限"))
                        value = 200.0;
                    else if (p->id() == QStringLiteral("越限颜色"))
                        setup.insert(QStringLiteral("上限"), 100.0);
                }
                QTest::newRow(rowName(kind.type, p->id())) << kind.type << p->id() << value << setup;
            }
        }
    }

    void ownPropertiesShowInTheDrawing()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        QFETCH(QVariantMap, setup);
        auto item = built(type, QRectF(QPointF(0, 0), QPointF(200, 140)));
        QVERIFY(item);
        for (auto it = setup.cbegin(); it != setup.cend(); ++it)
            item->setPropertyValue(it.key(), it.value());
        const QImage cached = ItemSamples::render(item.get());
        const QImage vectors = ItemSamples::render(item.get(), ItemSamples::Path::Vectors);
        item->setPropertyValue(id, value);
        QCOMPARE(item->propertyValue(id), value);
        const bool binding = id == QStringLiteral("关联点号") || id == QStringLiteral("遥控点号");
        // A hot spot names its target only in the tooltip.
        const bool hidden = binding || (type == ItemKind::HotSpot && id == QStringLiteral("链接画面"));
        // The cached look must follow as much as the vectors do.
        QCOMPARE(ItemSamples::render(item.get()) == cached, hidden);
        QCOMPARE(ItemSamples::render(item.get(), ItemSamples::Path::Vectors) == vectors, hidden);
    }

    void pointBindingsFollowBothWays_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        for (const ItemKind &kind : ItemKind::all()) {
            const QStringList names = make(kind.type)->propertyNames();
            for (const QString &id : {QStringLiteral("关联点号"), QStringLiteral("遥控点号")}) {
                if (names.contains(id))
                    QTest::newRow(rowName(kind.type, id)) << kind.type << id;
            }
        }
    }

    void pointBindingsFollowBothWays()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        auto item = make(type);
        const bool control = id == QStringLiteral("遥控点号");
        auto bound = [&] { return control ? item->ykID() : item->svgID(); };
        item->setPropertyValue(id, QStringLiteral("10kV.甲线.101"));
        QCOMPARE(bound(), QStringLiteral("10kV.甲线.101"));
        QCOMPARE(control ? item->svgID() : item->ykID(), QString()); // the other one is left alone
        // Bound elsewhere (reading a graph, a binding dialog), then shown through the property.
        if (control)
            item->setYkID(QStringLiteral("YK.7"));
        else
            item->setSvgID(QStringLiteral("YX.7"));
        QCOMPARE(item->propertyValue(id).toString(), bound());
        item->setPropertyValue(id, QString());
        QCOMPARE(bound(), QString());
        if (ItemKind::find(type)->family != ItemKind::Symbol)
            return;
        // Symbols are also written straight into the table of specific values; the binding follows.
        const QList<Property *> own = item->properties().value(AbstractGraphicsProperty::Specific);
        const auto at = std::find_if(own.cbegin(), own.cend(), [&](const Property *p) { return p->id() == id; });
        item->setSpecificValue(int(at - own.cbegin()), QStringLiteral("10kV.乙线.202"));
        QCOMPARE(bound(), QStringLiteral("10kV.乙线.202"));
    }

    void drawsInsideItsRectangle_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<double>("scale");
        QTest::addColumn<int>("path");
        const QSizeF sizes[] = {{40, 40}, {200, 120}, {8, 200}, {200, 8}};
        for (const ItemKind &kind : ItemKind::all()) {
            for (int path : {0, 1}) {
                const QString how = path ? QStringLiteral("vectors") : QStringLiteral("cached");
                for (const QSizeF &s : sizes) {
                    for (int pen : {1, 4})
                        QTest::newRow(
                            rowName(kind.type, QString::asprintf("%gx%g pen %d ", s.width(), s.height(), pen) + how))
                            << kind.type << s << pen << 1.0 << path;
                }
                QTest::newRow(rowName(kind.type, "zoomed in " + how))
                    << kind.type << QSizeF(40, 30) << 2 << 3.0 << path;
                QTest::newRow(rowName(kind.type, "zoomed out " + how))
                    << kind.type << QSizeF(200, 120) << 2 << 0.05 << path;
            }
            // Beyond the cache's size limit the item is drawn directly even on a raster image.
            QTest::newRow(rowName(kind.type, "large")) << kind.type << QSizeF(700, 560) << 1 << 1.0 << 0;
        }
    }

    void drawsInsideItsRectangle()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(int, penWidth);
        QFETCH(double, scale);
        QFETCH(int, path);
        auto item = make(type);
        DrawingDefaults defaults = ItemSamples::defaults();
        defaults.penWidth = penWidth;
        QCOMPARE(item->createFromPoints(&defaults, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr),
            !libraryKind(type));
        const QImage image = ItemSamples::render(item.get(), ItemSamples::Path(path), scale);
        const QRect drawn = ItemSamples::paintedBounds(image);
        QVERIFY2(!drawn.isNull(), "nothing drawn");
        // Strokes along the rectangle may stand out by half the pen, antialiasing by a pixel;
        // the square cap of a slanted line reaches up to 0.71 pen past its end, and a line
        // thinner than a pixel is spread over one more.
        const double tolerance = type == ItemKind::Line ? penWidth * scale + 2.0 : penWidth / 2.0 * scale + 1.0;
        const QRectF allowed
            = QRectF(ItemSamples::Margin, ItemSamples::Margin, size.width() * scale, size.height() * scale)
                  .adjusted(-tolerance, -tolerance, tolerance, tolerance);
        QVERIFY2(allowed.contains(QRectF(drawn)),
            qPrintable(QStringLiteral("drawn %1x%2").arg(drawn.width()).arg(drawn.height())));
    }

    void cachedLookMatchesVectors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("offset");
        for (const ItemKind &kind : ItemKind::all()) {
            QTest::newRow(rowName(kind.type, "1:1")) << kind.type << 1.0 << QPointF();
            QTest::newRow(rowName(kind.type, "zoomed in, off the pixel grid")) << kind.type << 2.5 << QPointF(0.3, 0.7);
            QTest::newRow(rowName(kind.type, "zoomed out")) << kind.type << 0.6 << QPointF(0.5, 0.2);
        }
    }

    void cachedLookMatchesVectors()
    {
        QFETCH(int, type);
        QFETCH(double, scale);
        QFETCH(QPointF, offset);
        auto item = built(type, QRectF(QPointF(0, 0), QPointF(180, 130)));
        QVERIFY(item);
        // Seen at another zoom first, so that a cached picture of the wrong scale would be at hand.
        ItemSamples::render(item.get(), ItemSamples::Path::Cached, scale * 1.6, offset);
        const QImage cached = ItemSamples::render(item.get(), ItemSamples::Path::Cached, scale, offset);
        const QImage vectors = ItemSamples::render(item.get(), ItemSamples::Path::Vectors, scale, offset);
        const double covered = ItemSamples::coveredBy(cached, vectors);
        const double covering = ItemSamples::coveredBy(vectors, cached);
        QVERIFY2(covered > 0.98 && covering > 0.98, qPrintable(QStringLiteral("%1 %2").arg(covered).arg(covering)));
        // Drawn twice at the same place, the cache gives exactly the same pixels.
        QCOMPARE(ItemSamples::render(item.get(), ItemSamples::Path::Cached, scale, offset), cached);
    }

    void svgKeepsVectorsAndText_data() { createFromPointsInEveryDirection_data(); }

    void svgKeepsVectorsAndText()
    {
        QFETCH(int, type);
        auto item = built(type, QRectF(QPointF(0, 0), QPointF(260, 180)));
        QVERIFY(item);
        if (item->propertyNames().contains(QStringLiteral("文本")))
            item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("前往主画面"));
        // Painted on screen first: the export must not reuse what the screen cached.
        ItemSamples::render(item.get());
        const QByteArray svg = ItemSamples::svgOf(item.get());
        QVERIFY(!svg.contains("<image"));
        // Kinds that show text offer a font for it; that text stays text, not outlines.
        QCOMPARE(svg.contains("<text"), item->propertyNames().contains(QStringLiteral("字体")));
    }

    void groupReportsItsMembers()
    {
        AbstractGraphicsScene scene;
        GraphicsItem *a = built(ItemKind::Rectangle, QRectF(0, 0, 50, 50)).release();
        GraphicsItem *b = built(ItemKind::Ellipse, QRectF(100, 20, 50, 70)).release();
        auto *group = new GroupItem;
        for (QGraphicsItem *item :
            {static_cast<QGraphicsItem *>(group), static_cast<QGraphicsItem *>(a), static_cast<QGraphicsItem *>(b)})
            scene.addItem(item);
        group->addToGroup(a);
        group->addToGroup(b);
        QCOMPARE(group->itemRect(), a->itemRect() | b->itemRect());
        QCOMPARE(group->propertyValue(QStringLiteral("图元个数")).toInt(), 2);
        group->setLock(true);
        QVERIFY(!(group->flags() & QGraphicsItem::ItemIsMovable));
        const DrawingDefaults defaults = ItemSamples::defaults();
        QVERIFY(!group->createFromPoints(&defaults, QPointF(0, 0), QPointF(10, 10), &scene));

        // A selected group shows its frame on the usual black canvas.
        const auto frameOnBlack = [&] {
            QImage image(200, 120, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            scene.render(&painter, QRectF(0, 0, 200, 120), QRectF(-10, -10, 200, 120));
            painter.end();
            return ItemSamples::countColour(image, GraphicsItem::selectionOutline().color());
        };
        QCOMPARE(frameOnBlack(), 0);
        group->setSelected(true);
        QVERIFY(frameOnBlack() > 100);
    }
};

QTEST_MAIN(TestItems)
#include "tst_items.moc"
