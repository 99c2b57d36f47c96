// Page output: PNG through libpng, TIFF through libtiff (CCITT Group 4 for
// 1-bit pages, LZW for colour and grey) and PDF through cairo's PDF surface
// (each page as an image at its resolution, so it prints at its true size).
// Every document writes to a stream the caller opened; the caller sees write
// failures on that stream, the document its own.
#include <cairo-pdf.h>
#include <cairo.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "document.h"
#include "raster.h"

namespace ovl {

bool Raster::Ink(int x, int y) const {
    const uint8_t* row = bits + static_cast<size_t>(y) * stride;
    if (mono) return ((row[x >> 3] >> (7 - (x & 7))) & 1) == 0;
    return Rgb(x, y) != 0xFFFFFF;
}

uint32_t Raster::Rgb(int x, int y) const {
    const uint8_t* row = bits + static_cast<size_t>(y) * stride;
    if (mono) return Ink(x, y) ? 0x000000 : 0xFFFFFF;
    const uint8_t* p = row + 4 * static_cast<size_t>(x);
    return (static_cast<uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];  // B, G, R, unused
}

namespace {

const uint32_t* Row32(const Raster& page, int y) {
    return reinterpret_cast<const uint32_t*>(page.bits + static_cast<size_t>(y) * page.stride);
}

bool IsGrey(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) == (rgb & 0xFF) && ((rgb >> 8) & 0xFF) == (rgb & 0xFF);
}

// Luma of 0xRRGGBB in integer BT.601 weights (sum 256).
uint8_t Luma(uint32_t rgb) {
    return static_cast<uint8_t>((((rgb >> 16) & 0xFF) * 77 + ((rgb >> 8) & 0xFF) * 150 + (rgb & 0xFF) * 29) >> 8);
}

// The distinct colours of a 32-bit page, up to 256, found with a small hash
// table; pages are mostly runs of one colour, so the last colour is checked
// first.
struct Palette {
    uint32_t colour[256];
    int count = 0;
    bool overflow = false;   // more than 256 colours
    bool grey = true;        // every pixel has R = G = B
    int16_t slot[4096];      // hash of a colour -> its index, -1 empty

    static unsigned Hash(uint32_t c) { return (c * 2654435761u) >> 20; }
    int Find(uint32_t c) const {
        for (unsigned h = Hash(c);; h = (h + 1) & 4095) {
            if (slot[h] < 0) return -1;
            if (colour[slot[h]] == c) return slot[h];
        }
    }
    void Scan(const Raster& page) {
        std::fill(std::begin(slot), std::end(slot), -1);
        uint32_t last = 0xFFFFFFFFu;
        for (int y = 0; y < page.height; ++y) {
            const uint32_t* row = Row32(page, y);
            for (int x = 0; x < page.width; ++x) {
                const uint32_t c = row[x] & 0xFFFFFF;
                if (c == last) continue;
                last = c;
                grey = grey && IsGrey(c);
                if (overflow) continue;
                unsigned h = Hash(c);
                while (slot[h] >= 0 && colour[slot[h]] != c) h = (h + 1) & 4095;
                if (slot[h] >= 0) continue;
                if (count == 256) {
                    overflow = true;
                    continue;
                }
                colour[count] = c;
                slot[h] = static_cast<int16_t>(count++);
            }
        }
    }
};

// The PNG row layouts.
enum class PngLayout { Mono1, Grey1, Grey8, Palette, Rgb };

struct PngSink {
    FILE* out;
    bool failed = false;
};

void PngWrite(png_structp png, png_bytep data, size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, sink->out) != length) {
        sink->failed = true;
        png_error(png, "write failed");
    }
}

void PngFlush(png_structp) {}

