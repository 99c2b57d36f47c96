// The host library over the examples and over overlays the writer makes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/wx5nhost.h"
#include "tests/decode/sample_overlay.h"

using namespace ovlw;

namespace {

std::string Example(const char* name) { return std::string(WX5N_SOURCE_DIR) + "/examples/" + name + ".ovl"; }

// Writes bytes to a file of the test's temporary folder.
std::string TempOverlay(const std::string& name, const Bytes& bytes) {
    const char* dir = std::getenv("WX5N_TEST_TMP");
    const std::string base = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    ::mkdir(base.c_str(), 0755);
    const std::string path = base + "/host_" + name + ".ovl";
    EXPECT_TRUE(WriteFile(path, bytes));
    return path;
}

std::string Kind1(const std::string& name, const Bytes& elements) {
    Kind1Options o;
    o.preamble = FontList({Ebcdic("QZAAAADA")});
    o.elements = elements;
    return TempOverlay(name, BuildKind1(o));
}

std::vector<WX5NH_ELEMENT> Walk(WX5NH_OVERLAY* o, unsigned dpi, WX5NH_STOP* stop, size_t maxSteps = 0) {
    std::vector<WX5NH_ELEMENT> got;
    WX5NH_WALK_OPTIONS options{dpi, 1, maxSteps};
    wx5nh_walk(o, &options,
               [](void* c, const WX5NH_ELEMENT* e) {
                   static_cast<std::vector<WX5NH_ELEMENT>*>(c)->push_back(*e);
                   return 0;
               },
               &got, stop);
    return got;
}

// Calls of each callback, counted by element kind.
struct Calls {
    int text = 0, image = 0, bitmap = 0;
};
int CountText(void* c, HDC, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) {
    ++static_cast<Calls*>(c)->text;
    return wx5nh_text_length(o, e) > 0 ? 0 : -1;
}
int CountImage(void* c, HDC dc, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) {
    ++static_cast<Calls*>(c)->image;
    return wx5nh_draw_image(c, dc, o, e);
}
int CountBitmap(void* c, HDC dc, const WX5NH_OVERLAY* o, const WX5NH_ELEMENT* e) {
    ++static_cast<Calls*>(c)->bitmap;
    return wx5nh_draw_bitmap(c, dc, o, e);
}

// Every example loads and walks to its end; elements lie in order inside
// the image; with all three callbacks every decoded element is drawn.
TEST(HostLibrary, ExamplesWalkAndDrawEveryElement) {
    for (const char* name : {"business", "ledger", "japanese"}) {
        SCOPED_TRACE(name);
        WX5NH_OVERLAY o;
        ASSERT_EQ(wx5nh_load(Example(name).c_str(), &o), 0);
        ASSERT_GT(o.firstElement, 0u);
        WX5NH_STOP stop;
        const std::vector<WX5NH_ELEMENT> got = Walk(&o, 300, &stop);
        EXPECT_EQ(stop.result, 0);
        EXPECT_EQ(stop.elements, got.size());
        ASSERT_FALSE(got.empty());
        size_t at = o.firstElement;
        for (const WX5NH_ELEMENT& e : got) {
            EXPECT_EQ(e.result, 0);
            EXPECT_GE(e.offset, at);
            EXPECT_GE(e.next, e.offset);
            EXPECT_LE(e.next, o.size);
            EXPECT_EQ(e.dpi, 300u);
            at = e.next;
        }
        EXPECT_GT(stop.offset, at - 1);

        HDC page = swgdi_CreatePageDC(2480, 3508, 300, 300, 32);
        Calls calls;
        const WX5NH_CALLBACKS all = {&calls, CountText, CountImage, CountBitmap};
        WX5NH_RENDER_RESULT r;
        EXPECT_EQ(wx5nh_render(page, &o, 300, &all, &r), 0);
        EXPECT_GT(r.decoded, 0u);
        EXPECT_EQ(r.drawn, r.decoded);
        // Without callbacks, text, images and bitmaps are left undrawn.
        WX5NH_RENDER_RESULT bare;
        EXPECT_EQ(wx5nh_render(page, &o, 300, nullptr, &bare), 0);
        EXPECT_EQ(bare.decoded, r.decoded);
        EXPECT_EQ(bare.drawn + calls.text + calls.image + calls.bitmap, r.drawn);
        DeleteDC(page);
        wx5nh_free(&o);
        EXPECT_EQ(o.image, nullptr);
    }
}

// The sample overlay of every element kind: each callback sees its kinds,
// and a walk that may not keep attributes still decodes them all.
TEST(HostLibrary, CallbacksSeeTheirKinds) {
    WX5NH_OVERLAY o;
    ASSERT_EQ(wx5nh_load(Kind1("sample", sample::SampleElements(false)).c_str(), &o), 0);
    HDC page = swgdi_CreatePageDC(800, 800, 240, 240, 32);
    Calls calls;
    const WX5NH_CALLBACKS all = {&calls, CountText, CountImage, CountBitmap};
    WX5NH_RENDER_RESULT r;
    EXPECT_EQ(wx5nh_render(page, &o, 240, &all, &r), 0);
    EXPECT_EQ(calls.text, 3);
    EXPECT_EQ(calls.image, static_cast<int>(std::size(sample::kImages)));
    EXPECT_EQ(calls.bitmap, static_cast<int>(std::size(sample::kBitmaps)));
    EXPECT_EQ(r.drawn, r.decoded);
    DeleteDC(page);
    wx5nh_free(&o);
}

// Where and why a walk stops: a damaged record, the step bound, a visit
// that asks to stop.
TEST(HostLibrary, WalkReportsWhereItStops) {
    WX5NH_OVERLAY o;
    ASSERT_EQ(wx5nh_load(Example("business").c_str(), &o), 0);
    WX5NH_STOP full;
    const size_t total = Walk(&o, 240, &full).size();
    ASSERT_GT(total, 4u);

    WX5NH_STOP stop;
    EXPECT_LE(Walk(&o, 240, &stop, 3).size(), 3u);
    EXPECT_EQ(stop.result, WX5NH_STEPS_OUT);

    WX5NH_WALK_OPTIONS options{240, 1, 0};
    int seen = 0;
    EXPECT_EQ(wx5nh_walk(&o, &options, [](void* c, const WX5NH_ELEMENT*) { return ++*static_cast<int*>(c) == 2 ? 1 : 0; },
                         &seen, &stop),
              WX5NH_VISIT_STOPPED);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(stop.elements, 2u);

    // A class id no element record has, written over the third element.
    std::vector<WX5NH_ELEMENT> got = Walk(&o, 240, &stop);
    size_t i = 2;
    while (i < got.size() && got[i].kind == 10) ++i;
    ASSERT_LT(i, got.size());
    const size_t third = got[i].offset;
    o.image[third] = 0x7F;
    o.image[third + 1] = 0xE0;
    got = Walk(&o, 240, &stop);
    EXPECT_NE(stop.result, 0);
    EXPECT_EQ(stop.offset, third);
    size_t sound = 0;
    for (const WX5NH_ELEMENT& e : got) sound += e.result == 0 && e.offset < third;
    EXPECT_EQ(sound, i);
    wx5nh_free(&o);

    // No element records at all: the walk stops at the end of the image.
    Kind1Options bare;
    bare.endPicture = false;
    ASSERT_EQ(wx5nh_load(TempOverlay("bare", BuildKind1(bare)).c_str(), &o), 0);
    EXPECT_EQ(o.firstElement, o.size);
    EXPECT_TRUE(Walk(&o, 240, &stop).empty());
    EXPECT_LT(stop.result, 0);
    EXPECT_EQ(stop.offset, o.size);
    wx5nh_free(&o);
}

// An image measures the same on paper at every resolution, whatever its
// resolution code: within one device pixel of its size at 150 dpi.
TEST(HostLibrary, ImageSizeOnPaperIsTheSameAtEveryDpi) {
    for (const sample::ImageCase& c : sample::kImages) {
        SCOPED_TRACE(c.code);
        const Bytes bits(2 * 11, 0xFF);
        WX5NH_OVERLAY o;
        ASSERT_EQ(wx5nh_load(Kind1("image", Image({1440, -1440}, {2880, -1440}, {1440, -2880}, 0xF9,
                                                  c.code, 11, 13, bits))
                                 .c_str(),
                             &o),
                  0);
        double inches[2] = {0, 0};
        for (unsigned dpi : {150u, 300u, 600u, 1200u}) {
            WX5NH_STOP stop;
            std::vector<WX5NH_ELEMENT> got = Walk(&o, dpi, &stop);
            ASSERT_EQ(got.size(), 1u);
            RECT box;
            ASSERT_EQ(wx5nh_image_box(&o, &got[0], &box), 0);
            const double w = (box.right - box.left) / double(dpi), h = (box.bottom - box.top) / double(dpi);
            if (dpi == 150) {
                inches[0] = w;
                inches[1] = h;
                // The decoder's converted rows, at the overlay's 240 units.
                EXPECT_NEAR(h, c.rows / 240.0, 1.0 / 150);
            }
            EXPECT_NEAR(w, inches[0], 1.0 / 150) << dpi;
            EXPECT_NEAR(h, inches[1], 1.0 / 150) << dpi;
        }
        wx5nh_free(&o);
    }
}

// True when the widths rise to their largest and then fall, never rising
// again: the profile of a convex shape.
bool Unimodal(const std::vector<int>& widths) {
    size_t i = 1;
    while (i < widths.size() && widths[i] >= widths[i - 1]) ++i;
    while (i < widths.size() && widths[i] <= widths[i - 1]) ++i;
    return i >= widths.size();
}

// Areas whose corner radii exceed half their box: the outline stays a
// convex shape inside the box widened by the pen (no spikes, no crossing
// arcs), at several resolutions.
TEST(HostLibrary, AreaCornersStayInTheBox) {
    struct Case {
        int width, height, radius;  // 1/1440 inch
    };
    const Case cases[] = {{1000, 440, 2000}, {1440, 1440, 1000}, {300, 2000, 5000}, {2000, 1000, 400}};
    for (const Case& c : cases) {
        const int l = 1440 * 5, t = -1440 * 5, r = l + c.width, b = t - c.height, k = c.radius;
        const Bytes area = Concat({GroupStart(0x2), EdgeVisibility(1), EdgeWidth(30),
                                   Polyline({{l + k, t}, {r - k, t}}),
                                   Arc3Point({r - k, t}, {r - k * 3 / 10, t - k * 3 / 10}, {r, t - k}),
                                   Polyline({{r, t - k}, {r, b + k}}),
                                   Arc3Point({r, b + k}, {r - k * 3 / 10, b + k * 3 / 10}, {r - k, b}),
                                   Polyline({{r - k, b}, {l + k, b}}),
                                   Arc3Point({l + k, b}, {l + k * 3 / 10, b + k * 3 / 10}, {l, b + k}),
                                   Polyline({{l, b + k}, {l, t - k}}),
                                   Arc3Point({l, t - k}, {l + k * 3 / 10, t - k * 3 / 10}, {l + k, t}), GroupEnd()});
        WX5NH_OVERLAY o;
        ASSERT_EQ(wx5nh_load(Kind1("area", area).c_str(), &o), 0);
        for (unsigned dpi : {100u, 240u}) {
            SCOPED_TRACE(testing::Message() << c.radius << " at " << dpi);
            WX5NH_STOP stop;
            const std::vector<WX5NH_ELEMENT> got = Walk(&o, dpi, &stop);
            ASSERT_EQ(got.size(), 1u);
            const WX5NH_ELEMENT& e = got[0];
            const int side = dpi * 12;  // 12 inches: room for any spike
            HDC page = swgdi_CreatePageDC(side, side, dpi, dpi, 32);
            WX5NH_RENDER_RESULT res;
            ASSERT_EQ(wx5nh_render(page, &o, dpi, nullptr, &res), 0);
            ASSERT_EQ(res.drawn, 1u);
            SWGDI_SURFACE s;
            ASSERT_TRUE(swgdi_GetSurface(page, &s));
            const int pen = 2;
            int outside = 0;
            std::vector<int> lo(s.height, s.width), hi(s.height, -1);
            for (int y = 0; y < s.height; ++y) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s.bits) + y * s.stride);
                for (int x = 0; x < s.width; ++x) {
                    if ((row[x] & 0xFFFFFF) == 0xFFFFFF) continue;
                    outside += !(x >= e.low.x - pen && x <= e.high.x + pen && y >= e.low.y - pen && y <= e.high.y + pen);
                    lo[y] = std::min(lo[y], x);
                    hi[y] = std::max(hi[y], x);
                }
            }
            std::vector<int> widths;
            for (int y = 0; y < s.height; ++y)
                if (hi[y] >= 0) widths.push_back(hi[y] - lo[y]);
            EXPECT_FALSE(widths.empty());
            EXPECT_TRUE(Unimodal(widths));
            EXPECT_EQ(outside, 0);
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
    struct Case {
        const char* call;
        int result;
        int expected;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.call;
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(wx5nh_text_length(nullptr, &element), 0u);
    EXPECT_EQ(wx5nh_first_element(nullptr, 100, 1, 1, nullptr), 0u);
    EXPECT_EQ(wx5nh_record_length(nullptr, 100), 0u);
    wx5nh_free(nullptr);
    DeleteDC(page);
    wx5nh_free(&o);
}

}  // namespace
