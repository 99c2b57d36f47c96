// Helpers of the decoding tests: a record buffer with the host's cursor, and
// a work area with the default line definitions.
#ifndef WX5N_TESTS_DECODE_TEST_UTIL_H
#define WX5N_TESTS_DECODE_TEST_UTIL_H

#include <cstring>
#include <ostream>
#include <vector>

#include "include/wx5novl1.h"
#include "writer/elements.h"
#include "writer/ovlwriter.h"

inline bool operator==(FO_POINT a, FO_POINT b) { return a.x == b.x && a.y == b.y; }
inline void PrintTo(const FO_POINT& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace dtest {

using ovlw::Bytes;
using ovlw::Pt;

// The records under test in a buffer of exactly their size, with a cursor
// and a remaining count as a host keeps them.
struct Records {
    explicit Records(const Bytes& bytes) : data(bytes), cursor(data.data()),
        remaining(static_cast<unsigned int>(data.size())) {}
    Bytes data;
    unsigned char* cursor;
    unsigned int remaining;
    // Offset of the cursor from the start.
    size_t at() const { return static_cast<size_t>(cursor - data.data()); }
    int avail() const { return static_cast<int>(remaining); }
};

inline FO_WORK DefaultWork(short originX = 0, short originY = 0) {
    FO_WORK w;
    std::memset(&w, 0, sizeof(w));
    fosetlinedef(&w);
    fosetorgpoint(&w, originX, originY);
    return w;
}

inline FO_ATTR ZeroAttr() {
    FO_ATTR a;
    std::memset(&a, 0, sizeof(a));
    return a;
}

inline FO_POINT P(int x, int y) { return FO_POINT{static_cast<short>(x), static_cast<short>(y)}; }

}  // namespace dtest

#endif  // WX5N_TESTS_DECODE_TEST_UTIL_H
