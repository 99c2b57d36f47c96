// Page output: PNG through libpng, 1-bit TIFF with CCITT Group 4 through
// libtiff, and PDF through cairo's PDF surface (the page as an image at its
// resolution, so the PDF prints at the page's true size).
#include <cairo-pdf.h>
#include <cairo.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

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

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};

}  // namespace

bool WritePng(const Raster& page, const std::string& path, std::string* error) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        *error = "cannot write " + path;
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        *error = "out of memory";
        return false;
    }
    std::vector<uint8_t> row(static_cast<size_t>(page.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = "cannot write " + path;
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, page.width, page.height, page.mono ? 1 : 8,
                 page.mono ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const png_uint_32 ppm = static_cast<png_uint_32>(page.dpi / 0.0254 + 0.5);
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < page.height; ++y) {
        const uint8_t* src = page.bits + static_cast<size_t>(y) * page.stride;
        if (page.mono) {
            png_write_row(png, const_cast<uint8_t*>(src));  // 1 = white, as in gray
            continue;
        }
        for (int x = 0; x < page.width; ++x) {
            row[3 * x] = src[4 * x + 2];
            row[3 * x + 1] = src[4 * x + 1];
            row[3 * x + 2] = src[4 * x];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WriteTiffG4(const Raster& page, const std::string& path, std::string* error) {
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) {
        *error = "cannot write " + path;
        return false;
    }
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(page.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(page.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(page.height));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(page.dpi));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(page.dpi));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);

    // Min-is-white: a set bit is ink. A colour page is thresholded: any pixel
    // that is not white is ink.
    std::vector<uint8_t> row((static_cast<size_t>(page.width) + 7) / 8);
    bool ok = true;
    for (int y = 0; y < page.height && ok; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < page.width; ++x) {
            if (page.Ink(x, y)) row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
        ok = TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
    TIFFClose(tif);
    if (!ok) *error = "cannot write " + path;
    return ok;
}

bool WritePdf(const Raster& page, const std::string& path, std::string* error) {
    // The page as an RGB image, drawn at 72 / dpi so one pixel keeps its size.
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.width, page.height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        *error = "page too large for a PDF";
        return false;
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
    cairo_surface_t* pdf = cairo_pdf_surface_create(path.c_str(), page.width * scale, page.height * scale);
    cairo_t* cr = cairo_create(pdf);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_show_page(cr);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    const cairo_status_t finished = cairo_surface_status(pdf);
    cairo_surface_destroy(pdf);
    cairo_surface_destroy(image);
    if (status != CAIRO_STATUS_SUCCESS || finished != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(finished);
        return false;
    }
    return true;
}

}  // namespace ovl
