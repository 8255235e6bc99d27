#include "connectioncheckcommand.h"

#include "app/plotwrightform.h"
#include "dialogs/connectioncheckdock.h"
#include "document/graphicsview.h"
#include "scene/connectioncheck.h"
#include "scene/scene.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

ConnectionCheckCommand::ConnectionCheckCommand(const Ui_PlotwrightClass &ui, QMainWindow *window)
    : QObject(window)
    , m_ui(ui)
    , m_window(window)
{
    connect(ui.action_CheckConnections, &QAction::triggered, this, &ConnectionCheckCommand::check);
}

void ConnectionCheckCommand::check()
{
    QMdiSubWindow *active = m_ui.mdiArea->activeSubWindow();
    auto *view = active ? qobject_cast<GraphicsView *>(active->widget()) : nullptr;
    if (!view)
        return;
    const QList<ConnectionCheck::Finding> findings = ConnectionCheck::run(*view->documentScene());
    if (!m_dock) {
        m_dock = new ConnectionCheckDock(m_window);
        m_window->addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    }
    m_dock->showFindings(view, findings);
    m_dock->show();
    m_dock->raise();
    m_ui.statusBar->showMessage(ConnectionCheck::summary(findings.size()));
}
