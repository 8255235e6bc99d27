#ifndef CANVASCOMMANDS_H
#define CANVASCOMMANDS_H

#include <QObject>

class GraphicsView;
class GridSettings;
class QSettings;
class QWidget;
class Ui_PlotwrightClass;

// The main window's commands about how the canvas is shown rather than what it holds: fitting
// it into the window, and the grid the views show and the drawing tools snap to. The grid is
// the same for every document; its actions always show the grid in force, and every change is
// kept in the user's settings at once.
class CanvasCommands : public QObject
{
    Q_OBJECT
public:
    // Takes the grid from the settings, which must outlive this.
    CanvasCommands(const Ui_PlotwrightClass &ui, QSettings &settings, QWidget *window);

    void zoomToFit();
    void setGridVisible(bool visible);
    void setSnap(bool snap);
    void editGrid();

private:
    GraphicsView *activeView() const;
    void apply(const GridSettings &settings);
    // The actions and the open views show the grid in force.
    void showGrid();

    const Ui_PlotwrightClass &m_ui;
    QSettings &m_settings;
    QWidget *m_window;
};

#endif
