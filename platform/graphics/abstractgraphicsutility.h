#ifndef ABSTRACTGRAPHICSUTILITY_H
#define ABSTRACTGRAPHICSUTILITY_H

#include <QPointF>
#include <QRectF>
#include <QString>

class QDataStream;
class QGraphicsScene;
struct DrawingDefaults;

// What every drawing item offers beyond QGraphicsItem: lock state, the two point
// bindings, construction from a drag, sizing and storage. Reached by dynamic_cast.
// The static part is the project folder layout that the whole editor shares.
class AbstractGraphicsUtility
{
public:
    virtual ~AbstractGraphicsUtility();

    bool islocked() const { return m_locked; }
    void setLock(bool locked);
    QString ykID() const { return m_ykID; }
    void setYkID(const QString &id) { m_ykID = id; }
    QString svgID() const { return m_svgID; }
    void setSvgID(const QString &id) { m_svgID = id; }

    virtual bool createFromPoints(
        const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene)
        = 0;
    virtual void setWidth(double width) = 0;
    virtual void setHeight(double height) = 0;
    // Called when the lock state changes, so that an item can drop its handles.
    virtual void lockChanged() { }
    virtual bool saveItem(QDataStream &stream) = 0;
    virtual QRectF itemRect() const = 0;

    // Project folders. Each ends with a separator so that file names can be appended.
    static void initProject();
    static QString projectDir();
    static QString graphDir();
    static QString templateDir();
    static QString svgDir();
    static QString bmpDir();
    static QString groupDir();
    static QString symbolDir();

private:
    bool m_locked = false;
    QString m_ykID;
    QString m_svgID;
};

#endif
