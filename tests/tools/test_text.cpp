// The tool's text renderer: which way text runs and stands (the ink's box is
// tall for a column, wide for a line, and a vertical form replaces a
// bracket), glyphs kept across calls, the font set up only for text, and
// glyphs cut by the page's edges drawn as the part of the whole they show.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tools/ovl/text.h"

namespace {

// A white page, 32-bit with every pixel's fourth byte 0, or 1-bit.
struct Page {
    Page(int w, int h, bool mono) : bits(static_cast<size_t>(mono ? (w + 31) / 32 * 4 : w * 4) * h, 0xFF) {
        raster = {w, h, static_cast<int>(bits.size()) / h, mono, 0, bits.data()};
        for (size_t i = 3; !mono && i < bits.size(); i += 4) bits[i] = 0;
    }
    bool FourthBytesKept() const {
        for (size_t i = 3; !raster.mono && i < bits.size(); i += 4)
            if (bits[i] != 0) return false;
        return true;
    }
    std::vector<uint8_t> bits;
    ovl::Raster raster;
};

// Draws text with the pen at (100, 150) on a 400 x 400 page; the ink's box:
// left, top, right, bottom.
std::array<int, 4> Ink(ovl::TextRenderer& r, const std::u32string& text, const ovl::TextStyle& style) {
    Page page(400, 400, false);
    r.Draw(page.raster, text, 100, 150, style);
    std::array<int, 4> b = {1 << 30, 1 << 30, -1, -1};
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            if (page.raster.Ink(x, y)) b = {std::min(b[0], x), std::min(b[1], y), std::max(b[2], x), std::max(b[3], y)};
    return b;
}

TEST(OvlText, RunsAndStandsAsAsked) {
    // Text, vertical, rotation, and whether the ink is tall (else wide).
    static const struct Case { const char32_t* text; bool vertical; int rotation; bool tall; } kCases[] = {{U"一二三四", false, 0, false}, {U"一二三四", true, 0, true},
                                  {U"一二三四", false, 3, true},  {U"ABCD", true, 0, true},  // Latin turned in a column
                                  {U"「", false, 0, true},        {U"「", true, 0, false}};  // its vertical form lies across
    ovl::TextRenderer r;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(&c - kCases));
        ovl::TextStyle style;
        style.heightPx = 24;
        style.vertical = c.vertical;
        style.rotation = c.rotation;
        const auto [left, top, right, bottom] = Ink(r, c.text, style);
        const int w = right - left + 1, h = bottom - top + 1;
        ASSERT_GE(right, 0) << "no ink";
        EXPECT_GT(c.tall ? h : w, 1.5 * (c.tall ? w : h));
        // Lines start at the pen; columns hang below it within a cell's width
        // (a turned line's descent reaches a little left of the pen).
        const bool column = c.vertical || c.rotation == 3;
        EXPECT_GE(column ? top : left, column ? 150 : 96);
        EXPECT_LE(column ? top : left, column ? 150 + 20 : 100 + 20);  // in the first cell
        EXPECT_GE(left, 100 - 6);
        EXPECT_LE(column ? right : bottom, column ? 100 + 24 : 150 + 6);
    }
    EXPECT_FALSE(r.Failed()) << r.OpenError();
}

TEST(OvlText, SetsUpTheFontForTextAndKeepsItsGlyphs) {
    ovl::TextRenderer r;
    ovl::TextStyle style;
    style.heightPx = 30;
    Ink(r, U"", style);
    EXPECT_TRUE(r.FontFile().empty());  // nothing to draw: no font looked for
    Ink(r, U"請求書請求書", style);
    ASSERT_FALSE(r.FontFile().empty()) << r.OpenError();
    EXPECT_EQ(r.GlyphsRendered(), 3u);
    EXPECT_EQ(r.GlyphsCached(), 3u);
    const std::array<int, 4> again = Ink(r, U"請求書", style);
    EXPECT_EQ(r.GlyphsRendered(), 3u);
    EXPECT_EQ(r.GlyphsCached(), 6u);
    EXPECT_GT(again[2] - again[0], 60);
    style.rotation = 2;
    Ink(r, U"請求書", style);  // another rotation is another glyph
    EXPECT_EQ(r.GlyphsRendered(), 6u);
}

// Coloured text with the pen at (100, 150) on a 300 x 300 page, then on small
// pages that are windows onto it (their top-left corner at ox, oy), the pen
// moved with them: each window shows the whole page's pixels, whichever of
// its edges cuts the glyphs. Full coverage gives the text colour itself and
// partial coverage lies between it and the paper.
TEST(OvlText, GlyphsCutByThePageEdgesShowTheirPart) {
    constexpr uint32_t kRgb = 0x3366CC;
    static const int kWindows[][4] = {{110, 120, 40, 60}, {60, 120, 50, 60}, {100, 140, 60, 10}, {100, 100, 80, 60},
                                      {112, 138, 3, 3},   {250, 250, 40, 40}, {0, 0, 300, 300},   {101, 131, 199, 17}};
    ovl::TextRenderer r;
    ovl::TextStyle style;
    style.heightPx = 26;
    style.rgb = kRgb;
    for (const bool mono : {false, true}) {
        Page whole(300, 300, mono);
        r.Draw(whole.raster, U"請求書 Ag", 100, 150, style);
        ASSERT_FALSE(r.Failed()) << r.OpenError();
        size_t solid = 0;
        for (int i = 0; !mono && i < 300 * 300; ++i) {
            const uint32_t p = whole.raster.Rgb(i % 300, i / 300);
            solid += p == kRgb;
            for (int k = 0; k < 24; k += 8) EXPECT_GE((p >> k) & 0xFF, (kRgb >> k) & 0xFF) << std::hex << p;
        }
        EXPECT_TRUE(mono || solid > 20u);
        for (const auto& w : kWindows) {  // ox, oy, width, height
            SCOPED_TRACE(std::to_string(mono) + " window " + std::to_string(&w - kWindows));
            Page part(w[2], w[3], mono);
            r.Draw(part.raster, U"請求書 Ag", 100 - w[0], 150 - w[1], style);
            size_t differ = 0;
            for (int y = 0; y < w[3]; ++y)
                for (int x = 0; x < w[2]; ++x) differ += part.raster.Rgb(x, y) != whole.raster.Rgb(w[0] + x, w[1] + y);
            EXPECT_EQ(differ, 0u);
            EXPECT_TRUE(part.FourthBytesKept());
        }
    }
}

}  // namespace
