// Drawing defaults and the palette in the main window: first-run values, changes that
// survive a restart, a damaged palette file, and the canvas commands on a document.
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "app/plotwright.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "formatlimits.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"
#include "zcolorbar.h"
#include "zpalette.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QGraphicsItem>
#include <QMessageBox>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

QToolButton *swatch(Plotwright &w, int index)
{
    return w.findChild<ZColorBar *>()->findChild<QToolButton *>(QStringLiteral("paletteSwatch%1").arg(index));
}

// The drawing defaults' pen width, pen style, brush style, line head and end, then the colour
// bar's foreground and background index.
QVariantList state(Plotwright &w)
{
    const DrawingDefaults &d = EditorState::drawingDefaults();
    const ZColorBar *bar = w.findChild<ZColorBar *>();
    return {d.penWidth, d.penStyle, d.brushStyle, d.lineHead, d.lineEnd, bar->m_foreground, bar->m_background};
}

} // namespace

class TestDrawingDefaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("drawingdefaults");
        QVERIFY(TestSupport::writePlatform(1));
        CDataLink::Init();
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void cleanup() { QCOMPARE(TestSupport::missedModals(), 0); }

    // The first run's values, then changes that come back after a restart.
    void firstRunAndRestart()
    {
        QSettings().clear();
        {
            Plotwright w;
            QCOMPARE(state(w), (QVariantList{2, 1, 0, 0, 0, ZPaletteDefaultPen, -1}));
            QCOMPARE(EditorState::drawingDefaults().penColor, MyPALETTEINDEX(ZPaletteDefaultPen));
            QVERIFY(!EditorState::drawingDefaults().bruchColor.isValid()); // no fill
            // The palette file was created with the project and loaded.
            QVERIFY(
                QFile::exists(AbstractGraphicsUtility::projectDir() + QStringLiteral("mmicolor.dat")) && MainPalette);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTest::mouseClick(swatch(w, 3), Qt::LeftButton);
            QTest::mouseClick(swatch(w, 5), Qt::RightButton);
            QCOMPARE(EditorState::drawingDefaults().penColor, MyPALETTEINDEX(3));
            QCOMPARE(EditorState::drawingDefaults().bruchColor, MyPALETTEINDEX(5));
            QVERIFY(TestSupport::newGraph(w));
            TestSupport::whenModal([](QWidget *dialog) {
                dialog->findChild<QSpinBox *>(QStringLiteral("spinBox"))->setValue(6);
                dialog->findChild<QComboBox *>(QStringLiteral("comboBox_3"))->setCurrentIndex(1);
                dialog->close(); // the window's close button
            });
            w.form().action_PaintProperty->trigger();
        }
        // The main window is gone and its settings written; everything comes back.
        EditorState::drawingDefaults() = DrawingDefaults();
        Plotwright again;
        QCOMPARE(state(again), (QVariantList{6, 1, 0, 0, 1, 3, 5}));
        QCOMPARE(EditorState::drawingDefaults().penColor, MyPALETTEINDEX(3));
    }

    // Values no item can store, written by hand or by another version, are clamped when
    // read: a new item drawn with them saves and opens again.
    void settingsOutOfRangeCannotPoisonDocuments()
    {
        QSettings().clear();
        {
            QSettings settings;
            settings.beginGroup(QStringLiteral("paintProperty"));
            const QVariantMap stored{{"penWidth", 30}, {"penStyle", 7}, {"brushStyle", -3}, {"lineHead", 9},
                {"penColor", 100000}, {"bruchColor", -7}};
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                settings.setValue(it.key(), it.value());
        }
        Plotwright w;
        QCOMPARE(state(w), (QVariantList{20, 5, 0, 1, 0, FormatLimits::MaxColorIndex, -1}));
        AbstractGraphicsScene scene;
        for (int type : {ItemKind::Line, ItemKind::Rectangle, ItemKind::Breaker}) {
            QGraphicsItem *item = AbstractGraphicsScene::graphicsItem(0, type, true);
            QVERIFY(dynamic_cast<AbstractGraphicsUtility *>(item)->createFromPoints(
                &EditorState::drawingDefaults(), QPointF(10, 10), QPointF(80, 60), &scene));
            scene.addItem(item);
        }
        AbstractGraphicsScene again;
        QDataStream in(ItemSamples::documentBytes(scene));
        QCOMPARE(int(again.load(in, true, 0, nullptr, nullptr)), 0);
        QCOMPARE(again.items().size(), 3);
    }

    void damagedPaletteIsReportedAndStartUpGoesOn()
    {
        const QString file = AbstractGraphicsUtility::projectDir() + QStringLiteral("mmicolor.dat");
        QVERIFY(TestSupport::writeFile(file, "PWPL garbage that is not a palette"));
        QString seen;
        int icon = -1;
        TestSupport::answerBox(&seen, QMessageBox::Ok,
            [&icon] { icon = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())->icon(); });
        {
            Plotwright w;
            QCOMPARE(seen, applicationTitle() + QStringLiteral("|读取调色板文件错误 !"));
            QCOMPARE(icon, int(QMessageBox::Critical));
        }
        QFile::remove(file);
        AbstractGraphicsUtility::initProject(); // a fresh default palette for the tests after this one
    }

    void canvasCommandsMarkTheDocument()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        // Pretend the document was just saved: not modified, export allowed.
        view->setCurrentFile(QDir(TestSupport::projectFolder()).filePath(QStringLiteral("g.drw")));
        w.updateActions();

        // Canvas size and background colour: cancelled changes nothing; accepted applies and
        // marks the document, the canvas size even unchanged.
        for (bool accept : {false, true}) {
            TestSupport::whenModal([accept](QWidget *modal) {
                modal->findChild<QSpinBox *>(QStringLiteral("spinBox_Width"))->setValue(accept ? 1920 : 800);
                accept ? static_cast<QDialog *>(modal)->accept() : static_cast<QDialog *>(modal)->reject();
            });
            w.form().action_EnvironmentSettings->trigger();
            QCOMPARE(scene->sceneRect(), QRectF(0, 0, 1920, 1080));
            QCOMPARE((QList<bool>{view->isWindowModified(), w.form().action_svgFile->isEnabled()}),
                (QList<bool>{accept, !accept}));
            view->setWindowModified(false);
            TestSupport::whenModal([accept](QWidget *modal) {
                auto *dialog = qobject_cast<QColorDialog *>(modal);
                QCOMPARE(dialog->windowTitle(), QStringLiteral("背景颜色"));
                dialog->setCurrentColor(QColor(0, 64, 0));
                accept ? dialog->accept() : dialog->reject();
            });
            w.form().action_BackgroundColor->trigger();
            QCOMPARE(scene->backgroundColor(), accept ? QColor(0, 64, 0) : QColor(Qt::black));
            QCOMPARE(view->isWindowModified(), accept);
        }

        // Background picture: the same file twice marks the document twice.
        const QString picture = QDir(TestSupport::projectFolder()).filePath(QStringLiteral("bg.png"));
        QImage(8, 8, QImage::Format_RGB32).save(picture);
        for (int round = 0; round < 2; ++round) {
            view->setWindowModified(false);
            TestSupport::answerFileRequest(picture);
            w.form().action_BackgroundPixmap->trigger();
            QCOMPARE(scene->backgroundPixmap(), picture);
            QVERIFY(view->isWindowModified());
        }
    }
};

QTEST_MAIN(TestDrawingDefaults)
#include "tst_drawingdefaults.moc"
