#include "qtvarianteditorfactory.h"
#include "filechooser.h"

#include "pointlistdialog.h"
#include "qtvariantpropertymanager.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QToolButton>
#include <vector>

namespace {

using Commit = std::function<void(QWidget *editor, const QVariant &value)>;

struct Editor
{
    QWidget *widget;
    std::function<void()> refresh;
};

struct Context
{
    QtVariantPropertyManager *manager;
    QtProperty *property;
    QWidget *parent;
    Commit commit;

    QVariant value() const { return manager->value(property); }
    QVariant attribute(const char *name) const { return manager->attributeValue(property, QString::fromUtf8(name)); }
};

// A field followed by a "..." button; the button runs `browse` with the window to parent
// a dialog to (not the editor, which the browser may delete while the dialog runs).
QWidget *withButton(QWidget *parent, QWidget *field, const std::function<void(QWidget *window)> &browse)
{
    auto *box = new QWidget(parent);
    box->setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    field->setParent(box);
    layout->addWidget(field, 1);
    auto *button = new QToolButton(box);
    button->setText(QStringLiteral("..."));
    layout->addWidget(button);
    QObject::connect(button, &QToolButton::clicked, box, [box, browse] { browse(box->window()); });
    box->setFocusProxy(field->focusPolicy() == Qt::NoFocus ? static_cast<QWidget *>(button) : field);
    return box;
}

// Spin boxes that show nothing while their property has no value; their number is then a
// stand-in, so a typed number equal to it changes nothing in the box and is committed when
// typing ends.
template<class Base, typename Value> class EmptyBox : public Base
{
public:
    using Base::Base;
    bool empty = false;

protected:
    QString textFromValue(Value v) const override { return empty ? QString() : Base::textFromValue(v); }
};
using IntBox = EmptyBox<QSpinBox, int>;
using DoubleBox = EmptyBox<QDoubleSpinBox, double>;

template<class Box, typename Value> Editor spinEditor(const Context &c, const std::function<void(Box *)> &limit)
{
    auto *box = new Box(c.parent);
    box->setKeyboardTracking(false);
    QObject::connect(
        box, QOverload<Value>::of(&Box::valueChanged), box, [commit = c.commit, box](Value v) { commit(box, v); });
    QObject::connect(box, &QAbstractSpinBox::editingFinished, box, [commit = c.commit, box] {
        if (box->empty && box->hasAcceptableInput())
            commit(box, box->value());
    });
    return {box, [c, box, limit] {
                limit(box);
                box->empty = !c.value().isValid();
                box->setValue(c.value().value<Value>());
            }};
}

Editor intEditor(const Context &c)
{
    return spinEditor<IntBox, int>(c, [c](IntBox *box) {
        box->setRange(c.attribute("minimum").toInt(), c.attribute("maximum").toInt());
        box->setSingleStep(c.attribute("singleStep").toInt());
    });
}

Editor doubleEditor(const Context &c)
{
    return spinEditor<DoubleBox, double>(c, [c](DoubleBox *box) {
        box->setDecimals(c.attribute("decimals").toInt());
        box->setRange(c.attribute("minimum").toDouble(), c.attribute("maximum").toDouble());
        box->setSingleStep(c.attribute("singleStep").toDouble());
    });
}

Editor boolEditor(const Context &c)
{
    auto *box = new QCheckBox(c.parent);
    box->setAutoFillBackground(true);
    // Without a value the box starts half checked; a click leaves that state for good.
    QObject::connect(box, &QCheckBox::stateChanged, box, [commit = c.commit, box](int state) {
        if (state != Qt::PartiallyChecked)
            commit(box, state == Qt::Checked);
    });
    return {box, [c, box] {
                const QVariant v = c.value();
                box->setTristate(!v.isValid());
                box->setCheckState(!v.isValid() ? Qt::PartiallyChecked : v.toBool() ? Qt::Checked : Qt::Unchecked);
            }};
}

Editor stringEditor(const Context &c, const QtVariantEditorFactory::Browser &browser)
{
    auto *edit = new QLineEdit(c.parent);
    QWidget *widget = edit;
    if (browser && c.attribute("browse").toBool()) {
        widget = withButton(c.parent, edit, [c, edit, browser](QWidget *window) {
            const QPointer<QLineEdit> alive(edit);
            const QVariant chosen = browser(window, c.property, c.value());
            if (chosen.isValid() && alive)
                c.commit(alive->parentWidget(), chosen);
        });
    }
    QObject::connect(
        edit, &QLineEdit::editingFinished, widget, [commit = c.commit, widget, edit] { commit(widget, edit->text()); });
    return {widget, [c, edit] {
                const QRegularExpression re = c.attribute("regExp").toRegularExpression();
                delete edit->validator();
                if (!re.pattern().isEmpty())
                    edit->setValidator(new QRegularExpressionValidator(re, edit));
                edit->setText(c.value().toString());
                const QString warning = c.attribute("warning").toString();
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Text,
                    warning.isEmpty() ? QApplication::palette(edit).color(QPalette::Text) : QColor(Qt::red));
                edit->setPalette(palette);
                edit->setToolTip(warning);
            }};
}

