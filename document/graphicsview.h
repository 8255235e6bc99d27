#ifndef GRAPHICSVIEW_H
#define GRAPHICSVIEW_H

#include <QCursor>
#include <QGraphicsView>
#include <QPoint>
#include <QString>

class Scene;

// One open graph or template: the view of its scene and the document around it
// (file name, untitled state, zoom).
class GraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit GraphicsView(QWidget *parent = nullptr);
    ~GraphicsView() override;

    Scene *documentScene() const { return m_scene; }
    QString currentFile() const { return m_currentFile; }
    QString userFriendlyCurrentFile() const;
    static QString strippedName(const QString &path);
    static QString backupDir();
    bool isUntitledOrModified() const;
    // Never saved: the file name is a proposal.
    bool isUntitled() const { return m_untitled; }
    // For changes the undo history does not hold (canvas size, background): the document stays
    // modified until it is saved, whatever is undone.
    void markChangedOutsideHistory();

    void newFile(int type);
    bool loadFile(int type, const QString &fileName);
    // Makes this an untitled graph holding the template's items, canvas and background.
    bool copyTemplate(const QString &fileName);
    bool save();
    bool saveAs();
    bool saveFile(const QString &fileName, bool makeVersionBackup);
    bool maybeSave();
    void setCurrentFile(const QString &fileName);

    QString svgFileName() const;
    bool writeSvg(const QString &fileName);
    void exportSvg();

    void zoomIn(int step);
    void zoomOut(int step);
    void zoomDefault();
    // The largest zoom level at which the whole canvas, with its margin, fits in the window.
    void zoomToFit();
    int zoomPercent() const;

signals:
    void changed();
    void rightClicked();
    void fileSaved(bool saved);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void closeEvent(QCloseEvent *event) override;
    // Hovering a bound item shows its points: id, device, variable and qualifier.
    bool viewportEvent(QEvent *event) override;

private:
    // Reads the document into the scene, telling the user why it cannot.
    bool read(int type, const QString &fileName);
    void applyZoom();
    void updateScrollArea();
    void showCanvasCorner();
    void updatePreview(const QPoint &pos, Qt::KeyboardModifiers modifiers);
    void updateTitle(const QString &name);
    void showModified();

    Scene *m_scene;
    QString m_currentFile;
    bool m_untitled = true;
    bool m_changedOutsideHistory = false;
    bool m_drawingDrag = false;
    bool m_panning = false;
    double m_previewStartX = 0;
    double m_previewStartY = 0;
    double m_previewEndX = 0;
    double m_previewEndY = 0;
    QPoint m_pressPos;
    QPoint m_lastPanPos;
    QCursor m_savedCursor;
    int m_zoomLevel = 100;
    // A new view shows the canvas's corner through every resize until it scrolls elsewhere.
    bool m_cornerPending = true;
    bool m_layingOut = false;
};

#endif
