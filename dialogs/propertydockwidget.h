#ifndef PROPERTYDOCKWIDGET_H
#define PROPERTYDOCKWIDGET_H

#include <QDockWidget>
#include <QList>

class QGraphicsItem;

// The dock that shows and edits the properties of the selected items.
class PropertyDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit PropertyDockWidget(QWidget *parent = nullptr);

    void setItems(const QList<QGraphicsItem *> &items);
    QList<QGraphicsItem *> items() const { return m_items; }

private:
    QList<QGraphicsItem *> m_items;
};

#endif
