// Where the element records of a loaded overlay begin: the host's side of
// the loaded image's layout. Kind 1: behind the element block's fixed parts,
// the data marker and the preamble (up to and including its NO-OP record).
// Kind 2: behind the id table.
#ifndef OVL_LAYOUT_H
#define OVL_LAYOUT_H

#include <cstddef>
#include <cstdint>

#include "include/wx5novl1.h"

namespace ovlhost {

// Reads a big-endian 16-bit value if it lies inside [0, size).
inline bool ReadU16(const uint8_t* p, size_t size, size_t at, uint16_t* out) {
    if (at > size || size - at < 2) return false;
    *out = static_cast<uint16_t>((p[at] << 8) | p[at + 1]);
    return true;
}

// Offset in the loaded image of the first element record, or false when the
// image does not hold one where its layout says.
inline bool FirstElementOffset(const uint8_t* image, size_t loaded, int kind, int dataFormat,
                               size_t* offset) {
    if (image == nullptr || loaded < 264) return false;
    if (kind == 2) {
        const size_t at = 264 + 8 * static_cast<size_t>(image[263]);
        if (at > loaded) return false;
        *offset = at;
        return true;
    }
    constexpr size_t kBlock = 384;
    uint16_t l1 = 0, l2 = 0;
    if (!ReadU16(image, loaded, kBlock + 776 + 2, &l1)) return false;
    const size_t second = kBlock + 776 + 8 + l1;
    if (!ReadU16(image, loaded, second + 2, &l2)) return false;
    size_t p = second + 4 + l2 + (dataFormat == 3 ? 6 : 4);
    // The preamble: frame records up to and including the NO-OP record.
    while (p < loaded) {
        unsigned short cls = 0;
        int len = 0;
        const size_t left = loaded - p;
        const int framed = foreadclassid(image + p, left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left),
                                         &cls, &len);
        if (framed != 0 || len <= 0) return false;
        p += static_cast<size_t>(len);
        if (cls == 0) break;
    }
    if (p > loaded) return false;
    *offset = p;
    return true;
}

}  // namespace ovlhost

#endif
