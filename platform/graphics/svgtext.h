#ifndef SVGTEXT_H
#define SVGTEXT_H

#include <QtGlobal>
#include <cstring>
#include <memory>

class QIODevice;
class QString;
class QTemporaryFile;

// UTF-8 text of one part of an SVG file, appended piece by piece. It is held in a buffer of
// fixed size that goes to a scratch file whenever it fills, so a drawing of any size takes
// the same memory. Numbers come out as Qt's text streams write a double (six significant
// digits, 'g' format, C locale), digit for digit, at a fraction of their cost.
class SvgText
{
public:
    SvgText();
    ~SvgText();
    SvgText(const SvgText &) = delete;
    SvgText &operator=(const SvgText &) = delete;

    // Forgets everything appended so far, and an earlier failure.
    void clear();

    void append(const char *text, int size)
    {
        if (size >= m_end - m_pos) {
            appendLong(text, size);
            return;
        }
        std::memcpy(m_pos, text, size_t(size));
        m_pos += size;
    }
    template<int N> void append(const char (&literal)[N]) { append(literal, N - 1); }
    void appendString(const char *text) { append(text, int(std::strlen(text))); }
    void append(char c)
    {
        if (m_pos == m_end)
            spill();
        *m_pos++ = c;
    }
    void appendNumber(double value)
    {
        if (m_end - m_pos < MaxNumberSize)
            spill();
        m_pos = formatNumber(m_pos, value);
    }
    void appendInt(qint64 value);
    // "rrggbb" in lower case, and with the '#' of a colour.
    void appendHex(int red, int green, int blue);
    void appendRgb(int red, int green, int blue)
    {
        append('#');
        appendHex(red, green, blue);
    }
    // Unpaired surrogates become '?', as in QString::toUtf8().
    void appendUtf8(const QString &text);
    // As QString::toHtmlEscaped() and then UTF-8.
    void appendEscaped(const QString &text);

    // Everything appended since clear(), written to `device`; the text is empty afterwards
    // and its memory and scratch file are given back. False when the scratch file or the
    // device failed.
    bool copyTo(QIODevice *device);

private:
    // `value` as a QTextStream or QString::number(value) writes it; returns the end. `out`
    // needs room for MaxNumberSize characters.
    static char *formatNumber(char *out, double value);
    static constexpr int MaxNumberSize = 32;

    void spill();
    void writeScratch(const char *data, qint64 size);
    void appendLong(const char *text, qint64 size);
    bool copy(QIODevice *device);
    template<bool Escape> void appendText(const QString &text);

    std::unique_ptr<char[]> m_buffer;
    char *m_pos = nullptr;
    char *m_end = nullptr;
    // Created at the first spill; small texts never touch the disk.
    std::unique_ptr<QTemporaryFile> m_scratch;
    bool m_failed = false;
};

#endif
