// The palette file "mmicolor.dat" (layout in docs/palette.md), the colour lookups, the
// project's default palette, and the colour bar driven by real clicks.
#include "abstractgraphicsutility.h"
#include "binarycodec.h"
#include "testsupport.h"
#include "zcolorbar.h"
#include "zpalette.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <QtTest>
#include <cstdlib>
#include <cstring>

namespace {

// A palette file built by hand from the documented layout, its CRC-32 (zlib's) from the
// documents' codec; `declaredCount` may differ from the number of entries to build broken
// files with a valid checksum.
QByteArray handMade(const QByteArray &magic, quint16 version, quint16 declaredCount, const QByteArray &entries)
{
    QByteArray bytes = magic + QByteArray(4, '\0') + entries;
    qToLittleEndian<quint16>(version, bytes.data() + 4);
    qToLittleEndian<quint16>(declaredCount, bytes.data() + 6);
    char crc[4];
    qToLittleEndian<quint32>(crc32(bytes.constData(), bytes.size()), crc);
    return bytes.append(crc, 4);
}

QString path(const char *name)
{
    return TestSupport::projectFolder() + QLatin1Char('/') + name;
}

// Writes the colours as a palette file and loads it as the main palette.
bool load(const char *name, const QVector<RGB_COLOR> &colours)
{
    return writePalette(path(name), colours.constData(), colours.size())
        && CreateColorPalette1(path(name), &MainPalette, nullptr, nullptr);
}

QColor centreOf(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QToolButton *swatch(ZColorBar &bar, int index)
{
    return bar.findChild<QToolButton *>(QStringLiteral("paletteSwatch%1").arg(index));
}

using TestSupport::child;

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("palette");
        QVERIFY(QDir().mkpath(TestSupport::projectFolder()));
        QCOMPARE(crc32("123456789", 9), 0xCBF43926u);
    }

    void cleanup()
    {
        std::free(MainPalette);
        MainPalette = nullptr;
    }

