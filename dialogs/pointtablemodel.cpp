#include "pointtablemodel.h"

#include "cdatalink.h"

namespace {
const QChar Separator(0x1f);
}

PointTableModel::PointTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    connect(CDataLink::GetDataLink(), &CDataLink::pointsChanged, this, &PointTableModel::reload);
    reload();
}

void PointTableModel::reload()
{
    beginResetModel();
    m_records = CDataLink::GetDataLink()->idList;
    // Made here rather than at the first keystroke, which has less time to spare than opening.
    m_search.resize(m_records.size());
    for (int i = 0; i < m_records.size(); ++i) {
        const CIdInfo &r = m_records.at(i);
        m_search[i] = (r.id + Separator + r.name + Separator + r.qualifier + Separator + r.deviceName).toCaseFolded();
    }
    endResetModel();
}

int PointTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_records.size();
}

int PointTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const QString &PointTableModel::field(const CIdInfo &record, int column)
{
    switch (column) {
    case Name: return record.name;
    case Qualifier: return record.qualifier;
    case Device: return record.deviceName;
    default: break;
    }
    return record.id;
}

QVariant PointTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return field(m_records.at(index.row()), index.column());
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles{
        QStringLiteral("点号"), QStringLiteral("变量名"), QStringLiteral("限定名"), QStringLiteral("设备名")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return titles.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

const QString &PointTableModel::searchText(int row) const
{
    return m_search.at(row);
}

int PointTableModel::rowOf(const QString &id) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).id == id)
            return i;
    }
    return -1;
}
