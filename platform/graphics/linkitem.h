#ifndef LINKITEM_H
#define LINKITEM_H

#include "graphicsitem.h"

#include <memory>

struct TextBlock;

// Items that lead somewhere when the screen runs: push buttons, hot spots and graph links,
// details and circuits. While editing they show what they are and where they lead.
class LinkItem : public GraphicsItem
{
public:
    // The small pictures the kinds show beside their text.
    enum Glyph
    {
        Chain,
        Arrow,
        Sheet,
        SetPoint,
        Popup
    };

    // One link kind's row of the table in the implementation.
    struct Row;

    explicit LinkItem(const ItemKind &kind);
    ~LinkItem() override;

    // The text as shown while editing.
    QString displayText() const;

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    bool hasText() const override { return true; }
    void specificChanged(int index) override;

private:
    static const Row &rowOf(int type);
    void drawButton(QPainter *painter, const QRectF &r);
    void drawHotSpot(QPainter *painter, const QRectF &r);
    void drawGraphLink(QPainter *painter, const QRectF &r);
    void drawDetails(QPainter *painter, const QRectF &r);
    void drawCircuit(QPainter *painter, const QRectF &r);
    // Draws a glyph into the square target.
    void drawGlyph(QPainter *painter, Glyph glyph, const QRectF &target, const QColor &color) const;
    void drawLabel(
        QPainter *painter, const QRectF &box, const QRectF &clip, Qt::Alignment alignment, const QColor &color);
    QString makeDisplayText() const;
    QColor lineColor() const;

    const Row &m_row;
    std::unique_ptr<TextBlock> m_block;
    // displayText() as last made, so that painting does not rebuild it.
    mutable QString m_shown;
    mutable bool m_shownValid = false;
};

#endif
