// The platform layer as the editor uses it: project folders, message boxes, the data link's
// server form, a logo file, the library managers of the Tools menu, and the small settings
// dialogs: canvas, drawing defaults, pushed-graph window.
#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dbserverform.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/dlgenvsettings.h"
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "grouptool.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "librarychoice.h"
#include "painttool.h"
#include "testsupport.h"
#include "zmessagebox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

namespace {

using TestSupport::child;
using TestSupport::readFile;
using TestSupport::writeFile;

QString logo()
{
    return applicationDir() + QStringLiteral("/Project/logo.bmp");
}

QString iniPath()
{
    return TestSupport::projectFolder() + QStringLiteral("/DlgPushGraphProperty.ini");
}

// Mode, width, height and time as the push-graph dialog shows them.
QList<int> shownWindow(QDialog *dlg)
{
    return {child<QComboBox>(dlg, "comboBox")->currentIndex(), child<QSpinBox>(dlg, "spinBoxWidth")->value(),
        child<QSpinBox>(dlg, "spinBoxHeight")->value(), child<QSpinBox>(dlg, "spinBoxTime")->value()};
}

// Clicks a manager's button, entering `name` into the input dialog it opens, if any, and
// giving `answer` to any question after it.
void press(FolderBrowser &manager, const char *button, QMessageBox::StandardButton answer = QMessageBox::Yes,
    const QString &name = QString())
{
    TestSupport::answerModals([&] { manager.findChild<QPushButton *>(QLatin1String(button))->click(); }, name, answer);
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    // The logo is chosen once per run, so the file must be there before any box is built.
    void initTestCase()
    {
        TestSupport::isolate("platform");
        QVERIFY(QDir().mkpath(applicationDir() + QStringLiteral("/Project")));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(logo(), "BMP"));
    }

    void cleanupTestCase() { QFile::remove(logo()); }

    void cleanup() { QFile::remove(iniPath()); }

    // A logo file in the Project folder beside the executable replaces the built-in picture and
    // sizes the box, for the rest of the run.
    void logoFileSetsTheAboutBox()
    {
        AboutDlg dlg(0, nullptr);
        dlg.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(dlg.size(), QSize(300, 200));
        QVERIFY(dlg.styleSheet().contains(logo()));
        QFile::remove(logo());
        QCOMPARE(AboutDlg::logoPath(), logo());
    }

    void projectFolders()
    {
        const QString root = QDir(TestSupport::projectFolder()).absolutePath() + QLatin1Char('/');
        QCOMPARE(AbstractGraphicsUtility::projectDir(), root);
        AbstractGraphicsUtility::initProject();
        for (const QString &dir : {AbstractGraphicsUtility::graphDir(), AbstractGraphicsUtility::templateDir(),
                 AbstractGraphicsUtility::svgDir(), GroupTool::dir()}) {
            QVERIFY2(dir.startsWith(root) && dir.endsWith(QLatin1Char('/')) && dir != root && QDir(dir).exists(),
                qPrintable(dir));
        }

        // Without the override the folder is "Project" beside the executable.
        const QByteArray saved = qgetenv("PLOTWRIGHT_PROJECT_DIR");
        qunsetenv("PLOTWRIGHT_PROJECT_DIR");
        const QString beside = AbstractGraphicsUtility::projectDir();
        qputenv("PLOTWRIGHT_PROJECT_DIR", saved);
        QCOMPARE(beside, QCoreApplication::applicationDirPath() + QStringLiteral("/Project/"));
    }

