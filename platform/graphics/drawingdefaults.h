#ifndef DRAWINGDEFAULTS_H
#define DRAWINGDEFAULTS_H

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
};

#endif
