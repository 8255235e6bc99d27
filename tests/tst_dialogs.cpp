// The drawing-defaults dialog and the pushed-graph window settings with their INI file.
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "drawingdefaults.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTextCodec>
#include <QtTest>

namespace {

template <typename T> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QStringList entriesOf(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Runs the dialog with exec(); `interact` works the real widgets once it is on screen and is
// expected to close it. A dialog it leaves open is rejected so that the test cannot hang.
int runModal(QDialog &dialog, std::function<void(QDialog *)> interact, bool *leftOpen)
{
    *leftOpen = false;
    TestSupport::whenModal([&dialog, interact, leftOpen](QWidget *modal) {
        if (modal != &dialog)
            return;
        interact(&dialog);
        if (dialog.isVisible()) {
            *leftOpen = true;
            dialog.reject();
        }
    });
    return dialog.exec();
}

// Replaces the whole text of a spin box by typing, as a user would.
void typeInto(QSpinBox *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

QString iniPath()
{
    return TestSupport::projectFolder() + QStringLiteral("/DlgPushGraphProperty.ini");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int alphaAt(const QIcon &icon, int x, int y)
{
    return icon.pixmap(16, 16).toImage().pixelColor(x, y).alpha();
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
        QCOMPARE(dlg.windowTitle(), QStringLiteral("绘图属性设置"));
        QVERIFY(dlg.findChildren<QAbstractButton *>().isEmpty()); // closed only by the window
        auto *width = child<QSpinBox>(&dlg, "spinBox");
        QCOMPARE(width->minimum(), 0);
        QCOMPARE(width->maximum(), 10);
        QVERIFY(child<QSpinBox>(&dlg, "spinBox_2")->isHidden());
        QVERIFY(child<QLabel>(&dlg, "label_2")->isHidden());
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_4")),
            QStringList({"无", "实线", "虚线", "点线", "点划线", "双点划线"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox")), QStringList({"无", "实心"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_2")), QStringList({"──", "<──"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_3")), QStringList({"──", "──>"}));
    }

    void paintPropertyLineEndIcons()
    {
        DlgPaintProperty dlg(nullptr);
        auto *head = child<QComboBox>(&dlg, "comboBox_2");
        auto *end = child<QComboBox>(&dlg, "comboBox_3");
        // Just above the line near each end: ink only where the arrow head is.
        QCOMPARE(alphaAt(head->itemIcon(0), 5, 6), 0);
        QCOMPARE(alphaAt(end->itemIcon(0), 10, 6), 0);
        QVERIFY(alphaAt(head->itemIcon(1), 5, 6) > 0);
        QCOMPARE(alphaAt(head->itemIcon(1), 10, 6), 0);
        QVERIFY(alphaAt(end->itemIcon(1), 10, 6) > 0);
        QCOMPARE(alphaAt(end->itemIcon(1), 5, 6), 0);
        // Every entry still shows its line.
        for (QComboBox *box : {head, end}) {
            for (int i = 0; i < box->count(); ++i)
                QVERIFY(alphaAt(box->itemIcon(i), 8, 8) > 0);
        }
    }

    void paintPropertyRoundTrip_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("penStyle");
        QTest::addColumn<int>("brushStyle");
        QTest::addColumn<int>("lineHead");
        QTest::addColumn<int>("lineEnd");
        // What the four combo boxes show: pen style, brush style, line start, line end.
        QTest::addColumn<QStringList>("shown");

        QTest::newRow("no pen") << 0 << 0 << 0 << 0 << 0 << QStringList {"无", "无", "──", "──"};
        QTest::newRow("solid, arrow at end")
            << 2 << 1 << 0 << 0 << 1 << QStringList {"实线", "无", "──", "──>"};
        QTest::newRow("dashed, filled, arrow at start")
            << 10 << 2 << 1 << 1 << 0 << QStringList {"虚线", "实心", "<──", "──"};
        QTest::newRow("dotted, both arrows")
            << 3 << 3 << 1 << 1 << 1 << QStringList {"点线", "实心", "<──", "──>"};
        QTest::newRow("dash dot") << 4 << 4 << 0 << 1 << 0 << QStringList {"点划线", "无", "<──", "──"};
        QTest::newRow("dash dot dot")
            << 7 << 5 << 1 << 0 << 1 << QStringList {"双点划线", "实心", "──", "──>"};
    }

    void paintPropertyRoundTrip()
    {
        QFETCH(int, width);
        QFETCH(int, penStyle);
        QFETCH(int, brushStyle);
        QFETCH(int, lineHead);
        QFETCH(int, lineEnd);
        QFETCH(QStringList, shown);

        DrawingDefaults in;
        in.penWidth = width;
        in.penStyle = penStyle;
        in.brushStyle = brushStyle;
        in.lineHead = lineHead;
        in.lineEnd = lineEnd;

        DlgPaintProperty dlg(nullptr);
        dlg.setValue(in);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBox")->text(), QString::number(width));
        QCOMPARE(QStringList({child<QComboBox>(&dlg, "comboBox_4")->currentText(),
                     child<QComboBox>(&dlg, "comboBox")->currentText(),
                     child<QComboBox>(&dlg, "comboBox_2")->currentText(),
                     child<QComboBox>(&dlg, "comboBox_3")->currentText()}),
            shown);

        // A record that differs in every field, so that a field left unwritten shows.
        DrawingDefaults out;
        out.penWidth = 9;
        out.penStyle = 6;
        out.brushStyle = 2;
        out.lineHead = 2;
        out.lineEnd = 2;
        dlg.value(out);
        QCOMPARE(out.penWidth, width);
        QCOMPARE(out.penStyle, penStyle);
        QCOMPARE(out.brushStyle, brushStyle);
        QCOMPARE(out.lineHead, lineHead);
        QCOMPARE(out.lineEnd, lineEnd);
    }

    void paintPropertyEscapeKeepsEdits()
    {
        DrawingDefaults d;
        d.penWidth = 2;
        d.penStyle = 1;
        d.brushStyle = 0;
        d.lineHead = 0;
        d.lineEnd = 0;
        DlgPaintProperty dlg(nullptr);
        dlg.setValue(d);

        bool leftOpen = false;
        const int result = runModal(
            dlg,
            [](QDialog *shown) {
                typeInto(child<QSpinBox>(shown, "spinBox"), QStringLiteral("10"));
                QTest::keyClick(child<QComboBox>(shown, "comboBox_4"), Qt::Key_Down);
                QTest::keyClick(child<QComboBox>(shown, "comboBox"), Qt::Key_Down);
                QTest::keyClick(child<QComboBox>(shown, "comboBox_3"), Qt::Key_Down);
                QTest::keyClick(shown, Qt::Key_Escape);
            },
            &leftOpen);
        QVERIFY(!leftOpen);
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());

        dlg.value(d);
        QCOMPARE(d.penWidth, 10);
        QCOMPARE(d.penStyle, 2);
        QCOMPARE(d.brushStyle, 1);
        QCOMPARE(d.lineHead, 0);
        QCOMPARE(d.lineEnd, 1);
    }

    void paintPropertyWindowCloseKeepsEdits()
    {
        DrawingDefaults d;
        d.penWidth = 5;
        d.lineHead = 0;
        DlgPaintProperty dlg(nullptr);
        dlg.setValue(d);

        bool leftOpen = false;
        runModal(
            dlg,
            [](QDialog *shown) {
                typeInto(child<QSpinBox>(shown, "spinBox"), QStringLiteral("0"));
                QTest::keyClick(child<QComboBox>(shown, "comboBox_2"), Qt::Key_Down);
                shown->close(); // what the title bar's close button does
            },
            &leftOpen);
        QVERIFY(!leftOpen);

        dlg.value(d);
        QCOMPARE(d.penWidth, 0);
        QCOMPARE(d.lineHead, 1);
    }

    void paintPropertyLeavesColours()
    {
        DrawingDefaults d;
        d.penColor = QColor(12, 34, 56);
        d.bruchColor = QColor(200, 100, 50, 128);
        DlgPaintProperty dlg(nullptr);
        dlg.setValue(d);
        QTest::keyClick(child<QComboBox>(&dlg, "comboBox"), Qt::Key_Down);
        dlg.value(d);
        QCOMPARE(d.brushStyle, 1);
        QCOMPARE(d.penColor, QColor(12, 34, 56));
        QCOMPARE(d.bruchColor, QColor(200, 100, 50, 128));

        // Colours not chosen yet stay unchosen.
        DrawingDefaults unset;
        dlg.value(unset);
        QVERIFY(!unset.penColor.isValid());
        QVERIFY(!unset.bruchColor.isValid());
    }

    // --- DlgPushGraphProperty

    void pushGraphForm()
    {
        DlgPushGraphProperty dlg(nullptr);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("推图窗口属性"));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox")), QStringList({"非模态弹窗", "模态弹窗"}));
        for (const char *name : {"spinBoxWidth", "spinBoxHeight"}) {
            QCOMPARE(child<QSpinBox>(&dlg, name)->minimum(), 100);
            QCOMPARE(child<QSpinBox>(&dlg, name)->maximum(), 2048);
        }
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxTime")->maximum(), 3600);
        QCOMPARE(child<QPushButton>(&dlg, "pushButtonOK")->text(), QStringLiteral("确认"));
        QCOMPARE(child<QPushButton>(&dlg, "pushButtonCancel")->text(), QStringLiteral("取消"));
    }

    void pushGraphDefaultsWithoutFile()
    {
        QVERIFY(!QFile::exists(iniPath()));
        DlgPushGraphProperty dlg(nullptr);
        QCOMPARE(child<QComboBox>(&dlg, "comboBox")->currentText(), QStringLiteral("非模态弹窗"));
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxWidth")->value(), 800);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxHeight")->value(), 600);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxTime")->value(), 5);
        // Looking is not saving.
        QVERIFY(!QFile::exists(iniPath()));
    }

