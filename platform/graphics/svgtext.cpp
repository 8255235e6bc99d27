#include "svgtext.h"

#include <QIODevice>
#include <QString>
#include <QTemporaryFile>
#include <cmath>

namespace {

// Large enough that writing a full buffer costs little next to filling it, and that the
// drawing of a small graph never needs the scratch file.
constexpr int Capacity = 1024 * 1024;

// Exact in binary, so that a product with one of them is rounded only once.
constexpr double PowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
// 1e-4 to 1e5: the decades that six significant digits show without an exponent. Each of the
// negative powers is the double just above the exact value, so comparing with them finds the
// decade exactly.
constexpr double Decades[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5};
constexpr int SmallestDecade = -4;

char *writeDigits(char *out, quint64 value)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value);
    while (n)
        *out++ = digits[--n];
    return out;
}

// The six digits of `significand`, the first of them at the decade `exponent` (below 6),
// with the point placed and the trailing zeros of the fraction left out.
char *writeFixed(char *out, quint32 significand, int exponent, bool negative)
{
    char digits[6];
    for (int i = 5; i >= 0; --i) {
        digits[i] = char('0' + significand % 10);
        significand /= 10;
    }
    int last = 5;
    while (last > std::max(exponent, 0) && digits[last] == '0')
        --last;
    if (negative)
        *out++ = '-';
    if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *out++ = digits[i];
        if (last > exponent) {
            *out++ = '.';
            for (int i = exponent + 1; i <= last; ++i)
                *out++ = digits[i];
        }
        return out;
    }
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > exponent; --i)
        *out++ = '0';
    for (int i = 0; i <= last; ++i)
        *out++ = digits[i];
    return out;
}

// A fraction of magnitude `magnitude`, from 1e-4 to below 1e6, rounded to six significant
// digits; null when the rounding is too close to call or the result needs an exponent.
char *writeFraction(char *out, double magnitude, bool negative)
{
    int exponent = 5;
    while (magnitude < Decades[exponent - SmallestDecade])
        --exponent;
    const double scaled = magnitude * PowersOfTen[5 - exponent];
    const quint32 whole = quint32(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= 1e-9)
        return nullptr;
    quint32 significand = whole + (fraction > 0.5 ? 1 : 0);
    if (significand == 1000000) {
        significand = 100000;
        ++exponent;
    }
    if (exponent >= 6)
        return nullptr;
    return writeFixed(out, significand, exponent, negative);
}

// The common cases: coordinates, sizes and factors from 1e-4 to below 1e6, where six
// significant digits need no exponent. Qt rounds the exact binary value to six digits,
// halves away from zero; the product in writeFraction() is that value scaled to six digits
// before the point, off by far less than 1e-9, so its rounding only differs from Qt's when
// it lies that close to a half. Those values, and everything else, give null: Qt writes them.
char *formatPlainNumber(char *out, double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude < 1e6)) // not a number either
        return nullptr;
    if (magnitude == 0) {
        *out++ = '0'; // Qt writes -0 as 0 too
        return out;
    }
    // Below 1e6 a conversion to an integer gives the whole part exactly, more cheaply than
    // floor() does.
    const quint64 integer = quint64(magnitude);
    if (double(integer) == magnitude) {
        if (value < 0)
            *out++ = '-';
        return writeDigits(out, integer);
    }
    if (magnitude < Decades[0])
        return nullptr;
    return writeFraction(out, magnitude, value < 0);
}

template<bool Escape> char *encodeAscii(char *out, ushort u)
{
    if (Escape && (u == '<' || u == '>' || u == '&' || u == '"')) {
        const char *entity = u == '<' ? "&lt;" : u == '>' ? "&gt;" : u == '&' ? "&amp;" : "&quot;";
        while (*entity)
            *out++ = *entity++;
    } else {
        *out++ = char(u);
    }
    return out;
}

