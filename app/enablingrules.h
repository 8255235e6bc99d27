#ifndef ENABLINGRULES_H
#define ENABLINGRULES_H

#include <QList>

class GraphicsView;
class QGraphicsItem;
class Ui_PlotwrightClass;

// Which commands of the main window's form are enabled.
namespace EnablingRules {

// For the active document (null when there is none), its selection included.
void applyToDocument(const Ui_PlotwrightClass &ui, GraphicsView *view);
// The rows that depend on the selection of the active document.
void applyToSelection(const Ui_PlotwrightClass &ui, const QList<QGraphicsItem *> &items);

} // namespace EnablingRules

#endif
