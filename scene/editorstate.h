#ifndef EDITORSTATE_H
#define EDITORSTATE_H

#include "drawingdefaults.h"
#include "scene/gridsettings.h"

// The few process-wide values of the editor. The main window writes them; the views and
// scenes read them in their mouse handlers. Kept here, below the main window, so that
// scene and document code never has to include it.
namespace EditorState {

// The number of the chosen drawing tool: ItemKind::Pointer, otherwise the item type it draws.
int currentTool();
void setCurrentTool(int tool);

// Pen, brush and line ends handed to every new item.
DrawingDefaults &drawingDefaults();

// The grid the views show and the drawing tools snap to.
GridSettings &gridSettings();

} // namespace EditorState

#endif
