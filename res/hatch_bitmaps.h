// The 17 hatch bitmaps of the library: 8 x 8 monochrome device-independent
// bitmaps, resource ids 101 to 117. This table is the one source of their
// bytes: the native build serves it through the software GDI's LoadBitmapA,
// and res/tools/hatch_resgen writes the .bmp files and the resource script
// the Windows DLL is built from.
#ifndef WX5N_RES_HATCH_BITMAPS_H
#define WX5N_RES_HATCH_BITMAPS_H

#include <cstddef>
#include <cstdint>

namespace wx5n {

inline constexpr int kHatchFirstId = 101;
inline constexpr int kHatchLastId = 117;
inline constexpr int kHatchCount = kHatchLastId - kHatchFirstId + 1;
// BITMAPINFOHEADER (40) + two RGBQUADs (8) + eight 4-byte rows (32).
inline constexpr std::size_t kHatchBitmapSize = 80;
// Resource language of the bitmaps in the DLL.
inline constexpr int kHatchLanguage = 1041;

// The pattern rows of bitmap id, top row first, bit 7 leftmost, 0 = ink.
// Null for an id outside 101..117.
const std::uint8_t* HatchRows(int id);

// The 80-byte resource of bitmap id (header, colour table 0 = black,
// 1 = white, rows bottom row first, each row padded to 4 bytes with zeros).
// Null for an id outside 101..117.
const std::uint8_t* HatchBitmapResource(int id);

}  // namespace wx5n

#endif
