#ifndef POINTCOMMANDS_H
#define POINTCOMMANDS_H

#include <QObject>

class PointCheckDock;
class QMainWindow;
class Ui_PlotwrightClass;

// The Tools menu's point commands: "点号检查" lists the active document's bindings in a dock
// beside the documents (made at the first check) that follows the active document;
// "导入点表..." fills the project's embedded database where there is no server (on the master
// station the database form imports).
class PointCommands : public QObject
{
    Q_OBJECT
public:
    PointCommands(const Ui_PlotwrightClass &ui, QMainWindow *window);

    void checkPoints();
    void importPoints();

private:
    void followActiveDocument();

    const Ui_PlotwrightClass &m_ui;
    QMainWindow *m_window;
    PointCheckDock *m_dock = nullptr;
};

#endif
