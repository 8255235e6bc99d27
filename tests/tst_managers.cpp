// The library managers of the Tools menu: import, rename and delete (asking first), and the
// current entry of each drawing tool. Drawing a group from its library: tst_grouping.
#include "graphicsitem.h"
#include "grouptool.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "librarychoice.h"
#include "painttool.h"
#include "svgtool.h"
#include "testsupport.h"

#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

// Clicks a manager's button, answering the dialog it opens and any question after it.
void press(FolderBrowser &manager, const char *button, std::function<void(QWidget *)> answerDialog = {},
    QMessageBox::StandardButton answer = QMessageBox::Yes)
{
    TestSupport::whenModals(
        [&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(box->button(answer) ? answer : QMessageBox::Ok)->click();
            else
                answerDialog(modal);
        },
        1000);
    manager.findChild<QPushButton *>(QLatin1String(button))->click();
    TestSupport::cancelPendingModals();
}

void selectEntry(FolderBrowser &manager, const QString &name)
{
    auto *list = manager.findChild<QListWidget *>(QStringLiteral("listWidget"));
    list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
}

} // namespace

class TestManagers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("managers");
        AbstractGraphicsUtility::initProject();
    }

    void managesItsFolder_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("custom symbols") << int(ItemKind::CustomSymbol) << ".png";
        QTest::newRow("SVG drawings") << int(ItemKind::SvgPicture) << ".svg";
        QTest::newRow("item groups") << int(ItemKind::Group) << ".grp";
    }

    void managesItsFolder()
    {
        QFETCH(int, tool);
        QFETCH(QString, suffix);
        std::unique_ptr<FolderBrowser> manager(tool == ItemKind::CustomSymbol
                ? static_cast<FolderBrowser *>(new PaintTool)
                : tool == ItemKind::SvgPicture ? static_cast<FolderBrowser *>(new SvgTool)
                                               : new GroupTool);
        const QString folder = LibraryChoice::folder(tool);
        const QString outside = TestSupport::projectFolder() + QStringLiteral("/b") + suffix;
        const auto importFile = [&](QMessageBox::StandardButton overwrite) {
            TestSupport::answerFileRequest(outside);
            press(*manager, "pushButtonImport", {}, overwrite);
        };
        const auto rename = [&](const QString &to) {
            press(*manager, "pushButtonRename", [&](QWidget *modal) {
                qobject_cast<QInputDialog *>(modal)->setTextValue(to);
                qobject_cast<QInputDialog *>(modal)->accept();
            });
        };
        QVERIFY(writeFile(folder + QStringLiteral("a") + suffix, "first"));
        QVERIFY(writeFile(outside, "one"));
        manager->on_Refresh();
        QCOMPARE(LibraryChoice::current(tool), "a" + suffix); // the first entry until one is chosen
        importFile(QMessageBox::Yes);
        QCOMPARE(manager->entries(), (QStringList{"a" + suffix, "b" + suffix}));
        QVERIFY(writeFile(outside, "two"));
        importFile(QMessageBox::No);
        QCOMPARE(readFile(folder + "b" + suffix), QByteArray("one"));
        importFile(QMessageBox::Yes);
        QCOMPARE(readFile(folder + "b" + suffix), QByteArray("two"));

        selectEntry(*manager, "b" + suffix);
        manager->findChild<QPushButton *>(QStringLiteral("pushButtonChoose"))->click();
        QCOMPARE(LibraryChoice::current(tool), "b" + suffix);
        rename(QStringLiteral("a")); // taken: refused
        rename(QStringLiteral("c"));
        QCOMPARE(manager->entries(), (QStringList{"a" + suffix, "c" + suffix}));
        QCOMPARE(readFile(folder + "c" + suffix), QByteArray("two"));
        QCOMPARE(LibraryChoice::current(tool), "c" + suffix); // the choice follows the name
        if (tool != ItemKind::Group) { // a new picture shows the current entry
            std::unique_ptr<GraphicsItem> drawn(ItemSamples::create(tool, QRectF(0, 0, 9, 9)));
            QCOMPARE(
                drawn->propertyValue(tool == ItemKind::CustomSymbol ? "图符文件" : "SVG文件").toString(), "c" + suffix);
        }

        press(*manager, "pushButtonDelete", {}, QMessageBox::No);
        QVERIFY(QFile::exists(folder + "c" + suffix));
        press(*manager, "pushButtonDelete", {}, QMessageBox::Yes);
        QCOMPARE(manager->entries(), QStringList{"a" + suffix});
        QCOMPARE(LibraryChoice::current(tool), "a" + suffix);
        QVERIFY(QFile::remove(folder + "a" + suffix));
    }
};

QTEST_MAIN(TestManagers)
#include "tst_managers.moc"
