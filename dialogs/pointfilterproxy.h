#ifndef POINTFILTERPROXY_H
#define POINTFILTERPROXY_H

#include <QSortFilterProxyModel>
#include <QStringList>

class PointTableModel;

// Filters the point table as the engineer types, ignoring case: a row stays when the text
// lies within one of its columns, or when every word of it lies in some column ("1#出线 Ia"
// finds device 1#出线's variable Ia). Sorting compares the texts themselves.
class PointFilterProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit PointFilterProxy(PointTableModel *source, QObject *parent = nullptr);

    void setText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    PointTableModel *m_source;
    QString m_whole;
    QStringList m_words;
};

#endif
