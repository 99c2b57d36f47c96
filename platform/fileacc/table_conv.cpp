#include "table_conv.h"

#include <cstddef>
#include <cstring>

namespace wx5n {
namespace {

#include "conv_tables.inc"

bool IsShiftOut(unsigned char c) { return c == 0x0E || c == 0x28; }
bool IsShiftIn(unsigned char c) { return c == 0x0F || c == 0x29; }

// The Shift JIS code of a host double-byte code, or 0 when it has none.
unsigned short DoubleByte(unsigned short code) {
    size_t lo = 0, hi = sizeof(kDoubleByte) / sizeof(kDoubleByte[0]);
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (kDoubleByte[mid][0] < code) lo = mid + 1;
        else hi = mid;
    }
    return lo < sizeof(kDoubleByte) / sizeof(kDoubleByte[0]) && kDoubleByte[lo][0] == code
               ? kDoubleByte[lo][1]
               : 0;
}

}  // namespace

int TableConvert(const unsigned char* src, int srcLen, unsigned char* dst, int dstSize,
                 int* outLen, const unsigned char* sbReplace, const unsigned char* dbReplace,
                 int dbReplaceLen) {
    if (outLen != nullptr) *outLen = 0;
    if (srcLen < 0 || dstSize < 0 || (src == nullptr && srcLen > 0) ||
        (dst == nullptr && dstSize > 0) || sbReplace == nullptr || dbReplace == nullptr)
        return 1;
    const size_t dbLen = dbReplaceLen == 1 ? 1 : 2;
    size_t written = 0;
    auto put = [&](const unsigned char* bytes, size_t n) {
        if (n > static_cast<size_t>(dstSize) - written) return false;  // never past dstSize
        std::memcpy(dst + written, bytes, n);
        written += n;
        return true;
    };
    auto putCode = [&](unsigned code) {
        unsigned char b[2] = {static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)};
        return code > 0xFF ? put(b, 2) : put(b + 1, 1);
    };

    bool doubleByte = false;
    const size_t n = static_cast<size_t>(srcLen);
    for (size_t i = 0; i < n;) {
        const unsigned char c = src[i];
        bool ok;
        if (!doubleByte) {
            if (IsShiftOut(c) || IsShiftIn(c)) {
                doubleByte = IsShiftOut(c);
                ++i;
                continue;
            }
            const unsigned short code = kSingleByte[c];
            ok = code == 0xFFFF ? put(sbReplace, 1) : putCode(code);
            ++i;
        } else {
            if (IsShiftIn(c)) {
                doubleByte = false;
                ++i;
                continue;
            }
            if (i + 1 >= n) {
                ok = put(dbReplace, dbLen);  // half a character at the end
                ++i;
            } else {
                const unsigned short code = DoubleByte(static_cast<unsigned short>((c << 8) | src[i + 1]));
                ok = code == 0 ? put(dbReplace, dbLen) : putCode(code);
                i += 2;
            }
        }
        if (!ok) break;  // the destination is full
    }
    if (outLen != nullptr) *outLen = static_cast<int>(written);
    return 0;
}

}  // namespace wx5n
