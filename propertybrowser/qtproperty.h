#ifndef QTPROPERTY_H
#define QTPROPERTY_H

#include <QList>
#include <QMetaType>
#include <QString>

class QtVariantPropertyManager;

// One row of a property browser: a name, an enabled flag and sub-properties. The value
// lives in the manager that created the property; only that manager creates and deletes
// properties, and it tells the browsers about every change made here.
class QtProperty
{
public:
    virtual ~QtProperty();

    QtVariantPropertyManager *propertyManager() const { return m_manager; }

    QString propertyName() const { return m_name; }
    void setPropertyName(const QString &name);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    QList<QtProperty *> subProperties() const { return m_children; }
    // Appends `property`; a property already below this one, this one itself or one of
    // its ancestors is refused.
    void addSubProperty(QtProperty *property);
    // Inserts after `after` (at the front when null or not a sub-property).
    void insertSubProperty(QtProperty *property, QtProperty *after);
    void removeSubProperty(QtProperty *property);

    bool hasValue() const;
    QString valueText() const;

protected:
    explicit QtProperty(QtVariantPropertyManager *manager);

private:
    bool isAncestorOrSelf(const QtProperty *property) const;

    QtVariantPropertyManager *m_manager;
    QString m_name;
    bool m_enabled = true;
    QList<QtProperty *> m_children;
    QList<QtProperty *> m_parents;
};

// Lets the property travel in queued connections and signal spies.
Q_DECLARE_METATYPE(QtProperty *)

#endif
