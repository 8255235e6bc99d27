// A logo file in the Project folder beside the executable replaces the built-in picture.
// Its own program: the logo is chosen once per process.
#include "apptexts.h"
#include "dialogs/aboutdlg.h"
#include "testsupport.h"

#include <QImage>
#include <QtTest>

class TestAboutLogo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("aboutlogo");
        QVERIFY(QDir().mkpath(applicationDir() + QStringLiteral("/Project")));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(logo(), "BMP"));
    }

    void cleanupTestCase() { QFile::remove(logo()); }

    void takesThePicturesSize()
    {
        QCOMPARE(AboutDlg::logoPath(), logo());
        AboutDlg dlg(0, nullptr);
        dlg.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(dlg.size(), QSize(300, 200));
        QVERIFY(dlg.styleSheet().contains(logo()));
        // A file removed later does not change the choice.
        QFile::remove(logo());
        QCOMPARE(AboutDlg::logoPath(), logo());
    }

private:
    static QString logo() { return applicationDir() + QStringLiteral("/Project/logo.bmp"); }
};

QTEST_MAIN(TestAboutLogo)
#include "tst_aboutlogo.moc"
