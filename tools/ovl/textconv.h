// Text of an overlay as UTF-8: Shift JIS through iconv, EBCDIC/HKZ first
// through the sibling library's converter to Shift JIS.
#ifndef OVL_TEXTCONV_H
#define OVL_TEXTCONV_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace ovl {

// Shift JIS (code page 932) to UTF-8; a byte that does not convert becomes
// U+FFFD.
std::string SjisToUtf8(const uint8_t* bytes, size_t n);

// EBCDIC/HKZ to UTF-8. With doubleByte the text starts inside a double-byte
// run (its shift byte already stepped over).
std::string HkzToUtf8(const uint8_t* bytes, size_t n, bool doubleByte);

// Characters other than printable ones escaped for one-line output.
std::string Printable(const std::string& utf8);

}  // namespace ovl

#endif
