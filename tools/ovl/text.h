// Text drawing for the renderer: FreeType glyphs from a Japanese font found
// through fontconfig, blended into a page.
#ifndef OVL_TEXT_H
#define OVL_TEXT_H

#include <cstdint>
#include <string>

#include "raster.h"

namespace ovl {

struct TextStyle {
    double heightPx = 0;       // character height on the device
    double expansion = 1.0;    // width over height of a full-width cell
    double spacingPx = 0;      // extra space after each character
    int rotation = 0;          // 0 left to right, 1 upside down, 2 upward, 3 downward
    uint32_t rgb = 0;          // 0xRRGGBB
};

class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Finds and opens the font; false with a reason when there is none.
    bool Open(std::string* error);
    const std::string& FontFile() const { return fontFile_; }

    // Draws text with its baseline starting at (x, y), device pixels.
    void Draw(Raster& page, const std::u32string& text, double x, double y,
              const TextStyle& style);

private:
    void* library_ = nullptr;  // FT_Library
    void* face_ = nullptr;     // FT_Face
    std::string fontFile_;
};

// UTF-8 to code points; invalid sequences become U+FFFD.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace ovl

#endif
