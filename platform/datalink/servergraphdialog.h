#ifndef SERVERGRAPHDIALOG_H
#define SERVERGRAPHDIALOG_H

#include "servergraph.h"

#include <QDialog>
#include <QList>

class QLineEdit;
class QPushButton;
class QTreeWidget;

// The modal list of the server's graphs (name, revision, time of the last upload, size),
// newest first and sortable by each column, narrowed by a filter on the name. Enter or a double click opens the chosen graph.
class ServerGraphDialog : public QDialog
{
    Q_OBJECT
public:
    ServerGraphDialog(const QList<ServerGraph> &graphs, QWidget *parent = nullptr);

    // The chosen graph's server id, 0 when none is chosen.
    qint64 selectedId() const;

private:
    void applyFilter(const QString &text);

    QLineEdit *m_filter;
    QTreeWidget *m_list;
    QPushButton *m_open;
};

#endif
