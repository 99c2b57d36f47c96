// Text drawing for the renderer: FreeType glyphs from a Japanese font found
// through fontconfig, blended into a page. Glyphs are kept per size and
// rotation across elements and pages; fontconfig and FreeType are set up the
// first time there is text to draw.
#ifndef OVL_TEXT_H
#define OVL_TEXT_H

#include <cstdint>
#include <memory>
#include <string>

#include "raster.h"

namespace ovl {

struct TextStyle {
    double heightPx = 0;       // character height on the device
    double expansion = 1.0;    // width over height of a full-width cell
    double spacingPx = 0;      // extra space after each character
    int rotation = 0;          // 0 left to right, 1 upside down, 2 upward, 3 downward
    uint32_t rgb = 0;          // 0xRRGGBB
    // Upright vertical writing: a column of full-width cells from (x, y) down,
    // x its left edge; vertical forms of punctuation and small kana, Latin
    // runs turned a quarter clockwise. rotation does not apply.
    bool vertical = false;
};

// The device-space direction of a rotation's base: the glyph's base (1, 0)
// turns into (bx, by) on the device (y down).
inline constexpr int kRunBase[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};

// Sets a FreeType face's transform (an FT_Face) so that its glyphs lie along
// rotation's base.
void TurnFace(void* face, int rotation);

class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Finds and opens the font; false with a reason when there is none. Draw
    // calls it itself the first time it has text, once.
    bool Open(std::string* error);
    const std::string& FontFile() const { return fontFile_; }
    // True once opening the font was tried and failed; the reason.
    bool Failed() const { return tried_ && face_ == nullptr; }
    const std::string& OpenError() const { return openError_; }
    // Glyphs made and glyphs taken from the cache so far.
    uint64_t GlyphsRendered() const { return rendered_; }
    uint64_t GlyphsCached() const { return reused_; }

    // Draws text with its baseline starting at (x, y), device pixels.
    void Draw(Raster& page, const std::u32string& text, double x, double y,
              const TextStyle& style);

private:
    struct Glyph;
    struct Cache;
    void SetFace(long width26, long height26, int rotation);
    const Glyph& Load(unsigned index, long width26, long height26, int rotation);
    void DrawVertical(Raster& page, const std::u32string& text, double x, double y,
                      const TextStyle& style);

    void* library_ = nullptr;  // FT_Library
    void* face_ = nullptr;     // FT_Face
    void* shaper_ = nullptr;   // hb_font_t, when built with HarfBuzz
    std::string fontFile_;
    bool tried_ = false;
    std::string openError_;
    std::unique_ptr<Cache> cache_;
    uint64_t rendered_ = 0;
    uint64_t reused_ = 0;
};

// Whether a character stands upright in vertical writing (CJK, kana,
// full-width forms); others are turned with the column.
bool UprightInColumn(char32_t c);

// UTF-8 to code points; invalid sequences become U+FFFD.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace ovl

#endif
