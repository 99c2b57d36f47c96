// Text on vector pages: glyphs of the font raster pages use, placed where
// raster pages place them, shown with their characters so that a document
// keeps the font as an embedded subset with a Unicode mapping.
#ifndef OVL_VECTOR_TEXT_H
#define OVL_VECTOR_TEXT_H

#include <cairo.h>

#include <string>

#include "text.h"

namespace ovl {

class VectorText {
public:
    VectorText() = default;
    ~VectorText();
    VectorText(const VectorText&) = delete;
    VectorText& operator=(const VectorText&) = delete;

    // Finds and opens the font; false with a reason when there is none.
    bool Open(std::string* error);

    // Shows text with its baseline starting at (x, y) in cr's user space,
    // which is device pixels.
    void Draw(cairo_t* cr, const std::u32string& text, double x, double y, const TextStyle& style);

private:
    struct Run;
    void SetSize(const TextStyle& style, int rotation, double* w, double* h);
    double Add(Run* run, char32_t ch, double x, double y);
    void Show(cairo_t* cr, const Run& run, const TextStyle& style, double w, double h);
    void DrawVertical(cairo_t* cr, const std::u32string& text, double x, double y,
                      const TextStyle& style);

    void* library_ = nullptr;         // FT_Library
    void* metrics_ = nullptr;         // FT_Face: advances, as raster pages step
    void* outlines_ = nullptr;        // FT_Library of cairo's face, released with it
    cairo_font_face_t* face_ = nullptr;
};

}  // namespace ovl

#endif
