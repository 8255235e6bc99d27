#include "graphicsview.h"

#include "scene/scene.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace {
// Untitled documents are numbered per kind for the whole run; numbers are never reused.
int s_graphCounter = 1;
int s_templateCounter = 1;
} // namespace

GraphicsView::GraphicsView(QWidget *parent)
    : QGraphicsView(parent)
    , m_scene(new Scene(this))
{
    setScene(m_scene);
    setRenderHint(QPainter::Antialiasing, false);
    setDragMode(QGraphicsView::RubberBandDrag);
    setOptimizationFlags(QGraphicsView::DontSavePainterState);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setWindowIcon(QIcon(QStringLiteral(":/Plotwright/Resources/paint.ico")));
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_scene, &QGraphicsScene::changed, this, &GraphicsView::changed);
}

GraphicsView::~GraphicsView() = default;

QString GraphicsView::userFriendlyCurrentFile() const
{
    return strippedName(m_currentFile);
}

QString GraphicsView::strippedName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString GraphicsView::backupDir()
{
    static const QString dir = QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).absolutePath())
        + QDir::separator() + QStringLiteral("bak") + QDir::separator();
    return dir;
}

bool GraphicsView::isUntitledOrModified() const
{
    return m_untitled || isWindowModified();
}

void GraphicsView::updateTitle(const QString &name)
{
    setWindowTitle(QStringLiteral("%1 (Version %2) %3").arg(name).arg(m_scene->version()).arg(QStringLiteral("[*]")));
}

void GraphicsView::newFile(int type)
{
    m_untitled = true;
    if (type == 0)
        m_currentFile = QStringLiteral("画面%1.drw").arg(s_graphCounter++);
    else if (type == 1)
        m_currentFile = QStringLiteral("模板%1.tpl").arg(s_templateCounter++);
    m_scene->setType(type);
    updateTitle(m_currentFile);
}

void GraphicsView::setCurrentFile(const QString &fileName)
{
    m_currentFile = QFileInfo(fileName).canonicalFilePath();
    m_untitled = false;
    setWindowModified(false);
    updateTitle(userFriendlyCurrentFile());
}

// Reading, writing and exporting documents arrive with the document format; until then
// nothing is read or written and every such request reports failure.
bool GraphicsView::loadFile(int, const QString &) { return false; }
bool GraphicsView::save() { return false; }
bool GraphicsView::saveAs() { return false; }
bool GraphicsView::saveFile(const QString &, bool) { return false; }
QString GraphicsView::svgFileName() const { return QString(); }
bool GraphicsView::writeSvg(const QString &) { return false; }
void GraphicsView::exportSvg() {}

bool GraphicsView::maybeSave()
{
    return true;
}

void GraphicsView::zoomIn(int step)
{
    m_zoomLevel += step;
    applyZoom();
}

void GraphicsView::zoomOut(int step)
{
    m_zoomLevel -= step;
    applyZoom();
}

void GraphicsView::zoomDefault()
{
    m_zoomLevel = 100;
    applyZoom();
}

int GraphicsView::zoomPercent() const
{
    return int(std::pow(2.0, (m_zoomLevel - 100) / 50.0) * 100.0);
}

void GraphicsView::applyZoom()
{
    const double s = std::pow(2.0, (m_zoomLevel - 100) / 50.0);
    // A fresh scale replaces whatever transformation the view had.
    setTransform(QTransform::fromScale(s, s), false);
    emit changed();
}

void GraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // The main window turns this into the return to the pointer tool.
        emit rightClicked();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_drawingDrag = false;
        viewport()->update();
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void GraphicsView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() < 1)
            zoomOut(10);
        else
            zoomIn(10);
        return;
    }
    QGraphicsView::wheelEvent(event);
}

void GraphicsView::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}
