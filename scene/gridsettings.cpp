#include "gridsettings.h"

#include <QSettings>
#include <cmath>

namespace {
const char *const Group = "grid";
const char *const SizeKey = "size";
const char *const VisibleKey = "visible";
const char *const SnapKey = "snap";
const char *const GlueKey = "glue";

double snappedCoordinate(double value, double origin, double size)
{
    return origin + std::round((value - origin) / size) * size;
}
} // namespace

void GridSettings::setSize(int size)
{
    m_size = qBound(MinimumSize, size, MaximumSize);
}

QPointF GridSettings::snapped(const QPointF &point, const QPointF &origin) const
{
    if (!m_snap)
        return point;
    return QPointF(snappedCoordinate(point.x(), origin.x(), m_size), snappedCoordinate(point.y(), origin.y(), m_size));
}

GridSettings GridSettings::read(QSettings &settings)
{
    GridSettings grid;
    settings.beginGroup(QLatin1String(Group));
    bool isNumber = false;
    const int size = settings.value(QLatin1String(SizeKey), DefaultSize).toInt(&isNumber);
    grid.setSize(isNumber ? size : DefaultSize);
    grid.m_visible = settings.value(QLatin1String(VisibleKey), true).toBool();
    grid.m_snap = settings.value(QLatin1String(SnapKey), true).toBool();
    grid.m_glue = settings.value(QLatin1String(GlueKey), true).toBool();
    settings.endGroup();
    return grid;
}

void GridSettings::write(QSettings &settings) const
{
    settings.beginGroup(QLatin1String(Group));
    settings.setValue(QLatin1String(SizeKey), m_size);
    settings.setValue(QLatin1String(VisibleKey), m_visible);
    settings.setValue(QLatin1String(SnapKey), m_snap);
    settings.setValue(QLatin1String(GlueKey), m_glue);
    settings.endGroup();
}

bool GridSettings::operator==(const GridSettings &other) const
{
    return m_size == other.m_size && m_visible == other.m_visible && m_snap == other.m_snap && m_glue == other.m_glue;
}
