#include "text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace ovl {
namespace {

// The font file fontconfig picks for a pattern, or "" when it has none.
std::string Match(const char* pattern) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!pat) return "";
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* found = FcFontMatch(nullptr, pat, &result);
    std::string file;
    FcChar8* path = nullptr;
    FcBool japanese = FcFalse;
    if (found) {
        FcLangSet* langs = nullptr;
        if (FcPatternGetLangSet(found, FC_LANG, 0, &langs) == FcResultMatch && langs)
            japanese = FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
        if (japanese && FcPatternGetString(found, FC_FILE, 0, &path) == FcResultMatch)
            file = reinterpret_cast<const char*>(path);
        FcPatternDestroy(found);
    }
    FcPatternDestroy(pat);
    return file;
}

void Blend(Raster& page, int x, int y, int coverage, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= page.width || y >= page.height || coverage <= 0) return;
    uint8_t* row = page.bits + static_cast<size_t>(y) * page.stride;
    if (page.mono) {
        if (coverage >= 128) row[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
        return;
    }
    uint8_t* p = row + 4 * static_cast<size_t>(x);
    const int c[3] = {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                      static_cast<int>((rgb >> 16) & 0xFF)};  // B, G, R
    for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>((p[i] * (255 - coverage) + c[i] * coverage + 127) / 255);
}

}  // namespace

TextRenderer::TextRenderer() = default;

TextRenderer::~TextRenderer() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool TextRenderer::Open(std::string* error) {
    if (!FcInit()) {
        *error = "fontconfig cannot start";
        return false;
    }
    for (const char* pattern : {"IPAGothic", ":lang=ja:spacing=mono", ":lang=ja"}) {
        fontFile_ = Match(pattern);
        if (!fontFile_.empty()) break;
    }
    if (fontFile_.empty()) {
        *error = "no Japanese font found (install fonts-ipafont-gothic)";
        return false;
    }
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        *error = "FreeType cannot start";
        return false;
    }
    library_ = lib;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontFile_.c_str(), 0, &face) != 0) {
        *error = "cannot open the font " + fontFile_;
        return false;
    }
    face_ = face;
    return true;
}

void TextRenderer::Draw(Raster& page, const std::u32string& text, double x, double y,
                        const TextStyle& style) {
    auto* face = static_cast<FT_Face>(face_);
    if (!face || style.heightPx < 1 || text.empty()) return;
    const double height = style.heightPx;
    const double width = height * (style.expansion > 0 ? style.expansion : 1.0);
    FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(width * 64), static_cast<FT_F26Dot6>(height * 64), 72, 72);

    // The base direction on the device (y down) and the glyph transform.
    static const int kBase[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};
    const int r = style.rotation & 3;
    const double bx = kBase[r][0], by = kBase[r][1];
    FT_Matrix m;
    // FreeType's y axis points up; the device's down. The matrix turns the
    // glyph's base (1, 0) into (bx, -by) in FreeType's axes.
    m.xx = static_cast<FT_Fixed>(bx * 65536);
    m.xy = static_cast<FT_Fixed>(by * 65536);
    m.yx = static_cast<FT_Fixed>(-by * 65536);
    m.yy = static_cast<FT_Fixed>(bx * 65536);
    FT_Set_Transform(face, &m, nullptr);

    double penX = x, penY = y;
    for (char32_t ch : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, ch);
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0) {
            const FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bmp = slot->bitmap;
            const int left = static_cast<int>(std::lround(penX)) + slot->bitmap_left;
            const int top = static_cast<int>(std::lround(penY)) - slot->bitmap_top;
            for (unsigned row = 0; row < bmp.rows; ++row) {
                const unsigned char* src = bmp.buffer + static_cast<ptrdiff_t>(row) * bmp.pitch;
                for (unsigned col = 0; col < bmp.width; ++col) {
                    const int cov = bmp.pixel_mode == FT_PIXEL_MODE_MONO
                                        ? (((src[col >> 3] >> (7 - (col & 7))) & 1) ? 255 : 0)
                                        : src[col];
                    Blend(page, left + static_cast<int>(col), top + static_cast<int>(row), cov, style.rgb);
                }
            }
            // The advance is along the base direction.
            const double advance = std::hypot(slot->advance.x, slot->advance.y) / 64.0 + style.spacingPx;
            penX += bx * advance;
            penY += by * advance;
        }
    }
    FT_Set_Transform(face, nullptr, nullptr);
}

std::u32string DecodeUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        bool ok = true;
        for (int k = 1; k < n; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        out.push_back(ok ? cp : 0xFFFD);
        i += ok ? n : 1;
    }
    return out;
}

}  // namespace ovl
