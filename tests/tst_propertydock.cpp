// The property browser on its own, driven through its tree and editors (what each type shows,
// what its editor writes back, what attributes allow, compound values' parts), and the dock
// built on it: its groups and rows for one or several items, and the undo steps of its edits;
// the point-binding rows with their picker and their warnings, also where there is no server.
#include "app/plotwright.h"
#include "app/startup.h"
#include "cdatalink.h"
#include "dbserversettings.h"
#include "dialogs/pointpickerdialog.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "pointlistdialog.h"
#include "qttreepropertybrowser.h"
#include "qtvarianteditorfactory.h"
#include "qtvariantpropertymanager.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QGraphicsRectItem>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPolygonF>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>
#include <memory>

using M = QtVariantPropertyManager;
using Map = QMap<AbstractGraphicsProperty::Authority, QList<Property *>>;

namespace {

struct Browser
{
    M manager;
    QtVariantEditorFactory factory;
    QtTreePropertyBrowser browser;
    QSignalSpy changes{&manager, &M::valueChanged};

    Browser()
    {
        browser.setFactoryForManager(&manager, &factory);
        browser.resize(420, 600);
        browser.show();
    }

    QtVariantProperty *add(int type, const QVariantHash &attributes, const QVariant &value)
    {
        QtVariantProperty *p = manager.addProperty(type, QStringLiteral("p"));
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
            p->setAttribute(it.key(), it.value());
        p->setValue(value);
        browser.addProperty(p);
        changes.clear();
        return p;
    }

    QWidget *open(QtProperty *property) { return TestSupport::openPropertyEditor(browser, property); }
};

QString shown(QtTreePropertyBrowser &b, QtProperty *p)
{
    QTreeWidgetItem *row = b.rows(p).value(0);
    const QVariant check = row->data(1, Qt::CheckStateRole);
    return check.isValid() ? (check.toInt() == Qt::Checked ? "[x]" : "[ ]") : row->text(1);
}

// Enters `value` the way a user would for this kind of editor.
void enter(QWidget *editor, const QVariant &value)
{
    // A spin box's, or a path's (typed, or browsed below).
    QLineEdit *edit
        = qobject_cast<QLineEdit *>(editor) ? qobject_cast<QLineEdit *>(editor) : editor->findChild<QLineEdit *>();
    if (auto *check = qobject_cast<QCheckBox *>(editor)) {
        QTest::keyClick(check, Qt::Key_Space);
    } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        QTest::keyClick(combo, Qt::Key_Down);
    } else if (edit && value.userType() == QMetaType::QString && value.toString().startsWith('/')) {
        TestSupport::FileRequest seen;
        TestSupport::answerFileRequest(value.toString(), &seen);
        QTest::mouseClick(editor->findChild<QToolButton *>(), Qt::LeftButton);
        // The attributes pick where browsing starts and what it shows.
        QCOMPARE(
            seen.directory + QLatin1Char('|') + seen.filter, QFileInfo(value.toString()).path() + "|画面文件(*.drw)");
    } else if (edit) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, value.toString());
        QTest::keyClick(edit, Qt::Key_Return);
    } else {
        TestSupport::whenModal([value](QWidget *w) {
            if (auto *d = qobject_cast<QColorDialog *>(w))
                d->setCurrentColor(value.value<QColor>());
            if (auto *d = qobject_cast<QFontDialog *>(w))
                d->setCurrentFont(value.value<QFont>());
            if (auto *d = qobject_cast<PointListDialog *>(w)) {
                d->table()->selectAll();
                TestSupport::clickButton(d, "删除");
                for (const QPointF &p : value.value<QPolygonF>()) {
                    TestSupport::clickButton(d, "添加");
                    d->table()->item(d->table()->rowCount() - 1, 0)->setData(Qt::EditRole, p.x());
                    d->table()->item(d->table()->rowCount() - 1, 1)->setData(Qt::EditRole, p.y());
                }
            }
            qobject_cast<QDialog *>(w)->accept();
        });
        QTest::mouseClick(editor->findChild<QToolButton *>(), Qt::LeftButton);
    }
    QVERIFY(!TestSupport::missedModals());
}

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

