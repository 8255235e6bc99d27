#ifndef QTVARIANTEDITORFACTORY_H
#define QTVARIANTEDITORFACTORY_H

#include <QHash>
#include <QObject>
#include <QSet>
#include <QVariant>
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

    // What the "..." button of a text with the attribute browse asks: a value chosen in a
    // dialog parented to `window`, invalid when the user cancelled.
    using Browser = std::function<QVariant(QWidget *window, QtProperty *property, const QVariant &current)>;
    void setBrowser(const Browser &browser) { m_browser = browser; }

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
    Browser m_browser;
};

#endif
