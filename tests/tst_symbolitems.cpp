// The equipment symbols: quarter turns, the fallback colour, the selection frame drawn after
// the symbol, and the symbol library's cache. What holds for every kind is tested with all items.
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "symbollibrary.h"
#include "testsupport.h"

#include <QPainter>
#include <QPicture>
#include <QStyleOptionGraphicsItem>
#include <QtTest>
#include <functional>
#include <memory>

using namespace ItemSamples;

namespace {

// A symbol with a yellow pen of width 2 and no brush, and the given property values.
std::unique_ptr<GraphicsItem> make(int type, const QSizeF &size, const QVariantMap &values = {})
{
    std::unique_ptr<GraphicsItem> item = outlined(type, size, QColor(255, 255, 0), 2);
    setProperties(item.get(), values);
    return item;
}

} // namespace

class TestSymbolItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("symbolitems"); }

    // A turned symbol is the upright one drawn in the rectangle with the sides swapped for a
    // quarter turn, turned clockwise as a picture. Without a colour the symbol stays visible on
    // the black canvas, in white.
    void turnsAndFallbackColour()
    {
        const QSizeF size(36, 90);
        for (int turn = 1; turn < 4; ++turn) {
            const QImage turned = render(make(ItemKind::Earth, size, {{"方向", turn}}).get());
            const QImage expected = render(make(ItemKind::Earth, turn % 2 ? size.transposed() : size).get())
                                        .transformed(QTransform().rotate(90 * turn));
            const double covered = qMin(coveredBy(turned, expected), coveredBy(expected, turned));
            QVERIFY2(covered > 0.98, qPrintable(QStringLiteral("%1°: %2").arg(turn * 90).arg(covered)));
        }
        const QImage noColour = render(make(ItemKind::Disconnector, size, {{"线条颜色", QColor()}}).get());
        QVERIFY(countColour(noColour, Qt::white) > 20 && countColour(noColour, Qt::black) == 0);
    }

    void selectionFrameAfterTheSymbol_data() { addKindRows({ItemKind::Symbol}); }

    // The base draws the selection frame after the symbol, with the painter as the symbol left
    // it: the dashed frame runs along the rectangle's left side, and nothing lies left of or
    // above it, on screen and as vectors.
    void selectionFrameAfterTheSymbol()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64));
        item->setRect(QRectF(6, 9, 40, 64));
        QStyleOptionGraphicsItem option;
        option.state |= QStyle::State_Selected;
        for (bool vectors : {false, true}) {
            QImage image(40 + 6 + 2 * Margin, 64 + 9 + 2 * Margin, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPicture picture;
            QPainter recorder(&picture);
            QPainter painter(&image);
            QPainter *target = vectors ? &recorder : &painter;
            target->translate(Margin, Margin);
            item->paint(target, &option, nullptr);
            recorder.end();
            painter.drawPicture(0, 0, picture);
            painter.end();
            QVERIFY(countColour(image, QColor(0, 160, 255), QRect(Margin + 5, Margin + 15, 3, 52)) > 10);
            const QRect bounds = paintedBounds(image);
            QVERIFY(bounds.left() >= Margin && bounds.top() >= Margin + 3);
        }
    }

    void libraryCacheSeparatesDrawings()
    {
        SymbolLibrary::clearCache();
        SymbolLibrary::Request base{ItemKind::CapacityFront, 0, 0, QSizeF(40, 64), 60};
        const SymbolLibrary::Drawing *first = SymbolLibrary::drawing(base);
        QVERIFY(SymbolLibrary::drawing(base) == first && SymbolLibrary::cachedCount() == 1);

        // Size, turn, level and kind each make another drawing.
        const std::function<void(SymbolLibrary::Request &)> changes[] = {[](auto &r) { r.size.setWidth(41); },
            [](auto &r) { r.size.setHeight(65); }, [](auto &r) { r.orientation = 2; }, [](auto &r) { r.level = 61; },
            [](auto &r) { r.type = ItemKind::CapacityPlan; }};
        for (const auto &change : changes) {
            SymbolLibrary::Request r = base;
            change(r);
            const int before = SymbolLibrary::cachedCount();
            QVERIFY(SymbolLibrary::drawing(r) != first && SymbolLibrary::cachedCount() == before + 1);
        }
        // Out-of-range turns land on the valid ones; nothing is drawn for other kinds or no size.
        SymbolLibrary::Request r = base;
        r.orientation = 6;
        base.orientation = 2;
        QCOMPARE(SymbolLibrary::drawing(r), SymbolLibrary::drawing(base));
        QVERIFY(SymbolLibrary::build(SymbolLibrary::Request{ItemKind::Line, 0, 0, QSizeF(40, 40), 0}).layers.isEmpty());
        QVERIFY(SymbolLibrary::build(SymbolLibrary::Request{ItemKind::Fuse, 0, 0, QSizeF(0, 40), 0}).layers.isEmpty());
    }
};

QTEST_MAIN(TestSymbolItems)
#include "tst_symbolitems.moc"
