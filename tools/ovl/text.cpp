#include "text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

#ifdef OVL_HAVE_HARFBUZZ
#include <hb-ft.h>
#include <hb.h>
#endif

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

// Blends one row of coverage (n pixels from x, all on the page) with the
// colour. Full coverage stores the colour, which the blend gives exactly;
// 1-bit pages take ink where coverage is at least half. The fourth byte of a
// 32-bit pixel is left as it is.
void BlendRow(Raster& page, int x, int y, const uint8_t* coverage, int n, uint32_t rgb) {
    uint8_t* row = page.bits + static_cast<size_t>(y) * page.stride;
    if (page.mono) {
        for (int i = 0; i < n; ++i)
            if (coverage[i] >= 128) row[(x + i) >> 3] &= static_cast<uint8_t>(~(0x80 >> ((x + i) & 7)));
        return;
    }
    const int c[3] = {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                      static_cast<int>((rgb >> 16) & 0xFF)};  // B, G, R
    uint8_t* p = row + 4 * static_cast<size_t>(x);
    for (int i = 0; i < n; ++i, p += 4) {
        const int a = coverage[i];
        if (a == 0) continue;
        if (a == 255) {
            p[0] = static_cast<uint8_t>(c[0]);
            p[1] = static_cast<uint8_t>(c[1]);
            p[2] = static_cast<uint8_t>(c[2]);
            continue;
        }
        for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (255 - a) + c[k] * a + 127) / 255);
    }
}

// fontconfig's set-up is not safe from several threads at once.
std::mutex& FontconfigLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

void TurnFace(void* face, int rotation) {
    // FreeType's y axis points up, the device's down: the matrix turns the
    // glyph's base (1, 0) into (bx, -by) in FreeType's axes.
    const double bx = kRunBase[rotation][0], by = kRunBase[rotation][1];
    FT_Matrix m;
    m.xx = static_cast<FT_Fixed>(bx * 65536);
    m.xy = static_cast<FT_Fixed>(by * 65536);
    m.yx = static_cast<FT_Fixed>(-by * 65536);
    m.yy = static_cast<FT_Fixed>(bx * 65536);
    FT_Set_Transform(static_cast<FT_Face>(face), &m, nullptr);
}

// A rendered glyph: coverage 0 to 255 per pixel, its top-left corner from
// the pen, and the pen's advance along the base direction (pixels).
struct TextRenderer::Glyph {
    std::vector<uint8_t> coverage;
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    double advance = 0;
};

// Glyphs by index, size (26.6 pixels) and rotation. Bounded: emptied when
// it grows past kMaxGlyphs (a page of text uses a few hundred) or kMaxBytes
// of coverage (large glyphs at high resolutions).
struct TextRenderer::Cache {
    static constexpr size_t kMaxGlyphs = 8192;
    static constexpr size_t kMaxBytes = size_t{64} << 20;
    size_t bytes = 0;
    struct Key {
        unsigned index;
        long width26;
        long height26;
        int rotation;
        bool operator==(const Key&) const = default;
    };
    struct Hash {
        size_t operator()(const Key& k) const {
            uint64_t h = k.index;
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(k.width26);
            h = h * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(k.height26);
            return static_cast<size_t>(h * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(k.rotation));
        }
    };
    std::unordered_map<Key, Glyph, Hash> glyphs;
    // What the face is set to now: size and transform change only on a miss.
    long width26 = -1;
    long height26 = -1;
    int rotation = -1;
};

TextRenderer::TextRenderer() : cache_(std::make_unique<Cache>()) {}

