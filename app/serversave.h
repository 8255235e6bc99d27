#ifndef SERVERSAVE_H
#define SERVERSAVE_H

#include <QString>

class GraphicsView;
class QWidget;

// "保存" on the main station: the document is written, its SVG beside it, and both are uploaded
// as the server graph's next revision; the view then holds the local copy of that revision.
namespace ServerSave {

// A graph that has never been saved is named first (proposed: its untitled name); cancelling
// saves nothing. Tells the user how it went; true when the server holds the document.
bool save(QWidget *window, GraphicsView *view);

// Asks for a new server graph's name until it is one a file may carry; empty when cancelled.
QString askName(QWidget *window, const QString &proposed);

} // namespace ServerSave

#endif
