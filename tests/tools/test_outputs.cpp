// The tool's page outputs read back by libpng and libtiff, pixel for pixel,
// and what the page options do to the drawing.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/ovl/commands.h"
#include "tools/ovl/document.h"
#include "tools/ovl/loaded.h"
#include "tools/ovl/render.h"

namespace {

using Pixels = std::vector<uint32_t>;  // 0xRRGGBB, top row first
const std::string kSource = WX5N_SOURCE_DIR;

std::string TempDir() {
    char dir[] = "/tmp/ovl-out-XXXXXX";
    return mkdtemp(dir);
}

// An example, or with dir a description of the test data built there first.
ovl::Loaded Load(const std::string& name, const std::string& dir = "") {
    std::string path = kSource + "/examples/" + name + ".ovl", error;
    if (!dir.empty()) {
        path = dir + "/" + name + ".ovl";
        EXPECT_EQ(ovl::Build(kSource + "/tests/tools/data/" + name + ".json", path, stderr), 0);
    }
    ovl::Loaded overlay;
    EXPECT_TRUE(ovl::LoadOverlay(path, &overlay, &error)) << error;
    return overlay;
}

size_t Ink(const Pixels& p) {
    size_t n = 0;
    for (uint32_t v : p) n += v != 0xFFFFFF;
    return n;
}

Pixels Render(const ovl::Loaded& overlay, const ovl::RenderOptions& options, int* width = nullptr) {
    Pixels p;
    const ovl::RenderResult r = ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) p.push_back(page.Rgb(x, y));
        if (width) *width = page.width;
    });
    EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    return p;
}

// Writes the overlays as one document of format to path.
void Write(const std::vector<const ovl::Loaded*>& overlays, const char* format, const std::string& path,
           const ovl::RenderOptions& options, bool grey = false) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string error;
    std::unique_ptr<ovl::Document> doc = ovl::OpenRasterDocument(format, f, grey, &error);
    ASSERT_NE(doc, nullptr) << error;
    for (const ovl::Loaded* o : overlays) {
        const ovl::RenderResult r = doc->AddPage(*o, options);
        EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    }
    EXPECT_TRUE(doc->Finish(&error)) << error;
    EXPECT_EQ(std::fclose(f), 0);
}

// Pixels of back that are not page's; as grey, those not grey or that turn
// paper into ink or ink into paper.
size_t Wrong(const Pixels& back, const Pixels& page, bool grey) {
    if (back.size() != page.size()) return page.size() + 1;
    size_t n = 0;
    for (size_t i = 0; i < page.size(); ++i) {
        const uint32_t v = back[i] & 0xFF;
        n += grey ? back[i] != (v << 16 | v << 8 | v) || (page[i] == 0xFFFFFF) != (back[i] == 0xFFFFFF)
                  : back[i] != page[i];
    }
    return n;
}

Pixels ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB in memory order on this machine
    Pixels p(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, p.data(), 0, nullptr)) return {};
    for (uint32_t& v : p) v &= 0xFFFFFF;
    return p;
}

// Every page of a TIFF with its compression.
std::vector<std::pair<uint16_t, Pixels>> ReadTiff(const std::string& path) {
    std::vector<std::pair<uint16_t, Pixels>> pages;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return pages;
    do {
        uint32_t w = 0, h = 0;
        uint16_t c = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &c);
        Pixels p(static_cast<size_t>(w) * h);
        if (!TIFFReadRGBAImageOriented(tif, w, h, p.data(), ORIENTATION_TOPLEFT, 0)) break;
        for (uint32_t& v : p) v = TIFFGetR(v) << 16 | TIFFGetG(v) << 8 | TIFFGetB(v);
        pages.emplace_back(c, std::move(p));
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return pages;
}

