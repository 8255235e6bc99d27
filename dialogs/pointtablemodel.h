#ifndef POINTTABLEMODEL_H
#define POINTTABLEMODEL_H

#include "cidinfo.h"

#include <QAbstractTableModel>
#include <QList>
#include <QVector>

// The data link's point records as a table (点号, 变量名, 限定名, 设备名), following them as
// they change. It shares the link's list instead of copying it.
class PointTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        Id,
        Name,
        Qualifier,
        Device,
        ColumnCount
    };

    explicit PointTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const CIdInfo &record(int row) const { return m_records.at(row); }
    static const QString &field(const CIdInfo &record, int column);
    // The row's four texts case-folded and joined by a character nobody types, so that one
    // search per typed word covers every column without crossing from one into the next.
    const QString &searchText(int row) const;
    int rowOf(const QString &id) const;

private:
    void reload();

    QList<CIdInfo> m_records;
    QVector<QString> m_search;
};

#endif
