// Helpers of the decoding tests.
#ifndef WX5N_TESTS_DECODE_TEST_UTIL_H
#define WX5N_TESTS_DECODE_TEST_UTIL_H

#include <cstring>

#include "include/wx5novl1.h"
#include "writer/elements.h"
#include "writer/ovlwriter.h"

namespace dtest {

using ovlw::Bytes;

// A work area with the default line definitions and the origin at 0, 0.
inline FO_WORK DefaultWork() {
    FO_WORK w;
    std::memset(&w, 0, sizeof(w));
    fosetlinedef(&w);
    return w;
}

}  // namespace dtest

#endif  // WX5N_TESTS_DECODE_TEST_UTIL_H
