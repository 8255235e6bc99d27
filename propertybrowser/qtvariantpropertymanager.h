#ifndef QTVARIANTPROPERTYMANAGER_H
#define QTVARIANTPROPERTYMANAGER_H

#include "qtvariantproperty.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QVariantHash>

// Creates, holds and deletes the properties of a browser, and every value and attribute.
// A property type is a QVariant type (String, Bool, Int, Double, Size, Color, Font) or one
// of the ids below. Size, Color and Font properties get sub-properties for their parts;
// editing a part changes the whole, and valueChanged comes for the whole only. The parts
// follow the whole's value without signals of their own.
//
// Attributes that limit values and editors, by type:
//   Int        minimum, maximum, singleStep
//   Double     minimum, maximum, singleStep, decimals
//   String     regExp (QRegularExpression, QRegExp or a pattern); browse (bool: a "..." button
//              that asks the factory's browser for a value)
//   any        display (a text shown instead of the value), warning (the value shown in red,
//              with this text as its tooltip)
//   Size       minimum, maximum (QSize)
//   enum       enumNames (QStringList); the value is an index, -1 for none
//   path       filter, directory (for the browse dialog); the value is a file path
//   popup      items (QStringList); the value is one of the texts
//   point list none; the value is a QPolygonF
// Other attribute names are kept as given and have no effect.
//
// A property may also hold no value (clearValue), as a row does whose items disagree: it
// shows empty, its parts too, and so do the editors that open on it.
class QtVariantPropertyManager : public QObject
{
    Q_OBJECT
public:
    explicit QtVariantPropertyManager(QObject *parent = nullptr);
    ~QtVariantPropertyManager() override;

    static int groupTypeId();
    static int enumTypeId();
    static int pathTypeId();
    static int pntTypeId();
    static int popupTypeId();

    bool isPropertyTypeSupported(int propertyType) const;
    // The QVariant type of values of a property type; 0 (invalid) for groups.
    static int valueType(int propertyType);

    // Null for an unsupported type.
    QtVariantProperty *addProperty(int propertyType, const QString &name = QString());
    // Deletes every property, telling the browsers first.
    void clear();
    QSet<QtProperty *> properties() const;

    QtVariantProperty *variantProperty(const QtProperty *property) const;
    int propertyType(const QtProperty *property) const;
    int valueType(const QtProperty *property) const;
    QVariant value(const QtProperty *property) const;
    QVariant attributeValue(const QtProperty *property, const QString &attribute) const;
    bool hasValue(const QtProperty *property) const;
    QString valueText(const QtProperty *property) const;
    QIcon valueIcon(const QtProperty *property) const;

public slots:
    // An invalid value, one that cannot be converted and a part of a whole without a value
    // are ignored; a value out of range is brought into it. Emits valueChanged only when the
    // stored value changes.
    void setValue(QtProperty *property, const QVariant &value);
    void setAttribute(QtProperty *property, const QString &attribute, const QVariant &value);
    // Leaves the property without a value. Not an edit: no valueChanged.
    void clearValue(QtProperty *property);

signals:
    void valueChanged(QtProperty *property, const QVariant &value);
    void attributeChanged(QtProperty *property, const QString &attribute, const QVariant &value);
    // For browsers and editors: anything shown changed (name, enabled, value, attribute).
    void propertyChanged(QtProperty *property);
    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    void propertyDestroyed(QtProperty *property);

private:
    friend class QtProperty;
    friend class QtVariantProperty;
    struct Data;

    void notifyChanged(QtProperty *property);
    void notifyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void notifyRemoved(QtProperty *property, QtProperty *parent);
    void forget(QtProperty *property);

    QVariant normalised(const Data &data, const QVariant &value) const;
    void store(QtProperty *property, const QVariant &value);
    void syncParts(QtProperty *owner);
    QVariant composed(const Data &owner, int part, const QVariant &partValue) const;

    QHash<const QtProperty *, Data *> m_data;
};

#endif
