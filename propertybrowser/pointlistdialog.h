#ifndef POINTLISTDIALOG_H
#define POINTLISTDIALOG_H

#include <QDialog>
#include <QPolygonF>

class QTableWidget;

// Edits a list of points as a table of X and Y, with rows to add and remove.
class PointListDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PointListDialog(const QPolygonF &points, QWidget *parent = nullptr);

    QPolygonF points() const;
    QTableWidget *table() const { return m_table; }

private:
    void appendRow(const QPointF &point);

    QTableWidget *m_table;
};

#endif
