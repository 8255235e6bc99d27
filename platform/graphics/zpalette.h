#ifndef ZPALETTE_H
#define ZPALETTE_H

#include <QColor>
#include <QString>

// The colour palette of a project: items store palette indices, not colours, so that a
// project can restyle every graph by editing one file ("mmicolor.dat", see docs/palette.md).

// One palette entry. `flags` is reserved: written as 0 and carried along unchanged.
struct RGB_COLOR
{
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    unsigned char flags;
};

constexpr int ZPaletteMaxColours = 256;
// Index of the default pen colour of new items (10 kV in the default palette).
constexpr int ZPaletteDefaultPen = 10;

// A loaded palette. Always allocated with malloc() and released with free(); only the
// first `count` entries are meaningful, the rest are zero.
struct ZPalette
{
    int count;
    RGB_COLOR entries[ZPaletteMaxColours];
};

// The palette of the open project, null until one has been loaded.
extern ZPalette *MainPalette;

// Reads a palette file. On success returns non-zero, frees the palette *palette pointed to
// (if any) and replaces it with the new one, sets *colours to a malloc'd copy of the entries
// (the old pointer is overwritten, not freed: it belongs to the caller) and *count to their
// number; colours and count may be null when not wanted. A missing, short, corrupt or
// foreign file returns 0 and changes nothing.
int CreateColorPalette1(const QString &file, ZPalette **palette, RGB_COLOR **colours, int *count);

// The colour of a palette index in MainPalette. -1 ("no colour", the unset background)
// gives an invalid QColor, which items take as "no fill". Without a loaded palette the
// built-in default table answers; any other index outside the palette gives white.
QColor MyPALETTEINDEX(int index);

// The same lookup in a given palette (null: the built-in default table).
QColor paletteColour(const ZPalette *palette, int index);

// The built-in default palette as a new malloc'd ZPalette (the caller frees it).
ZPalette *createDefaultPalette();

// Writes a palette file with the given entries (1 to ZPaletteMaxColours), replacing it.
// Returns false on a bad count or when the file cannot be written.
bool writePalette(const QString &file, const RGB_COLOR *colours, int count);
// Writes the built-in default palette to `file`, replacing it. Returns false on failure.
bool writeDefaultPalette(const QString &file);
// Writes the default palette only when `file` does not exist yet. True if the file exists
// afterwards (whether written now or before).
bool ensureDefaultPalette(const QString &file);

// The palette file of the current project folder.
QString paletteFilePath();

#endif
