#include "cdatalink.h"

#include "dbserverform.h"

#include <QApplication>
#include <memory>

namespace {
std::unique_ptr<CDataLink> s_instance;
int s_platform = -1;
} // namespace

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

int CDataLink::platform() { return s_platform; }
void CDataLink::setPlatform(int platform) { s_platform = platform; }

int CDataLink::ShowSetDbServerForm()
{
    DbServerForm form(QApplication::activeWindow());
    return form.exec() == QDialog::Accepted ? 1 : 0;
}

QString CDataLink::GetDbServerInfo()
{
    if (!GetDataLink()->online)
        return QString();
    const DbServerSettings s = DbServerSettings::load();
    return QStringLiteral("%1:%2/%3").arg(s.host).arg(s.port).arg(s.database);
}

CIdInfo *CDataLink::GetIdInfo(QString &id)
{
    // The records the link holds; offline the list is empty, so every id is unknown.
    for (CIdInfo &info : GetDataLink()->idList) {
        if (info.id == id)
            return &info;
    }
    return nullptr;
}

bool CDataLink::SetupRtuDev()
{
    // No server backend is configured in this form of the link: stay offline.
    online = false;
    idList.clear();
    return online;
}

QString CDataLink::OpenDizFile(QString)
{
    return QString();
}

QString CDataLink::SaveDizFile(QString, QString)
{
    return QString();
}
