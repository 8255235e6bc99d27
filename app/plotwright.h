#ifndef PLOTWRIGHT_H
#define PLOTWRIGHT_H

#include <QMainWindow>
#include <QPointer>
#include <QSettings>
#include <QStringList>

#include "app/plotwrightform.h"
#include "document/recentfiles.h"

class QActionGroup;
class QGraphicsItem;
class QLabel;
class QMdiSubWindow;
class QSignalMapper;
class QUndoGroup;
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
    QStringList recentFiles() const { return m_recentFiles; }
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
    void slotDeselect();
    void slotCreateGroup();
    void slotDestroyGroup();
    void slotCopy();
    void slotCut();
    void slotPaste();
    void slotDelete();
    void slotAlignmentLeft();
    void slotAlignmentRight();
    void slotAlignmentTop();
    void slotAlignmentBottom();
    void slotAlignmentHCenter();
    void slotAlignmentVCenter();
    void slotEqualWidth();
    void slotEqualHeight();
    void slotEqualHCross();
    void slotEqualVCross();
    void slotBringToFront();
    void slotSendToBack();
    void slotLayerUpper();
    void slotLayerLower();
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
    bool initEnvironment();
    void readSettings();
    void writeSettings();
    GraphicsView *createDocumentWindow();
    GraphicsView *activeDocumentWindow() const;
    void newDocument(const DocumentKind &kind);
    void openFileDialog(const DocumentKind &kind);
    void applySelectionRules(const QList<QGraphicsItem *> &items);
    void forwardToScene(void (Scene::*operation)());
    void noteSelectionChanged();
    void flushSelectionChange();
    int topLevelCount(Scene *scene);

    QStringList m_recentFiles;
    QSettings m_settings;
    QActionGroup *m_toolGroup = nullptr;
    QSignalMapper *m_windowMapper = nullptr;
    ZColorBar *m_colorBar = nullptr;
    QUndoGroup *m_undoGroup = nullptr;
    PropertyDockWidget *m_propertyDock = nullptr;
    QLabel *m_readyLabel = nullptr;
    QLabel *m_posLabel = nullptr;
    QLabel *m_statLabel = nullptr;
    int m_foregroundIndex = 0;
    int m_backgroundIndex = -1;
    bool m_selectionPending = false;
    struct
    {
        QPointer<Scene> scene;
        int total = -1;
        int step = -1;
        int count = 0;
    } m_counted;
    Ui::PlotwrightClass ui;
};

#endif
