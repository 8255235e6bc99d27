#ifndef POINTCOMMANDS_H
#define POINTCOMMANDS_H

#include <QObject>

class QMainWindow;
class Ui_PlotwrightClass;

// The Tools menu's point commands: "导入点表..." fills the project's embedded database where
// there is no server (on the master station the database form imports).
class PointCommands : public QObject
{
    Q_OBJECT
public:
    PointCommands(const Ui_PlotwrightClass &ui, QMainWindow *window);

    void importPoints();

private:
    const Ui_PlotwrightClass &m_ui;
    QMainWindow *m_window;
};

#endif
