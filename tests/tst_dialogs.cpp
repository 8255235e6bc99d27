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
using TestSupport::readFile;

QString iniPath()
{
    return TestSupport::projectFolder() + QStringLiteral("/DlgPushGraphProperty.ini");
}

int alphaAt(const QIcon &icon, int x, int y)
{
    return icon.pixmap(16, 16).toImage().pixelColor(x, y).alpha();
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

    void cleanup() { QFile::remove(iniPath()); }

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

    // Width, pen style, brush style, line head and line end shown and handed back; the colours
    // are not the dialog's and stay.
    void paintPropertyRoundTrip()
    {
        const QList<QPair<QList<int>, QStringList>> rows{{{0, 0, 0, 0, 0}, {"0", "无", "无", "──", "──"}},
            {{10, 2, 1, 1, 0}, {"10", "虚线", "实心", "<──", "──"}},
            {{7, 5, 1, 0, 1}, {"7", "双点划线", "实心", "──", "──>"}}};
        for (const auto &row : rows) {
            DrawingDefaults in;
            in.penWidth = row.first[0];
            in.penStyle = row.first[1];
            in.brushStyle = row.first[2];
            in.lineHead = row.first[3];
            in.lineEnd = row.first[4];
            DlgPaintProperty dlg(nullptr);
            dlg.setValue(in);
            QStringList shown{child<QSpinBox>(&dlg, "spinBox")->text()};
            for (const char *box : {"comboBox_4", "comboBox", "comboBox_2", "comboBox_3"})
                shown << child<QComboBox>(&dlg, box)->currentText();
            QCOMPARE(shown, row.second);
            // A record that differs in every field, so that a field left unwritten shows.
            DrawingDefaults out;
            out.penWidth = out.penStyle = out.brushStyle = out.lineHead = out.lineEnd = 9;
            out.penColor = QColor(12, 34, 56);
            out.bruchColor = QColor(200, 100, 50, 128);
            dlg.value(out);
            QCOMPARE((QList<int>{out.penWidth, out.penStyle, out.brushStyle, out.lineHead, out.lineEnd}), row.first);
            QCOMPARE((QList<QColor>{out.penColor, out.bruchColor}),
                (QList<QColor>{QColor(12, 34, 56), QColor(200, 100, 50, 128)}));
        }
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
        QVERIFY(stored.isEmpty() || TestSupport::writeFile(iniPath(), stored));
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
            QVERIFY(!dlg.isVisible());
            QCOMPARE(dlg.result(), confirm ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(QFile::exists(iniPath()), confirm || !stored.isEmpty());
            QCOMPARE(readFile(iniPath()), confirm ? saved : stored);
        }
        DlgPushGraphProperty again(nullptr);
        QCOMPARE(shownWindow(&again), (QList<int>{!shown[0], 1024, shown[2], 30}));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
