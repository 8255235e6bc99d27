#include "pointcommands.h"

#include "app/plotwrightform.h"
#include "cdatalink.h"
#include "pointlistimport.h"

#include <QAction>
#include <QMainWindow>

PointCommands::PointCommands(const Ui_PlotwrightClass &ui, QMainWindow *window)
    : QObject(window)
    , m_ui(ui)
    , m_window(window)
{
    ui.action_ImportPoints->setVisible(CDataLink::platform() != 0);
    connect(ui.action_ImportPoints, &QAction::triggered, this, &PointCommands::importPoints);
}

void PointCommands::importPoints()
{
    DbServerSettings embedded;
    embedded.kind = DbServerSettings::Embedded;
    if (!PointListImport::run(m_window, embedded, QString()).isEmpty())
        CDataLink::GetDataLink()->loadLocalPoints();
}
