#ifndef ABSTRACTGRAPHICSRESIZE_H
#define ABSTRACTGRAPHICSRESIZE_H

#include <QSize>
#include <QVariant>

// Resizing through handles, and the opaque geometry that undo restores.
class AbstractGraphicsResize
{
public:
    virtual ~AbstractGraphicsResize() = default;

    // The handle being dragged, or -1 when no handle drag is under way.
    int isResizing() const { return m_resizing; }
    // Whether the item knows a natural size (a picture's own size).
    virtual bool isPerfectSizeEnable() const { return false; }
    virtual QSize perfectSize() const { return QSize(); }

    // Everything a resize changes; setGeometry() restores it exactly.
    virtual QVariant geometry() const = 0;
    virtual void setGeometry(const QVariant &geometry) = 0;

protected:
    int m_resizing = -1;
};

#endif
