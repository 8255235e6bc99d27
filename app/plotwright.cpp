#include "plotwright.h"
#include "filechooser.h"

#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/dlgenvsettings.h"
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "formatlimits.h"
#include "grouptool.h"
#include "painttool.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "svgtool.h"
#include "zcolorbar.h"
#include "zmessagebox.h"
#include "zpalette.h"

#include <QDir>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCursor>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QSignalMapper>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>
#include <algorithm>
#include <cstdlib>

namespace {

const QString RecentFilesKey = QStringLiteral("最近的文件");
// Earlier versions read the UTF-8 key as Latin-1 and stored the list under that garbled name.
const QString LegacyRecentFilesKey = QLatin1String("最近的文件");
constexpr int MaxRecentFiles = 10;

GraphicsView *viewOf(QMdiSubWindow *window)
{
    return window ? qobject_cast<GraphicsView *>(window->widget()) : nullptr;
}

} // namespace

Plotwright::Plotwright(QWidget *parent)
    : QMainWindow(parent)
{
    {
        QSettings config(QDir::toNativeSeparators(applicationDir() + QStringLiteral("/config.ini")),
                         QSettings::IniFormat);
        CDataLink::setPlatform(config.value(QStringLiteral("Plotwright/platform"), 0).toInt());
    }
    AbstractGraphicsUtility::initProject();
    initEnvironment();

    ui.setupUi(this);
    setWindowTitle(windowTitleText(applicationTitle(), false));

    if (CDataLink::platform() == 0) {
        ui.action_OpenGraph->setVisible(false);
        ui.action_SaveAs->setVisible(false);
    } else {
        ui.actionDIZ30->setVisible(false);
        ui.actionSaveDiz30->setVisible(false);
    }

    m_readyLabel = new QLabel(QStringLiteral("就绪"), this);
    m_readyLabel->setIndent(2);
    m_posLabel = new QLabel(QStringLiteral("当前坐标"), this);
    m_posLabel->setFrameShape(QFrame::Panel);
    m_posLabel->setFrameShadow(QFrame::Sunken);
    m_statLabel = new QLabel(QStringLiteral("图元个数"), this);
    m_statLabel->setFrameShape(QFrame::Panel);
    m_statLabel->setFrameShadow(QFrame::Sunken);
    ui.statusBar->setStyleSheet(QStringLiteral("QStatusBar::item{border:0px}"));
    ui.statusBar->addWidget(m_readyLabel);
    ui.statusBar->addPermanentWidget(m_posLabel);
    ui.statusBar->addPermanentWidget(m_statLabel);

    ui.action_Separator->setSeparator(true);

    m_toolGroup = new QActionGroup(this);
    for (QToolBar *bar : {ui.deviceBox, ui.graphicsBox}) {
        for (QAction *action : bar->actions())
            m_toolGroup->addAction(action);
    }

    m_undoGroup = new QUndoGroup(this);
    connect(m_undoGroup, &QUndoGroup::cleanChanged, this, &Plotwright::slotEnableExportSvgFile);
    QAction *undo = m_undoGroup->createUndoAction(this, QString());
    undo->setObjectName(QStringLiteral("action_Undo"));
    undo->setToolTip(QStringLiteral("撤销操作"));
    undo->setStatusTip(QStringLiteral("撤销一组操作"));
    undo->setIcon(QIcon(QStringLiteral(":/Plotwright/Resources/undo.png")));
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    QAction *redo = m_undoGroup->createRedoAction(this, QString());
    redo->setObjectName(QStringLiteral("action_Redo"));
    redo->setToolTip(QStringLiteral("复原操作"));
    redo->setStatusTip(QStringLiteral("复原一组操作"));
    redo->setIcon(QIcon(QStringLiteral(":/Plotwright/Resources/redo.png")));
    redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    ui.mainToolBar->addAction(redo);
    ui.mainToolBar->insertAction(redo, undo);

    m_windowMapper = new QSignalMapper(this);

    m_propertyDock = new PropertyDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_propertyDock);

    readSettings();

    m_colorBar = new ZColorBar(this);
    m_colorBar->SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, MainPalette, 1);
    m_colorBar->m_foreground = m_foregroundIndex;
    m_colorBar->m_background = m_backgroundIndex;
    m_colorBar->frush();
    addToolBar(Qt::BottomToolBarArea, m_colorBar);
    EditorState::drawingDefaults().penColor = MyPALETTEINDEX(m_colorBar->m_foreground);
    EditorState::drawingDefaults().bruchColor = MyPALETTEINDEX(m_colorBar->m_background);

    updateActions();

    connect(ui.action_mainToolBar, &QAction::triggered, ui.mainToolBar, &QWidget::setVisible);
    connect(ui.action_StatusBar, &QAction::triggered, ui.statusBar, &QWidget::setVisible);
    connect(ui.action_graphicsBox, &QAction::triggered, ui.graphicsBox, &QWidget::setVisible);
    connect(ui.action_deviceBox, &QAction::triggered, ui.deviceBox, &QWidget::setVisible);
    connect(ui.action_PropertyEditor, &QAction::triggered, m_propertyDock, &QWidget::setVisible);
    connect(ui.action_colorBox, &QAction::triggered, m_colorBar, &QWidget::setVisible);
    connect(m_propertyDock, &QDockWidget::visibilityChanged, ui.action_PropertyEditor, &QAction::setChecked);
    connect(ui.action_Tile, &QAction::triggered, ui.mdiArea, &QMdiArea::tileSubWindows);
    connect(ui.action_Cascade, &QAction::triggered, ui.mdiArea, &QMdiArea::cascadeSubWindows);
    connect(ui.action_Previous, &QAction::triggered, ui.mdiArea, &QMdiArea::activatePreviousSubWindow);
    connect(ui.action_Next, &QAction::triggered, ui.mdiArea, &QMdiArea::activateNextSubWindow);
    connect(ui.action_Close, &QAction::triggered, ui.mdiArea, &QMdiArea::closeActiveSubWindow);
    connect(ui.action_CloseAll, &QAction::triggered, ui.mdiArea, &QMdiArea::closeAllSubWindows);
    connect(ui.action_Quit, &QAction::triggered, this, &QWidget::close);
    connect(ui.mdiArea, &QMdiArea::subWindowActivated, this, &Plotwright::slotSubWindowActivated);
    connect(m_windowMapper, &QSignalMapper::mappedWidget, this,
            &Plotwright::slotSetActiveSubWindow);
    connect(ui.menu_windows, &QMenu::aboutToShow, this, &Plotwright::slotUpdateWindowMenu);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &Plotwright::slotUpdateEditMenu);
    connect(m_toolGroup, &QActionGroup::triggered, this, &Plotwright::slotActionToolGroup);
    connect(ui.menu_file, &QMenu::aboutToShow, this, &Plotwright::slotMenuFileAboutToShow);
    connect(ui.action_svgFile, &QAction::triggered, this, &Plotwright::slotExportSvgFile);
    connect(m_colorBar, &ZColorBar::colorChanged, this, &Plotwright::slotColorChanged);

    ui.action_BringToFront->setVisible(false);
    ui.action_SendToBack->setVisible(false);

    ui.action_Void->activate(QAction::Trigger);
}

