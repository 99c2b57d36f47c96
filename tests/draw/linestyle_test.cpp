// Dash patterns of the line kinds for a device context.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

std::vector<int> Style(HDC dc, int kind, int width, int upi, std::vector<int> pattern = {},
                       int capacity = 6, int* result = nullptr) {
    int out[8] = {-7, -7, -7, -7, -7, -7, -7, -7};
    int n = foGetLineStyle(dc, kind, width, pattern.empty() ? nullptr : pattern.data(),
                           static_cast<int>(pattern.size()), out, capacity, upi);
    if (result) *result = n;
    if (n < 0) return {n};
    return std::vector<int>(out, out + (n > 0 ? n : 0));
}

TEST(LineStyle, PrinterAt600DpiScalesWithTheWidthAboveOnePoint) {
    // 6000 pixels = 254 mm: the device reports 600 pixels per inch.
    Page page(6000, 40, 600);
    HDC dc = page.dc();
    EXPECT_EQ(Style(dc, 4, 3, 600), (std::vector<int>{48, 16, 16, 16}));
    EXPECT_EQ(Style(dc, 4, 20, 600), (std::vector<int>{120, 40, 40, 40}));
    EXPECT_EQ(Style(dc, 4, 3, 0), (std::vector<int>{48, 16, 16, 16}));  // asked of the device
    EXPECT_EQ(Style(dc, 7, 3, 600), (std::vector<int>{64, 24, 24, 24, 24, 24}));
}

TEST(LineStyle, ScreenAt96DpiAndEveryBuiltInKind) {
    Page page(960, 40, 96);  // 254 mm wide
    HDC dc = page.dc();
    EXPECT_EQ(Style(dc, 3, 1, 0), (std::vector<int>{6, 2}));
    EXPECT_EQ(Style(dc, 3, 4, 0), (std::vector<int>{24, 8}));
    EXPECT_EQ(Style(dc, 2, 1, 0), (std::vector<int>{2, 2}));
    EXPECT_EQ(Style(dc, 5, 1, 0), (std::vector<int>{8, 3}));
    EXPECT_EQ(Style(dc, 6, 1, 0), (std::vector<int>{8, 3, 3, 3}));
    // Unknown kinds take the short dashes.
    EXPECT_EQ(Style(dc, 12, 1, 0), (std::vector<int>{2, 2}));
    EXPECT_EQ(Style(dc, -1, 1, 0), (std::vector<int>{2, 2}));
    // No line, solid, double and wave: a count only, nothing written.
    int out[6] = {-7, -7, -7, -7, -7, -7};
    EXPECT_EQ(foGetLineStyle(dc, 0, 1, nullptr, 0, out, 6, 0), 0);
    for (int kind : {1, 9, 10}) EXPECT_EQ(foGetLineStyle(dc, kind, 1, nullptr, 0, out, 6, 0), 1);
    for (int v : out) EXPECT_EQ(v, -7);
    // A pattern longer than the room given is refused with out untouched.
    EXPECT_EQ(foGetLineStyle(dc, 7, 1, nullptr, 0, out, 5, 0), -1);
    EXPECT_EQ(foGetLineStyle(dc, 4, 1, nullptr, 0, out, 3, 0), -1);
    for (int v : out) EXPECT_EQ(v, -7);
    // Nothing is written beyond the pattern's own entries.
    for (int kind = 2; kind <= 7; ++kind) {
        int room[8] = {-7, -7, -7, -7, -7, -7, -7, -7};
        const int n = foGetLineStyle(dc, kind, 1, nullptr, 0, room, 6, 0);
        ASSERT_GT(n, 0) << kind;
        for (int i = n; i < 8; ++i) EXPECT_EQ(room[i], -7) << kind << " entry " << i;
    }
    EXPECT_EQ(foGetLineStyle(nullptr, 3, 1, nullptr, 0, out, 6, 0), -1);
    EXPECT_EQ(foGetLineStyle(dc, 3, 1, nullptr, 0, nullptr, 6, 0), -1);
}

