// The palette reader on any bytes: a palette it accepts has 1 to 256 entries and colours
// every index, and a file it refuses changes nothing.
#include "fuzzsupport.h"
#include "zcolorbar.h"
#include "zpalette.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::ensureApplication();
    const QString path = FuzzSupport::writeTemporary(
        QStringLiteral("mmicolor.dat"), QByteArray(reinterpret_cast<const char *>(data), int(size)));
    ZPalette *palette = nullptr;
    RGB_COLOR *colours = nullptr;
    int count = -1;
    if (!CreateColorPalette1(path, &palette, &colours, &count)) {
        if (palette || colours || count != -1)
            FuzzSupport::fail("a refused palette changed the caller's values");
        return 0;
    }
    if (!palette || !colours || count < 1 || count > 256 || palette->count != count)
        FuzzSupport::fail("an accepted palette is out of range");
    for (int index = -1; index <= 256; ++index)
        paletteColour(palette, index);
    ZColorBar bar(nullptr);
    bar.SetPara(QStringList{QStringLiteral("前景色"), QStringLiteral("背景色")}, palette, 1);
    std::free(colours);
    std::free(palette);
    return 0;
}