Plotwright::~Plotwright()
{
    writeSettings();
    if (MainPalette) {
        free(MainPalette);
        MainPalette = nullptr;
    }
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    // Children die after this body, when this object is no main window any more: the MDI area
    // activates what is left, actions change, stacks and scenes signal on their way out. None
    // of that may reach a slot of ours.
    const QList<QObject *> descendants = findChildren<QObject *>();
    for (QObject *child : descendants)
        child->disconnect(this);
}

bool Plotwright::initEnvironment()
{
    auto *progress = new AboutDlg(1, this);
    progress->showMessage(QStringLiteral("初始化环境参数 ..."), 0);
    progress->showActivated();
    progress->showMessage(QStringLiteral("读取调色板文件 ..."), 0);
    RGB_COLOR *colours = nullptr;
    int count = 0;
    const QString file = AbstractGraphicsUtility::projectDir() + QStringLiteral("mmicolor.dat");
    if (CreateColorPalette1(file, &MainPalette, &colours, &count) == 0)
        ZMessageBox(this, QStringLiteral("读取调色板文件错误 !"), applicationTitle(), 16);
    if (colours)
        free(colours);
    progress->showMessage(QStringLiteral("初始化窗口参数 ..."), 0);
    progress->finish();
    delete progress;
    return true;
}

