#ifndef QTTREEPROPERTYBROWSER_H
#define QTTREEPROPERTYBROWSER_H

#include <QHash>
#include <QList>
#include <QSet>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class QtProperty;
class QtVariantEditorFactory;
class QtVariantPropertyManager;

// Shows properties as a two-column tree, name and value, with a row for each
// sub-property. Clicking a row opens its editor in the value column; the rows follow
// every change the managers report.
class QtTreePropertyBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit QtTreePropertyBrowser(QWidget *parent = nullptr);
    ~QtTreePropertyBrowser() override;

    // Properties of `manager` are edited with editors from `factory`; others only show.
    void setFactoryForManager(QtVariantPropertyManager *manager, QtVariantEditorFactory *factory);

    // Appends a top-level row for the property, with rows for its sub-properties.
    void addProperty(QtProperty *property);
    void removeProperty(QtProperty *property);
    QList<QtProperty *> properties() const { return m_topLevel; }
    void clear();

    // Rows without a value (groups) drawn shaded across both columns.
    bool propertiesWithoutValueMarked() const { return m_markWithoutValue; }
    void setPropertiesWithoutValueMarked(bool mark);
    bool rootIsDecorated() const;
    void setRootIsDecorated(bool show);

    QTreeWidget *treeWidget() const { return m_tree; }
    QList<QTreeWidgetItem *> rows(QtProperty *property) const { return m_rows.values(property); }
    QtProperty *property(const QTreeWidgetItem *row) const { return m_properties.value(row); }
    // Makes the property's first row current and opens its editor, as a click does.
    void editProperty(QtProperty *property);

private:
    void watch(QtVariantPropertyManager *manager);
    QTreeWidgetItem *insertRow(QtProperty *property, QTreeWidgetItem *parent, int index);
    void updateRow(QTreeWidgetItem *row);
    void deleteRow(QTreeWidgetItem *row);
    void forgetRow(QTreeWidgetItem *row);
    void startEditing(QTreeWidgetItem *row);
    QWidget *createEditor(QtProperty *property, QWidget *parent);

    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    void propertyDestroyed(QtProperty *property);
    void propertyChanged(QtProperty *property);

    QTreeWidget *m_tree;
    QHash<QtVariantPropertyManager *, QtVariantEditorFactory *> m_factories;
    QSet<QtVariantPropertyManager *> m_watched;
    QHash<const QTreeWidgetItem *, QtProperty *> m_properties;
    QMultiHash<QtProperty *, QTreeWidgetItem *> m_rows;
    QList<QtProperty *> m_topLevel;
    bool m_markWithoutValue = false;
    bool m_removing = false;
};

#endif
