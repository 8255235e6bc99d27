#include "app/plotwright.h"
#include "app/startup.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "itempixmapcache.h"
#include "singleapplication.h"

#include <QFileInfo>
#include <QStatusBar>
#include <QTranslator>

int main(int argc, char **argv)
{
    SingleApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaro配电事业部"));
    QCoreApplication::setApplicationName(applicationTitle());

    QTranslator translator;
    translator.load(QStringLiteral(":/Plotwright/Resources/qt_zh_CN.qm"), QString(), QString(), QString());
    QCoreApplication::installTranslator(&translator);

    QString parameter;
    const bool hasParameter = argc > 1;
    if (hasParameter)
        parameter = QString::fromLocal8Bit(argv[1]);
    // A relative path names a file in this start's working folder, which a running instance
    // handed the path does not share.
    if (!parameter.isEmpty())
        parameter = QFileInfo(parameter).absoluteFilePath();

    if (app.isRunning()) {
        if (hasParameter)
            app.setParam(parameter.toLocal8Bit());
        return 0;
    }

    // Big screens of symbols and texts are drawn from cached pictures.
    ItemPixmapCache::reserve();
    CDataLink::Init();
    int result = 0;
    {
        Plotwright window;
        const bool withState = connectAtStartup(&window);
        QObject::connect(&app, &SingleApplication::param, &window, &Plotwright::slotParam);
        followConnectionState(&window, withState);
        window.showMaximized();
        // Said in the status bar rather than in a message box, so that starting never waits for a click.
        if (!app.notice().isEmpty())
            window.statusBar()->showMessage(app.notice(), 30000);
        if (hasParameter)
            window.slotParam(parameter.toLocal8Bit());
        result = app.exec();
        CDataLink::UnInit();
    }
    return result;
}
