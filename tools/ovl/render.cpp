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

// Each rendering thread has a text renderer of its own (a FreeType face is
// not shared between threads), kept across pages with its glyphs; it sets up
// fontconfig and FreeType the first time a page has text.
TextRenderer* ThreadText() {
    thread_local TextRenderer renderer;
    return &renderer;
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
    utf8 = ElementTextToUtf8(d.text, n, t.textForm, t.textLength);
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
    style.vertical = t.textPath == 3;  // text path down: upright vertical writing
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
    const double wPx = std::min(w / 25.4 * dpi, 1e9), hPx = std::min(h / 25.4 * dpi, 1e9);
    *width = static_cast<int>(std::lround(wPx));
    *height = static_cast<int>(std::lround(hPx));
    return *width >= 1 && *height >= 1 && *width <= kMaxPagePixels && *height <= kMaxPagePixels;
}

bool PageSizePx(const RenderOptions& options, int* width, int* height) {
    const bool ok = PageSizePx(options.page, options.dpi, width, height);
    if (options.landscape == (*width < *height)) std::swap(*width, *height);
    return ok;
}

void OffsetPx(const RenderOptions& options, int* dx, int* dy) {
    *dx = static_cast<int>(std::lround(std::max(-1e6, std::min(1e6, options.offsetX)) / 25.4 * options.dpi));
    *dy = static_cast<int>(std::lround(std::max(-1e6, std::min(1e6, options.offsetY)) / 25.4 * options.dpi));
}

namespace {

// Moves a drawing made on a page widened by the leftward and upward part of
// the offset into place on the page's first width x height pixels:
// page(x, y) = drawing(x - dx, y - dy), paper where the drawing has none.
// Rows are taken in the order that reads each before it is overwritten.
void ShiftPage(Raster* page, int width, int height, int dx, int dy) {
    const size_t stride = static_cast<size_t>(page->stride);
    std::vector<uint8_t> bits;  // one 1-bit row, moved bit by bit
    if (page->mono) bits.resize(stride);
    auto moveRow = [&](int y) {
        uint8_t* dst = page->bits + static_cast<size_t>(y) * stride;
        const int sy = y - dy;
        if (sy < 0 || sy >= page->height) {
            if (page->mono) std::memset(dst, 0xFF, stride);
            else std::fill(reinterpret_cast<uint32_t*>(dst), reinterpret_cast<uint32_t*>(dst) + width, 0x00FFFFFFu);
            return;
        }
        const uint8_t* src = page->bits + static_cast<size_t>(sy) * stride;
        if (!page->mono) {
            auto* d = reinterpret_cast<uint32_t*>(dst);
            const int from = std::max(0, dx), to = std::min(width, page->width + dx);
            if (to > from) std::memmove(d + from, reinterpret_cast<const uint32_t*>(src) + (from - dx), 4 * static_cast<size_t>(to - from));
            if (to <= from) {
                std::fill(d, d + width, 0x00FFFFFFu);
            } else {
                std::fill(d, d + from, 0x00FFFFFFu);
                std::fill(d + to, d + width, 0x00FFFFFFu);
            }
            return;
        }
        std::memset(bits.data(), 0xFF, stride);  // 1 bits are paper
        for (int x = 0; x < width; ++x) {
            const int sx = x - dx;
            if (sx >= 0 && sx < page->width && !((src[sx >> 3] >> (7 - (sx & 7))) & 1))
                bits[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
        }
        std::memcpy(dst, bits.data(), stride);
    };
    if (dy > 0) {
        for (int y = height - 1; y >= 0; --y) moveRow(y);
    } else {
        for (int y = 0; y < height; ++y) moveRow(y);
    }
    page->width = width;
    page->height = height;
}

// One page buffer per rendering thread, kept from page to page of a batch
// and cleared for each (a fresh buffer costs the kernel's page faults and
// zeroing, more than drawing most pages). Each page gets a fresh device
// context, so no drawing state passes from one page to the next.
class ThreadPage {
public:
    ~ThreadPage() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    // A white page of width x height at bpp (32 or 1) on a new DC that
    // reports the size of a page of pageWidth x pageHeight; null when it
    // cannot be made.
    HDC Open(int width, int height, int dpi, int bpp, int pageWidth, int pageHeight) {
        if (!bitmap_ || width != width_ || height != height_ || bpp != bpp_) {
            if (bitmap_) DeleteObject(bitmap_);
            bitmap_ = nullptr;
            struct {
                BITMAPINFOHEADER h;
                RGBQUAD colours[2];
            } info{};
            info.h.biSize = sizeof(BITMAPINFOHEADER);
            info.h.biWidth = width;
            info.h.biHeight = -height;
            info.h.biPlanes = 1;
            info.h.biBitCount = static_cast<WORD>(bpp);
            info.colours[1] = RGBQUAD{255, 255, 255, 0};  // 1 bits are paper
            bitmap_ = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits_, nullptr, 0);
            if (!bitmap_) return nullptr;
            width_ = width;
            height_ = height;
            bpp_ = bpp;
        }
        const size_t stride = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
        if (bpp == 32) {
            uint32_t* p = static_cast<uint32_t*>(bits_);
            std::fill(p, p + stride / 4 * height, 0x00FFFFFFu);
        } else {
            std::memset(bits_, 0xFF, stride * height);
        }
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) return nullptr;
        previous_ = SelectObject(dc, bitmap_);
        // Millimetres rounded to the nearest, never 0, as a page DC reports.
        const int mmX = std::max(1, static_cast<int>(std::lround(pageWidth * 25.4 / dpi)));
        const int mmY = std::max(1, static_cast<int>(std::lround(pageHeight * 25.4 / dpi)));
        swgdi_SetDeviceMetrics(dc, pageWidth, pageHeight, mmX, mmY, dpi, dpi);
        return dc;
    }
    void Close(HDC dc) {
        SelectObject(dc, previous_);
        DeleteDC(dc);
    }

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0, height_ = 0, bpp_ = 0;
};

}  // namespace