TEST(LineStyle, CallerPatternsAreCheckedRaisedAndSnapped) {
    Page page;
    page.SetMapping(Mapping::Twips);  // one pixel is 10 units
    HDC dc = page.dc();
    int r = 0;
    // 72 units per inch: one point is one unit, below a pixel. Each entry is
    // rounded to whole pixels, halves up, and never below one pixel.
    EXPECT_EQ(Style(dc, 8, 0, 72, {3, 25, 44, 10, 15, 4}),
              (std::vector<int>{10, 30, 40, 10, 20, 10}));
    // Entries shorter than one point (or than the width) are raised first.
    EXPECT_EQ(Style(dc, 8, 0, 1440, {3, 25}), (std::vector<int>{20, 30}));
    EXPECT_EQ(Style(dc, 8, 60, 1440, {3, 75}), (std::vector<int>{60, 80}));

    EXPECT_EQ(Style(dc, 8, 0, 72, {10, 10, 10, 10, 10, 10, 10}, 6, &r), std::vector<int>{-1});
    EXPECT_EQ(Style(dc, 8, 0, 72, {10, 10, 10, 10, 10}, 6, &r), std::vector<int>{-1});
    EXPECT_EQ(Style(dc, 8, 0, 72, {10, 10, 10, 10}, 3, &r), std::vector<int>{-1});
    int out[6] = {-7, -7, -7, -7, -7, -7};
    EXPECT_EQ(foGetLineStyle(dc, 8, 0, out, 0, out, 6, 72), -1);
    EXPECT_EQ(foGetLineStyle(dc, 8, 0, nullptr, 2, out, 6, 72), -1);
    // A negative even count passes the checks and comes back unchanged with
    // nothing written (the drawing functions refuse it).
    EXPECT_EQ(foGetLineStyle(dc, 8, 0, out, -2, out, 6, 72), -2);
    for (int v : out) EXPECT_EQ(v, -7);

    // Converted in place, as the drawing functions do.
    int inPlace[6] = {3, 25, 0, 0, 0, 0};
    EXPECT_EQ(foGetLineStyle(dc, 8, 0, inPlace, 2, inPlace, 6, 72), 2);
    EXPECT_EQ(inPlace[0], 10);
    EXPECT_EQ(inPlace[1], 30);
}

TEST(LineStyle, SameDeviceLengthsInEveryMapping) {
    // One point is 2 pixels on a 144 dpi page whatever the mapping.
    Page page;
    HDC dc = page.dc();
    EXPECT_EQ(Style(dc, 3, 1, 0), (std::vector<int>{12, 4}));
    page.SetMapping(Mapping::Twips);
    EXPECT_EQ(Style(dc, 3, 1, 0), (std::vector<int>{120, 40}));
    page.SetMapping(Mapping::Anisotropic);
    EXPECT_EQ(Style(dc, 3, 1, 0), (std::vector<int>{36, 12}));
    // Here a pixel is 3 units: entries snap to multiples of 3.
    EXPECT_EQ(Style(dc, 8, 0, 72, {5, 1}), (std::vector<int>{6, 3}));
}

TEST(LineStyle, CoarseMappingFallsBackToOnePixel) {
    // One unit covers 1000 pixels: an inch does not register (U = 0), so
    // the unit of the pattern is one device pixel's logical length.
    Page page;
    HDC dc = page.dc();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 1000, 1000, nullptr);
    EXPECT_EQ(Style(dc, 3, 0, 0), (std::vector<int>{6, 2}));
    // Units per inch given by the host take the device queries' place.
    EXPECT_EQ(Style(dc, 3, 0, 1440), (std::vector<int>{120, 40}));
    // A negative units-per-inch wraps as an unsigned value.
    EXPECT_EQ(Style(dc, 2, 0, -1440), (std::vector<int>{5965192, 5965192}));
}

}  // namespace
}  // namespace wx5n::test
