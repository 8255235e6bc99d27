#ifndef GRAPHICSITEM_H
#define GRAPHICSITEM_H

#include "abstractgraphicslibrary.h"
#include "abstractgraphicsproperty.h"
#include "abstractgraphicsresize.h"
#include "abstractgraphicsutility.h"

#include <QBrush>
#include <QFont>
#include <QGraphicsItem>
#include <QPen>
#include <QVector>

class ItemStorage;
struct ItemKind;

// Base of every drawing item: a rectangle with pen and brush, resize handles while
// selected, a lock, the two point bindings, and properties in three groups. The kinds
// differ only in what they draw inside the rectangle and in their specific properties.
class GraphicsItem : public QGraphicsItem,
                     public AbstractGraphicsUtility,
                     public AbstractGraphicsResize,
                     public AbstractGraphicsProperty,
                     public AbstractGraphicsLibrary
{
    // Reads and writes the item's state in the document format.
    friend class ItemStorage;

public:
    // A property of the kind's own, with the value a new item starts with.
    struct SpecificProperty
    {
        Property *property;
        QVariant initial;
    };

    explicit GraphicsItem(const ItemKind &kind);
    ~GraphicsItem() override;

    int type() const override;
    const ItemKind &kind() const { return m_kind; }

    // The drawing rectangle in item coordinates. For a line its first corner is the
    // start and the opposite corner the end, so it keeps its direction.
    QRectF rect() const { return m_rect; }
    void setRect(const QRectF &rect);

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    int penWidth() const { return m_penWidth; }
    QColor penColor() const { return m_penColor; }
    int penStyle() const { return m_penStyle; }
    QColor brushColor() const { return m_brushColor; }
    int brushStyle() const { return m_brushStyle; }
    QFont font() const { return m_font; }
    // The pen and brush as drawn: an invalid colour falls back, brush style 0 or an
    // invalid brush colour means no fill.
    QPen pen() const;
    QBrush brush() const;
    bool hasFill() const;

    // QGraphicsItem
    QRectF boundingRect() const override;
    // The handles keep their size on screen: a zoom of the view changes the room they take.
    void viewScaleChanged(double scale);
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // AbstractGraphicsUtility
    bool createFromPoints(
        const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene) override;
    void setWidth(double width) override;
    void setHeight(double height) override;
    bool saveItem(QDataStream &stream) override;
    QRectF itemRect() const override;

    // AbstractGraphicsResize
    QVariant geometry() const override;
    void setGeometry(const QVariant &geometry) override;

    // AbstractGraphicsProperty
    QMap<Authority, QList<Property *>> properties() const override;
    void setPropertyValue(const QString &id, const QVariant &value) override;
    QVariant propertyValue(const QString &id) const override;

    // AbstractGraphicsLibrary
    void init(void *context, void *data) override;

    // Value of a specific property by its index in specifics().
    QVariant specificValue(int index) const { return values().value(index); }
    void setSpecificValue(int index, const QVariant &value);
    // The dashed outline of a selection, shared with groups so that both read alike.
    static QPen selectionOutline();

    // The handles as drawn for a given size in scene units (exposed for hit tests).
    QRectF handleRect(int handle) const;
    int handleCount() const;

protected:
    // What a kind draws inside its rectangle (item coordinates), with pen and brush set.
    virtual void drawContent(QPainter *painter, const QStyleOptionGraphicsItem *option) = 0;
    // The kind's own properties, shared by all items of the kind.
    virtual const QVector<SpecificProperty> &specifics() const;
    // Whether the item shows text (and so offers a font).
    virtual bool hasText() const { return false; }
    // Where the item can be hit; by default its whole rectangle.
    virtual QPainterPath contentShape() const;
    // A kind may react to a changed specific value (reload a picture, ...). The point
    // bindings need no reaction: the base keeps them as the item's svgID and ykID.
    virtual void specificChanged(int index);
    // Whether the specific property at the index is one of the two point bindings.
    bool isBinding(int index) const;
    // Line-like kinds have two handles at their ends instead of eight around.
    virtual bool isLinear() const { return false; }

    void lockChanged() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;

    double handleSize() const;
    int handleAt(const QPointF &pos) const;

private:
    void drawSelection(QPainter *painter);
    bool showsHandles() const;
    QVector<QVariant> &values() const;
    // The value of a property the kind lists among its specific ones; invalid for any other.
    QVariant specificPropertyValue(const QString &id) const;
    // The ids of the two point bindings when a kind lists them among its specific properties.
    static const QString &svgIdProperty();
    static const QString &ykIdProperty();

    const ItemKind &m_kind;
    QRectF m_rect;
    QString m_name;
    int m_penWidth = 1;
    QColor m_penColor;
    int m_penStyle = 1;
    QColor m_brushColor;
    int m_brushStyle = 0;
    // The scale of the first view of the scene, kept here because the bounding rectangle needs
    // it for every item at every index update and repaint.
    float m_viewScale = 1.0f;
    QFont m_font;
    mutable QVector<QVariant> m_values;
};

#endif
