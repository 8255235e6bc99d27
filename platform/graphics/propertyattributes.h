#ifndef PROPERTYATTRIBUTES_H
#define PROPERTYATTRIBUTES_H

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantHash>

// The attributes a Property offers its editor, written the one way every item writes them.
// Values keep the type they are given: an integer range stays integer for the spin box.
namespace PropertyAttributes {

inline const QString Minimum = QStringLiteral("minimum");
inline const QString Maximum = QStringLiteral("maximum");
inline const QString Decimals = QStringLiteral("decimals");
inline const QString SingleStep = QStringLiteral("singleStep");
inline const QString EnumNames = QStringLiteral("enumNames");
inline const QString Items = QStringLiteral("items");
inline const QString Filter = QStringLiteral("filter");
inline const QString Directory = QStringLiteral("directory");

// A number between the limits; decimals below zero and an invalid step leave the editor's own.
inline QVariantHash range(
    const QVariant &minimum, const QVariant &maximum, int decimals = -1, const QVariant &singleStep = QVariant())
{
    QVariantHash h{{Minimum, minimum}, {Maximum, maximum}};
    if (decimals >= 0)
        h.insert(Decimals, decimals);
    if (singleStep.isValid())
        h.insert(SingleStep, singleStep);
    return h;
}

// The texts of an enumeration, its values counting from zero.
inline QVariantHash enumNames(const QStringList &names)
{
    return {{EnumNames, names}};
}

// The texts offered by a popup property.
inline QVariantHash items(const QStringList &texts)
{
    return {{Items, texts}};
}

// A file of the filter, chosen in the directory.
inline QVariantHash file(const QString &filter, const QString &directory)
{
    return {{Filter, filter}, {Directory, directory}};
}

} // namespace PropertyAttributes

#endif
