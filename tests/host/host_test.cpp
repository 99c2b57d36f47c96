// The host library over the examples and over overlays the writer makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/wx5nhost.h"
#include "support/temp_file.h"
#include "tests/decode/sample_overlay.h"

using namespace ovlw;

namespace {

std::string Example(const char* name) { return std::string(WX5N_SOURCE_DIR) + "/examples/" + name + ".ovl"; }

// A kind 1 overlay loaded from a temporary file: with elements after a font
// list, or without element records at all.
int LoadKind1(const Bytes* elements, WX5NH_OVERLAY* o) {
    Kind1Options k;
    if (elements != nullptr) k.preamble = FontList({Ebcdic("QZAAAADA")}), k.elements = *elements;
    k.endPicture = elements != nullptr;
    const TempFile file(BuildKind1(k));
    return file.ok() ? wx5nh_load(file.path().c_str(), o) : -1;
}

std::vector<WX5NH_ELEMENT> Walk(WX5NH_OVERLAY* o, unsigned dpi, WX5NH_STOP* stop, size_t maxSteps = 0) {
    std::vector<WX5NH_ELEMENT> got;
    WX5NH_WALK_OPTIONS options{dpi, 1, maxSteps};
    auto keep = [](void* c, const WX5NH_ELEMENT* e) { return static_cast<std::vector<WX5NH_ELEMENT>*>(c)->push_back(*e), 0; };
    wx5nh_walk(o, &options, keep, &got, stop);
    return got;
}

// Callbacks that count their calls in calls[0] (text), [1] (images) and [2]
// (bitmaps), then draw as a host would.
int calls[3];
int CountText(void*, HDC, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) { return ++calls[0], wx5nh_text_length(o, e) > 0 ? 0 : -1; }
int CountImage(void* c, HDC dc, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) { return ++calls[1], wx5nh_draw_image(c, dc, o, e); }
int CountBitmap(void* c, HDC dc, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) { return ++calls[2], wx5nh_draw_bitmap(c, dc, o, e); }

// The sample overlay of every element kind loads and walks to its end at
// each resolution; elements lie in order inside the image, and each image of
// 11 rows of 13 pixels keeps its size and shape on paper at every resolution,
// whatever its resolution code (within a pixel at 150 dpi). With all three
// callbacks every decoded element is drawn, each callback seeing its kinds,
// and without them text, images and bitmaps are left undrawn. (The examples
// drawn whole with the callbacks: examples.c_host.)
TEST(HostLibrary, OverlaysWalkAndDrawEveryElement) {
    const Bytes elements = sample::SampleElements(false);
    WX5NH_OVERLAY o;
    ASSERT_EQ(LoadKind1(&elements, &o), 0);
    for (unsigned dpi : {150u, 300u, 600u, 1200u}) {
        WX5NH_STOP stop;
        const std::vector<WX5NH_ELEMENT> got = Walk(&o, dpi, &stop);
        ASSERT_FALSE(got.empty());
        EXPECT_TRUE(stop.result == 0 && stop.elements == got.size()) << stop.result << " after " << stop.elements;
        size_t at = o.firstElement, image = 0;
        for (const WX5NH_ELEMENT& e : got) {
            EXPECT_TRUE(e.result == 0 && e.offset >= at && e.next >= e.offset && e.next <= o.size && e.dpi == dpi) << e.offset;
            at = e.next;
            RECT box;
            if (e.kind != FO_KIND_IMAGE || image == std::size(sample::kImages)) continue;
            SCOPED_TRACE(testing::Message() << "code " << int(sample::kImages[image].code) << " at " << dpi);
            ASSERT_EQ(wx5nh_image_box(&o, &e, &box), 0);
            const double w = (box.right - box.left) / double(dpi), h = (box.bottom - box.top) / double(dpi);
            EXPECT_NEAR(h, sample::kImages[image++].rows / 240.0, 1.0 / 150);  // converted rows at 240 units an inch
            EXPECT_NEAR(w, h * 13 / 11, 1.0 / 150);                             // the 13 x 11 pixels' shape
        }
        EXPECT_EQ(image, std::size(sample::kImages));
        EXPECT_GE(stop.offset, at);
    }
    HDC page = swgdi_CreatePageDC(2480, 3508, 300, 300, 32);
    const WX5NH_CALLBACKS all = {nullptr, CountText, CountImage, CountBitmap};
    WX5NH_RENDER_RESULT r, bare;
    ASSERT_TRUE(wx5nh_render(page, &o, 300, &all, &r) == 0 && wx5nh_render(page, &o, 300, nullptr, &bare) == 0);
    EXPECT_TRUE(r.decoded > 0 && r.drawn == r.decoded && bare.decoded == r.decoded) << r.drawn << " of " << r.decoded;
    EXPECT_EQ(bare.drawn + calls[0] + calls[1] + calls[2], r.drawn);
    EXPECT_EQ(calls[0], 3);
    EXPECT_EQ(calls[1], int(std::size(sample::kImages)));
    EXPECT_EQ(calls[2], int(std::size(sample::kBitmaps)));
    DeleteDC(page);
    wx5nh_free(&o);
    EXPECT_EQ(o.image, nullptr);
}

// Where and why a walk stops: the step bound, a visit that asks to stop, and
// an overlay without element records (a damaged record: the stop the tool
// reports in ovl.cli.decode_fails_part_way).
TEST(HostLibrary, WalkReportsWhereItStops) {
    WX5NH_OVERLAY o;
    ASSERT_EQ(wx5nh_load(Example("business").c_str(), &o), 0);
    WX5NH_STOP stop;
    ASSERT_GT(Walk(&o, 240, &stop).size(), 4u);
    EXPECT_LE(Walk(&o, 240, &stop, 3).size(), 3u);
    EXPECT_EQ(stop.result, WX5NH_STEPS_OUT);
    WX5NH_WALK_OPTIONS options{240, 1, 0};
    int seen = 0;
    auto second = [](void* c, const WX5NH_ELEMENT*) { return ++*static_cast<int*>(c) == 2 ? 1 : 0; };
    EXPECT_EQ(wx5nh_walk(&o, &options, second, &seen, &stop), WX5NH_VISIT_STOPPED);
    EXPECT_TRUE(seen == 2 && stop.elements == 2u);
    wx5nh_free(&o);
    ASSERT_EQ(LoadKind1(nullptr, &o), 0);
    EXPECT_EQ(o.firstElement, o.size);
    EXPECT_TRUE(Walk(&o, 240, &stop).empty());
    EXPECT_TRUE(stop.result < 0 && stop.offset == o.size) << stop.result;
    wx5nh_free(&o);
}

// Areas whose corner radii exceed half their box: the outline stays a
// convex shape (row widths rise, then fall) inside the box widened by the
// pen, no spikes, no crossing arcs, at several resolutions.
TEST(HostLibrary, AreaCornersStayInTheBox) {
    const int cases[][3] = {{1000, 440, 2000}, {1440, 1440, 1000}, {300, 2000, 5000}, {2000, 1000, 400}};
    for (const auto& c : cases) {  // width, height, radius in 1/1440 inch
        const int l = 1440 * 5, t = -1440 * 5, r = l + c[0], b = t - c[1], k = c[2], q = k * 3 / 10;
        const Bytes area = Concat({GroupStart(0x2), EdgeVisibility(1), EdgeWidth(30), Polyline({{l + k, t}, {r - k, t}}),
                                   Arc3Point({r - k, t}, {r - q, t - q}, {r, t - k}), Polyline({{r, t - k}, {r, b + k}}),
                                   Arc3Point({r, b + k}, {r - q, b + q}, {r - k, b}), Polyline({{r - k, b}, {l + k, b}}),
                                   Arc3Point({l + k, b}, {l + q, b + q}, {l, b + k}), Polyline({{l, b + k}, {l, t - k}}),
                                   Arc3Point({l, t - k}, {l + q, t - q}, {l + k, t}), GroupEnd()});
        WX5NH_OVERLAY o;
        ASSERT_EQ(LoadKind1(&area, &o), 0);
        for (unsigned dpi : {100u, 240u}) {
            SCOPED_TRACE(testing::Message() << k << " at " << dpi);
            WX5NH_STOP stop;
            const std::vector<WX5NH_ELEMENT> got = Walk(&o, dpi, &stop);
            ASSERT_EQ(got.size(), 1u);
            const WX5NH_ELEMENT& e = got[0];
            HDC page = swgdi_CreatePageDC(dpi * 12, dpi * 12, dpi, dpi, 32);  // room for any spike
            WX5NH_RENDER_RESULT res;
            ASSERT_TRUE(wx5nh_render(page, &o, dpi, nullptr, &res) == 0 && res.drawn == 1u) << res.drawn;
            SWGDI_SURFACE s;
            ASSERT_TRUE(swgdi_GetSurface(page, &s));
            const int pen = 2;
            int outside = 0, rows = 0, falls = 0, last = -1;
            for (int y = 0; y < s.height; ++y) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s.bits) + y * s.stride);
                int lo = s.width, hi = -1;
                for (int x = 0; x < s.width; ++x)
                    if ((row[x] & 0xFFFFFF) != 0xFFFFFF) {
                        outside += x < e.low.x - pen || x > e.high.x + pen || y < e.low.y - pen || y > e.high.y + pen;
                        lo = std::min(lo, x), hi = x;
                    }
                if (hi < 0) continue;
                ++rows;
                EXPECT_FALSE(falls > 0 && hi - lo > last) << "row " << y;  // once fallen, the width may not rise again
                falls += last >= 0 && hi - lo < last;
                last = hi - lo;
            }
            EXPECT_TRUE(rows > 0 && outside == 0) << outside;
            DeleteDC(page);
        }
        wx5nh_free(&o);
    }
}

