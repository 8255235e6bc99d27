#ifndef ABSTRACTGRAPHICSSCENE_H
#define ABSTRACTGRAPHICSSCENE_H

#include "formatversion.h"

#include <QColor>
#include <QGraphicsScene>
#include <QList>
#include <QPixmap>
#include <QString>

class QGraphicsItem;
class AbstractGraphicsUtility;

// Scene base class of the framework: document type and format version, background,
// and the item factory. Storage arrives with the document format.
class AbstractGraphicsScene : public QGraphicsScene
{
    Q_OBJECT
public:
    // Result of reading a document.
    enum FILE_INFO
    {
        FILE_SUCCESS = 0,
        FILE_WRONG_FORMAT = 1,
        FILE_ERROR = 2,
        FILE_DAMAGED = 3
    };

    // The current document and item format version.
    static constexpr unsigned CurrentVersion = FormatVersion::Current;

    explicit AbstractGraphicsScene(QObject *parent = nullptr);
    ~AbstractGraphicsScene() override;

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    unsigned version() const { return m_version; }
    void setVersion(unsigned version) { m_version = version; }

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    QString backgroundPixmap() const { return m_backgroundPixmapPath; }
    void setBackgroundPixmap(const QString &path);
    // Reference of the background picture as written into exported SVG.
    QString bkImageHref() const { return m_backgroundPixmapPath; }

    // The whole document. `interactive` false loads items for display only (no selection or
    // moving), as for rendering an export. A document of another type is refused.
    FILE_INFO save(QDataStream &stream);
    FILE_INFO load(QDataStream &stream, bool interactive, int type, void *reserved1, void *reserved2);
    // A list of items, as the clipboard carries them.
    bool save(QDataStream &stream, const QList<QGraphicsItem *> &items);
    static bool loadItems(QDataStream &stream, bool interactive, int type, unsigned version,
        QList<QGraphicsItem *> &items, void *reserved1, void *reserved2, void *reserved3);

    // Called after the document's settings or contents were replaced as a whole (a load);
    // repaints everything by default.
    virtual void changed();
    // Called with the items a load or paste brought in, before anyone else sees them.
    virtual void itemsLoaded(const QList<QGraphicsItem *> &items);

    // A new item of the given type for a scene of the given document type, or null
    // for a number that names no drawing tool.
    static QGraphicsItem *graphicsItem(int sceneType, int itemType, bool withDefaults);
    // Gives the item an identifier (its name, "名称") unique in this scene: the kind's name
    // followed by the smallest free number, e.g. "开关3". With `withMembers` true (a newly
    // drawn or pasted item) the members of a group are checked as well; with false (a group
    // just formed from items already in the scene) only the item itself is named and its
    // members keep their names. A name that is set and unique is kept. Returns whether
    // any name changed.
    bool checkCSvgIDAndGroupID(QGraphicsItem *item, bool withMembers);

    // How many items have no parent item: one walk of the unsorted item list.
    int topLevelItemCount() const;
    // The selected items in no particular order, from one walk of the unsorted item list:
    // selectedItems() rebuilds a set of the whole selection at every call.
    QList<QGraphicsItem *> selectionSnapshot() const;

    // The top-level items of the list (no parent item), order kept.
    static QList<QGraphicsItem *> noParentFilter(const QList<QGraphicsItem *> &items);

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;

protected:
    unsigned m_version = CurrentVersion;

private:
    int m_type = 0;
    QColor m_backgroundColor = Qt::black;
    QString m_backgroundPixmapPath;
    QPixmap m_backgroundPicture;
};

#endif
