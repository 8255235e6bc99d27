// The drawing-defaults dialog and the pushed-graph window settings with their INI file.
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "drawingdefaults.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

using TestSupport::child;

// Runs the dialog with exec(); `interact` works the real widgets once it is on screen and is
// expected to close it. A dialog it leaves open is rejected (and -1 returned) so that the
// test cannot hang.
int runModal(QDialog &dialog, std::function<void(QDialog *)> interact)
{
    bool leftOpen = false;
    TestSupport::whenModal([&dialog, interact, &leftOpen](QWidget *modal) {
        if (modal != &dialog)
            return;
        interact(&dialog);
        if ((leftOpen = dialog.isVisible()))
            dialog.reject();
    });
    const int result = dialog.exec();
    return leftOpen ? -1 : result;
}

// Replaces the whole text of a spin box by typing, as a user would.
void typeInto(QDialog *dialog, const char *spinBox, const QString &text)
{
    auto *box = child<QSpinBox>(dialog, spinBox);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

QString iniPath()
{
    return TestSupport::projectFolder() + QStringLiteral("/DlgPushGraphProperty.ini");
}

using TestSupport::readFile;
using TestSupport::writeFile;

int alphaAt(const QIcon &icon, int x, int y)
{
    return icon.pixmap(16, 16).toImage().pixelColor(x, y).alpha();
}

// Line width, pen style, brush style, line head and line end as the dialog shows them.
QStringList shownDefaults(QDialog *dlg)
{
    QStringList shown{child<QSpinBox>(dlg, "spinBox")->text()};
    for (const char *box : {"comboBox_4", "comboBox", "comboBox_2", "comboBox_3"})
        shown << child<QComboBox>(dlg, box)->currentText();
    return shown;
}

// Mode, width, height and time as the push-graph dialog shows them.
QList<int> shownWindow(QDialog *dlg)
{
    return {child<QComboBox>(dlg, "comboBox")->currentIndex(), child<QSpinBox>(dlg, "spinBoxWidth")->value(),
        child<QSpinBox>(dlg, "spinBoxHeight")->value(), child<QSpinBox>(dlg, "spinBoxTime")->value()};
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("dialogs"); }

    void cleanup()
    {
        TestSupport::cancelPendingModals();
        QFile::remove(iniPath());
    }

    // --- DlgPaintProperty

    // What the user sees and can enter; the layout itself is left to the form.
    void paintPropertyForm()
    {
        DlgPaintProperty dlg(nullptr);
        QVERIFY(dlg.findChildren<QAbstractButton *>().isEmpty()); // closed only by the window
        QCOMPARE(child<QSpinBox>(&dlg, "spinBox")->maximum(), 10);
        QVERIFY(child<QSpinBox>(&dlg, "spinBox_2")->isHidden() && child<QLabel>(&dlg, "label_2")->isHidden());
        auto *head = child<QComboBox>(&dlg, "comboBox_2");
        auto *end = child<QComboBox>(&dlg, "comboBox_3");
        // The icons: just above the line near each end, ink only where the arrow head is.
        QVERIFY(alphaAt(head->itemIcon(0), 5, 6) == 0 && alphaAt(end->itemIcon(0), 10, 6) == 0);
        QVERIFY(alphaAt(head->itemIcon(1), 5, 6) > 0 && alphaAt(head->itemIcon(1), 10, 6) == 0);
        QVERIFY(alphaAt(end->itemIcon(1), 10, 6) > 0 && alphaAt(end->itemIcon(1), 5, 6) == 0);
        for (QComboBox *box : {head, end}) {
            for (int i = 0; i < box->count(); ++i)
                QVERIFY(alphaAt(box->itemIcon(i), 8, 8) > 0); // every entry shows its line
        }
    }

    void paintPropertyRoundTrip_data()
    {
        QTest::addColumn<QList<int>>("fields"); // width, pen style, brush style, line head, line end
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no pen") << QList<int>{0, 0, 0, 0, 0} << QStringList{"0", "无", "无", "──", "──"};
        QTest::newRow("dashed, filled, arrow at start")
            << QList<int>{10, 2, 1, 1, 0} << QStringList{"10", "虚线", "实心", "<──", "──"};
        QTest::newRow("dash dot dot, arrow at end")
            << QList<int>{7, 5, 1, 0, 1} << QStringList{"7", "双点划线", "实心", "──", "──>"};
    }

    void paintPropertyRoundTrip()
    {
        QFETCH(QList<int>, fields);
        QFETCH(QStringList, shown);
        DrawingDefaults in;
        in.penWidth = fields[0];
        in.penStyle = fields[1];
        in.brushStyle = fields[2];
        in.lineHead = fields[3];
        in.lineEnd = fields[4];
        DlgPaintProperty dlg(nullptr);
        dlg.setValue(in);
        QCOMPARE(shownDefaults(&dlg), shown);
        // A record that differs in every field, so that a field left unwritten shows; the
        // colours are not the dialog's and stay.
        DrawingDefaults out;
        out.penWidth = out.penStyle = out.brushStyle = out.lineHead = out.lineEnd = 9;
        out.penColor = QColor(12, 34, 56);
        out.bruchColor = QColor(200, 100, 50, 128);
        dlg.value(out);
        QCOMPARE((QList<int>{out.penWidth, out.penStyle, out.brushStyle, out.lineHead, out.lineEnd}), fields);
        QCOMPARE(out.penColor, QColor(12, 34, 56));
        QCOMPARE(out.bruchColor, QColor(200, 100, 50, 128));
    }

    // --- DlgPushGraphProperty

    // What the dialog shows for a stored file (none, written by hand, out of range); neither
    // looking nor changing and cancelling writes anything.
    void pushGraphShowsStoredAndCancelWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("no file") << QByteArray() << QList<int>{0, 800, 600, 5};
        QTest::newRow("by hand") << QByteArray("[General]\r\nmode=1\r\ntime=30\r\n") << QList<int>{1, 800, 600, 30};
        QTest::newRow("size out of range")
            << QByteArray("[General]\nsize=@Size(3000 50)\ntime=9999\n") << QList<int>{0, 2048, 100, 3600};
    }

    void pushGraphShowsStoredAndCancelWritesNothing()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QList<int>, shown);
        QVERIFY(stored.isEmpty() || writeFile(iniPath(), stored));
        DlgPushGraphProperty dlg(nullptr);
        QCOMPARE(shownWindow(&dlg), shown);
        QCOMPARE(readFile(iniPath()), stored);
        const int result = runModal(dlg, [](QDialog *dialog) {
            QTest::keyClick(child<QComboBox>(dialog, "comboBox"), Qt::Key_Down);
            typeInto(dialog, "spinBoxWidth", QStringLiteral("300"));
            QTest::mouseClick(child<QPushButton>(dialog, "pushButtonCancel"), Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(QFile::exists(iniPath()), !stored.isEmpty());
        QCOMPARE(readFile(iniPath()), stored);
    }

    void pushGraphConfirmSaves()
    {
        {
            DlgPushGraphProperty dlg(nullptr);
            const int result = runModal(dlg, [](QDialog *shown) {
                QTest::keyClick(child<QComboBox>(shown, "comboBox"), Qt::Key_Down);
                typeInto(shown, "spinBoxWidth", QStringLiteral("1024"));
                typeInto(shown, "spinBoxHeight", QStringLiteral("768"));
                typeInto(shown, "spinBoxTime", QStringLiteral("30"));
                QTest::mouseClick(child<QPushButton>(shown, "pushButtonOK"), Qt::LeftButton);
            });
            QCOMPARE(result, int(QDialog::Accepted));
        }
        QSettings stored(iniPath(), QSettings::IniFormat);
        stored.setIniCodec(QTextCodec::codecForLocale());
        QStringList keys = stored.allKeys();
        keys.sort();
        QCOMPARE(keys, QStringList({"mode", "size", "time"}));
        QCOMPARE(stored.value("mode").toInt(), 1);
        QCOMPARE(stored.value("size").toSize(), QSize(1024, 768));
        QCOMPARE(stored.value("time").toInt(), 30);
        // The size is kept in the notation that any QSettings reader understands.
        QVERIFY(readFile(iniPath()).contains("size=@Size(1024 768)"));
        // The next dialog starts from what was saved.
        DlgPushGraphProperty again(nullptr);
        QCOMPARE(shownWindow(&again), (QList<int>{1, 1024, 768, 30}));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
