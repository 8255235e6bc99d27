#ifndef GLUE_H
#define GLUE_H

#include <QList>
#include <QPointF>
#include <QVariant>
#include <optional>
#include <vector>

class LineItem;
class AbstractGraphicsTerminals;
class QGraphicsItem;
class QGraphicsScene;
class QUndoStack;
class QWidget;

// Line ends held to the connection points of equipment. Nothing about it is stored: an end that
// lies on a symbol's connection point when an edit starts is glued, and follows the point while
// the symbol moves or changes size. One Glue serves one edit: made before the items change,
// followed as they change, recorded into the edit's undo step at its end.
class Glue
{
public:
    // A line end dragged this many pixels of the screen from a connection point lands on it.
    static constexpr double SnapPixels = 8;

    // SnapPixels in scene units for the view whose viewport is given (1:1 without one).
    static double snapRadius(const QWidget *viewport);

    // Nothing glued.
    Glue() = default;

    // The ends of top-level lines that lie on a connection point of one of the items or of
    // their members. Lines among the items, or inside them, move whole and are left out; so are
    // lines inside groups, which keep their shape with the group, and locked lines, which keep
    // their place. Empty while glue is off.
    static Glue of(const QGraphicsScene *scene, const QList<QGraphicsItem *> &items);

    bool isEmpty() const { return m_ends.empty(); }
    // The lines with at least one glued end.
    QList<QGraphicsItem *> lines() const;

    // Every glued end to where its connection point is now.
    void follow() const;
    // The same when every item moved by `offset` since of() and nothing else changed: a drag
    // asks no item for its connection points.
    void followMove(const QPointF &offset) const;
    // Into the caller's open macro, one command per line that changed since of(): the lines
    // already stand where they belong, so the push changes nothing.
    void record(QUndoStack *stack) const;
    // follow() then record(): the end of an edit that changed the items at once.
    void followInto(QUndoStack *stack) const
    {
        follow();
        record(stack);
    }

    // The connection point of another item than `exclude` nearest to `point` and no further
    // than `radius`, found through the scene's index.
    static std::optional<QPointF> terminalNear(
        const QGraphicsScene *scene, const QPointF &point, double radius, const QGraphicsItem *exclude);

private:
    struct Collecting;
    // Glues the ends of lines that lie on the point, the owner's connection point `terminal`.
    void glueEndsAt(Collecting &collecting, const AbstractGraphicsTerminals *owner, int terminal, const QPointF &point);

    struct End
    {
        LineItem *line;
        int end; // 0 the start, 1 the end
        const AbstractGraphicsTerminals *owner;
        int terminal;
        QPointF at; // the connection point when the edit started
    };
    struct Line
    {
        LineItem *line;
        QVariant before; // its geometry when the edit started
    };

    std::vector<End> m_ends;
    std::vector<Line> m_lines;
};

#endif
