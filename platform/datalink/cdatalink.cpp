#include "cdatalink.h"

#include "abstractgraphicsutility.h"
#include "dbserverform.h"
#include "documentkind.h"
#include "safefile.h"
#include "serverdatabase.h"
#include "servergraphdialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

namespace {
std::unique_ptr<CDataLink> s_instance;
int s_platform = -1;
bool s_closeRegistered = false;

// A local copy of a server graph: "DIZ.<id>r<revision>.<name>.<suffix of its kind>". The server
// id carries the revision the copy was fetched at, so a copy knows what it is based on, and
// copies of different revisions never share a file or a window.
QRegularExpressionMatch matchLocalCopy(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^DIZ\\.(\\d+)r(\\d+)\\.(.*)\\.([^.]+)$"), QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() && DocumentKind::findBySuffix(match.captured(4)) ? match : QRegularExpressionMatch();
}

// A graph of no known kind is kept as a graph.
const DocumentKind &kindOf(const ServerGraph &graph)
{
    const DocumentKind *kind = DocumentKind::find(graph.kind);
    return kind ? *kind : DocumentKind::of(DocumentKind::Graph);
}

// The graph's name as part of a file name: no separators or characters other systems
// refuse, and short enough that the whole name stays within 255 bytes.
QString fileNamePart(const QString &name)
{
    const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString part;
    int bytes = 0;
    for (QChar c : name) {
        const int size = c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 || c.isSurrogate() ? 2 : 3;
        if (bytes + size > 200)
            break;
        bytes += size;
        part += c.unicode() < 0x20 || refused.contains(c) ? QLatin1Char('_') : c;
    }
    if (!part.isEmpty() && part.at(part.size() - 1).isHighSurrogate())
        part.chop(1);
    return part.isEmpty() ? QStringLiteral("_") : part;
}

void replaceFile(const QString &from, const QString &to)
{
    if (QFileInfo(from).absoluteFilePath() == QFileInfo(to).absoluteFilePath())
        return;
    QFile::remove(to);
    QFile::rename(from, to);
}

// A server graph's local files begin with its id, then its revision: "DIZ.<id>r<revision>.".
QString filePrefix(qint64 id)
{
    return QStringLiteral("DIZ.%1r").arg(id);
}

// Only the newest revision's SVG of a server graph is of use: those of earlier ones go.
void removeSupersededSvgs(const QDir &dir, const ServerGraph &graph)
{
    const QString prefix = filePrefix(graph.id);
    for (const QString &name : dir.entryList({prefix + QStringLiteral("*.svg")}, QDir::Files)) {
        bool number = false;
        const int revision
            = name.midRef(prefix.size(), name.indexOf(QLatin1Char('.'), prefix.size()) - prefix.size()).toInt(&number);
        if (number && revision < graph.revision)
            QFile::remove(dir.filePath(name));
    }
}

QByteArray readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法读取文件 %1: %2").arg(path, file.errorString());
        return QByteArray();
    }
    return file.readAll();
}

} // namespace

CDataLink::CDataLink() = default;
CDataLink::~CDataLink() = default;

void CDataLink::install(CDataLink *link)
{
    s_instance.reset(link);
}

bool CDataLink::Init()
{
    if (!s_instance)
        s_instance.reset(new CDataLink);
    return true;
}

void CDataLink::UnInit()
{
    s_instance.reset();
}

CDataLink *CDataLink::GetDataLink()
{
    // Callers may ask before Init() or after UnInit(); they get a valid offline link.
    if (!s_instance)
        s_instance.reset(new CDataLink);
    return s_instance.get();
}

void CDataLink::closeAtExit()
{
    // Connections must close while the application and its driver plugins still exist.
    if (s_instance) {
        s_instance->stopRetrying();
        s_instance->m_db.reset();
    }
}

int CDataLink::platform()
{
    return s_platform;
}
void CDataLink::setPlatform(int platform)
{
    s_platform = platform;
}

int CDataLink::ShowSetDbServerForm()
{
    DbServerForm form(QApplication::activeWindow());
    if (form.exec() != QDialog::Accepted)
        return 0;
    CDataLink *link = GetDataLink();
    link->m_settings = form.settings();
    link->m_password = form.password();
    link->m_confirmed = true;
    return 1;
}

QString CDataLink::GetDbServerInfo()
{
    const CDataLink *link = GetDataLink();
    return link->online && link->m_db ? link->m_db->description() : QString();
}

