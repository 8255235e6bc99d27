// The palette file "mmicolor.dat" (format as documented in docs/palette.md), the colour
// lookups, the project's default palette, and the colour bar driven by real clicks.
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "testsupport.h"
#include "zcolorbar.h"
#include "zpalette.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QToolButton>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstdlib>

namespace {

// An independent table-driven CRC-32 (zlib's), as the documentation describes it.
quint32 referenceCrc32(const QByteArray &data)
{
    static quint32 table[256];
    static bool ready = false;
    if (!ready) {
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data)
        crc = table[(crc ^ quint8(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// A palette file built by hand from the documented layout; `declaredCount` may differ
// from the number of entries to build broken files with a valid checksum.
QByteArray handMade(
    const QByteArray &magic, quint16 version, quint16 declaredCount, const QByteArray &entries)
{
    QByteArray bytes = magic;
    char word[2];
    qToLittleEndian<quint16>(version, word);
    bytes.append(word, 2);
    qToLittleEndian<quint16>(declaredCount, word);
    bytes.append(word, 2);
    bytes.append(entries);
    char crc[4];
    qToLittleEndian<quint32>(referenceCrc32(bytes), crc);
    bytes.append(crc, 4);
    return bytes;
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor centreOf(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("palette");
        QVERIFY(QDir().mkpath(TestSupport::projectFolder()));
        QCOMPARE(referenceCrc32("123456789"), 0xCBF43926u);
    }

    void cleanup()
    {
        std::free(MainPalette);
        MainPalette = nullptr;
    }

    // --- the file

    void defaultPaletteLoadsAsDocumented()
    {
        const QString file = path("default.dat");
        QVERIFY(writeDefaultPalette(file));
        RGB_COLOR *colours = nullptr;
        int count = 0;
        QVERIFY(CreateColorPalette1(file, &MainPalette, &colours, &count));
        QVERIFY(MainPalette);
        QCOMPARE(count, 29);
        QCOMPARE(MainPalette->count, 29);
        // A few rows of the table in docs/palette.md.
        const struct
        {
            int index;
            QColor colour;
        } rows[] = {{0, rgb(0, 0, 0)}, {1, rgb(255, 255, 255)}, {4, rgb(250, 0, 0)}, {7, rgb(240, 65, 85)},
            {9, rgb(255, 255, 0)}, {10, rgb(185, 72, 66)}, {12, rgb(204, 153, 51)}, {14, rgb(128, 0, 0)},
            {23, rgb(0, 255, 0)}, {28, rgb(255, 255, 255)}};
        for (const auto &row : rows) {
            QCOMPARE(MyPALETTEINDEX(row.index), row.colour);
            const RGB_COLOR &c = colours[row.index];
            QCOMPARE(rgb(c.red, c.green, c.blue), row.colour);
            QCOMPARE(int(c.flags), 0);
        }
        // The buffer handed out is a copy, not the palette's own entries.
        QVERIFY(colours != MainPalette->entries);
        std::free(colours);

        // Byte for byte the documented layout.
        QByteArray entries;
        for (int i = 0; i < count; ++i) {
            const QColor c = MyPALETTEINDEX(i);
            entries.append(char(c.red())).append(char(c.green())).append(char(c.blue())).append('\0');
        }
        QCOMPARE(readAll(file), handMade("PWPL", 1, quint16(count), entries));
    }

    void defaultPenReadsOnTheDefaultCanvas()
    {
        AbstractGraphicsScene scene;
        const double pen = luminance(paletteColour(nullptr, ZPaletteDefaultPen));
        const double canvas = luminance(scene.backgroundColor());
        const double contrast = (qMax(pen, canvas) + 0.05) / (qMin(pen, canvas) + 0.05);
        QVERIFY2(contrast >= 3.0, qPrintable(QString::number(contrast)));
    }

    void handMadeFileLoads()
    {
        const QString file = path("hand.dat");
        const QByteArray entries("\x01\x02\x03\x00\xFF\x80\x00\x07", 8);
        QVERIFY(writeAll(file, handMade("PWPL", 1, 2, entries)));
        RGB_COLOR *colours = nullptr;
        int count = 0;
        QVERIFY(CreateColorPalette1(file, &MainPalette, &colours, &count));
        QCOMPARE(count, 2);
        QCOMPARE(MyPALETTEINDEX(0), rgb(1, 2, 3));
        QCOMPARE(MyPALETTEINDEX(1), rgb(255, 128, 0));
        // The reserved byte is carried along.
        QCOMPARE(int(colours[1].flags), 7);
        std::free(colours);
    }

    void customPaletteRoundTrip()
    {
        const QString file = path("custom.dat");
        RGB_COLOR table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = {quint8(i), quint8(255 - i), quint8(i * 7), 0};
        QVERIFY(writePalette(file, table, 256));
        int count = 0;
        QVERIFY(CreateColorPalette1(file, &MainPalette, nullptr, &count));
        QCOMPARE(count, 256);
        QCOMPARE(MyPALETTEINDEX(255), rgb(255, 0, quint8(255 * 7)));
        QCOMPARE(MyPALETTEINDEX(100), rgb(100, 155, quint8(700)));

        QVERIFY(!writePalette(path("none.dat"), table, 0));
        QVERIFY(!writePalette(path("toomany.dat"), table, 257));
        QVERIFY(!QFile::exists(path("none.dat")));
        QVERIFY(!QFile::exists(path("toomany.dat")));
    }

    void reloadReplacesThePalette()
    {
        QVERIFY(writeDefaultPalette(path("a.dat")));
        const RGB_COLOR two[] = {{9, 9, 9, 0}, {8, 8, 8, 0}};
        QVERIFY(writePalette(path("b.dat"), two, 2));
        QVERIFY(CreateColorPalette1(path("a.dat"), &MainPalette, nullptr, nullptr));
        QCOMPARE(MainPalette->count, 29);
        QVERIFY(CreateColorPalette1(path("b.dat"), &MainPalette, nullptr, nullptr));
        QCOMPARE(MainPalette->count, 2);
        QCOMPARE(MyPALETTEINDEX(1), rgb(8, 8, 8));
        QVERIFY(!CreateColorPalette1(path("b.dat"), nullptr, nullptr, nullptr));
    }

    void rejectsBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QVERIFY(writeDefaultPalette(path("good.dat")));
        const QByteArray good = readAll(path("good.dat"));
        QVERIFY(good.size() > 12);
        const QByteArray threeEntries("\x01\x01\x01\x00\x02\x02\x02\x00\x03\x03\x03\x00", 12);

        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("header only") << good.left(8) << true;
        QTest::newRow("last byte cut") << good.left(good.size() - 1) << true;
        QTest::newRow("last entry cut") << good.left(good.size() - 8) + good.right(4) << true;
        QTest::newRow("byte appended") << good + QByteArray(1, '\0') << true;
        QTest::newRow("foreign: text") << QByteArray("[Plotwright]\nplatform=1\n") << true;
        QTest::newRow("foreign: png header") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << true;
        QTest::newRow("foreign: same size, zeros") << QByteArray(good.size(), '\0') << true;
        QTest::newRow("valid checksum, other magic") << handMade("PWPX", 1, 3, threeEntries) << true;
        QTest::newRow("valid checksum, version 2") << handMade("PWPL", 2, 3, threeEntries) << true;
        QTest::newRow("valid checksum, count 0") << handMade("PWPL", 1, 0, QByteArray()) << true;
        QTest::newRow("valid checksum, count too small") << handMade("PWPL", 1, 2, threeEntries) << true;
        QTest::newRow("valid checksum, count too large") << handMade("PWPL", 1, 4, threeEntries) << true;
        QTest::newRow("valid checksum, 257 entries")
            << handMade("PWPL", 1, 257, QByteArray(257 * 4, '\x10')) << true;
        QTest::newRow("huge file") << QByteArray(1 << 20, 'x') << true;
        // Every single changed byte is caught, wherever it is.
        for (int i = 0; i < good.size(); ++i) {
            QByteArray changed = good;
            changed[i] = char(changed[i] ^ 0x04);
            QTest::newRow(qPrintable(QStringLiteral("byte %1 changed").arg(i))) << changed << true;
        }
    }

    void rejectsBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        const QString file = path("bad.dat");
        QFile::remove(file);
        if (create)
            QVERIFY(writeAll(file, bytes));

        // A loaded palette, to see that a failed load leaves it alone.
        const RGB_COLOR one[] = {{1, 2, 3, 0}};
        QVERIFY(writePalette(path("one.dat"), one, 1));
        QVERIFY(CreateColorPalette1(path("one.dat"), &MainPalette, nullptr, nullptr));
        ZPalette *before = MainPalette;
        auto *sentinel = reinterpret_cast<RGB_COLOR *>(quintptr(0x1234));
        RGB_COLOR *colours = sentinel;
        int count = -7;

        QCOMPARE(CreateColorPalette1(file, &MainPalette, &colours, &count), 0);
        QCOMPARE(MainPalette, before);
        QCOMPARE(MainPalette->count, 1);
        QCOMPARE(MyPALETTEINDEX(0), rgb(1, 2, 3));
        QCOMPARE(colours, sentinel);
        QCOMPARE(count, -7);

        ZPalette *none = nullptr;
        QCOMPARE(CreateColorPalette1(file, &none, nullptr, nullptr), 0);
        QVERIFY(!none);
    }

    // --- lookups

    void lookupWithoutPalette()
    {
        QVERIFY(!MainPalette);
        QVERIFY(!MyPALETTEINDEX(-1).isValid());
        // The built-in default table answers until a palette is loaded.
        QCOMPARE(MyPALETTEINDEX(10), rgb(185, 72, 66));
        QCOMPARE(MyPALETTEINDEX(6), rgb(128, 0, 128));
        QCOMPARE(MyPALETTEINDEX(29), QColor(Qt::white));
        QCOMPARE(MyPALETTEINDEX(-2), QColor(Qt::white));
    }

    void lookupOutsideThePalette()
    {
        const RGB_COLOR three[] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
        QVERIFY(writePalette(path("three.dat"), three, 3));
        QVERIFY(CreateColorPalette1(path("three.dat"), &MainPalette, nullptr, nullptr));
        QVERIFY(!MyPALETTEINDEX(-1).isValid());
        QCOMPARE(MyPALETTEINDEX(2), rgb(70, 80, 90));
        // Beyond the loaded palette: white, even where the default table has an entry.
        QCOMPARE(MyPALETTEINDEX(3), QColor(Qt::white));
        QCOMPARE(MyPALETTEINDEX(10), QColor(Qt::white));
        QCOMPARE(MyPALETTEINDEX(-5), QColor(Qt::white));
        QCOMPARE(MyPALETTEINDEX(100000), QColor(Qt::white));
    }

    // --- the project

    void initProjectWritesOnlyWhenMissing()
    {
        const QString file = paletteFilePath();
        QCOMPARE(file, AbstractGraphicsUtility::projectDir() + QStringLiteral("mmicolor.dat"));
        QFile::remove(file);
        AbstractGraphicsUtility::initProject();
        QVERIFY(QFile::exists(file));
        QVERIFY(CreateColorPalette1(file, &MainPalette, nullptr, nullptr));
        QCOMPARE(MainPalette->count, 29);

        // A project's own palette stays.
        const RGB_COLOR custom[] = {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};
        QVERIFY(writePalette(file, custom, 3));
        const QByteArray mine = readAll(file);
        AbstractGraphicsUtility::initProject();
        QCOMPARE(readAll(file), mine);

        // So does a damaged one: repairing it is the user's decision.
        QVERIFY(writeAll(file, "damaged"));
        AbstractGraphicsUtility::initProject();
        QCOMPARE(readAll(file), QByteArray("damaged"));
        QFile::remove(file);
    }

    // --- the colour bar

    void barClicksPickColours()
    {
        QVERIFY(writeDefaultPalette(path("bar.dat")));
        QVERIFY(CreateColorPalette1(path("bar.dat"), &MainPalette, nullptr, nullptr));
        ZColorBar bar(nullptr);
        bar.SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, MainPalette, 1);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(bar.m_foreground, ZPaletteDefaultPen);
        QCOMPARE(bar.m_background, -1);
        QCOMPARE(bar.colorCount(), 29);
        QSignalSpy changed(&bar, &ZColorBar::colorChanged);

        QTest::mouseClick(swatch(bar, 7), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bar.m_foreground, 7);
        QCOMPARE(bar.m_background, -1);
        QCOMPARE(centreOf(current(bar, "foregroundSwatch")), rgb(240, 65, 85));

        QTest::mouseClick(swatch(bar, 9), Qt::RightButton);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(bar.m_foreground, 7);
        QCOMPARE(bar.m_background, 9);
        QCOMPARE(centreOf(current(bar, "backgroundSwatch")), rgb(255, 255, 0));

        // Picking the current colour again still reports, so it can be re-applied.
        QTest::mouseClick(swatch(bar, 7), Qt::LeftButton);
        QCOMPARE(changed.count(), 3);

        auto *none = bar.findChild<QToolButton *>(QStringLiteral("noneSwatch"));
        QVERIFY(none);
        QTest::mouseClick(none, Qt::RightButton);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(bar.m_background, -1);
        // Lines and texts always have a colour: "none" is no foreground.
        QTest::mouseClick(none, Qt::LeftButton);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(bar.m_foreground, 7);

        // A right press released outside the swatch is no click.
        QToolButton *twelve = swatch(bar, 12);
        QTest::mousePress(twelve, Qt::RightButton);
        QTest::mouseRelease(twelve, Qt::RightButton, {}, QPoint(-5, -5));
        QCOMPARE(changed.count(), 4);
        QCOMPARE(bar.m_background, -1);
    }

    void barShowsWhatTheCallerWrites()
    {
        ZColorBar bar(nullptr);
        bar.SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, nullptr, 1);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QSignalSpy changed(&bar, &ZColorBar::colorChanged);
        QLabel *foreground = current(bar, "foregroundSwatch");
        QLabel *background = current(bar, "backgroundSwatch");
        QCOMPARE(centreOf(foreground), rgb(185, 72, 66));

        // "None": white with a red diagonal.
        const QImage none = background->grab().toImage();
        QCOMPARE(none.pixelColor(3, 3), QColor(Qt::white));
        bool red = false;
        for (int y = 1; y < none.height() - 1; ++y) {
            const QColor c = none.pixelColor(none.width() / 2, y);
            red = red || (c.red() > 150 && c.green() < 100 && c.blue() < 100);
        }
        QVERIFY(red);

        bar.m_foreground = 23;
        bar.m_background = 17;
        bar.frush();
        QCOMPARE(centreOf(foreground), rgb(0, 255, 0));
        QCOMPARE(centreOf(background), rgb(0, 0, 128));
        QVERIFY(background->toolTip().contains(QStringLiteral("索引 17")));
        QVERIFY(background->toolTip().startsWith(QStringLiteral("背景色")));
        QCOMPARE(changed.count(), 0);

        // An index the palette does not have shows the fallback, and says so.
        bar.m_foreground = 200;
        bar.frush();
        QCOMPARE(centreOf(foreground), QColor(Qt::white));
        QVERIFY(foreground->toolTip().contains(QStringLiteral("不在调色板内")));
    }

    void barSwatchesDescribeTheirColour()
    {
        ZColorBar bar(nullptr);
        bar.SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, nullptr, 1);
        QCOMPARE(
            bar.findChildren<QToolButton *>(QRegularExpression(QStringLiteral("^paletteSwatch\\d+$"))).size(),
            29);
        const QString tip = swatch(bar, 10)->toolTip();
        QVERIFY2(tip.contains(QStringLiteral("索引 10")) && tip.contains(QStringLiteral("RGB(185, 72, 66)")),
            qPrintable(tip));
        QCOMPARE(swatch(bar, 10)->icon().pixmap(14, 14).toImage().pixelColor(7, 7), rgb(185, 72, 66));
    }