void Plotwright::readSettings()
{
    DrawingDefaults &d = EditorState::drawingDefaults();
    m_settings.beginGroup(QStringLiteral("paintProperty"));
    d.penWidth = m_settings.value(QStringLiteral("penWidth"), 2).toInt();
    m_foregroundIndex = int(m_settings.value(QStringLiteral("penColor"), 10).toUInt());
    d.penStyle = int(m_settings.value(QStringLiteral("penStyle"), 1).toUInt());
    m_backgroundIndex = m_settings.value(QStringLiteral("bruchColor"), -1).toInt();
    d.brushStyle = m_settings.value(QStringLiteral("brushStyle"), 0).toInt();
    d.lineHead = m_settings.value(QStringLiteral("lineHead"), 0).toInt();
    d.lineEnd = m_settings.value(QStringLiteral("lineEnd"), 0).toInt();
    m_settings.endGroup();
    // The store may have been edited by hand or by another version: only drawable values pass.
    d.clampToFormat();
    m_foregroundIndex = qBound(0, m_foregroundIndex, FormatLimits::MaxColorIndex);
    m_backgroundIndex = qBound(-1, m_backgroundIndex, FormatLimits::MaxColorIndex);
    if (!m_settings.contains(RecentFilesKey) && m_settings.contains(LegacyRecentFilesKey))
        m_settings.setValue(RecentFilesKey, m_settings.value(LegacyRecentFilesKey));
    m_settings.remove(LegacyRecentFilesKey);
    m_recentFiles = m_settings.value(RecentFilesKey).toStringList();
}

void Plotwright::writeSettings()
{
    const DrawingDefaults &d = EditorState::drawingDefaults();
    m_settings.beginGroup(QStringLiteral("paintProperty"));
    m_settings.setValue(QStringLiteral("penWidth"), d.penWidth);
    m_settings.setValue(QStringLiteral("penColor"), m_foregroundIndex);
    m_settings.setValue(QStringLiteral("penStyle"), d.penStyle);
    m_settings.setValue(QStringLiteral("bruchColor"), m_backgroundIndex);
    m_settings.setValue(QStringLiteral("brushStyle"), d.brushStyle);
    m_settings.setValue(QStringLiteral("lineHead"), d.lineHead);
    m_settings.setValue(QStringLiteral("lineEnd"), d.lineEnd);
    m_settings.endGroup();
    m_settings.setValue(RecentFilesKey, m_recentFiles);
}

GraphicsView *Plotwright::activeDocumentWindow() const
{
    return viewOf(ui.mdiArea->activeSubWindow());
}

void Plotwright::updateActions()
{
    GraphicsView *view = activeDocumentWindow();
    const bool d = view != nullptr;
    for (QAction *a : {ui.action_Save, ui.action_SaveAs, ui.action_SelectAll,
                       ui.action_EnvironmentSettings, ui.action_BackgroundColor, ui.action_BackgroundPixmap,
                       ui.action_PaintProperty, ui.action_ZoomIn, ui.action_ZoomOut, ui.action_ZoomDefault,
                       ui.action_Close, ui.action_CloseAll, ui.action_Tile, ui.action_Cascade, ui.action_Next,
                       ui.action_Previous})
        a->setEnabled(d);
    // Paste follows the clipboard from the start, not only from its next change.
    ui.action_Paste->setEnabled(d && view->documentScene()->canPaste());
    const bool online = CDataLink::GetDataLink()->online;
    ui.actionDIZ30->setEnabled(online);
    ui.actionSaveDiz30->setEnabled(d && online);

    applySelectionRules(view ? view->documentScene()->selectedItems() : QList<QGraphicsItem *>());
    ui.action_svgFile->setEnabled(d && !view->isUntitledOrModified());

    ui.action_Separator->setVisible(d);
    ui.graphicsBox->setEnabled(d);
    ui.deviceBox->setEnabled(d);
    if (!d)
        ui.action_Void->activate(QAction::Trigger);
}

