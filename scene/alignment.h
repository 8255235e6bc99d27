#ifndef ALIGNMENT_H
#define ALIGNMENT_H

#include <Qt>

class Scene;

// Lining up a scene's selection: edges and centres to a reference item, equal width or
// height, equal spacing. Each is one undoable step on the scene's stack.
namespace Alignment {

enum Edge
{
    Left,
    Right,
    Top,
    Bottom,
    HCenter,
    VCenter
};

void align(Scene *scene, Edge which);
void equalSize(Scene *scene, Qt::Orientation axis);
void equalSpacing(Scene *scene, Qt::Orientation axis);

} // namespace Alignment

#endif
