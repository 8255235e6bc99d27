#ifndef PLOTWRIGHTFORM_H
#define PLOTWRIGHTFORM_H

#include <QHash>
#include <QList>

class QAction;
class QGridLayout;
class QMainWindow;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QWidget;

// The main window's form, written in the shape of a designer form: setupUi() builds every
// widget and action, retranslateUi() sets the texts; the window connects the actions. The
// many actions are described by tables, not by one block of code each.
class Ui_PlotwrightClass
{
public:
    // One drawing tool: its action, the item type it draws, its picture stem and the bar that
    // shows it (in table order). A tool that no code names needs no member of its own (null
    // here): toolAction() finds every tool's action.
    struct Tool
    {
        QAction *Ui_PlotwrightClass::*action;
        const char *objectName;
        const char *text;
        const char *toolTip; // null: none
        const char *statusTip; // null: same as the tooltip; "": none
        int number;
        const char *stem;
        enum Bar
        {
            Graphics,
            Device,
            Monitor
        } bar;
    };
    static const QList<Tool> &tools();
    // The action of the tool with that number, null when there is none.
    QAction *toolAction(int number) const { return toolActions.value(number); }

    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);
    // The bars of drawing tools, their View toggles and the "绘图" menu.
    void setupDrawingBars(QMainWindow *window);

    QAction *action_NewGraph, *action_NewFromTemplate, *action_OpenGraph, *action_Save, *action_SaveAs, *actionDIZ30,
        *actionSaveDiz30, *action_svgFile, *action_NewTemplate, *action_OpenTemplate, *action_Quit;
    QAction *action_SelectAll, *action_Deselect, *action_CreateGroup, *action_DestroyGroup, *action_Copy, *action_Cut,
        *action_Paste, *action_Delete;
    QAction *action_EnvironmentSettings, *action_BackgroundColor, *action_BackgroundPixmap,
        *action_ClearBackgroundPixmap, *action_PaintProperty;
    QAction *action_PropertyEditor, *action_graphicsBox, *action_deviceBox, *action_colorBox, *action_mainToolBar,
        *action_StatusBar;
    QAction *action_GraphicsManager, *action_SvgManager, *action_GroupManager, *action_PushGraphProperty,
        *action_CheckConnections, *action_CheckPoints, *action_ImportPoints;
    QAction *action_Close, *action_CloseAll, *action_Tile, *action_Cascade, *action_Next, *action_Previous,
        *action_Separator, *action_About;
    QAction *action_AlignmentLeft, *action_AlignmentRight, *action_AlignmentTop, *action_AlignmentBottom,
        *action_AlignmentHCenter, *action_AlignmentVCenter, *action_EqualWidth, *action_EqualHeight,
        *action_EqualHCross, *action_EqualVCross;
    QAction *action_BringToFront, *action_SendToBack, *action_LayerUpper, *action_LayerLower;
    QAction *action_ZoomIn, *action_ZoomOut, *action_ZoomDefault, *action_ZoomFit;
    QAction *action_ShowGrid, *action_SnapGrid, *action_GridSettings;

    QAction *action_Void, *action_Line, *action_Rectangle, *action_Triangle, *action_Ellipse, *action_Arc,
        *action_Chord, *action_Sector, *action_Grid, *action_GIF, *action_SVG, *action_DIY, *action_Group;
    QAction *action_Text, *action_TextYc, *action_YX, *action_StatusImg, *action_Switch, *action_Cap, *action_Break,
        *action_Melt, *action_Sis, *action_Loop, *action_Rod, *action_Generator, *action_Motor, *action_Ground,
        *action_MTransformer, *action_STransformer, *action_CT, *action_PT, *action_Light, *action_Bell, *action_Diode,
        *action_Danger, *action_Link, *action_Capacity_Overlook, *action_Capacity_Face;
    QAction *action_YC, *action_Bar, *action_Curve, *action_Clock, *action_DClock, *action_Button, *action_Hot,
        *action_Dial, *action_Pie, *action_BarExtend, *action_Circle, *action_Detail, *action_TextExt,
        *action_Rankchart, *action_Thermo;

    // The third drawing bar, its View toggle, and the menu of every drawing tool by bar.
    QAction *action_monitorBox;
    QToolBar *monitorBox;
    QMenu *menu_draw;

    QHash<int, QAction *> toolActions;

    QWidget *centralWidget;
    QGridLayout *gridLayout;
    QMdiArea *mdiArea;
    QMenuBar *menuBar;
    QMenu *menu_file, *menu_recentFiles, *menu_edit, *menu_settings, *menu_tools, *menu_viewer, *menu_windows,
        *menu_help;
    QToolBar *mainToolBar, *deviceBox, *graphicsBox;
    QStatusBar *statusBar;
};

namespace Ui {
class PlotwrightClass : public Ui_PlotwrightClass
{ };
} // namespace Ui

#endif