TextRenderer::~TextRenderer() {
#ifdef OVL_HAVE_HARFBUZZ
    if (shaper_) hb_font_destroy(static_cast<hb_font_t*>(shaper_));
#endif
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool TextRenderer::Open(std::string* error) {
    tried_ = true;
    {
        std::lock_guard<std::mutex> guard(FontconfigLock());
        if (!FcInit()) {
            *error = "fontconfig cannot start";
            return false;
        }
        for (const char* pattern : {"IPAGothic", ":lang=ja:spacing=mono", ":lang=ja"}) {
            fontFile_ = Match(pattern);
            if (!fontFile_.empty()) break;
        }
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
#ifdef OVL_HAVE_HARFBUZZ
    shaper_ = hb_ft_font_create_referenced(face);
#endif
    return true;
}

void TextRenderer::SetFace(long width26, long height26, int rotation) {
    auto* face = static_cast<FT_Face>(face_);
    if (cache_->width26 != width26 || cache_->height26 != height26) {
        FT_Set_Char_Size(face, width26, height26, 72, 72);
        cache_->width26 = width26;
        cache_->height26 = height26;
#ifdef OVL_HAVE_HARFBUZZ
        hb_ft_font_changed(static_cast<hb_font_t*>(shaper_));
#endif
    }
    if (cache_->rotation != rotation) {
        TurnFace(face, rotation);
        cache_->rotation = rotation;
    }
}

const TextRenderer::Glyph& TextRenderer::Load(unsigned index, long width26, long height26, int rotation) {
    const Cache::Key key{index, width26, height26, rotation};
    auto found = cache_->glyphs.find(key);
    if (found != cache_->glyphs.end()) {
        ++reused_;
        return found->second;
    }
    if (cache_->glyphs.size() >= Cache::kMaxGlyphs || cache_->bytes >= Cache::kMaxBytes) {
        cache_->glyphs.clear();
        cache_->bytes = 0;
    }
    ++rendered_;
    SetFace(width26, height26, rotation);
    auto* face = static_cast<FT_Face>(face_);
    Glyph& g = cache_->glyphs[key];
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) return g;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bmp = slot->bitmap;
    g.width = static_cast<int>(bmp.width);
    g.rows = static_cast<int>(bmp.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = std::hypot(slot->advance.x, slot->advance.y) / 64.0;
    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
    cache_->bytes += g.coverage.size();
    for (int row = 0; row < g.rows; ++row) {
        const unsigned char* src = bmp.buffer + static_cast<ptrdiff_t>(row) * bmp.pitch;
        uint8_t* dst = g.coverage.data() + static_cast<size_t>(row) * g.width;
        for (int col = 0; col < g.width; ++col)
            dst[col] = bmp.pixel_mode == FT_PIXEL_MODE_MONO ? (((src[col >> 3] >> (7 - (col & 7))) & 1) ? 255 : 0)
                                                            : src[col];
    }
    return g;
}

namespace {

// Blends a glyph with its pen at (x, y), clipped to the page once.
template <class G>
void Blit(Raster& page, const G& g, double x, double y, uint32_t rgb) {
    const long left = std::lround(x) + g.left;
    const long top = std::lround(y) - g.top;
    const long col0 = std::max(0L, -left), col1 = std::min<long>(g.width, page.width - left);
    const long row0 = std::max(0L, -top), row1 = std::min<long>(g.rows, page.height - top);
    if (col0 >= col1) return;
    for (long row = row0; row < row1; ++row)
        BlendRow(page, static_cast<int>(left + col0), static_cast<int>(top + row),
                 g.coverage.data() + static_cast<size_t>(row) * g.width + col0, static_cast<int>(col1 - col0), rgb);
}

}  // namespace

void TextRenderer::Draw(Raster& page, const std::u32string& text, double x, double y,
                        const TextStyle& style) {
    if (style.heightPx < 1 || text.empty()) return;
    if (!tried_) Open(&openError_);
    auto* face = static_cast<FT_Face>(face_);
    if (!face) return;
    if (style.vertical) {
        DrawVertical(page, text, x, y, style);
        return;
    }
    const double height = style.heightPx;
    const double width = height * (style.expansion > 0 ? style.expansion : 1.0);
    const int r = style.rotation & 3;
    const double bx = kRunBase[r][0], by = kRunBase[r][1];
    double penX = x, penY = y;
    for (char32_t ch : text) {
        const Glyph& g = Load(FT_Get_Char_Index(face, ch), static_cast<long>(width * 64), static_cast<long>(height * 64), r);
        Blit(page, g, penX, penY, style.rgb);
        // The advance is along the base direction.
        penX += bx * (g.advance + style.spacingPx);
        penY += by * (g.advance + style.spacingPx);
    }
}

// Vertical writing: upright runs shaped top to bottom (so that the font's
// vertical forms replace punctuation and small kana), each glyph centred in
// its column; other runs turned a quarter clockwise with their glyphs'
// centre line on the column's.
void TextRenderer::DrawVertical(Raster& page, const std::u32string& text, double x, double y,
                                const TextStyle& style) {
    auto* face = static_cast<FT_Face>(face_);
    const double height = style.heightPx;
    const double width = height * (style.expansion > 0 ? style.expansion : 1.0);
    const long w26 = static_cast<long>(width * 64), h26 = static_cast<long>(height * 64);
    const double centre = x + width / 2;
    // Em box of the face: ascender over ascender plus descender.
    const double asc = face->units_per_EM ? static_cast<double>(face->ascender) / (face->ascender - face->descender) : 0.88;
    double penY = y;
    for (size_t at = 0; at < text.size();) {
        size_t end = at;
        const bool upright = UprightInColumn(text[at]);
        while (end < text.size() && UprightInColumn(text[end]) == upright) ++end;
        if (!upright) {
            for (; at < end; ++at) {
                const Glyph& g = Load(FT_Get_Char_Index(face, text[at]), w26, h26, 3);
                // Turned clockwise the glyph's up points right: its centre line
                // lies (ascender + descender) / 2 right of the baseline.
                Blit(page, g, centre - height * (asc - 0.5), penY, style.rgb);
                penY += g.advance + style.spacingPx;
            }
            continue;
        }
        std::vector<unsigned> glyphs;
        std::vector<double> advances;
#ifdef OVL_HAVE_HARFBUZZ
        auto* font = static_cast<hb_font_t*>(shaper_);
        SetFace(w26, h26, 0);  // advances in 26.6 pixels, upright
        hb_buffer_t* buf = hb_buffer_create();
        hb_buffer_add_utf32(buf, reinterpret_cast<const uint32_t*>(text.data()), static_cast<int>(text.size()),
                            static_cast<unsigned>(at), static_cast<int>(end - at));
        hb_buffer_set_direction(buf, HB_DIRECTION_TTB);
        hb_buffer_set_script(buf, HB_SCRIPT_HIRAGANA);
        hb_buffer_set_language(buf, hb_language_from_string("ja", -1));
        static const hb_feature_t kVertical[] = {{HB_TAG('v', 'e', 'r', 't'), 1, 0, ~0u},
                                                 {HB_TAG('v', 'r', 't', '2'), 1, 0, ~0u}};
        hb_shape(font, buf, kVertical, 2);
        unsigned n = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
        for (unsigned i = 0; i < n; ++i) {
            glyphs.push_back(info[i].codepoint);
            advances.push_back(pos[i].y_advance != 0 ? -pos[i].y_advance / 64.0 : height);
        }
        hb_buffer_destroy(buf);
#else
        for (size_t i = at; i < end; ++i) {
            glyphs.push_back(FT_Get_Char_Index(face, text[i]));
            advances.push_back(height);
        }
#endif
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& g = Load(glyphs[i], w26, h26, 0);
            // The glyph's em box fills the cell: baseline at the ascender.
            Blit(page, g, centre - g.advance / 2, penY + height * asc, style.rgb);
            penY += advances[i] + style.spacingPx;
        }
        at = end;
    }
}

// Characters that stand upright in vertical writing: the CJK blocks, kana,
// full-width forms and half-width katakana. Latin and other narrow text is
// turned with the column.
bool UprightInColumn(char32_t c) {
    if (c >= 0xFF61 && c <= 0xFF9F) return true;    // half-width katakana
    if (c >= 0xFF00 && c <= 0xFFEF) return c < 0xFF61;  // full-width forms
    return c >= 0x2E80 || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2460 && c <= 0x24FF) ||
           (c >= 0x25A0 && c <= 0x27BF);
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
