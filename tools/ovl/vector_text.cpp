// Glyph placement repeats the raster text renderer's steps: the character
// cell is scaled to width x height pixels, each glyph's origin is the pen
// rounded to whole pixels, and the pen moves by the unhinted advance plus the
// spacing along the base direction of the rotation.
#include "vector_text.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <mutex>
#include <vector>

namespace ovl {
namespace {

const cairo_user_data_key_t kFaceKey{};

}  // namespace

VectorText::~VectorText() {
    // The outline face has a FreeType library of its own that cairo's font
    // face releases when its last user (a document, cairo's font cache) lets
    // go of it.
    if (face_) cairo_font_face_destroy(face_);
    else if (outlines_) FT_Done_FreeType(static_cast<FT_Library>(outlines_));
    if (metrics_) FT_Done_Face(static_cast<FT_Face>(metrics_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool VectorText::Open(std::string* error) {
    // Finds the font exactly as raster pages do; fontconfig is asked by one
    // thread at a time, as documents of several inputs are made at once.
    static std::mutex lock;
    TextRenderer finder;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!finder.Open(error)) return false;
    }
    FT_Library lib = nullptr, own = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        *error = "FreeType cannot start";
        return false;
    }
    library_ = lib;
    if (FT_Init_FreeType(&own) != 0) {
        *error = "FreeType cannot start";
        return false;
    }
    outlines_ = own;
    FT_Face metrics = nullptr, outlines = nullptr;
    if (FT_New_Face(lib, finder.FontFile().c_str(), 0, &metrics) != 0 ||
        FT_New_Face(own, finder.FontFile().c_str(), 0, &outlines) != 0) {
        *error = "cannot open the font " + finder.FontFile();
        return false;
    }
    metrics_ = metrics;
    face_ = cairo_ft_font_face_create_for_ft_face(outlines, FT_LOAD_NO_HINTING);
    if (cairo_font_face_status(face_) != CAIRO_STATUS_SUCCESS ||
        cairo_font_face_set_user_data(face_, &kFaceKey, own,
                                      [](void* l) { FT_Done_FreeType(static_cast<FT_Library>(l)); }) !=
            CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face_);
        face_ = nullptr;
        *error = "cairo cannot use the font " + finder.FontFile();
        return false;
    }
    return true;
}

namespace {

void AppendUtf8(std::string* utf8, char32_t ch) {
    if (ch < 0x80) {
        *utf8 += static_cast<char>(ch);
    } else if (ch < 0x800) {
        *utf8 += static_cast<char>(0xC0 | (ch >> 6));
        *utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        *utf8 += static_cast<char>(0xE0 | (ch >> 12));
        *utf8 += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        *utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        *utf8 += static_cast<char>(0xF0 | (ch >> 18));
        *utf8 += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        *utf8 += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        *utf8 += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

}  // namespace

// A run of glyphs of one rotation, shown with its characters.
struct VectorText::Run {
    int rotation = 0;
    std::vector<cairo_glyph_t> glyphs;
    std::vector<cairo_text_cluster_t> clusters;
    std::string utf8;
};

// Sets the metrics face to the style's size turned by rotation; returns the
// sizes FreeType was given, in pixels.
void VectorText::SetSize(const TextStyle& style, int rotation, double* w, double* h) {
    auto* face = static_cast<FT_Face>(metrics_);
    const double height = style.heightPx;
    const double width = height * (style.expansion > 0 ? style.expansion : 1.0);
    FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(width * 64), static_cast<FT_F26Dot6>(height * 64), 72, 72);
    TurnFace(face, rotation);
    *w = static_cast<FT_F26Dot6>(width * 64) / 64.0;
    *h = static_cast<FT_F26Dot6>(height * 64) / 64.0;
}

// Adds one character at (x, y); its advance along the run's base, or -1
// when the font has no glyph for it.
double VectorText::Add(Run* run, char32_t ch, double x, double y) {
    auto* face = static_cast<FT_Face>(metrics_);
    const FT_UInt index = FT_Get_Char_Index(face, ch);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING) != 0) return -1;
    run->glyphs.push_back({index, static_cast<double>(std::lround(x)), static_cast<double>(std::lround(y))});
    const size_t before = run->utf8.size();
    AppendUtf8(&run->utf8, ch);
    run->clusters.push_back({static_cast<int>(run->utf8.size() - before), 1});
    const FT_GlyphSlot slot = face->glyph;
    return std::hypot(slot->advance.x, slot->advance.y) / 64.0;
}

