// The tool's page outputs read back by libpng and libtiff, pixel for pixel,
// and what the page options do to the drawing.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/ovl/commands.h"
#include "tools/ovl/loaded.h"
#include "tools/ovl/render.h"

namespace {

using Pixels = std::vector<uint32_t>;  // 0xRRGGBB, top row first

std::string Example(const std::string& name) { return WX5N_SOURCE_DIR "/examples/" + name + ".ovl"; }

std::string Temp(const std::string& name) {
    static std::string dir;
    char pattern[] = "/tmp/ovl-out-XXXXXX";
    if (dir.empty()) dir = mkdtemp(pattern);
    return dir + "/" + name;
}

// The page the renderer draws for a file, and its width.
Pixels Render(const std::string& path, const ovl::RenderOptions& options, int* width = nullptr) {
    ovl::Loaded overlay;
    std::string error;
    EXPECT_TRUE(ovl::LoadOverlay(path, &overlay, &error)) << error;
    Pixels p;
    const ovl::RenderResult r = ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) p.push_back(page.Rgb(x, y));
        if (width) *width = page.width;
    });
    EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    return p;
}

// The render command writing the files as one document, its format from the
// output's extension.
void Write(const std::vector<std::string>& files, const std::string& output, const ovl::RenderOptions& options,
           bool grey = false) {
    EXPECT_EQ(ovl::Render({files, output, "", false, grey, options}, stderr), 0) << output;
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

// Pages of a few colours (a palette) and of many, on 1 bit and as grey, moved
// by an offset left, right, up and down or not, each written as PNG and as
// TIFF: read back, each is the unmoved page shifted by whole pixels, paper
// where it has nothing (as grey: its ink and paper kept). Then one TIFF of
// three pages, in the order given.
TEST(OvlOutput, PagesReadBackAsTheUnmovedPageShifted) {
    // An example, 1-bit or grey, an offset in mm and the same in pixels at 100 dpi.
    const struct Case { const char* name; bool mono, grey; double x, y; int dx, dy; } cases[] = {
        {"japanese", false, false, 0, 0, 0, 0},      {"japanese", true, false, -30, 20, -118, 79},
        {"japanese", false, true, 10, -5, 39, -20},  {"business", false, false, 0, 0, 0, 0},
        {"ledger", false, false, -30, 20, -118, 79}, {"ledger", true, false, 3, 0, 12, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.mono ? " 1-bit " : c.grey ? " grey " : " colour ") + std::to_string(c.x));
        ovl::RenderOptions options;
        options.dpi = 100;
        options.mono = c.mono;
        int w = 0;
        const Pixels plain = Render(Example(c.name), options, &w);
        const int h = static_cast<int>(plain.size()) / w;
        Pixels want(plain.size(), 0xFFFFFF);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x >= c.dx && x - c.dx < w && y >= c.dy && y - c.dy < h) want[y * w + x] = plain[(y - c.dy) * w + x - c.dx];
        EXPECT_GT(std::count_if(want.begin(), want.end(), [](uint32_t v) { return v != 0xFFFFFF; }), 10000);
        options.offsetX = c.x;
        options.offsetY = c.y;
        Write({Example(c.name)}, Temp("page.png"), options, c.grey);
        Write({Example(c.name)}, Temp("page.tif"), options, c.grey);
        EXPECT_EQ(Wrong(ReadPng(Temp("page.png")), want, c.grey), 0u);
        const auto tiff = ReadTiff(Temp("page.tif"));
        ASSERT_EQ(tiff.size(), 1u);
        EXPECT_EQ(tiff[0].first, c.mono ? COMPRESSION_CCITTFAX4 : COMPRESSION_LZW);
        EXPECT_EQ(Wrong(tiff[0].second, want, c.grey), 0u);
    }
    ovl::RenderOptions options;
    options.dpi = 60;
    Write({Example("ledger"), Example("japanese"), Example("ledger")}, Temp("three.tif"), options);
    const auto three = ReadTiff(Temp("three.tif"));
    ASSERT_EQ(three.size(), 3u);
    EXPECT_TRUE(three[0].second == Render(Example("ledger"), options));
    EXPECT_TRUE(three[1].second == Render(Example("japanese"), options));
    EXPECT_TRUE(three[2].second == three[0].second);
}

// A box framed with a wave line: its top side is a wave as tall as four pen
// widths, where a solid frame's side is one pen width tall; rounded areas keep
// a solid frame (the README says why).
TEST(OvlOutput, WaveFramesOnSquareBoxesAreWaves) {
    ASSERT_EQ(ovl::Build(WX5N_SOURCE_DIR "/tests/tools/data/wave.json", Temp("wave.ovl"), stderr), 0);
    ovl::RenderOptions options;
    int w = 0;
    const Pixels page = Render(Temp("wave.ovl"), options, &w);
    // Rows with ink in the band around each box's top side (y at 1440 and
    // 5760 twips: 300 and 1200 px at 300 dpi), in the columns of the side's middle.
    int rows[2] = {0, 0};
    for (int box = 0; box < 2; ++box)
        for (int y = 260 + 900 * box; y <= 340 + 900 * box; ++y)
            rows[box] += std::any_of(&page[y * w + 700], &page[y * w + 1000], [](uint32_t v) { return v != 0xFFFFFF; });
    EXPECT_LE(rows[1], 8);            // a solid side: about 6 px at 300 dpi
    EXPECT_GE(rows[0], 3 * rows[1]);  // a wave four widths tall
}

}  // namespace
