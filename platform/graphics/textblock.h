#ifndef TEXTBLOCK_H
#define TEXTBLOCK_H

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// A piece of text laid out once and kept between paints. Shaping text (above all Chinese
// text) costs far more than everything else an item draws, so the layout is redone only
// when the text, the font, the box or the alignment change. On screen the laid-out glyphs
// are drawn once into a pixmap of ItemPixmapCache, so that identical texts share it and
// a repaint is one pixmap blit; SVG and print always get real text.
// Shared by the text and link items.
struct TextBlock
{
    // Lays the text out in a box of the given size unless nothing changed since last time.
    void prepare(const QString &text, const QFont &font, const QSizeF &box, Qt::Alignment alignment, bool wrap = false,
        double spacing = 1.0);
    // The lines as laid out, relative to the box's top-left corner.
    QRectF bounds() const { return m_bounds; }
    // Draws the prepared text with its box at origin, clipped to clip. May leave the
    // painter's pen changed.
    void draw(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color);

    // Item coordinates are screen pixels at 100 %: a point size is turned into pixels once
    // here, so that the text has the same size on screen, in SVG and in print.
    static QFont pixelFont(const QFont &font);

private:
    struct Line
    {
        int start;
        int length;
        QPointF baseline;
        QRectF rect;
    };

    void layout();
    void drawText(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const;
    void drawCached(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color);
    void drawGlyphs(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const;

    // What the layout was made from.
    QString m_text;
    QFont m_font;
    QFont m_pixelFont;
    QSizeF m_box;
    int m_alignment = 0;
    bool m_wrap = false;
    bool m_prepared = false;
    double m_spacing = 1.0;
    // The layout.
    QVector<Line> m_lines;
    QList<QGlyphRun> m_runs;
    QRectF m_bounds;
    // The look key of the cached pixmap and what it was made from.
    QString m_key;
    QRectF m_keyArea;
    QRgb m_keyColor = 0;
};

#endif
