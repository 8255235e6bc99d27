#ifndef LIBRARYCHOICE_H
#define LIBRARYCHOICE_H

#include <QString>
#include <QStringList>

// The project libraries that feed drawing tools: custom symbols, SVG drawings and item
// groups. Each tool draws the entry chosen in its manager window, or the first file of
// its folder as long as none is chosen (or the chosen one has gone).
class LibraryChoice
{
public:
    // Whether a drawing tool takes its content from a library.
    static bool hasLibrary(int toolType);
    // The tool's folder (ending with a separator) and the patterns of its files.
    static QString folder(int toolType);
    static QStringList nameFilters(int toolType);
    // The files of the folder, sorted by name without regard to case.
    static QStringList entries(int toolType);

    static void choose(int toolType, const QString &fileName);
    // The file name the tool draws now, or an empty text when the folder has none.
    static QString current(int toolType);
    // The same as a full path.
    static QString currentPath(int toolType);
};

#endif
