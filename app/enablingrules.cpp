#include "enablingrules.h"

#include "app/plotwrightform.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "itemkind.h"
#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QAction>
#include <QGraphicsItem>
#include <QToolBar>
#include <algorithm>

void EnablingRules::applyToDocument(const Ui_PlotwrightClass &ui, GraphicsView *view)
{
    const bool d = view != nullptr;
    for (QAction *a : {ui.action_Save, ui.action_SaveAs, ui.action_SelectAll, ui.action_EnvironmentSettings,
             ui.action_BackgroundColor, ui.action_BackgroundPixmap, ui.action_ClearBackgroundPixmap,
             ui.action_PaintProperty, ui.action_ZoomIn, ui.action_ZoomOut, ui.action_ZoomDefault, ui.action_ZoomFit,
             ui.action_ShowGrid, ui.action_SnapGrid, ui.action_GridSettings, ui.action_Close, ui.action_CloseAll,
             ui.action_Tile, ui.action_Cascade, ui.action_Next, ui.action_Previous, ui.action_CheckConnections,
             ui.action_CheckPoints})
        a->setEnabled(d);
    // Paste follows the clipboard from the start, not only from its next change.
    ui.action_Paste->setEnabled(d && view->documentScene()->canPaste());
    const bool online = CDataLink::GetDataLink()->online;
    ui.actionDIZ30->setEnabled(online);
    ui.actionSaveDiz30->setEnabled(d && online);

    applyToSelection(ui, view ? view->documentScene()->selectedItems() : QList<QGraphicsItem *>());
    ui.action_svgFile->setEnabled(d && !view->isUntitledOrModified());

    ui.action_Separator->setVisible(d);
    for (QToolBar *bar : {ui.graphicsBox, ui.deviceBox, ui.monitorBox})
        bar->setEnabled(d);
    // The "绘图" menu offers the same actions as the bars.
    for (QAction *tool : ui.toolActions)
        tool->setEnabled(d);
    if (!d)
        ui.action_Void->activate(QAction::Trigger);
}

void EnablingRules::applyToSelection(const Ui_PlotwrightClass &ui, const QList<QGraphicsItem *> &items)
{
    const int selected = items.size();
    const bool hasGroup
        = std::any_of(items.begin(), items.end(), [](QGraphicsItem *item) { return item->type() == ItemKind::Group; });
    for (QAction *a : {ui.action_Deselect, ui.action_CreateGroup, ui.action_Copy, ui.action_Cut, ui.action_Delete})
        a->setEnabled(selected >= 1);
    ui.action_DestroyGroup->setEnabled(hasGroup);
    for (QAction *a :
        {ui.action_AlignmentLeft, ui.action_AlignmentRight, ui.action_AlignmentTop, ui.action_AlignmentBottom,
            ui.action_AlignmentHCenter, ui.action_AlignmentVCenter, ui.action_EqualWidth, ui.action_EqualHeight})
        a->setEnabled(selected >= 2);
    ui.action_EqualHCross->setEnabled(selected >= 3);
    ui.action_EqualVCross->setEnabled(selected >= 3);
    for (QAction *a : {ui.action_BringToFront, ui.action_SendToBack, ui.action_LayerUpper, ui.action_LayerLower})
        a->setEnabled(selected == 1);
}