// Enumerations keep an index, popups the chosen text; a popup value that is not among
// the items stays shown as the first entry.
Editor comboEditor(const Context &c, bool byText)
{
    auto *box = new QComboBox(c.parent);
    QObject::connect(box, QOverload<int>::of(&QComboBox::activated), box,
        [commit = c.commit, box, byText](int i) { commit(box, byText ? QVariant(box->itemText(i)) : QVariant(i)); });
    return {box, [c, box, byText] {
                box->clear();
                QStringList names = c.attribute(byText ? "items" : "enumNames").toStringList();
                const QString text = c.value().toString();
                if (byText && !text.isEmpty() && !names.contains(text))
                    names.prepend(text);
                box->addItems(names);
                const QVariant v = c.value();
                box->setCurrentIndex(!v.isValid() ? -1 : byText ? names.indexOf(text) : v.toInt());
            }};
}

Editor pathEditor(const Context &c)
{
    auto *edit = new QLineEdit;
    QWidget *box = withButton(c.parent, edit, [c, edit](QWidget *window) {
        const QString current = c.value().toString();
        const QString start = current.isEmpty() ? c.attribute("directory").toString() : current;
        const QString file
            = FileChooser::openFileName(window, QStringLiteral("选择文件"), start, c.attribute("filter").toString());
        if (!file.isEmpty())
            c.commit(edit->parentWidget(), file);
    });
    QObject::connect(
        edit, &QLineEdit::editingFinished, box, [commit = c.commit, box, edit] { commit(box, edit->text()); });
    return {box, [c, edit] { edit->setText(c.value().toString()); }};
}

// Colours, fonts and point lists show their value as text and are changed in a dialog.
Editor dialogEditor(const Context &c, const std::function<QVariant(QWidget *window, const QVariant &current)> &ask)
{
    auto *icon = new QLabel;
    auto *text = new QLabel;
    auto *field = new QWidget;
    auto *layout = new QHBoxLayout(field);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->addWidget(icon);
    layout->addWidget(text, 1);
    QWidget *box = withButton(c.parent, field, [c, field, ask](QWidget *window) {
        const QVariant chosen = ask(window, c.value());
        if (chosen.isValid())
            c.commit(field->parentWidget(), chosen);
    });
    return {box, [c, icon, text] {
                const QIcon swatch = c.manager->valueIcon(c.property);
                icon->setPixmap(swatch.isNull() ? QPixmap() : swatch.pixmap(16, 16));
                icon->setVisible(!swatch.isNull());
                text->setText(c.manager->valueText(c.property));
            }};
}

