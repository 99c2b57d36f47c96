// A rendered page in memory: 32 bits per pixel (0x00RRGGBB, top row first)
// or 1 bit per pixel (most significant bit leftmost, 1 = white), rows padded
// to 4 bytes as device-independent bitmaps are.
#ifndef OVL_RASTER_H
#define OVL_RASTER_H

#include <cstdint>
#include <string>

namespace ovl {

struct Raster {
    int width = 0;
    int height = 0;
    int stride = 0;      // bytes per row
    bool mono = false;   // 1 bit per pixel
    int dpi = 0;
    uint8_t* bits = nullptr;

    bool Ink(int x, int y) const;        // the pixel is not white
    uint32_t Rgb(int x, int y) const;    // 0xRRGGBB
};

// Each writes the page to path; on failure returns false with the reason.
bool WritePng(const Raster& page, const std::string& path, std::string* error);
bool WriteTiffG4(const Raster& page, const std::string& path, std::string* error);
bool WritePdf(const Raster& page, const std::string& path, std::string* error);

}  // namespace ovl

#endif
