// The converter of wx5nfacc on Windows, where there is no iconv: the same
// conversion by table (see table_conv.cpp). It keeps nothing in the work area.
#include "table_conv.h"
#include "wx5nfacc.h"

extern "C" int ebhkztosjis(const unsigned char* src, int srcLen, unsigned char* dst, int dstSize,
                           int* outLen, int /*mode1*/, int /*mode2*/,
                           const unsigned char* sbReplace, const unsigned char* dbReplace,
                           int mode3, void* work) {
    if (work == nullptr) {
        if (outLen != nullptr) *outLen = 0;
        return 1;
    }
    return wx5n::TableConvert(src, srcLen, dst, dstSize, outLen, sbReplace, dbReplace, mode3);
}

extern "C" void miconv_relase(void* /*work*/) {}
