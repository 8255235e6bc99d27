// The property browser on its own, driven through its tree and editors: what each type
// shows, what its editor writes back, what attributes allow, and compound values' parts.
#include "pointlistdialog.h"
#include "qttreepropertybrowser.h"
#include "qtvarianteditorfactory.h"
#include "qtvariantpropertymanager.h"
#include "testsupport.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPolygonF>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using M = QtVariantPropertyManager;

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
    QLineEdit *edit = qobject_cast<QLineEdit *>(editor);
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(editor))
        edit = spin->findChild<QLineEdit *>();
    else if (!edit && !qobject_cast<QCheckBox *>(editor) && !qobject_cast<QComboBox *>(editor))
        edit = editor->findChild<QLineEdit *>(); // a path: typed, or browsed below
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

} // namespace

class TestPropertyBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("propertybrowser");
        qRegisterMetaType<QtProperty *>();
    }

    void editors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantHash>("attributes");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QString>("text"); // what the row shows for it
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("part"); // the row edited, the whole when empty
        QTest::addColumn<QVariantHash>("editor"); // properties of the editor that opens
        QTest::addColumn<QVariant>("entered");
        QTest::addColumn<QVariant>("whole"); // the value afterwards
        const QString dir = TestSupport::projectFolder();
        QFile picked(dir + "/站.drw"); // browsing picks existing files only
        QVERIFY(picked.open(QIODevice::WriteOnly));
        const QFont font("Noto Sans CJK SC", 12);
        QFont bold = font;
        bold.setBold(true);
        const QStringList fontParts{"字体族", "字号", "粗体", "斜体", "下划线", "删除线", "字距调整"};
        const QStringList colourParts{"红", "绿", "蓝", "透明度"};
        const auto row
            = [](const char *name, int type, const QVariantHash &attributes, const QVariant &start) -> QTestData & {
            return QTest::newRow(name) << type << attributes << start;
        };
        row("string", QVariant::String, {}, "甲")
            << "甲" << QStringList() << "" << QVariantHash() << QVariant("ab c") << QVariant("ab c");
        row("string keeps a text its pattern refuses", QVariant::String, {{"regExp", QRegExp("[0-9]+")}}, "12a")
            << "12a" << QStringList() << "" << QVariantHash{{"acceptableInput", false}} << QVariant("34")
            << QVariant("34");
        row("bool", QVariant::Bool, {}, false)
            << "[ ]" << QStringList() << "" << QVariantHash() << QVariant(true) << QVariant(true);
        row("int into its range", QVariant::Int, {{"minimum", 1}, {"maximum", 32}, {"singleStep", 4}}, 40)
            << "32" << QStringList() << "" << QVariantHash{{"maximum", 32}, {"singleStep", 4}} << QVariant(7)
            << QVariant(7);
        row("double into its range", QVariant::Double, {{"minimum", 0.0}, {"decimals", 3}}, -2.0)
            << "0.000" << QStringList() << "" << QVariantHash{{"decimals", 3}} << QVariant(2.25) << QVariant(2.25);
        row("colour", QVariant::Color, {}, QColor(1, 2, 3))
            << "[1, 2, 3] (255)" << colourParts << "" << QVariantHash() << QVariant(QColor(200, 100, 0, 128))
            << QVariant(QColor(200, 100, 0, 128));
        row("colour part", QVariant::Color, {}, QColor(10, 20, 30))
            << "[10, 20, 30] (255)" << colourParts << "绿" << QVariantHash{{"maximum", 255}} << QVariant(200)
            << QVariant(QColor(10, 200, 30));
        row("font", QVariant::Font, {}, font)
            << "[Noto Sans CJK SC, 12]" << fontParts << "" << QVariantHash() << QVariant(QFont("Noto Sans CJK SC", 20))
            << QVariant(QFont("Noto Sans CJK SC", 20));
        row("font part", QVariant::Font, {}, font)
            << "[Noto Sans CJK SC, 12]" << fontParts << "粗体" << QVariantHash() << QVariant(true) << QVariant(bold);
        row("size part, both into range", QVariant::Size, {{"minimum", QSize(10, 10)}, {"maximum", QSize(100, 50)}},
            QSize(200, 5))
            << "100 x 10" << QStringList{"宽", "高"} << "宽" << QVariantHash{{"maximum", 100}} << QVariant(40)
            << QVariant(QSize(40, 10));
        row("enum", M::enumTypeId(), {{"enumNames", QStringList{"无", "实线", "虚线"}}}, 1)
            << "实线" << QStringList() << "" << QVariantHash{{"count", 3}} << QVariant(2) << QVariant(2);
        row("enum out of range", M::enumTypeId(), {{"enumNames", QStringList{"a", "b"}}}, 5)
            << "" << QStringList() << "" << QVariantHash{{"count", 2}} << QVariant(0) << QVariant(0);
        row("popup", M::popupTypeId(), {{"items", QStringList{"秒", "分", "时"}}}, "分")
            << "分" << QStringList() << "" << QVariantHash{{"count", 3}} << QVariant("时") << QVariant("时");
        row("popup keeps an unknown text first", M::popupTypeId(), {{"items", QStringList{"x", "y"}}}, "z")
            << "z" << QStringList() << "" << QVariantHash{{"count", 3}} << QVariant("x") << QVariant("x");
        row("path typed", M::pathTypeId(), {}, "a.drw")
            << "a.drw" << QStringList() << "" << QVariantHash() << QVariant("b.drw") << QVariant("b.drw");
        row("path browsed", M::pathTypeId(), {{"filter", "画面文件(*.drw)"}, {"directory", dir}}, "")
            << "" << QStringList() << "" << QVariantHash() << QVariant(dir + "/站.drw") << QVariant(dir + "/站.drw");
        const QPolygonF points(QVector<QPointF>{{0, 0.5}, {10, -3}});
        row("points", M::pntTypeId(), {}, QVariant::fromValue(QPolygonF(QVector<QPointF>{{1, 2}})))
            << "(1, 2)" << QStringList() << "" << QVariantHash() << QVariant::fromValue(points)
            << QVariant::fromValue(points);
    }

    // What a row shows, its parts, the editor that opens on it or on a part, and what entering
    // a value there does: the whole changes and alone reports; setting the whole again moves
    // the parts without a signal of theirs.
    void editors()
    {
        QFETCH(int, type);
        QFETCH(QVariantHash, attributes);
        QFETCH(QVariant, start);
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        QFETCH(QString, part);
        QFETCH(QVariantHash, editor);
        QFETCH(QVariant, entered);
        QFETCH(QVariant, whole);
        Browser b;
        QtVariantProperty *p = b.add(type, attributes, start);
        QCOMPARE(shown(b.browser, p), text);
        QStringList names;
        QtVariantProperty *target = p;
        for (QtProperty *sub : p->subProperties()) {
            names << sub->propertyName();
            target = sub->propertyName() == part ? static_cast<QtVariantProperty *>(sub) : target;
        }
        QCOMPARE(names, parts);
        QWidget *opened = b.open(target);
        QVERIFY(opened);
        for (auto it = editor.cbegin(); it != editor.cend(); ++it)
            QCOMPARE(opened->property(it.key().toLatin1()), it.value());
        enter(opened, entered);
        // The font dialog adds a style name; family and size are what was chosen.
        const auto same = [](const QVariant &v) {
            const QFont f = v.value<QFont>();
            return v.userType() == QMetaType::QFont ? QVariant(f.family() + QString::number(f.pointSize())) : v;
        };
        QCOMPARE(same(p->value()), same(whole));
        QCOMPARE(target->value(), entered.userType() == QMetaType::QFont ? target->value() : entered);
        QCOMPARE(b.changes.size(), 1);
        QCOMPARE(b.changes.first().at(0).value<QtProperty *>(), p);
        QCOMPARE(same(b.changes.first().at(1)), same(whole));
        QCOMPARE(shown(b.browser, target), target->valueText().replace("否", "[ ]").replace("是", "[x]"));
        b.manager.setValue(p, start);
        QCOMPARE(b.changes.size(), 2);
        QCOMPARE(shown(b.browser, target), target->valueText().replace("否", "[ ]").replace("是", "[x]"));
    }

    void groupsDisabledRowsAndClear()
    {
        Browser b;
        QtVariantProperty *group = b.manager.addProperty(M::groupTypeId(), "组");
        QtVariantProperty *a = b.manager.addProperty(QVariant::Int, "甲");
        QtVariantProperty *c = b.manager.addProperty(QVariant::Color, "乙");
        c->setEnabled(false);
        group->addSubProperty(a);
        group->addSubProperty(c);
        b.browser.setPropertiesWithoutValueMarked(true);
        b.browser.addProperty(group);
        QTreeWidget *tree = b.browser.treeWidget();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *top = tree->topLevelItem(0);
        QCOMPARE(top->text(0), "组");
        QVERIFY(top->font(0).bold() && top->background(1) != QBrush());
        QCOMPARE(top->childCount(), 2);
        QCOMPARE(top->child(1)->text(0), "乙");
        // A disabled row and its parts are greyed and open no editor.
        QVERIFY(top->child(1)->isDisabled() && top->child(1)->child(0)->isDisabled() && !top->child(0)->isDisabled());
        QVERIFY(!b.open(c));
        QVERIFY(b.open(a));
        // A sub-property added later shows at once.
        group->insertSubProperty(b.manager.addProperty(QVariant::Bool, "丙"), a);
        QCOMPARE(top->child(1)->text(0), "丙");

        b.manager.clear();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(b.manager.properties().isEmpty());
        QVERIFY(b.browser.properties().isEmpty());
        QCOMPARE(b.changes.size(), 0);
    }
};

QTEST_MAIN(TestPropertyBrowser)
#include "tst_propertybrowser.moc"