// The null-pointer rule: a null pointer the call needs gives 22 and writes
// nothing; a null out-parameter that only reports is skipped.
TEST(HostLibrary, NullPointersFollowOneRule) {
    const std::string path = Example("business");
    WX5NH_OVERLAY o;
    ASSERT_EQ(wx5nh_load(path.c_str(), &o), 0);
    WX5NH_WALK_OPTIONS options{300, 1, 0};
    WX5NH_ELEMENT element{};
    HDC page = swgdi_CreatePageDC(64, 64, 300, 300, 32);
    RECT box;
    unsigned size = 0;
    const struct { const char* call; int result, expected; } cases[] = {  // in order: size is read last
        {"load null path", wx5nh_load(nullptr, &o), WX5NH_EINVAL},
        {"load null overlay", wx5nh_load(path.c_str(), nullptr), WX5NH_EINVAL},
        {"walk null overlay", wx5nh_walk(nullptr, &options, nullptr, nullptr, nullptr), WX5NH_EINVAL},
        {"walk null options", wx5nh_walk(&o, nullptr, nullptr, nullptr, nullptr), WX5NH_EINVAL},
        {"walk null visit and stop", wx5nh_walk(&o, &options, nullptr, nullptr, nullptr), 0},
        {"walk records null setup", wx5nh_walk_records(o.image, o.size, nullptr, nullptr, nullptr, nullptr), WX5NH_EINVAL},
        {"render null dc", wx5nh_render(nullptr, &o, 300, nullptr, nullptr), WX5NH_EINVAL},
        {"render null overlay", wx5nh_render(page, nullptr, 300, nullptr, nullptr), WX5NH_EINVAL},
        {"render null result", wx5nh_render(page, &o, 300, nullptr, nullptr), 0},
        {"render dpi below range", wx5nh_render(page, &o, WX5NH_DPI_MIN - 1, nullptr, nullptr), WX5NH_EINVAL},
        {"render dpi above range", wx5nh_render(page, &o, WX5NH_DPI_MAX + 1, nullptr, nullptr), WX5NH_EINVAL},
        {"image box null box", wx5nh_image_box(&o, &element, nullptr), WX5NH_EINVAL},
        {"image box null element", wx5nh_image_box(&o, nullptr, &box), WX5NH_EINVAL},
        {"draw image null dc", wx5nh_draw_image(nullptr, nullptr, &o, &element), WX5NH_EINVAL},
        {"draw bitmap null element", wx5nh_draw_bitmap(nullptr, page, &o, nullptr), WX5NH_EINVAL},
        {"read size null path", pcom_fogetreadsize(nullptr, &size, 0), WX5NH_EINVAL},
        {"read size null size", pcom_fogetreadsize(path.c_str(), nullptr, 0), 0},
        {"text length null overlay", int(wx5nh_text_length(nullptr, &element)), 0},
        {"first element null image", int(wx5nh_first_element(nullptr, 100, 1, 1, nullptr)), 0},
        {"record length null image", int(wx5nh_record_length(nullptr, 100)), 0},
        {"read size wrote nothing", int(size), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, c.expected) << c.call;
    wx5nh_free(nullptr);
    DeleteDC(page);
    wx5nh_free(&o);
}

}  // namespace
