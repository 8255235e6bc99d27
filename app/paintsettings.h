#ifndef PAINTSETTINGS_H
#define PAINTSETTINGS_H

class QSettings;
struct DrawingDefaults;

// The drawing defaults and the colour bar's two palette indexes as the user's settings keep
// them between runs.
namespace PaintSettings {

// Values that no drawing can hold (edited by hand, or by another version) are brought into
// range.
void read(QSettings &settings, DrawingDefaults &defaults, int &foregroundIndex, int &backgroundIndex);
void write(QSettings &settings, const DrawingDefaults &defaults, int foregroundIndex, int backgroundIndex);

} // namespace PaintSettings

#endif