bool CDataLink::SetupRtuDev()
{
    if (!m_confirmed) {
        m_settings = DbServerSettings::load();
        m_password = DbServerSettings::savedPassword();
    }
    if (!s_closeRegistered) {
        qAddPostRoutine(&CDataLink::closeAtExit);
        s_closeRegistered = true;
    }
    stopRetrying();
    m_dropped = false;
    setOnline(false);
    QList<CIdInfo> points;
    const bool connected = connectServer(points);
    if (connected)
        setPoints(points);
    else
        setPoints({}, QStringLiteral("无法连接数据库: %1").arg(m_error.simplified()));
    setOnline(connected);
    return online;
}

bool CDataLink::loadLocalPoints()
{
    // Opening would create the file: a project without a point list stays without one.
    if (!QFileInfo::exists(DbServerSettings::embeddedFile())) {
        setPoints({}, QStringLiteral("尚未导入点表(工具 → 导入点表...)"));
        return false;
    }
    DbServerSettings embedded;
    embedded.kind = DbServerSettings::Embedded;
    ServerDatabase db;
    QList<CIdInfo> points;
    if (!db.open(embedded, QString()) || !db.loadPoints(points)) {
        setPoints({}, QStringLiteral("无法打开点表数据库: %1").arg(db.errorText().simplified()));
        return false;
    }
    setPoints(points);
    return true;
}

void CDataLink::setPoints(const QList<CIdInfo> &points, const QString &problem)
{
    idList = points;
    m_pointsProblem = problem;
    reindex();
    emit pointsChanged();
}

bool CDataLink::connectServer(QList<CIdInfo> &points)
{
    auto db = std::make_unique<ServerDatabase>();
    const bool connected = db->open(m_settings, m_password) && db->loadPoints(points);
    m_error = db->errorText();
    if (connected)
        m_db = std::move(db);
    else
        m_db.reset();
    return connected;
}

bool CDataLink::ensureConnected()
{
    if (m_db && m_db->alive())
        return true;
    if (!m_db && !m_dropped)
        return false; // never connected: the user chose so or was told
    // Once again with the confirmed server; the point records stay as last loaded until then.
    QList<CIdInfo> points;
    if (connectServer(points)) {
        stopRetrying();
        m_dropped = false;
        setPoints(points);
        setOnline(true);
        return true;
    }
    m_dropped = true;
    setOnline(false);
    // Only a server can come back; the embedded file does not go away while it is open.
    if (m_settings.kind == DbServerSettings::PostgreSql && !m_retry) {
        m_retry = new QTimer(this);
        connect(m_retry, &QTimer::timeout, this, &CDataLink::knockAtServer);
        m_retry->start(RetryIntervalMs);
    }
    return false;
}

QString CDataLink::lostConnection()
{
    return refuse(QStringLiteral("与服务器的连接已断开, 进入离线编辑: %1").arg(m_error));
}

void CDataLink::knockAtServer()
{
    // A connection attempt blocks the window until the server answers, up to the connect
    // timeout on a network that swallows packets. A TCP knock that does not block comes
    // first, so the real attempt only happens when something listens again.
    delete m_knock;
    m_knock = new QTcpSocket(this);
    connect(m_knock, &QTcpSocket::connected, this, [this] {
        m_knock->abort();
        m_knock->deleteLater();
        m_knock = nullptr;
        ensureConnected();
    });
    m_knock->connectToHost(m_settings.host, quint16(m_settings.port));
}

void CDataLink::stopRetrying()
{
    delete m_retry;
    m_retry = nullptr;
    delete m_knock;
    m_knock = nullptr;
}

void CDataLink::setOnline(bool value)
{
    if (online == value)
        return;
    online = value;
    emit onlineChanged(value);
}

void CDataLink::reindex()
{
    m_index.clear();
    m_index.reserve(idList.size());
    // Backwards, so that the first record of an id wins, as a walk through the list finds it.
    for (int i = idList.size() - 1; i >= 0; --i)
        m_index.insert(idList.at(i).id, i);
    m_indexedSize = idList.size();
    m_indexedFirst = idList.isEmpty() ? nullptr : &idList.at(0);
}

CIdInfo *CDataLink::GetIdInfo(QString &id)
{
    CDataLink *link = GetDataLink();
    const QList<CIdInfo> &list = link->idList;
    // Callers may change idList: a list of another size or with other storage (assigned,
    // cleared and refilled) is indexed again; a hit that no longer matches, changed in place,
    // as well. Reading goes through const access, so that it never detaches the list.
    if (list.size() != link->m_indexedSize || (list.isEmpty() ? nullptr : &list.at(0)) != link->m_indexedFirst)
        link->reindex();
    int at = link->m_index.value(id, -1);
    if (at >= 0 && list.at(at).id != id) {
        link->reindex();
        at = link->m_index.value(id, -1);
    }
    return at < 0 ? nullptr : const_cast<CIdInfo *>(&list.at(at));
}

