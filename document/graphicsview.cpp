#include "graphicsview.h"
#include "filechooser.h"
#include "itemkind.h"
#include "recentfiles.h"
#include "safefile.h"

#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "canvaspainter.h"
#include "documentkind.h"
#include "graphicsitem.h"
#include "imagefile.h"
#include "pointbinding.h"
#include "scene/dragconstraint.h"
#include "scene/editorstate.h"
#include "scene/glue.h"
#include "scene/scene.h"
#include "svggenerator.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>
#include <QUndoStack>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <map>

namespace {
// Untitled documents are numbered per kind for the whole run; numbers are never reused.
std::map<int, int> s_untitledCounts;

void warningNotice(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QStringLiteral("警告"), text, QMessageBox::Ok);
}

// The view's scale at a zoom level: every 50 levels double it.
double scaleOf(int zoomLevel)
{
    return std::pow(2.0, (zoomLevel - 100) / 50.0);
}

// The saved document as the SVG draws it. The generator puts the background picture in an
// <image> element below the painted content and the root element carries the colour, so the
// scene's own background (colour, then the stretched picture) would only hide that picture
// under a second copy. It is painted only when there is no readable picture, where the colour
// is all the background there is, as in the editor.
class ExportScene : public AbstractGraphicsScene
{
public:
    // Painted once, whole: a spatial index would only cost the time and memory to build it.
    ExportScene() { setItemIndexMethod(NoIndex); }

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override
    {
        if (!ImageFile::isReadable(bkImageHref()))
            AbstractGraphicsScene::drawBackground(painter, rect);
    }
};
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
    connect(m_scene, &QGraphicsScene::sceneRectChanged, this, &GraphicsView::updateScrollArea);
    connect(m_scene, &Scene::markedTerminalChanged, viewport(), QOverload<>::of(&QWidget::update));
    updateScrollArea();
    // The history says whether the document differs from its file: undoing back to the saved
    // state takes the mark away again.
    connect(m_scene->undoStack(), &QUndoStack::cleanChanged, this, &GraphicsView::showModified);
}

GraphicsView::~GraphicsView()
{
    // The scene and its stack die after this body and still signal on their way out; this is
    // no view any more by then.
    m_scene->undoStack()->disconnect(this);
    m_scene->disconnect(this);
}

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

void GraphicsView::markChangedOutsideHistory()
{
    m_changedOutsideHistory = true;
    showModified();
}

void GraphicsView::showModified()
{
    setWindowModified(m_changedOutsideHistory || !m_scene->undoStack()->isClean());
}

void GraphicsView::updateTitle(const QString &name)
{
    // One multi-argument call: a "%" in a file name must not take a later placeholder's place.
    setWindowTitle(
        QStringLiteral("%1 (Version %2) %3").arg(name, QString::number(m_scene->version()), QStringLiteral("[*]")));
}

void GraphicsView::newFile(int type)
{
    m_untitled = true;
    if (const DocumentKind *kind = DocumentKind::find(type))
        m_currentFile = kind->untitledName(++s_untitledCounts[type]);
    m_scene->setType(type);
    updateTitle(m_currentFile);
}

void GraphicsView::setCurrentFile(const QString &fileName)
{
    m_currentFile = QFileInfo(fileName).canonicalFilePath();
    m_untitled = false;
    m_changedOutsideHistory = false;
    setWindowModified(false);
    updateTitle(userFriendlyCurrentFile());
    // Only while a document is being opened is the window that keeps the recent-file list
    // the parent; inside its sub-window the view no longer reaches it.
    if (auto *recent = dynamic_cast<RecentFiles *>(parent()))
        recent->addRecentFile(m_currentFile);
}

bool GraphicsView::loadFile(int type, const QString &fileName)
{
    if (!read(type, fileName))
        return false;
    setCurrentFile(fileName);
    return true;
}

bool GraphicsView::copyTemplate(const QString &fileName)
{
    if (!read(DocumentKind::Template, fileName))
        return false;
    // A new graph in today's format, whatever the template's; the history starts with it.
    m_scene->setVersion(AbstractGraphicsScene::CurrentVersion);
    newFile(DocumentKind::Graph);
    return true;
}

bool GraphicsView::read(int type, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QFile::ReadOnly)) {
        QMessageBox::warning(this, applicationTitle(),
            QStringLiteral("无法打开文件 %1:\n%2!").arg(fileName, file.errorString()), QMessageBox::Ok);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QDataStream stream(&file);
    const int result = m_scene->load(stream, true, type, nullptr, nullptr);
    QApplication::restoreOverrideCursor();
    file.close();

    switch (result) {
    case AbstractGraphicsScene::FILE_SUCCESS: return true;
    case AbstractGraphicsScene::FILE_WRONG_FORMAT: warningNotice(this, QStringLiteral("打开的文件格式错误!")); break;
    case AbstractGraphicsScene::FILE_ERROR: warningNotice(this, QStringLiteral("文件操作错误!")); break;
    case AbstractGraphicsScene::FILE_DAMAGED: warningNotice(this, QStringLiteral("文件已损坏!")); break;
    default: break;
    }
    return false;
}

