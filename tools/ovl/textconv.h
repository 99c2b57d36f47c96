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

// The text of a decoded text element as UTF-8. form is the decoded text form
// (1 EBCDIC/HKZ, else Shift JIS or single-byte), text the decoder's text
// pointer with n bytes behind it, recordLength the byte count its record
// gave. EBCDIC/HKZ text starts inside a double-byte run unless the control
// bytes the decoder stepped over end with a shift-out (0x29); the two bytes
// before text are then not the record's byte count, which they are when no
// control byte was stepped over.
std::string ElementTextToUtf8(const uint8_t* text, size_t n, int form, unsigned recordLength);

// Characters other than printable ones escaped for one-line output.
std::string Printable(const std::string& utf8);

}  // namespace ovl

#endif
