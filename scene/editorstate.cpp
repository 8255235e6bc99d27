#include "editorstate.h"

namespace EditorState {

namespace {
int s_currentTool = 0;
DrawingDefaults s_defaults;
GridSettings s_grid;
} // namespace

int currentTool()
{
    return s_currentTool;
}
void setCurrentTool(int tool)
{
    s_currentTool = tool;
}
DrawingDefaults &drawingDefaults()
{
    return s_defaults;
}
GridSettings &gridSettings()
{
    return s_grid;
}

} // namespace EditorState
