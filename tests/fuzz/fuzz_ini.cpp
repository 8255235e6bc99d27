// The project INI of the push-graph settings on any bytes: whatever the file holds, every
// value comes out within its range.
#include "dialogs/pushgraphsettings.h"
#include "fuzzsupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::ensureApplication();
    const QString path = FuzzSupport::writeTemporary(
        QStringLiteral("DlgPushGraphProperty.ini"), QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const PushGraphSettings s = PushGraphSettings::read(path);
    if (s.mode < 0 || s.mode >= PushGraphSettings::ModeCount || s.time < 0 || s.time > PushGraphSettings::MaxTime
        || s.size.width() < PushGraphSettings::MinSide || s.size.width() > PushGraphSettings::MaxSide
        || s.size.height() < PushGraphSettings::MinSide || s.size.height() > PushGraphSettings::MaxSide)
        FuzzSupport::fail("a push-graph setting out of range");
    return 0;
}
