#ifndef COMMONPROPERTIES_H
#define COMMONPROPERTIES_H

#include "abstractgraphicsproperty.h"

#include <QList>

// The properties that every drawing item and every group offers first: name, position,
// size and lock, in that order. Written once here so that both list the same ids.
class CommonProperties
{
public:
    // A drawing item edits all of them within the ranges a document can hold.
    static const QList<Property *> &forItems();
    // A group takes its size from its members, so its width and height are only shown.
    static const QList<Property *> &forGroups();
};

#endif