Editor colourEditor(const Context &c)
{
    return dialogEditor(c, [](QWidget *window, const QVariant &current) {
        const QColor chosen = QColorDialog::getColor(
            current.value<QColor>(), window, QStringLiteral("选择颜色"), QColorDialog::ShowAlphaChannel);
        return chosen.isValid() ? QVariant(chosen) : QVariant();
    });
}

Editor fontEditor(const Context &c)
{
    return dialogEditor(c, [](QWidget *window, const QVariant &current) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current.value<QFont>(), window, QStringLiteral("选择字体"));
        return ok ? QVariant(chosen) : QVariant();
    });
}

Editor pointEditor(const Context &c)
{
    return dialogEditor(c, [](QWidget *window, const QVariant &current) {
        PointListDialog dialog(current.value<QPolygonF>(), window);
        return dialog.exec() == QDialog::Accepted ? QVariant::fromValue(dialog.points()) : QVariant();
    });
}

} // namespace

QtVariantEditorFactory::QtVariantEditorFactory(QObject *parent)
    : QObject(parent)
{ }

QtVariantEditorFactory::~QtVariantEditorFactory() = default;

QWidget *QtVariantEditorFactory::createEditor(QtVariantPropertyManager *manager, QtProperty *property, QWidget *parent)
{
    if (!manager || !manager->variantProperty(property))
        return nullptr;
    const Context c{manager, property, parent, [this](QWidget *editor, const QVariant &v) { commit(editor, v); }};
    const int type = manager->propertyType(property);
    Editor editor{nullptr, {}};
    switch (type) {
    case QVariant::Int: editor = intEditor(c); break;
    case QVariant::Double: editor = doubleEditor(c); break;
    case QVariant::Bool: editor = boolEditor(c); break;
    case QVariant::String: editor = stringEditor(c, m_browser); break;
    case QVariant::Color: editor = colourEditor(c); break;
    case QVariant::Font: editor = fontEditor(c); break;
    default:
        if (type == QtVariantPropertyManager::enumTypeId() || type == QtVariantPropertyManager::popupTypeId())
            editor = comboEditor(c, type == QtVariantPropertyManager::popupTypeId());
        else if (type == QtVariantPropertyManager::pathTypeId())
            editor = pathEditor(c);
        else if (type == QtVariantPropertyManager::pntTypeId())
            editor = pointEditor(c);
        break;
    }
    if (!editor.widget)
        return nullptr;

    if (!m_managers.contains(manager)) {
        m_managers.insert(manager);
        connect(manager, &QtVariantPropertyManager::propertyChanged, this, &QtVariantEditorFactory::refresh);
        connect(manager, &QtVariantPropertyManager::propertyDestroyed, this, &QtVariantEditorFactory::forget);
        connect(manager, &QObject::destroyed, this, [this, manager] { m_managers.remove(manager); });
    }
    QWidget *widget = editor.widget;
    m_bindings.insert(widget, {manager, property, editor.refresh});
    connect(widget, &QObject::destroyed, this, [this, widget] { m_bindings.remove(widget); });
    refresh(property);
    return widget;
}

void QtVariantEditorFactory::commit(QWidget *editor, const QVariant &value)
{
    const auto it = m_bindings.constFind(editor);
    if (it != m_bindings.constEnd())
        it->manager->setValue(it->property, value);
}

void QtVariantEditorFactory::refresh(QtProperty *property)
{
    for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
        if (it.value().property != property)
            continue;
        // Showing a value is not editing it: no signal of the editor may write it back.
        std::vector<QSignalBlocker> blockers;
        blockers.emplace_back(it.key());
        for (QWidget *child : it.key()->findChildren<QWidget *>())
            blockers.emplace_back(child);
        it.value().refresh();
    }
}

void QtVariantEditorFactory::forget(QtProperty *property)
{
    for (auto it = m_bindings.begin(); it != m_bindings.end();) {
        if (it.value().property == property)
            it = m_bindings.erase(it);
        else
            ++it;
    }
}
