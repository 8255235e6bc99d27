#include "recentfilelist.h"

#include <QSettings>

namespace {

const QString Key = QStringLiteral("最近的文件");
// Earlier versions read the UTF-8 key as Latin-1 and stored the list under that garbled name.
const QString LegacyKey = QLatin1String("最近的文件");
constexpr int MaxFiles = 10;

} // namespace

void RecentFileList::read(QSettings &settings)
{
    if (!settings.contains(Key) && settings.contains(LegacyKey))
        settings.setValue(Key, settings.value(LegacyKey));
    settings.remove(LegacyKey);
    m_paths = settings.value(Key).toStringList();
}

void RecentFileList::write(QSettings &settings) const
{
    settings.setValue(Key, m_paths);
}

void RecentFileList::add(const QString &path)
{
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > MaxFiles)
        m_paths.removeLast();
}
