#ifndef FORMATLIMITS_H
#define FORMATLIMITS_H

#include <QtGlobal>
#include <cmath>

// The ranges that a stored drawing can hold and the editor can draw. The reader refuses a
// file with any value outside them, the property editors offer no more, and values from
// settings are clamped into them, so nothing the editor makes can be refused when read back
// (docs/document-format.md lists them).
struct FormatLimits
{
    // Positions, rectangle origins, sizes and points, in scene units (pixels at 100 %).
    static constexpr double MaxCoordinate = 1e6;
    static constexpr int MaxPenWidth = 20;
    // Pen styles 0 (none) to 5 (dash-dot-dot); brush styles 0 (none) and 1 (solid).
    static constexpr int MaxPenStyle = 5;
    static constexpr int MaxBrushStyle = 1;
    // Line ends: 0 plain, 1 arrow.
    static constexpr int MaxLineEnd = 1;
    // Palette indices: -1 is "no colour", a palette has at most 256 entries.
    static constexpr int MaxColorIndex = 255;
    // Pictures named by a drawing are decoded only up to this many pixels (128 MiB as ARGB):
    // a small file may claim a huge image.
    static constexpr qint64 MaxPicturePixels = qint64(32) * 1024 * 1024;

    static bool isCoordinate(double v) { return std::isfinite(v) && std::abs(v) <= MaxCoordinate; }
    static double clampCoordinate(double v)
    {
        return std::isfinite(v) ? qBound(-MaxCoordinate, v, MaxCoordinate) : 0.0;
    }
};

#endif
