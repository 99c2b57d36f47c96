// Page output: PNG written here with libdeflate, TIFF through libtiff (CCITT Group 4 for
// 1-bit pages, LZW for colour and grey) and PDF through cairo's PDF surface
// (each page as an image at its resolution, so it prints at its true size).
// Every document writes to a stream the caller opened; the caller sees write
// failures on that stream, the document its own.
#include <cairo-pdf.h>
#include <cairo.h>
#include <libdeflate.h>
#include <tiffio.h>

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
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
        const size_t bytes = 4 * static_cast<size_t>(page.width);
        for (int y = 0; y < page.height; ++y) {
            const uint32_t* row = Row32(page, y);
            if (y > 0 && std::memcmp(row, Row32(page, y - 1), bytes) == 0) continue;  // no new colour
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


// The smallest layout that keeps every pixel (with grey: every luma).
PngLayout ChooseLayout(const Raster& page, bool grey, Palette* pal, int* depth) {
    *depth = 8;
    if (page.mono) {
        *depth = 1;
        return PngLayout::Mono1;
    }
    pal->Scan(page);
    bool blackWhite = !pal->overflow;
    for (int i = 0; i < pal->count && blackWhite; ++i)
        blackWhite = pal->colour[i] == 0 || pal->colour[i] == 0xFFFFFF;
    if (blackWhite) {
        *depth = 1;
        return PngLayout::Grey1;
    }
    if (grey || pal->grey) return PngLayout::Grey8;
    if (pal->overflow) return PngLayout::Rgb;
    *depth = pal->count <= 2 ? 1 : pal->count <= 4 ? 2 : pal->count <= 16 ? 4 : 8;
    return PngLayout::Palette;
}

// Filters an 8-bit row (bpp bytes per pixel) against the row above, written
// after its filter type to out. The filter is the one of the smallest sum of
// absolute differences, the usual estimate of what deflates best, sampled
// only where the row differs from the one above: elsewhere Up gives zeros
// and, on the runs of paper that fill a page, so do Sub and Paeth. A row the
// same as the one above is all zeros under Up.
void FilterRow(const uint8_t* row, const uint8_t* above, size_t n, size_t bpp, uint8_t* out) {
    size_t lo = 0, hi = n;
    if (above) {
        while (lo + 8 <= n && std::memcmp(row + lo, above + lo, 8) == 0) lo += 8;
        while (lo < n && row[lo] == above[lo]) ++lo;
        while (hi > lo && row[hi - 1] == above[hi - 1]) --hi;
    }
    uint8_t* f = out + 1;
    if (lo == hi) {
        out[0] = 2;
        std::memset(f, 0, n);
        return;
    }
    auto at = [&](const uint8_t* r, size_t i, size_t back) -> int { return r && i >= back ? r[i - back] : 0; };
    auto paeth = [&](size_t i) {
        const int a = at(row, i, bpp), b = at(above, i, 0), c = at(above, i, bpp);
        const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
        return static_cast<uint8_t>(row[i] - (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
    };
    auto abs8 = [](uint8_t v) { return static_cast<uint64_t>(v < 128 ? v : 256 - v); };
    uint64_t cost[5] = {0, 0, 0, 0, 0};  // by filter type; 3 (Average) is not tried
    cost[3] = ~uint64_t(0);
    // Every fourth byte is sample enough to choose by, and four times cheaper.
    for (size_t i = lo >= bpp ? lo - bpp : 0, end = std::min(n, hi + bpp); i < end; i += 4) {
        cost[0] += abs8(row[i]);
        cost[1] += abs8(static_cast<uint8_t>(row[i] - at(row, i, bpp)));
        cost[2] += abs8(static_cast<uint8_t>(row[i] - at(above, i, 0)));
        cost[4] += abs8(paeth(i));
    }
    const uint8_t type = static_cast<uint8_t>(std::min_element(cost, cost + 5) - cost);
    out[0] = type;
    switch (type) {
        case 0: std::memcpy(f, row, n); break;
        case 1:
            std::memcpy(f, row, std::min(bpp, n));
            for (size_t i = bpp; i < n; ++i) f[i] = static_cast<uint8_t>(row[i] - row[i - bpp]);
            break;
        case 2:
            if (!above) std::memcpy(f, row, n);
            else for (size_t i = 0; i < n; ++i) f[i] = static_cast<uint8_t>(row[i] - above[i]);
            break;
        default:
            for (size_t i = 0; i < n; ++i) f[i] = paeth(i);
    }
}

void Put32(std::vector<uint8_t>* v, uint32_t x) {
    const uint8_t b[4] = {static_cast<uint8_t>(x >> 24), static_cast<uint8_t>(x >> 16),
                          static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(x)};
    v->insert(v->end(), b, b + 4);
}

// Writes one chunk: length, type, data, CRC of type and data.
bool PutChunk(FILE* out, const char* type, const uint8_t* data, size_t n) {
    std::vector<uint8_t> head;
    Put32(&head, static_cast<uint32_t>(n));
    head.insert(head.end(), type, type + 4);
    uint32_t crc = libdeflate_crc32(0, type, 4);
    crc = libdeflate_crc32(crc, data, n);
    std::vector<uint8_t> tail;
    Put32(&tail, crc);
    return std::fwrite(head.data(), 1, 8, out) == 8 && (n == 0 || std::fwrite(data, 1, n, out) == n) &&
           std::fwrite(tail.data(), 1, 4, out) == 4;
}

// A large scratch buffer, left uninitialised, on huge pages where the
// kernel gives them: a page's worth of 4 KB page faults costs as much as
// filtering it.
struct Freer {
    void operator()(uint8_t* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<uint8_t[], Freer>;

Buffer LargeBuffer(size_t n) {
    constexpr size_t kHuge = size_t(2) << 20;
    const size_t rounded = (n + kHuge - 1) / kHuge * kHuge;
    auto* p = static_cast<uint8_t*>(std::aligned_alloc(kHuge, rounded == 0 ? kHuge : rounded));
    if (p) madvise(p, rounded, MADV_HUGEPAGE);
    return Buffer(p);
}

// A thread's scratch buffer kept from page to page of a batch, grown when a
// page needs more; null when it cannot be had.
struct Scratch {
    Buffer bytes;
    size_t size = 0;
    uint8_t* Get(size_t n) {
        if (n > size) {
            bytes.reset();
            bytes = LargeBuffer(n);
            size = bytes ? n : 0;
        }
        return bytes.get();
    }
};

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

}  // namespace

// The page is filtered into one buffer and deflated whole: libdeflate
// compresses a page several times faster than zlib and a little smaller.
bool WritePng(const Raster& page, FILE* out, bool grey, std::string* error) {
    auto pal = std::make_unique<Palette>();
    int depth = 8;
    const PngLayout layout = ChooseLayout(page, grey, pal.get(), &depth);
    const size_t channels = layout == PngLayout::Rgb ? 3 : 1;
    const size_t rowBytes = (static_cast<size_t>(page.width) * channels * depth + 7) / 8;
    const bool filtered = depth == 8 && layout != PngLayout::Palette;
    std::vector<uint8_t> above(filtered ? rowBytes : 0), row(rowBytes);
    const size_t size = (rowBytes + 1) * static_cast<size_t>(page.height);
    thread_local Scratch rowScratch, idatScratch;
    uint8_t* const rows = rowScratch.Get(size);
    if (!rows) {
        *error = "out of memory";
        return false;
    }
    const size_t srcBytes = page.mono ? rowBytes : 4 * static_cast<size_t>(page.width);
    for (int y = 0; y < page.height; ++y) {
        uint8_t* dst = rows + (rowBytes + 1) * static_cast<size_t>(y);
        const uint8_t* src = page.bits + static_cast<size_t>(y) * page.stride;
        if (y > 0 && std::memcmp(src, src - page.stride, srcBytes) == 0) {
            // The same pixels as the row above: zeros under Up, else its copy.
            if (filtered) {
                dst[0] = 2;
                std::memset(dst + 1, 0, rowBytes);
            } else {
                std::memcpy(dst, dst - rowBytes - 1, rowBytes + 1);
            }
            continue;
        }
        PackRow(page, y, layout, depth, *pal, &row);
        if (!filtered) {
            dst[0] = 0;
            std::memcpy(dst + 1, row.data(), rowBytes);
            continue;
        }
        FilterRow(row.data(), y > 0 ? above.data() : nullptr, rowBytes, channels, dst);
        above.swap(row);
    }

    std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(6));
    if (!compressor) {
        *error = "out of memory";
        return false;
    }
    // Pages deflate to a small part of their size; the bound is the fallback.
    size_t room = size / 8 + 65536;
    uint8_t* idat = idatScratch.Get(room);
    size_t packed = idat ? libdeflate_zlib_compress(compressor.get(), rows, size, idat, room) : 0;
    if (packed == 0) {
        room = libdeflate_zlib_compress_bound(compressor.get(), size);
        idat = idatScratch.Get(room);
        packed = idat ? libdeflate_zlib_compress(compressor.get(), rows, size, idat, room) : 0;
    }
    if (packed == 0) {
        *error = "the PNG encoder failed";
        return false;
    }

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(&ihdr, static_cast<uint32_t>(page.width));
    Put32(&ihdr, static_cast<uint32_t>(page.height));
    const uint8_t colourType = layout == PngLayout::Palette ? 3 : layout == PngLayout::Rgb ? 2 : 0;
    ihdr.insert(ihdr.end(), {static_cast<uint8_t>(depth), colourType, 0, 0, 0});
    std::vector<uint8_t> plte;
    for (int i = 0; layout == PngLayout::Palette && i < pal->count; ++i)
        plte.insert(plte.end(), {static_cast<uint8_t>(pal->colour[i] >> 16), static_cast<uint8_t>(pal->colour[i] >> 8),
                                 static_cast<uint8_t>(pal->colour[i])});
    std::vector<uint8_t> phys;
    const uint32_t ppm = static_cast<uint32_t>(page.dpi / 0.0254 + 0.5);  // pixels per metre
    Put32(&phys, ppm);
    Put32(&phys, ppm);
    phys.push_back(1);
    bool ok = std::fwrite(kSignature, 1, 8, out) == 8 && PutChunk(out, "IHDR", ihdr.data(), ihdr.size()) &&
              (plte.empty() || PutChunk(out, "PLTE", plte.data(), plte.size())) &&
              PutChunk(out, "pHYs", phys.data(), phys.size());
    // IDAT chunks of at most 1 GB each (a chunk's length is below 2^31).
    for (size_t at = 0; ok && at < packed; at += size_t(1) << 30)
        ok = PutChunk(out, "IDAT", idat + at, std::min(packed - at, size_t(1) << 30));
    ok = ok && PutChunk(out, "IEND", nullptr, 0);
    if (!ok) *error = "write failed";
    return ok;
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
        // A stream may take a failed write without a short count (glibc's
        // unbuffered streams do): its error flag is the last word.
        if (error_.empty() && (std::fflush(out_) != 0 || std::ferror(out_))) error_ = "write failed";
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