// Failures come back as the encoder's result; libpng prints nothing.
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// Packs one row of the page into the layout's bytes.
void PackRow(const Raster& page, int y, PngLayout layout, int depth, const Palette& pal,
             std::vector<uint8_t>* row) {
    uint8_t* out = row->data();
    if (layout == PngLayout::Mono1) {
        std::memcpy(out, page.bits + static_cast<size_t>(y) * page.stride, row->size());
        return;
    }
    const uint32_t* src = Row32(page, y);
    switch (layout) {
        case PngLayout::Grey1:
            std::fill(row->begin(), row->end(), 0);
            for (int x = 0; x < page.width; ++x)
                if (Luma(src[x] & 0xFFFFFF) >= 128) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            break;
        case PngLayout::Grey8:
            for (int x = 0; x < page.width; ++x) out[x] = Luma(src[x] & 0xFFFFFF);
            break;
        case PngLayout::Palette: {
            std::fill(row->begin(), row->end(), 0);
            const int perByte = 8 / depth;
            uint32_t last = 0xFFFFFFFFu;
            int index = 0;
            for (int x = 0; x < page.width; ++x) {
                const uint32_t c = src[x] & 0xFFFFFF;
                if (c != last) {
                    last = c;
                    index = pal.Find(c);
                }
                const int shift = 8 - depth * (x % perByte + 1);
                out[x / perByte] |= static_cast<uint8_t>(index << shift);
            }
            break;
        }
        default:
            for (int x = 0; x < page.width; ++x) {
                out[3 * x] = static_cast<uint8_t>(src[x] >> 16);
                out[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
                out[3 * x + 2] = static_cast<uint8_t>(src[x]);
            }
    }
}

}  // namespace

