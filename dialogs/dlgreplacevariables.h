#ifndef DLGREPLACEVARIABLES_H
#define DLGREPLACEVARIABLES_H

#include <QDialog>
#include <QList>
#include <QMap>
#include <QString>

class AbstractGraphicsUtility;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Rebinds the items' two point ids in bulk: each id's record gets a new device name, or a
// part of its variable name rewritten, and the item is bound to the record that carries
// the new names. The user confirms the renaming in a preview first.
class DlgReplaceVariables : public QDialog
{
    Q_OBJECT
public:
    DlgReplaceVariables(QList<AbstractGraphicsUtility *> items, QWidget *parent);

    // Fills the device names and starts in device-name mode; call before exec().
    void initData();

public slots:
    void slotToggled(bool checked);
    void slotStateChanged(int state);
    void slotCurrentTextChanged(QString text);
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
    void setupUi();
    void retranslateUi();

    QList<AbstractGraphicsUtility *> m_items;
    QMap<QString, QString> m_deviceNames;

    QGroupBox *groupBox;
    QCheckBox *checkBox;
    QComboBox *comboBox;
    QLineEdit *lineEditFrom;
    QLabel *label_2;
    QLineEdit *lineEditTo;
    QGroupBox *groupBox_2;
    QRadioButton *radioButtonDevice;
    QRadioButton *radioButtonChar;
    QPushButton *pushButtonReplace;
    QPushButton *pushButtonCancel;
};

#endif
