// Draws an overlay on a page as a host does: every element through the
// library's decoders; lines, boxes, areas, circles and ellipses through its
// drawing functions on a GDI page; text, images and bitmaps by the host.
#include "render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "host_walk.h"
#include "include/wx5novl1.h"
#include "mapping.h"
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
// not shared between threads), kept across pages with its glyphs; it sets up
// fontconfig and FreeType the first time a page has text.
TextRenderer* ThreadText() {
    thread_local TextRenderer renderer;
    return &renderer;
}

// The conversion of image sizes by resolution code, as the image decoder
// works them out: the converted value of v, or -1 for an unknown code.
long ConvertBy(unsigned code, long v) {
    switch (code) {
        case 0xB1: return v / 2 + v % 2;
        case 0xB3: { static const int a[5] = {0, 1, 1, 2, 2}; return v / 5 * 3 + a[v % 5]; }
        case 0xC0: return v / 2 * 3 + (v % 2 ? 2 : 0);
        case 0xC1: case 0xF0: case 0xF2: case 0xF3: return v;
        case 0xC2: { static const int a[3] = {0, 2, 3}; return v / 3 * 4 + a[v % 3]; }
        case 0xC3: case 0xF1: { static const int a[5] = {0, 2, 3, 4, 5}; return v / 5 * 6 + a[v % 5]; }
        case 0xC4: { static const int a[5] = {0, 1, 1, 2, 3}; return v / 5 * 4 + a[v % 5]; }
        case 0xD0: return 3 * v;
        case 0xD1: return 2 * v;
        default: return -1;
    }
}

class Renderer {
public:
    // image is the loaded image the walk runs over: the decoders' pointers
    // point into it.
    Renderer(HDC dc, Raster* page, const std::vector<uint8_t>& image, unsigned dpi,
             TextRenderer* text)
        : dc_(dc), page_(page), image_(image), dpi_(dpi), text_(text) {
        fosetlinedef(&work_);
        StartMngObject(dc_, &mng_);
    }
    ~Renderer() { EndMngObject(dc_, &mng_); }

    void Draw(const hostwalk::Decoded& d);
    std::string error;

private:
    struct Hatch {
        HBRUSH brush = nullptr;
        HGDIOBJ previous = nullptr;
    };
    LINEREC Frame(const FO_ATTR& attr, bool edge) const;
    Hatch Fill(const FO_ATTR& attr, int density);
    void EndFill(const Hatch& h);
    void DrawText(const hostwalk::Decoded& d);
    void DrawImage(const hostwalk::Decoded& d);
    void DrawBitmap(const hostwalk::Decoded& d);

    HDC dc_;
    Raster* page_;
    const std::vector<uint8_t>& image_;
    unsigned dpi_;
    TextRenderer* text_;
    FO_WORK work_{};
    MNG_OBJECT mng_{};
    LINEREC group_{};        // the line of the segment group being drawn
    bool inGroup_ = false;
    RECTREC square_{};       // a box without rounded corners or open sides

public:
    FO_WORK* work() { return &work_; }
};

LINEREC Renderer::Frame(const FO_ATTR& attr, bool edge) const {
    const int width = edge ? attr.line.edgeWidth : attr.line.lineWidth;
    LINEREC line = LineRecord(attr, dpi_, edge, width);
    if (line.cap == 0) line.cap = 1;
    return line;
}

// Prepares a fill: the colour of its ink (the pattern brushes paint their 0
// bits in the text colour) and, since the drawing functions fill with the
// current brush when they are given a management record, the hatch brush
// selected. Returns the brush to put back once the shape is drawn.
Renderer::Hatch Renderer::Fill(const FO_ATTR& attr, int density) {
    Hatch h;
    if (density == 0) return h;
    SetTextColor(dc_, ColourRef(attr.line.fillColour == 0 ? 7 : attr.line.fillColour));
    SetBkColor(dc_, RGB(255, 255, 255));
    h.brush = foGetHatchBrush(density);
    if (h.brush) h.previous = SelectObject(dc_, h.brush);
    return h;
}

void Renderer::EndFill(const Hatch& h) {
    if (!h.brush) return;
    SelectObject(dc_, h.previous);
    DeleteObject(h.brush);
}