// The rows of the enabling rules that depend on the selection of the active document.
void Plotwright::applySelectionRules(const QList<QGraphicsItem *> &items)
{
    const int selected = items.size();
    const bool hasGroup = std::any_of(items.begin(), items.end(),
                                      [](QGraphicsItem *item) { return item->type() == EditorState::GroupType; });
    for (QAction *a : {ui.action_Deselect, ui.action_CreateGroup, ui.action_Copy, ui.action_Cut, ui.action_Delete})
        a->setEnabled(selected >= 1);
    ui.action_DestroyGroup->setEnabled(hasGroup);
    for (QAction *a : {ui.action_AlignmentLeft, ui.action_AlignmentRight, ui.action_AlignmentTop,
                       ui.action_AlignmentBottom, ui.action_AlignmentHCenter, ui.action_AlignmentVCenter,
                       ui.action_EqualWidth, ui.action_EqualHeight})
        a->setEnabled(selected >= 2);
    ui.action_EqualHCross->setEnabled(selected >= 3);
    ui.action_EqualVCross->setEnabled(selected >= 3);
    for (QAction *a : {ui.action_BringToFront, ui.action_SendToBack, ui.action_LayerUpper, ui.action_LayerLower})
        a->setEnabled(selected == 1);
}

void Plotwright::slotActionToolGroup(QAction *action)
{
    QCursor cursor(Qt::ArrowCursor);
    for (const Ui_PlotwrightClass::Tool &tool : Ui_PlotwrightClass::tools()) {
        if (ui.*tool.action != action)
            continue;
        EditorState::setCurrentTool(tool.number);
        if (action != ui.action_Void) {
            const QPixmap picture(QStringLiteral(":/Plotwright/Resources/cursor/%1.png").arg(QLatin1String(tool.stem)));
            cursor = QCursor(picture, -1, -1);
        }
        break;
    }
    for (QMdiSubWindow *window : ui.mdiArea->subWindowList()) {
        if (GraphicsView *view = viewOf(window))
            view->viewport()->setCursor(cursor);
    }
}

void Plotwright::slotSubWindowActivated()
{
    ui.action_Void->activate(QAction::Trigger);
    updateActions();
    // The statistics describe the active document, so they change with it.
    slotChanged();
    GraphicsView *active = activeDocumentWindow();
    if (!active)
        return;
    m_undoGroup->setActiveStack(active->documentScene()->undoStack());
    for (QMdiSubWindow *window : ui.mdiArea->subWindowList()) {
        GraphicsView *view = viewOf(window);
        if (view && view != active)
            view->documentScene()->clearSelection();
    }
}

void Plotwright::slotSetActiveSubWindow(QWidget *window)
{
    if (window)
        ui.mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(window));
}

void Plotwright::slotUpdateWindowMenu()
{
    QMenu *menu = ui.menu_windows;
    menu->clear();
    menu->addAction(ui.action_Close);
    menu->addAction(ui.action_CloseAll);
    menu->addSeparator();
    menu->addAction(ui.action_Tile);
    menu->addAction(ui.action_Cascade);
    menu->addSeparator();
    menu->addAction(ui.action_Next);
    menu->addAction(ui.action_Previous);
    menu->addAction(ui.action_Separator);

    const QList<QMdiSubWindow *> windows = ui.mdiArea->subWindowList();
    ui.action_Separator->setVisible(!windows.isEmpty());
    GraphicsView *active = activeDocumentWindow();
    for (int i = 0; i < windows.size(); ++i) {
        GraphicsView *view = viewOf(windows.at(i));
        if (!view)
            continue;
        // Only the first nine carry their number as keyboard accelerator.
        const QString text = (i < 9 ? QStringLiteral("&%1 %2") : QStringLiteral("%1 %2"))
                                 .arg(i + 1)
                                 .arg(view->userFriendlyCurrentFile());
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(view == active);
        connect(action, SIGNAL(triggered()), m_windowMapper, SLOT(map()));
        m_windowMapper->setMapping(action, windows.at(i));
    }
}

void Plotwright::slotUpdateEditMenu()
{
    if (GraphicsView *view = activeDocumentWindow())
        ui.action_Paste->setEnabled(view->documentScene()->canPaste());
}

void Plotwright::slotSelectionChanged()
{
    QList<QGraphicsItem *> items;
    GraphicsView *view = activeDocumentWindow();
    if (view)
        items = view->documentScene()->selectionSnapshot();
    if (!items.isEmpty()) {
        // Selecting marks the document modified, as the items may be edited through the dock.
        view->setWindowModified(true);
        slotEnableExportSvgFile(false);
    }
    if (view)
        applySelectionRules(items);
    m_propertyDock->setItems(items);
}

