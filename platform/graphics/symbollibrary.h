#ifndef SYMBOLLIBRARY_H
#define SYMBOLLIBRARY_H

#include <QPainterPath>
#include <QSizeF>
#include <QVector>

// The drawings of the equipment symbols. A drawing is built for one exact size, status and
// orientation as a few paths in the coordinates of a rectangle at the origin, and kept in a
// shared cache, so that painting a symbol only looks it up and fills or strokes its paths:
// the pen keeps its width whatever the size, and no path is built while painting.
// The cache belongs to the GUI thread; painting in another thread uses build() instead.
class SymbolLibrary
{
public:
    // What a symbol offers beyond its point binding and direction; the item shows these as
    // properties, and the request's variant and level change the drawing only of the symbols
    // that offer them.
    enum Offer : unsigned
    {
        Control = 1, // a control point
        SwitchStatus = 2, // open or closed
        TruckStatus = 4, // test or working position
        StatusColours = 8, // the colours of the two states
        TwoWindings = 16, // two or three windings, two at first
        ThreeWindings = 32, // two or three windings, three at first
        Background = 64, // the sign's ground colour
        Level = 128, // a fill level and its colour
    };

    // How a layer is filled; the item resolves the roles to its own colours when painting.
    enum Fill : quint8
    {
        NoFill,
        BrushFill, // the item's brush (nothing when the item has no fill)
        LineFill, // the pen's colour: dots, arrow heads, solid triangles
        StatusFill, // the switch's status: the closed colour, or the item's brush when open
        BackgroundFill, // the danger sign's ground colour
        ContrastFill, // dark or light, whichever stands out on the ground colour
        LevelFill, // the liquid of a capacity
        SurfaceFill, // the liquid's surface, a lighter shade of the liquid
    };
    enum Stroke : quint8
    {
        NoStroke,
        LineStroke, // the item's pen
        StatusStroke, // the item's pen in the status colour
    };

    struct Layer
    {
        QPainterPath path;
        Fill fill = NoFill;
        Stroke stroke = NoStroke;
        // Only curves and slanted lines are antialiased: axis-parallel strokes stay crisp.
        bool antialias = false;
    };

    struct Drawing
    {
        QVector<Layer> layers; // in painting order
    };

    struct Request
    {
        int type = 0;
        // Status for switching devices (0 open, 1 closed), windings for transformers
        // (0 two, 1 three), 0 for the others.
        int variant = 0;
        // Quarter turns clockwise, 0..3.
        int orientation = 0;
        QSizeF size;
        // Capacities only: fill level in percent, 0..100.
        double level = 0;
    };

    static bool contains(int type);
    // The symbol kinds, in the library's order, and what each offers (0 for no symbol).
    static QVector<int> types();
    static unsigned offers(int type);
    // The cached drawing for the request; the pointer stays valid until the next call.
    static const Drawing *drawing(const Request &request);
    // Builds a drawing without the cache.
    static Drawing build(const Request &request);
    // Where the drawing's leads end, as its kind's terminal layout (ItemKind::terminals) places
    // them: in the coordinates of the drawing, turned with it; none for a non-symbol or no size.
    static QVector<QPointF> terminals(const Request &request);
    static int cachedCount();
    static void clearCache();
};

#endif
