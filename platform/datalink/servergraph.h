#ifndef SERVERGRAPH_H
#define SERVERGRAPH_H

#include <QByteArray>
#include <QString>

// One graph (or template) as the server keeps it. Every upload makes a new revision.
struct ServerGraph
{
    qint64 id = 0; // 0 until the server has stored it
    QString name;
    int kind = 0; // a DocumentKind::Type
    int revision = 0;
    qint64 modified = 0; // milliseconds since the epoch, UTC
    qint64 size = 0; // bytes of the graph
    QByteArray graph;
    QString svg;
};

#endif
