// Point binding with 1 000, 10 000 and 100 000 point records: opening the picker "选择点号" and
// filtering it keystroke by keystroke, the binding check of a graph with as many bound items,
// and the lookup that every shown id costs. Each against plain Qt in the same run: a
// QSortFilterProxyModel over a QStandardItemModel of the same rows in a QTableView, and a plain
// QHash lookup loop over the same ids. Medians of several rounds; the growth per x10 follows.
#include "benchsupport.h"
#include "cdatalink.h"
#include "dialogs/pointcheckdock.h"
#include "dialogs/pointpickerdialog.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "pointbinding.h"
#include "scene/pointcheck.h"
#include "scene/scene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

namespace {

const int Sizes[] = {1000, 10000, 100000};
// What an engineer types to find device 12#出线's current Ia, one keystroke after the other.
const QString Typed = QStringLiteral("12#出线 ia");

QList<CIdInfo> records(int count)
{
    static const char *const variables[] = {"Ia", "Ib", "Ic", "Ua", "Ub", "Uc", "P", "Q"};
    QList<CIdInfo> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        list.append({QString::number(100000 + i), QLatin1String(variables[i % 8]),
            QStringLiteral("%1相").arg(QChar('A' + i % 3)), QStringLiteral("%1#出线").arg(i / 8)});
    }
    return list;
}

double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

qint64 timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed();
}

// The figures of one measurement for every size, ours and the baseline, in ms.
std::map<QString, std::map<int, std::pair<double, double>>> s_figures;

void note(const char *what, int count, double ours, double baseline)
{
    s_figures[QLatin1String(what)][count] = {ours, baseline};
    qInfo("%s, %d records: %.2f ms, baseline %.2f ms, ratio %.2f", what, count, ours, baseline, ours / baseline);
}

// The plain-Qt picker: a standard model of the same rows behind a standard proxy in a table.
struct PlainPicker
{
    explicit PlainPicker(const QList<CIdInfo> &rows)
        : model(rows.size(), 4)
    {
        for (int r = 0; r < rows.size(); ++r) {
            const CIdInfo &p = rows.at(r);
            const QString texts[] = {p.id, p.name, p.qualifier, p.deviceName};
            for (int c = 0; c < 4; ++c)
                model.setItem(r, c, new QStandardItem(texts[c]));
        }
        proxy.setSourceModel(&model);
        proxy.setFilterKeyColumn(-1);
        proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        table.setModel(&proxy);
        table.resize(640, 400);
    }
    QStandardItemModel model;
    QSortFilterProxyModel proxy;
    QTableView table;
};

} // namespace

class BenchPoints : public QObject
{
    Q_OBJECT
private slots:
    void picker_data()
    {
        QTest::addColumn<int>("count");
        for (int count : Sizes)
            QTest::addRow("%d records", count) << count;
    }

    // Opening: construction, showing and the first paint. Filtering: one keystroke of Typed
    // after the other, the proxy's rows and the repaint; the median keystroke and the slowest.
    void picker()
    {
        QFETCH(int, count);
        const QList<CIdInfo> rows = records(count);
        CDataLink::GetDataLink()->setPoints(rows);
        const QString current = rows.at(count / 2).id;
        const int rounds = count >= 100000 ? 5 : 11;
        std::vector<qint64> opens, plainOpens, keys, plainKeys;
        qint64 slowest = 0, plainSlowest = 0;
        for (int round = 0; round < rounds; ++round) {
            PointPickerDialog *picker = nullptr;
            opens.push_back(timed([&] {
                picker = new PointPickerDialog(current);
                picker->show();
                QApplication::processEvents();
            }));
            PlainPicker *plain = nullptr;
            plainOpens.push_back(timed([&] {
                plain = new PlainPicker(rows);
                plain->table.show();
                QApplication::processEvents();
            }));
            for (int i = 1; i <= Typed.size(); ++i) {
                keys.push_back(timed([&] {
                    picker->filter()->setText(Typed.left(i));
                    QApplication::processEvents();
                }));
                slowest = std::max(slowest, keys.back());
                plainKeys.push_back(timed([&] {
                    plain->proxy.setFilterFixedString(Typed.left(i));
                    plain->proxy.rowCount();
                    QApplication::processEvents();
                }));
                plainSlowest = std::max(plainSlowest, plainKeys.back());
            }
            QVERIFY(picker->table()->model()->rowCount() >= 1);
            delete picker;
            delete plain;
        }
        note("picker open", count, medianMs(opens), medianMs(plainOpens));
        note("filter keystroke (median)", count, medianMs(keys), medianMs(plainKeys));
        note("filter keystroke (slowest)", count, slowest / 1e6, plainSlowest / 1e6);
    }

    void check_data() { picker_data(); }

    // A graph of as many bound items as records, every 50th bound to an id without a record:
    // the check, the check shown and painted in the dock, and the lookup of every bound id;
    // the baseline looks every id up in a plain QHash.
    void check()
    {
        QFETCH(int, count);
        const QList<CIdInfo> rows = records(count);
        CDataLink::GetDataLink()->setPoints(rows);
        GraphicsView view(nullptr);
        Scene *scene = view.documentScene();
        const QVector<GraphicsItem *> items = BenchSupport::addItems(*scene, count, {ItemKind::AnalogValue});
        QStringList ids;
        for (int i = 0; i < items.size(); ++i) {
            items[i]->setSvgID(i % 50 == 0 ? QStringLiteral("x%1").arg(i) : rows.at(i).id);
            ids << items[i]->svgID();
        }
        QHash<QString, int> plainIndex;
        for (int i = 0; i < rows.size(); ++i)
            plainIndex.insert(rows.at(i).id, i);
        scene->items(QPointF(0, 0));

        const int rounds = count >= 100000 ? 3 : 11;
        std::vector<qint64> checks, docks, lookups, plainLookups;
        PointCheckDock dock;
        dock.resize(900, 300);
        dock.show();
        int found = 0;
        for (int round = 0; round < rounds; ++round) {
            checks.push_back(timed([&] { QCOMPARE(PointCheck::run(*scene).size(), count); }));
            docks.push_back(timed([&] {
                dock.showBindings(&view);
                QApplication::processEvents();
            }));
            lookups.push_back(timed([&] {
                for (const QString &id : qAsConst(ids))
                    found += PointBinding::stateOf(id) == PointBinding::Known;
            }));
            plainLookups.push_back(timed([&] {
                for (const QString &id : qAsConst(ids))
                    found += plainIndex.value(id, -1) >= 0;
            }));
        }
        QCOMPARE(found, 2 * rounds * (count - count / 50));
        const double plain = medianMs(plainLookups);
        note("binding check", count, medianMs(checks), plain);
        note("binding check in the dock", count, medianMs(docks), plain);
        note("lookup of every bound id", count, medianMs(lookups), plain);
    }

    void cleanupTestCase()
    {
        qInfo("growth per x10 (ours, baseline):");
        for (const auto &figure : s_figures) {
            const auto &f = figure.second;
            if (f.size() < 3)
                continue;
            qInfo("  %-28s 1k->10k %5.1f, %5.1f   10k->100k %5.1f, %5.1f", qPrintable(figure.first),
                f.at(10000).first / f.at(1000).first, f.at(10000).second / f.at(1000).second,
                f.at(100000).first / f.at(10000).first, f.at(100000).second / f.at(10000).second);
        }
        CDataLink::UnInit();
    }
};

QTEST_MAIN(BenchPoints)
#include "bench_points.moc"
