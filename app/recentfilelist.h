#ifndef RECENTFILELIST_H
#define RECENTFILELIST_H

#include <QStringList>

class QSettings;

// The documents opened last, newest first, as the user's settings keep them.
class RecentFileList
{
public:
    void read(QSettings &settings);
    void write(QSettings &settings) const;
    // Puts the path first, once, and forgets what falls beyond the list's length.
    void add(const QString &path);
    const QStringList &paths() const { return m_paths; }

private:
    QStringList m_paths;
};

#endif
