// iconrender: turns one of the hand-written SVG sources under resources/ into
// the raster file the application embeds (toolbar icon, drawing cursor,
// Windows .ico, or the opaque about-box bitmap). Runs headless at build time.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// QtSvg reports problems such as unresolved references only as warnings and
// then renders an incomplete picture; a broken icon should stop the build.
int g_svgWarnings = 0;
QtMessageHandler g_previousHandler = nullptr;

void messageHandler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
{
    // Headless build machines rarely have a runtime dir; the notice is
    // harmless and would otherwise repeat for every rendered file.
    if (msg.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    if (type != QtDebugMsg && type != QtInfoMsg && ctx.category && qstrncmp(ctx.category, "qt.svg", 6) == 0)
        ++g_svgWarnings;
    if (g_previousHandler)
        g_previousHandler(type, ctx, msg);
}

[[noreturn]] void fail(const QString &msg)
{
    std::fprintf(stderr, "iconrender: %s\n", qPrintable(msg));
    std::exit(1);
}

[[noreturn]] void usage()
{
    std::fprintf(stderr,
        "usage:\n"
        "  iconrender icon   <in.svg> <out.png> <size>\n"
        "  iconrender cursor <in.svg> <out.png>\n"
        "  iconrender ico    <in.svg> <out.ico>\n"
        "  iconrender bmp    <in.svg> <out.bmp> <width> <height>\n");
    std::exit(2);
}

int parseSize(const QString &text, const char *what)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 1 || v > 4096)
        fail(QStringLiteral("invalid %1 '%2'").arg(QLatin1String(what), text));
    return v;
}

void loadSvg(QSvgRenderer &renderer, const QString &path)
{
    QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile())
        fail(QStringLiteral("input file not found: %1").arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    const QByteArray data = f.readAll();
    g_svgWarnings = 0;
    if (!renderer.load(data) || !renderer.isValid())
        fail(QStringLiteral("not a valid SVG document: %1").arg(path));
    if (g_svgWarnings)
        fail(QStringLiteral("the SVG renderer reported problems with %1").arg(path));
    if (renderer.viewBoxF().isEmpty())
        fail(QStringLiteral("SVG has an empty view box: %1").arg(path));
}

// Draws the SVG centred in target, keeping its aspect ratio.
void paintSvg(QPainter &p, QSvgRenderer &renderer, const QRectF &target)
{
    const QSizeF vb = renderer.viewBoxF().size();
    QSizeF s = vb.scaled(target.size(), Qt::KeepAspectRatio);
    QRectF r(QPointF(0, 0), s);
    r.moveCenter(target.center());
    renderer.render(&p, r);
    if (g_svgWarnings)
        fail(QStringLiteral("rendering produced warnings"));
}

QImage renderImage(QSvgRenderer &renderer, int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    paintSvg(p, renderer, QRectF(0, 0, w, h));
    p.end();
    return img;
}

void writeImage(const QImage &img, const QString &path, const char *format)
{
    QImageWriter writer(path, format);
    if (!writer.write(img))
        fail(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()));
}

void writeBytes(const QByteArray &bytes, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
}

// Cursor layout: the application puts the hot spot in the image centre
// (16,16), so a one-pixel crosshair crosses exactly there; a white rim keeps
// it visible on dark canvases. The tool symbol sits in the lower-right
// quadrant with a soft light halo for the same reason.
QImage renderCursor(QSvgRenderer &renderer)
{
    const int size = 32;
    const int c = size / 2; // hot spot
    const int arm = 7; // crosshair half length
    const int symOrigin = c + 1; // symbol box starts just right/below the rim
    const int symSize = size - symOrigin;

    QImage symbol = renderImage(renderer, symSize, symSize);

    // Halo: alpha dilated by one pixel, in white.
    QImage halo(symSize, symSize, QImage::Format_ARGB32_Premultiplied);
    halo.fill(Qt::transparent);
    for (int y = 0; y < symSize; ++y) {
        for (int x = 0; x < symSize; ++x) {
            int a = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx >= 0 && yy >= 0 && xx < symSize && yy < symSize)
                        a = qMax(a, qAlpha(symbol.pixel(xx, yy)));
                }
            a = a * 200 / 255;
            halo.setPixel(x, y, qRgba(a, a, a, a)); // premultiplied white
        }
    }

    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.drawImage(symOrigin, symOrigin, halo);
    p.drawImage(symOrigin, symOrigin, symbol);

    // Crosshair, pixel exact (no antialiasing).
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor rim(255, 255, 255, 230);
    p.fillRect(QRect(c - arm - 1, c - 1, 2 * arm + 3, 3), rim);
    p.fillRect(QRect(c - 1, c - arm - 1, 3, 2 * arm + 3), rim);
    const QColor ink(0, 0, 0);
    p.fillRect(QRect(c - arm, c, 2 * arm + 1, 1), ink);
    p.fillRect(QRect(c, c - arm, 1, 2 * arm + 1), ink);
    p.end();
    return img;
}

