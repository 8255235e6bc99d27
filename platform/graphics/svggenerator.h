#ifndef SVGGENERATOR_H
#define SVGGENERATOR_H

#include "svgstreamwriter.h"

#include <QPaintDevice>
#include <QRectF>
#include <QSize>
#include <QString>
#include <memory>

// Paint device that writes an SVG file: the drawing as Qt's QSvgGenerator writes it (made by
// SvgStreamWriter), in a document of our own, so that the caller can edit the root element
// while painting and a background picture can be referenced instead of embedded.
//
// The file is written when the painter ends, as
//     head      (*getHead(): XML declaration, <svg ...> start tag, <title>, <desc>)
//     <image>   (only after setImageHref(): covers the view box, stretched)
//     drawing   (<defs>, then what was painted)
//     </svg>
// The head is rebuilt by QPainter::begin() and may be edited until QPainter::end(). Its
// root tag ends with `  version="1.2" baseProfile="tiny">`; text inserted before
// "baseProfile=" must end with a space. Painter coordinates are device pixels from (0, 0)
// to size(); they are mapped onto the view box, so painting the whole device fills it.
// width and height are written in pixels; fonts are sized at 96 dpi (CSS pixels).
class SvgGenerator : public QPaintDevice
{
public:
    SvgGenerator();
    ~SvgGenerator() override;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName);
    QSize size() const { return m_size; }
    void setSize(const QSize &size);
    QRectF viewBox() const { return m_viewBox; }
    void setViewBox(const QRectF &viewBox);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString description() const { return m_description; }
    void setDescription(const QString &description);
    QString imageHref() const { return m_imageHref; }
    // Background picture, written as given into xlink:href; empty for none. May be set
    // until the painter ends.
    void setImageHref(const QString &href);

    QString *getHead() { return &m_head; }

    // Whether the last painting wrote the whole file. False before any painting, without
    // a file name (then nothing is written), or when the file could not be written.
    bool writeSucceeded() const { return m_written; }

    static constexpr int Resolution = 96;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    friend class Engine;

    void beginDocument();
    bool endDocument();
    QString buildHead() const;
    QString imageElement() const;
    QTransform deviceToViewBox() const;

    QString m_fileName;
    QSize m_size;
    QRectF m_viewBox;
    QString m_title;
    QString m_description;
    QString m_imageHref;
    QString m_head;
    bool m_written = false;

    SvgStreamWriter m_drawing;
    mutable std::unique_ptr<Engine> m_engine;
};

#endif