    // The flags choose the icon and the buttons; the box answers with the button clicked.
    void messageBoxFlags()
    {
        const int rows[][3] = {{16, QMessageBox::Critical, QMessageBox::Ok},
            {36, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
            {49, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel},
            {64, QMessageBox::Information, QMessageBox::Ok}};
        for (const auto &row : rows) {
            QString shown;
            int clicked = -1;
            TestSupport::whenModal([&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                shown = QStringLiteral("%1 %2 ").arg(int(box->icon())).arg(int(box->standardButtons()))
                    + TestSupport::describeBox(box);
                clicked = box->standardButton(box->buttons().last());
                box->buttons().last()->click();
            });
            const int result
                = ZMessageBox(nullptr, QStringLiteral("读取调色板文件错误 !"), QStringLiteral("标题"), row[0]);
            QCOMPARE(result, clicked);
            QCOMPARE(shown, QStringLiteral("%1 %2 标题|读取调色板文件错误 !").arg(row[1]).arg(row[2]));
        }
    }

    // The confirmed server is kept, never its password; a cancelled form keeps what was stored.
    void serverFormRemembersConfirmedServer()
    {
        for (bool confirm : {true, false}) {
            TestSupport::whenModal([confirm](QWidget *modal) {
                auto *host = child<QLineEdit>(modal, "lineEdit_Host");
                QVERIFY(confirm || host->text() == QStringLiteral("10.1.2.3"));
                host->setText(confirm ? QStringLiteral("10.1.2.3") : QStringLiteral("elsewhere"));
                child<QSpinBox>(modal, "spinBox_Port")->setValue(6543);
                child<QLineEdit>(modal, "lineEdit_Password")->setText(QStringLiteral("secret"));
                confirm ? static_cast<QDialog *>(modal)->accept() : static_cast<QDialog *>(modal)->reject();
            });
            QCOMPARE(CDataLink::ShowSetDbServerForm(), int(confirm));
            const DbServerSettings stored = DbServerSettings::load();
            QCOMPARE(stored.host + QLatin1Char(':') + QString::number(stored.port), QStringLiteral("10.1.2.3:6543"));
        }
        QSettings settings;
        for (const QString &key : settings.allKeys())
            QVERIFY(!settings.value(key).toString().contains(QStringLiteral("secret")));
    }

    void canvasDialog()
    {
        DlgEnvSettings fractional(QRectF(5, 7, 800.9, 600.2), nullptr);
        QCOMPARE(child<QSpinBox>(&fractional, "spinBox_Width")->value(), 800);
        QCOMPARE(fractional.rect(), QRectF(0, 0, 800, 600));
        DlgEnvSettings huge(QRectF(0, 0, 300000, 50), nullptr);
        QCOMPARE(huge.rect(), QRectF(0, 0, 204800, 100));
    }

    // Every line head and end shows its line. Width, pen style, brush style, line head and line
    // end are shown and handed back, each field its own value; the colours are not the dialog's.
    void paintPropertyDialog()
    {
        DlgPaintProperty dlg(nullptr);
        for (const char *name : {"comboBox_2", "comboBox_3"}) {
            auto *box = child<QComboBox>(&dlg, name);
            for (int i = 0; i < box->count(); ++i)
                QVERIFY(box->itemIcon(i).pixmap(16, 16).toImage().pixelColor(8, 8).alpha() > 0); // shows its line
        }
        DrawingDefaults in;
        in.penWidth = 10;
        in.penStyle = 2;
        in.brushStyle = 1;
        in.lineHead = 1;
        in.lineEnd = 0;
        dlg.setValue(in);
        QStringList shown{child<QSpinBox>(&dlg, "spinBox")->text()};
        for (const char *box : {"comboBox_4", "comboBox", "comboBox_2", "comboBox_3"})
            shown << child<QComboBox>(&dlg, box)->currentText();
        QCOMPARE(shown, (QStringList{"10", "虚线", "实心", "<──", "──"}));
        // A record that differs in every field, so that a field left unwritten shows.
        DrawingDefaults out;
        out.penWidth = out.penStyle = out.brushStyle = out.lineHead = out.lineEnd = 9;
        out.penColor = QColor(12, 34, 56);
        out.bruchColor = QColor(200, 100, 50, 128);
        dlg.value(out);
        QCOMPARE((QList<QVariant>{out.penWidth, out.penStyle, out.brushStyle, out.lineHead, out.lineEnd, out.penColor,
                     out.bruchColor}),
            (QList<QVariant>{10, 2, 1, 1, 0, QColor(12, 34, 56), QColor(200, 100, 50, 128)}));
    }

    // What the dialog shows for a stored file (none, written by hand, out of range); the same
    // changes cancelled write nothing, confirmed write the file that the next dialog shows.
    void pushGraphSettings_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("no file") << QByteArray() << QList<int>{0, 800, 600, 5}
                                 << QByteArray("[General]\nmode=1\nsize=@Size(1024 600)\ntime=30\n");
        QTest::newRow("by hand") << QByteArray("[General]\r\nmode=1\r\ntime=30\r\n") << QList<int>{1, 800, 600, 30}
                                 << QByteArray("[General]\nmode=0\nsize=@Size(1024 600)\ntime=30\n");
        QTest::newRow("size out of range")
            << QByteArray("[General]\nsize=@Size(3000 50)\ntime=9999\n") << QList<int>{0, 2048, 100, 3600}
            << QByteArray("[General]\nmode=1\nsize=@Size(1024 100)\ntime=30\n");
    }

