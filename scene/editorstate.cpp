#include "editorstate.h"

namespace EditorState {

namespace {
int s_currentTool = 0;
DrawingDefaults s_defaults;
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

} // namespace EditorState
