#include "plotwrightform.h"

#include "itemkind.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using Form = Ui_PlotwrightClass;

namespace {

const char *const Context = "PlotwrightClass";
const char *const ResourcePrefix = ":/Plotwright/Resources/";

// One command action. statusTip: null means "same as the tooltip", "" means none.
struct Command
{
    QAction *Form::*action;
    const char *objectName;
    const char *text;
    const char *toolTip;
    const char *statusTip;
    const char *shortcut;
    const char *icon;
    const char *iconText;
    enum Check
    {
        Plain,
        Checkable,
        Checked
    } check;
};

// clang-format off: one row per line reads as the table it is.
const Command Commands[] = {
    {&Form::action_NewGraph, "action_NewGraph", "新建", "新建画面", nullptr, "Ctrl+N", "new.png", "新建画面",
        Command::Plain},
    {&Form::action_NewFromTemplate, "action_NewFromTemplate", "从模板新建...", "从模板新建画面", nullptr, nullptr,
        nullptr, nullptr, Command::Plain},
    {&Form::action_OpenGraph, "action_OpenGraph", "导入本地画面", "导入本地画面", nullptr, "Ctrl+Shift+O", "open.png",
        nullptr, Command::Plain},
    {&Form::action_Save, "action_Save", "本地保存", "保存当前画布", nullptr, nullptr, "save.png", "保存",
        Command::Plain},
    {&Form::action_SaveAs, "action_SaveAs", "导出本地画面", "导出本地画面", nullptr, "Ctrl+Shift+S", "saveAs.png",
        nullptr, Command::Plain},
    {&Form::actionDIZ30, "actionDIZ30", "打开", "打开", "", "Ctrl+O", "open.png", nullptr, Command::Plain},
    {&Form::actionSaveDiz30, "actionSaveDiz30", "保存", "保存", "", "Ctrl+S", "saveAs.png", nullptr, Command::Plain},
    {&Form::action_svgFile, "action_svgFile", "导出本地SVG", "导出svg文件", "", nullptr, "export.png", nullptr,
        Command::Plain},
    {&Form::action_NewTemplate, "action_NewTemplate", "新建模板", "新建模板", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_OpenTemplate, "action_OpenTemplate", "打开模板", "打开模板", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_Quit, "action_Quit", "退出(&Q)", "退出绘图包", nullptr, nullptr, nullptr, "退出", Command::Plain},
    {&Form::action_SelectAll, "action_SelectAll", "全选", "选中所有图元", nullptr, "Ctrl+A", nullptr, nullptr,
        Command::Plain},
    {&Form::action_Deselect, "action_Deselect", "取消选择", "取消选中所有图元", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_CreateGroup, "action_CreateGroup", "组合", "组合选中图元", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_DestroyGroup, "action_DestroyGroup", "拆分", "拆分选中图元", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_Copy, "action_Copy", "复制", "复制选中图元", nullptr, "Ctrl+C", "copy.png", nullptr, Command::Plain},
    {&Form::action_Cut, "action_Cut", "剪切", "剪切选中图元", nullptr, "Ctrl+X", "cut.png", nullptr, Command::Plain},
    {&Form::action_Paste, "action_Paste", "粘贴", "粘贴", nullptr, "Ctrl+V", "paste.png", nullptr, Command::Plain},
    {&Form::action_Delete, "action_Delete", "删除", "删除选中图元", nullptr, "Del", "delete.png", nullptr,
        Command::Plain},
    {&Form::action_EnvironmentSettings, "action_EnvironmentSettings", "绘图环境设置(&E)", "绘图环境设置", nullptr,
        nullptr, "EnvSettings.png", "绘图环境设置", Command::Plain},
    {&Form::action_BackgroundColor, "action_BackgroundColor", "设置背景色", nullptr, "设置背景色", nullptr,
        "BackgroundgColor.png", nullptr, Command::Plain},
    {&Form::action_BackgroundPixmap, "action_BackgroundPixmap", "背景位图", "设置背景位图", nullptr, nullptr,
        "BackgroundPixmap.png", nullptr, Command::Plain},
    {&Form::action_ClearBackgroundPixmap, "action_ClearBackgroundPixmap", "清除背景位图", "清除背景位图", nullptr,
        nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_PaintProperty, "action_PaintProperty", "绘图属性", "设置绘图属性", nullptr, nullptr,
        "PaintProperty.png", nullptr, Command::Plain},
    {&Form::action_PropertyEditor, "action_PropertyEditor", "属性编辑器", "显示/隐藏属性编辑器", nullptr, nullptr,
        nullptr, nullptr, Command::Checkable},
    {&Form::action_graphicsBox, "action_graphicsBox", "图形工具箱", "显示/隐藏图形工具箱", nullptr, nullptr, nullptr,
        nullptr, Command::Checked},
    {&Form::action_deviceBox, "action_deviceBox", "设备工具箱", "显示/隐藏设备工具箱", nullptr, nullptr, nullptr,
        nullptr, Command::Checked},
    {&Form::action_monitorBox, "action_monitorBox", "监控元素", "显示/隐藏监控元素", nullptr, nullptr, nullptr, nullptr,
        Command::Checked},
    {&Form::action_colorBox, "action_colorBox", "颜色工具箱", "显示/隐藏颜色工具箱", nullptr, nullptr, nullptr, nullptr,
        Command::Checked},
    {&Form::action_mainToolBar, "action_mainToolBar", "工具栏", "显示/隐藏工具栏", nullptr, nullptr, nullptr, nullptr,
        Command::Checked},
    {&Form::action_StatusBar, "action_StatusBar", "状态栏", "显示/隐藏状态栏", nullptr, nullptr, nullptr, nullptr,
        Command::Checked},
    {&Form::action_GraphicsManager, "action_GraphicsManager", "图符库管理器", "打开图符库管理器", nullptr, nullptr,
        "Tool.png", nullptr, Command::Plain},
    {&Form::action_SvgManager, "action_SvgManager", "SVG库管理器", nullptr, "打开SVG库管理器", nullptr, nullptr,
        nullptr, Command::Plain},
    {&Form::action_GroupManager, "action_GroupManager", "图元组管理器", nullptr, "打开图元组管理器", nullptr, nullptr,
        nullptr, Command::Plain},
    {&Form::action_PushGraphProperty, "action_PushGraphProperty", "推图窗口属性", nullptr, "打开推图窗口属性", nullptr,
        nullptr, nullptr, Command::Plain},
    {&Form::action_CheckConnections, "action_CheckConnections", "检查连接", "检查线路端点与设备接点的连接", nullptr,
        nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_CheckPoints, "action_CheckPoints", "点号检查", "列出当前画面的点号绑定及其状态", nullptr, nullptr,
        nullptr, nullptr, Command::Plain},
    {&Form::action_ImportPoints, "action_ImportPoints", "导入点表...", "把点表文件导入本工程的点表数据库", nullptr,
        nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_Close, "action_Close", "关闭(&C)", "关闭当前画布", nullptr, nullptr, "close.png", nullptr,
        Command::Plain},
    {&Form::action_CloseAll, "action_CloseAll", "全部关闭", "关闭所有画布", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_Tile, "action_Tile", "平铺", "平铺所有画布", nullptr, nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_Cascade, "action_Cascade", "层叠", "层叠所有画布", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    {&Form::action_Next, "action_Next", "下一个", "下一个画布", nullptr, nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_Previous, "action_Previous", "上一个", "上一个画布", nullptr, nullptr, nullptr, nullptr,
        Command::Plain},
    // A separator's text would show as a heading over the window list: only its tooltip keeps the name.
    {&Form::action_Separator, "action_Separator", "", "分隔符", "", nullptr, nullptr, nullptr, Command::Plain},
    {&Form::action_About, "action_About", "关于(&A)...", "显示绘图包信息", nullptr, nullptr, nullptr, "关于",
        Command::Plain},
    {&Form::action_AlignmentLeft, "action_AlignmentLeft", "左对齐", "左对齐选中图元", nullptr, nullptr,
        "AlignmentLeft.png", nullptr, Command::Plain},
    {&Form::action_AlignmentRight, "action_AlignmentRight", "右对齐", "右对齐选中图元", nullptr, nullptr,
        "AlignmentRight.png", nullptr, Command::Plain},
    {&Form::action_AlignmentTop, "action_AlignmentTop", "上对齐", "上对齐选中图元", nullptr, nullptr,
        "AlignmentTop.png", nullptr, Command::Plain},
    {&Form::action_AlignmentBottom, "action_AlignmentBottom", "下对齐", "下对齐选中图元", nullptr, nullptr,
        "AlignmentBottom.png", nullptr, Command::Plain},
    {&Form::action_AlignmentHCenter, "action_AlignmentHCenter", "水平居中对齐", "水平居中对齐选中图元", nullptr,
        nullptr, "AlignmentHCenter.png", nullptr, Command::Plain},
    {&Form::action_AlignmentVCenter, "action_AlignmentVCenter", "垂直居中对齐", "垂直居中对齐选中图元", nullptr,
        nullptr, "AlignmentVCenter.png", nullptr, Command::Plain},
    {&Form::action_EqualWidth, "action_EqualWidth", "等宽", "等宽选中图元", nullptr, nullptr, "EqualWidth.png", nullptr,
        Command::Plain},
    {&Form::action_EqualHeight, "action_EqualHeight", "等高", "等高选中图元", nullptr, nullptr, "EqualHeight.png",
        nullptr, Command::Plain},
    {&Form::action_EqualHCross, "action_EqualHCross", "水平等间距", "水平等间距选中图元", nullptr, nullptr,
        "EqualHCross.png", nullptr, Command::Plain},
    {&Form::action_EqualVCross, "action_EqualVCross", "垂直等间距", "垂直等间距选中图元", nullptr, nullptr,
        "EqualVCross.png", nullptr, Command::Plain},
    {&Form::action_BringToFront, "action_BringToFront", "置顶", "选中图元置顶", nullptr, "+", "bringtofront.png",
        nullptr, Command::Plain},
    {&Form::action_SendToBack, "action_SendToBack", "置底", "选中图元置底", nullptr, "-", "sendtoback.png", nullptr,
        Command::Plain},
    {&Form::action_LayerUpper, "action_LayerUpper", "上移一层", "选中图元上移一层", "", "F", "bringtofront.png",
        nullptr, Command::Plain},
    {&Form::action_LayerLower, "action_LayerLower", "下移一层", "选中图元下移一层", "", "B", "sendtoback.png", nullptr,
        Command::Plain},
    {&Form::action_ZoomIn, "action_ZoomIn", "放大", "放大当前画布", nullptr, "Ctrl++", "zoomin.png", nullptr,
        Command::Plain},
    {&Form::action_ZoomOut, "action_ZoomOut", "缩小", "缩小当前画布", nullptr, "Ctrl+-", "zoomout.png", nullptr,
        Command::Plain},
    {&Form::action_ZoomDefault, "action_ZoomDefault", "默认视图", nullptr, "默认视图", "Ctrl+=", "zoomdefault.png",
        nullptr, Command::Plain},
    {&Form::action_ZoomFit, "action_ZoomFit", "适合窗口", "使整个画布适合窗口", nullptr, nullptr, "zoomfit.png",
        nullptr, Command::Plain},
    {&Form::action_ShowGrid, "action_ShowGrid", "显示网格", "显示/隐藏网格", nullptr, nullptr, "showgrid.png", nullptr,
        Command::Checkable},
    {&Form::action_SnapGrid, "action_SnapGrid", "吸附网格", "绘图时吸附到网格点(按住Alt暂不吸附)", nullptr, nullptr,
        "snapgrid.png", nullptr, Command::Checkable},
    {&Form::action_GridSettings, "action_GridSettings", "网格与吸附", "设置网格间距与吸附", nullptr, nullptr, nullptr,
        nullptr, Command::Plain},
};
// clang-format on

// The bars of drawing tools; each shows the tools of the tool table that name it, and the
// "绘图" menu lists them bar by bar. Added in this order: the monitor bar goes right of the
// device bar, on its row.
struct DrawingBar
{
    QToolBar *Form::*bar;
    QAction *Form::*toggle;
    Form::Tool::Bar tools;
    Qt::ToolBarArea area;
    const char *objectName;
    const char *title;
};
const DrawingBar DrawingBars[] = {
    {&Form::graphicsBox, &Form::action_graphicsBox, Form::Tool::Graphics, Qt::LeftToolBarArea, "graphicsBox",
        "图形工具箱"},
    {&Form::deviceBox, &Form::action_deviceBox, Form::Tool::Device, Qt::TopToolBarArea, "deviceBox", "设备工具箱"},
    {&Form::monitorBox, &Form::action_monitorBox, Form::Tool::Monitor, Qt::TopToolBarArea, "monitorBox", "监控元素"},
};

// Tools that open a section of their bar: a separator goes before each.
bool startsSection(int number)
{
    for (int first : {ItemKind::Line, ItemKind::Rectangle, ItemKind::Animation, ItemKind::Bar, ItemKind::Button}) {
        if (number == first)
            return true;
    }
    return false;
}

// Status tip and What's This follow the tooltip. Actions without a tooltip take both from
// their own status text; a few keep the tooltip as help but show another status tip.
void applyTips(QAction *action, const char *toolTip, const char *statusTip)
{
    auto tr = [](const char *s) { return QCoreApplication::translate(Context, s); };
    if (toolTip)
        action->setToolTip(tr(toolTip));
    const char *status = statusTip ? statusTip : toolTip;
    action->setStatusTip(status ? tr(status) : QString());
    const char *help = toolTip ? toolTip : statusTip;
    action->setWhatsThis(help ? tr(help) : QString());
}

} // namespace

const QList<Form::Tool> &Form::tools()
{
    // A row without a text of its own is called by the name of the kind it draws.
    static const QList<Tool> table = [] {
        // clang-format off
        QList<Tool> rows = {
        {&Form::action_Void, "action_Void", "指针", "指针(ESC)", nullptr, ItemKind::Pointer, "ToolVoid", Tool::Graphics},
        {&Form::action_Line, "action_Line", nullptr, "绘制直线", nullptr, ItemKind::Line, "Line", Tool::Graphics},
        {&Form::action_Rectangle, "action_Rectangle", nullptr, "绘制矩形", nullptr, ItemKind::Rectangle, "Rectangle", Tool::Graphics},
        {&Form::action_Triangle, "action_Triangle", nullptr, "绘制三角形", nullptr, ItemKind::Triangle, "Triangle", Tool::Graphics},
        {&Form::action_Ellipse, "action_Ellipse", nullptr, "绘制椭圆", nullptr, ItemKind::Ellipse, "Ellipse", Tool::Graphics},
        {&Form::action_Arc, "action_Arc", nullptr, "绘制圆弧", nullptr, ItemKind::Arc, "Arc", Tool::Graphics},
        {&Form::action_Chord, "action_Chord", nullptr, "绘制弦", nullptr, ItemKind::Chord, "Chord", Tool::Graphics},
        {&Form::action_Sector, "action_Sector", nullptr, "绘制扇形", nullptr, ItemKind::Sector, "Sector", Tool::Graphics},
        {&Form::action_Grid, "action_Grid", nullptr, "绘制网格", nullptr, ItemKind::Grid, "Grid", Tool::Graphics},
        {&Form::action_GIF, "action_GIF", nullptr, "绘制动画", nullptr, ItemKind::Animation, "GIF", Tool::Graphics},
        {&Form::action_SVG, "action_SVG", nullptr, "绘制SVG矢量图元", nullptr, ItemKind::SvgPicture, "SVG", Tool::Graphics},
        {&Form::action_DIY, "action_DIY", nullptr, nullptr, "绘制自定义图符", ItemKind::CustomSymbol, "DIY", Tool::Graphics},
        {&Form::action_Group, "action_Group", "自定义图元组", nullptr, "绘制自定义图元组", ItemKind::Group, "Group", Tool::Graphics},
        {&Form::action_Text, "action_Text", nullptr, "绘制文字", nullptr, ItemKind::PlainText, "Text", Tool::Device},
        {&Form::action_TextYc, "action_TextYc", nullptr, "绘制文本模拟量", "", ItemKind::TextValue, "TextYc", Tool::Device},
        {&Form::action_YX, "action_YX", nullptr, "绘制开关量", nullptr, ItemKind::Breaker, "YX", Tool::Device},
        {&Form::action_StatusImg, "action_StatusImg", nullptr, "绘制开关图形", "绘制动画", ItemKind::BreakerPicture, "StatusImg", Tool::Device},
        {&Form::action_Switch, "action_Switch", nullptr, "绘制刀闸", nullptr, ItemKind::Disconnector, "Switch", Tool::Device},
        {&Form::action_Cap, "action_Cap", nullptr, "绘制电容器", nullptr, ItemKind::Capacitor, "Cap", Tool::Device},
        {&Form::action_Break, "action_Break", nullptr, "绘制手车", nullptr, ItemKind::BreakerTruck, "Break", Tool::Device},
        {&Form::action_Melt, "action_Melt", nullptr, "绘制熔断器", nullptr, ItemKind::Fuse, "Melt", Tool::Device},
        {&Form::action_Sis, "action_Sis", nullptr, "绘制电抗", nullptr, ItemKind::Reactor, "Sis", Tool::Device},
        {&Form::action_Loop, "action_Loop", nullptr, "绘制消弧线圈", nullptr, ItemKind::ArcSuppressionCoil, "Loop", Tool::Device},
        {&Form::action_Rod, "action_Rod", nullptr, "绘制避雷针", nullptr, ItemKind::Arrester, "Rod", Tool::Device},
        {&Form::action_Generator, "action_Generator", nullptr, "绘制发电机", nullptr, ItemKind::Generator, "Generator", Tool::Device},
        {&Form::action_Motor, "action_Motor", nullptr, "绘制电动机", nullptr, ItemKind::Motor, "Motor", Tool::Device},
        {&Form::action_Ground, "action_Ground", nullptr, "绘制接地符", nullptr, ItemKind::Earth, "Ground", Tool::Device},
        {&Form::action_MTransformer, "action_MTransformer", nullptr, "绘制主变压器", nullptr, ItemKind::MainTransformer, "MTransformer", Tool::Device},
        {&Form::action_STransformer, "action_STransformer", nullptr, "绘制配变压器", nullptr, ItemKind::DistributionTransformer, "STransformer", Tool::Device},
        {&Form::action_CT, "action_CT", nullptr, "绘制电流互感器", nullptr, ItemKind::CurrentTransformer, "CT", Tool::Device},
        {&Form::action_PT, "action_PT", nullptr, "绘制电压互感器", nullptr, ItemKind::VoltageTransformer, "PT", Tool::Device},
        {&Form::action_Light, "action_Light", nullptr, "绘制灯", nullptr, ItemKind::Lamp, "Light", Tool::Device},
        {&Form::action_Bell, "action_Bell", nullptr, "绘制电铃", nullptr, ItemKind::Bell, "Bell", Tool::Device},
        {&Form::action_Diode, "action_Diode", nullptr, "绘制二极管", nullptr, ItemKind::Diode, "Diode", Tool::Device},
        {&Form::action_Danger, "action_Danger", nullptr, "绘制危险标示", nullptr, ItemKind::Danger, "Danger", Tool::Device},
        {&Form::action_Link, "action_Link", nullptr, "绘制图形链接", "绘制热点链接", ItemKind::GraphLink, "Link", Tool::Device},
        {&Form::action_Capacity_Overlook, "action_Capacity_Overlook", nullptr, "绘制容量(俯视图)", "", ItemKind::CapacityPlan, "Capacity", Tool::Device},
        {&Form::action_Capacity_Face, "action_Capacity_Face", nullptr, "绘制容量(正视图)", "", ItemKind::CapacityFront, "CapacityFace", Tool::Device},
        {&Form::action_YC, "action_YC", nullptr, "绘制模拟量", nullptr, ItemKind::AnalogValue, "YC", Tool::Monitor},
        {&Form::action_TextExt, "action_TextExt", nullptr, "绘制文字(扩展)", nullptr, ItemKind::ExtendedText, "TextExt", Tool::Monitor},
        {&Form::action_DClock, "action_DClock", nullptr, "绘制数字式时钟", nullptr, ItemKind::DigitalClock, "DClock", Tool::Monitor},
        {&Form::action_Bar, "action_Bar", nullptr, "绘制棒图", nullptr, ItemKind::Bar, "Bar", Tool::Monitor},
        {&Form::action_BarExtend, "action_BarExtend", nullptr, "绘制棒图(扩展)", nullptr, ItemKind::ExtendedBar, "BarExtend", Tool::Monitor},
        {&Form::action_Curve, "action_Curve", nullptr, "绘制曲线", "绘制棒图曲线", ItemKind::Curve, "Curve", Tool::Monitor},
        {&Form::action_Pie, "action_Pie", nullptr, "绘制饼图", nullptr, ItemKind::Pie, "Pie", Tool::Monitor},
        {&Form::action_Dial, "action_Dial", nullptr, "绘制表盘", nullptr, ItemKind::Dial, "Dial", Tool::Monitor},
        {&Form::action_Clock, "action_Clock", nullptr, "绘制时钟", nullptr, ItemKind::Clock, "Clock", Tool::Monitor},
        {&Form::action_Rankchart, "action_Rankchart", nullptr, "绘制功耗排名棒图", "", ItemKind::Rank, "RankChart", Tool::Monitor},
        {&Form::action_Thermo, "action_Thermo", nullptr, "绘制游标", "", ItemKind::Cursor, "Thermo", Tool::Monitor},
        {&Form::action_Button, "action_Button", nullptr, "绘制按钮", nullptr, ItemKind::Button, "Button", Tool::Monitor},
        {&Form::action_Hot, "action_Hot", nullptr, "绘制热点链接", nullptr, ItemKind::HotSpot, "Hot", Tool::Monitor},
        {&Form::action_Detail, "action_Detail", nullptr, nullptr, "绘制详情", ItemKind::Details, "Detail", Tool::Monitor},
        {&Form::action_Circle, "action_Circle", nullptr, nullptr, "绘制回路(设备)", ItemKind::Circuit, "Circle", Tool::Monitor},
        };
        // clang-format on
        for (Tool &t : rows) {
            if (!t.text)
                t.text = ItemKind::find(t.number)->name;
        }
        return rows;
    }();
    return table;
}

void Form::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("PlotwrightClass"));
    window->resize(1280, 968);
    window->setContextMenuPolicy(Qt::NoContextMenu);

    for (const Command &c : Commands) {
        QAction *action = new QAction(window);
        action->setObjectName(QLatin1String(c.objectName));
        if (c.icon)
            action->setIcon(QIcon(QLatin1String(ResourcePrefix) + QLatin1String(c.icon)));
        if (c.check != Command::Plain) {
            action->setCheckable(true);
            action->setChecked(c.check == Command::Checked);
        }
        this->*c.action = action;
    }

    for (const Tool &t : tools()) {
        QAction *action = new QAction(window);
        action->setObjectName(QLatin1String(t.objectName));
        action->setIcon(
            QIcon(QStringLiteral("%1tool/%2.png").arg(QLatin1String(ResourcePrefix), QLatin1String(t.stem))));
        // The two capacity tools draw at once and stay unchecked.
        const bool oneShot = t.action == &Form::action_Capacity_Overlook || t.action == &Form::action_Capacity_Face;
        action->setCheckable(!oneShot);
        action->setData(t.number);
        if (t.action)
            this->*t.action = action;
        toolActions.insert(t.number, action);
    }
    action_Void->setChecked(true);

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    gridLayout = new QGridLayout(centralWidget);
    gridLayout->setSpacing(6);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    mdiArea = new QMdiArea(centralWidget);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    gridLayout->addWidget(mdiArea, 0, 0, 1, 1);
    window->setCentralWidget(centralWidget);

    menuBar = new QMenuBar(window);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    auto makeMenu = [this](const char *name) {
        QMenu *menu = new QMenu(menuBar);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    menu_file = makeMenu("menu_file");
    menu_recentFiles = new QMenu(menu_file);
    menu_recentFiles->setObjectName(QStringLiteral("menu_recentFiles"));
    menu_edit = makeMenu("menu_edit");
    menu_settings = makeMenu("menu_settings");
    menu_tools = makeMenu("menu_tools");
    menu_viewer = makeMenu("menu_viewer");
    menu_windows = makeMenu("menu_windows");
    menu_help = makeMenu("menu_help");
    menu_draw = makeMenu("menu_draw");
    window->setMenuBar(menuBar);

    mainToolBar = new QToolBar(window);
    mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    window->addToolBar(Qt::TopToolBarArea, mainToolBar);

    statusBar = new QStatusBar(window);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    window->setStatusBar(statusBar);

    for (QMenu *menu :
        {menu_file, menu_edit, menu_draw, menu_settings, menu_tools, menu_viewer, menu_windows, menu_help})
        menuBar->addAction(menu->menuAction());

    // A null entry in these lists stands for a separator.
    auto fill = [](QWidget *target, std::initializer_list<QAction *> actions) {
        for (QAction *a : actions) {
            if (a)
                target->addAction(a);
            else if (auto *menu = qobject_cast<QMenu *>(target))
                menu->addSeparator();
            else if (auto *bar = qobject_cast<QToolBar *>(target))
                bar->addSeparator();
        }
    };
    fill(menu_file,
        {action_NewGraph, action_NewFromTemplate, nullptr, actionDIZ30, actionSaveDiz30, nullptr, action_OpenGraph,
            action_SaveAs, action_svgFile, nullptr, action_NewTemplate, action_OpenTemplate, nullptr,
            menu_recentFiles->menuAction(), nullptr, action_Quit});
    fill(menu_edit,
        {action_SelectAll, action_Deselect, nullptr, action_CreateGroup, action_DestroyGroup, nullptr, action_Copy,
            action_Cut, action_Paste, action_Delete});
    fill(menu_settings,
        {action_EnvironmentSettings, action_BackgroundColor, action_BackgroundPixmap, action_ClearBackgroundPixmap,
            action_PaintProperty, nullptr, action_GridSettings});
    fill(menu_tools,
        {action_GraphicsManager, action_SvgManager, action_GroupManager, action_PushGraphProperty, nullptr,
            action_CheckConnections, action_CheckPoints, nullptr, action_ImportPoints});
    fill(menu_viewer,
        {action_PropertyEditor, action_graphicsBox, action_deviceBox, action_colorBox, action_mainToolBar,
            action_StatusBar});
    fill(menu_windows,
        {action_Close, action_CloseAll, nullptr, action_Tile, action_Cascade, nullptr, action_Next, action_Previous,
            action_Separator});
    fill(menu_help, {action_About});

    fill(mainToolBar,
        {action_NewGraph, nullptr, actionDIZ30, actionSaveDiz30, action_OpenGraph, action_SaveAs, nullptr,
            action_svgFile, nullptr, action_EnvironmentSettings, action_BackgroundColor, action_BackgroundPixmap,
            action_PaintProperty, nullptr, action_AlignmentLeft, action_AlignmentRight, action_AlignmentTop,
            action_AlignmentBottom, action_AlignmentHCenter, action_AlignmentVCenter, action_EqualWidth,
            action_EqualHeight, action_EqualHCross, action_EqualVCross, nullptr, action_BringToFront, action_SendToBack,
            action_LayerUpper, action_LayerLower, nullptr, action_ZoomIn, action_ZoomOut, action_ZoomDefault,
            action_ZoomFit, nullptr, action_ShowGrid, action_SnapGrid});
    setupDrawingBars(window);

    retranslateUi(window);
}

