#include "textconv.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

#include "wx5nfacc.h"

namespace ovl {

std::string SjisToUtf8(const uint8_t* bytes, size_t n) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    std::vector<char> in(bytes, bytes + n);
    char* src = in.data();
    size_t left = n;
    std::vector<char> buf(4 * n + 16);
    while (left > 0) {
        char* dst = buf.data();
        size_t room = buf.size();
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf.data(), static_cast<size_t>(dst - buf.data()));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // U+FFFD for what does not convert
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::string HkzToUtf8(const uint8_t* bytes, size_t n, bool doubleByte) {
    const size_t lead = doubleByte ? 1 : 0;
    std::vector<uint8_t> src(n + lead, 0x28);  // a leading 0x28 opens the run
    if (n > 0) std::memcpy(src.data() + lead, bytes, n);
    std::vector<uint8_t> sjis(2 * src.size() + 2);
    unsigned char work[FCS_CONV_WORK_SIZE] = {};
    static const unsigned char kSingle[1] = {'?'};
    static const unsigned char kDouble[2] = {0x81, 0x48};
    int len = 0;
    const int r = ebhkztosjis(src.data(), static_cast<int>(src.size()), sjis.data(),
                              static_cast<int>(sjis.size()), &len, 1, 1, kSingle, kDouble, 2, work);
    miconv_relase(work);
    if (r != 0) return std::string();
    return SjisToUtf8(sjis.data(), static_cast<size_t>(len));
}

std::string ElementTextToUtf8(const uint8_t* text, size_t n, int form, unsigned recordLength) {
    if (form != 1) return SjisToUtf8(text, n);
    // A text pointer always lies at least 10 bytes into its record.
    const bool countBefore = ((text[-2] << 8) | text[-1]) == static_cast<int>(recordLength & 0xFFFF);
    return HkzToUtf8(text, n, !(text[-1] == 0x29 && !countBefore));
}

std::string Printable(const std::string& utf8) {
    std::string out;
    for (unsigned char c : utf8) {
        if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace ovl
