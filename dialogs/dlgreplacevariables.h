#ifndef DLGREPLACEVARIABLES_H
#define DLGREPLACEVARIABLES_H

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>

class AbstractGraphicsUtility;

namespace Ui {
class DlgReplaceVariables;
}

// Rebinds the items' two point ids in bulk: each id's record gets a new device name, or a
// part of its variable name rewritten, and the item is bound to the record that carries
// the new names. The user confirms the renaming in a preview first.
class DlgReplaceVariables : public QDialog
{
    Q_OBJECT
public:
    DlgReplaceVariables(QList<AbstractGraphicsUtility *> items, QWidget *parent);
    ~DlgReplaceVariables() override;

    // Fills the device names and starts in device-name mode; call before exec().
    void initData();

public slots:
    void slotToggled(bool checked);
    void slotStateChanged(int state);
    void slotCurrentTextChanged(const QString &text);
    void slotReplaceClicked();

private:
    // What one id becomes; `id` is the record found for the new names.
    struct Rebinding
    {
        QString oldName;
        QString newName;
        QString newDevice;
        QString newVariable;
        QString id;
    };
    bool rebind(QString id, const QHash<QStringList, QString> &byNames, Rebinding *result) const;

    QList<AbstractGraphicsUtility *> m_items;
    QMap<QString, QString> m_deviceNames;

    std::unique_ptr<Ui::DlgReplaceVariables> ui;
};

#endif
