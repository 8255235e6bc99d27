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

// Clicks a manager's button, entering `name` into the input dialog it opens, if any, and
// giving `answer` to any question after it.
void press(FolderBrowser &manager, const char *button, QMessageBox::StandardButton answer = QMessageBox::Yes,
    const QString &name = QString())
{
    TestSupport::whenModals(
        [&](QWidget *modal) {
            if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                input->setTextValue(name);
                input->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                box->button(box->button(answer) ? answer : QMessageBox::Ok)->click();
            }
        },
        1000);
    manager.findChild<QPushButton *>(QLatin1String(button))->click();
    TestSupport::cancelPendingModals();
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
            press(*manager, "pushButtonImport", overwrite);
        };
        // The entries with their contents, then the current one.
        const auto state = [&] {
            QStringList entries;
            for (const QString &entry : manager->entries())
                entries << entry + '=' + readFile(folder + entry);
            return entries << LibraryChoice::current(tool);
        };
        const QString a = "a" + suffix, b = "b" + suffix, c = "c" + suffix;
        QVERIFY(writeFile(folder + a, "first"));
        QVERIFY(writeFile(folder + QStringLiteral("notes.txt"), "x")); // not of the library's kind
        QVERIFY(writeFile(outside, "one"));
        manager->on_Refresh();
        importFile(QMessageBox::Yes);
        // The first entry is the current one until one is chosen.
        QCOMPARE(state(), (QStringList{a + "=first", b + "=one", a}));
        QVERIFY(writeFile(outside, "two"));
        importFile(QMessageBox::No);
        QCOMPARE(state(), (QStringList{a + "=first", b + "=one", a}));
        importFile(QMessageBox::Yes);
        QCOMPARE(state(), (QStringList{a + "=first", b + "=two", a}));

        auto *list = manager->findChild<QListWidget *>(QStringLiteral("listWidget"));
        list->setCurrentItem(list->findItems(b, Qt::MatchExactly).value(0));
        manager->findChild<QPushButton *>(QStringLiteral("pushButtonChoose"))->click();
        press(*manager, "pushButtonRename", QMessageBox::Ok, QStringLiteral("a")); // taken: refused
        press(*manager, "pushButtonRename", QMessageBox::Ok, QStringLiteral("c"));
        QCOMPARE(state(), (QStringList{a + "=first", c + "=two", c})); // the choice follows the name
        if (tool != ItemKind::Group) { // a new picture shows the current entry
            std::unique_ptr<GraphicsItem> drawn(ItemSamples::create(tool, QRectF(0, 0, 9, 9)));
            QCOMPARE(drawn->propertyValue(tool == ItemKind::CustomSymbol ? "图符文件" : "SVG文件").toString(), c);
        }
        press(*manager, "pushButtonDelete", QMessageBox::No);
        QCOMPARE(state(), (QStringList{a + "=first", c + "=two", c}));
        press(*manager, "pushButtonDelete", QMessageBox::Yes);
        QCOMPARE(state(), (QStringList{a + "=first", a}));
        QVERIFY(QFile::remove(folder + a));
    }
};

QTEST_MAIN(TestManagers)
#include "tst_managers.moc"
