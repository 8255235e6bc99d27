// The drawing-defaults dialog and the pushed-graph window settings with their INI file.
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "drawingdefaults.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTextCodec>
#include <QVBoxLayout>
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

// Row and column of a widget in a grid, or (-1, -1) when it is not one of its items.
QPoint cellOf(QGridLayout *grid, QWidget *widget)
{
    const int index = grid->indexOf(widget);
    if (index < 0)
        return QPoint(-1, -1);
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return QPoint(column, row);
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

    void paintPropertyForm()
    {
        DlgPaintProperty dlg(nullptr);
        QCOMPARE(dlg.objectName(), QStringLiteral("DlgPaintProperty"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("绘图属性设置"));
        QCOMPARE(dlg.size(), QSize(270, 90));
        QCOMPARE(dlg.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(dlg.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QVERIFY(dlg.findChildren<QAbstractButton *>().isEmpty());

        auto *grid = qobject_cast<QGridLayout *>(dlg.layout());
        QVERIFY(grid);
        QCOMPARE(grid->spacing(), 6);
        QCOMPARE(grid->contentsMargins(), QMargins(11, 11, 11, 11));
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(grid->columnCount(), 4);

        const struct
        {
            const char *name;
            int row, column;
            const char *text; // labels only
        } cells[] = {
            {"label", 0, 0, "画笔宽度"},
            {"spinBox", 0, 1, nullptr},
            {"label_2", 0, 2, "圆滑"},
            {"spinBox_2", 0, 3, nullptr},
            {"label_3", 1, 0, "画笔风格"},
            {"comboBox_4", 1, 1, nullptr},
            {"label_6", 1, 2, "画刷风格"},
            {"comboBox", 1, 3, nullptr},
            {"label_4", 2, 0, "直线起点"},
            {"comboBox_2", 2, 1, nullptr},
            {"label_5", 2, 2, "直线终点"},
            {"comboBox_3", 2, 3, nullptr},
        };
        for (const auto &cell : cells) {
            QWidget *widget = child<QWidget>(&dlg, cell.name);
            QVERIFY2(widget, cell.name);
            QCOMPARE(cellOf(grid, widget), QPoint(cell.column, cell.row));
            if (cell.text)
                QCOMPARE(qobject_cast<QLabel *>(widget)->text(), QString::fromUtf8(cell.text));
        }

        auto *width = child<QSpinBox>(&dlg, "spinBox");
        QCOMPARE(width->minimum(), 0);
        QCOMPARE(width->maximum(), 10);
        QCOMPARE(width->value(), 1);
        auto *smooth = child<QSpinBox>(&dlg, "spinBox_2");
        QCOMPARE(smooth->minimum(), 0);
        QCOMPARE(smooth->maximum(), 9);
        QVERIFY(smooth->isHidden());
        QVERIFY(child<QLabel>(&dlg, "label_2")->isHidden());
        QVERIFY(!width->isHidden());

        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_4")),
            QStringList({"无", "实线", "虚线", "点线", "点划线", "双点划线"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox")), QStringList({"无", "实心"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_2")), QStringList({"──", "<──"}));
        QCOMPARE(entriesOf(child<QComboBox>(&dlg, "comboBox_3")), QStringList({"──", "──>"}));
        QCOMPARE(child<QComboBox>(&dlg, "comboBox_2")->iconSize(), QSize(16, 16));
        for (QComboBox *box : dlg.findChildren<QComboBox *>()) {
            for (int i = 0; i < box->count(); ++i)
                QVERIFY(!box->itemData(i).isValid());
        }
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
        QCOMPARE(dlg.objectName(), QStringLiteral("DlgPushGraphProperty"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("推图窗口属性"));
        QCOMPARE(dlg.size(), QSize(255, 133));

        auto *label = child<QLabel>(&dlg, "label");
        auto *label2 = child<QLabel>(&dlg, "label_2");
        auto *label3 = child<QLabel>(&dlg, "label_3");
        auto *label4 = child<QLabel>(&dlg, "label_4");
        auto *label5 = child<QLabel>(&dlg, "label_5");
        auto *mode = child<QComboBox>(&dlg, "comboBox");
        auto *width = child<QSpinBox>(&dlg, "spinBoxWidth");
        auto *height = child<QSpinBox>(&dlg, "spinBoxHeight");
        auto *time = child<QSpinBox>(&dlg, "spinBoxTime");
        auto *ok = child<QPushButton>(&dlg, "pushButtonOK");
        auto *cancel = child<QPushButton>(&dlg, "pushButtonCancel");
        for (QWidget *w : std::initializer_list<QWidget *> {
                 label, label2, label3, label4, label5, mode, width, height, time, ok, cancel})
            QVERIFY(w);

        QCOMPARE(label->text(), QStringLiteral("窗口模式:"));
        QCOMPARE(label2->text(), QStringLiteral("窗口大小:"));
        QCOMPARE(label3->text(), QStringLiteral("窗口停留时间:"));
        QCOMPARE(label4->text(), QStringLiteral("×"));
        QCOMPARE(label5->text(), QStringLiteral("秒"));
        QCOMPARE(ok->text(), QStringLiteral("确认"));
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        QCOMPARE(entriesOf(mode), QStringList({"非模态弹窗", "模态弹窗"}));
        for (QSpinBox *box : {width, height}) {
            QCOMPARE(box->minimum(), 100);
            QCOMPARE(box->maximum(), 2048);
        }
        QCOMPARE(time->minimum(), 0);
        QCOMPARE(time->maximum(), 3600);

        auto *grid = qobject_cast<QGridLayout *>(dlg.layout());
        QVERIFY(grid);
        QCOMPARE(grid->spacing(), 6);
        QCOMPARE(grid->contentsMargins(), QMargins(11, 11, 11, 11));

        auto *labels = qobject_cast<QVBoxLayout *>(grid->itemAtPosition(0, 0)->layout());
        QVERIFY(labels);
        QCOMPARE(labels->count(), 3);
        QCOMPARE(labels->itemAt(0)->widget(), label);
        QCOMPARE(labels->itemAt(1)->widget(), label2);
        QCOMPARE(labels->itemAt(2)->widget(), label3);

        auto *editors = qobject_cast<QVBoxLayout *>(grid->itemAtPosition(0, 1)->layout());
        QVERIFY(editors);
        QCOMPARE(editors->count(), 3);
        QCOMPARE(editors->itemAt(0)->widget(), mode);
        auto *sizeRow = qobject_cast<QHBoxLayout *>(editors->itemAt(1)->layout());
        QVERIFY(sizeRow);
        QCOMPARE(sizeRow->spacing(), 0);
        QCOMPARE(sizeRow->count(), 3);
        QCOMPARE(sizeRow->itemAt(0)->widget(), width);
        QCOMPARE(sizeRow->itemAt(1)->widget(), label4);
        QCOMPARE(sizeRow->itemAt(2)->widget(), height);
        QCOMPARE(sizeRow->stretch(0), 1);
        QCOMPARE(sizeRow->stretch(1), 0);
        QCOMPARE(sizeRow->stretch(2), 1);
        auto *timeRow = qobject_cast<QHBoxLayout *>(editors->itemAt(2)->layout());
        QVERIFY(timeRow);
        QCOMPARE(timeRow->count(), 2);
        QCOMPARE(timeRow->itemAt(0)->widget(), time);
        QCOMPARE(timeRow->itemAt(1)->widget(), label5);
        QCOMPARE(timeRow->stretch(0), 1);

        QSpacerItem *gap = grid->itemAtPosition(1, 1)->spacerItem();
        QVERIFY(gap);
        QCOMPARE(gap->sizeHint(), QSize(20, 4));
        QVERIFY(gap->expandingDirections() & Qt::Vertical);
        QVERIFY(!grid->itemAtPosition(1, 0));

        QLayoutItem *buttonItem = grid->itemAtPosition(2, 0);
        QVERIFY(buttonItem);
        QCOMPARE(grid->itemAtPosition(2, 1), buttonItem);
        auto *buttons = qobject_cast<QHBoxLayout *>(buttonItem->layout());
        QVERIFY(buttons);
        QCOMPARE(buttons->count(), 4);
        QVERIFY(buttons->itemAt(0)->spacerItem());
        QCOMPARE(buttons->itemAt(1)->widget(), ok);
        QCOMPARE(buttons->itemAt(2)->widget(), cancel);
        QVERIFY(buttons->itemAt(3)->spacerItem());
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
