#include "plotwright.h"
#include "filechooser.h"

#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "app/canvascommands.h"
#include "app/connectioncheckcommand.h"
#include "app/documentcommands.h"
#include "app/documentstatus.h"
#include "app/enablingrules.h"
#include "app/paintsettings.h"
#include "app/pointcommands.h"
#include "app/serversave.h"
#include "app/windowcommands.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/dlgenvsettings.h"
#include "dialogs/dlgpaintproperty.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "documentkind.h"
#include "grouptool.h"
#include "painttool.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "svgtool.h"
#include "zcolorbar.h"
#include "zmessagebox.h"
#include "zpalette.h"

#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>
#include <cstdlib>

namespace {

GraphicsView *viewOf(QMdiSubWindow *window)
{
    return window ? qobject_cast<GraphicsView *>(window->widget()) : nullptr;
}

} // namespace

Plotwright::Plotwright(QWidget *parent)
    : QMainWindow(parent)
{
    readPlatform();
    AbstractGraphicsUtility::initProject();
    initEnvironment();

    ui.setupUi(this);
    setWindowTitle(windowTitleText(applicationTitle(), false));
    showPlatformCommands();
    m_status.reset(new DocumentStatus(this, ui.statusBar));
    ui.action_Separator->setSeparator(true);
    setupToolGroup();
    setupUndoActions();
    m_propertyDock = new PropertyDockWidget(this);
    addDockWidget(Qt::RightDockWidgetArea, m_propertyDock);
    readSettings();
    new CanvasCommands(ui, m_settings, this);
    new ConnectionCheckCommand(ui, this);
    new DocumentCommands(ui, this, [this] { return createDocumentWindow(); });
    new PointCommands(ui, this);
    setupColorBar();
    updateActions();
    connectCommands();

    ui.action_BringToFront->setVisible(false);
    ui.action_SendToBack->setVisible(false);

    ui.action_Void->activate(QAction::Trigger);
}

// The edition (master station, substation, stand-alone) comes from the installation's own
// configuration, next to the executable.
void Plotwright::readPlatform()
{
    QSettings config(QDir::toNativeSeparators(applicationDir() + QStringLiteral("/config.ini")), QSettings::IniFormat);
    CDataLink::setPlatform(config.value(QStringLiteral("Plotwright/platform"), 0).toInt());
}

void Plotwright::showPlatformCommands()
{
    if (CDataLink::platform() == 0) {
        ui.action_OpenGraph->setVisible(false);
        ui.action_SaveAs->setVisible(false);
    } else {
        ui.actionDIZ30->setVisible(false);
        ui.actionSaveDiz30->setVisible(false);
    }
}

void Plotwright::setupToolGroup()
{
    m_toolGroup = new QActionGroup(this);
    for (QToolBar *bar : {ui.deviceBox, ui.graphicsBox, ui.monitorBox}) {
        for (QAction *action : bar->actions())
            m_toolGroup->addAction(action);
    }
}

void Plotwright::setupUndoActions()
{
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
}

void Plotwright::setupColorBar()
{
    m_colorBar = new ZColorBar(this);
    m_colorBar->SetPara({QStringLiteral("前景色"), QStringLiteral("背景色")}, MainPalette, 1);
    m_colorBar->m_foreground = m_foregroundIndex;
    m_colorBar->m_background = m_backgroundIndex;
    m_colorBar->frush();
    addToolBar(Qt::BottomToolBarArea, m_colorBar);
    EditorState::drawingDefaults().penColor = MyPALETTEINDEX(m_colorBar->m_foreground);
    EditorState::drawingDefaults().bruchColor = MyPALETTEINDEX(m_colorBar->m_background);
}

