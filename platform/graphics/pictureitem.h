#ifndef PICTUREITEM_H
#define PICTUREITEM_H

#include "graphicsitem.h"

#include <QSharedPointer>

struct PictureSource;

// Pictures from the project folders: the first frame of a GIF animation, an SVG drawing,
// or a custom symbol in any image format Qt reads (or SVG). Loaded pictures are shared
// between all items showing the same file. Without a file an item shows a placeholder;
// a file that cannot be read adds a red cross, so the engineer sees what is missing.
class PictureItem : public GraphicsItem
{
public:
    // One picture kind's row of the table in the implementation.
    struct Row;

    explicit PictureItem(const ItemKind &kind);
    ~PictureItem() override;

    // AbstractGraphicsUtility: a new SVG drawing or custom symbol shows its library's
    // current entry.
    bool createFromPoints(
        const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene) override;

    // AbstractGraphicsResize: the picture's own size, once it is loaded.
    bool isPerfectSizeEnable() const override;
    QSize perfectSize() const override;

    // The file the path property names; a relative path is taken in the kind's folder.
    QString resolvedPath() const;
    // The folder a kind's files live in.
    QString folder() const;
    // Whether a file is named but could not be read.
    bool isBroken() const;

protected:
    void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) override;
    const QVector<SpecificProperty> &specifics() const override;
    void specificChanged(int index) override;

private:
    static const Row &rowOf(int type);
    void drawPicture(QPainter *painter) const;
    void drawPlaceholder(QPainter *painter, const QRectF &r) const;
    QRectF pictureRect() const;
    QString lookKey() const;

    const Row &m_row;
    QSharedPointer<const PictureSource> m_source;
};

#endif