    // Without a palette the built-in table answers; the default file holds the same, in the
    // documented layout. A file made by hand loads; the buffer handed out is a copy of the
    // palette's entries, the reserved byte carried along.
    void defaultAndHandMadeFiles()
    {
        QVERIFY(!MyPALETTEINDEX(-1).isValid());
        QCOMPARE(MyPALETTEINDEX(29), QColor(Qt::white));
        QByteArray entries;
        for (int i = 0; i < 29; ++i) {
            const QColor c = MyPALETTEINDEX(i);
            entries.append(char(c.red())).append(char(c.green())).append(char(c.blue())).append('\0');
        }
        QVERIFY(writeDefaultPalette(path("default.dat")));
        QCOMPARE(TestSupport::readFile(path("default.dat")), handMade("PWPL", 1, 29, entries));

        const QByteArray hand("\x01\x02\x03\x00\xFF\x80\x00\x07", 8);
        QVERIFY(TestSupport::writeFile(path("hand.dat"), handMade("PWPL", 1, 2, hand)));
        RGB_COLOR *colours = nullptr;
        int count = 0;
        QVERIFY(CreateColorPalette1(path("hand.dat"), &MainPalette, &colours, &count));
        QVERIFY(count == 2 && colours != MainPalette->entries && std::memcmp(colours, hand.constData(), 8) == 0);
        QCOMPARE(MyPALETTEINDEX(1), QColor(255, 128, 0));
        std::free(colours);

        QVector<RGB_COLOR> table;
        for (int i = 0; i < 256; ++i)
            table.append({quint8(i), quint8(255 - i), quint8(i * 7), 0});
        QVERIFY(load("custom.dat", table));
        QCOMPARE(MyPALETTEINDEX(255), QColor(255, 0, quint8(255 * 7)));
        QVERIFY(!writePalette(path("toomany.dat"), table.constData(), 257) && !QFile::exists(path("toomany.dat")));

        // Loading another palette replaces it; lookups outside it are white.
        QVERIFY(load("three.dat", {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}}));
        QCOMPARE((QList<QColor>{MyPALETTEINDEX(2), MyPALETTEINDEX(3), MyPALETTEINDEX(-5)}),
            (QList<QColor>{QColor(70, 80, 90), Qt::white, Qt::white}));
        QVERIFY(!CreateColorPalette1(path("three.dat"), nullptr, nullptr, nullptr));
    }

    void rejectsBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QVERIFY(writeDefaultPalette(path("good.dat")));
        const QByteArray good = TestSupport::readFile(path("good.dat"));
        const QByteArray three("\x01\x01\x01\x00\x02\x02\x02\x00\x03\x03\x03\x00", 12);
        // One row per check of the reader.
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("too short") << good.left(8) << true;
        QTest::newRow("too long") << QByteArray(1 << 20, 'x') << true;
        QTest::newRow("valid checksum, other magic") << handMade("PWPX", 1, 3, three) << true;
        QTest::newRow("valid checksum, version 2") << handMade("PWPL", 2, 3, three) << true;
        QTest::newRow("valid checksum, count 0") << handMade("PWPL", 1, 0, three) << true;
        QTest::newRow("valid checksum, count too small") << handMade("PWPL", 1, 2, three) << true;
        QByteArray changed = good;
        changed[20] = char(changed[20] ^ 0x04);
        QTest::newRow("entry changed") << changed << true;
    }

    void rejectsBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        QFile::remove(path("bad.dat"));
        QVERIFY(!create || TestSupport::writeFile(path("bad.dat"), bytes));
        // A loaded palette, to see that a failed load leaves it and the outputs alone.
        QVERIFY(load("one.dat", {{1, 2, 3, 0}}));
        ZPalette *before = MainPalette;
        auto *sentinel = reinterpret_cast<RGB_COLOR *>(quintptr(0x1234));
        RGB_COLOR *colours = sentinel;
        int count = -7;
        QCOMPARE(CreateColorPalette1(path("bad.dat"), &MainPalette, &colours, &count), 0);
        QVERIFY(MainPalette == before && MainPalette->count == 1 && colours == sentinel && count == -7);
        QCOMPARE(MyPALETTEINDEX(0), QColor(1, 2, 3));
    }

    // A project's own palette stays, even a damaged one: repairing it is the user's decision.
    void initProjectWritesOnlyWhenMissing()
    {
        const QString file = paletteFilePath();
        QFile::remove(file);
        AbstractGraphicsUtility::initProject();
        QVERIFY(writeDefaultPalette(path("expected.dat")));
        QCOMPARE(TestSupport::readFile(file), TestSupport::readFile(path("expected.dat")));
        QVERIFY(TestSupport::writeFile(file, "damaged"));
        AbstractGraphicsUtility::initProject();
        QCOMPARE(TestSupport::readFile(file), QByteArray("damaged"));
        QFile::remove(file);
    }

    // In a main window, as the editor shows it.
    void colourBar()
    {
        QMainWindow window;
        auto &bar = *new ZColorBar(&window);
        window.addToolBar(Qt::BottomToolBarArea, &bar);
        bar.SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, nullptr, 1);
        window.resize(900, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy changed(&bar, &ZColorBar::colorChanged);
        // Signals so far, foreground, background.
        const auto state = [&] { return QList<int>{int(changed.count()), bar.m_foreground, bar.m_background}; };
        QCOMPARE(state(), (QList<int>{0, ZPaletteDefaultPen, -1}));
        QTest::mouseClick(swatch(bar, 7), Qt::LeftButton);
        QTest::mouseClick(swatch(bar, 9), Qt::RightButton);
        QCOMPARE(state(), (QList<int>{2, 7, 9}));
        // Picking the current colour again still reports, so it can be re-applied.
        QTest::mouseClick(swatch(bar, 7), Qt::LeftButton);
        QCOMPARE(state(), (QList<int>{3, 7, 9}));
        // Lines and texts always have a colour: "none" is no foreground, only no background.
        auto *none = bar.findChild<QToolButton *>(QStringLiteral("noneSwatch"));
        QTest::mouseClick(none, Qt::RightButton);
        QTest::mouseClick(none, Qt::LeftButton);
        QCOMPARE(state(), (QList<int>{4, 7, -1}));
        // A right press released outside the swatch is no click.
        QTest::mousePress(swatch(bar, 12), Qt::RightButton);
        QTest::mouseRelease(swatch(bar, 12), Qt::RightButton, {}, QPoint(-5, -5));
        QCOMPARE(state(), (QList<int>{4, 7, -1}));
        // On the caption the main window offers its tool bar menu, as usual, but a right click
        // on a swatch is a colour pick and nothing else.
        QLabel *caption = nullptr;
        for (QLabel *label : bar.findChildren<QLabel *>())
            caption = label->text() == QStringLiteral("前景色") ? label : caption;
        for (QWidget *target : {static_cast<QWidget *>(caption), static_cast<QWidget *>(swatch(bar, 5))}) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(target, &event);
            QWidget *menu = QApplication::activePopupWidget();
            QCOMPARE(bool(menu), target == caption);
            if (menu)
                menu->close();
            QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activePopupWidget(), 2000);
        }

        // What the caller writes shows, and the tooltips name the index; an index the palette
        // does not have shows the fallback, and says so.
        QLabel *foreground = child<QLabel>(&bar, "foregroundSwatch");
        QLabel *background = child<QLabel>(&bar, "backgroundSwatch");
        const QString tip = swatch(bar, 10)->toolTip();
        QVERIFY2(tip.contains(QStringLiteral("索引 10")) && tip.contains(QStringLiteral("RGB(185, 72, 66)")),
            qPrintable(tip));
        bar.m_foreground = 23;
        bar.m_background = 17;
        bar.frush();
        QCOMPARE(centreOf(foreground), MyPALETTEINDEX(23));
        QCOMPARE(centreOf(background), MyPALETTEINDEX(17));
        QVERIFY(background->toolTip().startsWith(QStringLiteral("背景色"))
            && background->toolTip().contains(QStringLiteral("索引 17")));
        bar.m_foreground = 200;
        bar.frush();
        QCOMPARE(centreOf(foreground), QColor(Qt::white));
        QVERIFY(foreground->toolTip().contains(QStringLiteral("不在调色板内")));
        QCOMPARE(state(), (QList<int>{4, 200, 17}));

        // Foreground only: no background swatch, and a right click picks nothing.
        bar.SetPara({QStringLiteral("颜色")}, nullptr, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!background->isVisible() && foreground->isVisible(), 2000);
        QTest::mouseClick(swatch(bar, 3), Qt::RightButton);
        QCOMPARE(state(), (QList<int>{4, 200, 17}));
        QTest::mouseClick(swatch(bar, 3), Qt::LeftButton);
        QCOMPARE(state(), (QList<int>{5, 3, 17}));

        // The bar keeps its own copy of a palette, and a new palette replaces the strip.
        QVERIFY(load("copy.dat", {{5, 6, 7, 0}, {8, 9, 10, 0}}));
        bar.SetPara({QStringLiteral("A"), QStringLiteral("B")}, MainPalette, 1);
        MainPalette->entries[1] = {200, 200, 200, 0};
        QCOMPARE(bar.colorOf(1), QColor(8, 9, 10));
        QVERIFY(swatch(bar, 1) && !swatch(bar, 2));
        bar.SetPara({QStringLiteral("A"), QStringLiteral("B")}, nullptr, 1);
        QVERIFY(swatch(bar, 28) && !swatch(bar, 29));
        QCOMPARE(bar.colorOf(1), paletteColour(nullptr, 1));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