    void barKeepsItsOwnCopy()
    {
        const RGB_COLOR two[] = {{5, 6, 7, 0}, {8, 9, 10, 0}};
        QVERIFY(writePalette(path("copy.dat"), two, 2));
        QVERIFY(CreateColorPalette1(path("copy.dat"), &MainPalette, nullptr, nullptr));
        ZColorBar bar(nullptr);
        bar.SetPara({QStringLiteral("A"), QStringLiteral("B")}, MainPalette, 1);
        MainPalette->entries[1] = {200, 200, 200, 0};
        QCOMPARE(bar.colorOf(1), rgb(8, 9, 10));
        QCOMPARE(bar.colorCount(), 2);
        QCOMPARE(
            bar.findChildren<QToolButton *>(QRegularExpression(QStringLiteral("^paletteSwatch\\d+$"))).size(),
            2);

        // A new palette replaces the strip.
        QVERIFY(writeDefaultPalette(path("again.dat")));
        QVERIFY(CreateColorPalette1(path("again.dat"), &MainPalette, nullptr, nullptr));
        bar.SetPara({QStringLiteral("A"), QStringLiteral("B")}, MainPalette, 1);
        QCOMPARE(
            bar.findChildren<QToolButton *>(QRegularExpression(QStringLiteral("^paletteSwatch\\d+$"))).size(),
            29);
        QCOMPARE(bar.colorOf(1), rgb(255, 255, 255));
    }

