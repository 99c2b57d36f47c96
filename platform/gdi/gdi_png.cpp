// swgdi_WritePNG: the DC's bitmap as an 8-bit RGB PNG.
#include "gdi_internal.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace swgdi;

extern "C" {

BOOL swgdi_WritePNG(HDC hdc, const char* path) {
    Dc* dc = FindDc(hdc);
    if (!dc || !path || !dc->driver->IsRaster()) return FALSE;
    Surface s = dc->GetSurface();
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return FALSE;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return FALSE;
    }
    std::vector<png_byte> row(size_t(s.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return FALSE;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Dots per inch to pixels per metre.
    png_set_pHYs(png, info, static_cast<png_uint_32>(std::lround(dc->logPixelsX / 0.0254)),
                 static_cast<png_uint_32>(std::lround(dc->logPixelsY / 0.0254)),
                 PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            COLORREF c = PixelToColor(s, ReadPixel(s, x, y));
            row[size_t(x) * 3] = GetRValue(c);
            row[size_t(x) * 3 + 1] = GetGValue(c);
            row[size_t(x) * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 ? TRUE : FALSE;
}

}  // extern "C"
