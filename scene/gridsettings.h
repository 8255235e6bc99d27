#ifndef GRIDSETTINGS_H
#define GRIDSETTINGS_H

#include <QPointF>

class QSettings;

// The grid over the canvas and what the drawing tools do with it, as the user's settings keep
// it between runs. Only the editor shows and uses it: it never reaches a saved graph or SVG.
class GridSettings
{
public:
    static constexpr int MinimumSize = 1;
    static constexpr int MaximumSize = 200;
    static constexpr int DefaultSize = 10;

    // Spacing in scene units, always within the bounds above.
    int size() const { return m_size; }
    void setSize(int size);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    bool snaps() const { return m_snap; }
    void setSnap(bool snap) { m_snap = snap; }
    // Whether connections stick to the points items offer for them.
    bool glues() const { return m_glue; }
    void setGlue(bool glue) { m_glue = glue; }

    // The nearest grid point of a grid whose lines pass through `origin`; the point itself
    // when snapping is off.
    QPointF snapped(const QPointF &point, const QPointF &origin) const;

    // Values out of range (edited by hand, or by another version) are brought into range.
    static GridSettings read(QSettings &settings);
    void write(QSettings &settings) const;

    bool operator==(const GridSettings &other) const;
    bool operator!=(const GridSettings &other) const { return !(*this == other); }

private:
    int m_size = DefaultSize;
    bool m_visible = true;
    bool m_snap = true;
    bool m_glue = true;
};

#endif
