// The cairo sink of vector pages drawn into a small image: each scene of
// data/sink_scenes.txt calls the sink's callbacks as a path device context
// does, and probes give the colour expected at chosen pixels.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/ovl/vector_sink.h"

namespace {

// Makes the calls of a scene, ";" between them. Colours, the last numbers of
// a call, are hexadecimal.
void Draw(const SWGDI_PATH_SINK& s, const std::string& calls) {
    static const std::map<std::string, int> kRule = {{"alternate", ALTERNATE}, {"winding", WINDING}},
        kCap = {{"flat", PS_ENDCAP_FLAT}, {"square", PS_ENDCAP_SQUARE}, {"round", PS_ENDCAP_ROUND}},
        kJoin = {{"miter", PS_JOIN_MITER}, {"bevel", PS_JOIN_BEVEL}, {"round", PS_JOIN_ROUND}};
    static const uint8_t kCell[8] = {1, 0, 0, 0, 0, 1, 1, 0};
    std::istringstream list(calls);
    for (std::string call; std::getline(list, call, ';');) {
        std::istringstream in(call);
        std::string op, a, b;
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        int w = 0, h = 0;
        uint32_t rgb = 0;
        in >> op;
        if (op == "rect" && in >> x0 >> y0 >> x1 >> y1) {
            s.move_to(s.context, x0, y0), s.line_to(s.context, x1, y0), s.line_to(s.context, x1, y1);
            s.line_to(s.context, x0, y1), s.close_path(s.context);
        } else if ((op == "move" || op == "line") && in >> x0 >> y0) {
            (op == "move" ? s.move_to : s.line_to)(s.context, x0, y0);
        } else if ((op == "fill" && in >> a >> std::hex >> rgb) || (op == "pattern" && in >> x0 >> std::hex >> rgb >> y0)) {
            const bool solid = op == "fill";  // a solid fill's pattern, and a pattern's solid colour, are never seen
            const SWGDI_FILL f{solid ? kRule.at(a) : WINDING, !solid, solid ? rgb : 0xFF00FF, 4, 2, kCell,
                               solid ? 0xFF00FF : rgb, 0x00FF00, y0 != 0, static_cast<int>(x0), 0};
            s.fill(s.context, &f);
        } else if (op == "stroke" && in >> x0 >> a >> b >> std::hex >> rgb) {
            const SWGDI_STROKE st{x0, kCap.at(a), kJoin.at(b), rgb};
            s.stroke(s.context, &st);
        } else if (op == "image" && in >> x0 >> y0 >> x1 >> y1 >> w >> h) {
            std::vector<uint32_t> px;
            for (in >> std::hex; in >> rgb;) px.push_back(rgb);
            ASSERT_EQ(px.size(), static_cast<size_t>(w) * h) << call;
            const SWGDI_IMAGE im{x0, y0, x1, y1, w, h, px.data(), static_cast<ptrdiff_t>(4 * w), 0};
            s.image(s.context, &im);
        } else {
            FAIL() << "cannot read the call: " << call;
        }
    }
}

TEST(CairoSink, ScenesHaveTheirColours) {
    std::ifstream table(WX5N_SOURCE_DIR "/tests/tools/data/sink_scenes.txt");
    int scenes = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string x; std::getline(fields, x, '|');) f.push_back(x);
        ASSERT_EQ(f.size(), 5u) << line;
        SCOPED_TRACE(f[0]);
        ++scenes;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 20, 20);
        cairo_t* cr = cairo_create(surface);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        const uint32_t bg = std::stoul(f[1], nullptr, 16);
        cairo_set_source_rgb(cr, (bg >> 16) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
        cairo_paint(cr);
        {
            ovl::CairoSink sink(cr, std::stoi(f[2]) == 1);
            Draw(sink.Callbacks(), f[3]);
        }
        cairo_surface_flush(surface);
        const uint8_t* data = cairo_image_surface_get_data(surface);
        std::istringstream probes(f[4]);
        for (std::string p; probes >> p;) {
            unsigned x = 0, y = 0, want = 0;
            ASSERT_TRUE(std::sscanf(p.c_str(), "%u,%u=%x", &x, &y, &want) == 3 && x < 20 && y < 20) << p;
            const uint8_t* row = data + y * cairo_image_surface_get_stride(surface);
            EXPECT_EQ(reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF, want) << "at " << p;
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    EXPECT_EQ(scenes, 12);
}

TEST(CairoSink, WarningsAreKeptOnceEachAndTaken) {
    ovl::CairoSink sink(nullptr);  // warnings draw nothing
    const SWGDI_PATH_SINK s = sink.Callbacks();
    for (const char* m : {"a box drawn as an image", "another", "a box drawn as an image"}) s.warning(s.context, m);
    EXPECT_EQ(sink.TakeWarnings(), "a box drawn as an image; another");
    EXPECT_EQ(sink.TakeWarnings(), "");
}

}  // namespace
