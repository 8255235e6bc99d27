#include "qttreepropertybrowser.h"

#include "qtvarianteditorfactory.h"
#include "qtvariantpropertymanager.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {

// Rows know their property through this role; it is how the delegate finds it.
constexpr int PropertyRole = Qt::UserRole + 1;

// Editors come from the factory and write into the manager themselves, so the model
// never takes data from them.
class PropertyDelegate : public QStyledItemDelegate
{
public:
    using Creator = std::function<QWidget *(QtProperty *, QWidget *)>;

    PropertyDelegate(const Creator &create, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_create(create)
    { }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        if (index.column() != 1)
            return nullptr;
        return m_create(static_cast<QtProperty *>(index.data(PropertyRole).value<void *>()), parent);
    }
    void setEditorData(QWidget *, const QModelIndex &) const override { }
    // An editor stays open while the user works on the canvas, and follows what happens there;
    // it commits on its own when it loses the focus. Another row, Return or Esc close it.
    bool eventFilter(QObject *editor, QEvent *event) override
    {
        return event->type() != QEvent::FocusOut && QStyledItemDelegate::eventFilter(editor, event);
    }
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override { }
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // Room for a spin box or a browse button.
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return QSize(size.width(), qMax(size.height() + 4, 24));
    }

private:
    Creator m_create;
};

} // namespace

QtTreePropertyBrowser::QtTreePropertyBrowser(QWidget *parent)
    : QWidget(parent)
    , m_tree(new QTreeWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    setFocusProxy(m_tree);

    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({QStringLiteral("属性"), QStringLiteral("值")});
    m_tree->setAlternatingRowColors(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->header()->setSectionsMovable(false);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setColumnWidth(0, 140);
    m_tree->setItemDelegate(new PropertyDelegate(
        [this](QtProperty *property, QWidget *parent) { return createEditor(property, parent); }, m_tree));

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *row) { startEditing(row); });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *row) { startEditing(row); });
}

QtTreePropertyBrowser::~QtTreePropertyBrowser()
{
    // The rows go with the tree; no signal of a manager may reach a half-destroyed browser.
    for (QtVariantPropertyManager *manager : qAsConst(m_watched))
        disconnect(manager, nullptr, this, nullptr);
}

void QtTreePropertyBrowser::setFactoryForManager(QtVariantPropertyManager *manager, QtVariantEditorFactory *factory)
{
    if (!manager)
        return;
    m_factories.insert(manager, factory);
    watch(manager);
}

void QtTreePropertyBrowser::watch(QtVariantPropertyManager *manager)
{
    if (m_watched.contains(manager))
        return;
    m_watched.insert(manager);
    connect(manager, &QtVariantPropertyManager::propertyInserted, this, &QtTreePropertyBrowser::propertyInserted);
    connect(manager, &QtVariantPropertyManager::propertyRemoved, this, &QtTreePropertyBrowser::propertyRemoved);
    connect(manager, &QtVariantPropertyManager::propertyDestroyed, this, &QtTreePropertyBrowser::propertyDestroyed);
    connect(manager, &QtVariantPropertyManager::propertyChanged, this, &QtTreePropertyBrowser::propertyChanged);
    connect(manager, &QObject::destroyed, this, [this, manager] {
        m_watched.remove(manager);
        m_factories.remove(manager);
    });
}

void QtTreePropertyBrowser::addProperty(QtProperty *property)
{
    if (!property || m_topLevel.contains(property))
        return;
    watch(property->propertyManager());
    m_topLevel << property;
    insertRow(property, nullptr, m_tree->topLevelItemCount());
}

void QtTreePropertyBrowser::removeProperty(QtProperty *property)
{
    const int index = m_topLevel.indexOf(property);
    if (index < 0)
        return;
    m_topLevel.removeAt(index);
    deleteRow(m_tree->topLevelItem(index));
}

void QtTreePropertyBrowser::clear()
{
    while (!m_topLevel.isEmpty())
        removeProperty(m_topLevel.last());
}

void QtTreePropertyBrowser::setPropertiesWithoutValueMarked(bool mark)
{
    if (mark == m_markWithoutValue)
        return;
    m_markWithoutValue = mark;
    for (auto it = m_properties.cbegin(); it != m_properties.cend(); ++it)
        updateRow(const_cast<QTreeWidgetItem *>(it.key()));
}

bool QtTreePropertyBrowser::rootIsDecorated() const
{
    return m_tree->rootIsDecorated();
}

void QtTreePropertyBrowser::setRootIsDecorated(bool show)
{
    m_tree->setRootIsDecorated(show);
}

void QtTreePropertyBrowser::editProperty(QtProperty *property)
{
    const QList<QTreeWidgetItem *> list = rows(property);
    if (list.isEmpty())
        return;
    QTreeWidgetItem *row = list.last(); // the first one made
    m_tree->scrollToItem(row);
    if (m_tree->currentItem() == row)
        startEditing(row);
    else
        m_tree->setCurrentItem(row);
}

