#include "pictureitem.h"

#include "formatlimits.h"
#include "imagefile.h"
#include "itemkind.h"
#include "itempixmapcache.h"
#include "librarychoice.h"
#include "propertyattributes.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <memory>

// One loaded file: its pixels, or its SVG renderer, and its natural size. The file's time
// and size tell whether a cached copy is still the file on disk.
struct PictureSource
{
    QString path;
    QDateTime modified;
    qint64 bytes = 0;
    QImage image;
    std::unique_ptr<QSvgRenderer> svg;
    QSize naturalSize;
};

namespace {

// Index of each property in the tables of specifics(); the same for every picture kind.
enum
{
    FileIndex,
    KeepRatioIndex,
    PointIndex
};

QString symbolFilter()
{
    return QStringLiteral("图符文件(%1)")
        .arg(LibraryChoice::nameFilters(ItemKind::CustomSymbol).join(QLatin1Char(' ')));
}

bool isSvgFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("svg") || suffix == QLatin1String("svgz");
}

// The shared copy of a file, loaded on first use; null when the file cannot be read.
QSharedPointer<const PictureSource> loadSource(const QString &path, bool asSvg)
{
    // Entries die with the last item that shows them; the hash only remembers them weakly.
    static QHash<QString, QWeakPointer<const PictureSource>> loaded;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {};
    const QString key = (asSvg ? QStringLiteral("svg:") : QStringLiteral("image:")) + info.absoluteFilePath();
    const QSharedPointer<const PictureSource> known = loaded.value(key).toStrongRef();
    if (known && known->modified == info.lastModified() && known->bytes == info.size())
        return known;

    auto source = QSharedPointer<PictureSource>::create();
    source->path = info.absoluteFilePath();
    source->modified = info.lastModified();
    source->bytes = info.size();
    if (asSvg) {
        source->svg = std::make_unique<QSvgRenderer>(info.absoluteFilePath());
        if (!source->svg->isValid())
            return {};
        source->naturalSize = source->svg->defaultSize();
    } else {
        // Only the first frame: an animation plays on the running screen, not in the editor.
        const QImage image = ImageFile::read(info.absoluteFilePath());
        if (image.isNull())
            return {};
        source->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        source->naturalSize = source->image.size();
    }
    for (auto it = loaded.begin(); it != loaded.end();) {
        if (it.value().isNull())
            it = loaded.erase(it);
        else
            ++it;
    }
    loaded.insert(key, source);
    return source;
}

// Placeholders in a unit box, built once and scaled to the item.
const QPainterPath &filmPlaceholder()
{
    static const QPainterPath path = [] {
        QPainterPath p;
        p.addRect(QRectF(0.05, 0.1, 0.9, 0.8));
        for (int i = 0; i < 6; ++i) {
            const double x = 0.1 + i * 0.14;
            p.addRect(QRectF(x, 0.15, 0.08, 0.1));
            p.addRect(QRectF(x, 0.75, 0.08, 0.1));
        }
        p.addRect(QRectF(0.15, 0.32, 0.7, 0.36));
        p.moveTo(0.43, 0.39);
        p.lineTo(0.6, 0.5);
        p.lineTo(0.43, 0.61);
        p.closeSubpath();
        return p;
    }();
    return path;
}

const QPainterPath &vectorPlaceholder()
{
    static const QPainterPath path = [] {
        QPainterPath p;
        p.addRect(QRectF(0.05, 0.05, 0.9, 0.9));
        p.moveTo(0.18, 0.78);
        p.cubicTo(0.3, 0.15, 0.7, 0.85, 0.82, 0.22);
        p.moveTo(0.18, 0.78);
        p.lineTo(0.3, 0.15);
        p.moveTo(0.82, 0.22);
        p.lineTo(0.7, 0.85);
        p.addRect(QRectF(0.14, 0.74, 0.08, 0.08));
        p.addRect(QRectF(0.78, 0.18, 0.08, 0.08));
        p.addEllipse(QPointF(0.3, 0.15), 0.03, 0.03);
        p.addEllipse(QPointF(0.7, 0.85), 0.03, 0.03);
        return p;
    }();
    return path;
}

