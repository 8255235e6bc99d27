#ifndef DOCUMENTSTATUS_H
#define DOCUMENTSTATUS_H

#include <QPointer>

class GraphicsView;
class QLabel;
class QMainWindow;
class QStatusBar;
class Scene;

// The status bar's account of the active document: the pointer's position on the canvas,
// the canvas size, zoom and number of items.
class DocumentStatus
{
public:
    DocumentStatus(QMainWindow *window, QStatusBar *bar);

    // Null: no document is active.
    void showDocument(GraphicsView *view);
    void showPosition(double x, double y);

private:
    int topLevelCount(Scene *scene);

    QLabel *m_readyLabel;
    QLabel *m_posLabel;
    QLabel *m_statLabel;
    struct
    {
        QPointer<Scene> scene;
        int total = -1;
        int step = -1;
        int count = 0;
    } m_counted;
};

#endif
