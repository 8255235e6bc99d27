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

    void typesShowAndEdit_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantHash>("attributes");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("next");
        const QString dir = TestSupport::projectFolder();
        QFile picked(dir + "/站.drw"); // browsing picks existing files only
        QVERIFY(picked.open(QIODevice::WriteOnly));
        QFont font("Noto Sans CJK SC", 12);
        QFont larger("Noto Sans CJK SC", 20);
        QTest::newRow("string") << int(QVariant::String) << QVariantHash() << QVariant("甲") << "甲"
                                << QVariant("ab c");
        QTest::newRow("bool") << int(QVariant::Bool) << QVariantHash() << QVariant(false) << "[ ]" << QVariant(true);
        QTest::newRow("int") << int(QVariant::Int) << QVariantHash() << QVariant(3) << "3" << QVariant(-42);
        QTest::newRow("double") << int(QVariant::Double) << QVariantHash{{"decimals", 3}} << QVariant(1.5) << "1.500"
                                << QVariant(2.25);
        QTest::newRow("colour") << int(QVariant::Color) << QVariantHash() << QVariant(QColor(1, 2, 3))
                                << "[1, 2, 3] (255)" << QVariant(QColor(200, 100, 0, 128));
        QTest::newRow("font") << int(QVariant::Font) << QVariantHash() << QVariant(font) << "[Noto Sans CJK SC, 12]"
                              << QVariant(larger);
        QTest::newRow("enum") << M::enumTypeId() << QVariantHash{{"enumNames", QStringList{"无", "实线", "虚线"}}}
                              << QVariant(1) << "实线" << QVariant(2);
        QTest::newRow("popup") << M::popupTypeId() << QVariantHash{{"items", QStringList{"秒", "分", "时"}}}
                               << QVariant("分") << "分" << QVariant("时");
        QTest::newRow("path typed") << M::pathTypeId() << QVariantHash() << QVariant("a.drw") << "a.drw"
                                    << QVariant("b.drw");
        QTest::newRow("path browsed") << M::pathTypeId()
                                      << QVariantHash{{"filter", "画面文件(*.drw)"}, {"directory", dir}} << QVariant("")
                                      << "" << QVariant(dir + "/站.drw");
        QTest::newRow("points") << M::pntTypeId() << QVariantHash()
                                << QVariant::fromValue(QPolygonF(QVector<QPointF>{{1, 2}})) << "(1, 2)"
                                << QVariant::fromValue(QPolygonF(QVector<QPointF>{{0, 0.5}, {10, -3}}));
    }

    void typesShowAndEdit()
    {
        QFETCH(int, type);
        QFETCH(QVariantHash, attributes);
        QFETCH(QVariant, start);
        QFETCH(QVariant, next);
        Browser b;
        QtVariantProperty *p = b.add(type, attributes, start);
        QFETCH(QString, text);
        QCOMPARE(shown(b.browser, p), text);
        enter(b.open(p), next);
        // The font dialog adds a style name; family and size are what was chosen.
        const auto same = [](const QVariant &v) {
            const QFont f = v.value<QFont>();
            return v.userType() == QMetaType::QFont ? QVariant(f.family() + QString::number(f.pointSize())) : v;
        };
        QCOMPARE(same(p->value()), same(next));
        QCOMPARE(b.changes.size(), 1);
        QCOMPARE(b.changes.first().at(0).value<QtProperty *>(), p);
        QCOMPARE(same(b.changes.first().at(1)), same(next));
        QCOMPARE(shown(b.browser, p), p->valueText().replace("否", "[ ]").replace("是", "[x]"));
    }

    void attributesLimitEditors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantHash>("attributes");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("kept");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QByteArray>("editorProperty");
        QTest::addColumn<QVariant>("editorValue");
        const QVariantHash range{{"minimum", 1}, {"maximum", 32}, {"singleStep", 4}};
        QTest::newRow("int max") << int(QVariant::Int) << range << QVariant(40) << QVariant(32) << ""
                                 << QByteArray("maximum") << QVariant(32);
        QTest::newRow("int step") << int(QVariant::Int) << range << QVariant(-5) << QVariant(1) << ""
                                  << QByteArray("singleStep") << QVariant(4);
        QTest::newRow("double") << int(QVariant::Double) << QVariantHash{{"minimum", 0.0}, {"decimals", 1}}
                                << QVariant(-2.0) << QVariant(0.0) << "" << QByteArray("decimals") << QVariant(1);
        QTest::newRow("enum") << M::enumTypeId() << QVariantHash{{"enumNames", QStringList{"a", "b"}}} << QVariant(5)
                              << QVariant(-1) << "" << QByteArray("count") << QVariant(2);
        QTest::newRow("popup keeps an unknown text")
            << M::popupTypeId() << QVariantHash{{"items", QStringList{"x", "y"}}} << QVariant("z") << QVariant("z")
            << "" << QByteArray("count") << QVariant(3);
        QTest::newRow("regExp") << int(QVariant::String) << QVariantHash{{"regExp", QRegExp("[0-9]+")}}
                                << QVariant("12a") << QVariant("12a") << "" << QByteArray("acceptableInput")
                                << QVariant(false);
        QTest::newRow("size") << int(QVariant::Size)
                              << QVariantHash{{"minimum", QSize(10, 10)}, {"maximum", QSize(100, 50)}}
                              << QVariant(QSize(200, 5)) << QVariant(QSize(100, 10)) << "宽" << QByteArray("maximum")
                              << QVariant(100);
        QTest::newRow("colour part") << int(QVariant::Color) << QVariantHash() << QVariant(QColor(Qt::red))
                                     << QVariant(QColor(Qt::red)) << "透明度" << QByteArray("maximum") << QVariant(255);
    }

    void attributesLimitEditors()
    {
        QFETCH(int, type);
        QFETCH(QVariantHash, attributes);
        QFETCH(QVariant, value);
        QFETCH(QVariant, kept);
        QFETCH(QString, row);
        QFETCH(QByteArray, editorProperty);
        QFETCH(QVariant, editorValue);
        Browser b;
        QtVariantProperty *p = b.add(type, attributes, value);
        QCOMPARE(p->value(), kept);
        QtProperty *target = p;
        for (QtProperty *part : p->subProperties())
            target = part->propertyName() == row ? part : target;
        QWidget *editor = b.open(target);
        QVERIFY(editor);
        QCOMPARE(editor->property(editorProperty), editorValue);
        QCOMPARE(b.changes.size(), 0);
    }

    void compoundParts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("start");
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QVariant>("partValue");
        QTest::addColumn<QVariant>("whole");
        QFont bold("Noto Sans CJK SC", 12);
        bold.setBold(true);
        QTest::newRow("size") << int(QVariant::Size) << QVariant(QSize(4, 5)) << QStringList{"宽", "高"} << QVariant(9)
                              << QVariant(QSize(4, 9));
        QTest::newRow("colour") << int(QVariant::Color) << QVariant(QColor(10, 20, 30))
                                << QStringList{"红", "绿", "蓝", "透明度"} << QVariant(200)
                                << QVariant(QColor(10, 200, 30));
        QTest::newRow("font") << int(QVariant::Font) << QVariant(QFont("Noto Sans CJK SC", 12))
                              << QStringList{"字体族", "字号", "粗体", "斜体", "下划线", "删除线", "字距调整"}
                              << QVariant(true) << QVariant(bold);
    }

    void compoundParts()
    {
        QFETCH(QVariant, start);
        QFETCH(QVariant, whole);
        QFETCH(QVariant, partValue);
        QFETCH(int, type);
        QFETCH(QStringList, parts);
        Browser b;
        QtVariantProperty *p = b.add(type, {}, start);
        for (QtProperty *part : p->subProperties())
            QCOMPARE(part->propertyName(), parts.takeFirst());
        QVERIFY(parts.isEmpty());
        // Editing a part changes the whole, and only the whole reports.
        auto *part = static_cast<QtVariantProperty *>(p->subProperties().at(type == QVariant::Font ? 2 : 1));
        enter(b.open(part), partValue);
        QCOMPARE(p->value(), whole);
        QCOMPARE(part->value(), partValue);
        QCOMPARE(b.changes.size(), 1);
        QCOMPARE(b.changes.at(0).at(0).value<QtProperty *>(), p);
        QCOMPARE(b.changes.at(0).at(1), whole);
        // Setting the whole moves its parts without a signal of theirs.
        b.manager.setValue(p, start);
        QCOMPARE(b.changes.size(), 2);
        QVERIFY(part->value() != partValue);
        QCOMPARE(shown(b.browser, part), part->valueText().replace("否", "[ ]"));
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
