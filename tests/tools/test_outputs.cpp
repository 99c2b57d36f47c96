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
#include "tools/ovl/document.h"
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

ovl::Loaded Load(const std::string& name) {
    ovl::Loaded overlay;
    std::string error;
    EXPECT_TRUE(ovl::LoadOverlay(kSource + "/examples/" + name + ".ovl", &overlay, &error)) << error;
    return overlay;
}

// Writes the overlays as one document of format to path.
void WriteDocument(const std::vector<std::string>& names, const std::string& format, const std::string& path,
                   const ovl::RenderOptions& options) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string error;
    std::unique_ptr<ovl::Document> doc = ovl::OpenRasterDocument(format, f, false, &error);
    ASSERT_NE(doc, nullptr) << error;
    for (const std::string& name : names) {
        const ovl::RenderResult r = doc->AddPage(Load(name), options);
        EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    }
    EXPECT_TRUE(doc->Finish(&error)) << error;
    EXPECT_EQ(std::fclose(f), 0);
}

Page RenderExample(const std::string& name, int dpi, const std::string& dir, bool mono = false) {
    Page p;
    ovl::RenderOptions options;
    options.dpi = dpi;
    options.mono = mono;
    const ovl::RenderResult r = ovl::RenderPage(Load(name), options, [&](const ovl::Raster& page) {
        p.width = page.width;
        p.height = page.height;
        p.dpi = page.dpi;
        for (int y = 0; y < page.height; ++y)
            for (int x = 0; x < page.width; ++x) p.rgb.push_back(page.Rgb(x, y));
    });
    EXPECT_TRUE(r.ok && r.error.empty()) << r.error;
    const std::string stem = dir + "/" + name + (mono ? "-mono" : "");
    p.png = stem + ".png";
    p.tiff = stem + ".tif";
    p.pdf = stem + ".pdf";
    WriteDocument({name}, "png", p.png, options);
    WriteDocument({name}, "tiff", p.tiff, options);
    WriteDocument({name}, "pdf", p.pdf, options);
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

// The pixels of every page of a TIFF as 0xRRGGBB, by libtiff's own reader.
std::vector<std::vector<uint32_t>> ReadTiff(const std::string& path, std::vector<uint16_t>* compression) {
    std::vector<std::vector<uint32_t>> pages;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) return pages;
    do {
        uint32_t w = 0, h = 0;
        uint16_t c = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &c);
        compression->push_back(c);
        std::vector<uint32_t> abgr(static_cast<size_t>(w) * h);
        if (!TIFFReadRGBAImageOriented(tif, w, h, abgr.data(), ORIENTATION_TOPLEFT, 0)) break;
        for (uint32_t& v : abgr) v = (TIFFGetR(v) << 16) | (TIFFGetG(v) << 8) | TIFFGetB(v);
        pages.push_back(std::move(abgr));
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return pages;
}

// Each page kind read back by libpng and libtiff gives the page's pixels:
// a colour page, the same page on 1 bit, and a page with many colours.
TEST(OvlOutput, PngAndTiffReadBackPixelForPixel) {
    const std::string dir = TempDir();
    struct Case {
        const char* name;
        bool mono;
        uint16_t tiffCompression;
    } const cases[] = {{"japanese", false, COMPRESSION_LZW},
                       {"japanese", true, COMPRESSION_CCITTFAX4},
                       {"business", false, COMPRESSION_LZW}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.mono ? " 1-bit" : " 32-bit"));
        const Page page = RenderExample(c.name, 100, dir, c.mono);
        ASSERT_GT(page.width, 0);
        size_t ink = 0;
        for (uint32_t v : page.rgb) ink += v != 0xFFFFFF;
        EXPECT_GT(ink, 1000u);
        int w = 0, h = 0;
        const std::vector<uint32_t> png = ReadPng(page.png, &w, &h);
        ASSERT_EQ(w, page.width);
        ASSERT_EQ(h, page.height);
        EXPECT_TRUE(png == page.rgb);
        std::vector<uint16_t> compression;
        const auto tiff = ReadTiff(page.tiff, &compression);
        ASSERT_EQ(tiff.size(), 1u);
        EXPECT_EQ(compression[0], c.tiffCompression);
        EXPECT_TRUE(tiff[0] == page.rgb);
    }
}

