#ifndef GROUPEXPORT_H
#define GROUPEXPORT_H

class AbstractGraphicsUtility;
class QWidget;

// Saving one group of a drawing as a group file in the project's group folder, under a name
// the user is asked for; the dialogs and messages are parented to `parent`.
namespace GroupExport {

void exportGroup(AbstractGraphicsUtility *group, QWidget *parent);

} // namespace GroupExport

#endif
