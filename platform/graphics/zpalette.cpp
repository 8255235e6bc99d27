#include "zpalette.h"

#include "abstractgraphicsutility.h"
#include "safefile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstdlib>
#include <cstring>

ZPalette *MainPalette = nullptr;

namespace {

// File layout (docs/palette.md): magic, version, count, entries, CRC-32; little-endian.
const char Magic[4] = {'P', 'W', 'P', 'L'};
constexpr quint16 FormatVersion = 1;
constexpr int HeaderSize = 8;
constexpr int EntrySize = 4;
constexpr int ChecksumSize = 4;
constexpr int MinFileSize = HeaderSize + EntrySize + ChecksumSize;
constexpr int MaxFileSize = HeaderSize + EntrySize * ZPaletteMaxColours + ChecksumSize;

// Black, white, the voltage levels from high to low (so that 10 kV lands on index 10, the
// default pen), then the 16 standard colours. Names and sources are in docs/palette.md.
const RGB_COLOR DefaultTable[] = {
    {0, 0, 0, 0}, // 0  黑
    {255, 255, 255, 0}, // 1  白
    {0, 0, 255, 0}, // 2  1000 kV 蓝
    {250, 128, 10, 0}, // 3  750 kV 橙
    {250, 0, 0, 0}, // 4  500 kV 红
    {255, 255, 255, 0}, // 5  330 kV 白
    {128, 0, 128, 0}, // 6  220 kV 紫
    {240, 65, 85, 0}, // 7  110 kV 朱红
    {255, 204, 0, 0}, // 8  66 kV 橙黄
    {255, 255, 0, 0}, // 9  35 kV 鲜黄
    {185, 72, 66, 0}, // 10 10 kV 绛红
    {0, 0, 139, 0}, // 11 6 kV 深蓝
    {204, 153, 51, 0}, // 12 380 V 黄褐
    {0, 0, 0, 0}, // 13 black
    {128, 0, 0, 0}, // 14 maroon
    {0, 128, 0, 0}, // 15 green
    {128, 128, 0, 0}, // 16 olive
    {0, 0, 128, 0}, // 17 navy
    {128, 0, 128, 0}, // 18 purple
    {0, 128, 128, 0}, // 19 teal
    {192, 192, 192, 0}, // 20 silver
    {128, 128, 128, 0}, // 21 gray
    {255, 0, 0, 0}, // 22 red
    {0, 255, 0, 0}, // 23 lime
    {255, 255, 0, 0}, // 24 yellow
    {0, 0, 255, 0}, // 25 blue
    {255, 0, 255, 0}, // 26 fuchsia
    {0, 255, 255, 0}, // 27 aqua
    {255, 255, 255, 0}, // 28 white
};
constexpr int DefaultCount = int(sizeof(DefaultTable) / sizeof(DefaultTable[0]));
static_assert(DefaultCount <= ZPaletteMaxColours, "default palette too large");

// CRC-32 as zlib computes it (reflected polynomial 0xEDB88320), so that the file can be
// checked with common tools. The file is at most about 1 KiB: a bitwise loop is enough.
quint32 crc32(const char *data, int size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= quint8(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray encode(const RGB_COLOR *colours, int count)
{
    QByteArray bytes(HeaderSize + EntrySize * count + ChecksumSize, '\0');
    char *p = bytes.data();
    std::memcpy(p, Magic, sizeof(Magic));
    qToLittleEndian<quint16>(FormatVersion, p + 4);
    qToLittleEndian<quint16>(quint16(count), p + 6);
    for (int i = 0; i < count; ++i) {
        char *e = p + HeaderSize + std::ptrdiff_t(EntrySize) * i;
        e[0] = char(colours[i].red);
        e[1] = char(colours[i].green);
        e[2] = char(colours[i].blue);
        e[3] = char(colours[i].flags);
    }
    const int body = HeaderSize + EntrySize * count;
    qToLittleEndian<quint32>(crc32(p, body), p + body);
    return bytes;
}

// The entry count of a well-formed palette file, or 0 if anything about it is wrong.
int validatedCount(const QByteArray &bytes)
{
    if (bytes.size() < MinFileSize || bytes.size() > MaxFileSize)
        return 0;
    const char *p = bytes.constData();
    if (std::memcmp(p, Magic, sizeof(Magic)) != 0)
        return 0;
    if (qFromLittleEndian<quint16>(p + 4) != FormatVersion)
        return 0;
    const int count = qFromLittleEndian<quint16>(p + 6);
    if (count < 1 || count > ZPaletteMaxColours)
        return 0;
    const int body = HeaderSize + EntrySize * count;
    if (bytes.size() != body + ChecksumSize)
        return 0;
    if (qFromLittleEndian<quint32>(p + body) != crc32(p, body))
        return 0;
    return count;
}

ZPalette *allocatePalette(const RGB_COLOR *colours, int count)
{
    auto *palette = static_cast<ZPalette *>(std::calloc(1, sizeof(ZPalette)));
    if (!palette)
        return nullptr;
    palette->count = count;
    std::memcpy(palette->entries, colours, sizeof(RGB_COLOR) * size_t(count));
    return palette;
}

} // namespace

int CreateColorPalette1(const QString &file, ZPalette **palette, RGB_COLOR **colours, int *count)
{
    if (!palette)
        return 0;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return 0;
    // One byte more than the largest valid file, so that a longer file is recognised
    // without reading all of it.
    const QByteArray bytes = in.read(MaxFileSize + 1);
    const int n = validatedCount(bytes);
    if (n == 0)
        return 0;

    RGB_COLOR entries[ZPaletteMaxColours];
    for (int i = 0; i < n; ++i) {
        const char *e = bytes.constData() + HeaderSize + std::ptrdiff_t(EntrySize) * i;
        entries[i] = {quint8(e[0]), quint8(e[1]), quint8(e[2]), quint8(e[3])};
    }
    ZPalette *created = allocatePalette(entries, n);
    RGB_COLOR *copy = nullptr;
    if (created && colours) {
        copy = static_cast<RGB_COLOR *>(std::malloc(sizeof(RGB_COLOR) * size_t(n)));
        if (copy)
            std::memcpy(copy, entries, sizeof(RGB_COLOR) * size_t(n));
    }
    if (!created || (colours && !copy)) {
        std::free(created);
        std::free(copy);
        return 0;
    }

    std::free(*palette);
    *palette = created;
    if (colours)
        *colours = copy;
    if (count)
        *count = n;
    return 1;
}

QColor paletteColour(const ZPalette *palette, int index)
{
    if (index == -1)
        return QColor();
    const RGB_COLOR *entries = palette ? palette->entries : DefaultTable;
    const int count = palette ? palette->count : DefaultCount;
    if (index < 0 || index >= count)
        return QColor(Qt::white);
    const RGB_COLOR &c = entries[index];
    return QColor(c.red, c.green, c.blue);
}

QColor MyPALETTEINDEX(int index)
{
    return paletteColour(MainPalette, index);
}

ZPalette *createDefaultPalette()
{
    return allocatePalette(DefaultTable, DefaultCount);
}

bool writePalette(const QString &file, const RGB_COLOR *colours, int count)
{
    if (!colours || count < 1 || count > ZPaletteMaxColours)
        return false;
    // Written whole or not at all: a half-written palette would recolour every graph.
    return SafeFile::replace(file, encode(colours, count));
}

bool writeDefaultPalette(const QString &file)
{
    return writePalette(file, DefaultTable, DefaultCount);
}

bool ensureDefaultPalette(const QString &file)
{
    if (QFileInfo::exists(file))
        return true;
    return writeDefaultPalette(file);
}

QString paletteFilePath()
{
    return AbstractGraphicsUtility::projectDir() + QStringLiteral("mmicolor.dat");
}