void Renderer::Draw(const hostwalk::Decoded& d) {
    const FO_ATTR& a = d.attr;
    if (d.kind != 10) inGroup_ = false;
    switch (d.kind) {
        case 1: {  // a ruled line with its own width
            LINEREC line = LineRecord(a, dpi_, false, d.width);
            foExtLine(dc_, d.point[0].x, d.point[0].y, d.point[1].x, d.point[1].y, &line, &mng_);
            break;
        }
        case 10: {  // one segment of a group; the dash runs on through the group
            if (d.ended) {
                inGroup_ = false;
                break;
            }
            if (!inGroup_) {
                group_ = LineRecord(a, dpi_, false, a.line.lineWidth);
                inGroup_ = true;
            }
            foExtLine(dc_, d.point[0].x, d.point[0].y, d.point[1].x, d.point[1].y, &group_, &mng_);
            break;
        }
        case 3: {
            RECT r{d.point[0].x, d.point[0].y, d.point[1].x, d.point[1].y};
            LINEREC line = Frame(a, false);
            const int hatch = FillDensity(a);
            const Hatch h = Fill(a, hatch);
            foExtRectangle(dc_, r, hatch, hatch ? 1 : 0, &line, &square_, &mng_);
            EndFill(h);
            break;
        }
        case 4:
        case 5:
        case 6: {
            if (d.low.x > d.high.x || d.low.y > d.high.y) break;  // an area without outline
            RECT r{d.low.x, d.low.y, d.high.x, d.high.y};
            // Corner slots by the direction each arc runs, for an outline
            // drawn clockwise: [2] top-left, [0] top-right, [1] bottom-right,
            // [3] bottom-left.
            RECTREC shape{};
            shape.radius[0] = a.line.cornerRadius[2];
            shape.radius[1] = a.line.cornerRadius[0];
            shape.radius[2] = a.line.cornerRadius[1];
            shape.radius[3] = a.line.cornerRadius[3];
            LINEREC line = Frame(a, true);
            if (!a.line.edgeVisible) line.kind = 0;
            const int hatch = FillDensity(a);
            const Hatch h = Fill(a, hatch);
            foExtRectangle(dc_, r, hatch, hatch ? 1 : 0, &line, &shape, &mng_);
            EndFill(h);
            break;
        }
        case 2:
        case 8: {
            const int rx = d.kind == 2 ? d.radius : d.radiusX;
            const int ry = d.kind == 2 ? d.radius : d.radiusY;
            LINEREC line = Frame(a, false);
            const int hatch = FillDensity(a);
            const Hatch h = Fill(a, hatch);
            foExtEllipse(dc_, d.centre.x, d.centre.y, rx, ry, hatch, hatch ? 1 : 0, &line, &mng_);
            EndFill(h);
            break;
        }
        case 7:
        case 12: DrawText(d); break;
        case 9: DrawImage(d); break;
        case 11: DrawBitmap(d); break;
        default: break;
    }
}

void Renderer::DrawText(const hostwalk::Decoded& d) {
    const FO_ATTR_TEXT& t = d.attr.text;
    if (text_ == nullptr || d.text == nullptr || d.cursorAfter == nullptr || d.cursorAfter < d.text)
        return;
    // The text runs from its first byte to the end of its record.
    size_t n = static_cast<size_t>(d.cursorAfter - d.text);
    if (n > t.textLength) n = t.textLength;
    std::string utf8;
    utf8 = ElementTextToUtf8(d.text, n, t.textForm, t.textLength);
    if (utf8.empty()) return;

    // Positions of TEXT records are in 1/1440 inch; the other text record's
    // are device pixels already.
    double x = d.textPosition.x, y = d.textPosition.y;
    if (d.kind == 7) {
        x = x * dpi_ / 1440.0;
        y = y * dpi_ / 1440.0;
    }
    TextStyle style;
    const unsigned height = t.charHeight != 0 ? t.charHeight : 210;  // 10.5 point
    style.heightPx = height * dpi_ / 1440.0;
    style.expansion = t.charExpansion != 0 ? t.charExpansion / 100.0 : 1.0;
    style.spacingPx = static_cast<short>(t.charSpacing) / 100.0 * style.heightPx;
    style.rotation = t.textRotation & 3;
    style.vertical = t.textPath == 3;  // text path down: upright vertical writing
    style.rgb = ColourRgb(t.textColour);
    text_->Draw(*page_, DecodeUtf8(utf8), x, y, style);
}