    void pushGraphConfirmWritesThreeKeys()
    {
        DlgPushGraphProperty dlg(nullptr);
        bool leftOpen = false;
        const int result = runModal(
            dlg,
            [](QDialog *shown) {
                QTest::mouseClick(child<QPushButton>(shown, "pushButtonOK"), Qt::LeftButton);
            },
            &leftOpen);
        QVERIFY(!leftOpen);
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(QFile::exists(iniPath()));

        QSettings stored(iniPath(), QSettings::IniFormat);
        stored.setIniCodec(QTextCodec::codecForLocale());
        QStringList keys = stored.allKeys();
        keys.sort();
        QCOMPARE(keys, QStringList({"mode", "size", "time"}));
        QVERIFY(stored.childGroups().isEmpty());
        QCOMPARE(stored.value("mode").toInt(), 0);
        QCOMPARE(stored.value("size").toSize(), QSize(800, 600));
        QCOMPARE(stored.value("time").toInt(), 5);
        // The size is kept in the notation that any QSettings reader understands.
        QVERIFY(readFile(iniPath()).contains("size=@Size(800 600)"));
    }

    void pushGraphConfirmSavesEdits()
    {
        {
            DlgPushGraphProperty dlg(nullptr);
            bool leftOpen = false;
            const int result = runModal(
                dlg,
                [](QDialog *shown) {
                    QTest::keyClick(child<QComboBox>(shown, "comboBox"), Qt::Key_Down);
                    typeInto(child<QSpinBox>(shown, "spinBoxWidth"), QStringLiteral("1024"));
                    typeInto(child<QSpinBox>(shown, "spinBoxHeight"), QStringLiteral("768"));
                    typeInto(child<QSpinBox>(shown, "spinBoxTime"), QStringLiteral("30"));
                    QTest::mouseClick(child<QPushButton>(shown, "pushButtonOK"), Qt::LeftButton);
                },
                &leftOpen);
            QVERIFY(!leftOpen);
            QCOMPARE(result, int(QDialog::Accepted));
        }
        QSettings stored(iniPath(), QSettings::IniFormat);
        stored.setIniCodec(QTextCodec::codecForLocale());
        QCOMPARE(stored.value("mode").toInt(), 1);
        QCOMPARE(stored.value("size").toSize(), QSize(1024, 768));
        QCOMPARE(stored.value("time").toInt(), 30);

        // The next dialog starts from what was saved.
        DlgPushGraphProperty again(nullptr);
        QCOMPARE(child<QComboBox>(&again, "comboBox")->currentIndex(), 1);
        QCOMPARE(child<QSpinBox>(&again, "spinBoxWidth")->value(), 1024);
        QCOMPARE(child<QSpinBox>(&again, "spinBoxHeight")->value(), 768);
        QCOMPARE(child<QSpinBox>(&again, "spinBoxTime")->value(), 30);
    }