void VectorText::Show(cairo_t* cr, const Run& run, const TextStyle& style, double w, double h) {
    if (run.glyphs.empty()) return;
    // The character sizes FreeType was given as cairo's font matrix: the
    // glyph's x axis along the base, its y axis (down) turned with it.
    const double bx = kRunBase[run.rotation][0], by = kRunBase[run.rotation][1];
    cairo_matrix_t fm;
    cairo_matrix_init(&fm, bx * w, by * w, -by * h, bx * h, 0, 0);
    cairo_save(cr);
    cairo_set_font_face(cr, face_);
    cairo_set_font_matrix(cr, &fm);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_source_rgb(cr, ((style.rgb >> 16) & 0xFF) / 255.0, ((style.rgb >> 8) & 0xFF) / 255.0,
                         (style.rgb & 0xFF) / 255.0);
    cairo_show_text_glyphs(cr, run.utf8.data(), static_cast<int>(run.utf8.size()), run.glyphs.data(),
                           static_cast<int>(run.glyphs.size()), run.clusters.data(),
                           static_cast<int>(run.clusters.size()), static_cast<cairo_text_cluster_flags_t>(0));
    cairo_restore(cr);
}

void VectorText::Draw(cairo_t* cr, const std::u32string& text, double x, double y, const TextStyle& style) {
    auto* face = static_cast<FT_Face>(metrics_);
    if (!face || !face_ || style.heightPx < 1 || text.empty()) return;
    if (style.vertical) {
        DrawVertical(cr, text, x, y, style);
        return;
    }
    Run run;
    run.rotation = style.rotation & 3;
    double w = 0, h = 0;
    SetSize(style, run.rotation, &w, &h);
    const double bx = kRunBase[run.rotation][0], by = kRunBase[run.rotation][1];
    double penX = x, penY = y;
    for (char32_t ch : text) {
        const double advance = Add(&run, ch, penX, penY);
        if (advance < 0) continue;
        penX += bx * (advance + style.spacingPx);
        penY += by * (advance + style.spacingPx);
    }
    FT_Set_Transform(face, nullptr, nullptr);
    Show(cr, run, style, w, h);
}

// Vertical writing placed as raster pages place it: upright characters
// centred in full-width cells down the column, others turned a quarter
// clockwise with their centre line on the column's. Vertical forms of
// punctuation are not substituted on vector pages.
void VectorText::DrawVertical(cairo_t* cr, const std::u32string& text, double x, double y,
                              const TextStyle& style) {
    auto* face = static_cast<FT_Face>(metrics_);
    const double height = style.heightPx;
    const double width = height * (style.expansion > 0 ? style.expansion : 1.0);
    const double centre = x + width / 2;
    const double asc = face->ascender - face->descender != 0
                           ? static_cast<double>(face->ascender) / (face->ascender - face->descender)
                           : 0.88;
    Run upright, turned;
    upright.rotation = 0;
    turned.rotation = 3;
    double w = 0, h = 0;
    double penY = y;
    for (char32_t ch : text) {
        const bool up = UprightInColumn(ch);
        SetSize(style, up ? 0 : 3, &w, &h);
        if (up) {
            // The em box fills the cell: baseline at the ascender.
            auto* f = static_cast<FT_Face>(metrics_);
            const FT_UInt index = FT_Get_Char_Index(f, ch);
            double advance = width;
            if (FT_Load_Glyph(f, index, FT_LOAD_NO_HINTING) == 0) advance = f->glyph->advance.x / 64.0;
            if (Add(&upright, ch, centre - advance / 2, penY + height * asc) < 0) continue;
            penY += height + style.spacingPx;
        } else {
            const double advance = Add(&turned, ch, centre - height * (asc - 0.5), penY);
            if (advance < 0) continue;
            penY += advance + style.spacingPx;
        }
    }
    FT_Set_Transform(face, nullptr, nullptr);
    double uw = 0, uh = 0;
    SetSize(style, 0, &uw, &uh);
    FT_Set_Transform(face, nullptr, nullptr);
    Show(cr, upright, style, uw, uh);
    Show(cr, turned, style, uw, uh);
}

}  // namespace ovl
