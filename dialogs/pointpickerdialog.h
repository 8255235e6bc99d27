#ifndef POINTPICKERDIALOG_H
#define POINTPICKERDIALOG_H

#include <QDialog>

class PointFilterProxy;
class PointTableModel;
class QLabel;
class QLineEdit;
class QTableView;

// "选择点号": the data link's point records with a filter box; the current binding comes
// preselected, Enter or a double-click binds the chosen record, Esc leaves everything as it
// was. Without records it says in one line why.
class PointPickerDialog : public QDialog
{
    Q_OBJECT
public:
    PointPickerDialog(const QString &current, QWidget *parent = nullptr);

    // The id of the chosen record; empty when none is chosen.
    QString selectedId() const;

    QLineEdit *filter() const { return m_filter; }
    QTableView *table() const { return m_table; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void filterChanged(const QString &text);
    void showCount();

    PointTableModel *m_model;
    PointFilterProxy *m_proxy;
    QLineEdit *m_filter;
    QTableView *m_table;
    QLabel *m_status;
};

#endif
