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
// point records ("..."), show the record beside it and warn in red about an id without one;
// they follow undo and changed records.
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

private:
    QVariant pickPoint(QWidget *window, const QVariant &current);
    void refreshBindings();
    void markBindings();

    // Guarded: a closed document takes its scene, and then edits have nowhere to go.
    QPointer<Scene> m_scene;
    QList<AbstractGraphicsProperty *> m_items;
    QtVariantPropertyManager *m_manager;
    QtTreePropertyBrowser *m_browser;
    QList<QtVariantProperty *> m_bindingRows;
    QList<Property *> m_bindings;
    QMetaObject::Connection m_undoWatch;
    bool m_refreshing = false;
};

#endif
