// Variable replacement: the dialog's start, its refusals, the preview and the rebinding of
// the items' point ids to the records that carry the new names.
#include "cdatalink.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

using TestSupport::child;

namespace {
// Items as "svgID/ykID"; `device` checks the box and picks it; a null `to` keeps the start
// text. `seen`: the start (device names, replacement text), then each preview row (red when
// changed) and message, "open" when the dialog stays open.
struct Case
{
    const char *tag;
    QStringList items;
    bool stringMode;
    QString device;
    QString from;
    QString to;
    bool confirm;
    QStringList seen;
    QStringList after;
};

QList<Case> cases()
{
    const QStringList rows{"DevA,DevA", "DevA.Ia>DevB.Ia red", "DevA.Ib>DevB.Ib red"};
    const QString cut = QStringLiteral("存在不合法的替换可能导致命名不规范，不允许进行设置!");
    return {
        {"device name", {"1/2", "1/", "7/999"}, false, "", "", "DevB", true, rows + QStringList{"共替换 2 处!"},
            {"3/4", "3/", "7/999"}},
        {"preview cancelled", {"1/2"}, false, "", "", "DevB", false, rows + QStringList{"open"}, {"1/2"}},
        {"unchanged name", {"1/"}, false, "", "", QString(), true, {"DevA,DevA", "DevA.Ia>DevA.Ia", "共替换 0 处!"},
            {"1/"}},
        {"two devices", {"1/3"}, false, "", "", "DevB", true,
            {"DevA DevB,DevA", "变量设备名不一致，不允许批量设置", "open"}, {"1/3"}},
        {"checked device", {"1/3", "4/"}, false, "DevB", "", "DevA", true,
            {"DevA DevB,DevA", "DevB.Ia>DevA.Ia red", "DevB.Ib>DevA.Ib red", "共替换 2 处!"}, {"1/1", "2/"}},
        {"pattern and group", {"1/2", "7/"}, true, "", "I(.)", "U\\11", true,
            {"DevA,DevA", "DevA.Ia>DevA.Ua1 red", "共替换 1 处!"}, {"5/2", "7/"}},
        {"blank replacement", {"1/"}, false, "", "", "  ", true,
            {"DevA,DevA", "替换参数为有误，不允许批量设置", "open"}, {"1/"}},
        {"cut name", {"2/1"}, true, "", "b$", "-", true, {"DevA,DevA", cut, "open"}, {"2/1"}},
    };
}
} // namespace

class TestReplaceVariables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("replacevariables");
        // Ib has no counterpart with its qualifier as Ub1; Ic's counterpart on DevB has no id.
        CDataLink::GetDataLink()->idList = {{"1", "Ia", "q", "DevA"}, {"2", "Ib", "q", "DevA"},
            {"3", "Ia", "q", "DevB"}, {"4", "Ib", "q", "DevB"}, {"5", "Ua1", "q", "DevA"}, {"6", "Ub1", "x", "DevA"},
            {"7", "Ic", "q", "DevA"}, {"", "Ic", "q", "DevB"}, {"9", "I-", "q", "DevA"}};
    }

    void replace_data()
    {
        QTest::addColumn<int>("row");
        const QList<Case> all = cases();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all.at(i).tag) << i;
    }

    void replace()
    {
        QFETCH(int, row);
        const Case c = cases().at(row);
        // The items sit in a group: the scene hands over the selected group and its members.
        Scene scene;
        auto *group = new GroupItem;
        scene.addItem(group);
        QList<GraphicsItem *> bound;
        for (const QString &ids : c.items) {
            bound << ItemSamples::create(ItemKind::Rectangle, QRectF(bound.size() * 50, 0, 40, 40));
            bound.last()->setSvgID(ids.section('/', 0, 0));
            bound.last()->setYkID(ids.section('/', 1, 1));
            bound.last()->setParentItem(group);
        }
        group->setSelected(true);

        QStringList noted;
        QWidget *dialog = nullptr;
        TestSupport::whenModals(
            [&](QWidget *modal) {
                auto *combo = child<QComboBox>(modal, "comboBox");
                if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                    noted << box->text();
                    box->button(QMessageBox::Ok)->click();
                } else if (auto *table = modal->findChild<QTableWidget *>()) {
                    for (int row = 0; row < table->rowCount(); ++row)
                        noted << table->item(row, 0)->text() + '>' + table->item(row, 1)->text()
                                + (table->item(row, 1)->background().color() == Qt::red ? " red" : "");
                    c.confirm ? static_cast<QDialog *>(modal)->accept() : static_cast<QDialog *>(modal)->reject();
                } else if (modal == dialog) {
                    noted << QStringLiteral("open");
                    static_cast<QDialog *>(modal)->reject();
                } else {
                    dialog = modal;
                    QStringList names;
                    for (int i = 0; i < combo->count(); ++i)
                        names << combo->itemText(i);
                    auto *lineEditTo = child<QLineEdit>(modal, "lineEditTo");
                    noted << names.join(' ') + ',' + lineEditTo->text();
                    QVERIFY(child<QLineEdit>(modal, "lineEditFrom")->isHidden() && !combo->isEnabled());
                    QCOMPARE(modal->windowTitle(), QStringLiteral("变量替换"));
                    child<QRadioButton>(modal, "radioButtonChar")->setChecked(c.stringMode);
                    child<QCheckBox>(modal, "checkBox")->setChecked(!c.device.isEmpty());
                    combo->setCurrentText(c.device.isEmpty() ? combo->currentText() : c.device);
                    child<QLineEdit>(modal, "lineEditFrom")->setText(c.from);
                    lineEditTo->setText(c.to.isNull() ? lineEditTo->text() : c.to);
                    child<QPushButton>(modal, "pushButtonReplace")->click();
                }
            },
            2000);
        scene.replaceVariables(scene.utilityItems(scene.selectedItems()));
        TestSupport::cancelPendingModals();
        QCOMPARE(noted, c.seen);
        QStringList ids;
        for (GraphicsItem *item : bound)
            ids << item->svgID() + '/' + item->ykID();
        QCOMPARE(ids, c.after);
    }
};

QTEST_MAIN(TestReplaceVariables)
#include "tst_replacevariables.moc"