    void pushGraphCancelWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("existing file") << QByteArray("[General]\nmode=0\nsize=@Size(640 480)\ntime=7\n");
    }

    void pushGraphCancelWritesNothing()
    {
        QFETCH(QByteArray, existing);
        if (!existing.isEmpty())
            QVERIFY(writeFile(iniPath(), existing));

        DlgPushGraphProperty dlg(nullptr);
        bool leftOpen = false;
        const int result = runModal(
            dlg,
            [](QDialog *shown) {
                QTest::keyClick(child<QComboBox>(shown, "comboBox"), Qt::Key_Down);
                typeInto(child<QSpinBox>(shown, "spinBoxWidth"), QStringLiteral("300"));
                typeInto(child<QSpinBox>(shown, "spinBoxTime"), QStringLiteral("99"));
                QTest::mouseClick(child<QPushButton>(shown, "pushButtonCancel"), Qt::LeftButton);
            },
            &leftOpen);
        QVERIFY(!leftOpen);
        QCOMPARE(result, int(QDialog::Rejected));
        if (existing.isEmpty())
            QVERIFY(!QFile::exists(iniPath()));
        else
            QCOMPARE(readFile(iniPath()), existing);
    }

    void pushGraphClampsStoredSize()
    {
        {
            QSettings stored(iniPath(), QSettings::IniFormat);
            stored.setIniCodec(QTextCodec::codecForLocale());
            stored.setValue("size", QSize(3000, 50));
        }
        DlgPushGraphProperty dlg(nullptr);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxWidth")->value(), 2048);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxHeight")->value(), 100);
    }

    void pushGraphShowsStoredModeAndTime()
    {
        // Written by hand, as another program or an engineer would.
        QVERIFY(writeFile(iniPath(), "[General]\r\nmode=1\r\ntime=30\r\n"));
        DlgPushGraphProperty dlg(nullptr);
        QCOMPARE(child<QComboBox>(&dlg, "comboBox")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(&dlg, "comboBox")->currentText(), QStringLiteral("模态弹窗"));
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxTime")->value(), 30);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxWidth")->value(), 800);
        QCOMPARE(child<QSpinBox>(&dlg, "spinBoxHeight")->value(), 600);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
