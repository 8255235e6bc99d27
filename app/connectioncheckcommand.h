#ifndef CONNECTIONCHECKCOMMAND_H
#define CONNECTIONCHECKCOMMAND_H

#include <QObject>

class ConnectionCheckDock;
class QMainWindow;
class Ui_PlotwrightClass;

// The command "检查连接" of the Tools menu: checks the active document's connections, lists
// the findings in the dock "连接检查" beside the documents (made at the first check) and
// their count in the status bar.
class ConnectionCheckCommand : public QObject
{
    Q_OBJECT
public:
    ConnectionCheckCommand(const Ui_PlotwrightClass &ui, QMainWindow *window);

    void check();

private:
    const Ui_PlotwrightClass &m_ui;
    QMainWindow *m_window;
    ConnectionCheckDock *m_dock = nullptr;
};

#endif