RenderResult RenderToRaster(const Loaded& overlay, const RenderOptions& options,
                            void (*write)(const Raster&, void*), void* context) {
    RenderResult result;
    int width = 0, height = 0;
    if (options.dpi < kMinDpi || options.dpi > kMaxDpi) {
        result.error = "the resolution must be " + std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi) + " dpi";
        return result;
    }
    if (!PageSizePx(options, &width, &height)) {
        result.error = "unknown or too large page size \"" + options.page + "\"";
        return result;
    }
    // With an offset, the drawing is made on the page widened by the part
    // of the offset that moves it left or up, then moved into place.
    int dx = 0, dy = 0;
    OffsetPx(options, &dx, &dy);
    const int drawWidth = width + std::max(0, -dx), drawHeight = height + std::max(0, -dy);
    if (drawWidth > kMaxPagePixels || drawHeight > kMaxPagePixels) {
        result.error = "the offset makes the page larger than " + std::to_string(kMaxPagePixels) + " pixels";
        return result;
    }
    thread_local ThreadPage threadPage;
    HDC dc = threadPage.Open(drawWidth, drawHeight, options.dpi, options.mono ? 1 : 32, width, height);
    SWGDI_SURFACE surface{};
    if (dc == nullptr || !swgdi_GetSurface(dc, &surface)) {
        if (dc) threadPage.Close(dc);
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

    TextRenderer* text = ThreadText();
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
    if (text->Failed()) result.warning = text->OpenError() + "; text is not drawn";
    if (dx != 0 || dy != 0) ShiftPage(&page, width, height, dx, dy);
    write(page, context);
    threadPage.Close(dc);
    result.ok = true;
    return result;
}

}  // namespace ovl
