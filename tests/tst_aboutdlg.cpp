// The about box and the start-up progress window with the built-in logo.
#include "app/apptexts.h"
#include "app/plotwright.h"
#include "cdatalink.h"
#include "dialogs/aboutdlg.h"
#include "testsupport.h"

#include <QAction>
#include <QDir>
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

    void builtInLogo()
    {
        QCOMPARE(AboutDlg::logoPath(), QStringLiteral(":/aboutapp/default_logo.bmp"));
        QCOMPARE(QImage(AboutDlg::logoPath()).size(), QSize(550, 421));
        AboutDlg dlg(0, nullptr);
        QCOMPARE(dlg.size(), QSize(550, 421));
        QVERIFY(dlg.windowFlags().testFlag(Qt::Popup));
        QVERIFY(dlg.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(dlg.styleSheet().contains(QStringLiteral("url(:/aboutapp/default_logo.bmp)")));
        dlg.setAttribute(Qt::WA_DeleteOnClose, false); // on the stack here
    }

    void linesSitInStripsAboveTheBottom()
    {
        AboutDlg dlg(1, nullptr);
        QVERIFY(dlg.windowFlags().testFlag(Qt::SplashScreen));
        const QList<QLabel *> lines = linesOf(&dlg);
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(lines[i]->geometry(), QRect(0, 421 - 35 * (i + 1), 550, 35));
            QCOMPARE(lines[i]->alignment(), Qt::AlignCenter);
            QCOMPARE(lines[i]->styleSheet(), QStringLiteral("color:white;font:16pt"));
        }
        QVERIFY(lines[2]->isHidden());

        // A second message on line 0 replaces the first; any other line number is line 2.
        dlg.showMessage(QStringLiteral("初始化环境参数 ..."), 0);
        dlg.showMessage(QStringLiteral("读取调色板文件 ..."), 0);
        dlg.showMessage(QStringLiteral("第二行"), 7);
        QCOMPARE(lines[0]->text(), QStringLiteral("读取调色板文件 ..."));
        QCOMPARE(lines[1]->text(), QStringLiteral("第二行"));
    }

    void aboutTexts()
    {
        CDataLink::setPlatform(2);
        AboutDlg dlg(5, nullptr); // an unknown mode keeps ordinary dialog flags
        QVERIFY(!dlg.windowFlags().testFlag(Qt::Popup));
        dlg.setAboutText(applicationTitle());
        const QList<QLabel *> lines = linesOf(&dlg);
        QCOMPARE(lines[0]->text(), QStringLiteral(" Tessaro"));
        QCOMPARE(lines[1]->text(), QStringLiteral("Version 3.0.2018.0316"));
        QCOMPARE(lines[2]->text(), QStringLiteral("Plotwright(单机版)"));
        QVERIFY(!lines[2]->isHidden());
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

    void logoAddedLaterIsNotUsed()
    {
        const QString path = applicationDir() + QStringLiteral("/Project/logo.bmp");
        QVERIFY(QDir().mkpath(applicationDir() + QStringLiteral("/Project")));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QVERIFY(picture.save(path, "BMP"));
        AboutDlg dlg(1, nullptr);
        QCOMPARE(dlg.size(), QSize(550, 421));
        QFile::remove(path);
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
