#ifndef STARTUP_H
#define STARTUP_H

class Plotwright;
class QWidget;

// On the master-station platform the user confirms the database server and the editor
// connects; a failed connection is reported and the editor goes on offline. Elsewhere the
// point records come from the project's embedded database.
// Returns whether the window title shows the connection state.
bool connectAtStartup(QWidget *mainWindow);

// Sets the window title, with the connection state when `withState`, and the enabling rules;
// both follow the data link when a shared server goes away and comes back.
void followConnectionState(Plotwright *window, bool withState);

#endif