void Plotwright::noteSelectionChanged()
{
    if (m_selectionPending)
        return;
    m_selectionPending = true;
    QMetaObject::invokeMethod(this, &Plotwright::flushSelectionChange, Qt::QueuedConnection);
}

void Plotwright::flushSelectionChange()
{
    if (!m_selectionPending)
        return;
    m_selectionPending = false;
    slotSelectionChanged();
}

// The count walks every item; a drag changes the scene at every mouse move but the count only
// with the number of items or an undoable step, so it is taken again only then.
int Plotwright::topLevelCount(Scene *scene)
{
    const int total = scene->items(Qt::SortOrder(-1)).size();
    const int step = scene->undoStack()->index();
    if (scene != m_counted.scene || total != m_counted.total || step != m_counted.step)
        m_counted = {scene, total, step, scene->topLevelItemCount()};
    return m_counted.count;
}

void Plotwright::slotChanged()
{
    double width = 0;
    double height = 0;
    int zoom = 100;
    int count = 0;
    if (GraphicsView *view = activeDocumentWindow()) {
        const QRectF rect = view->documentScene()->sceneRect();
        width = rect.width();
        height = rect.height();
        zoom = view->zoomPercent();
        count = topLevelCount(view->documentScene());
    }
    m_statLabel->setText(QStringLiteral("画布大小:%1×%2(%3%),图元个数:%4")
                             .arg(width, 0, 'g', -1)
                             .arg(height, 0, 'g', -1)
                             .arg(zoom)
                             .arg(count));
}

void Plotwright::slotScenePosChanged(const QPointF &p)
{
    double x = 0;
    double y = 0;
    GraphicsView *view = activeDocumentWindow();
    if (view && qobject_cast<Scene *>(sender()) == view->documentScene()) {
        x = p.x();
        y = p.y();
    }
    m_posLabel->setText(QStringLiteral("当前坐标:x=%1,y=%2").arg(x, 0, 'g', -1).arg(y, 0, 'g', -1));
}

void Plotwright::slotEnableExportSvgFile(bool clean)
{
    ui.action_svgFile->setEnabled(activeDocumentWindow() ? clean : false);
}

void Plotwright::slotNewMessage(uint message, uint, uint)
{
    switch (message) {
    case 9:
        if (isMaximized())
            showMaximized();
        else
            showNormal();
        activateWindow();
        raise();
        break;
    case 16:
    case 2024:
        close();
        break;
    default:
        break;
    }
}

GraphicsView *Plotwright::createDocumentWindow()
{
    auto *view = new GraphicsView(this);
    Scene *scene = view->documentScene();
    m_undoGroup->addStack(scene->undoStack());
    connect(view, &GraphicsView::rightClicked, ui.action_Void, &QAction::trigger);
    connect(view, &GraphicsView::changed, this, &Plotwright::slotChanged);
    connect(view, &GraphicsView::fileSaved, this, &Plotwright::slotEnableExportSvgFile);
    connect(scene, &Scene::posChanged, this, &Plotwright::slotScenePosChanged);
    // A bulk edit changes the selection once per item; the dock, the enabling rules and the
    // modified mark follow once per event-loop turn and at the end of every undoable step.
    connect(scene, &QGraphicsScene::selectionChanged, this, &Plotwright::noteSelectionChanged);
    connect(scene->undoStack(), &QUndoStack::indexChanged, this, &Plotwright::flushSelectionChange);
    view->setWindowIcon(QIcon(QStringLiteral(":/Plotwright/Resources/child.png")));
    return view;
}

// --- document commands

void Plotwright::newDocument(const DocumentKind &kind)
{
    DlgEnvSettings dialog(kind.canvas, this);
    dialog.setWindowTitle(kind.newTitle);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GraphicsView *view = createDocumentWindow();
    view->documentScene()->setSceneRect(dialog.rect());
    ui.mdiArea->addSubWindow(view);
    view->newFile(kind.type);
    view->show();
    slotChanged();
}

void Plotwright::slotNewGraph()
{
    newDocument(DocumentKind::of(DocumentKind::Graph));
}

void Plotwright::slotNewTemplate()
{
    newDocument(DocumentKind::of(DocumentKind::Template));
}

