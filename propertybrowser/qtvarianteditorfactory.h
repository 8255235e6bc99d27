#ifndef QTVARIANTEDITORFACTORY_H
#define QTVARIANTEDITORFACTORY_H

#include <QHash>
#include <QObject>
#include <QSet>
#include <functional>

class QtProperty;
class QtVariantPropertyManager;
class QWidget;

// Makes the in-place editors of a browser. An editor writes every change straight into
// the manager and follows the property while it is open; once the property is deleted it
// writes nothing more.
class QtVariantEditorFactory : public QObject
{
    Q_OBJECT
public:
    explicit QtVariantEditorFactory(QObject *parent = nullptr);
    ~QtVariantEditorFactory() override;

    // Null where there is nothing to edit in place: groups, and sizes, which are edited
    // through their parts.
    QWidget *createEditor(QtVariantPropertyManager *manager, QtProperty *property, QWidget *parent);

private:
    struct Binding
    {
        QtVariantPropertyManager *manager;
        QtProperty *property;
        std::function<void()> refresh;
    };

    void commit(QWidget *editor, const QVariant &value);
    void refresh(QtProperty *property);
    void forget(QtProperty *property);

    QHash<QWidget *, Binding> m_bindings;
    QSet<QtVariantPropertyManager *> m_managers;
};

#endif
