#include "pointfilterproxy.h"

#include "pointtablemodel.h"

#include <QRegularExpression>

PointFilterProxy::PointFilterProxy(PointTableModel *source, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_source(source)
{
    setSourceModel(source);
}

void PointFilterProxy::setText(const QString &text)
{
    const QString whole = text.simplified().toCaseFolded();
    if (whole == m_whole)
        return;
    m_whole = whole;
    static const QRegularExpression space(QStringLiteral("\\s+"));
    m_words = whole.split(space, Qt::SkipEmptyParts);
    // Filtered anew in one pass: telling the view of every range of rows that came or went
    // costs far more than the filtering itself when a keystroke takes scattered thousands.
    invalidate();
}

bool PointFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_whole.isEmpty())
        return true;
    const QString &text = m_source->searchText(sourceRow);
    if (text.contains(m_whole))
        return true;
    if (m_words.size() < 2)
        return false;
    for (const QString &word : m_words) {
        if (!text.contains(word))
            return false;
    }
    return true;
}

bool PointFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int column = left.column();
    return PointTableModel::field(m_source->record(left.row()), column)
               .compare(PointTableModel::field(m_source->record(right.row()), column), Qt::CaseInsensitive)
        < 0;
}
