#ifndef POINTBINDING_H
#define POINTBINDING_H

#include <QString>

class AbstractGraphicsUtility;
struct CIdInfo;

// How a bound point id reads to the engineer, wherever bindings are shown or checked: the
// dock's rows, the canvas tooltip, the binding check. Each id costs one lookup in the data
// link's index.
class PointBinding
{
public:
    enum State
    {
        Known,
        Unknown, // bound to an id without a record
        Unbound
    };

    static State stateOf(const QString &id, const CIdInfo **record = nullptr);
    static QString stateText(State state);
    // "1001 — 1#出线 · Ia" for a known id, the bare id otherwise.
    static QString display(const QString &id);
    // The item's bindings, one block each with id, device, variable and qualifier; empty for
    // an item bound to nothing.
    static QString toolTip(const AbstractGraphicsUtility &item);
};

#endif
