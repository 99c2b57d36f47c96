// Drawing a path device context's geometry with cairo. User space is device
// pixels (origin top-left, y down); the document scales it to points.
#include "vector_sink.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ovl {
namespace {

void SetRgb(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

cairo_line_cap_t Cap(int cap) {
    switch (cap & PS_ENDCAP_MASK) {
        case PS_ENDCAP_SQUARE: return CAIRO_LINE_CAP_SQUARE;
        case PS_ENDCAP_FLAT: return CAIRO_LINE_CAP_BUTT;
        default: return CAIRO_LINE_CAP_ROUND;
    }
}

cairo_line_join_t Join(int join) {
    switch (join & PS_JOIN_MASK) {
        case PS_JOIN_BEVEL: return CAIRO_LINE_JOIN_BEVEL;
        case PS_JOIN_MITER: return CAIRO_LINE_JOIN_MITER;
        default: return CAIRO_LINE_JOIN_ROUND;
    }
}

CairoSink* Self(void* context) { return static_cast<CairoSink*>(context); }

// Premultiplied ARGB of a 0xAARRGGBB pixel, as cairo's image surfaces keep it.
uint32_t Premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul((p >> 16) & 0xFF) << 16) | (mul((p >> 8) & 0xFF) << 8) | mul(p & 0xFF);
}

// The one colour of an image whose pixels are that colour or fully
// transparent, or false: such an image goes out as a stencil of its colour,
// one bit a pixel.
bool StencilColour(const SWGDI_IMAGE& im, uint32_t* rgb) {
    bool found = false;
    for (int y = 0; y < im.pixelsHigh; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(im.pixels) + y * im.stride);
        for (int x = 0; x < im.pixelsWide; ++x) {
            const uint32_t a = row[x] >> 24;
            if (a == 0) continue;
            if (a != 255 || (found && (row[x] & 0xFFFFFF) != *rgb)) return false;
            *rgb = row[x] & 0xFFFFFF;
            found = true;
        }
    }
    return found;
}

}  // namespace

CairoSink::~CairoSink() {
    for (auto& c : cells_) cairo_surface_destroy(c.second);
}

SWGDI_PATH_SINK CairoSink::Callbacks() {
    SWGDI_PATH_SINK s{};
    s.context = this;
    s.move_to = [](void* c, double x, double y) { cairo_move_to(Self(c)->Context(), x, y); };
    s.line_to = [](void* c, double x, double y) { cairo_line_to(Self(c)->Context(), x, y); };
    s.curve_to = [](void* c, double x1, double y1, double x2, double y2, double x3, double y3) {
        cairo_curve_to(Self(c)->Context(), x1, y1, x2, y2, x3, y3);
    };
    s.close_path = [](void* c) { cairo_close_path(Self(c)->Context()); };
    s.stroke = [](void* c, const SWGDI_STROKE* st) { Self(c)->Stroke(*st); };
    s.fill = [](void* c, const SWGDI_FILL* f) { Self(c)->Fill(*f); };
    s.image = [](void* c, const SWGDI_IMAGE* im) { Self(c)->Image(*im); };
    s.warning = [](void* c, const char* m) { Self(c)->Warn(m); };
    return s;
}

void CairoSink::Stroke(const SWGDI_STROKE& s) {
    cairo_set_line_width(cr_, s.width > 0 ? s.width : 1.0);
    cairo_set_line_cap(cr_, Cap(s.cap));
    cairo_set_line_join(cr_, Join(s.join));
    SetRgb(cr_, s.rgb);
    cairo_stroke(cr_);
}

// The cell of a pattern as a small drawing: paper as one rectangle unless
// transparent, ink as one rectangle per run of ink cells in a row. Drawn as
// vectors, the pattern adds no image to the document and keeps its cells
// sharp at any zoom.
cairo_surface_t* CairoSink::PatternCell(const SWGDI_FILL& f) {
    const size_t n = static_cast<size_t>(f.patWidth) * static_cast<size_t>(f.patHeight);
    std::vector<uint32_t> key{static_cast<uint32_t>(f.patWidth), static_cast<uint32_t>(f.patHeight),
                              f.inkRgb, f.paperRgb, static_cast<uint32_t>(f.paperTransparent != 0)};
    for (size_t i = 0; i < n; ++i) key.push_back(f.ink[i] != 0);
    auto found = cells_.find(key);
    if (found != cells_.end()) return found->second;
    const cairo_rectangle_t extents{0, 0, static_cast<double>(f.patWidth), static_cast<double>(f.patHeight)};
    cairo_surface_t* cell = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* cr = cairo_create(cell);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    if (!f.paperTransparent) {
        SetRgb(cr, f.paperRgb);
        cairo_paint(cr);
    }
    for (int y = 0; y < f.patHeight; ++y) {
        const uint8_t* row = f.ink + static_cast<size_t>(y) * f.patWidth;
        for (int x = 0; x < f.patWidth;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < f.patWidth && row[x]) ++x;
            cairo_rectangle(cr, start, y, x - start, 1);
        }
    }
    SetRgb(cr, f.inkRgb);
    cairo_fill(cr);
    cairo_destroy(cr);
    cells_.emplace(std::move(key), cell);
    return cell;
}

