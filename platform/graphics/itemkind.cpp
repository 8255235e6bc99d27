#include "itemkind.h"

#include "chartitem.h"
#include "graphicsitem.h"
#include "lineitem.h"
#include "linkitem.h"
#include "pictureitem.h"
#include "shapeitem.h"
#include "symbolitem.h"
#include "textitem.h"

#include <QHash>

const ItemKind *ItemKind::find(int type)
{
    static const QHash<int, const ItemKind *> index = [] {
        QHash<int, const ItemKind *> h;
        for (const ItemKind &k : all())
            h.insert(k.type, &k);
        return h;
    }();
    return index.value(type, nullptr);
}

namespace {

template<typename Item> GraphicsItem *make(const ItemKind &kind)
{
    return new Item(kind);
}

// A shape whose ends connect to the circuit is the line.
GraphicsItem *makeShape(const ItemKind &kind)
{
    if (kind.terminals == ItemKind::LineEnds)
        return new LineItem(kind);
    return new ShapeItem(kind);
}

// The class of each family, in the order of ItemKind::Family.
GraphicsItem *(*const Makers[])(const ItemKind &) = {
    &makeShape,
    &make<SymbolItem>,
    &make<TextItem>,
    &make<ChartItem>,
    &make<LinkItem>,
    &make<PictureItem>,
};
static_assert(sizeof(Makers) / sizeof(Makers[0]) == ItemKind::Picture + 1, "one class per family");

} // namespace

GraphicsItem *ItemKind::create(int type)
{
    const ItemKind *kind = find(type);
    return kind ? Makers[kind->family](*kind) : nullptr;
}
