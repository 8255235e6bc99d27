#ifndef STARTUP_H
#define STARTUP_H

class QWidget;

// On the master-station platform the user confirms the database server and the editor
// connects; a failed connection is reported and the editor goes on offline.
// Returns whether the window title shows the connection state.
bool connectAtStartup(QWidget *mainWindow);

#endif
