#include "pointlist.h"

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
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        if (r == 0 && isHeader(row))
            continue;
        QString reason;
        if (row.unclosed)
            reason = QStringLiteral("引号未闭合");
        else if (row.fields.size() != 4)
            reason = QStringLiteral("有 %1 个字段, 应为 4 个(点号,变量名,限定名,设备名)").arg(row.fields.size());
        else if (row.fields.first().isEmpty())
            reason = QStringLiteral("点号为空");
        else if (row.fields.join(QString()).contains(QChar(0)))
            reason = QStringLiteral("含有空字符");
        if (!reason.isEmpty()) {
            refused << QStringLiteral("第 %1 行: %2").arg(row.line).arg(reason);
            continue;
        }
        records << CIdInfo{row.fields.at(0), row.fields.at(1), row.fields.at(2), row.fields.at(3)};
    }
}
