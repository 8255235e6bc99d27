// The data link on a real database (PLOTWRIGHT_TEST_BACKEND=sqlite, the default, or postgres
// with PLOTWRIGHT_TEST_PG naming the state file of tests/pgserver.sh): connecting with 100 000
// point records, looking them up, and saving and opening a 10 000-item graph through the
// server. Each against a baseline in the same run: the bare query, a plain QHash lookup, and
// the same bytes kept in local files.
#include "benchsupport.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "scene/scene.h"
#include "serverdatabase.h"
#include "testbackend.h"

#include <QSaveFile>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

class BenchDataLink : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    CDataLink *m_link = nullptr;
    QString m_graph; // the latest local copy of the 10 000-item graph
    QString m_svg;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("PLOTWRIGHT_PROJECT_DIR", m_dir.path().toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("PlotwrightBench"));
        QVERIFY2(TestBackend::reset(), "the database cannot be reached");
        TestBackend::settings().save();
        QVERIFY(DbServerSettings::storePassword(TestBackend::password()));

        QList<CIdInfo> points;
        for (int i = 0; i < 100000; ++i) {
            points.append(
                CIdInfo{QStringLiteral("YC%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("变量%1").arg(i % 1000),
                    QStringLiteral("限定"), QStringLiteral("设备%1").arg(i / 1000)});
        }
        ServerDatabase db;
        QVERIFY(db.open(TestBackend::settings(), TestBackend::password()));
        QElapsedTimer clock;
        clock.start();
        int added = 0;
        QVERIFY(db.importPoints(points, &added));
        QCOMPARE(added, points.size());
        qInfo("importing 100 000 points took %lld ms", clock.elapsed());

        m_link = CDataLink::GetDataLink();
        QVERIFY(m_link->SetupRtuDev());
        GraphicsView view;
        view.newFile(0);
        BenchSupport::addItems(*view.documentScene(), 10000);
        m_graph = m_dir.filePath(QStringLiteral("big.drw"));
        m_svg = m_dir.filePath(QStringLiteral("big.svg"));
        QVERIFY(view.saveFile(m_graph, false) && view.writeSvg(m_svg));
        m_graph = m_link->SaveDizFile(m_graph, m_svg);
        QVERIFY(!m_graph.isEmpty());
        m_svg = QFileInfo(m_svg).absoluteDir().filePath(QFileInfo(m_graph).completeBaseName() + QStringLiteral(".svg"));
        qInfo("graph %lld bytes, SVG %lld bytes", QFileInfo(m_graph).size(), QFileInfo(m_svg).size());
    }

    void cleanupTestCase() { CDataLink::UnInit(); }

    void connectWith100000Points_data()
    {
        QTest::addColumn<bool>("baseline");
        QTest::newRow("SetupRtuDev") << false;
        QTest::newRow("baseline: bare query over the same rows") << true;
    }

    void connectWith100000Points()
    {
        QFETCH(bool, baseline);
        // As at start-up: from an offline link, and over a new connection.
        if (baseline) {
            QSqlDatabase::database(QStringLiteral("test"), false).close();
        } else {
            CDataLink::UnInit();
            m_link = CDataLink::GetDataLink();
        }
        int rows = 0;
        QBENCHMARK_ONCE
        {
            if (baseline) {
                QSqlDatabase db = TestBackend::open();
                QSqlQuery query(db);
                query.setForwardOnly(true);
                query.exec(QStringLiteral("SELECT id, name, qualifier, device_name FROM points ORDER BY id"));
                qint64 characters = 0;
                for (rows = 0; query.next(); ++rows) {
                    for (int column = 0; column < 4; ++column)
                        characters += query.value(column).toString().size();
                }
                QVERIFY(characters > 0);
            } else {
                m_link->SetupRtuDev();
                rows = m_link->idList.size();
            }
        }
        QCOMPARE(rows, 100000);
    }

    void lookUp100000Ids_data()
    {
        QTest::addColumn<bool>("baseline");
        QTest::newRow("GetIdInfo") << false;
        QTest::newRow("baseline: QHash lookup") << true;
    }

    void lookUp100000Ids()
    {
        QFETCH(bool, baseline);
        QStringList ids;
        QHash<QString, const CIdInfo *> hash;
        for (const CIdInfo &point : qAsConst(m_link->idList)) {
            ids << point.id;
            hash.insert(point.id, &point);
        }
        int found = 0;
        QBENCHMARK
        {
            found = 0;
            for (QString &id : ids)
                found += baseline ? hash.value(id) != nullptr : CDataLink::GetIdInfo(id) != nullptr;
        }
        QCOMPARE(found, 100000);
    }

    void save10000Items_data()
    {
        QTest::addColumn<bool>("baseline");
        QTest::newRow("SaveDizFile") << false;
        QTest::newRow("baseline: the same bytes read and written locally") << true;
    }

    void save10000Items()
    {
        QFETCH(bool, baseline);
        QBENCHMARK
        {
            if (baseline) {
                writeAll(m_dir.filePath(QStringLiteral("copy.drw")), readAll(m_graph));
                writeAll(m_dir.filePath(QStringLiteral("copy.svg")), readAll(m_svg));
            } else {
                // Every upload is the next revision, and the local copy moves along.
                const QString stored = m_link->SaveDizFile(m_graph, m_svg);
                QVERIFY(!stored.isEmpty());
                m_svg = QFileInfo(m_svg).absoluteDir().filePath(
                    QFileInfo(stored).completeBaseName() + QStringLiteral(".svg"));
                m_graph = stored;
            }
        }
    }

    void open10000Items_data()
    {
        QTest::addColumn<bool>("baseline");
        QTest::newRow("fetchDizFile") << false;
        QTest::newRow("baseline: the same bytes copied locally") << true;
    }

    void open10000Items()
    {
        QFETCH(bool, baseline);
        const qint64 id = QFileInfo(m_graph)
                              .fileName()
                              .section(QLatin1Char('.'), 1, 1)
                              .section(QLatin1Char('r'), 0, 0)
                              .toLongLong();
        const QString dir = m_dir.filePath(QStringLiteral("fetched"));
        QString path;
        QBENCHMARK
        {
            if (!path.isEmpty())
                QFile::remove(path);
            if (baseline) {
                path = QDir(dir).filePath(QStringLiteral("copy.drw"));
                QDir().mkpath(dir);
                writeAll(path, readAll(m_graph));
            } else {
                path = m_link->fetchDizFile(id, dir);
            }
        }
        QCOMPARE(readAll(path), readAll(m_graph));
    }
};

QTEST_MAIN(BenchDataLink)
#include "bench_datalink.moc"
