#include "librarychoice.h"

#include "abstractgraphicsutility.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace {

constexpr int GroupTool = 0x10002;
constexpr int SymbolTool = 0x10029;
constexpr int SvgTool = 0x10031;

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

// The choice lasts for the editor's run; a new run starts again from the first entry.
QHash<int, QString> &chosen()
{
    static QHash<int, QString> names;
    return names;
}

} // namespace

bool LibraryChoice::hasLibrary(int toolType)
{
    return toolType == GroupTool || toolType == SymbolTool || toolType == SvgTool;
}

QString LibraryChoice::folder(int toolType)
{
    switch (toolType) {
    case GroupTool: return AbstractGraphicsUtility::groupDir();
    case SymbolTool: return AbstractGraphicsUtility::symbolDir();
    case SvgTool: return AbstractGraphicsUtility::svgDir();
    default: return QString();
    }
}

QStringList LibraryChoice::nameFilters(int toolType)
{
    switch (toolType) {
    case GroupTool: return {QStringLiteral("*.grp")};
    case SymbolTool: return symbolPatterns();
    case SvgTool: return {QStringLiteral("*.svg")};
    default: return {};
    }
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
