// Draws an overlay on a page as a host does: every element through the
// library's decoders; lines, boxes, areas, circles and ellipses through its
// drawing functions on a GDI page; text, images and bitmaps by the host.
#include "render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "wx5nhost.h"
#include "text.h"
#include "textconv.h"

namespace ovl {
namespace {

// Page sizes in millimetres.
struct PageSize {
    const char* name;
    double width, height;
};
constexpr PageSize kPages[] = {{"A3", 297, 420}, {"A4", 210, 297},      {"A5", 148, 210},
                               {"B4", 257, 364}, {"B5", 182, 257},      {"letter", 215.9, 279.4},
                               {"legal", 215.9, 355.6}};

constexpr int kMaxPagePixels = 20000;  // on a side: 1.6 GB of 32-bit page at most

// Each rendering thread has a text renderer of its own (a FreeType face is
// not shared between threads); fontconfig is asked under one lock.
TextRenderer* ThreadText(std::string* error) {
    static std::mutex lock;
    thread_local TextRenderer renderer;
    thread_local bool tried = false;
    thread_local bool opened = false;
    thread_local std::string openError;
    if (!tried) {
        std::lock_guard<std::mutex> guard(lock);
        opened = renderer.Open(&openError);
        tried = true;
    }
    if (!opened) *error = openError;
    return opened ? &renderer : nullptr;
}

// What the tool draws itself through the host library's callbacks: text
// with its own font renderer, images and bitmaps.
struct Drawing {
    Raster* page;
    unsigned dpi;
    TextRenderer* text;
    std::string error;
};

int DrawText(void* context, HDC, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    Drawing& c = *static_cast<Drawing*>(context);
    const WX5NH_ELEMENT& d = *element;
    const FO_ATTR_TEXT& t = d.attr.text;
    if (c.text == nullptr) return -1;
    const size_t n = wx5nh_text_length(overlay, element);
    if (n == 0) return -1;
    std::string utf8;
    if (t.textForm == 1) utf8 = HkzToUtf8(d.text, n, true);
    else utf8 = SjisToUtf8(d.text, n);
    if (utf8.empty()) return -1;

    // Positions of TEXT records are in 1/1440 inch; the other text record's
    // are device pixels already.
    double x = d.textPosition.x, y = d.textPosition.y;
    if (d.kind == 7) {
        x = x * c.dpi / 1440.0;
        y = y * c.dpi / 1440.0;
    }
    TextStyle style;
    const unsigned height = t.charHeight != 0 ? t.charHeight : 210;  // 10.5 point
    style.heightPx = height * c.dpi / 1440.0;
    style.expansion = t.charExpansion != 0 ? t.charExpansion / 100.0 : 1.0;
    style.spacingPx = static_cast<short>(t.charSpacing) / 100.0 * style.heightPx;
    style.rotation = t.textRotation & 3;
    style.rgb = static_cast<uint32_t>(wx5nh_colour_rgb(t.textColour));
    c.text->Draw(*c.page, DecodeUtf8(utf8), x, y, style);
    return 0;
}

int DrawImage(void* context, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    if (wx5nh_draw_image(nullptr, dc, overlay, element) == 0) return 0;
    static_cast<Drawing*>(context)->error = "an image's data is damaged or shorter than its size";
    return -1;
}

int DrawBitmap(void* context, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    if (wx5nh_draw_bitmap(nullptr, dc, overlay, element) == 0) return 0;
    static_cast<Drawing*>(context)->error = "a bitmap's data runs past the overlay";
    return -1;
}

}  // namespace

bool PageSizePx(const std::string& name, int dpi, int* width, int* height) {
    double w = 0, h = 0;
    for (const PageSize& p : kPages) {
        std::string a = p.name, b = name;
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        if (a == b) {
            w = p.width;
            h = p.height;
        }
    }
    if (w == 0) {
        char x = 0;
        char tail = 0;
        if (std::sscanf(name.c_str(), "%lf%c%lf%c", &w, &x, &h, &tail) != 3 || (x != 'x' && x != 'X'))
            return false;
    }
    if (w <= 0 || h <= 0 || dpi <= 0) return false;
    *width = static_cast<int>(std::lround(w / 25.4 * dpi));
    *height = static_cast<int>(std::lround(h / 25.4 * dpi));
    return *width >= 1 && *height >= 1 && *width <= kMaxPagePixels && *height <= kMaxPagePixels;
}

RenderResult RenderToRaster(const Loaded& overlay, const RenderOptions& options,
                            void (*write)(const Raster&, void*), void* context) {
    RenderResult result;
    int width = 0, height = 0;
    if (options.dpi < WX5NH_DPI_MIN || options.dpi > WX5NH_DPI_MAX) {
        result.error = "the resolution must be " + std::to_string(WX5NH_DPI_MIN) + " to " +
                       std::to_string(WX5NH_DPI_MAX) + " dpi";
        return result;
    }
    if (!PageSizePx(options.page, options.dpi, &width, &height)) {
        result.error = "unknown or too large page size \"" + options.page + "\"";
        return result;
    }
    HDC dc = swgdi_CreatePageDC(width, height, options.dpi, options.dpi, options.mono ? 1 : 32);
    SWGDI_SURFACE surface{};
    if (dc == nullptr || !swgdi_GetSurface(dc, &surface)) {
        if (dc) DeleteDC(dc);
        result.error = "cannot make a page of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return result;
    }
    Raster page;
    page.width = surface.width;
    page.height = surface.height;
    page.stride = static_cast<int>(surface.stride);
    page.mono = surface.bitsPerPixel == 1;
    page.dpi = options.dpi;
    page.bits = static_cast<uint8_t*>(surface.bits);

    std::string fontError;
    TextRenderer* text = ThreadText(&fontError);
    std::vector<uint8_t> image = overlay.image;  // the decoders take a writable cursor
    {
        WX5NH_OVERLAY view = HostView(overlay, image);
        Drawing drawing{&page, static_cast<unsigned>(options.dpi), text, {}};
        const WX5NH_CALLBACKS callbacks{&drawing, DrawText, DrawImage, DrawBitmap};
        WX5NH_RENDER_RESULT drawn{};
        wx5nh_render(dc, &view, static_cast<unsigned>(options.dpi), &callbacks, &drawn);
        result.elements = drawn.stop.elements;
        if (drawn.stop.result != 0) {
            result.error = "decoding stopped at byte " + std::to_string(drawn.stop.offset) +
                           " (result " + std::to_string(drawn.stop.result) + "); the elements before it are drawn";
        } else if (!drawing.error.empty()) {
            result.error = drawing.error;
        }
    }
    if (text == nullptr) result.warning = fontError + "; text is not drawn";
    write(page, context);
    DeleteDC(dc);
    result.ok = true;
    return result;
}

}  // namespace ovl