const QPainterPath &picturePlaceholder()
{
    static const QPainterPath path = [] {
        QPainterPath p;
        p.addRect(QRectF(0.05, 0.1, 0.9, 0.8));
        p.addEllipse(QPointF(0.7, 0.32), 0.08, 0.08);
        p.moveTo(0.1, 0.82);
        p.lineTo(0.36, 0.45);
        p.lineTo(0.54, 0.68);
        p.lineTo(0.68, 0.55);
        p.lineTo(0.9, 0.82);
        return p;
    }();
    return path;
}

using SpecificProperties = QVector<GraphicsItem::SpecificProperty>;

const QString IdKeepRatio = QStringLiteral("保持比例");

// A picture kind's own properties: its file, whether it keeps the picture's proportions, and
// its point binding.
SpecificProperties fileProperties(const QString &label, const QString &filter, const QString &folder)
{
    return {
        {new Property(label, Property::Path, PropertyAttributes::file(filter, folder)), QString()},
        {new Property(IdKeepRatio, Property::Bool), false},
        {new Property(PropertyIds::PointBinding, Property::String), QString()},
    };
}

const SpecificProperties &animationProperties()
{
    static const SpecificProperties properties = fileProperties(
        QStringLiteral("图片文件"), QStringLiteral("GIF动画(*.gif)"), AbstractGraphicsUtility::bmpDir());
    return properties;
}

const SpecificProperties &svgProperties()
{
    static const SpecificProperties properties = fileProperties(
        QStringLiteral("SVG文件"), QStringLiteral("SVG文件(*.svg)"), AbstractGraphicsUtility::svgDir());
    return properties;
}

const SpecificProperties &symbolProperties()
{
    static const SpecificProperties properties
        = fileProperties(QStringLiteral("图符文件"), symbolFilter(), AbstractGraphicsUtility::symbolDir());
    return properties;
}

} // namespace

// One picture kind: its file property among the others, the folder its files live in, what
// it shows without a file, and whether its files are SVG drawings (a custom symbol's are
// when their suffix says so).
struct PictureItem::Row
{
    int type;
    const SpecificProperties &(*specifics)();
    QString (*folder)();
    const QPainterPath &(*placeholder)();
    enum Svg
    {
        Never,
        Always,
        BySuffix
    } svg;
};

namespace {

const PictureItem::Row PictureRows[] = {
    {ItemKind::Animation, &animationProperties, &AbstractGraphicsUtility::bmpDir, &filmPlaceholder,
        PictureItem::Row::Never},
    {ItemKind::SvgPicture, &svgProperties, &AbstractGraphicsUtility::svgDir, &vectorPlaceholder,
        PictureItem::Row::Always},
    {ItemKind::CustomSymbol, &symbolProperties, &AbstractGraphicsUtility::symbolDir, &picturePlaceholder,
        PictureItem::Row::BySuffix},
};

} // namespace

const PictureItem::Row &PictureItem::rowOf(int type)
{
    for (const Row &row : PictureRows) {
        if (row.type == type)
            return row;
    }
    // Not reached through the kind table; any other number is taken for a custom symbol.
    return PictureRows[2];
}

PictureItem::PictureItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{ }

PictureItem::~PictureItem() = default;

bool PictureItem::createFromPoints(
    const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene)
{
    if (!GraphicsItem::createFromPoints(defaults, press, release, scene))
        return false;
    // The library's current entry, by name: a relative file is found in the kind's folder.
    // A library kind with an empty folder has nothing to draw and refuses; the animation has
    // no library and shows its placeholder until a file is chosen in the properties.
    const QString entry = LibraryChoice::current(type());
    if (entry.isEmpty())
        return !LibraryChoice::hasLibrary(type());
    setSpecificValue(FileIndex, entry);
    return true;
}

