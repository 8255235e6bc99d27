#ifndef PROPERTYDOCKWIDGET_H
#define PROPERTYDOCKWIDGET_H

#include <QDockWidget>
#include <QList>
#include <QPointer>

class AbstractGraphicsProperty;
class QGraphicsItem;
class Property;
class QtProperty;
class QtTreePropertyBrowser;
class QtVariantProperty;
class QtVariantPropertyManager;
class Scene;

// The dock "属性编辑器": shows the properties of the selected items and turns every edit
// into one undo step on their document's stack. The point-binding rows pick their id from the
// point records ("..."), show the record beside it and warn in red about an id without one.
// The rows follow the items without being rebuilt (an open editor stays): at once after every
// change of the undo stack, and the rows of position and size once per event-loop turn while
// the mouse drags or resizes on the canvas; only rows in view are read. A row whose items
// disagree shows empty.
class PropertyDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit PropertyDockWidget(QWidget *parent = nullptr);

    // Shows the properties of these items, replacing what was shown: all of them for one
    // item, the ones every item has for several.
    void setItems(const QList<QGraphicsItem *> &items);

    QList<AbstractGraphicsProperty *> items() const { return m_items; }
    QtTreePropertyBrowser *browser() const { return m_browser; }

public slots:
    void on_valueChanged(QtProperty *property, const QVariant &value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QVariant pickPoint(QWidget *window, const QVariant &current);
    void watch(Scene *scene);
    void stackChanged();
    // All rows, or only those a drag changes.
    void refreshLater(bool all);
    void catchUp();
    void refresh(bool all);
    bool inView(QtVariantProperty *row) const;
    void markBindings();

    // Guarded: a closed document takes its scene, and then edits have nowhere to go.
    QPointer<Scene> m_scene;
    QList<AbstractGraphicsProperty *> m_items;
    QtVariantPropertyManager *m_manager;
    QtTreePropertyBrowser *m_browser;
    // Every row with a value and the property it shows, in the tree's order.
    QList<QtVariantProperty *> m_rows;
    QList<Property *> m_shown;
    QList<QtVariantProperty *> m_bindingRows;
    QMetaObject::Connection m_undoWatch;
    QMetaObject::Connection m_selectionWatch;
    // The undo index the values were last read at.
    int m_readAt = -1;
    // The items may have left the scene, even been deleted, since they were handed over.
    bool m_stale = false;
    bool m_refreshing = false;
    bool m_refreshPending = false;
    bool m_refreshAll = false;
    // Rows out of view were not read at the last refresh.
    bool m_behind = false;
};

#endif
