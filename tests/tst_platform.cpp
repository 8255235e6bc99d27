// The platform layer as the editor uses it: project folders, message box flags, the
// offline data link and its server form, library folders, and the canvas dialog.
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "cdatalink.h"
#include "dbserverform.h"
#include "dialogs/dlgenvsettings.h"
#include "grouptool.h"
#include "svgtool.h"
#include "testsupport.h"
#include "zmessagebox.h"

#include <QAbstractButton>
#include <QGraphicsRectItem>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("platform"); }

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

    void messageBoxFlags_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::newRow("error") << 16u << int(QMessageBox::Critical) << int(QMessageBox::Ok);
        QTest::newRow("question yes/no") << 36u << int(QMessageBox::Question)
                                         << int(QMessageBox::Yes | QMessageBox::No);
        QTest::newRow("warning ok/cancel")
            << 49u << int(QMessageBox::Warning) << int(QMessageBox::Ok | QMessageBox::Cancel);
        QTest::newRow("information") << 64u << int(QMessageBox::Information) << int(QMessageBox::Ok);
    }

    void messageBoxFlags()
    {
        QFETCH(uint, flags);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        int seenIcon = -1;
        int seenButtons = 0;
        QString caption;
        TestSupport::whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            seenIcon = box->icon();
            seenButtons = int(box->standardButtons());
            caption = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::StandardButton(box->standardButtons() & QMessageBox::Cancel ? QMessageBox::Cancel
                                : box->standardButtons() & QMessageBox::No                       ? QMessageBox::No
                                                                                                 : QMessageBox::Ok))
                ->click();
        });
        const int result = ZMessageBox(nullptr, QStringLiteral("读取调色板文件错误 !"), QStringLiteral("标题"), flags);
        QCOMPARE(seenIcon, icon);
        QCOMPARE(seenButtons, buttons);
        QCOMPARE(caption, QStringLiteral("标题|读取调色板文件错误 !"));
        QVERIFY(result == QMessageBox::Ok || result == QMessageBox::Cancel || result == QMessageBox::No);
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

    void serverFormRemembersConfirmedServer()
    {
        TestSupport::whenModal([](QWidget *modal) {
            modal->findChild<QLineEdit *>(QStringLiteral("lineEdit_Host"))->setText(QStringLiteral("10.1.2.3"));
            modal->findChild<QSpinBox *>(QStringLiteral("spinBox_Port"))->setValue(6543);
            modal->findChild<QLineEdit *>(QStringLiteral("lineEdit_Password"))->setText(QStringLiteral("secret"));
            static_cast<QDialog *>(modal)->accept();
        });
        QCOMPARE(CDataLink::ShowSetDbServerForm(), 1);
        DbServerSettings stored = DbServerSettings::load();
        QCOMPARE(stored.host, QStringLiteral("10.1.2.3"));
        QCOMPARE(stored.port, 6543);
        // The password is never kept in the settings.
        QSettings settings;
        for (const QString &key : settings.allKeys())
            QVERIFY(!settings.value(key).toString().contains(QStringLiteral("secret")));

        // Cancel returns 0 and keeps what was stored.
        TestSupport::whenModal([](QWidget *modal) {
            QCOMPARE(
                modal->findChild<QLineEdit *>(QStringLiteral("lineEdit_Host"))->text(), QStringLiteral("10.1.2.3"));
            modal->findChild<QLineEdit *>(QStringLiteral("lineEdit_Host"))->setText(QStringLiteral("elsewhere"));
            static_cast<QDialog *>(modal)->reject();
        });
        QCOMPARE(CDataLink::ShowSetDbServerForm(), 0);
        QCOMPARE(DbServerSettings::load().host, QStringLiteral("10.1.2.3"));
    }

    void libraryFolderLists()
    {
        AbstractGraphicsUtility::initProject();
        const QString svg = AbstractGraphicsUtility::svgDir() + QStringLiteral("b.svg");
        QVERIFY(TestSupport::writeFile(svg, "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'/>"));
        QVERIFY(TestSupport::writeFile(AbstractGraphicsUtility::svgDir() + QStringLiteral("notes.txt"), "x"));
        SvgTool tool;
        QCOMPARE(tool.entries(), QStringList{QStringLiteral("b.svg")});
        QVERIFY(QFile::copy(svg, AbstractGraphicsUtility::svgDir() + QStringLiteral("A.svg")));
        QCOMPARE(tool.entries().size(), 1);
        tool.on_Refresh();
        QCOMPARE(tool.entries(), (QStringList{QStringLiteral("A.svg"), QStringLiteral("b.svg")}));
    }

    void canvasDialog()
    {
        DlgEnvSettings fractional(QRectF(5, 7, 800.9, 600.2), nullptr);
        QCOMPARE(fractional.findChild<QSpinBox *>(QStringLiteral("spinBox_Width"))->value(), 800);
        QCOMPARE(fractional.rect(), QRectF(0, 0, 800, 600));
        DlgEnvSettings huge(QRectF(0, 0, 300000, 50), nullptr);
        QCOMPARE(huge.rect(), QRectF(0, 0, 204800, 100));
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
