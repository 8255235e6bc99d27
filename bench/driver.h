#ifndef DRIVER_H
#define DRIVER_H

#include <QPoint>
#include <QSet>
#include <QString>
#include <Qt>
#include <memory>

class GraphicsView;
class Plotwright;
class QAction;
class QGraphicsScene;
class QMdiArea;
class QWidget;

// The main window, driven as a user drives it. A step that the window does not take notes
// why in `error` and returns false.
class Driver
{
public:
    Driver();
    ~Driver();

    QString error;
    QSet<QString> hiddenUsed;

    bool fail(const QString &why);
    bool activate();

    QMdiArea *area() const;
    GraphicsView *view() const;
    QGraphicsScene *scene() const;
    QWidget *viewport() const;
    QAction *action(const char *name) const;

    // A command through its shortcut sent to the view when the action has that shortcut (as a
    // user presses it), else through the action itself.
    bool command(const char *name, int key = 0, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    bool selectAll() { return command("action_SelectAll", Qt::Key_A, Qt::ControlModifier); }
    bool undo() { return command("action_Undo", Qt::Key_Z, Qt::ControlModifier); }
    bool redo() { return command("action_Redo", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }

    // The window's open command, with the file request answered.
    bool open(const QString &path);
    bool checkOpened(const QString &path, int count);
    // The graph maximized in the focused window, centred on the middle of its canvas.
    bool prepareView();
    void closeGraph();

    void press(const QPoint &at);
    void release(const QPoint &at);
    // On the offscreen platform a move with the button held must be sent as it is.
    void moveHeld(const QPoint &at);

    std::unique_ptr<Plotwright> window;
};

#endif