// ICO container with several sizes (Qt's own ico writer stores just one
// image). Small entries are 32-bit DIBs, readable everywhere; the 256 px
// entry is PNG, as is customary.
QByteArray buildIco(QSvgRenderer &renderer)
{
    const int sizes[] = {16, 24, 32, 48, 256};
    std::vector<QByteArray> payloads;
    for (int s : sizes) {
        const QImage img = renderImage(renderer, s, s).convertToFormat(QImage::Format_ARGB32);
        QByteArray data;
        if (s >= 256) {
            QBuffer buf(&data);
            buf.open(QIODevice::WriteOnly);
            if (!img.save(&buf, "PNG"))
                fail(QStringLiteral("PNG encoding failed"));
        } else {
            const int maskStride = ((s + 31) / 32) * 4;
            QByteArray dib(40, '\0');
            uchar *h = reinterpret_cast<uchar *>(dib.data());
            qToLittleEndian<quint32>(40, h); // header size
            qToLittleEndian<qint32>(s, h + 4); // width
            qToLittleEndian<qint32>(2 * s, h + 8); // height: colour + mask
            qToLittleEndian<quint16>(1, h + 12); // planes
            qToLittleEndian<quint16>(32, h + 14); // bits per pixel
            qToLittleEndian<quint32>(s * s * 4 + s * maskStride, h + 20);
            data = dib;
            for (int y = s - 1; y >= 0; --y) { // bottom-up rows
                const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
                for (int x = 0; x < s; ++x) {
                    const char px[4]
                        = {char(qBlue(line[x])), char(qGreen(line[x])), char(qRed(line[x])), char(qAlpha(line[x]))};
                    data.append(px, 4);
                }
            }
            // AND mask: all opaque, alpha channel does the work.
            data.append(QByteArray(s * maskStride, '\0'));
        }
        payloads.push_back(data);
    }

    const int count = int(payloads.size());
    QByteArray out(6 + 16 * count, '\0');
    uchar *d = reinterpret_cast<uchar *>(out.data());
    qToLittleEndian<quint16>(0, d);
    qToLittleEndian<quint16>(1, d + 2); // type: icon
    qToLittleEndian<quint16>(quint16(count), d + 4);
    quint32 offset = quint32(out.size());
    for (int i = 0; i < count; ++i) {
        uchar *e = d + 6 + 16 * i;
        const int s = sizes[i];
        e[0] = uchar(s >= 256 ? 0 : s);
        e[1] = uchar(s >= 256 ? 0 : s);
        e[2] = 0; // no palette
        e[3] = 0;
        qToLittleEndian<quint16>(1, e + 4); // planes
        qToLittleEndian<quint16>(32, e + 6); // bpp
        qToLittleEndian<quint32>(quint32(payloads[i].size()), e + 8);
        qToLittleEndian<quint32>(offset, e + 12);
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray &p : payloads)
        out.append(p);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_previousHandler = qInstallMessageHandler(messageHandler);
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() < 4)
        usage();
    const QString mode = args.at(1);
    const QString in = args.at(2);
    const QString out = args.at(3);

    QSvgRenderer renderer;
    if (mode == QLatin1String("icon")) {
        if (args.size() != 5)
            usage();
        const int size = parseSize(args.at(4), "size");
        loadSvg(renderer, in);
        writeImage(renderImage(renderer, size, size), out, "png");
    } else if (mode == QLatin1String("cursor")) {
        if (args.size() != 4)
            usage();
        loadSvg(renderer, in);
        writeImage(renderCursor(renderer), out, "png");
    } else if (mode == QLatin1String("ico")) {
        if (args.size() != 4)
            usage();
        loadSvg(renderer, in);
        writeBytes(buildIco(renderer), out);
    } else if (mode == QLatin1String("bmp")) {
        if (args.size() != 6)
            usage();
        const int w = parseSize(args.at(4), "width");
        const int h = parseSize(args.at(5), "height");
        loadSvg(renderer, in);
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        paintSvg(p, renderer, QRectF(0, 0, w, h));
        p.end();
        writeImage(img, out, "bmp");
    } else {
        usage();
    }
    return 0;
}