QMdiSubWindow *Plotwright::findDocumentWindow(const QString &path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (QMdiSubWindow *window : ui.mdiArea->subWindowList()) {
        GraphicsView *view = viewOf(window);
        if (view && view->currentFile() == canonical)
            return window;
    }
    return nullptr;
}

void Plotwright::openFile(int kind, const QString &path)
{
    if (path.isEmpty())
        return;
    if (QMdiSubWindow *existing = findDocumentWindow(path)) {
        ui.mdiArea->setActiveSubWindow(existing);
        return;
    }
    GraphicsView *view = createDocumentWindow();
    if (view->loadFile(kind, path)) {
        ui.mdiArea->addSubWindow(view);
        view->show();
    } else {
        view->close();
    }
}

void Plotwright::openFileDialog(const DocumentKind &kind)
{
    openFile(kind.type, FileChooser::openFileName(this, QStringLiteral("选择文件"), kind.folder(), kind.filter));
}

void Plotwright::slotOpenGraph()
{
    openFileDialog(DocumentKind::of(DocumentKind::Graph));
}

void Plotwright::slotOpenTemplate()
{
    openFileDialog(DocumentKind::of(DocumentKind::Template));
}

void Plotwright::slotOpenDIZ30()
{
    const QString path = CDataLink::GetDataLink()->OpenDizFile(AbstractGraphicsUtility::graphDir());
    if (!path.isEmpty())
        openFile(DocumentKind::Graph, path);
}

void Plotwright::slotSave()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->save();
}

void Plotwright::slotSaveAs()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->saveAs();
}

void Plotwright::slotSaveDiz30()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    const QString fileName = view->currentFile();
    const QString svgName = view->svgFileName();
    if (!view->saveFile(fileName, false))
        return;
    if (!view->writeSvg(svgName))
        return;
    const QString stored = CDataLink::GetDataLink()->SaveDizFile(fileName, svgName);
    if (!stored.isEmpty()) {
        if (stored != fileName)
            view->saveFile(stored, false);
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("保存成功!"), QMessageBox::Ok);
    } else {
        QMessageBox::warning(this, QStringLiteral("提示"), QStringLiteral("保存失败!"), QMessageBox::Ok);
    }
}

void Plotwright::slotExportSvgFile()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->exportSvg();
}

void Plotwright::slotParam(const QByteArray &p)
{
    const QString path = QString::fromLocal8Bit(p);
    if (const DocumentKind *kind = DocumentKind::findBySuffix(QFileInfo(path).suffix()))
        openFile(kind->type, path);
}

void Plotwright::addRecentFile(const QString &path)
{
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > MaxRecentFiles)
        m_recentFiles.removeLast();
}

void Plotwright::slotMenuFileAboutToShow()
{
    QMenu *menu = ui.menu_recentFiles;
    menu->clear();
    if (m_recentFiles.isEmpty()) {
        menu->setEnabled(false);
        return;
    }
    menu->setEnabled(true);
    for (const QString &path : qAsConst(m_recentFiles)) {
        QAction *action = menu->addAction(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, &Plotwright::slotOpenRecentFile);
    }
}

void Plotwright::slotOpenRecentFile()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        slotParam(action->data().toString().toLocal8Bit());
}

void Plotwright::closeEvent(QCloseEvent *event)
{
    ui.mdiArea->closeAllSubWindows();
    if (ui.mdiArea->currentSubWindow())
        event->ignore();
    else
        event->accept();
}

// --- canvas and drawing defaults

void Plotwright::slotColorChanged()
{
    m_foregroundIndex = m_colorBar->m_foreground;
    m_backgroundIndex = m_colorBar->m_background;
    // Only new items take the colours; items already drawn keep theirs.
    EditorState::drawingDefaults().penColor = MyPALETTEINDEX(m_foregroundIndex);
    EditorState::drawingDefaults().bruchColor = MyPALETTEINDEX(m_backgroundIndex);
}

void Plotwright::slotPaintProperty()
{
    DlgPaintProperty dialog(this);
    dialog.setValue(EditorState::drawingDefaults());
    dialog.move(QCursor::pos());
    dialog.exec();
    // The dialog has no buttons: however it was closed, what it shows becomes the defaults.
    dialog.value(EditorState::drawingDefaults());
}

void Plotwright::slotPushGraphProperty()
{
    DlgPushGraphProperty dialog(this);
    dialog.exec();
}

