#include "windowcommands.h"

#include "app/plotwright.h"
#include "scene/scene.h"

#include <QMdiArea>

using Form = Ui_PlotwrightClass;

const QList<WindowCommands::OfWindow> &WindowCommands::ofWindow()
{
    static const QList<OfWindow> table = {
        {&Form::action_NewGraph, &Plotwright::slotNewGraph},
        {&Form::action_OpenGraph, &Plotwright::slotOpenGraph},
        {&Form::action_Save, &Plotwright::slotSave},
        {&Form::action_SaveAs, &Plotwright::slotSaveAs},
        {&Form::actionDIZ30, &Plotwright::slotOpenDIZ30},
        {&Form::actionSaveDiz30, &Plotwright::slotSaveDiz30},
        {&Form::action_svgFile, &Plotwright::slotExportSvgFile},
        {&Form::action_NewTemplate, &Plotwright::slotNewTemplate},
        {&Form::action_OpenTemplate, &Plotwright::slotOpenTemplate},
        {&Form::action_SelectAll, &Plotwright::slotSelectAll},
        {&Form::action_Paste, &Plotwright::slotPaste},
        {&Form::action_EnvironmentSettings, &Plotwright::slotEnvironmentSettings},
        {&Form::action_BackgroundColor, &Plotwright::slotBackgroundColor},
        {&Form::action_BackgroundPixmap, &Plotwright::slotBackgroundPixmap},
        {&Form::action_PaintProperty, &Plotwright::slotPaintProperty},
        {&Form::action_GraphicsManager, &Plotwright::slotGraphicsManager},
        {&Form::action_SvgManager, &Plotwright::slotSvgManager},
        {&Form::action_GroupManager, &Plotwright::slotGroupManager},
        {&Form::action_PushGraphProperty, &Plotwright::slotPushGraphProperty},
        {&Form::action_About, &Plotwright::slotAbout},
        {&Form::action_ZoomIn, &Plotwright::slotZoomIn},
        {&Form::action_ZoomOut, &Plotwright::slotZoomOut},
        {&Form::action_ZoomDefault, &Plotwright::slotZoomDefault},
    };
    return table;
}

const QList<WindowCommands::OfScene> &WindowCommands::ofScene()
{
    static const QList<OfScene> table = {
        {&Form::action_Deselect, &QGraphicsScene::clearSelection},
        {&Form::action_CreateGroup, &Scene::createGroup},
        {&Form::action_DestroyGroup, &Scene::destroyGroup},
        {&Form::action_Copy, &Scene::copy},
        {&Form::action_Cut, &Scene::cut},
        {&Form::action_Delete, &Scene::remove},
        {&Form::action_AlignmentLeft, &Scene::alignmentLeft},
        {&Form::action_AlignmentRight, &Scene::alignmentRight},
        {&Form::action_AlignmentTop, &Scene::alignmentTop},
        {&Form::action_AlignmentBottom, &Scene::alignmentBottom},
        {&Form::action_AlignmentHCenter, &Scene::alignmentHCenter},
        {&Form::action_AlignmentVCenter, &Scene::alignmentVCenter},
        {&Form::action_EqualWidth, &Scene::equalWidth},
        {&Form::action_EqualHeight, &Scene::equalHeight},
        {&Form::action_EqualHCross, &Scene::equalHCross},
        {&Form::action_EqualVCross, &Scene::equalVCross},
        {&Form::action_BringToFront, &Scene::bringToFront},
        {&Form::action_SendToBack, &Scene::sendToBack},
        {&Form::action_LayerUpper, &Scene::layerUpper},
        {&Form::action_LayerLower, &Scene::layerLower},
    };
    return table;
}

const QList<WindowCommands::OfArea> &WindowCommands::ofArea()
{
    static const QList<OfArea> table = {
        {&Form::action_Tile, &QMdiArea::tileSubWindows},
        {&Form::action_Cascade, &QMdiArea::cascadeSubWindows},
        {&Form::action_Previous, &QMdiArea::activatePreviousSubWindow},
        {&Form::action_Next, &QMdiArea::activateNextSubWindow},
        {&Form::action_Close, &QMdiArea::closeActiveSubWindow},
        {&Form::action_CloseAll, &QMdiArea::closeAllSubWindows},
    };
    return table;
}
