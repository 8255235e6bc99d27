// The platform layer as the editor uses it: project folders, message box flags, the offline
// data link and its server form, the canvas dialog, and a logo file in the project folder.
#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dbserverform.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/dlgenvsettings.h"
#include "grouptool.h"
#include "testsupport.h"
#include "zmessagebox.h"

#include <QAbstractButton>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QtTest>

namespace {

QString logo()
{
    return applicationDir() + QStringLiteral("/Project/logo.bmp");
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    // The logo is chosen once per run, so the file must be there before any box is built.
    void initTestCase()
    {
        TestSupport::isolate("platform");
        QVERIFY(QDir().mkpath(applicationDir() + QStringLiteral("/Project")));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(logo(), "BMP"));
    }

    void cleanupTestCase() { QFile::remove(logo()); }

    // A logo file in the Project folder beside the executable replaces the built-in picture,
    // for the rest of the run (the built-in one: tst_mainwindow).
    void logoFileSetsTheAboutBox()
    {
        AboutDlg dlg(0, nullptr);
        dlg.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(dlg.size(), QSize(300, 200));
        QVERIFY(dlg.styleSheet().contains(logo()));
        QFile::remove(logo());
        QCOMPARE(AboutDlg::logoPath(), logo());
    }

    void projectFolders()
    {
        const QString root = QDir(TestSupport::projectFolder()).absolutePath() + QLatin1Char('/');
        QCOMPARE(AbstractGraphicsUtility::projectDir(), root);
        const QStringList dirs{AbstractGraphicsUtility::graphDir(), AbstractGraphicsUtility::templateDir(),
            AbstractGraphicsUtility::svgDir(), GroupTool::dir()};
        for (const QString &dir : dirs + QStringList{AbstractGraphicsUtility::bmpDir()}) {
            QVERIFY2(dir.startsWith(root) && dir.endsWith(QLatin1Char('/')) && dir != root, qPrintable(dir));
            QVERIFY(!QDir(dir).exists());
        }
        AbstractGraphicsUtility::initProject();
        for (const QString &dir : dirs)
            QVERIFY2(QDir(dir).exists(), qPrintable(dir));

        // Without the override the folder is "Project" beside the executable.
        const QByteArray saved = qgetenv("PLOTWRIGHT_PROJECT_DIR");
        qunsetenv("PLOTWRIGHT_PROJECT_DIR");
        const QString beside = AbstractGraphicsUtility::projectDir();
        qputenv("PLOTWRIGHT_PROJECT_DIR", saved);
        QCOMPARE(beside, QCoreApplication::applicationDirPath() + QStringLiteral("/Project/"));
    }

    void chineseQtTranslationLoads()
    {
        // The compiled-in translation must carry Qt's own texts, not only refer to them.
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/Plotwright/Resources/qt_zh_CN.qm"), QString(), QString(), QString()));
        QCoreApplication::installTranslator(&translator);
        QMessageBox box(
            QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok | QMessageBox::Cancel);
        QString cancel = box.button(QMessageBox::Cancel)->text();
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(cancel.remove(QLatin1Char('&')).left(2), QStringLiteral("取消"));
    }

    // The flags choose the icon and the buttons; the box answers with the button clicked.
    void messageBoxFlags()
    {
        const struct
        {
            uint flags;
            QMessageBox::Icon icon;
            QMessageBox::StandardButtons buttons;
        } rows[] = {{16, QMessageBox::Critical, QMessageBox::Ok},
            {36, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
            {49, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel},
            {64, QMessageBox::Information, QMessageBox::Ok}};
        for (const auto &row : rows) {
            QString shown;
            int clicked = -1;
            TestSupport::whenModal([&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                QVERIFY(box);
                shown = QStringLiteral("%1 %2 ").arg(int(box->icon())).arg(int(box->standardButtons()))
                    + box->windowTitle() + QLatin1Char('|') + box->text();
                clicked = box->standardButton(box->buttons().last());
                box->buttons().last()->click();
            });
            const int result
                = ZMessageBox(nullptr, QStringLiteral("读取调色板文件错误 !"), QStringLiteral("标题"), row.flags);
            QCOMPARE(shown, QStringLiteral("%1 %2 标题|读取调色板文件错误 !").arg(int(row.icon)).arg(int(row.buttons)));
            QCOMPARE(result, clicked);
        }
    }

    void offlineDataLink()
    {
        QVERIFY(CDataLink::Init());
        // Until SetupRtuDev() connects, the link answers offline.
        CDataLink *link = CDataLink::GetDataLink();
        QVERIFY(!link->online);
        QVERIFY(link->OpenDizFile(AbstractGraphicsUtility::graphDir()).isEmpty());
        QVERIFY(link->SaveDizFile(QStringLiteral("a.drw"), QStringLiteral("a.svg")).isEmpty());
        CDataLink::UnInit();
        // Asking after shut-down still gives a usable offline link.
        QVERIFY(CDataLink::GetDataLink());
    }

    // The confirmed server is kept, never its password; a cancelled form keeps what was stored.
    void serverFormRemembersConfirmedServer()
    {
        for (bool confirm : {true, false}) {
            TestSupport::whenModal([confirm](QWidget *modal) {
                auto *host = TestSupport::child<QLineEdit>(modal, "lineEdit_Host");
                QVERIFY(confirm || host->text() == QStringLiteral("10.1.2.3"));
                host->setText(confirm ? QStringLiteral("10.1.2.3") : QStringLiteral("elsewhere"));
                TestSupport::child<QSpinBox>(modal, "spinBox_Port")->setValue(6543);
                TestSupport::child<QLineEdit>(modal, "lineEdit_Password")->setText(QStringLiteral("secret"));
                confirm ? static_cast<QDialog *>(modal)->accept() : static_cast<QDialog *>(modal)->reject();
            });
            QCOMPARE(CDataLink::ShowSetDbServerForm(), int(confirm));
            const DbServerSettings stored = DbServerSettings::load();
            QCOMPARE(stored.host + QLatin1Char(':') + QString::number(stored.port), QStringLiteral("10.1.2.3:6543"));
        }
        QSettings settings;
        for (const QString &key : settings.allKeys())
            QVERIFY(!settings.value(key).toString().contains(QStringLiteral("secret")));
    }

    void canvasDialog()
    {
        DlgEnvSettings fractional(QRectF(5, 7, 800.9, 600.2), nullptr);
        QCOMPARE(TestSupport::child<QSpinBox>(&fractional, "spinBox_Width")->value(), 800);
        QCOMPARE(fractional.rect(), QRectF(0, 0, 800, 600));
        DlgEnvSettings huge(QRectF(0, 0, 300000, 50), nullptr);
        QCOMPARE(huge.rect(), QRectF(0, 0, 204800, 100));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