// The long part is libpng's set-up, one call per header field.
bool WritePng(const Raster& page, FILE* out, bool grey, std::string* error) {
    // Choose the smallest layout that keeps every pixel (grey: every luma).
    auto pal = std::make_unique<Palette>();
    PngLayout layout = PngLayout::Mono1;
    int depth = 1;
    if (!page.mono) {
        pal->Scan(page);
        bool blackWhite = true;
        for (int i = 0; i < pal->count && blackWhite; ++i)
            blackWhite = pal->colour[i] == 0 || pal->colour[i] == 0xFFFFFF;
        if (!pal->overflow && blackWhite) {
            layout = PngLayout::Grey1;
        } else if (grey || pal->grey) {
            layout = PngLayout::Grey8;
            depth = 8;
        } else if (!pal->overflow) {
            layout = PngLayout::Palette;
            depth = pal->count <= 2 ? 1 : pal->count <= 4 ? 2 : pal->count <= 16 ? 4 : 8;
        } else {
            layout = PngLayout::Rgb;
            depth = 8;
        }
    }
    const int colourType = layout == PngLayout::Palette ? PNG_COLOR_TYPE_PALETTE
                           : layout == PngLayout::Rgb   ? PNG_COLOR_TYPE_RGB
                                                        : PNG_COLOR_TYPE_GRAY;
    const size_t channels = layout == PngLayout::Rgb ? 3 : 1;
    std::vector<uint8_t> row((static_cast<size_t>(page.width) * channels * depth + 7) / 8);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        *error = "out of memory";
        return false;
    }
    PngSink sink{out};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = sink.failed ? "write failed" : "the PNG encoder failed";
        return false;
    }
    png_set_write_fn(png, &sink, PngWrite, PngFlush);
    png_set_IHDR(png, info, page.width, page.height, depth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout == PngLayout::Palette) {
        png_color colours[256];
        for (int i = 0; i < pal->count; ++i)
            colours[i] = png_color{static_cast<png_byte>(pal->colour[i] >> 16),
                                   static_cast<png_byte>(pal->colour[i] >> 8),
                                   static_cast<png_byte>(pal->colour[i])};
        png_set_PLTE(png, info, colours, pal->count);
    }
    const png_uint_32 ppm = static_cast<png_uint_32>(page.dpi / 0.0254 + 0.5);
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
    // Rows of indices or bits gain nothing from filters; RGB and grey rows
    // keep libpng's choice of filter per row.
    if (depth < 8 || layout == PngLayout::Palette) png_set_filter(png, 0, PNG_FILTER_NONE);
    png_write_info(png, info);
    for (int y = 0; y < page.height; ++y) {
        PackRow(page, y, layout, depth, *pal, &row);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

namespace {

// Keeps the document's first failure; the pages after it are not encoded.
class RasterDocument : public Document {
public:
    explicit RasterDocument(FILE* out) : out_(out) {}
    RenderResult AddPage(const Loaded& overlay, const RenderOptions& options) override {
        return RenderPage(overlay, options, [&](const Raster& page) {
            if (error_.empty()) Encode(page);
            ++pages_;
        });
    }
    bool Finish(std::string* error) override {
        if (error_.empty() && pages_ == 0) error_ = "no page to write";
        if (error_.empty()) Complete();
        if (error_.empty()) return true;
        *error = error_;
        return false;
    }

protected:
    virtual void Encode(const Raster& page) = 0;
    virtual void Complete() {}
    FILE* out_;
    std::string error_;
    size_t pages_ = 0;
};

class PngDocument : public RasterDocument {
public:
    PngDocument(FILE* out, bool grey) : RasterDocument(out), grey_(grey) {}

private:
    void Encode(const Raster& page) override {
        if (pages_ > 0) error_ = "a PNG file holds one page";
        else WritePng(page, out_, grey_, &error_);
    }
    bool grey_;
};

// TIFF pages are assembled in memory (libtiff seeks back to link each page's
// directory) and written out whole, so the stream may be a pipe.
class TiffDocument : public RasterDocument {
public:
    TiffDocument(FILE* out, bool grey) : RasterDocument(out), grey_(grey) {
        TIFFSetWarningHandler(nullptr);
        TIFFSetErrorHandler(nullptr);
        tif_ = TIFFClientOpen("page", "w", this, Read, Write, Seek, Close, Size, Map, Unmap);
        if (!tif_) error_ = "the TIFF encoder failed";
    }
    ~TiffDocument() override {
        if (tif_) TIFFClose(tif_);
    }

private:
    void Encode(const Raster& page) override;
    void Complete() override {
        TIFFClose(tif_);
        tif_ = nullptr;
        if (failed_) error_ = "the TIFF encoder failed";
        else if (std::fwrite(data_.data(), 1, data_.size(), out_) != data_.size()) error_ = "write failed";
    }

    static TiffDocument* Self(thandle_t h) { return static_cast<TiffDocument*>(h); }
    static tmsize_t Read(thandle_t h, void* buf, tmsize_t n) {
        TiffDocument* d = Self(h);
        const size_t have = d->pos_ < d->data_.size() ? d->data_.size() - d->pos_ : 0;
        const size_t take = std::min(have, static_cast<size_t>(n));
        std::memcpy(buf, d->data_.data() + d->pos_, take);
        d->pos_ += take;
        return static_cast<tmsize_t>(take);
    }
    static tmsize_t Write(thandle_t h, void* buf, tmsize_t n) {
        TiffDocument* d = Self(h);
        const size_t end = d->pos_ + static_cast<size_t>(n);
        if (end > d->data_.size()) d->data_.resize(end);
        std::memcpy(d->data_.data() + d->pos_, buf, static_cast<size_t>(n));
        d->pos_ = end;
        return n;
    }
    static toff_t Seek(thandle_t h, toff_t off, int whence) {
        TiffDocument* d = Self(h);
        const uint64_t base = whence == SEEK_CUR ? d->pos_ : whence == SEEK_END ? d->data_.size() : 0;
        d->pos_ = static_cast<size_t>(base + off);
        return d->pos_;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t h) { return Self(h)->data_.size(); }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) {}

    bool grey_;
    TIFF* tif_ = nullptr;
    std::vector<uint8_t> data_;
    size_t pos_ = 0;
    bool failed_ = false;
};

void TiffDocument::Encode(const Raster& page) {
    const bool mono = page.mono;
    const int samples = mono || grey_ ? 1 : 3;
    TIFFSetField(tif_, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(page.width));
    TIFFSetField(tif_, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(page.height));
    TIFFSetField(tif_, TIFFTAG_BITSPERSAMPLE, mono ? 1 : 8);
    TIFFSetField(tif_, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif_, TIFFTAG_XRESOLUTION, static_cast<float>(page.dpi));
    TIFFSetField(tif_, TIFFTAG_YRESOLUTION, static_cast<float>(page.dpi));
    TIFFSetField(tif_, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif_, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(pages_), static_cast<uint16_t>(0));
    if (mono) {
        // Min-is-white: a set bit is ink, the page's 1 bits are paper.
        TIFFSetField(tif_, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif_, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(page.height));
    } else {
        TIFFSetField(tif_, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif_, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        TIFFSetField(tif_, TIFFTAG_PHOTOMETRIC, samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif_, 0));
    }
    std::vector<uint8_t> row(mono ? (static_cast<size_t>(page.width) + 7) / 8
                                  : static_cast<size_t>(page.width) * samples);
    for (int y = 0; y < page.height && !failed_; ++y) {
        const uint8_t* src = page.bits + static_cast<size_t>(y) * page.stride;
        if (mono) {
            for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(~src[i]);
        } else {
            const uint32_t* px = Row32(page, y);
            for (int x = 0; x < page.width; ++x) {
                if (samples == 1) {
                    row[x] = Luma(px[x] & 0xFFFFFF);
                } else {
                    row[3 * x] = static_cast<uint8_t>(px[x] >> 16);
                    row[3 * x + 1] = static_cast<uint8_t>(px[x] >> 8);
                    row[3 * x + 2] = static_cast<uint8_t>(px[x]);
                }
            }
        }
        failed_ = TIFFWriteScanline(tif_, row.data(), static_cast<uint32_t>(y), 0) < 0;
    }
    if (!failed_) failed_ = !TIFFWriteDirectory(tif_);
    if (failed_) error_ = "the TIFF encoder failed";
}

cairo_status_t CairoWrite(void* closure, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                               : CAIRO_STATUS_WRITE_ERROR;
}

class PdfDocument : public RasterDocument {
public:
    explicit PdfDocument(FILE* out) : RasterDocument(out) {}
    ~PdfDocument() override {
        if (pdf_) cairo_surface_destroy(pdf_);
    }

private:
    void Encode(const Raster& page) override;
    void Complete() override {
        cairo_surface_finish(pdf_);
        const cairo_status_t status = cairo_surface_status(pdf_);
        if (status != CAIRO_STATUS_SUCCESS) error_ = cairo_status_to_string(status);
    }
    cairo_surface_t* pdf_ = nullptr;
};

void PdfDocument::Encode(const Raster& page) {
    // The page as an RGB image, drawn at 72 / dpi so one pixel keeps its size.
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.width, page.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        error_ = "page too large for a PDF";
        return;
    }
    cairo_surface_flush(image);
    uint8_t* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < page.height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < page.width; ++x) out[x] = page.Rgb(x, y);
    }
    cairo_surface_mark_dirty(image);

    const double scale = 72.0 / page.dpi;
    if (!pdf_) pdf_ = cairo_pdf_surface_create_for_stream(CairoWrite, out_, page.width * scale, page.height * scale);
    else cairo_pdf_surface_set_size(pdf_, page.width * scale, page.height * scale);
    cairo_t* cr = cairo_create(pdf_);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_show_page(cr);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image);
    if (status != CAIRO_STATUS_SUCCESS) error_ = cairo_status_to_string(status);
}

}  // namespace

std::unique_ptr<Document> OpenRasterDocument(const std::string& format, FILE* out, bool grey,
                                             std::string* error) {
    if (format == "png") return std::make_unique<PngDocument>(out, grey);
    if (format == "tiff") return std::make_unique<TiffDocument>(out, grey);
    if (format == "pdf") return std::make_unique<PdfDocument>(out);
    *error = "no raster document for " + format;
    return nullptr;
}

}  // namespace ovl
