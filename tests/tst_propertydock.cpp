// The property dock: the groups and rows it builds from the items' properties, what it
// shows for several items, and the undo steps its edits become, alone and in the window.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "qttreepropertybrowser.h"
#include "qtvariantpropertymanager.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QColorDialog>
#include <QGraphicsRectItem>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>
#include <memory>

using M = QtVariantPropertyManager;
using Map = QMap<AbstractGraphicsProperty::Authority, QList<Property *>>;

namespace {

// An item whose properties and values the test chooses.
class FakeItem : public QGraphicsRectItem, public AbstractGraphicsProperty
{
public:
    // Each fake is a kind of its own: items of one kind share their properties.
    FakeItem(const Map &map, const QVariantMap &values)
        : m_map(map)
        , m_values(values)
    {
        static int kinds = 0;
        m_type = UserType + ++kinds;
    }
    int type() const override { return m_type; }
    Map properties() const override { return m_map; }
    void setPropertyValue(const QString &id, const QVariant &value) override { m_values[id] = value; }
    QVariant propertyValue(const QString &id) const override { return m_values.value(id); }

private:
    Map m_map;
    QVariantMap m_values;
    int m_type;
};

Property *make(const QString &id, int type, bool editable = true)
{
    static QList<std::shared_ptr<Property>> kept;
    kept << std::make_shared<Property>(id, Property::PropertyType(type), QVariantHash(), editable);
    return kept.last().get();
}

QTreeWidget *tree(PropertyDockWidget &dock)
{
    return dock.browser()->treeWidget();
}

QStringList titles(PropertyDockWidget &dock)
{
    QStringList list;
    for (int i = 0; i < tree(dock)->topLevelItemCount(); ++i)
        list << tree(dock)->topLevelItem(i)->text(0);
    return list;
}

QList<QtVariantProperty *> rowsOf(PropertyDockWidget &dock, int group)
{
    QList<QtVariantProperty *> rows;
    for (QtProperty *p : dock.browser()->properties().value(group)->subProperties())
        rows << static_cast<QtVariantProperty *>(p);
    return rows;
}

// Types a number into the spin box editor of the row, or of its sub-row `part`, as a user does.
void typeInto(PropertyDockWidget &dock, const QString &row, const QString &text, int part = -1)
{
    QtProperty *p = TestSupport::findProperty(*dock.browser(), row);
    auto *spin = qobject_cast<QAbstractSpinBox *>(
        TestSupport::openPropertyEditor(*dock.browser(), part < 0 ? p : p->subProperties().at(part)));
    QVERIFY(spin);
    spin->findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(spin->findChild<QLineEdit *>(), text);
    QTest::keyClick(spin->findChild<QLineEdit *>(), Qt::Key_Return);
}

} // namespace

