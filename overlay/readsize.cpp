// The buffer size a host allocates before it loads an overlay file.
#include <cstdint>

#include "overlay/overlay_internal.h"
#include "wx5naux0.h"
#include "wx5nfacc.h"

namespace wx5n {
namespace {

constexpr uint64_t kUnit = 32768;         // sizes are whole 32 KiB units
constexpr uint32_t kMinimumSize = 131072;  // and never below 128 KiB
constexpr uint32_t kSizeFailed = 0xFFFFFFFFu;

}  // namespace
}  // namespace wx5n

using namespace wx5n;

// The file's size rounded up to whole 32 KiB units, at least 128 KiB. The
// file is closed on every path after it was opened; *size is written only
// on success, and not at all when size is null (the out-parameter rule of
// the interface: a null out-parameter is not written).
extern "C" FOAPI int FOCALL pcom_fogetreadsize(const char* fileName, unsigned int* size,
                                               int openContext) {
    int handle = 0;
    int status = 0;
    const int opened = fcsopenfile(fileName, FO_OPEN_READ, &handle, &status, openContext);
    if (opened != 0) return opened;

    int result = FO_OK;
    uint64_t rounded = 0;
    const uint32_t fileSize = auxgetfilesize(handle, 0);
    if (fileSize == kSizeFailed) {
        result = FO_ERR_FILE;
    } else {
        rounded = (fileSize + kUnit - 1) / kUnit * kUnit;
        if (rounded > UINT32_MAX) result = FO_ERR_FILE;
    }
    if (fcsclose(handle, &status) < 0) result = FO_ERR_FILE;
    if (result != FO_OK) return result;
    if (size != nullptr) *size = rounded < kMinimumSize ? kMinimumSize : static_cast<uint32_t>(rounded);
    return FO_OK;
}
