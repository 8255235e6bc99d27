#ifndef PLAINGRAPH_H
#define PLAINGRAPH_H

#include <QByteArray>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QList>
#include <functional>
#include <vector>

class QGraphicsItemGroup;

// The baseline: the benchmark graph's layout as plain QGraphicsRectItems in a QGraphicsScene and
// QGraphicsView, edited with the plain calls the window's commands stand for.
class PlainGraph
{
public:
    PlainGraph(int count, const QSize &viewSize);
    ~PlainGraph();

    QGraphicsItem *add(const QPointF &pos, const QRectF &rect, bool filled);
    void removeAll(const QList<QGraphicsItem *> &list);
    void addAll(const QList<QGraphicsItem *> &list);
    void moveAll(const QList<QGraphicsItem *> &list, const QPointF &delta);

    // The records a copy writes (a raw QDataStream), and the items read back from them.
    static QByteArray writeRecords(const QList<QGraphicsItem *> &items);
    QList<QGraphicsItem *> addRecords(const QByteArray &bytes, const QPointF &offset);

    // --- the edits, each leaving its undo and redo

    void selectAll();
    void deselectAll();
    // Selects the items of `half` in its order; the edits then work on them.
    void selectHalf(const QList<QGraphicsItem *> &half);
    void removeTarget();
    void groupTarget();
    bool ungroup();
    void restack(QGraphicsItem *one, double z);
    // The drop of a drag that moved the target by `delta`.
    void dropTarget(const QPointF &delta);
    void copy();
    void paste();
    void exportSvg(const QString &path);

    // Plain Qt has no undo: each edit leaves the calls that take it back and do it again.
    struct Edit
    {
        std::function<void()> undo;
        std::function<void()> redo;
    };
    void done(std::function<void()> undo, std::function<void()> redo);
    bool undo();
    bool redo();

    QGraphicsScene scene;
    QGraphicsView view;
    QList<QGraphicsItem *> items; // in stacking order, bottom first
    QList<QGraphicsItem *> target; // the selection an edit works on, in stacking order
    QList<QGraphicsItem *> created;
    QGraphicsItemGroup *group = nullptr;
    QByteArray records;
    std::vector<Edit> history;
    size_t position = 0;
};

#endif