QStringList titles(PropertyDockWidget &dock)
{
    QStringList list;
    for (int i = 0; i < dock.browser()->treeWidget()->topLevelItemCount(); ++i)
        list << dock.browser()->treeWidget()->topLevelItem(i)->text(0);
    return list;
}

QList<QtVariantProperty *> rowsOf(PropertyDockWidget &dock, int group)
{
    QList<QtVariantProperty *> rows;
    for (QtProperty *p : dock.browser()->properties().value(group)->subProperties())
        rows << static_cast<QtVariantProperty *>(p);
    return rows;
}

// Enters `value` into the dock's row, or into its sub-row `part`, as a user does.
void enterInto(PropertyDockWidget &dock, const QString &row, const QVariant &value, int part = -1)
{
    QtProperty *p = TestSupport::findProperty(*dock.browser(), row);
    enter(TestSupport::openPropertyEditor(*dock.browser(), part < 0 ? p : p->subProperties().at(part)), value);
}
const QString Bound = QStringLiteral("关联点号");

// What the binding row shows: its text, its tooltip and "red" when it warns.
QString bindingRow(PropertyDockWidget &dock)
{
    const QTreeWidgetItem *row = dock.browser()->rows(TestSupport::findProperty(*dock.browser(), Bound)).value(0);
    return row->text(1) + '|' + row->toolTip(1) + (row->foreground(1).color() == Qt::red ? "|red" : "");
}

// Opens the picker from the binding row's "..." and, in it, notes the preselected id, types
// `typed` into the filter, notes the ids left and presses `key`.
QStringList pickThroughTheDock(PropertyDockWidget &dock, const QString &typed, int key)
{
    QStringList seen;
    TestSupport::whenModal([&](QWidget *modal) {
        auto *picker = qobject_cast<PointPickerDialog *>(modal);
        seen << picker->selectedId() << picker->findChild<QLabel *>("label_Status")->text();
        picker->filter()->insert(typed); // QTest types Latin-1 only
        for (int row = 0; row < picker->table()->model()->rowCount(); ++row)
            seen << picker->table()->model()->index(row, 0).data().toString();
        QTest::keyClick(picker->filter(), Qt::Key(key));
    });
    QWidget *editor
        = TestSupport::openPropertyEditor(*dock.browser(), TestSupport::findProperty(*dock.browser(), Bound));
    QTest::mouseClick(editor->findChild<QToolButton *>(), Qt::LeftButton);
    return seen;
}

// One editor case: a type, its attributes and starting value, what its row shows, the names of
// its parts, the part edited (the whole when empty), properties of the editor that opens there,
// the value entered and the whole value afterwards (the one entered when not given).
struct EditorCase
{
    int type;
    QVariantHash attributes;
    QVariant start;
    QString text;
    QStringList parts;
    QString part;
    QVariantHash editor;
    QVariant entered;
    QVariant whole = QVariant();
};

} // namespace

Q_DECLARE_METATYPE(EditorCase)

