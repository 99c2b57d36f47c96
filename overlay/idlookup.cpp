// Identifier lookup in a loaded overlay, and the small memory and string
// utilities exported for the host.
#include <cstring>

#include "overlay/overlay_internal.h"
#include "wx5nfacc.h"

namespace wx5n {
namespace {

constexpr size_t kIdTableAt = 256;     // entry 0: the table head
constexpr size_t kIdCountAt = 263;     // byte 7 of the head
constexpr size_t kIdTextFlagAt = 196;  // header: nonzero for single-byte ids
constexpr size_t kIdLength = 8;

}  // namespace
}  // namespace wx5n

using namespace wx5n;

// Copies id number index (0 is the table head) into out, 8 bytes, converting
// EBCDIC/HKZ ids to Shift JIS; every space becomes a NUL byte.
extern "C" FOAPI int FOCALL pcom_fogetid(const unsigned char* image, unsigned char index, char* out) {
    const ByteView head(image, kIdTableAt + kIdLength);
    const unsigned count = head.U8(kIdCountAt);
    if (index > count) return FO_ERR_RECORD;
    const ByteView table(image, kIdTableAt + kIdLength * (count + 1));
    const ByteView id = table.Sub(kIdTableAt + kIdLength * index, kIdLength);

    if (head.U8(kIdTextFlagAt) != 0) {
        std::memcpy(out, id.data(), kIdLength);
    } else {
        // Bytes the conversion does not reach (it shortens double-byte runs
        // by their shift codes) read as spaces, so they come back as NUL.
        std::memset(out, ' ', kIdLength);
        static const unsigned char kSingleReplace[1] = {0x3F};        // "?"
        static const unsigned char kDoubleReplace[2] = {0x81, 0x48};  // full-width "?"
        unsigned char work[FCS_CONV_WORK_SIZE] = {};
        int converted = 0;
        const int result = ebhkztosjis(id.data(), kIdLength, reinterpret_cast<unsigned char*>(out),
                                       kIdLength, &converted, 1, 1, kSingleReplace,
                                       kDoubleReplace, 2, work);
        miconv_relase(work);
        if (result != 0) return result;
    }
    for (size_t i = 0; i < kIdLength; ++i) {
        if (out[i] == ' ') out[i] = '\0';
    }
    return 0;
}

extern "C" FOAPI void* FOCALL fomemcpy(void* dst, const void* src, unsigned int n) {
    return std::memmove(dst, src, n);  // overlapping regions are moved
}

extern "C" FOAPI int FOCALL fomemcmp(const void* a, const void* b, unsigned int n) {
    return std::memcmp(a, b, n);
}

extern "C" FOAPI void* FOCALL fomemset(void* dst, int c, unsigned int n) {
    return std::memset(dst, c, n);
}

extern "C" FOAPI char* FOCALL fostrcpy(char* dst, const char* src) { return std::strcpy(dst, src); }

extern "C" FOAPI char* FOCALL fostrcat(char* dst, const char* src) { return std::strcat(dst, src); }

extern "C" FOAPI unsigned int FOCALL fostrlen(const char* s) {
    return static_cast<unsigned int>(std::strlen(s));
}

// value in radix 2 to 36, lower-case digits; negative values carry a minus
// sign in radix 10 only and are written as their unsigned 32-bit value in any
// other radix. An unusable radix gives the empty string.
extern "C" FOAPI char* FOCALL foitoa(int value, char* buf, int radix) {
    if (radix < 2 || radix > 36) {
        buf[0] = '\0';
        return buf;
    }
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    char digits[33];
    size_t n = 0;
    const bool negative = radix == 10 && value < 0;
    uint32_t v = negative ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = kDigits[v % static_cast<uint32_t>(radix)];
        v /= static_cast<uint32_t>(radix);
    } while (v != 0);
    size_t at = 0;
    if (negative) buf[at++] = '-';
    while (n > 0) buf[at++] = digits[--n];
    buf[at] = '\0';
    return buf;
}
