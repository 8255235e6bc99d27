#include "librarychoice.h"

#include "abstractgraphicsutility.h"
#include "itemkind.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace {

// Custom symbols may be any picture Qt reads, or SVG.
QStringList symbolPatterns()
{
    QStringList patterns{QStringLiteral("*.svg"), QStringLiteral("*.svgz")};
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern))
            patterns << pattern;
    }
    return patterns;
}

QStringList groupPatterns()
{
    return {QStringLiteral("*.grp")};
}

QStringList svgPatterns()
{
    return {QStringLiteral("*.svg")};
}

// The tools that draw from a library: where its files live and which files they are.
struct Library
{
    int toolType;
    QString (*folder)();
    QStringList (*patterns)();
};

const Library Libraries[] = {
    {ItemKind::Group, &AbstractGraphicsUtility::groupDir, &groupPatterns},
    {ItemKind::CustomSymbol, &AbstractGraphicsUtility::symbolDir, &symbolPatterns},
    {ItemKind::SvgPicture, &AbstractGraphicsUtility::svgDir, &svgPatterns},
};

const Library *libraryOf(int toolType)
{
    for (const Library &library : Libraries) {
        if (library.toolType == toolType)
            return &library;
    }
    return nullptr;
}

// The choice lasts for the editor's run; a new run starts again from the first entry.
QHash<int, QString> &chosen()
{
    static QHash<int, QString> names;
    return names;
}

} // namespace

bool LibraryChoice::hasLibrary(int toolType)
{
    return libraryOf(toolType) != nullptr;
}

QString LibraryChoice::folder(int toolType)
{
    const Library *library = libraryOf(toolType);
    return library ? library->folder() : QString();
}

QStringList LibraryChoice::nameFilters(int toolType)
{
    const Library *library = libraryOf(toolType);
    return library ? library->patterns() : QStringList();
}

QStringList LibraryChoice::entries(int toolType)
{
    if (!hasLibrary(toolType))
        return {};
    return QDir(folder(toolType)).entryList(nameFilters(toolType), QDir::Files, QDir::Name | QDir::IgnoreCase);
}

void LibraryChoice::choose(int toolType, const QString &fileName)
{
    chosen().insert(toolType, fileName);
}

QString LibraryChoice::current(int toolType)
{
    const QString name = chosen().value(toolType);
    if (!name.isEmpty() && QFileInfo(folder(toolType) + name).isFile())
        return name;
    return entries(toolType).value(0);
}

QString LibraryChoice::currentPath(int toolType)
{
    const QString name = current(toolType);
    return name.isEmpty() ? QString() : folder(toolType) + name;
}
