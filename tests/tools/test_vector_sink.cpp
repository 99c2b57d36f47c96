// The cairo sink of vector pages drawn into a small image: each scene calls
// the sink's callbacks as a path device context does, and probes give the
// colour expected at chosen pixels.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tools/ovl/vector_sink.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr uint32_t kInk = 0x102030;  // channels distinct, so a swap shows

struct Probe { int x, y; uint32_t rgb; };

using Draw = std::function<void(const SWGDI_PATH_SINK&)>;
struct Scene {
    const char* name;
    uint32_t background;
    Draw draw;
    std::vector<Probe> probes;
    bool svg = false;  // the sink as SVG pages use it
};

void Path(const SWGDI_PATH_SINK& s, std::vector<std::pair<double, double>> points, bool close) {
    for (size_t i = 0; i < points.size(); ++i)
        (i ? s.line_to : s.move_to)(s.context, points[i].first, points[i].second);
    if (close) s.close_path(s.context);
}

void Rect(const SWGDI_PATH_SINK& s, double x0, double y0, double x1, double y1) {
    Path(s, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true);
}

// A box filled with a 4 x 2 cell: row 0 "1000", row 1 "0110"; paper green.
void Hatch(const SWGDI_PATH_SINK& s, double x0, double x1, uint32_t ink, bool transparent, int orgX) {
    static const uint8_t cell[8] = {1, 0, 0, 0, 0, 1, 1, 0};
    Rect(s, x0, 0, x1, 4);
    SWGDI_FILL f{WINDING, 1, 0, 4, 2, cell, ink, kGreen, transparent, orgX, 0};
    s.fill(s.context, &f);
}

// A line from (4, 5) to (12, 5) and a corner at (16, 16), 4 pixels wide.
Draw Lines(int cap, int join) {
    return [cap, join](const SWGDI_PATH_SINK& s) {
        const SWGDI_STROKE st{4, cap, join, kInk};
        Path(s, {{4, 5}, {12, 5}}, false);
        s.stroke(s.context, &st);
        Path(s, {{4, 16}, {16, 16}, {16, 8}}, false);
        s.stroke(s.context, &st);
    };
}

// Squares (0, 0)-(10, 10) and (3, 3)-(7, 7) drawn the same way round.
Draw Nested(int rule) {
    return [rule](const SWGDI_PATH_SINK& s) {
        Rect(s, 0, 0, 10, 10);
        Rect(s, 3, 3, 7, 7);
        SWGDI_FILL f{};
        f.rule = rule;
        f.rgb = kInk;
        s.fill(s.context, &f);
    };
}

// Pixels w x h placed on (2, 2)-(10, 10).
Draw Picture(std::vector<uint32_t> px, int w, int h) {
    return [px, w, h](const SWGDI_PATH_SINK& s) {
        const SWGDI_IMAGE im{2, 2, 8, 8, w, h, px.data(), static_cast<ptrdiff_t>(4 * w), 0};
        s.image(s.context, &im);
    };
}

const std::vector<Probe> kTransparent{{1, 0, kBlue}, {0, 0, kRed}, {5, 0, kBlue}, {2, 1, kBlue}, {3, 1, kBlue},
                                      {1, 1, kRed},  {4, 1, kRed}, {1, 2, kBlue}, {9, 0, kRed}};
const std::vector<Probe> kOpaque{{0, 0, kBlue}, {1, 0, kGreen}, {1, 1, kBlue}, {0, 1, kGreen}, {9, 0, kRed}};