bool GraphicsView::save()
{
    if (m_untitled) {
        // Only a bare untitled name gets the folder, so that a cancelled dialog followed by
        // another save proposes the same path again.
        const DocumentKind *kind = DocumentKind::find(m_scene->type());
        if (kind && QFileInfo(m_currentFile).fileName() == m_currentFile)
            m_currentFile.prepend(kind->folder());
        return saveAs();
    }
    return saveFile(m_currentFile, true);
}

bool GraphicsView::saveAs()
{
    const DocumentKind *kind = DocumentKind::find(m_scene->type());
    const QString filter = kind ? kind->filter : QString();

    // Local copies of server graphs carry a "DIZ" marker segment that a saved copy should lose.
    static const QRegularExpression serverMarker(QStringLiteral("/DIZ.[^.]*."));
    QString proposed = m_currentFile;
    proposed.replace(serverMarker, QStringLiteral("/"));
    if (QFileInfo(proposed).fileName() == proposed)
        proposed = QDir::toNativeSeparators((kind ? kind->folder() : AbstractGraphicsUtility::graphDir()) + proposed);

    const QString fileName
        = FileChooser::saveFileName(this, QStringLiteral("另存为"), proposed, filter, kind ? kind->suffix : QString());
    if (fileName.isEmpty())
        return false;
    return saveFile(fileName, false);
}

