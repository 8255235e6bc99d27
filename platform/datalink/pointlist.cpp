#include "pointlist.h"

#include <QHash>
#include <QTextCodec>

namespace {

QString decode(const QByteArray &bytes)
{
    // Spreadsheets on Chinese desktops often save in the local code page rather than UTF-8.
    QTextCodec::ConverterState state;
    QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0)
        text = QTextCodec::codecForName("GB18030")->toUnicode(bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    return text;
}

struct Row
{
    int line = 1; // where the row starts
    QStringList fields;
    bool unclosed = false;
};

QList<Row> splitRows(const QString &text)
{
    QList<Row> rows;
    Row row;
    QString field;
    bool started = false; // the current field has begun
    bool quoted = false;
    bool content = false; // the current row holds anything at all
    int line = 1;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                line += c == QLatin1Char('\n');
                field += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"') && !started) {
            quoted = started = content = true;
        } else if (c == QLatin1Char(',')) {
            row.fields << field;
            field.clear();
            started = false;
            content = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (content) {
                row.fields << field;
                rows << row;
            }
            row = Row();
            row.line = ++line;
            field.clear();
            started = content = false;
        } else {
            field += c;
            started = content = true;
        }
    }
    if (content) {
        row.fields << field;
        row.unclosed = quoted;
        rows << row;
    }
    return rows;
}

bool isHeader(const Row &row)
{
    const QString first = row.fields.first().trimmed().toLower();
    return first == QLatin1String("id") || first == QStringLiteral("点号");
}

} // namespace

PointList::PointList(const QByteArray &bytes)
{
    const QList<Row> rows = splitRows(decode(bytes));
    QHash<QString, QPair<int, int>> taken; // id: index in records, line
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        if (r == 0 && isHeader(row))
            continue;
        QString reason;
        if (row.unclosed)
            reason = QStringLiteral("引号未闭合");
        else if (row.fields.size() != 4)
            reason = QStringLiteral("有 %1 个字段, 应为 4 个(点号,变量名,限定名,设备名)").arg(row.fields.size());
        else if (row.fields.first().trimmed().isEmpty())
            reason = QStringLiteral("点号为空");
        else if (row.fields.join(QString()).contains(QChar(0)))
            reason = QStringLiteral("含有空字符");
        if (!reason.isEmpty()) {
            refused << QStringLiteral("第 %1 行: %2").arg(row.line).arg(reason);
            continue;
        }
        const CIdInfo record{row.fields.at(0).trimmed(), row.fields.at(1), row.fields.at(2), row.fields.at(3)};
        const auto before = taken.constFind(record.id);
        if (before != taken.constEnd()) {
            ++duplicates;
            remarks << QStringLiteral("第 %1 行: 点号 %2 重复, 取代第 %3 行")
                           .arg(row.line)
                           .arg(record.id)
                           .arg(before->second);
            records[before->first] = record;
            taken[record.id].second = row.line;
        } else {
            taken.insert(record.id, qMakePair(records.size(), row.line));
            records << record;
        }
        // Imported all the same: the names are the automation system's, only rebinding by name
        // would go wrong, and the engineer learns which ones to fix at the source.
        if (CIdInfo::isCutName(record.name) || CIdInfo::isCutName(record.deviceName)) {
            ++cutNames;
            remarks << QStringLiteral("第 %1 行: 点号 %2 的名称以“-”开头或结尾, 变量替换不会用到它")
                           .arg(row.line)
                           .arg(record.id);
        }
    }
}

QString PointList::summary(int added) const
{
    QString text = QStringLiteral("取用 %1 行(新增 %2 条, 更新 %3 条), 拒绝 %4 行。")
                       .arg(records.size() + duplicates)
                       .arg(added)
                       .arg(records.size() - added)
                       .arg(refused.size());
    if (duplicates > 0)
        text += QStringLiteral("点号重复 %1 行, 保留最后一行。").arg(duplicates);
    if (cutNames > 0)
        text += QStringLiteral("名称不合规 %1 条, 已导入并标出。").arg(cutNames);
    return text;
}