const QVector<GraphicsItem::SpecificProperty> &PictureItem::specifics() const
{
    return m_row.specifics();
}

QString PictureItem::folder() const
{
    return m_row.folder();
}

QString PictureItem::resolvedPath() const
{
    const QString path = specificValue(FileIndex).toString();
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isRelative())
        return QDir::cleanPath(QDir(folder()).absoluteFilePath(path));
    return QDir::cleanPath(path);
}

bool PictureItem::isBroken() const
{
    return !m_source && !specificValue(FileIndex).toString().isEmpty();
}

void PictureItem::specificChanged(int index)
{
    if (index != FileIndex)
        return;
    const QString path = resolvedPath();
    m_source = loadSource(path, m_row.svg == Row::Always || (m_row.svg == Row::BySuffix && isSvgFile(path)));
}

bool PictureItem::isPerfectSizeEnable() const
{
    return m_source && !m_source->naturalSize.isEmpty();
}

QSize PictureItem::perfectSize() const
{
    if (!m_source)
        return QSize();
    // An SVG may claim any size; the item can only take a drawable one.
    const int most = int(FormatLimits::MaxCoordinate);
    return m_source->naturalSize.boundedTo(QSize(most, most));
}

QRectF PictureItem::pictureRect() const
{
    const QRectF r = rect().normalized();
    if (!m_source || !specificValue(KeepRatioIndex).toBool() || m_source->naturalSize.isEmpty())
        return r;
    const QSizeF size = QSizeF(m_source->naturalSize).scaled(r.size(), Qt::KeepAspectRatio);
    return QRectF(r.center().x() - size.width() / 2, r.center().y() - size.height() / 2, size.width(), size.height());
}

QString PictureItem::lookKey() const
{
    QString key;
    key.reserve(96);
    key.append(QLatin1String("picture"));
    const int data[] = {type(), int(hasFill()), int(isBroken()), specificValue(KeepRatioIndex).toBool()};
    ItemPixmapCache::append(key, data, sizeof(data));
    ItemPixmapCache::append(key, penColor());
    if (hasFill())
        ItemPixmapCache::append(key, brushColor());
    if (m_source) {
        // The file's time and size: a file changed on disk and loaded again gets a new look.
        const qint64 stamp[] = {m_source->modified.toMSecsSinceEpoch(), m_source->bytes};
        ItemPixmapCache::append(key, stamp, sizeof(stamp));
        key.append(m_source->path);
    }
    return key;
}

void PictureItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const QRectF r = rect().normalized();
    if (r.isEmpty())
        return;
    if (!ItemPixmapCache::usable(painter)) {
        drawPicture(painter);
        return;
    }
    ItemPixmapCache::paint(painter, r, lookKey(), [this](QPainter *p) { drawPicture(p); });
}

void PictureItem::drawPicture(QPainter *painter) const
{
    const QRectF r = rect().normalized();
    painter->save();
    if (hasFill())
        painter->fillRect(r, brush());
    if (m_source) {
        const QRectF target = pictureRect();
        if (m_source->svg) {
            m_source->svg->render(painter, target);
        } else {
            painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter->drawImage(target, m_source->image);
        }
    } else {
        drawPlaceholder(painter, r);
    }
    painter->restore();
}

void PictureItem::drawPlaceholder(QPainter *painter, const QRectF &r) const
{
    const double extent = qMin(r.width(), r.height());
    const QTransform toItem(r.width(), 0, 0, r.height(), r.left(), r.top());
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(penColor().isValid() ? penColor() : QColor(Qt::white), qMax(1.0, extent / 40)));
    painter->drawPath(toItem.map(m_row.placeholder()));
    if (isBroken()) {
        painter->setPen(QPen(QColor(230, 30, 30), qMax(1.0, extent / 25)));
        painter->drawLine(toItem.map(QPointF(0.1, 0.1)), toItem.map(QPointF(0.9, 0.9)));
        painter->drawLine(toItem.map(QPointF(0.9, 0.1)), toItem.map(QPointF(0.1, 0.9)));
    }
}
