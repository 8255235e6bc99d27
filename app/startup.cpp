#include "startup.h"

#include "apptexts.h"
#include "cdatalink.h"
#include "plotwright.h"

#include <QMessageBox>

bool connectAtStartup(QWidget *mainWindow)
{
    if (CDataLink::platform() != 0) {
        // No server here: the points come from the project's own database.
        CDataLink::GetDataLink()->loadLocalPoints();
        return false;
    }
    if (CDataLink::ShowSetDbServerForm() != 0) {
        CDataLink::GetDataLink()->SetupRtuDev();
        if (!CDataLink::GetDataLink()->online)
            QMessageBox::information(mainWindow, QStringLiteral("提示"), QStringLiteral("无法连接服务器,进入离线编辑!"),
                QMessageBox::Ok, QMessageBox::NoButton);
    }
    return true;
}

void followConnectionState(Plotwright *window, bool withState)
{
    const auto update = [window, withState] {
        window->setWindowTitle(windowTitleText(applicationTitle(), withState));
        window->updateActions();
    };
    update();
    QObject::connect(CDataLink::GetDataLink(), &CDataLink::onlineChanged, window, update);
}