class TestPropertyDock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("propertydock");
        CDataLink::Init();
    }

    void oneItem_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<int>>("types");
        QTest::newRow("ellipse: empty specific group")
            << int(ItemKind::Ellipse) << QStringList{"公共属性", "一般属性", "特有属性"} << QList<int>();
        QTest::newRow("group: read-only rows, empty general group")
            << int(ItemKind::Group) << QStringList{"公共属性", "一般属性", "特有属性"} << QList<int>();
        QTest::newRow("every type, odd authorities")
            << 0 << QStringList{"相同属性", ""}
            << QList<int>{QVariant::String, QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::Size,
                   QVariant::Color, QVariant::Font, M::enumTypeId(), M::pathTypeId(), M::pntTypeId(), M::popupTypeId(),
                   QVariant::String};
    }

    void oneItem()
    {
        QFETCH(int, kind);
        QFETCH(QList<int>, types);
        QFETCH(QStringList, titles);
        Map map{{AbstractGraphicsProperty::Same, {make("只读", 0, false)}}};
        QVariantMap values{{"只读", "r"}, {"t11", "eleven"}};
        for (int type = 0; type < types.size(); ++type)
            map[AbstractGraphicsProperty::Authority(5)] << make(QStringLiteral("t%1").arg(type), type);
        std::unique_ptr<QGraphicsItem> item;
        if (kind == ItemKind::Group)
            item = std::make_unique<GroupItem>();
        else if (kind)
            item.reset(ItemSamples::create(kind, {0, 0, 40, 20}));
        else
            item = std::make_unique<FakeItem>(map, values);
        auto *source = dynamic_cast<AbstractGraphicsProperty *>(item.get());
        PropertyDockWidget dock(nullptr);
        dock.setItems({item.get()});
        QCOMPARE(::titles(dock), titles);

        const QList<QList<Property *>> groups = source->properties().values();
        for (int g = 0; g < groups.size(); ++g) {
            const QList<QtVariantProperty *> rows = rowsOf(dock, g);
            QCOMPARE(rows.size(), groups.at(g).size());
            for (int r = 0; r < rows.size(); ++r) {
                const Property *p = groups.at(g).at(r);
                QCOMPARE(rows.at(r)->propertyName(), p->id());
                QCOMPARE(rows.at(r)->isEnabled(), p->isEditable());
                if (p->type() != Property::Size && source->propertyValue(p->id()).isValid())
                    QCOMPARE(rows.at(r)->value(), source->propertyValue(p->id()));
                if (!types.isEmpty() && g == 1)
                    QCOMPARE(rows.at(r)->propertyType(), types.at(r));
            }
        }
        QVERIFY(kind != ItemKind::Group || tree(dock)->findItems("宽度", Qt::MatchRecursive).first()->isDisabled());
        QVERIFY(kind != ItemKind::Ellipse || tree(dock)->topLevelItem(2)->childCount() == 0);
    }

    void severalItems_data()
    {
        QTest::addColumn<QList<int>>("pick");
        QTest::addColumn<QStringList>("rows"); // name=value, under the one group's title
        QTest::newRow("two share two") << QList<int>{0, 1} << QStringList{"相同属性", "c=true", "d=0"};
        QTest::newRow("in the first item's order") << QList<int>{1, 0} << QStringList{"相同属性", "d=0", "c=true"};
        QTest::newRow("every item counts") << QList<int>{0, 1, 3} << QStringList{"相同属性", "d=0"};
        QTest::newRow("none shared") << QList<int>{0, 2} << QStringList();
        QTest::newRow("same values") << QList<int>{1, 3} << QStringList{"相同属性", "d=2"};
    }

    void severalItems()
    {
        QFETCH(QList<int>, pick);
        QFETCH(QStringList, rows);
        Property *a = make("a", 0), *b = make("b", 2), *c = make("c", 1), *d = make("d", 2), *e = make("e", 0);
        using A = AbstractGraphicsProperty;
        Scene scene;
        const QList<FakeItem *> fakes{
            new FakeItem({{A::Common, {a, b}}, {A::General, {c}}, {A::Specific, {d}}}, {{"c", true}, {"d", 1}}),
            new FakeItem({{A::Common, {d, c}}, {A::General, {e}}}, {{"c", true}, {"d", 2}}),
            new FakeItem({{A::Common, {e}}}, {}),
            new FakeItem({{A::Specific, {d}}}, {{"d", 2}}),
        };
        QList<QGraphicsItem *> items;
        for (FakeItem *f : fakes)
            scene.addItem(f);
        for (int i : pick)
            items << fakes.at(i);
        PropertyDockWidget dock(nullptr);
        dock.setItems(items);
        QStringList shown = titles(dock);
        for (QtVariantProperty *row : shown.isEmpty() ? QList<QtVariantProperty *>() : rowsOf(dock, 0))
            shown << row->propertyName() + '=' + row->value().toString();
        QCOMPARE(shown, rows);
        QCOMPARE(scene.undoStack()->count(), 0); // building the rows is not an edit
    }

    // One undo step for all items; items in no scene have no stack to take the edit.
    void editingThreeItemsIsOneStep()
    {
        Scene scene;
        QList<GraphicsItem *> items;
        for (int width = 1; width <= 4; ++width) {
            items << ItemSamples::create(ItemKind::Ellipse, {width * 50.0, 0, 40, 20});
            items.last()->setPropertyValue("线宽", width);
            if (width < 4)
                scene.addItem(items.last());
        }
        const std::unique_ptr<GraphicsItem> loose(items.last());
        for (bool inScene : {true, false}) {
            PropertyDockWidget dock(nullptr);
            dock.show();
            dock.setItems(
                inScene ? QList<QGraphicsItem *>{items[0], items[1], items[2]} : QList<QGraphicsItem *>{loose.get()});
            QVERIFY(ItemSamples::undoRedoRestores(*scene.undoStack(), scene, [&] { typeInto(dock, "线宽", "7"); }));
        }
        QCOMPARE(scene.undoStack()->count(), 1);
        QCOMPARE(scene.undoStack()->command(0)->text(), "setProperty");
        QCOMPARE(scene.undoStack()->command(0)->childCount(), 3);
        QCOMPARE((QList<int>{items[0]->penWidth(), items[1]->penWidth(), items[2]->penWidth(), loose->penWidth()}),
            (QList<int>{7, 7, 7, 4}));
    }

    void throughTheMainWindow()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        GraphicsItem *item = ItemSamples::create(ItemKind::Ellipse, {100, 100, 200, 120});
        view->documentScene()->addItem(item);
        view->centerOn(item);
        auto *dock = w.findChild<PropertyDockWidget *>();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(200, 160)));
        QTRY_COMPARE(titles(*dock), QStringList({"公共属性", "一般属性", "特有属性"}));

        const auto redPixels
            = [view] { return ItemSamples::countColour(view->viewport()->grab().toImage(), Qt::red, QRect(), 0); };
        QCOMPARE(redPixels(), 0);
        const int steps = view->documentScene()->undoStack()->count();
        TestSupport::whenModal([](QWidget *modal) {
            static_cast<QColorDialog *>(modal)->setCurrentColor(Qt::red);
            static_cast<QColorDialog *>(modal)->accept();
        });
        QWidget *editor = TestSupport::openPropertyEditor(
            *dock->browser(), TestSupport::findProperty(*dock->browser(), "线条颜色"));
        QTest::mouseClick(editor->findChild<QToolButton *>(), Qt::LeftButton);
        QCOMPARE(item->penColor(), QColor(Qt::red));
        QTRY_VERIFY_WITH_TIMEOUT(redPixels() > 100, 5000);
        QCOMPARE(view->documentScene()->undoStack()->count(), steps + 1);
        w.findChild<QAction *>(QStringLiteral("action_Undo"))->trigger();
        QCOMPARE(item->penColor(), ItemSamples::defaults().penColor);
        // Its "红" sub-row is one step as well.
        QVERIFY(ItemSamples::undoRedoRestores(
            *view->documentScene()->undoStack(), *view->documentScene(), [&] { typeInto(*dock, "线条颜色", "7", 0); }));
        QCOMPARE(item->penColor().red(), 7);
        QCOMPARE(view->documentScene()->undoStack()->count(), steps + 1);

        // Clicking empty canvas empties the dock.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(600, 500)));
        QTRY_COMPARE(tree(*dock)->topLevelItemCount(), 0);

        // Closing the document takes its items, and their rows, along.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(200, 160)));
        QTRY_COMPARE(tree(*dock)->topLevelItemCount(), 3);
        TestSupport::whenModal(
            [](QWidget *box) { static_cast<QMessageBox *>(box)->button(QMessageBox::Discard)->click(); });
        w.form().action_Close->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(tree(*dock)->topLevelItemCount(), 0, 5000);
    }
};

QTEST_MAIN(TestPropertyDock)
#include "tst_propertydock.moc"
