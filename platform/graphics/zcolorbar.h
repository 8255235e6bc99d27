#ifndef ZCOLORBAR_H
#define ZCOLORBAR_H

#include "zpalette.h"

#include <QStringList>
#include <QToolBar>

class QLabel;
class QToolButton;

// The colour tool bar: the current foreground and background colours (palette indices)
// and a strip of the palette. Left click on a palette swatch picks the foreground, right
// click the background; a right click on "无" sets the background to none (-1).
class ZColorBar : public QToolBar
{
    Q_OBJECT
public:
    explicit ZColorBar(QWidget *parent);

    // labels: the captions of the two current colours ("前景色", "背景色"). The palette
    // is copied, so the caller may free or replace it afterwards; null shows the built-in
    // default palette. mode 1 shows and edits both current colours; any other mode shows
    // the foreground only and ignores right clicks.
    void SetPara(const QStringList &labels, ZPalette *palette, int mode);
    // Shows m_foreground and m_background again after the caller changed them.
    void frush();

    // The colour shown for a palette index, with the rules of MyPALETTEINDEX.
    QColor colorOf(int index) const;
    int colorCount() const { return m_palette.count; }

    // Current palette indices. -1 as background means "none" (no fill).
    int m_foreground = ZPaletteDefaultPen;
    int m_background = -1;

signals:
    // A click on the palette changed (or re-picked) one of the current colours.
    void colorChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildStrip();
    void pick(int index, Qt::MouseButton button);
    QPixmap swatchPixmap(int index, const QSize &size) const;
    QString describe(int index) const;

    ZPalette m_palette{};
    int m_mode = 1;
    QLabel *m_foregroundLabel;
    QLabel *m_foregroundSwatch;
    QLabel *m_backgroundLabel;
    QLabel *m_backgroundSwatch;
    QAction *m_backgroundLabelAction;
    QAction *m_backgroundSwatchAction;
    QList<QAction *> m_stripActions;
};

#endif
