#ifndef SYMBOLITEM_H
#define SYMBOLITEM_H

#include "abstractgraphicsterminals.h"
#include "graphicsitem.h"
#include "symbollibrary.h"

// The equipment symbols of the one-line diagram: switches, disconnectors, breaker trucks,
// fuses, capacitors, reactors, transformers, CT and PT, machines, earthing, lamps, bells,
// diodes, the danger sign and the capacities. Every symbol is bound to a point of the
// automation system, switching devices also to a control point; all can be turned in
// quarter turns inside their rectangle. The drawings come from SymbolLibrary, and so do the
// connection points, so that they lie where the drawn leads end.
class SymbolItem : public GraphicsItem, public AbstractGraphicsTerminals
{
public:
    explicit SymbolItem(const ItemKind &kind);

    // AbstractGraphicsTerminals
    QList<QPointF> terminalPoints() const override;

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;

private:
    // The drawing this item shows at its rectangle's size.
    SymbolLibrary::Request request() const;
};

#endif