void Plotwright::slotEnvironmentSettings()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    DlgEnvSettings dialog(view->documentScene()->sceneRect(), this);
    dialog.move(QCursor::pos());
    if (dialog.exec() != QDialog::Accepted)
        return;
    view->documentScene()->setSceneRect(dialog.rect());
    slotChanged();
    view->setWindowModified(true);
    slotEnableExportSvgFile(false);
}

void Plotwright::slotBackgroundColor()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    const QColor color = QColorDialog::getColor(view->documentScene()->backgroundColor(), this,
                                                QStringLiteral("背景颜色"), QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return;
    view->documentScene()->setBackgroundColor(color);
    view->setWindowModified(true);
    slotEnableExportSvgFile(false);
}

void Plotwright::slotBackgroundPixmap()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    const QString file = FileChooser::openFileName(this, QStringLiteral("背景位图"),
                                                      view->documentScene()->backgroundPixmap(),
                                                      QStringLiteral("位图文件(*.bmp);;位图文件(*.png);;JPEG文件(*.jpg)"));
    if (file.isEmpty())
        return;
    view->documentScene()->setBackgroundPixmap(file);
    view->setWindowModified(true);
    slotEnableExportSvgFile(false);
}

// --- forwarding to the active document

void Plotwright::forwardToScene(void (Scene::*operation)())
{
    if (GraphicsView *view = activeDocumentWindow())
        (view->documentScene()->*operation)();
    flushSelectionChange();
}

void Plotwright::slotDeselect() { forwardToScene(&QGraphicsScene::clearSelection); }
void Plotwright::slotCreateGroup() { forwardToScene(&Scene::createGroup); }
void Plotwright::slotDestroyGroup() { forwardToScene(&Scene::destroyGroup); }
void Plotwright::slotCopy() { forwardToScene(&Scene::copy); }
void Plotwright::slotCut() { forwardToScene(&Scene::cut); }
void Plotwright::slotDelete() { forwardToScene(&Scene::remove); }
void Plotwright::slotAlignmentLeft() { forwardToScene(&Scene::alignmentLeft); }
void Plotwright::slotAlignmentRight() { forwardToScene(&Scene::alignmentRight); }
void Plotwright::slotAlignmentTop() { forwardToScene(&Scene::alignmentTop); }
void Plotwright::slotAlignmentBottom() { forwardToScene(&Scene::alignmentBottom); }
void Plotwright::slotAlignmentHCenter() { forwardToScene(&Scene::alignmentHCenter); }
void Plotwright::slotAlignmentVCenter() { forwardToScene(&Scene::alignmentVCenter); }
void Plotwright::slotEqualWidth() { forwardToScene(&Scene::equalWidth); }
void Plotwright::slotEqualHeight() { forwardToScene(&Scene::equalHeight); }
void Plotwright::slotEqualHCross() { forwardToScene(&Scene::equalHCross); }
void Plotwright::slotEqualVCross() { forwardToScene(&Scene::equalVCross); }
void Plotwright::slotBringToFront() { forwardToScene(&Scene::bringToFront); }
void Plotwright::slotSendToBack() { forwardToScene(&Scene::sendToBack); }
void Plotwright::slotLayerUpper() { forwardToScene(&Scene::layerUpper); }
void Plotwright::slotLayerLower() { forwardToScene(&Scene::layerLower); }

void Plotwright::slotPaste()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->documentScene()->paste(QPointF(0, 0));
}

void Plotwright::slotSelectAll()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    view->documentScene()->selectAll();
    flushSelectionChange();
}

void Plotwright::slotZoomIn()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->zoomIn(10);
}

void Plotwright::slotZoomOut()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->zoomOut(10);
}

void Plotwright::slotZoomDefault()
{
    if (GraphicsView *view = activeDocumentWindow())
        view->zoomDefault();
}

// --- managers and information

void Plotwright::slotGraphicsManager()
{
    PaintTool tool(this);
    tool.exec();
}

void Plotwright::slotSvgManager()
{
    SvgTool tool(this);
    tool.on_Refresh();
    tool.exec();
}

void Plotwright::slotGroupManager()
{
    GroupTool tool(this);
    tool.exec();
}

void Plotwright::slotAbout()
{
    auto *box = new AboutDlg(0, this);
    box->setAboutText(applicationTitle());
    box->showActivated();
}
