#include "abstractgraphicsutility.h"
#include "zpalette.h"

#include <QCoreApplication>
#include <QDir>

AbstractGraphicsUtility::~AbstractGraphicsUtility() = default;

void AbstractGraphicsUtility::setLock(bool locked)
{
    if (m_locked == locked)
        return;
    m_locked = locked;
    lockChanged();
}

namespace {

QString withSeparator(const QString &path)
{
    QString p = QDir::cleanPath(path);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

} // namespace

// The folder "Project" beside the executable, unless PLOTWRIGHT_PROJECT_DIR names another
// (tests always do, so they never touch a real project).
QString AbstractGraphicsUtility::projectDir()
{
    const QString env = qEnvironmentVariable("PLOTWRIGHT_PROJECT_DIR");
    if (!env.isEmpty())
        return withSeparator(QDir(env).absolutePath());
    return withSeparator(QCoreApplication::applicationDirPath() + QStringLiteral("/Project"));
}

QString AbstractGraphicsUtility::graphDir()
{
    return projectDir() + QStringLiteral("graph/");
}
QString AbstractGraphicsUtility::templateDir()
{
    return projectDir() + QStringLiteral("template/");
}
QString AbstractGraphicsUtility::svgDir()
{
    return projectDir() + QStringLiteral("svg/");
}
QString AbstractGraphicsUtility::bmpDir()
{
    return projectDir() + QStringLiteral("bmp/");
}
QString AbstractGraphicsUtility::groupDir()
{
    return projectDir() + QStringLiteral("group/");
}
QString AbstractGraphicsUtility::symbolDir()
{
    return projectDir() + QStringLiteral("symbol/");
}

void AbstractGraphicsUtility::initProject()
{
    const QString dirs[] = {projectDir(), graphDir(), templateDir(), svgDir(), bmpDir(), groupDir(), symbolDir()};
    for (const QString &d : dirs)
        QDir().mkpath(d);
    ensureDefaultPalette(paletteFilePath());
}