// One UTF-16 code unit at `p` (two for a surrogate pair) as UTF-8 at `out`; advances `p`
// and returns the end of what was written, at most six bytes.
template<bool Escape> char *encodeUnit(char *out, const ushort *&p, const ushort *end)
{
    const ushort u = *p++;
    if (u < 0x80) {
        out = encodeAscii<Escape>(out, u);
    } else if (u < 0x800) {
        *out++ = char(0xc0 | (u >> 6));
        *out++ = char(0x80 | (u & 0x3f));
    } else if (QChar::isHighSurrogate(u) && p < end && QChar::isLowSurrogate(*p)) {
        const uint c = QChar::surrogateToUcs4(u, *p++);
        *out++ = char(0xf0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3f));
        *out++ = char(0x80 | ((c >> 6) & 0x3f));
        *out++ = char(0x80 | (c & 0x3f));
    } else if (QChar::isSurrogate(u)) {
        *out++ = '?';
    } else {
        *out++ = char(0xe0 | (u >> 12));
        *out++ = char(0x80 | ((u >> 6) & 0x3f));
        *out++ = char(0x80 | (u & 0x3f));
    }
    return out;
}

} // namespace

SvgText::SvgText() = default;

SvgText::~SvgText() = default;

void SvgText::clear()
{
    m_pos = m_buffer.get();
    m_scratch.reset();
    m_failed = false;
}

char *SvgText::formatNumber(char *out, double value)
{
    if (char *const done = formatPlainNumber(out, value))
        return done;
    const QByteArray text = QString::number(value, 'g', 6).toLatin1();
    std::memcpy(out, text.constData(), size_t(text.size()));
    return out + text.size();
}

void SvgText::appendInt(qint64 value)
{
    if (m_end - m_pos < MaxNumberSize)
        spill();
    if (value < 0) {
        *m_pos++ = '-';
        m_pos = writeDigits(m_pos, quint64(0) - quint64(value));
    } else {
        m_pos = writeDigits(m_pos, quint64(value));
    }
}

void SvgText::appendHex(int red, int green, int blue)
{
    static const char hex[] = "0123456789abcdef";
    if (m_end - m_pos < 6)
        spill();
    char *out = m_pos;
    for (const int c : {red, green, blue}) {
        *out++ = hex[(c >> 4) & 0xf];
        *out++ = hex[c & 0xf];
    }
    m_pos = out;
}

void SvgText::appendUtf8(const QString &text)
{
    appendText<false>(text);
}

void SvgText::appendEscaped(const QString &text)
{
    appendText<true>(text);
}

template<bool Escape> void SvgText::appendText(const QString &text)
{
    const ushort *p = text.utf16();
    const ushort *const end = p + text.size();
    while (p < end) {
        if (m_end - m_pos < 8)
            spill();
        char *out = m_pos;
        // Up to the end of the buffer, leaving room for the longest piece one character makes.
        const ushort *stop = p + std::min<qint64>(end - p, (m_end - out - 8) / 6 + 1);
        while (p < stop)
            out = encodeUnit<Escape>(out, p, end);
        m_pos = out;
    }
}

void SvgText::spill()
{
    // The buffer comes with the first text: most drawings have no definitions.
    if (!m_buffer) {
        m_buffer.reset(new char[Capacity]);
        m_pos = m_buffer.get();
        m_end = m_pos + Capacity;
        return;
    }
    const qint64 size = m_pos - m_buffer.get();
    m_pos = m_buffer.get();
    if (size > 0)
        writeScratch(m_buffer.get(), size);
}

void SvgText::writeScratch(const char *data, qint64 size)
{
    if (m_failed)
        return;
    if (!m_scratch) {
        m_scratch = std::make_unique<QTemporaryFile>();
        if (!m_scratch->open()) {
            m_failed = true;
            return;
        }
    }
    m_failed = m_scratch->write(data, size) != size;
}

void SvgText::appendLong(const char *text, qint64 size)
{
    spill();
    if (size > Capacity) {
        writeScratch(text, size);
        return;
    }
    std::memcpy(m_pos, text, size_t(size));
    m_pos += size;
}

bool SvgText::copyTo(QIODevice *device)
{
    const bool copied = copy(device);
    m_buffer.reset();
    m_pos = m_end = nullptr;
    m_scratch.reset();
    m_failed = false;
    return copied;
}

bool SvgText::copy(QIODevice *device)
{
    if (!m_buffer)
        return true;
    if (!m_scratch) {
        const qint64 size = m_pos - m_buffer.get();
        return !m_failed && device->write(m_buffer.get(), size) == size;
    }
    // The buffer is free once spilled; it carries the scratch file's text over in pieces.
    spill();
    if (m_failed || !m_scratch->seek(0))
        return false;
    for (;;) {
        const qint64 size = m_scratch->read(m_buffer.get(), Capacity);
        if (size < 0)
            return false;
        if (size == 0)
            return true;
        if (device->write(m_buffer.get(), size) != size)
            return false;
    }
}