// A page of a few colours (a palette), the same page on 1 bit and as grey, and
// a page of many colours, each as PNG and TIFF; then one TIFF of three pages,
// in the order given.
TEST(OvlOutput, PngAndTiffReadBackPixelForPixel) {
    const std::string dir = TempDir();
    struct Case {
        const char* name;
        bool mono, grey;
        uint16_t compression;
    } const cases[] = {{"japanese", false, false, COMPRESSION_LZW},
                       {"japanese", true, false, COMPRESSION_CCITTFAX4},
                       {"japanese", false, true, COMPRESSION_LZW},
                       {"business", false, false, COMPRESSION_LZW}};
    ovl::RenderOptions options;
    options.dpi = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.mono ? " 1-bit" : c.grey ? " grey" : " colour"));
        const ovl::Loaded overlay = Load(c.name);
        options.mono = c.mono;
        const Pixels page = Render(overlay, options);
        EXPECT_GT(Ink(page), 1000u);
        Write({&overlay}, "png", dir + "/page.png", options, c.grey);
        Write({&overlay}, "tiff", dir + "/page.tif", options, c.grey);
        EXPECT_EQ(Wrong(ReadPng(dir + "/page.png"), page, c.grey), 0u);
        const auto tiff = ReadTiff(dir + "/page.tif");
        ASSERT_EQ(tiff.size(), 1u);
        EXPECT_EQ(tiff[0].first, c.compression);
        EXPECT_EQ(Wrong(tiff[0].second, page, c.grey), 0u);
    }
    const ovl::Loaded ledger = Load("ledger"), japanese = Load("japanese");
    options = {};
    options.dpi = 60;
    Write({&ledger, &japanese, &ledger}, "tiff", dir + "/three.tif", options);
    const auto three = ReadTiff(dir + "/three.tif");
    ASSERT_EQ(three.size(), 3u);
    EXPECT_TRUE(three[0].second == Render(ledger, options));
    EXPECT_TRUE(three[1].second == Render(japanese, options));
    EXPECT_TRUE(three[2].second == three[0].second);
}

// An offset moves the drawing by whole pixels, left, right, up and down, on
// colour and 1-bit pages: the page is the unmoved page shifted, paper where
// it has nothing.
TEST(OvlOutput, OffsetMovesTheDrawing) {
    const ovl::Loaded overlay = Load("ledger");
    struct Case {
        bool mono;
        double x, y;  // mm
        int dx, dy;   // the same in pixels at 100 dpi
    } const cases[] = {{false, 10, -5, 39, -20}, {false, -30, 20, -118, 79}, {true, -30, 20, -118, 79},
                       {true, 3, 0, 12, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + (c.mono ? " 1-bit" : ""));
        ovl::RenderOptions options;
        options.dpi = 100;
        options.mono = c.mono;
        int w = 0;
        const Pixels plain = Render(overlay, options, &w);
        options.offsetX = c.x;
        options.offsetY = c.y;
        const Pixels moved = Render(overlay, options);
        ASSERT_EQ(moved.size(), plain.size());
        const int h = static_cast<int>(plain.size()) / w;
        size_t wrong = 0, ink = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int sx = x - c.dx, sy = y - c.dy;
                const uint32_t want = sx >= 0 && sx < w && sy >= 0 && sy < h ? plain[sy * w + sx] : 0xFFFFFF;
                wrong += moved[y * w + x] != want;
                ink += want != 0xFFFFFF;
            }
        }
        EXPECT_GT(ink, 10000u);
        EXPECT_EQ(wrong, 0u);
    }
}

// A box framed with a wave line: its top side is a wave as tall as four pen
// widths, where a solid frame's side is one pen width tall; rounded areas keep
// a solid frame (the README says why).
TEST(OvlOutput, WaveFramesOnSquareBoxesAreWaves) {
    ovl::RenderOptions options;
    options.dpi = 300;
    int w = 0;
    const Pixels page = Render(Load("wave", TempDir()), options, &w);
    // Rows with ink in the band around each box's top side (y at 1440 and
    // 5760 twips: 300 and 1200 px), in the columns of the side's middle.
    int rows[2] = {0, 0};
    for (int box = 0; box < 2; ++box)
        for (int y = 260 + 900 * box; y <= 340 + 900 * box; ++y)
            rows[box] += std::any_of(&page[y * w + 700], &page[y * w + 1000], [](uint32_t v) { return v != 0xFFFFFF; });
    EXPECT_LE(rows[1], 8);            // a solid side: about 6 px at 300 dpi
    EXPECT_GE(rows[0], 3 * rows[1]);  // a wave four widths tall
}

}  // namespace