bool GraphicsView::saveFile(const QString &fileName, bool makeVersionBackup)
{
    const unsigned version = m_scene->version();
    if (makeVersionBackup && version != AbstractGraphicsScene::CurrentVersion) {
        // The file on disk is still in its old format: keep its bytes before overwriting it.
        QDir().mkpath(backupDir());
        const QString backupPath = backupDir()
            + QFileInfo(QStringLiteral("%1.Version%2.bak").arg(fileName, QString::number(version))).fileName();
        if (QFile::exists(backupPath))
            QFile::remove(backupPath);
        if (!QFile::copy(fileName, backupPath)) {
            QMessageBox::warning(
                this, applicationTitle(), QStringLiteral("文件 %1 备份失败!").arg(fileName), QMessageBox::Ok);
        }
    }

    // A failure part-way leaves the previous file as it was.
    SafeFile file(fileName);
    if (!file.open(QFile::WriteOnly)) {
        QMessageBox::warning(this, applicationTitle(),
            QStringLiteral("无法写入文件 %1:\n%2!").arg(fileName, file.errorString()), QMessageBox::Ok);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QDataStream stream(&file);
    int result = m_scene->save(stream);
    if (result == AbstractGraphicsScene::FILE_SUCCESS) {
        // A write, flush or rename that failed after the framework was done is a file error too.
        if (!file.commit(&stream))
            result = AbstractGraphicsScene::FILE_ERROR;
    } else {
        file.cancelWriting();
    }
    QApplication::restoreOverrideCursor();

    switch (result) {
    case AbstractGraphicsScene::FILE_SUCCESS:
        // The document is at the current version only once that version is on disk: a failed
        // save must not cost the next save its versioned backup.
        m_scene->setVersion(AbstractGraphicsScene::CurrentVersion);
        setCurrentFile(fileName);
        // The history stays: what was saved can still be undone, which marks the document again.
        m_scene->undoStack()->setClean();
        emit fileSaved(true);
        return true;
    case AbstractGraphicsScene::FILE_ERROR: warningNotice(this, QStringLiteral("文件操作错误!")); return false;
    default: return true;
    }
}

bool GraphicsView::maybeSave()
{
    if (!isWindowModified())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::warning(this, applicationTitle(),
        QStringLiteral("'%1' 已被修改!\n是否保存?").arg(userFriendlyCurrentFile()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return save();
    return answer != QMessageBox::Cancel;
}

QString GraphicsView::svgFileName() const
{
    return QStringLiteral("%1%2.svg")
        .arg(AbstractGraphicsUtility::svgDir(), QFileInfo(m_currentFile).completeBaseName())
        .replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void GraphicsView::exportSvg()
{
    const QString proposed = QStringLiteral("%1%2.svg")
                                 .arg(AbstractGraphicsUtility::svgDir(), QFileInfo(m_currentFile).completeBaseName());
    const QString fileName = FileChooser::saveFileName(
        this, QStringLiteral("导出为svg文件"), proposed, QStringLiteral("svg文件 (*.svg)"), QStringLiteral("svg"));
    if (fileName.isEmpty())
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = writeSvg(fileName);
    if (!ok) {
        static const QString failure = QStringLiteral("<font color=\"red\">导出svg文件失败,请重试!</font>");
        QMessageBox::warning(this, applicationTitle(), failure, QMessageBox::Ok);
    }
    QApplication::restoreOverrideCursor();
    if (ok)
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("导出成功!"), QMessageBox::Ok);
}

bool GraphicsView::writeSvg(const QString &svgFileName)
{
    // The saved document, not the one being edited: what the SVG shows is what is on disk.
    ExportScene saved;
    QFile file(m_currentFile);
    if (!file.open(QFile::ReadOnly))
        return false;
    QDataStream stream(&file);
    const bool ok = saved.load(stream, false, m_scene->type(), nullptr, nullptr) == AbstractGraphicsScene::FILE_SUCCESS;
    file.close();
    if (!ok)
        return false;

    SvgGenerator generator;
    const QRectF r = saved.sceneRect();
    generator.setFileName(svgFileName);
    generator.setSize(r.size().toSize());
    generator.setViewBox(r);
    const QString title = QFileInfo(svgFileName).baseName();
    generator.setTitle(title);
    generator.setDescription(title);

    QPainter painter;
    painter.begin(&generator);
    QString *head = generator.getHead();
    const int at = head->indexOf(QLatin1String("baseProfile="));
    if (at >= 0) {
        // The colour the user sees now, even when only the colour changed since the save.
        const QString background
            = QStringLiteral("#%1").arg(m_scene->backgroundColor().rgb() & 0xffffff, 6, 16, QLatin1Char('0'));
        const QString attributes = QStringLiteral("style=\"background-color:%1;\" "
                                                  "vcl-default=\"{'1.txt':{'e':'%2','w':'%3','0':'%4','1':'%5'}}\" "
                                                  "toolversion=\"%6.%7\" ")
                                       .arg(background)
                                       .arg(QStringLiteral("#00ffff"))
                                       .arg(QStringLiteral("#00ff00"))
                                       .arg(QStringLiteral("#c0c0c0"))
                                       .arg(background)
                                       .arg(AbstractGraphicsScene::CurrentVersion)
                                       .arg(1);
        head->insert(at, attributes);
    }
    // Only a picture that exists is referenced, and relative to the SVG, so that the two can
    // be moved together (every new graph names a default picture that may not be there).
    const QFileInfo picture(saved.bkImageHref());
    if (!saved.bkImageHref().isEmpty() && picture.isFile())
        generator.setImageHref(QFileInfo(svgFileName).absoluteDir().relativeFilePath(picture.absoluteFilePath()));
    saved.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
    painter.end();
    // A file the disk refused is a failed export, never "导出成功!" over an empty file.
    return generator.writeSucceeded();
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

void GraphicsView::zoomToFit()
{
    const QRectF canvas = m_scene->sceneRect();
    const QSize room = maximumViewportSize() - QSize(2 * CanvasPainter::Margin, 2 * CanvasPainter::Margin);
    if (canvas.isEmpty() || room.isEmpty())
        return;
    const double fit = std::min(room.width() / canvas.width(), room.height() / canvas.height());
    int level = 100 + int(std::floor(50.0 * std::log2(fit)));
    // The logarithm may round up across a level.
    while (scaleOf(level) > fit)
        --level;
    m_zoomLevel = level;
    applyZoom();
    centerOn(canvas.center());
}

int GraphicsView::zoomPercent() const
{
    return int(scaleOf(m_zoomLevel) * 100.0);
}

void GraphicsView::applyZoom()
{
    const double s = scaleOf(m_zoomLevel);
    // A fresh scale replaces whatever transformation the view had.
    if (transform().m11() != s) {
        setTransform(QTransform::fromScale(s, s), false);
        for (QGraphicsItem *item : m_scene->items(Qt::SortOrder(-1))) {
            if (auto *graphics = dynamic_cast<GraphicsItem *>(item))
                graphics->viewScaleChanged(s);
        }
    }
    updateScrollArea();
    emit changed();
}

// The view scrolls over the canvas and a margin of the same few pixels at every zoom, so that
// the canvas's edge, shadow and border can always be brought into sight.
void GraphicsView::updateScrollArea()
{
    const double margin = CanvasPainter::Margin / scaleOf(m_zoomLevel);
    const QScopedValueRollback<bool> layingOut(m_layingOut, true);
    setSceneRect(m_scene->sceneRect().adjusted(-margin, -margin, margin, margin));
}

void GraphicsView::showCanvasCorner()
{
    const QScopedValueRollback<bool> layingOut(m_layingOut, true);
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
}

void GraphicsView::resizeEvent(QResizeEvent *event)
{
    const QScopedValueRollback<bool> layingOut(m_layingOut, true);
    QGraphicsView::resizeEvent(event);
    if (m_cornerPending)
        showCanvasCorner();
}

void GraphicsView::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
    // Scrolled by the user or on purpose: later resizes keep that place.
    if (!m_layingOut)
        m_cornerPending = false;
}

void GraphicsView::drawBackground(QPainter *painter, const QRectF &rect)
{
    const QRectF canvas = m_scene->sceneRect();
    CanvasPainter::paintSurround(*painter, rect, canvas);
    // The scene paints its own background (colour and picture) on the canvas only.
    const QRectF onCanvas = rect.intersected(canvas);
    if (!onCanvas.isEmpty())
        QGraphicsView::drawBackground(painter, onCanvas);
    const GridSettings &grid = EditorState::gridSettings();
    if (grid.isVisible())
        CanvasPainter::paintGrid(*painter, rect, canvas, grid.size(), m_scene->backgroundColor());
    CanvasPainter::paintBorder(*painter, canvas);
}

void GraphicsView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (const std::optional<QPointF> mark = m_scene->markedTerminal())
        CanvasPainter::paintTerminalMark(*painter, *mark);
}

// The preview shows the corners the scene will take at the release: on the grid unless Alt
// is held, a line's ends on connection points near them first, then constrained by Shift. The
// connection point that the dragged end lands on is marked.
void GraphicsView::updatePreview(const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    QPointF start = m_pressPos;
    QPointF end = pos;
    std::optional<QPointF> mark;
    if (!(modifiers & Qt::AltModifier)) {
        const QTransform toViewport = viewportTransform();
        if (EditorState::currentTool() == ItemKind::Line) {
            const double radius = Glue::snapRadius(viewport());
            bool onTerminal = false;
            const QPointF landed = m_scene->snapLineEnd(mapToScene(pos), radius, nullptr, &onTerminal);
            start = toViewport.map(m_scene->snapLineEnd(mapToScene(m_pressPos), radius, nullptr));
            end = toViewport.map(landed);
            if (onTerminal)
                mark = landed;
        } else {
            start = toViewport.map(m_scene->snapToGrid(mapToScene(m_pressPos)));
            end = toViewport.map(m_scene->snapToGrid(mapToScene(pos)));
        }
    }
    if (modifiers & Qt::ShiftModifier) {
        const QPointF constrained = DragConstraint::withShift(start, end, EditorState::currentTool() == ItemKind::Line);
        if (constrained != end)
            mark.reset();
        end = constrained;
    }
    m_scene->markTerminal(mark);
    m_previewStartX = start.x();
    m_previewStartY = start.y();
    m_previewEndX = end.x();
    m_previewEndY = end.y();
}

void GraphicsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && EditorState::currentTool() != ItemKind::Pointer) {
        m_drawingDrag = true;
        m_pressPos = event->pos();
        updatePreview(event->pos(), event->modifiers());
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
        updatePreview(event->pos(), event->modifiers());
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
    if (EditorState::currentTool() == ItemKind::Pointer)
        QGraphicsView::mouseMoveEvent(event);
}

void GraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    switch (event->button()) {
    case Qt::LeftButton:
        m_drawingDrag = false;
        m_scene->markTerminal(std::nullopt);
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
    default: break;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

bool GraphicsView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QGraphicsView::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    // The topmost item under the pointer, or the group around it, that is bound to a point.
    const QList<QGraphicsItem *> under = items(help->pos());
    for (QGraphicsItem *item : under) {
        for (QGraphicsItem *at = item; at; at = at->parentItem()) {
            const auto *bound = dynamic_cast<const AbstractGraphicsUtility *>(at);
            const QString text = bound ? PointBinding::toolTip(*bound) : QString();
            if (!text.isEmpty()) {
                QToolTip::showText(help->globalPos(), text, viewport());
                return true;
            }
        }
    }
    return QGraphicsView::viewportEvent(event);
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
    if (EditorState::currentTool() == ItemKind::Line)
        painter.drawLine(QPointF(m_previewStartX, m_previewStartY), QPointF(m_previewEndX, m_previewEndY));
    else
        painter.drawRect(
            QRectF(m_previewStartX, m_previewStartY, m_previewEndX - m_previewStartX, m_previewEndY - m_previewStartY));
}

void GraphicsView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // The larger turn decides: a sideways wheel zooms in its own direction too.
        const QPoint angle = event->angleDelta();
        const int delta = std::abs(angle.x()) > std::abs(angle.y()) ? angle.x() : angle.y();
        if (delta < 1)
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
