#include "canvascommands.h"

#include "app/plotwrightform.h"
#include "dialogs/dlggridsettings.h"
#include "document/graphicsview.h"
#include "scene/editorstate.h"

#include <QAction>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>

CanvasCommands::CanvasCommands(const Ui_PlotwrightClass &ui, QSettings &settings, QWidget *window)
    : QObject(window)
    , m_ui(ui)
    , m_settings(settings)
    , m_window(window)
{
    connect(ui.action_ZoomFit, &QAction::triggered, this, &CanvasCommands::zoomToFit);
    connect(ui.action_ShowGrid, &QAction::triggered, this, &CanvasCommands::setGridVisible);
    connect(ui.action_SnapGrid, &QAction::triggered, this, &CanvasCommands::setSnap);
    connect(ui.action_GridSettings, &QAction::triggered, this, &CanvasCommands::editGrid);
    EditorState::gridSettings() = GridSettings::read(settings);
    showGrid();
}

GraphicsView *CanvasCommands::activeView() const
{
    QMdiSubWindow *window = m_ui.mdiArea->activeSubWindow();
    return window ? qobject_cast<GraphicsView *>(window->widget()) : nullptr;
}

void CanvasCommands::zoomToFit()
{
    if (GraphicsView *view = activeView())
        view->zoomToFit();
}

void CanvasCommands::setGridVisible(bool visible)
{
    GridSettings settings = EditorState::gridSettings();
    settings.setVisible(visible);
    apply(settings);
}

void CanvasCommands::setSnap(bool snap)
{
    GridSettings settings = EditorState::gridSettings();
    settings.setSnap(snap);
    apply(settings);
}

void CanvasCommands::editGrid()
{
    DlgGridSettings dialog(EditorState::gridSettings(), m_window);
    dialog.move(QCursor::pos());
    if (dialog.exec() == QDialog::Accepted)
        apply(dialog.value());
}

void CanvasCommands::apply(const GridSettings &settings)
{
    if (settings == EditorState::gridSettings())
        return;
    EditorState::gridSettings() = settings;
    settings.write(m_settings);
    showGrid();
}

void CanvasCommands::showGrid()
{
    const GridSettings &settings = EditorState::gridSettings();
    m_ui.action_ShowGrid->setChecked(settings.isVisible());
    m_ui.action_SnapGrid->setChecked(settings.snaps());
    for (QMdiSubWindow *window : m_ui.mdiArea->subWindowList()) {
        if (auto *view = qobject_cast<GraphicsView *>(window->widget()))
            view->viewport()->update();
    }
}
