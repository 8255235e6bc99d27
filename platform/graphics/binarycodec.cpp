#include "binarycodec.h"

#include <QtEndian>
#include <array>
#include <cmath>
#include <cstring>

namespace {
// Limits that no real drawing comes near; beyond them the input is damaged.
constexpr quint32 MaxStringBytes = 1 << 20;
constexpr double MaxFontPoints = 2000.0;
} // namespace

void BinaryWriter::u32(quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    m_out.append(b, 4);
}

void BinaryWriter::patchU32(int at, quint32 v)
{
    qToBigEndian(v, m_out.data() + at);
}

void BinaryWriter::f64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToBigEndian(bits, b);
    m_out.append(b, 8);
}

void BinaryWriter::point(const QPointF &p)
{
    f64(p.x());
    f64(p.y());
}

void BinaryWriter::rect(const QRectF &r)
{
    f64(r.x());
    f64(r.y());
    f64(r.width());
    f64(r.height());
}

void BinaryWriter::string(const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    u32(quint32(utf8.size()));
    m_out.append(utf8);
}

void BinaryWriter::color(const QColor &c)
{
    if (!c.isValid()) {
        u8(0);
        return;
    }
    u8(1);
    const QRgb rgb = c.rgba();
    u8(quint8(qRed(rgb)));
    u8(quint8(qGreen(rgb)));
    u8(quint8(qBlue(rgb)));
    u8(quint8(qAlpha(rgb)));
}

void BinaryWriter::font(const QFont &f)
{
    string(f.family());
    f64(f.pointSizeF());
    i32(f.weight());
    u8(quint8((f.italic() ? 1 : 0) | (f.underline() ? 2 : 0) | (f.strikeOut() ? 4 : 0) | (f.kerning() ? 8 : 0)));
}

void BinaryWriter::polygon(const QPolygonF &p)
{
    u32(quint32(p.size()));
    for (const QPointF &pt : p)
        point(pt);
}

bool BinaryReader::take(int n)
{
    if (!m_ok || n < 0 || m_end - m_pos < n) {
        m_ok = false;
        return false;
    }
    return true;
}

quint8 BinaryReader::u8()
{
    if (!take(1))
        return 0;
    return quint8(*m_pos++);
}

quint32 BinaryReader::u32()
{
    if (!take(4))
        return 0;
    const quint32 v = qFromBigEndian<quint32>(m_pos);
    m_pos += 4;
    return v;
}

double BinaryReader::f64()
{
    if (!take(8))
        return 0;
    const quint64 bits = qFromBigEndian<quint64>(m_pos);
    m_pos += 8;
    double v;
    std::memcpy(&v, &bits, 8);
    // Coordinates are finite; NaN or infinity can only come from damage.
    if (!std::isfinite(v)) {
        m_ok = false;
        return 0;
    }
    return v;
}

QPointF BinaryReader::point()
{
    const double x = f64();
    const double y = f64();
    return QPointF(x, y);
}

QRectF BinaryReader::rect()
{
    const double x = f64();
    const double y = f64();
    const double w = f64();
    const double h = f64();
    return QRectF(x, y, w, h);
}

QString BinaryReader::string()
{
    const quint32 n = u32();
    if (n > MaxStringBytes || !take(int(n))) {
        m_ok = false;
        return QString();
    }
    const QString s = QString::fromUtf8(m_pos, int(n));
    m_pos += n;
    return s;
}

QColor BinaryReader::color()
{
    const quint8 valid = u8();
    if (valid == 0)
        return QColor();
    if (valid != 1) {
        m_ok = false;
        return QColor();
    }
    const quint8 r = u8();
    const quint8 g = u8();
    const quint8 b = u8();
    const quint8 a = u8();
    return QColor(r, g, b, a);
}

QFont BinaryReader::font()
{
    QFont f;
    f.setFamily(string());
    const double points = f64();
    const qint32 weight = i32();
    const quint8 style = u8();
    if (points <= 0 || points > MaxFontPoints || weight < 0 || weight > 99 || style > 15) {
        m_ok = false;
        return QFont();
    }
    f.setPointSizeF(points);
    f.setWeight(weight);
    f.setItalic(style & 1);
    f.setUnderline(style & 2);
    f.setStrikeOut(style & 4);
    f.setKerning(style & 8);
    return f;
}

QPolygonF BinaryReader::polygon()
{
    const quint32 n = u32();
    // Each point takes 16 bytes: a count beyond what remains is damage, not a reason to allocate.
    if (n > quint32(remaining() / 16)) {
        m_ok = false;
        return QPolygonF();
    }
    QPolygonF p;
    p.reserve(int(n));
    for (quint32 i = 0; i < n && m_ok; ++i)
        p << point();
    return p;
}

BinaryReader BinaryReader::sub(quint32 size)
{
    if (size > quint32(remaining()) || !m_ok) {
        m_ok = false;
        return BinaryReader(m_pos, 0);
    }
    BinaryReader r(m_pos, int(size));
    m_pos += size;
    return r;
}

quint32 crc32(const char *data, int size)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}