// A page of a few colours is written with a palette, and as grey with grey:
// libpng reads back every colour, and on the grey page paper stays white,
// ink stays ink and every pixel is grey.
TEST(OvlOutput, PaletteAndGreyPngKeepThePage) {
    const std::string dir = TempDir();
    {
        std::ofstream f(dir + "/colours.json");
        f << R"({"kind":1,"magic":"ascii","elements":[
              {"type":"rectangle","corners":[[720,720],[2880,1440]],"width":40,"colour":2},
              {"type":"circle","centre":[6000,7000],"radius":900,"colour":9,"width":30},
              {"type":"area","box":[[1000,3000],[4000,5000]],"radius":200,"hatch":-9,"colour":3}]})";
    }
    ASSERT_EQ(ovl::Build(dir + "/colours.json", dir + "/colours.ovl", stderr), 0);
    ovl::Loaded overlay;
    std::string error;
    ASSERT_TRUE(ovl::LoadOverlay(dir + "/colours.ovl", &overlay, &error)) << error;
    ovl::RenderOptions options;
    options.dpi = 75;
    std::vector<uint32_t> rgb;
    for (const bool grey : {false, true}) {
        const std::string path = dir + (grey ? "/grey.png" : "/palette.png");
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
            rgb.clear();
            for (int y = 0; y < page.height; ++y)
                for (int x = 0; x < page.width; ++x) rgb.push_back(page.Rgb(x, y));
            EXPECT_TRUE(ovl::WritePng(page, f, grey, &error)) << error;
        });
        std::fclose(f);
        int w = 0, h = 0;
        const std::vector<uint32_t> back = ReadPng(path, &w, &h);
        ASSERT_EQ(back.size(), rgb.size());
        if (!grey) {
            EXPECT_TRUE(back == rgb);
            continue;
        }
        size_t wrong = 0, ink = 0;
        for (size_t i = 0; i < rgb.size(); ++i) {
            const uint32_t v = back[i] & 0xFF;
            ink += rgb[i] != 0xFFFFFF;
            wrong += back[i] != (v << 16 | v << 8 | v) || (rgb[i] == 0xFFFFFF) != (back[i] == 0xFFFFFF);
        }
        EXPECT_GT(ink, 1000u);
        EXPECT_EQ(wrong, 0u);
    }
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
        std::vector<uint32_t> plain, moved;
        int w = 0, h = 0;
        auto keep = [&](std::vector<uint32_t>* to) {
            return [&, to](const ovl::Raster& page) {
                w = page.width;
                h = page.height;
                for (int y = 0; y < page.height; ++y)
                    for (int x = 0; x < page.width; ++x) to->push_back(page.Rgb(x, y));
            };
        };
        ovl::RenderPage(overlay, options, keep(&plain));
        options.offsetX = c.x;
        options.offsetY = c.y;
        ovl::RenderPage(overlay, options, keep(&moved));
        ASSERT_EQ(moved.size(), plain.size());
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

// Several overlays in one TIFF: a page each, in the order given.
TEST(OvlOutput, TiffHoldsEveryPageInOrder) {
    const std::string dir = TempDir();
    const Page ledger = RenderExample("ledger", 60, dir), japanese = RenderExample("japanese", 60, dir);
    ovl::RenderOptions options;
    options.dpi = 60;
    WriteDocument({"ledger", "japanese", "ledger"}, "tiff", dir + "/three.tif", options);
    std::vector<uint16_t> compression;
    const auto pages = ReadTiff(dir + "/three.tif", &compression);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(pages[0] == ledger.rgb);
    EXPECT_TRUE(pages[1] == japanese.rgb);
    EXPECT_TRUE(pages[2] == ledger.rgb);
}

