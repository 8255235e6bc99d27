#ifndef PLOTWRIGHT_H
#define PLOTWRIGHT_H

#include <QMainWindow>
#include <QSettings>
#include <QStringList>
#include <memory>

#include "app/plotwrightform.h"
#include "app/recentfilelist.h"
#include "document/recentfiles.h"

class QActionGroup;
class QGraphicsItem;
class QMdiSubWindow;
class QUndoGroup;
class DocumentStatus;
class GraphicsView;
struct DocumentKind;
class PropertyDockWidget;
class Scene;
class ZColorBar;

// The editor's main window: menus, tool bars, drawing tools, status bar and the
// multi-document area in which every open graph is one GraphicsView.
class Plotwright : public QMainWindow, public RecentFiles
{
    Q_OBJECT
public:
    explicit Plotwright(QWidget *parent = nullptr);
    ~Plotwright() override;

    void updateActions();
    void addRecentFile(const QString &path) override;
    QStringList recentFiles() const { return m_recentFiles.paths(); }
    void openFile(int kind, const QString &path);
    QMdiSubWindow *findDocumentWindow(const QString &path) const;

    // The widgets of the form, for the few places outside that need them.
    const Ui::PlotwrightClass &form() const { return ui; }

public slots:
    void slotParam(const QByteArray &p);
    void slotNewGraph();
    void slotNewTemplate();
    void slotOpenGraph();
    void slotOpenTemplate();
    void slotOpenDIZ30();
    void slotSave();
    void slotSaveAs();
    void slotSaveDiz30();
    void slotExportSvgFile();
    void slotMenuFileAboutToShow();
    void slotOpenRecentFile();

    void slotColorChanged();
    void slotPaintProperty();
    void slotEnvironmentSettings();
    void slotBackgroundColor();
    void slotBackgroundPixmap();
    void slotPushGraphProperty();

    void slotSelectAll();
    void slotPaste();
    void slotZoomIn();
    void slotZoomOut();
    void slotZoomDefault();

    void slotGraphicsManager();
    void slotSvgManager();
    void slotGroupManager();
    void slotAbout();

    void slotActionToolGroup(QAction *action);
    void slotSubWindowActivated();
    void slotSetActiveSubWindow(QWidget *window);
    void slotUpdateWindowMenu();
    void slotUpdateEditMenu();
    void slotSelectionChanged();
    void slotChanged();
    void slotScenePosChanged(const QPointF &p);
    void slotEnableExportSvgFile(bool clean);
    void slotNewMessage(uint message, uint wParam, uint lParam);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void readPlatform();
    bool initEnvironment();
    void showPlatformCommands();
    void setupToolGroup();
    void setupUndoActions();
    void setupColorBar();
    void connectCommands();
    void readSettings();
    void writeSettings();
    GraphicsView *createDocumentWindow();
    GraphicsView *activeDocumentWindow() const;
    void newDocument(const DocumentKind &kind);
    void openFileDialog(const DocumentKind &kind);
    void forwardToScene(void (Scene::*operation)());
    void noteSelectionChanged();
    void flushSelectionChange();

    RecentFileList m_recentFiles;
    QSettings m_settings;
    QActionGroup *m_toolGroup = nullptr;
    ZColorBar *m_colorBar = nullptr;
    QUndoGroup *m_undoGroup = nullptr;
    PropertyDockWidget *m_propertyDock = nullptr;
    std::unique_ptr<DocumentStatus> m_status;
    int m_foregroundIndex = 0;
    int m_backgroundIndex = -1;
    bool m_selectionPending = false;
    Ui::PlotwrightClass ui;
};

#endif
