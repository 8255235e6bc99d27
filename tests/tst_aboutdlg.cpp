// The about box and the start-up progress window with the built-in logo.
#include "app/plotwright.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/aboutdlg.h"
#include "testsupport.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QtTest>

namespace {

// The three text lines, from the bottom up.
QList<QLabel *> linesOf(AboutDlg *dlg)
{
    QList<QLabel *> labels = dlg->findChildren<QLabel *>();
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() > b->y(); });
    return labels;
}

} // namespace

class TestAboutDlg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("aboutdlg");
        QFile::remove(applicationDir() + QStringLiteral("/Project/logo.bmp"));
    }

    // Without a logo file the built-in picture sets the size; one added later is not used,
    // as the logo is chosen once per process.
    void builtInLogo()
    {
        for (bool fileAdded : {false, true}) {
            AboutDlg dlg(fileAdded, nullptr);
            dlg.setAttribute(Qt::WA_DeleteOnClose, false); // on the stack here
            QCOMPARE(dlg.size(), QImage(QStringLiteral(":/aboutapp/default_logo.bmp")).size());
            QVERIFY(dlg.styleSheet().contains(QStringLiteral("url(:/aboutapp/default_logo.bmp)")));
            QVERIFY(dlg.windowFlags().testFlag(fileAdded ? Qt::SplashScreen : Qt::Popup));
            QImage picture(300, 200, QImage::Format_RGB32);
            picture.fill(Qt::darkBlue);
            QVERIFY(QDir().mkpath(applicationDir() + QStringLiteral("/Project")));
            QVERIFY(picture.save(applicationDir() + QStringLiteral("/Project/logo.bmp"), "BMP"));
        }
        QFile::remove(applicationDir() + QStringLiteral("/Project/logo.bmp"));
    }

    // Three lines above the bottom: a second message on line 0 replaces the first, any other
    // line number is line 1; the about text shows the title on the hidden top line.
    void lines()
    {
        AboutDlg dlg(1, nullptr);
        const QList<QLabel *> lines = linesOf(&dlg);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[2]->isHidden() && lines[2]->y() < lines[1]->y() && lines[1]->y() < lines[0]->y());
        dlg.showMessage(QStringLiteral("初始化环境参数 ..."), 0);
        dlg.showMessage(QStringLiteral("读取调色板文件 ..."), 0);
        dlg.showMessage(QStringLiteral("第二行"), 7);
        QCOMPARE(lines[0]->text(), QStringLiteral("读取调色板文件 ..."));
        QCOMPARE(lines[1]->text(), QStringLiteral("第二行"));

        CDataLink::setPlatform(2);
        AboutDlg about(5, nullptr); // an unknown mode keeps ordinary dialog flags
        QVERIFY(!about.windowFlags().testFlag(Qt::Popup));
        about.setAboutText(applicationTitle());
        QCOMPARE(linesOf(&about)[0]->text(), QStringLiteral(" Tessaro"));
        QCOMPARE(linesOf(&about)[2]->text(), QStringLiteral("Plotwright(单机版)"));
        QVERIFY(!linesOf(&about)[2]->isHidden());
    }

    void aboutActionOpensModelessBox()
    {
        Plotwright w;
        w.form().action_About->trigger();
        AboutDlg *box = w.findChild<AboutDlg *>();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(linesOf(box)[2]->text(), applicationTitle());
        // The box deletes itself when closed.
        QPointer<AboutDlg> guard(box);
        box->close();
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 2000);
        // The start-up progress window is gone after construction.
        QVERIFY(w.findChildren<AboutDlg *>().isEmpty());
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
