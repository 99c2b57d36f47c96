// The tool's text renderer: which way text runs and stands (the ink's box is
// tall for a column, wide for a line, and a vertical form replaces a
// bracket), glyphs kept across calls, and the font set up only for text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/ovl/text.h"

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

// Draws text on a white 32-bit page with the pen at (100, 150); the ink's box.
Box Ink(ovl::TextRenderer& r, const std::u32string& text, const ovl::TextStyle& style) {
    std::vector<uint8_t> bits(400 * 400 * 4, 0xFF);
    ovl::Raster page{400, 400, 400 * 4, false, 0, bits.data()};
    r.Draw(page, text, 100, 150, style);
    Box b;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            if (page.Ink(x, y)) b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
    return b;
}

TEST(OvlText, RunsAndStandsAsAsked) {
    // Text, vertical, rotation, and whether the ink is tall (else wide).
    struct Case {
        const char32_t* text;
        bool vertical;
        int rotation;
        bool tall;
    };
    static const Case kCases[] = {{U"一二三四", false, 0, false}, {U"一二三四", true, 0, true},
                                  {U"一二三四", false, 3, true},  {U"ABCD", true, 0, true},  // Latin turned in a column
                                  {U"「", false, 0, true},        {U"「", true, 0, false}};  // its vertical form lies across
    ovl::TextRenderer r;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(&c - kCases));
        ovl::TextStyle style;
        style.heightPx = 24;
        style.vertical = c.vertical;
        style.rotation = c.rotation;
        const Box b = Ink(r, c.text, style);
        const int w = b.right - b.left + 1, h = b.bottom - b.top + 1;
        ASSERT_GE(b.right, 0) << "no ink";
        EXPECT_GT(c.tall ? h : w, 1.5 * (c.tall ? w : h));
        // Lines start at the pen; columns hang below it within a cell's width
        // (a turned line's descent reaches a little left of the pen).
        const bool column = c.vertical || c.rotation == 3;
        EXPECT_GE(column ? b.top : b.left, column ? 150 : 96);
        EXPECT_LE(column ? b.top : b.left, column ? 150 + 20 : 100 + 20);  // in the first cell
        EXPECT_GE(b.left, 100 - 6);
        EXPECT_LE(column ? b.right : b.bottom, column ? 100 + 24 : 150 + 6);
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
    const Box again = Ink(r, U"請求書", style);
    EXPECT_EQ(r.GlyphsRendered(), 3u);
    EXPECT_EQ(r.GlyphsCached(), 6u);
    EXPECT_GT(again.right - again.left, 60);
    style.rotation = 2;
    Ink(r, U"請求書", style);  // another rotation is another glyph
    EXPECT_EQ(r.GlyphsRendered(), 6u);
}

}  // namespace
