#include "pointcommands.h"

#include "app/plotwrightform.h"
#include "cdatalink.h"
#include "dialogs/pointcheckdock.h"
#include "document/graphicsview.h"
#include "pointlistimport.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

PointCommands::PointCommands(const Ui_PlotwrightClass &ui, QMainWindow *window)
    : QObject(window)
    , m_ui(ui)
    , m_window(window)
{
    ui.action_ImportPoints->setVisible(CDataLink::platform() != 0);
    connect(ui.action_ImportPoints, &QAction::triggered, this, &PointCommands::importPoints);
    connect(ui.action_CheckPoints, &QAction::triggered, this, &PointCommands::checkPoints);
    connect(ui.mdiArea, &QMdiArea::subWindowActivated, this, &PointCommands::followActiveDocument);
}

void PointCommands::checkPoints()
{
    if (!m_dock) {
        m_dock = new PointCheckDock(m_window);
        m_window->addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    }
    m_dock->show();
    m_dock->raise();
    followActiveDocument();
}

void PointCommands::followActiveDocument()
{
    // A closed dock checks nothing until it is opened again.
    if (!m_dock || m_dock->isHidden())
        return;
    QMdiSubWindow *active = m_ui.mdiArea->activeSubWindow();
    auto *view = active ? qobject_cast<GraphicsView *>(active->widget()) : nullptr;
    if (view)
        m_dock->showBindings(view);
}

void PointCommands::importPoints()
{
    DbServerSettings embedded;
    embedded.kind = DbServerSettings::Embedded;
    if (!PointListImport::run(m_window, embedded, QString()).isEmpty())
        CDataLink::GetDataLink()->loadLocalPoints();
}
