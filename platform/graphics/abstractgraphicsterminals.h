#ifndef ABSTRACTGRAPHICSTERMINALS_H
#define ABSTRACTGRAPHICSTERMINALS_H

#include <QList>
#include <QPointF>

// Where an item of the diagram's circuit connects: the ends of an equipment symbol's leads and
// of a line. Reached by dynamic_cast; items that carry no current (texts, charts, pictures,
// plain shapes) do not offer it.
class AbstractGraphicsTerminals
{
public:
    virtual ~AbstractGraphicsTerminals() = default;

    // The connection points in scene coordinates, in a fixed order for each kind: they move,
    // turn and scale with the item.
    virtual QList<QPointF> terminalPoints() const = 0;
};

#endif