    void pushGraphSettings()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QList<int>, shown);
        QFETCH(QByteArray, saved);
        QVERIFY(stored.isEmpty() || writeFile(iniPath(), stored));
        for (bool confirm : {false, true}) {
            DlgPushGraphProperty dlg(nullptr);
            dlg.show();
            QCOMPARE(shownWindow(&dlg), shown);
            QTest::keyClick(child<QComboBox>(&dlg, "comboBox"), shown[0] ? Qt::Key_Up : Qt::Key_Down);
            for (const QStringList &entry : {QStringList{"spinBoxWidth", "1024"}, QStringList{"spinBoxTime", "30"}}) {
                auto *spin = dlg.findChild<QSpinBox *>(entry[0]);
                spin->setFocus();
                QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(spin, entry[1]);
            }
            QTest::mouseClick(child<QPushButton>(&dlg, confirm ? "pushButtonOK" : "pushButtonCancel"), Qt::LeftButton);
            QCOMPARE(dlg.result(), confirm ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(QFile::exists(iniPath()), confirm || !stored.isEmpty());
            QCOMPARE(readFile(iniPath()), confirm ? saved : stored);
        }
        DlgPushGraphProperty again(nullptr);
        QCOMPARE(shownWindow(&again), (QList<int>{!shown[0], 1024, shown[2], 30}));
    }

    // The custom symbol manager (the others differ in their folder only; the group manager's
    // pictures: tst_view): an import asks before it replaces, a rename refuses a taken name, a
    // delete asks. The first entry is the current one until one is chosen; the choice follows a
    // rename, and a new picture shows it.
    void managesItsFolder()
    {
        AbstractGraphicsUtility::initProject();
        PaintTool manager;
        const QString folder = LibraryChoice::folder(ItemKind::CustomSymbol);
        const QString outside = TestSupport::projectFolder() + QStringLiteral("/b.png");
        const auto importFile = [&](QMessageBox::StandardButton overwrite) {
            TestSupport::answerFileRequest(outside);
            press(manager, "pushButtonImport", overwrite);
        };
        // The entries with their contents, then the current one.
        const auto state = [&] {
            QStringList entries;
            for (const QString &entry : manager.entries())
                entries << entry + '=' + readFile(folder + entry);
            return entries << LibraryChoice::current(ItemKind::CustomSymbol);
        };
        QVERIFY(writeFile(folder + QStringLiteral("a.png"), "first"));
        QVERIFY(writeFile(folder + QStringLiteral("notes.txt"), "x")); // not of the library's kind
        QVERIFY(writeFile(outside, "one"));
        manager.on_Refresh();
        importFile(QMessageBox::Yes);
        QCOMPARE(state(), (QStringList{"a.png=first", "b.png=one", "a.png"}));
        QVERIFY(writeFile(outside, "two"));
        importFile(QMessageBox::No);
        QCOMPARE(state(), (QStringList{"a.png=first", "b.png=one", "a.png"}));
        importFile(QMessageBox::Yes);
        QCOMPARE(state(), (QStringList{"a.png=first", "b.png=two", "a.png"}));

        auto *list = manager.findChild<QListWidget *>(QStringLiteral("listWidget"));
        list->setCurrentItem(list->findItems(QStringLiteral("b.png"), Qt::MatchExactly).value(0));
        manager.findChild<QPushButton *>(QStringLiteral("pushButtonChoose"))->click();
        press(manager, "pushButtonRename", QMessageBox::Ok, QStringLiteral("a")); // taken: refused
        press(manager, "pushButtonRename", QMessageBox::Ok, QStringLiteral("c"));
        QCOMPARE(state(), (QStringList{"a.png=first", "c.png=two", "c.png"}));
        const std::unique_ptr<GraphicsItem> drawn(ItemSamples::create(ItemKind::CustomSymbol, QRectF(0, 0, 9, 9)));
        QCOMPARE(drawn->propertyValue(QStringLiteral("图符文件")).toString(), QStringLiteral("c.png"));
        press(manager, "pushButtonDelete", QMessageBox::No);
        QCOMPARE(state(), (QStringList{"a.png=first", "c.png=two", "c.png"}));
        press(manager, "pushButtonDelete", QMessageBox::Yes);
        QCOMPARE(state(), (QStringList{"a.png=first", "a.png"}));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