void Renderer::DrawImage(const hostwalk::Decoded& d) {
    const uint8_t* begin = image_.data();
    const uint8_t* end = begin + image_.size();
    const uint8_t* p = d.imageRecord;
    if (p == nullptr || p < begin || p + 30 > end || p[22] != 0xF9) return;
    // The parameters from the identifier on, joined across partitions.
    std::vector<uint8_t> params;
    const size_t recordLen = hostwalk::OwnLength(p, static_cast<size_t>(end - p));
    if (recordLen < 6) return;
    size_t pos = 2;
    unsigned word;
    do {
        word = (p[pos] << 8) | p[pos + 1];
        const size_t len = std::min<size_t>(word & 0x7FFF, recordLen - pos - 2);
        params.insert(params.end(), p + pos + 2, p + pos + 2 + len);
        pos += 2 + (word & 0x7FFF);
    } while ((word & 0x8000) && pos + 2 <= recordLen);
    if (params.size() < 26) return;
    const unsigned code = params[19];
    const long rows = params[20] | (params[21] << 8);
    const long rowLen = params[22] | (params[23] << 8);
    const long outRows = ConvertBy(code, rows), outLen = ConvertBy(code, rowLen);
    const size_t stride = static_cast<size_t>((rowLen + 7) / 8);
    if (rows <= 0 || rowLen <= 0 || outRows <= 0 || outLen <= 0) return;
    if (params.size() < 26 + stride * static_cast<size_t>(rows)) {
        error = "an image's data is shorter than its size";
        return;
    }
    // A top-down 1-bit DIB: rows padded to 4 bytes, 1 bits are ink.
    const size_t dibStride = (stride + 3) / 4 * 4;
    std::vector<uint8_t> bits(dibStride * static_cast<size_t>(rows), 0);
    for (long r = 0; r < rows; ++r)
        std::memcpy(&bits[static_cast<size_t>(r) * dibStride], &params[26 + static_cast<size_t>(r) * stride], stride);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[2];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = rowLen;
    info.h.biHeight = -rows;
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    info.colours[0] = RGBQUAD{255, 255, 255, 0};
    info.colours[1] = RGBQUAD{0, 0, 0, 0};
    StretchDIBits(dc_, d.imagePosition.x, d.imagePosition.y, outLen, outRows, 0, 0, rowLen, rows,
                  bits.data(), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCAND);
}

void Renderer::DrawBitmap(const hostwalk::Decoded& d) {
    const uint8_t* begin = image_.data();
    const uint8_t* end = begin + image_.size();
    const uint8_t* h = d.bitmap.bitmapInfo;
    if (h == nullptr || h < begin || end - h < 40) return;
    // Copy the header and colour table out of the overlay: they need not be
    // aligned there.
    BITMAPINFOHEADER head;
    std::memcpy(&head, h, sizeof(head));
    const int bitCount = head.biBitCount;
    unsigned colours = head.biClrUsed;
    if (colours == 0 && (bitCount == 1 || bitCount == 4 || bitCount == 8)) colours = 1u << bitCount;
    if (colours > 256) return;
    size_t table = 4 * static_cast<size_t>(colours);
    if ((bitCount == 16 || bitCount == 32) && head.biCompression == 3) table = 12;
    const size_t offset = head.biSize + table;
    if (head.biSize < 40 || static_cast<size_t>(end - h) < offset + d.bitmap.bitsSize) {
        error = "a bitmap's data runs past the overlay";
        return;
    }
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + table + 16, 0);
    std::memcpy(info.data(), &head, sizeof(head));
    reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), h + head.biSize, table);
    std::vector<uint8_t> bits(h + offset, h + offset + d.bitmap.bitsSize);
    const RECT r{std::min(d.bitmapCorner[0].x, d.bitmapCorner[1].x), std::min(d.bitmapCorner[0].y, d.bitmapCorner[1].y),
                 std::max(d.bitmapCorner[0].x, d.bitmapCorner[1].x), std::max(d.bitmapCorner[0].y, d.bitmapCorner[1].y)};
    const int srcH = head.biHeight < 0 ? -head.biHeight : head.biHeight;
    StretchDIBits(dc_, r.left, r.top, std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top), 0, 0,
                  head.biWidth, srcH, bits.data(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                  DIB_RGB_COLORS, SRCCOPY);
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
    if (options.dpi < 57 || options.dpi > 14400) {
        result.error = "the resolution must be 57 to 14400 dpi";
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

    TextRenderer* text = ThreadText();
    std::vector<uint8_t> image = overlay.image;  // the decoders take a writable cursor
    {
        Renderer renderer(dc, &page, image, static_cast<unsigned>(options.dpi), text);
        hostwalk::WalkSetup setup;
        setup.dpi = static_cast<unsigned>(options.dpi);
        setup.work = renderer.work();
        setup.fonts = &overlay.fonts;
        // EBCDIC overlays carry EBCDIC/HKZ text, the others Shift JIS.
        setup.textMode = overlay.layoutVersion == 1 ? 1 : 2;
        setup.textEncoding = 3;
        setup.keepAttributes = true;
        setup.maxSteps = 10'000'000;
        const size_t first = overlay.elements;
        const hostwalk::WalkResult w = hostwalk::Walk(
            image.data() + first, static_cast<unsigned>(image.size() - first), setup,
            [&](const hostwalk::Decoded& d) {
                if (d.result == 0) renderer.Draw(d);
            });
        result.elements = w.elements;
        if (w.result != 0) {
            result.error = "decoding stopped at byte " + std::to_string(first + w.offset) +
                           " (result " + std::to_string(w.result) + "); the elements before it are drawn";
        } else if (!renderer.error.empty()) {
            result.error = renderer.error;
        }
    }
    if (text->Failed()) result.warning = text->OpenError() + "; text is not drawn";
    write(page, context);
    DeleteDC(dc);
    result.ok = true;
    return result;
}

}  // namespace ovl