    void barForegroundOnlyMode()
    {
        ZColorBar bar(nullptr);
        bar.SetPara({QStringLiteral("颜色")}, nullptr, 0);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(!current(bar, "backgroundSwatch")->isVisible());
        QVERIFY(current(bar, "foregroundSwatch")->isVisible());
        QSignalSpy changed(&bar, &ZColorBar::colorChanged);
        QTest::mouseClick(swatch(bar, 3), Qt::RightButton);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bar.m_background, -1);
        QTest::mouseClick(swatch(bar, 3), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bar.m_foreground, 3);
    }

    void rightClickOnSwatchOpensNoToolBarMenu()
    {
        QMainWindow window;
        auto *bar = new ZColorBar(&window);
        window.addToolBar(Qt::BottomToolBarArea, bar);
        window.resize(900, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // On the bar's caption the main window offers its tool bar menu, as usual ...
        QLabel *caption = nullptr;
        for (QLabel *label : bar->findChildren<QLabel *>()) {
            if (label->text() == QStringLiteral("前景色"))
                caption = label;
        }
        QVERIFY(caption);
        QContextMenuEvent onCaption(
            QContextMenuEvent::Mouse, QPoint(2, 2), caption->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(caption, &onCaption);
        QWidget *menu = QApplication::activePopupWidget();
        QVERIFY(menu);
        menu->close();
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activePopupWidget(), 2000);

        // ... but a right click on a swatch is a colour pick and nothing else.
        QToolButton *five = swatch(*bar, 5);
        QContextMenuEvent onSwatch(QContextMenuEvent::Mouse, QPoint(2, 2), five->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(five, &onSwatch);
        QVERIFY(!QApplication::activePopupWidget());
    }

private:
    static QString path(const char *name) { return TestSupport::projectFolder() + QLatin1Char('/') + name; }

    static QToolButton *swatch(ZColorBar &bar, int index)
    {
        auto *button = bar.findChild<QToolButton *>(QStringLiteral("paletteSwatch%1").arg(index));
        if (!button)
            qFatal("no swatch %d", index);
        return button;
    }

    static QLabel *current(ZColorBar &bar, const char *name)
    {
        auto *label = bar.findChild<QLabel *>(QLatin1String(name));
        if (!label)
            qFatal("no %s", name);
        return label;
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
