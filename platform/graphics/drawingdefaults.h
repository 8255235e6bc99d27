#ifndef DRAWINGDEFAULTS_H
#define DRAWINGDEFAULTS_H

#include "formatlimits.h"

#include <QColor>

// The pen, brush and line-end settings that every new item is created with.
// The field spelling "bruchColor" is part of the stored settings keys and kept on purpose.
struct DrawingDefaults
{
    int penWidth = 0;
    QColor penColor;
    int penStyle = 0;
    QColor bruchColor;
    int brushStyle = 0;
    int lineHead = 0;
    int lineEnd = 0;

    // Every value within what an item can store: the defaults are copied into each new
    // item, and one value out of range would make every new graph unreadable.
    void clampToFormat()
    {
        penWidth = qBound(0, penWidth, FormatLimits::MaxPenWidth);
        penStyle = qBound(0, penStyle, FormatLimits::MaxPenStyle);
        brushStyle = qBound(0, brushStyle, FormatLimits::MaxBrushStyle);
        lineHead = qBound(0, lineHead, FormatLimits::MaxLineEnd);
        lineEnd = qBound(0, lineEnd, FormatLimits::MaxLineEnd);
    }
};

#endif
