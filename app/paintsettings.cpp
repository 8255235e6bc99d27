#include "paintsettings.h"

#include "drawingdefaults.h"
#include "formatlimits.h"

#include <QSettings>

void PaintSettings::read(QSettings &settings, DrawingDefaults &d, int &foregroundIndex, int &backgroundIndex)
{
    settings.beginGroup(QStringLiteral("paintProperty"));
    d.penWidth = settings.value(QStringLiteral("penWidth"), 2).toInt();
    foregroundIndex = int(settings.value(QStringLiteral("penColor"), 10).toUInt());
    d.penStyle = int(settings.value(QStringLiteral("penStyle"), 1).toUInt());
    backgroundIndex = settings.value(QStringLiteral("bruchColor"), -1).toInt();
    d.brushStyle = settings.value(QStringLiteral("brushStyle"), 0).toInt();
    d.lineHead = settings.value(QStringLiteral("lineHead"), 0).toInt();
    d.lineEnd = settings.value(QStringLiteral("lineEnd"), 0).toInt();
    settings.endGroup();
    d.clampToFormat();
    foregroundIndex = qBound(0, foregroundIndex, FormatLimits::MaxColorIndex);
    backgroundIndex = qBound(-1, backgroundIndex, FormatLimits::MaxColorIndex);
}

void PaintSettings::write(QSettings &settings, const DrawingDefaults &d, int foregroundIndex, int backgroundIndex)
{
    settings.beginGroup(QStringLiteral("paintProperty"));
    settings.setValue(QStringLiteral("penWidth"), d.penWidth);
    settings.setValue(QStringLiteral("penColor"), foregroundIndex);
    settings.setValue(QStringLiteral("penStyle"), d.penStyle);
    settings.setValue(QStringLiteral("bruchColor"), backgroundIndex);
    settings.setValue(QStringLiteral("brushStyle"), d.brushStyle);
    settings.setValue(QStringLiteral("lineHead"), d.lineHead);
    settings.setValue(QStringLiteral("lineEnd"), d.lineEnd);
    settings.endGroup();
}