class TestPropertyDock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("propertydock");
        qRegisterMetaType<QtProperty *>();
        CDataLink::Init();
    }

    void editors_data()
    {
        QTest::addColumn<EditorCase>("c");
        const QString dir = TestSupport::projectFolder();
        QFile picked(dir + "/站.drw"); // browsing picks existing files only
        QVERIFY(picked.open(QIODevice::WriteOnly));
        const QFont font("Noto Sans CJK SC", 12);
        QFont bold = font;
        bold.setBold(true);
        const QStringList fontParts{"字体族", "字号", "粗体", "斜体", "下划线", "删除线", "字距调整"};
        const QStringList colourParts{"红", "绿", "蓝", "透明度"};
        const QPolygonF points(QVector<QPointF>{{0, 0.5}, {10, -3}});
        QTest::newRow("string") << EditorCase{QVariant::String, {}, "甲", "甲", {}, {}, {}, "ab c"};
        QTest::newRow("string keeps a text its pattern refuses") << EditorCase{QVariant::String,
            {{"regExp", QRegExp("[0-9]+")}}, "12a", "12a", {}, {}, {{"acceptableInput", false}}, "34"};
        QTest::newRow("bool") << EditorCase{QVariant::Bool, {}, false, "[ ]", {}, {}, {}, true};
        QTest::newRow("int into its range")
            << EditorCase{QVariant::Int, {{"minimum", 1}, {"maximum", 32}, {"singleStep", 4}}, 40, "32", {}, {},
                   {{"maximum", 32}, {"singleStep", 4}}, 7};
        QTest::newRow("double into its range") << EditorCase{
            QVariant::Double, {{"minimum", 0.0}, {"decimals", 3}}, -2.0, "0.000", {}, {}, {{"decimals", 3}}, 2.25};
        QTest::newRow("colour part") << EditorCase{QVariant::Color, {}, QColor(10, 20, 30), "[10, 20, 30] (255)",
            colourParts, "绿", {{"maximum", 255}}, 200, QColor(10, 200, 30)};
        QTest::newRow("font") << EditorCase{
            QVariant::Font, {}, font, "[Noto Sans CJK SC, 12]", fontParts, {}, {}, QFont("Noto Sans CJK SC", 20)};
        QTest::newRow("font part") << EditorCase{
            QVariant::Font, {}, font, "[Noto Sans CJK SC, 12]", fontParts, "粗体", {}, true, bold};
        QTest::newRow("size part, both into range")
            << EditorCase{QVariant::Size, {{"minimum", QSize(10, 10)}, {"maximum", QSize(100, 50)}}, QSize(200, 5),
                   "100 x 10", {"宽", "高"}, "宽", {{"maximum", 100}}, 40, QSize(40, 10)};
        QTest::newRow("enum") << EditorCase{
            M::enumTypeId(), {{"enumNames", QStringList{"无", "实线", "虚线"}}}, 1, "实线", {}, {}, {{"count", 3}}, 2};
        QTest::newRow("enum out of range")
            << EditorCase{M::enumTypeId(), {{"enumNames", QStringList{"a", "b"}}}, 5, "", {}, {}, {{"count", 2}}, 0};
        QTest::newRow("popup") << EditorCase{
            M::popupTypeId(), {{"items", QStringList{"秒", "分", "时"}}}, "分", "分", {}, {}, {{"count", 3}}, "时"};
        QTest::newRow("popup keeps an unknown text first")
            << EditorCase{M::popupTypeId(), {{"items", QStringList{"x", "y"}}}, "z", "z", {}, {}, {{"count", 3}}, "x"};
        QTest::newRow("path typed") << EditorCase{M::pathTypeId(), {}, "a.drw", "a.drw", {}, {}, {}, "b.drw"};
        QTest::newRow("path browsed") << EditorCase{
            M::pathTypeId(), {{"filter", "画面文件(*.drw)"}, {"directory", dir}}, "", "", {}, {}, {}, dir + "/站.drw"};
        QTest::newRow("points") << EditorCase{M::pntTypeId(), {}, QVariant::fromValue(QPolygonF({{1, 2}})), "(1, 2)",
            {}, {}, {}, QVariant::fromValue(points)};
    }

    // What a row shows, its parts, the editor that opens on it or on a part, and what entering
    // a value there does: the whole changes and alone reports; setting the whole again moves
    // the parts without a signal of theirs.
    void editors()
    {
        QFETCH(EditorCase, c);
        const QVariant whole = c.whole.isValid() ? c.whole : c.entered;
        Browser b;
        QtVariantProperty *p = b.add(c.type, c.attributes, c.start);
        QCOMPARE(shown(b.browser, p), c.text);
        QStringList names;
        QtVariantProperty *target = p;
        for (QtProperty *sub : p->subProperties()) {
            names << sub->propertyName();
            target = sub->propertyName() == c.part ? static_cast<QtVariantProperty *>(sub) : target;
        }
        QCOMPARE(names, c.parts);
        QWidget *opened = b.open(target);
        QVERIFY(opened);
        for (auto it = c.editor.cbegin(); it != c.editor.cend(); ++it)
            QCOMPARE(opened->property(it.key().toLatin1()), it.value());
        enter(opened, c.entered);
        // The font dialog adds a style name; family and size are what was chosen.
        const auto same = [](const QVariant &v) {
            const QFont f = v.value<QFont>();
            return v.userType() == QMetaType::QFont ? QVariant(f.family() + QString::number(f.pointSize())) : v;
        };
        QCOMPARE(same(p->value()), same(whole));
        QCOMPARE(same(target->value()), same(c.entered));
        QVERIFY(b.changes.size() == 1 && b.changes.first().at(0).value<QtProperty *>() == p);
        QCOMPARE(same(b.changes.first().at(1)), same(whole));
        QCOMPARE(shown(b.browser, target), target->valueText().replace("否", "[ ]").replace("是", "[x]"));
        b.manager.setValue(p, c.start);
        QCOMPARE(b.changes.size(), 2);
        QVERIFY(same(target->value()) != same(c.entered));
        QCOMPARE(shown(b.browser, target), target->valueText().replace("否", "[ ]").replace("是", "[x]"));
    }

    // A disabled row and its parts are greyed and open no editor (a colour entered through its
    // dialog: throughTheMainWindow).
    void disabledRows()
    {
        Browser b;
        QtVariantProperty *group = b.manager.addProperty(M::groupTypeId(), "组");
        QtVariantProperty *a = b.manager.addProperty(QVariant::Int, "甲");
        QtVariantProperty *c = b.manager.addProperty(QVariant::Color, "乙");
        c->setEnabled(false);
        group->addSubProperty(a);
        group->addSubProperty(c);
        b.browser.addProperty(group);
        QTreeWidgetItem *top = b.browser.treeWidget()->topLevelItem(0);
        QVERIFY(top->child(1)->isDisabled() && top->child(1)->child(0)->isDisabled() && !top->child(0)->isDisabled());
        QVERIFY(!b.open(c) && b.open(a));
    }

    // One item: each group of its properties under its authority's title (none for an unknown
    // one), each row with its property's name, type, editability and value. The fake item has
    // every type of property, and one unknown, which shows as text.
    void oneItem()
    {
        Map map{{AbstractGraphicsProperty::Same, {make("只读", 0, false)}}};
        for (int type = 0; type < 12; ++type)
            map[AbstractGraphicsProperty::Authority(5)] << make(QStringLiteral("t%1").arg(type), type);
        const QList<int> types{QVariant::String, QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::Size,
            QVariant::Color, QVariant::Font, M::enumTypeId(), M::pathTypeId(), M::pntTypeId(), M::popupTypeId(),
            QVariant::String};
        FakeItem fake(map, {{"只读", "r"}, {"t11", "eleven"}});
        const std::unique_ptr<GraphicsItem> ellipse(ItemSamples::create(ItemKind::Ellipse, {0, 0, 40, 20}));
        for (QGraphicsItem *item : {static_cast<QGraphicsItem *>(&fake), static_cast<QGraphicsItem *>(ellipse.get())}) {
            auto *source = dynamic_cast<AbstractGraphicsProperty *>(item);
            PropertyDockWidget dock(nullptr);
            dock.setItems({item});
            const QStringList expected
                = item == &fake ? QStringList{"相同属性", ""} : QStringList{"公共属性", "一般属性", "特有属性"};
            QCOMPARE(titles(dock), expected);
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
                    if (item == &fake && g == 1)
                        QCOMPARE(rows.at(r)->propertyType(), types.at(r));
                }
            }
        }
    }

    void severalItems_data()
    {
        QTest::addColumn<QList<int>>("pick");
        QTest::addColumn<QStringList>("rows"); // name=value, under the one group's title
        QTest::newRow("two share two") << QList<int>{0, 1} << QStringList{"相同属性", "c=true", "d="};
        QTest::newRow("in the first item's order") << QList<int>{1, 0} << QStringList{"相同属性", "d=", "c=true"};
        QTest::newRow("every item counts") << QList<int>{0, 1, 3} << QStringList{"相同属性", "d="};
        QTest::newRow("none shared") << QList<int>{0, 2} << QStringList();
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
            shown << row->propertyName() + '=' + row->valueText().replace("是", "true");
        QCOMPARE(shown, rows);
        QCOMPARE(scene.undoStack()->count(), 0); // building the rows is not an edit
    }

    // One undo step for all items.
    void editingThreeItemsIsOneStep()
    {
        Scene scene;
        QList<QGraphicsItem *> items;
        for (int width = 1; width <= 3; ++width) {
            GraphicsItem *item = ItemSamples::create(ItemKind::Ellipse, {width * 50.0, 0, 40, 20});
            item->setPropertyValue("线宽", width);
            scene.addItem(item);
            items << item;
        }
        PropertyDockWidget dock(nullptr);
        dock.show();
        dock.setItems(items);
        QVERIFY(ItemSamples::undoRedoRestores(*scene.undoStack(), scene, [&] { enterInto(dock, "线宽", 7); }));
        QCOMPARE(scene.undoStack()->count(), 1);
        for (QGraphicsItem *item : items)
            QCOMPARE(dynamic_cast<GraphicsItem *>(item)->penWidth(), 7);
    }

    void pickPoint_data()
    {
        QTest::addColumn<int>("count"); // items selected, each bound to 1002
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("left"); // by the filter
        QTest::addColumn<QString>("bound"); // afterwards
        QTest::newRow("device and variable, one item")
            << 1 << "1#出线 ia" << int(Qt::Key_Return) << QStringList{"1001"} << "1001";
        QTest::newRow("qualifier, several items")
            << 3 << "a相" << int(Qt::Key_Enter) << QStringList{"1001", "1003"} << "1001";
        QTest::newRow("cancelled") << 2 << "1003" << int(Qt::Key_Escape) << QStringList{"1003"} << "1002";
    }

    // The picker filters over every column and across them, starts at the current binding, and
    // binds every selected item in one undo step; Esc leaves everything as it was.
    void pickPoint()
    {
        QFETCH(int, count);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QStringList, left);
        QFETCH(QString, bound);
        CDataLink::GetDataLink()->setPoints({{"1001", "Ia", "A相", "1#出线"}, {"1002", "Ib", "B相", "1#出线"},
            {"1003", "Ia", "A相", "2#出线"}, {"2001", "Ua", "", "1#出线"}});
        Scene scene;
        QList<QGraphicsItem *> items;
        for (int i = 0; i < count; ++i) {
            items << ItemSamples::create(ItemKind::AnalogValue, {i * 100.0, 0, 80, 20});
            dynamic_cast<GraphicsItem *>(items.last())->setSvgID("1002");
            scene.addItem(items.last());
        }
        PropertyDockWidget dock(nullptr);
        dock.show();
        dock.setItems(items);
        const auto pick = [&] {
            QCOMPARE(pickThroughTheDock(dock, typed, key), (QStringList{"1002", "显示 4 / 4 条"} + left));
        };
        QVERIFY(ItemSamples::undoRedoRestores(*scene.undoStack(), scene, pick) || bound == "1002");
        QCOMPARE(scene.undoStack()->count(), bound == "1002" ? 0 : 1);
        for (QGraphicsItem *item : items)
            QCOMPARE(dynamic_cast<GraphicsItem *>(item)->svgID(), bound);
    }

    // A known id shows its record, an unknown one warns in red, an empty one shows nothing; the
    // row follows undo, redo and records that arrive later.
    void bindingValidation()
    {
        CDataLink *link = CDataLink::GetDataLink();
        link->setPoints({{"1001", "Ia", "A相", "1#出线"}});
        Scene scene;
        GraphicsItem *item = ItemSamples::create(ItemKind::AnalogValue, {0, 0, 80, 20});
        scene.addItem(item);
        PropertyDockWidget dock(nullptr);
        dock.show();
        dock.setItems({item});
        QUndoStack *stack = scene.undoStack();
        const QList<QPair<std::function<void()>, QString>> steps{
            {[&] { enterInto(dock, Bound, "1001"); }, "1001 — 1#出线 · Ia|1001"},
            {[&] { enterInto(dock, Bound, "9999"); }, "9999|点号不存在|red"},
            {[&] { stack->undo(); }, "1001 — 1#出线 · Ia|1001"},
            {[&] { stack->redo(); }, "9999|点号不存在|red"},
            {[&] { enterInto(dock, Bound, ""); }, "|"},
            {[&] { stack->undo(); }, "9999|点号不存在|red"},
            {[&] {
                 link->setPoints(link->idList + QList<CIdInfo>{{"9999", "P", "", "3#出线"}});
             },
                "9999 — 3#出线 · P|9999"},
        };
        for (const auto &step : steps) {
            step.first();
            QCOMPARE(bindingRow(dock), step.second);
        }
    }

    // Without a server (platform 1) the records come from the project's embedded database: a
    // damaged one is said in the picker in one line, an import through the Tools menu fills it,
    // the dock and the canvas show the records, and the server's graph commands stay off.
    void pointsWithoutServer()
    {
        QVERIFY(TestSupport::writePlatform(1));
        const auto restore = qScopeGuard([] { TestSupport::writePlatform(-1); });
        QVERIFY(TestSupport::writeFile(DbServerSettings::embeddedFile(), "not a database"));
        Plotwright w;
        QVERIFY(!connectAtStartup(&w));
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        GraphicsItem *item = ItemSamples::create(ItemKind::AnalogValue, {100, 100, 80, 20});
        view->documentScene()->addItem(item);
        item->setSelected(true);
        auto *dock = w.findChild<PropertyDockWidget *>();
        QTRY_VERIFY(TestSupport::findProperty(*dock->browser(), Bound));
        const QStringList damaged = pickThroughTheDock(*dock, QString(), Qt::Key_Escape);
        QVERIFY2(damaged.value(1).startsWith("没有点记录: 无法打开点表数据库: ") && !damaged.value(1).contains('\n'),
            qPrintable(damaged.join('|')));
        enterInto(*dock, Bound, "YC9");
        QCOMPARE(bindingRow(*dock), "YC9|点号不存在|red");

        QVERIFY(QFile::remove(DbServerSettings::embeddedFile()));
        const QString csv = TestSupport::projectFolder() + "/points.csv";
        QVERIFY(TestSupport::writeFile(csv, "点号,变量名,限定名,设备名\nYC1,Ia,A相,1#出线\n YC9 ,P,,3#出线\n"));
        TestSupport::answerFileRequest(csv);
        QString report;
        TestSupport::answerBox(&report);
        w.form().action_ImportPoints->trigger();
        QCOMPARE(report, "导入点表|取用 2 行(新增 2 条, 更新 0 条), 拒绝 0 行。");
        QCOMPARE(bindingRow(*dock), "YC9 — 3#出线 · P|YC9");
        QCOMPARE(pickThroughTheDock(*dock, "ia", Qt::Key_Return), (QStringList{"YC9", "显示 2 / 2 条", "YC1"}));
        QCOMPARE(item->svgID(), "YC1");
        QVERIFY(!w.form().actionDIZ30->isEnabled() && !w.form().actionSaveDiz30->isEnabled());

        QHelpEvent hover(QEvent::ToolTip, view->mapFromScene(item->sceneBoundingRect().center()), QPoint(200, 200));
        QApplication::sendEvent(view->viewport(), &hover);
        QCOMPARE(QToolTip::text(), "关联点号: YC1\n设备: 1#出线\n变量: Ia\n限定名: A相");
    }

    // The rows follow alignment, a drag (while it lasts), keys, undo and redo without being
    // rebuilt: the row and the editor open on it stay. Items that disagree show no value, in the
    // editor too, and a group made of them shows where they are.
    void followsTheItems()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        QUndoStack *stack = view->documentScene()->undoStack();
        w.activateWindow(); // the canvas dialog took it
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QList<GraphicsItem *> items;
        for (const QRectF &place : {QRectF(100, 100, 80, 40), QRectF(300, 200, 80, 40)}) {
            items << ItemSamples::create(ItemKind::Ellipse, place);
            view->documentScene()->addItem(items.last());
            items.last()->setSelected(true);
        }
        QtTreePropertyBrowser *b = w.findChild<PropertyDockWidget *>()->browser();
        const auto row = [b](const char *name) { return b->rows(TestSupport::findProperty(*b, name)).value(0); };
        QTRY_VERIFY(row("X"));
        QTreeWidgetItem *x = row("X");
        const QPointer<QWidget> editor = TestSupport::openPropertyEditor(*b, TestSupport::findProperty(*b, "X"));
        const auto shown = [&] {
            return row("X")->text(1) + '|' + editor->findChild<QLineEdit *>()->text() + '|' + row("Y")->text(1);
        };
        view->setFocus(); // the user goes back to the canvas, the editor stays open
        items.first()->setFocus(); // the item aligned to
        const QPointF grip(140, 120);
        const QList<QPair<std::function<void()>, QString>> steps{
            {[] {}, "||"},
            {[&] { w.form().action_AlignmentLeft->trigger(); }, "100.00|100.00|"},
            {[&] {
                 TestSupport::drag(*view, grip, grip + QPointF(20, 0), [&] { QTRY_COMPARE(x->text(1), "120.00"); });
             },
                "120.00|120.00|"},
            {[&] { QTest::keyClick(view->viewport(), Qt::Key_Right); }, "121.00|121.00|"},
            {[&] { stack->undo(), stack->undo(); }, "100.00|100.00|"},
            {[&] { stack->undo(); }, "||"},
            {[&] { stack->redo(); }, "100.00|100.00|"},
        };
        for (const auto &step : steps) {
            step.first();
            QTRY_COMPARE(shown(), step.second);
            QVERIFY(editor && row("X") == x);
        }
        w.form().action_CreateGroup->trigger();
        view->documentScene()->clearSelection();
        items.first()->parentItem()->setSelected(true);
        QTRY_COMPARE(row("X")->text(1) + '|' + row("Y")->text(1), "100.00|100.00");
    }

    // A click fills the dock; an edit there is one undo step of the document and shows in the
    // view (a part of a value makes one change of the whole: editors).
    void throughTheMainWindow()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        GraphicsItem *item = ItemSamples::create(ItemKind::Ellipse, {100, 100, 200, 120});
        scene->addItem(item);
        view->centerOn(item);
        auto *dock = w.findChild<PropertyDockWidget *>();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(200, 160)));
        QTRY_COMPARE(titles(*dock), QStringList({"公共属性", "一般属性", "特有属性"}));
        const auto redPixels
            = [view] { return ItemSamples::countColour(view->viewport()->grab().toImage(), Qt::red, QRect(), 0); };
        QCOMPARE(redPixels(), 0);
        const int steps = scene->undoStack()->count();
        QVERIFY(ItemSamples::undoRedoRestores(
            *scene->undoStack(), *scene, [&] { enterInto(*dock, "线条颜色", QColor(Qt::red)); }));
        QCOMPARE(scene->undoStack()->count(), steps + 1);
        QCOMPARE(item->penColor(), QColor(Qt::red));
        QTRY_VERIFY_WITH_TIMEOUT(redPixels() > 100, 5000);

        // Clicking empty canvas empties the dock.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(600, 500)));
        QTRY_COMPARE(titles(*dock).size(), 0);

        // Closing the document takes its items, and their rows, along.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(200, 160)));
        QTRY_COMPARE(titles(*dock).size(), 3);
        TestSupport::whenModal(
            [](QWidget *box) { static_cast<QMessageBox *>(box)->button(QMessageBox::Discard)->click(); });
        w.form().action_Close->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(titles(*dock).size(), 0, 5000);
    }
};

QTEST_MAIN(TestPropertyDock)
#include "tst_propertydock.moc"
