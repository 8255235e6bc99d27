#include "graphicsview.h"

#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
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

void GraphicsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && EditorState::currentTool() != EditorState::SelectionTool) {
        m_drawingDrag = true;
        m_previewStartX = m_previewEndX = event->pos().x();
        m_previewStartY = m_previewEndY = event->pos().y();
        viewport()->update();
    } else if (event->button() == Qt::MiddleButton) {
        m_panning = true;
        m_lastPanPos = event->pos();
        m_savedCursor = viewport()->cursor();
        viewport()->setCursor(Qt::OpenHandCursor);
        setInteractive(false);
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void GraphicsView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drawingDrag) {
        m_previewEndX = event->pos().x();
        m_previewEndY = event->pos().y();
        if (event->modifiers() & Qt::ShiftModifier)
            constrainPreview(event->modifiers());
        viewport()->update();
        return;
    }
    if (m_panning) {
        const QPoint delta = event->pos() - m_lastPanPos;
        if (horizontalScrollBar())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
        if (verticalScrollBar())
            verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
        m_lastPanPos = event->pos();
        return;
    }
    // With a drawing tool the scene sees no moves until the pointer is back.
    if (EditorState::currentTool() == EditorState::SelectionTool)
        QGraphicsView::mouseMoveEvent(event);
}

// The same rule as the scene's release: lines snap, other shapes become square.
void GraphicsView::constrainPreview(Qt::KeyboardModifiers)
{
    const bool line = EditorState::currentTool() == EditorState::LineTool;
    const double dx = line ? 0.0 : m_previewEndX - m_previewStartX;
    const double dy = line ? 0.0 : m_previewEndY - m_previewStartY;
    if (std::abs(m_previewStartY - m_previewEndY) < std::abs(m_previewStartX - m_previewEndX))
        m_previewEndY = m_previewStartY + dx;
    else
        m_previewEndX = m_previewStartX + dy;
}

void GraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        m_drawingDrag = false;
        viewport()->update();
        break;
    case Qt::RightButton:
        // The main window turns this into the return to the pointer tool.
        emit rightClicked();
        return;
    case Qt::MiddleButton:
        m_panning = false;
        viewport()->setCursor(m_savedCursor);
        setInteractive(true);
        return;
    default:
        break;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void GraphicsView::paintEvent(QPaintEvent *event)
{
    QGraphicsView::paintEvent(event);
    if (!m_drawingDrag)
        return;
    // White dots on black gaps: visible on any background.
    QPainter painter(viewport());
    painter.setPen(QPen(QColor(Qt::white), 0, Qt::DotLine));
    painter.setBackground(QBrush(Qt::black, Qt::SolidPattern));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBrush(Qt::NoBrush);
    if (EditorState::currentTool() == EditorState::LineTool)
        painter.drawLine(QPointF(m_previewStartX, m_previewStartY), QPointF(m_previewEndX, m_previewEndY));
    else
        painter.drawRect(QRectF(m_previewStartX, m_previewStartY, m_previewEndX - m_previewStartX,
                                m_previewEndY - m_previewStartY));
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
