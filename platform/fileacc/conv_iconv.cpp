// Conversion of mainframe text (EBCDIC with the HKZ double-byte set) to
// Shift JIS, with glibc's iconv.
//
// Source encoding: single-byte characters are Japanese EBCDIC, CCSID 1027
// (Latin letters with lower case, half-width katakana); a double-byte run
// is opened by SO 0x0E or 0x28 and closed by SI 0x0F or 0x29, and its
// characters are pairs of the host double-byte set, CCSID 300. Together that
// is IBM code page 939, which iconv knows as "IBM939" (with 0x0E/0x0F as its
// shift codes). Target: Shift JIS as Windows code page 932 ("CP932").
//
// Each character is converted on its own, so that one that has no Shift JIS
// form becomes the caller's replacement (one byte for a single-byte
// character, two for a double-byte one) and the rest of the text goes on.
// The iconv descriptor lives in the caller's zero-filled work area from the
// first conversion until miconv_relase.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iconv.h>

#include "wx5nfacc.h"

namespace {

constexpr uint32_t kWorkMagic = 0x57354E43;  // marks a work area holding a descriptor

struct ConvWork {
    uint32_t magic;
    iconv_t cd;
};
static_assert(sizeof(ConvWork) <= FCS_CONV_WORK_SIZE, "the descriptor fits the work area");

constexpr int kErrArgument = 1;
constexpr int kErrConverter = 2;

bool IsShiftOut(uint8_t c) { return c == 0x0E || c == 0x28; }
bool IsShiftIn(uint8_t c) { return c == 0x0F || c == 0x29; }

// Converts one character given as IBM939 bytes (a single byte, or SO, two
// bytes, SI) into out; returns the bytes written, or 0 when iconv refuses it.
size_t ConvertOne(iconv_t cd, const uint8_t* in, size_t inLen, uint8_t* out, size_t outRoom) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the single-byte state
    char* src = const_cast<char*>(reinterpret_cast<const char*>(in));
    char* dst = reinterpret_cast<char*>(out);
    size_t srcLeft = inLen;
    size_t dstLeft = outRoom;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0)
        return 0;
    return outRoom - dstLeft;
}

}  // namespace

extern "C" int ebhkztosjis(const unsigned char* src, int srcLen, unsigned char* dst, int dstSize,
                           int* outLen, int /*mode1*/, int /*mode2*/,
                           const unsigned char* sbReplace, const unsigned char* dbReplace,
                           int mode3, void* work) {
    if (outLen != nullptr) *outLen = 0;
    if (srcLen < 0 || dstSize < 0 || (src == nullptr && srcLen > 0) ||
        (dst == nullptr && dstSize > 0) || work == nullptr || sbReplace == nullptr ||
        dbReplace == nullptr)
        return kErrArgument;
    // mode3 is the length of the double-byte replacement: 2 (or 1).
    const size_t dbReplaceLen = mode3 == 1 ? 1 : 2;

    ConvWork state;
    std::memcpy(&state, work, sizeof(state));
    if (state.magic != kWorkMagic) {
        state.cd = iconv_open("CP932", "IBM939");
        if (state.cd == reinterpret_cast<iconv_t>(-1)) return kErrConverter;
        state.magic = kWorkMagic;
        std::memcpy(work, &state, sizeof(state));
    }

    size_t written = 0;
    auto put = [&](const uint8_t* bytes, size_t n) {
        if (n > static_cast<size_t>(dstSize) - written) return false;  // never past dstSize
        std::memcpy(dst + written, bytes, n);
        written += n;
        return true;
    };

    bool doubleByte = false;
    size_t i = 0;
    const size_t n = static_cast<size_t>(srcLen);
    while (i < n) {
        const uint8_t c = src[i];
        uint8_t out[8];
        size_t got;
        bool ok;
        if (!doubleByte) {
            if (IsShiftOut(c)) {
                doubleByte = true;
                ++i;
                continue;
            }
            if (IsShiftIn(c)) {  // already single-byte
                ++i;
                continue;
            }
            got = ConvertOne(state.cd, &c, 1, out, sizeof(out));
            ok = got > 0 ? put(out, got) : put(sbReplace, 1);
            ++i;
        } else {
            if (IsShiftIn(c)) {
                doubleByte = false;
                ++i;
                continue;
            }
            if (i + 1 >= n) {
                // Half a double-byte character at the end of the text.
                ok = put(dbReplace, dbReplaceLen);
                ++i;
            } else {
                const uint8_t pair[4] = {0x0E, c, src[i + 1], 0x0F};
                got = ConvertOne(state.cd, pair, sizeof(pair), out, sizeof(out));
                ok = got > 0 ? put(out, got) : put(dbReplace, dbReplaceLen);
                i += 2;
            }
        }
        if (!ok) break;  // the destination is full
    }
    if (outLen != nullptr) *outLen = static_cast<int>(written);
    return 0;
}

extern "C" void miconv_relase(void* work) {
    if (work == nullptr) return;
    ConvWork state;
    std::memcpy(&state, work, sizeof(state));
    if (state.magic != kWorkMagic) return;
    iconv_close(state.cd);
    std::memset(work, 0, sizeof(state));
}
