#ifndef DLGPUSHGRAPHPROPERTY_H
#define DLGPUSHGRAPHPROPERTY_H

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class DlgPushGraphProperty;
}

// How the run-time client shows a pushed graph: modal or not, window size and how long it
// stays. Kept in DlgPushGraphProperty.ini in the project folder, which the client reads too.
class DlgPushGraphProperty : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPushGraphProperty(QWidget *parent);
    ~DlgPushGraphProperty() override;

private slots:
    // Saves the shown settings and accepts; a failed write says so and keeps the dialog open.
    void slotClicked();

private:
    void load();

    QString m_iniPath;
    std::unique_ptr<Ui::DlgPushGraphProperty> ui;
};

#endif
