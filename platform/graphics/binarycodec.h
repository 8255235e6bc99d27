#ifndef BINARYCODEC_H
#define BINARYCODEC_H

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QString>

// Big-endian writer of the document format's primitives.
class BinaryWriter
{
public:
    explicit BinaryWriter(QByteArray &out)
        : m_out(out)
    { }

    void u8(quint8 v) { m_out.append(char(v)); }
    void u32(quint32 v);
    void i32(qint32 v) { u32(quint32(v)); }
    void f64(double v);
    void point(const QPointF &p);
    void rect(const QRectF &r);
    void string(const QString &s);
    void color(const QColor &c);
    void font(const QFont &f);
    void polygon(const QPolygonF &p);
    void bytes(const QByteArray &b) { m_out.append(b); }
    int size() const { return m_out.size(); }
    // Overwrites four bytes written earlier (a length known only afterwards).
    void patchU32(int at, quint32 v);

private:
    QByteArray &m_out;
};

// Reader of the same primitives over a bounded buffer. Every read checks the bytes that
// remain, so damaged input can neither overrun the buffer nor make us allocate more than
// the input holds; after the first failure ok() stays false and reads return zeros.
class BinaryReader
{
public:
    BinaryReader(const char *data, int size)
        : m_end(data + size)
        , m_pos(data)
    { }

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    int remaining() const { return int(m_end - m_pos); }
    const char *position() const { return m_pos; }
    bool atEnd() const { return m_pos == m_end; }

    quint8 u8();
    quint32 u32();
    qint32 i32() { return qint32(u32()); }
    double f64();
    QPointF point();
    QRectF rect();
    QString string();
    QColor color();
    QFont font();
    QPolygonF polygon();
    // A sub-reader over the next `size` bytes, which this reader skips.
    BinaryReader sub(quint32 size);

private:
    bool take(int n);

    const char *m_end;
    const char *m_pos;
    bool m_ok = true;
};

// CRC-32 (the common polynomial 0xEDB88320) of a block.
quint32 crc32(const char *data, int size);

#endif
