// The point-list reader (CSV from a spreadsheet) on any bytes: every row is either taken or
// refused with a reason, and a taken row has its four fields.
#include "fuzzsupport.h"
#include "pointlist.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::ensureApplication();
    const PointList list(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    for (const CIdInfo &record : list.records) {
        if (record.id.isEmpty())
            FuzzSupport::fail("a row without a point id was taken");
    }
    return 0;
}
