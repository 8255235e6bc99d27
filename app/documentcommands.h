#ifndef DOCUMENTCOMMANDS_H
#define DOCUMENTCOMMANDS_H

#include <QObject>
#include <functional>

class GraphicsView;
class QWidget;
class Ui_PlotwrightClass;

// The main window's commands that make or change a document beyond its items: a new graph
// from a template, and removing the background picture.
class DocumentCommands : public QObject
{
    Q_OBJECT
public:
    // `createWindow` makes a document window wired to the main window, not yet placed.
    DocumentCommands(const Ui_PlotwrightClass &ui, QWidget *window, std::function<GraphicsView *()> createWindow);

    void newFromTemplate();
    void clearBackgroundPixmap();

private:
    GraphicsView *activeView() const;

    const Ui_PlotwrightClass &m_ui;
    QWidget *m_window;
    std::function<GraphicsView *()> m_createWindow;
};

#endif
