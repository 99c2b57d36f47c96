// A rendered page in memory: 32 bits per pixel (0x00RRGGBB, top row first)
// or 1 bit per pixel (most significant bit leftmost, 1 = white), rows padded
// to 4 bytes as device-independent bitmaps are.
#ifndef OVL_RASTER_H
#define OVL_RASTER_H

#include <cstdint>
#include <cstdio>
#include <memory>
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

// PNG of one page: 1-bit grey for a 1-bit page; otherwise grey or a palette
// when the page's colours allow, else 8-bit RGB. grey writes a colour page as
// 8-bit grey. False with the reason when out cannot be written.
bool WritePng(const Raster& page, FILE* out, bool grey, std::string* error);

class Document;

// A document of raster pages written to out, which the caller opens and
// closes after Finish: "png" (one page), "tiff" (pages: CCITT Group 4 for
// 1-bit pages, else LZW RGB, or LZW grey with grey), "pdf" (pages as images
// at their resolution). Null with the reason for other formats.
std::unique_ptr<Document> OpenRasterDocument(const std::string& format, FILE* out, bool grey,
                                             std::string* error);

}  // namespace ovl

#endif