void Plotwright::connectCommands()
{
    for (const WindowCommands::OfWindow &c : WindowCommands::ofWindow())
        connect(ui.*c.action, &QAction::triggered, this, c.slot);
    for (const WindowCommands::OfScene &c : WindowCommands::ofScene()) {
        const auto operation = c.operation;
        connect(ui.*c.action, &QAction::triggered, this, [this, operation] { forwardToScene(operation); });
    }
    for (const WindowCommands::OfArea &c : WindowCommands::ofArea())
        connect(ui.*c.action, &QAction::triggered, ui.mdiArea, c.slot);
    // The view menu shows and hides the bars (the drawing bars: the form) and the dock; the
    // dock reports being closed.
    const std::pair<QAction *, QWidget *> shown[] = {
        {ui.action_mainToolBar, ui.mainToolBar},
        {ui.action_StatusBar, ui.statusBar},
        {ui.action_PropertyEditor, m_propertyDock},
        {ui.action_colorBox, m_colorBar},
    };
    for (const auto &entry : shown)
        connect(entry.first, &QAction::triggered, entry.second, &QWidget::setVisible);
    connect(m_propertyDock, &QDockWidget::visibilityChanged, ui.action_PropertyEditor, &QAction::setChecked);
    connect(ui.action_Quit, &QAction::triggered, this, &QWidget::close);
    connect(ui.mdiArea, &QMdiArea::subWindowActivated, this, &Plotwright::slotSubWindowActivated);
    connect(ui.menu_windows, &QMenu::aboutToShow, this, &Plotwright::slotUpdateWindowMenu);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &Plotwright::slotUpdateEditMenu);
    connect(m_toolGroup, &QActionGroup::triggered, this, &Plotwright::slotActionToolGroup);
    connect(ui.menu_file, &QMenu::aboutToShow, this, &Plotwright::slotMenuFileAboutToShow);
    connect(m_colorBar, &ZColorBar::colorChanged, this, &Plotwright::slotColorChanged);
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
    PaintSettings::read(m_settings, EditorState::drawingDefaults(), m_foregroundIndex, m_backgroundIndex);
    m_recentFiles.read(m_settings);
}

void Plotwright::writeSettings()
{
    PaintSettings::write(m_settings, EditorState::drawingDefaults(), m_foregroundIndex, m_backgroundIndex);
    m_recentFiles.write(m_settings);
}

GraphicsView *Plotwright::activeDocumentWindow() const
{
    return viewOf(ui.mdiArea->activeSubWindow());
}

void Plotwright::updateActions()
{
    EnablingRules::applyToDocument(ui, activeDocumentWindow());
}

void Plotwright::slotActionToolGroup(QAction *action)
{
    QCursor cursor(Qt::ArrowCursor);
    for (const Ui_PlotwrightClass::Tool &tool : Ui_PlotwrightClass::tools()) {
        if (ui.toolAction(tool.number) != action)
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
        // A window closed while the menu is open leaves a null pointer behind, which is ignored.
        const QPointer<QMdiSubWindow> window = windows.at(i);
        connect(action, &QAction::triggered, this, [this, window] { slotSetActiveSubWindow(window); });
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
    if (view)
        EnablingRules::applyToSelection(ui, items);
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

void Plotwright::slotChanged()
{
    m_status->showDocument(activeDocumentWindow());
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
    m_status->showPosition(x, y);
}

void Plotwright::slotEnableExportSvgFile(bool clean)
{
    // The export reads the file: only a saved document without changes since has one to read.
    GraphicsView *view = activeDocumentWindow();
    ui.action_svgFile->setEnabled(clean && view && !view->isUntitledOrModified());
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
    case 2024: close(); break;
    default: break;
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
    if (GraphicsView *view = activeDocumentWindow())
        ServerSave::save(this, view);
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
    m_recentFiles.add(path);
}

void Plotwright::slotMenuFileAboutToShow()
{
    QMenu *menu = ui.menu_recentFiles;
    menu->clear();
    if (m_recentFiles.paths().isEmpty()) {
        menu->setEnabled(false);
        return;
    }
    menu->setEnabled(true);
    for (const QString &path : m_recentFiles.paths()) {
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
    view->markChangedOutsideHistory();
    slotEnableExportSvgFile(false);
}

void Plotwright::slotBackgroundColor()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    const QColor color = QColorDialog::getColor(
        view->documentScene()->backgroundColor(), this, QStringLiteral("背景颜色"), QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return;
    view->documentScene()->setBackgroundColor(color);
    view->markChangedOutsideHistory();
    slotEnableExportSvgFile(false);
}

void Plotwright::slotBackgroundPixmap()
{
    GraphicsView *view = activeDocumentWindow();
    if (!view)
        return;
    const QString file = FileChooser::openFileName(this, QStringLiteral("背景位图"),
        view->documentScene()->backgroundPixmap(), QStringLiteral("位图文件(*.bmp);;位图文件(*.png);;JPEG文件(*.jpg)"));
    if (file.isEmpty())
        return;
    view->documentScene()->setBackgroundPixmap(file);
    view->markChangedOutsideHistory();
    slotEnableExportSvgFile(false);
}

// --- forwarding to the active document

void Plotwright::forwardToScene(void (Scene::*operation)())
{
    if (GraphicsView *view = activeDocumentWindow())
        (view->documentScene()->*operation)();
    flushSelectionChange();
}

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
