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
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

// Draws text on a white 32-bit page at (100, 150) and returns the ink's box.
Box Ink(ovl::TextRenderer& r, const std::u32string& text, const ovl::TextStyle& style) {
    std::vector<uint8_t> bits(400 * 400 * 4, 0xFF);
    ovl::Raster page;
    page.width = page.height = 400;
    page.stride = 400 * 4;
    page.bits = bits.data();
    r.Draw(page, text, 100, 150, style);
    Box b;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (!page.Ink(x, y)) continue;
            b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
        }
    }
    return b;
}

struct Case {
    const char32_t* text;
    bool vertical;
    int rotation;
    bool tall;  // the ink is more than twice as tall as wide, else the reverse
    bool startsAtPen;  // the ink starts at the pen along the text's direction
};

TEST(OvlText, RunsAndStandsAsAsked) {
    static const Case kCases[] = {
        {U"一二三四", false, 0, false, true},  {U"一二三四", true, 0, true, true},
        {U"一二三四", false, 3, true, true},   {U"ABCD", true, 0, true, true},  // Latin turned with the column
        {U"「", false, 0, true, false},        {U"「", true, 0, false, false},  // the vertical form lies across
    };
    ovl::TextRenderer r;
    ovl::TextStyle style;
    style.heightPx = 24;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(&c - kCases));
        style.vertical = c.vertical;
        style.rotation = c.rotation;
        const Box b = Ink(r, c.text, style);
        ASSERT_GE(b.right, 0) << "no ink";
        if (c.tall) EXPECT_GT(b.Height(), 1.5 * b.Width());
        else EXPECT_GT(b.Width(), 1.5 * b.Height());
        if (!c.startsAtPen) continue;
        // Lines start at the pen; columns hang below it, within a cell's
        // width (a turned line's descent reaches left of the pen).
        if (c.vertical || c.rotation == 3) {
            EXPECT_GE(b.top, 150);
            EXPECT_LE(b.top, 150 + 12);
            EXPECT_GE(b.left, 100 - 6);
            EXPECT_LE(b.right, 100 + 24);
        } else {
            EXPECT_NEAR(b.left, 100, 4);
            EXPECT_LE(b.bottom, 150 + 6);
        }
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
    EXPECT_GT(again.Width(), 60);
    style.rotation = 2;
    Ink(r, U"請求書", style);  // another rotation is another glyph
    EXPECT_EQ(r.GlyphsRendered(), 6u);
}

}  // namespace
