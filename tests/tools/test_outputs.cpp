// The tool's page outputs read back by their readers.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/ovl/commands.h"
#include "tools/ovl/loaded.h"
#include "tools/ovl/render.h"

namespace {

const std::string kSource = WX5N_SOURCE_DIR;

std::string TempDir() {
    char dir[] = "/tmp/ovl-out-XXXXXX";
    return mkdtemp(dir);
}

// A page rendered from an example, kept as RGB pixels.
struct Page {
    int width = 0, height = 0, dpi = 0;
    std::vector<uint32_t> rgb;
    std::string png, tiff, pdf;  // the files written
};

Page RenderExample(const std::string& name, int dpi, const std::string& dir) {
    Page p;
    ovl::Loaded overlay;
    std::string error;
    EXPECT_TRUE(ovl::LoadOverlay(kSource + "/examples/" + name + ".ovl", &overlay, &error)) << error;
    ovl::RenderOptions options;
    options.dpi = dpi;
    p.png = dir + "/" + name + ".png";
    p.tiff = dir + "/" + name + ".tif";
    p.pdf = dir + "/" + name + ".pdf";
    const ovl::RenderResult r = ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
        p.width = page.width;
        p.height = page.height;
        p.dpi = page.dpi;
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) p.rgb.push_back(page.Rgb(x, y));
        std::string e;
        EXPECT_TRUE(ovl::WritePng(page, p.png, &e)) << e;
        EXPECT_TRUE(ovl::WriteTiffG4(page, p.tiff, &e)) << e;
        EXPECT_TRUE(ovl::WritePdf(page, p.pdf, &e)) << e;
    });
    EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    return p;
}

std::vector<uint32_t> ReadPng(const std::string& path, int* width, int* height) {
    std::vector<uint32_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_init_io(png, f);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_read_update_info(png, info);
    *width = static_cast<int>(png_get_image_width(png, info));
    *height = static_cast<int>(png_get_image_height(png, info));
    std::vector<uint8_t> row(png_get_rowbytes(png, info));
    for (int y = 0; y < *height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int x = 0; x < *width; ++x)
            out.push_back((row[3 * x] << 16) | (row[3 * x + 1] << 8) | row[3 * x + 2]);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return out;
}

TEST(OvlOutput, PngAndTiffReadBackPixelForPixel) {
    const std::string dir = TempDir();
    const Page page = RenderExample("japanese", 100, dir);
    ASSERT_GT(page.width, 0);

    int w = 0, h = 0;
    const std::vector<uint32_t> png = ReadPng(page.png, &w, &h);
    ASSERT_EQ(w, page.width);
    ASSERT_EQ(h, page.height);
    EXPECT_EQ(png, page.rgb);

    // The TIFF is 1 bit, min-is-white, Group 4: every non-white pixel is ink.
    TIFF* tif = TIFFOpen(page.tiff.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    uint32_t tw = 0, th = 0;
    uint16_t compression = 0, bits = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &th);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    EXPECT_EQ(compression, COMPRESSION_CCITTFAX4);
    EXPECT_EQ(bits, 1);
    ASSERT_EQ(static_cast<int>(tw), page.width);
    ASSERT_EQ(static_cast<int>(th), page.height);
    std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tif)));
    size_t mismatches = 0, ink = 0;
    for (uint32_t y = 0; y < th; ++y) {
        ASSERT_EQ(TIFFReadScanline(tif, row.data(), y, 0), 1);
        for (uint32_t x = 0; x < tw; ++x) {
            const bool tiffInk = (row[x >> 3] >> (7 - (x & 7))) & 1;
            const bool pageInk = page.rgb[y * tw + x] != 0xFFFFFF;
            ink += pageInk;
            mismatches += tiffInk != pageInk;
        }
    }
    TIFFClose(tif);
    EXPECT_GT(ink, 1000u);
    EXPECT_EQ(mismatches, 0u);
}

// Runs a command and returns what it printed.
std::string Output(const std::string& cmd) {
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    return out;
}

TEST(OvlOutput, PdfHoldsThePageAtItsSize) {
    if (std::system("command -v pdftoppm pdfimages > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "poppler-utils not installed";
    const std::string dir = TempDir();
    const Page page = RenderExample("ledger", 100, dir);
    // One image: the page's pixels at the page's resolution.
    const std::string list = Output("pdfimages -list " + page.pdf);
    const std::string want = std::to_string(page.width) + " " + std::to_string(page.height);
    EXPECT_NE(list.find(" " + std::to_string(page.width) + "  " + std::to_string(page.height) + " "),
              std::string::npos) << list << "expected " << want;
    EXPECT_NE(list.find("  100   100 "), std::string::npos) << list;
    // A reader draws it back at the page's size, neither blank nor doubled
    // (its resampling may smear a thin line over two pixels).
    ASSERT_EQ(std::system(("pdftoppm -r 100 -png -singlefile " + page.pdf + " " + dir + "/back").c_str()), 0);
    int w = 0, h = 0;
    const std::vector<uint32_t> back = ReadPng(dir + "/back.png", &w, &h);
    ASSERT_EQ(w, page.width);
    ASSERT_EQ(h, page.height);
    auto ink = [](const std::vector<uint32_t>& img) {
        size_t n = 0;
        for (uint32_t c : img) n += c != 0xFFFFFF;
        return n;
    };
    const double a = static_cast<double>(ink(page.rgb)), b = static_cast<double>(ink(back));
    EXPECT_GT(a, 10000);
    EXPECT_GT(b / a, 0.5);
    EXPECT_LT(b / a, 2.0);
}

}  // namespace
