// Vector documents: each page is the overlay drawn on a path device context
// whose geometry a cairo sink writes as paths, with text as text and
// pictures as images. PDF and PostScript hold any number of pages, SVG one.
#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>

#include <algorithm>
#include <cstring>

#include "document.h"
#include "wx5nhost.h"
#include "swgdi_path.h"
#include "textconv.h"
#include "vector_sink.h"
#include "vector_text.h"

namespace ovl {
namespace {

cairo_status_t WriteTo(void* closure, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                               : CAIRO_STATUS_WRITE_ERROR;
}

// An SVG page keeps the device's pixels as its user units: cairo sizes the
// root element in those units, and this stream puts the page's size in
// points there instead, so that the viewBox maps the pixels onto the page.
// Readers then lay pattern cells on whole device pixels instead of
// resampling them.
struct SvgStream {
    FILE* out;
    std::string width, height;  // the page's size, "595.2pt"
    std::string head;           // bytes held until the root element is complete
    bool passing = false;

    // Sets the value of attribute name within [from, to) of head.
    void Set(const char* name, const std::string& value, size_t from, size_t to) {
        const size_t at = head.find(name, from);
        if (at == std::string::npos || at >= to) return;
        const size_t open = at + std::strlen(name), close = head.find('"', open);
        if (close < to) head.replace(open, close - open, value);
    }

    cairo_status_t Flush() {
        passing = true;
        const cairo_status_t s = WriteTo(out, reinterpret_cast<const unsigned char*>(head.data()),
                                         static_cast<unsigned>(head.size()));
        head.clear();
        return s;
    }
};

cairo_status_t WriteSvg(void* closure, const unsigned char* data, unsigned int length) {
    auto* s = static_cast<SvgStream*>(closure);
    if (s->passing) return WriteTo(s->out, data, length);
    s->head.append(reinterpret_cast<const char*>(data), length);
    const size_t root = s->head.find("<svg ");
    const size_t end = root == std::string::npos ? root : s->head.find('>', root);
    if (end == std::string::npos) return s->head.size() < 65536 ? CAIRO_STATUS_SUCCESS : s->Flush();
    s->Set(" width=\"", s->width, root, end);
    s->Set(" height=\"", s->height, root, end);
    return s->Flush();
}

// What the host library's callbacks need to draw on one page.
struct PageContext {
    cairo_t* cr;
    VectorText* text;
    unsigned dpi;
    std::string error;
};

int DrawTextElement(void* context, HDC, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* e) {
    auto* page = static_cast<PageContext*>(context);
    const FO_ATTR_TEXT& t = e->attr.text;
    const size_t n = wx5nh_text_length(overlay, e);
    if (page->text == nullptr || n == 0) return -1;
    const std::string utf8 = t.textForm == 1 ? HkzToUtf8(e->text, n, true) : SjisToUtf8(e->text, n);
    if (utf8.empty()) return -1;
    // Positions of TEXT records are in 1/1440 inch; the other text record's
    // are device pixels already.
    double x = e->textPosition.x, y = e->textPosition.y;
    if (e->kind == 7) {
        x = x * page->dpi / 1440.0;
        y = y * page->dpi / 1440.0;
    }
    TextStyle style;
    const unsigned height = t.charHeight != 0 ? t.charHeight : 210;  // 10.5 point
    style.heightPx = height * page->dpi / 1440.0;
    style.expansion = t.charExpansion != 0 ? t.charExpansion / 100.0 : 1.0;
    style.spacingPx = static_cast<short>(t.charSpacing) / 100.0 * style.heightPx;
    style.rotation = t.textRotation & 3;
    style.vertical = t.textPath == 3;  // text path down: upright vertical writing
    style.rgb = static_cast<uint32_t>(wx5nh_colour_rgb(t.textColour));
    page->text->Draw(page->cr, DecodeUtf8(utf8), x, y, style);
    return 0;
}

// Pictures are drawn on the path device context, which hands them to the
// sink at their own pixels; a damaged one makes the page partial.
int DrawImageElement(void* context, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* e) {
    if (wx5nh_draw_image(nullptr, dc, overlay, e) == 0) return 0;
    static_cast<PageContext*>(context)->error = "an image's data is damaged or runs past the overlay";
    return -1;
}

int DrawBitmapElement(void* context, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* e) {
    if (wx5nh_draw_bitmap(nullptr, dc, overlay, e) == 0) return 0;
    static_cast<PageContext*>(context)->error = "a bitmap's data is damaged or runs past the overlay";
    return -1;
}

class VectorDocument : public Document {
public:
    VectorDocument(std::string format, FILE* out) : format_(std::move(format)), out_(out) {}
    ~VectorDocument() override {
        if (surface_) cairo_surface_destroy(surface_);
    }

    bool Open(const RenderOptions& options, std::string* error) {
        if (format_ != "pdf" && format_ != "ps" && format_ != "svg") {
            *error = "\"" + format_ + "\" is not a vector format (pdf, svg or ps)";
            return false;
        }
        int w = 0, h = 0;
        if (!PageSizePx(options, &w, &h)) {
            *error = "unknown or too large page size \"" + options.page + "\"";
            return false;
        }
        const double wPt = PointsOf(w, options.dpi), hPt = PointsOf(h, options.dpi);
        if (format_ == "pdf") {
            surface_ = cairo_pdf_surface_create_for_stream(WriteTo, out_, wPt, hPt);
        } else if (format_ == "ps") {
            surface_ = cairo_ps_surface_create_for_stream(WriteTo, out_, wPt, hPt);
        } else {
            svg_.out = out_;
            svg_.width = Points(wPt);
            svg_.height = Points(hPt);
            surface_ = cairo_svg_surface_create_for_stream(WriteSvg, &svg_, w, h);
            cairo_svg_surface_set_document_unit(surface_, CAIRO_SVG_UNIT_PT);
        }
        if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
            *error = std::string("cannot start the document: ") + cairo_status_to_string(cairo_surface_status(surface_));
            return false;
        }
        if (format_ == "pdf") cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "ovl");
        fontOk_ = text_.Open(&fontError_);
        return true;
    }