void CairoSink::Fill(const SWGDI_FILL& f) {
    cairo_set_fill_rule(cr_, f.rule == ALTERNATE ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    if (!f.pattern) {
        SetRgb(cr_, f.rgb);
        cairo_fill(cr_);
        return;
    }
    if (f.patWidth <= 0 || f.patHeight <= 0 || f.patWidth > 256 || f.patHeight > 256 || f.ink == nullptr) {
        cairo_new_path(cr_);
        return;
    }
    if (svg_) return DashedRows(f);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(PatternCell(f));
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    // Cell pixel (0, 0) lies on the pattern origin: the pattern matrix maps
    // user space (device pixels) to the cell.
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -f.orgX, -f.orgY);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
}

// A pattern fill as the path's clip, the paper painted unless transparent,
// and for each row of the cell one path of one-pixel lines, a line per
// device row the cell row falls on, dashed with the row's runs of ink from
// a start on the pattern's grid.
void CairoSink::DashedRows(const SWGDI_FILL& f) {
    cairo_save(cr_);
    cairo_clip(cr_);
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    if (!f.paperTransparent) {
        SetRgb(cr_, f.paperRgb);
        cairo_paint(cr_);
    }
    const int w = f.patWidth, h = f.patHeight;
    auto floorMod = [](long v, long m) { return ((v % m) + m) % m; };
    const long left = static_cast<long>(std::floor(x0)), top = static_cast<long>(std::floor(y0));
    const double start = static_cast<double>(left - floorMod(left - f.orgX, w));  // on the grid
    const long bottom = static_cast<long>(std::ceil(y1));
    SetRgb(cr_, f.inkRgb);
    cairo_set_line_width(cr_, 1);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    for (int row = 0; row < h; ++row) {
        const uint8_t* cells = f.ink + static_cast<size_t>(row) * w;
        std::vector<double> dashes;  // on, off, on, off... over one cell
        for (int x = 0; x < w;) {
            const int run = x;
            const bool ink = cells[x] != 0;
            while (x < w && (cells[x] != 0) == ink) ++x;
            if (dashes.empty() && !ink) dashes.push_back(0);
            dashes.push_back(x - run);
        }
        if (dashes.size() == 1 && dashes[0] == 0) continue;  // no ink in this row
        if (dashes.size() % 2) dashes.push_back(0);
        const bool solid = dashes.size() == 2 && dashes[1] == 0;
        cairo_set_dash(cr_, solid ? nullptr : dashes.data(), solid ? 0 : static_cast<int>(dashes.size()), 0);
        for (long y = top + floorMod(f.orgY + row - top, h); y < bottom; y += h) {
            cairo_move_to(cr_, start, y + 0.5);
            cairo_line_to(cr_, x1 + w, y + 0.5);
        }
        cairo_stroke(cr_);
    }
    cairo_restore(cr_);
}

void CairoSink::Image(const SWGDI_IMAGE& im) {
    if (im.pixelsWide <= 0 || im.pixelsHigh <= 0 || im.pixels == nullptr || im.width == 0 || im.height == 0 ||
        im.stride < 4 * static_cast<ptrdiff_t>(im.pixelsWide))
        return;
    uint32_t colour = 0;
    const bool stencil = !svg_ && StencilColour(im, &colour);
    cairo_surface_t* s =
        cairo_image_surface_create(stencil ? CAIRO_FORMAT_A1 : CAIRO_FORMAT_ARGB32, im.pixelsWide, im.pixelsHigh);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        Warn("an image is too large to place on the page");
        return;
    }
    cairo_surface_flush(s);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < im.pixelsHigh; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(im.pixels) + y * im.stride);
        uint8_t* dst = data + static_cast<ptrdiff_t>(y) * stride;
        if (stencil) {
            // A1 rows are 32-bit words whose bit order follows the machine's.
            auto* words = reinterpret_cast<uint32_t*>(dst);
            std::memset(dst, 0, static_cast<size_t>(stride));
            for (int x = 0; x < im.pixelsWide; ++x) {
                if (src[x] >> 24) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
                    words[x >> 5] |= 1u << (x & 31);
#else
                    words[x >> 5] |= 0x80000000u >> (x & 31);
#endif
                }
            }
        } else {
            auto* row = reinterpret_cast<uint32_t*>(dst);
            for (int x = 0; x < im.pixelsWide; ++x) row[x] = Premultiply(src[x]);
        }
    }
    cairo_surface_mark_dirty(s);

    cairo_save(cr_);
    cairo_translate(cr_, im.x, im.y);
    cairo_scale(cr_, im.width / im.pixelsWide, im.height / im.pixelsHigh);
    cairo_rectangle(cr_, 0, 0, im.pixelsWide, im.pixelsHigh);
    cairo_clip(cr_);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
    cairo_pattern_set_filter(p, im.smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    if (stencil) {
        SetRgb(cr_, colour);
        cairo_mask(cr_, p);
    } else {
        cairo_set_source(cr_, p);
        cairo_paint(cr_);
    }
    cairo_pattern_destroy(p);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

void CairoSink::Warn(const char* message) {
    if (message == nullptr) return;
    if (std::find(warnings_.begin(), warnings_.end(), message) == warnings_.end()) warnings_.emplace_back(message);
}

std::string CairoSink::TakeWarnings() {
    std::string all;
    for (const std::string& w : warnings_) all += (all.empty() ? "" : "; ") + w;
    warnings_.clear();
    return all;
}

}  // namespace ovl
