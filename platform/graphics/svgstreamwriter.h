#ifndef SVGSTREAMWRITER_H
#define SVGSTREAMWRITER_H

#include <QPaintDevice>
#include <QPaintEngine>
#include <QSize>
#include <memory>

class QIODevice;

// Paint device that turns painting into the SVG text Qt's QSvgGenerator writes for it, byte for
// byte, from its <defs> element to the end of the drawing; the root element around it is the
// caller's. Qt's generator holds its document in memory several times over and spends much of
// its time formatting numbers through QTextStream. This one keeps a bounded amount in memory
// and formats numbers itself. A large drawing waits in a scratch file until painting ends,
// because the definitions (gradients, fill patterns) that come first are only known then.
class SvgStreamWriter : public QPaintDevice
{
public:
    SvgStreamWriter();
    ~SvgStreamWriter() override;

    // As QSvgGenerator's size and resolution: the device's size in pixels, and the dots per
    // inch by which fonts are sized.
    void setSize(const QSize &size, int dpi);

    // After the painter ended: the definitions and the drawing, written to `device` (once;
    // the memory and scratch files they took are given back). False when a scratch file or
    // the device failed.
    bool writeTo(QIODevice *device);

    // Those of Qt's SVG engine, so that QPainter hands this one what it would hand that (what
    // the engine cannot do, QPainter does with what it can).
    static QPaintEngine::PaintEngineFeatures engineFeatures();

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;

    QSize m_size;
    int m_resolution = 72;
    std::unique_ptr<Engine> m_engine;
};

#endif
