#ifndef DLGPUSHGRAPHPROPERTY_H
#define DLGPUSHGRAPHPROPERTY_H

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// How the run-time client shows a pushed graph: modal or not, window size and how long it
// stays. Kept in DlgPushGraphProperty.ini in the project folder, which the client reads too.
class DlgPushGraphProperty : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPushGraphProperty(QWidget *parent);

private slots:
    // Saves the shown settings and accepts; a failed write says so and keeps the dialog open.
    void slotClicked();

private:
    void setupUi();
    void retranslateUi();
    void load();

    QString m_iniPath;

    QLabel *label;
    QLabel *label_2;
    QLabel *label_3;
    QComboBox *comboBox;
    QSpinBox *spinBoxWidth;
    QLabel *label_4;
    QSpinBox *spinBoxHeight;
    QSpinBox *spinBoxTime;
    QLabel *label_5;
    QPushButton *pushButtonOK;
    QPushButton *pushButtonCancel;
};

#endif