const Scene kScenes[] = {
    {"pattern aligned to its origin, paper transparent", kRed,
     [](const SWGDI_PATH_SINK& s) { Hatch(s, 0, 8, kBlue, true, 1); }, kTransparent},
    {"pattern with opaque paper", kRed, [](const SWGDI_PATH_SINK& s) { Hatch(s, 0, 8, kBlue, false, 0); }, kOpaque},
    {"dashed pattern rows, paper transparent", kRed,
     [](const SWGDI_PATH_SINK& s) { Hatch(s, 0, 8, kBlue, true, 1); }, kTransparent, true},
    {"dashed pattern rows, opaque paper", kRed, [](const SWGDI_PATH_SINK& s) { Hatch(s, 0, 8, kBlue, false, 0); },
     kOpaque, true},
    {"one cell in two ink colours and two papers", kWhite,
     [](const SWGDI_PATH_SINK& s) {
         Hatch(s, 0, 4, kBlue, true, 0);
         Hatch(s, 8, 12, kRed, true, 0);
         Hatch(s, 12, 16, kBlue, false, 0);
     },
     {{0, 0, kBlue}, {1, 0, kWhite}, {8, 0, kRed}, {9, 1, kRed}, {13, 0, kGreen}, {13, 1, kBlue}}},
    {"even-odd fill leaves the inner square", kWhite, Nested(ALTERNATE), {{1, 1, kInk}, {5, 5, kWhite}, {10, 5, kWhite}}},
    {"winding fill covers the inner square", kWhite, Nested(WINDING), {{1, 1, kInk}, {5, 5, kInk}, {9, 9, kInk}}},
    {"flat ends, mitred corner", kWhite, Lines(PS_ENDCAP_FLAT, PS_JOIN_MITER),
     {{3, 5, kWhite}, {4, 5, kInk}, {11, 3, kInk}, {12, 5, kWhite}, {8, 2, kWhite}, {8, 7, kWhite}, {17, 17, kInk},
      {15, 17, kInk}}},
    {"square ends, bevelled corner", kWhite, Lines(PS_ENDCAP_SQUARE, PS_JOIN_BEVEL),
     {{2, 5, kInk}, {2, 3, kInk}, {1, 5, kWhite}, {13, 6, kInk}, {14, 5, kWhite}, {17, 17, kWhite}, {15, 17, kInk}}},
    {"round ends and corner", kWhite, Lines(PS_ENDCAP_ROUND, PS_JOIN_ROUND),
     {{2, 5, kInk}, {2, 3, kWhite}, {13, 5, kInk}, {17, 17, kWhite}, {15, 17, kInk}}},
    {"image scaled by nearest pixels, alpha 0 untouched", kWhite,
     Picture({0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000}, 2, 2),
     {{2, 2, kRed}, {5, 5, kRed}, {6, 5, kGreen}, {9, 2, kGreen}, {5, 6, kBlue}, {8, 8, kWhite}, {1, 1, kWhite},
      {10, 5, kWhite}}},
    {"one-colour image as a stencil", kWhite, Picture({0xFF102030, 0, 0, 0, 0, 0xFF102030}, 3, 2),
     {{2, 2, kInk}, {4, 5, kInk}, {5, 2, kWhite}, {8, 2, kWhite}, {4, 6, kWhite}, {8, 9, kInk}, {6, 9, kWhite}}},
};

class SinkScene : public testing::TestWithParam<Scene> {};

TEST_P(SinkScene, ProbesHaveTheirColours) {
    const Scene& scene = GetParam();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 20, 20);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    const uint32_t bg = scene.background;
    cairo_set_source_rgb(cr, (bg >> 16) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
    cairo_paint(cr);
    {
        ovl::CairoSink sink(cr, scene.svg);
        scene.draw(sink.Callbacks());
    }
    cairo_surface_flush(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (const Probe& p : scene.probes) {
        const uint32_t got = reinterpret_cast<const uint32_t*>(data + p.y * stride)[p.x] & 0xFFFFFF;
        EXPECT_EQ(got, p.rgb) << scene.name << " at (" << p.x << ", " << p.y << ")";
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

INSTANTIATE_TEST_SUITE_P(Scenes, SinkScene, testing::ValuesIn(kScenes),
                         [](const testing::TestParamInfo<Scene>& i) { return "scene" + std::to_string(i.index); });

TEST(CairoSink, WarningsAreKeptOnceEachAndTaken) {
    ovl::CairoSink sink(nullptr);  // warnings draw nothing
    const SWGDI_PATH_SINK s = sink.Callbacks();
    for (const char* m : {"a box drawn as an image", "another", "a box drawn as an image"}) s.warning(s.context, m);
    EXPECT_EQ(sink.TakeWarnings(), "a box drawn as an image; another");
    EXPECT_EQ(sink.TakeWarnings(), "");
}

}  // namespace