QString CDataLink::localName(const ServerGraph &graph)
{
    return filePrefix(graph.id)
        + QStringLiteral("%1.%2.%3").arg(graph.revision).arg(fileNamePart(graph.name), kindOf(graph).suffix);
}

QString CDataLink::refuse(const QString &why)
{
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("提示"), why, QMessageBox::Ok);
    return QString();
}

QString CDataLink::OpenDizFile(const QString &dir)
{
    if (!m_db && !m_dropped)
        return QString();
    if (!ensureConnected())
        return lostConnection();
    const QList<ServerGraph> graphs = m_db->graphs(0);
    if (!m_db->errorText().isEmpty())
        return refuse(QStringLiteral("无法读取服务器画面列表: %1").arg(m_db->errorText()));
    ServerGraphDialog dialog(graphs, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedId() == 0)
        return QString();
    return fetchDizFile(dialog.selectedId(), dir);
}

QString CDataLink::fetchDizFile(qint64 id, const QString &dir)
{
    if (!m_db && !m_dropped)
        return QString();
    if (!ensureConnected())
        return lostConnection();
    ServerGraph graph;
    if (!m_db->fetch(id, graph, true))
        return refuse(QStringLiteral("无法从服务器取得画面: %1").arg(m_db->errorText()));
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(localName(graph));
    // A copy of this very revision is kept as it is: it may hold work saved locally since.
    if (QFile::exists(path))
        return path;
    // Complete or not at all: a partial copy would later be taken for this revision.
    QString why;
    if (!SafeFile::replace(path, graph.graph, &why))
        return refuse(QStringLiteral("无法写入文件 %1: %2").arg(path, why));
    return path;
}

QString CDataLink::SaveDizFile(const QString &graphFile, const QString &svgFile)
{
    if (!m_db && !m_dropped)
        return QString();
    if (!ensureConnected())
        return lostConnection();
    QString error;
    ServerGraph graph;
    graph.graph = readFile(graphFile, &error);
    graph.svg = QString::fromUtf8(readFile(svgFile, &error));
    if (!error.isEmpty())
        return refuse(error);
    const QFileInfo info(graphFile);
    const DocumentKind *kind = DocumentKind::findBySuffix(info.suffix());
    graph.kind = kind ? kind->type : DocumentKind::Graph;
    graph.name = info.completeBaseName();

    // An upload never overwrites what somebody else stored since this copy was fetched: it is
    // refused with the reason, the editor then reports the failed save, and the user fetches
    // the current revision. Asking "overwrite anyway?" would make losing a colleague's work
    // one click away.
    const QRegularExpressionMatch copy = matchLocalCopy(info.fileName());
    if (copy.hasMatch()) {
        ServerGraph current;
        if (!m_db->fetch(copy.captured(1).toLongLong(), current, false)) {
            return refuse(m_db->errorText().isEmpty()
                    ? QStringLiteral("服务器上没有画面 %1, 未上传。").arg(info.fileName())
                    : QStringLiteral("上传失败: %1").arg(m_db->errorText()));
        }
        if (fileNamePart(current.name) != copy.captured(3) || current.kind != graph.kind) {
            return refuse(QStringLiteral("%1 不是服务器上画面“%2”的副本, 未上传。").arg(info.fileName(), current.name));
        }
        graph.id = current.id;
        graph.name = current.name;
        graph.revision = copy.captured(2).toInt();
    }
    const int base = graph.revision;
    switch (m_db->store(graph)) {
    case ServerDatabase::Store::Stored: break;
    case ServerDatabase::Store::Conflict: {
        ServerGraph current;
        m_db->fetch(graph.id, current, false);
        return refuse(QStringLiteral("画面“%1”在服务器上已被修改(服务器版本 %2, 本地副本基于版本 %3), 未覆盖。\n"
                                     "请从服务器重新打开该画面, 再做修改。")
                          .arg(graph.name)
                          .arg(current.revision)
                          .arg(base));
    }
    case ServerDatabase::Store::Failed: return refuse(QStringLiteral("上传失败: %1").arg(m_db->errorText()));
    }
    // The local copy follows the server: it becomes the copy of the revision just stored, in
    // the folder where copies are fetched to (a new graph was saved wherever the editor runs).
    const QString dir = kindOf(graph).folder();
    QDir().mkpath(dir);
    const QString stored = QDir(dir).filePath(localName(graph));
    replaceFile(graphFile, stored);
    const QDir svgDir = QFileInfo(svgFile).absoluteDir();
    replaceFile(svgFile, svgDir.filePath(QFileInfo(stored).completeBaseName() + QStringLiteral(".svg")));
    removeSupersededSvgs(svgDir, graph);
    return stored;
}
