#ifndef WINDOWCOMMANDS_H
#define WINDOWCOMMANDS_H

#include <QList>

class Plotwright;
class QAction;
class QMdiArea;
class Scene;
class Ui_PlotwrightClass;

// What the commands of the main window's form run when triggered, one table per receiver.
class WindowCommands
{
public:
    // A slot of the window.
    struct OfWindow
    {
        QAction *Ui_PlotwrightClass::*action;
        void (Plotwright::*slot)();
    };
    // An operation of the active document's scene.
    struct OfScene
    {
        QAction *Ui_PlotwrightClass::*action;
        void (Scene::*operation)();
    };
    // An arrangement of the document windows.
    struct OfArea
    {
        QAction *Ui_PlotwrightClass::*action;
        void (QMdiArea::*slot)();
    };

    static const QList<OfWindow> &ofWindow();
    static const QList<OfScene> &ofScene();
    static const QList<OfArea> &ofArea();
};

#endif
