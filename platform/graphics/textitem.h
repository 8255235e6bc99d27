#ifndef TEXTITEM_H
#define TEXTITEM_H

#include "graphicsitem.h"

#include <memory>

struct TextBlock;

// The text kinds: plain and extended text, measurements shown as text (a labelled value and
// an analogue value in a box) and the digital clock. At edit time the measurements show a
// sample value and the clock a fixed sample time, so that the screen looks as it will at run
// time and every render is the same.
class TextItem : public GraphicsItem
{
public:
    // One text kind's row of the table in the implementation.
    struct Row;

    explicit TextItem(const ItemKind &kind);
    ~TextItem() override;

    // The text as shown while editing.
    QString displayText() const;

    // The measurement that the value kinds show while editing.
    static constexpr double SampleValue = 123.456;

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    bool hasText() const override { return true; }
    void specificChanged(int index) override;

private:
    static const Row &rowOf(int type);

    const Row &m_row;
    std::unique_ptr<TextBlock> m_block;
    // displayText() as last made; formatting it for every paint would cost more than drawing it.
    mutable QString m_shown;
    mutable bool m_shownValid = false;
};

#endif