// A stream whose writes fail after limit bytes, as a full disk does.
FILE* FailingStream(size_t* limit) {
    cookie_io_functions_t io{};
    io.write = [](void* c, const char*, size_t n) -> ssize_t {
        size_t* left = static_cast<size_t*>(c);
        if (*left < n) return -1;
        *left -= n;
        return static_cast<ssize_t>(n);
    };
    FILE* f = fopencookie(limit, "w", io);
    setvbuf(f, nullptr, _IONBF, 0);
    return f;
}

// Every document says when its stream failed, wherever the failure falls,
// and a PNG refuses a second page and an empty document.
TEST(OvlOutput, DocumentsReportFailedWrites) {
    const ovl::Loaded overlay = Load("ledger");
    ovl::RenderOptions options;
    options.dpi = 60;
    for (const char* format : {"png", "tiff", "pdf"}) {
        for (size_t limit : {size_t(0), size_t(100), size_t(5000)}) {
            SCOPED_TRACE(std::string(format) + " failing after " + std::to_string(limit));
            size_t left = limit;
            FILE* f = FailingStream(&left);
            std::string error;
            auto doc = ovl::OpenRasterDocument(format, f, false, &error);
            ASSERT_NE(doc, nullptr);
            doc->AddPage(overlay, options);
            EXPECT_FALSE(doc->Finish(&error));
            EXPECT_FALSE(error.empty());
            std::fclose(f);
        }
    }
    FILE* f = std::fopen("/dev/null", "wb");
    std::string error;
    auto empty = ovl::OpenRasterDocument("png", f, false, &error);
    EXPECT_FALSE(empty->Finish(&error));
    auto two = ovl::OpenRasterDocument("png", f, false, &error);
    two->AddPage(overlay, options);
    two->AddPage(overlay, options);
    EXPECT_FALSE(two->Finish(&error));
    EXPECT_EQ(error, "a PNG file holds one page");
    std::fclose(f);
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

namespace {

// A box framed with a wave line: its top side is a wave as tall as four pen
// widths, where a solid frame's side is one pen width tall; rounded areas keep
// a solid frame (the README says why).
TEST(OvlOutput, WaveFramesOnSquareBoxesAreWaves) {
    const std::string dir = TempDir();
    {
        std::ofstream f(dir + "/wave.json");
        f << R"({"elements":[
              {"type":"rectangle","corners":[[1440,1440],[7200,4320]],"width":30,"lineStyle":"wave"},
              {"type":"rectangle","corners":[[1440,5760],[7200,8640]],"width":30}]})";
    }
    ASSERT_EQ(ovl::Build(dir + "/wave.json", dir + "/wave.ovl", stderr), 0);
    ovl::Loaded overlay;
    std::string error;
    ASSERT_TRUE(ovl::LoadOverlay(dir + "/wave.ovl", &overlay, &error)) << error;
    ovl::RenderOptions options;
    options.dpi = 300;
    // Rows with ink in the band around each box's top side (y at 1440 and
    // 5760 twips: 300 and 1200 px), in the columns of the side's middle.
    int rows[2] = {0, 0};
    ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
        for (int box = 0; box < 2; ++box) {
            const int top = box == 0 ? 300 : 1200;
            for (int y = top - 40; y <= top + 40; ++y) {
                bool ink = false;
                for (int x = 700; x < 1000 && !ink; ++x) ink = page.Ink(x, y);
                rows[box] += ink;
            }
        }
    });
    EXPECT_LE(rows[1], 8);             // a solid side: about 6 px at 300 dpi
    EXPECT_GE(rows[0], 3 * rows[1]);   // a wave four widths tall
}

}  // namespace