    RenderResult AddPage(const Loaded& overlay, const RenderOptions& options) override {
        RenderResult result;
        int width = 0, height = 0;
        if (options.dpi < 57 || options.dpi > 14400) {
            result.error = "the resolution must be 57 to 14400 dpi";
            return result;
        }
        if (!PageSizePx(options, &width, &height)) {
            result.error = "unknown or too large page size \"" + options.page + "\"";
            return result;
        }
        if (format_ == "svg" && pages_ > 0) {
            result.error = "an SVG document holds one page";
            return result;
        }
        if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
            result.error = std::string("the document cannot be written: ") +
                           cairo_status_to_string(cairo_surface_status(surface_));
            return result;
        }
        const double wPt = PointsOf(width, options.dpi), hPt = PointsOf(height, options.dpi);
        if (format_ == "pdf") cairo_pdf_surface_set_size(surface_, wPt, hPt);
        if (format_ == "ps") cairo_ps_surface_set_size(surface_, wPt, hPt);

        // With an offset, the drawing is made on a device widened by the
        // part of the offset that moves it left or up, then moved into place.
        int dx = 0, dy = 0;
        OffsetPx(options, &dx, &dy);
        const int drawWidth = width + std::max(0, -dx), drawHeight = height + std::max(0, -dy);
        cairo_t* cr = cairo_create(surface_);
        // User space is device pixels; an SVG page has them as its units.
        if (format_ != "svg") cairo_scale(cr, 72.0 / options.dpi, 72.0 / options.dpi);
        cairo_translate(cr, dx, dy);
        PageContext page{cr, fontOk_ ? &text_ : nullptr, static_cast<unsigned>(options.dpi), {}};
        CairoSink sink(cr, format_ == "svg");
        const SWGDI_PATH_SINK callbacks = sink.Callbacks();
        HDC dc = swgdi_CreatePathDC(drawWidth, drawHeight, options.dpi, options.dpi, &callbacks);
        if (dc == nullptr) {
            cairo_destroy(cr);
            result.error = "cannot make a page of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
            return result;
        }
        std::vector<uint8_t> image = overlay.image;  // the decoders take a writable image
        WX5NH_OVERLAY ov = HostView(overlay, image);
        WX5NH_CALLBACKS host{};
        host.context = &page;
        host.text = DrawTextElement;
        host.image = DrawImageElement;
        host.bitmap = DrawBitmapElement;
        WX5NH_RENDER_RESULT r{};
        const int stop = wx5nh_render(dc, &ov, static_cast<unsigned>(options.dpi), &host, &r);
        DeleteDC(dc);
        cairo_show_page(cr);
        cairo_destroy(cr);
        ++pages_;

        result.elements = r.stop.elements;
        if (stop != 0) {
            result.error = "decoding stopped at byte " + std::to_string(r.stop.offset) + " (result " +
                           std::to_string(stop) + "); the elements before it are drawn";
        } else if (!page.error.empty()) {
            result.error = page.error;
        }
        result.warning = sink.TakeWarnings();
        if (!fontOk_) result.warning += (result.warning.empty() ? "" : "; ") + fontError_ + "; text is not drawn";
        if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
            result.error = std::string("the page cannot be written: ") +
                           cairo_status_to_string(cairo_surface_status(surface_));
            return result;
        }
        result.ok = true;
        return result;
    }

    bool Finish(std::string* error) override {
        if (pages_ == 0) {
            *error = "the document has no pages";
            return false;
        }
        cairo_surface_finish(surface_);
        cairo_status_t status = cairo_surface_status(surface_);
        if (status == CAIRO_STATUS_SUCCESS && format_ == "svg" && !svg_.passing) status = svg_.Flush();
        if (status != CAIRO_STATUS_SUCCESS) {
            *error = std::string("cannot write the document: ") + cairo_status_to_string(status);
            return false;
        }
        if (std::fflush(out_) != 0 || std::ferror(out_)) {
            *error = "cannot write the document";
            return false;
        }
        return true;
    }

private:
    // The page's size in points: its whole pixels at the resolution, so
    // that the document rasterised at that resolution has the raster page's
    // size.
    static double PointsOf(int pixels, int dpi) { return pixels * 72.0 / dpi; }
    static std::string Points(double pt) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6gpt", pt);
        return text;
    }

    std::string format_;
    FILE* out_;
    VectorText text_;  // declared before the surface: it outlives the pages
    bool fontOk_ = false;
    std::string fontError_;
    SvgStream svg_{};
    cairo_surface_t* surface_ = nullptr;
    int pages_ = 0;
};

}  // namespace

std::unique_ptr<Document> OpenVectorDocument(const std::string& format, FILE* out, const RenderOptions& options,
                                             std::string* error) {
    if (out == nullptr) {
        *error = "no output to write the document to";
        return nullptr;
    }
    auto doc = std::make_unique<VectorDocument>(format, out);
    if (!doc->Open(options, error)) return nullptr;
    return doc;
}

}  // namespace ovl
