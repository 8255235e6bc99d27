#include "propertydockwidget.h"

PropertyDockWidget::PropertyDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    setObjectName(QStringLiteral("PropertyDockWidget"));
    setWindowTitle(QStringLiteral("属性编辑器"));
}

void PropertyDockWidget::setItems(const QList<QGraphicsItem *> &items)
{
    // The property tree is built by the property browser; until it exists the dock only
    // keeps the selection it was handed.
    m_items = items;
}
