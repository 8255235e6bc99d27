#ifndef RECENTFILES_H
#define RECENTFILES_H

#include <QString>

// Whoever keeps the list of recently opened documents. The view reports a document it has
// just opened to its owner through this, without knowing what kind of window that is.
class RecentFiles
{
public:
    virtual ~RecentFiles() = default;
    virtual void addRecentFile(const QString &path) = 0;
};

#endif