void Form::setupDrawingBars(QMainWindow *window)
{
    for (const DrawingBar &b : DrawingBars) {
        auto *bar = new QToolBar(window);
        bar->setObjectName(QLatin1String(b.objectName));
        window->addToolBar(b.area, bar);
        this->*b.bar = bar;
        for (const Tool &t : tools()) {
            if (t.bar != b.tools)
                continue;
            if (startsSection(t.number))
                bar->addSeparator();
            bar->addAction(toolAction(t.number));
        }
        QMenu *menu = menu_draw->addMenu(QString());
        menu->addActions(bar->actions());
        QObject::connect(bar, &QWidget::windowTitleChanged, menu, &QMenu::setTitle);
        QObject::connect(this->*b.toggle, &QAction::triggered, bar, &QWidget::setVisible);
    }
    window->insertToolBarBreak(deviceBox);
}

void Form::retranslateUi(QMainWindow *window)
{
    auto tr = [](const char *s) { return QCoreApplication::translate(Context, s); };
    window->setWindowTitle(tr("Plotwright"));

    for (const Command &c : Commands) {
        QAction *action = this->*c.action;
        action->setText(tr(c.text));
        if (c.iconText)
            action->setIconText(tr(c.iconText));
        applyTips(action, c.toolTip, c.statusTip);
        action->setShortcut(c.shortcut ? QKeySequence(tr(c.shortcut)) : QKeySequence());
    }
    for (const Tool &t : tools()) {
        QAction *action = toolAction(t.number);
        action->setText(tr(t.text));
        applyTips(action, t.toolTip, t.statusTip);
    }
    action_Void->setShortcut(QKeySequence(tr("Esc")));

    menu_file->setTitle(tr("文件(&F)"));
    menu_recentFiles->setTitle(tr("最近的文件"));
    menu_edit->setTitle(tr("编辑(&E)"));
    menu_settings->setTitle(tr("设置(&S)"));
    menu_tools->setTitle(tr("工具(&T)"));
    menu_viewer->setTitle(tr("视图(&V)"));
    menu_windows->setTitle(tr("窗口(&W)"));
    menu_help->setTitle(tr("帮助(&H)"));
    mainToolBar->setWindowTitle(tr("工具栏"));
    menu_draw->setTitle(tr("绘图"));
    for (const DrawingBar &b : DrawingBars)
        (this->*b.bar)->setWindowTitle(tr(b.title));
}