QTreeWidgetItem *QtTreePropertyBrowser::insertRow(QtProperty *property, QTreeWidgetItem *parent, int index)
{
    auto *row = new QTreeWidgetItem;
    row->setData(1, PropertyRole, QVariant::fromValue(static_cast<void *>(property)));
    m_properties.insert(row, property);
    m_rows.insert(property, row);
    if (parent)
        parent->insertChild(index, row);
    else
        m_tree->insertTopLevelItem(index, row);
    updateRow(row);
    const QList<QtProperty *> children = property->subProperties();
    for (int i = 0; i < children.size(); ++i)
        insertRow(children.at(i), row, i);
    // Groups open, compound values (size, colour, font) closed.
    row->setExpanded(!property->hasValue());
    return row;
}

void QtTreePropertyBrowser::updateRow(QTreeWidgetItem *row)
{
    QtProperty *property = m_properties.value(row);
    QtVariantPropertyManager *manager = property->propertyManager();
    const bool hasValue = property->hasValue();
    const bool isBool = manager->propertyType(property) == QVariant::Bool;
    row->setText(0, property->propertyName());
    row->setToolTip(0, property->propertyName());
    // A row may show more than its value, or warn about it in red.
    const QString display = manager->attributeValue(property, QStringLiteral("display")).toString();
    const QString warning = manager->attributeValue(property, QStringLiteral("warning")).toString();
    row->setText(1, isBool ? QString() : display.isEmpty() ? property->valueText() : display);
    row->setToolTip(1, warning.isEmpty() ? property->valueText() : warning);
    row->setForeground(1, warning.isEmpty() ? QBrush() : QBrush(Qt::red));
    row->setIcon(1, manager->valueIcon(property));
    if (isBool) {
        // Neither checked nor not: the items disagree.
        const QVariant v = manager->value(property);
        row->setData(1, Qt::CheckStateRole,
            !v.isValid()     ? Qt::PartiallyChecked
                : v.toBool() ? Qt::Checked
                             : Qt::Unchecked);
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable;
    if (property->isEnabled())
        flags |= Qt::ItemIsEnabled;
    if (hasValue)
        flags |= Qt::ItemIsEditable;
    row->setFlags(flags);

    const bool marked = !hasValue && m_markWithoutValue;
    QFont font = m_tree->font();
    font.setBold(marked);
    for (int column = 0; column < 2; ++column) {
        row->setFont(column, font);
        row->setBackground(column, marked ? palette().brush(QPalette::Mid) : QBrush());
    }
}

void QtTreePropertyBrowser::forgetRow(QTreeWidgetItem *row)
{
    for (int i = 0; i < row->childCount(); ++i)
        forgetRow(row->child(i));
    m_rows.remove(m_properties.take(row), row);
}

void QtTreePropertyBrowser::deleteRow(QTreeWidgetItem *row)
{
    // Taking rows away moves the current row; that must not open editors on the way.
    const bool removing = m_removing;
    m_removing = true;
    forgetRow(row);
    delete row;
    m_removing = removing;
}

void QtTreePropertyBrowser::startEditing(QTreeWidgetItem *row)
{
    if (!m_removing && row && m_properties.contains(row) && (row->flags() & Qt::ItemIsEnabled)
        && (row->flags() & Qt::ItemIsEditable))
        m_tree->editItem(row, 1);
}

QWidget *QtTreePropertyBrowser::createEditor(QtProperty *property, QWidget *parent)
{
    if (!m_rows.contains(property) || !property->isEnabled())
        return nullptr;
    QtVariantPropertyManager *manager = property->propertyManager();
    QtVariantEditorFactory *factory = m_factories.value(manager);
    return factory ? factory->createEditor(manager, property, parent) : nullptr;
}

void QtTreePropertyBrowser::propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after)
{
    const QList<QTreeWidgetItem *> parents = rows(parent);
    for (QTreeWidgetItem *parentRow : parents) {
        int index = 0;
        for (int i = 0; i < parentRow->childCount(); ++i) {
            if (m_properties.value(parentRow->child(i)) == after)
                index = i + 1;
        }
        insertRow(property, parentRow, index);
    }
}

void QtTreePropertyBrowser::propertyRemoved(QtProperty *property, QtProperty *parent)
{
    const QList<QTreeWidgetItem *> list = rows(property);
    for (QTreeWidgetItem *row : list) {
        if (row->parent() && m_properties.value(row->parent()) == parent)
            deleteRow(row);
    }
}

void QtTreePropertyBrowser::propertyDestroyed(QtProperty *property)
{
    m_topLevel.removeAll(property);
    // A row may already have gone with an ancestor's row; take the list anew each time.
    while (m_rows.contains(property))
        deleteRow(m_rows.value(property));
}

void QtTreePropertyBrowser::propertyChanged(QtProperty *property)
{
    const QList<QTreeWidgetItem *> list = rows(property);
    for (QTreeWidgetItem *row : list)
        updateRow(row);
}
