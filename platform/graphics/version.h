#ifndef VERSION_H
#define VERSION_H

#include <QString>

class Version
{
public:
    // Format versions are whole numbers; their text is "major.minor" with minor 0,
    // so that the SVG export's tool version (13.1) and the file version read alike.
    static QString VersionToString(unsigned version);
};

#endif
