// The same figure, given in device pixels, drawn through foExtLine under
// MM_TEXT, MM_TWIPS (y up), an anisotropic mapping with shifted origins and
// one whose x axis runs right to left, managed and unmanaged: the pages must
// agree.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

// A line in device pixels: end points, width, kind, cap, wave height.
struct Fig {
    int x1, y1, x2, y2;
    int width, kind, cap;
    int wave = 0;
    bool fresh = true;  // start a fresh dash pattern (else carry on)
};

constexpr COLORREF kInk[3] = {0x0000C0, 0x008000, 0xA00000};

void Draw(Page& page, const std::vector<Fig>& figs, MNG_OBJECT* mng) {
    LINEREC line = Line(1, 1, 1);
    int n = 0;
    for (const Fig& f : figs) {
        if (f.fresh) {
            line = Line(page.Len(f.width), f.kind, f.cap, kInk[n++ % 3]);
            line.waveHeight = page.Len(f.wave);
            if (f.kind == 8) {  // a pattern of its own, in pixels
                const int px[4] = {10, 3, 2, 3};
                line.dashCount = 4;
                for (int i = 0; i < 4; ++i) line.dashPattern[i] = page.Len(px[i]);
            }
        }
        POINT a = page.L(f.x1, f.y1), b = page.L(f.x2, f.y2);
        ASSERT_EQ(foExtLine(page.dc(), a.x, a.y, b.x, b.y, &line, mng), 1)
            << MappingName(page.mapping()) << " " << f.x1 << "," << f.y1;
    }
}

std::vector<uint32_t> Render(Mapping m, const std::vector<Fig>& figs, bool managed) {
    Page page;
    page.SetMapping(m);
    MNG_OBJECT mng;
    if (managed) StartMngObject(page.dc(), &mng);
    Draw(page, figs, managed ? &mng : nullptr);
    if (managed) EndMngObject(page.dc(), &mng);
    return page.Pixels();
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
}

// Pixels where the pages differ although neither page has an edge there
// (a pixel whose 3 x 3 neighbourhood holds both ink and paper).
int DifferencesOffEdges(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int w,
                        int h) {
    auto edge = [&](const std::vector<uint32_t>& v, int x, int y) {
        bool ink = false, paper = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int xx = x + dx, yy = y + dy;
                if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                (v[static_cast<size_t>(yy) * w + xx] == 0xFFFFFF ? paper : ink) = true;
            }
        return ink && paper;
    };
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = static_cast<size_t>(y) * w + x;
            if (a[i] != b[i] && !(edge(a, x, y) && edge(b, x, y))) ++n;
        }
    return n;
}

// Horizontal and vertical lines, both ways, of every drawing mode, wider
// than one pixel; thin solid lines; double and wave lines.
std::vector<Fig> AxisFigures() {
    std::vector<Fig> f;
    int y = 20;
    for (int cap : {1, 2, 3})
        for (int w : {4, 9, 12}) {
            f.push_back({30, y, 230, y, w, 1, cap});
            f.push_back({480, y, 260, y, w, 3, cap});  // right to left, dashed
            y += 16;
        }
    for (int kind = 2; kind <= 8; ++kind) {
        Fig g{30, y, 330, y, 4, kind, 2};
        f.push_back(g);
        y += 10;
    }
    // A dashed polyline whose pattern runs on through its corners.
    f.push_back({400, 200, 600, 200, 6, 4, 3});
    f.push_back({600, 200, 600, 400, 6, 4, 3, 0, false});
    f.push_back({600, 400, 420, 400, 6, 4, 3, 0, false});
    f.push_back({420, 400, 420, 220, 6, 4, 3, 0, false});
    // Thin solid lines, and vertical wide ones up and down.
    f.push_back({30, 300, 330, 300, 1, 1, 1});
    f.push_back({30, 310, 30, 500, 1, 1, 3});
    f.push_back({60, 310, 60, 500, 8, 3, 1});
    f.push_back({90, 500, 90, 310, 8, 5, 2});
    f.push_back({120, 310, 120, 500, 7, 3, 3});
    // Double lines.
    for (int cap : {1, 2}) {
        f.push_back({160, 300 + 40 * cap, 360, 300 + 40 * cap, 9, 9, cap});
        f.push_back({380 + 60 * cap, 450, 380 + 60 * cap, 650, 12, 9, cap});
    }
    f.push_back({160, 300, 360, 300, 2, 9, 1});
    // Wave lines in all four directions. The flat runs are a sixth of the
    // height, divided in logical units: heights of whole multiples of 6
    // pixels keep them whole pixels in every mapping.
    f.push_back({30, 560, 330, 560, 1, 10, 3, 12});
    f.push_back({330, 600, 30, 600, 3, 10, 3, 12});
    f.push_back({660, 450, 660, 700, 1, 10, 3, 12});
    f.push_back({700, 700, 700, 450, 2, 10, 3, 18});
    return f;
}

std::vector<Fig> SlantFigures() {
    std::vector<Fig> f;
    int x = 20;
    for (int cap : {1, 2, 3}) {
        f.push_back({x, 20, x + 100, 220, 8, 1, cap});
        f.push_back({x + 200, 20, x + 120, 220, 6, 3, cap});
        x += 230;
    }
    f.push_back({20, 300, 320, 420, 9, 9, 1});
    f.push_back({20, 450, 320, 570, 9, 9, 3});
    f.push_back({400, 300, 700, 600, 1, 1, 3});
    return f;
}

TEST(Mapping, AxisLinesLookTheSameInEveryMapping) {
    for (bool managed : {false, true}) {
        std::vector<uint32_t> text = Render(Mapping::Text, AxisFigures(), managed);
        EXPECT_GT(Differences(text, std::vector<uint32_t>(text.size(), 0xFFFFFF)), 20000);
        for (Mapping m : {Mapping::Twips, Mapping::Anisotropic, Mapping::MirrorX})
            EXPECT_EQ(Differences(text, Render(m, AxisFigures(), managed)), 0)
                << MappingName(m) << (managed ? " managed" : " unmanaged");
    }
}

TEST(Mapping, SlantedLinesAgreeToTheirEdgePixels) {
    // Slanted geometry is truncated in logical units, so a finer logical
    // grid moves edges by a pixel; the shapes must match everywhere else.
    // The management record changes where pens come from, not the pixels.
    std::vector<uint32_t> text = Render(Mapping::Text, SlantFigures(), false);
    EXPECT_GT(Differences(text, std::vector<uint32_t>(text.size(), 0xFFFFFF)), 8000);
    EXPECT_EQ(Differences(text, Render(Mapping::Text, SlantFigures(), true)), 0);
    for (Mapping m : {Mapping::Twips, Mapping::Anisotropic, Mapping::MirrorX}) {
        std::vector<uint32_t> page = Render(m, SlantFigures(), false);
        EXPECT_EQ(DifferencesOffEdges(text, page, 720, 720), 0) << MappingName(m);
        EXPECT_EQ(Differences(page, Render(m, SlantFigures(), true)), 0) << MappingName(m);
    }
}

TEST(Mapping, LinesFarBeyondThePageStayExact) {
    // End points 2^26 device pixels away (GDI's device space is 28 bits):
    // no arithmetic may overflow or lose the part that crosses the page.
    constexpr int kFar = 1 << 26;
    Page page;
    for (Mapping m : {Mapping::Text, Mapping::Twips, Mapping::Anisotropic}) {
        page.SetMapping(m);
        for (int kind : {1, 9})
            for (int cap : {1, 2, 3}) {
                SCOPED_TRACE(testing::Message() << MappingName(m) << " kind " << kind << " cap " << cap);
                page.Clear();
                LINEREC line = Line(page.Len(9), kind, cap);
                const POINT p[6] = {page.L(-kFar, 100), page.L(kFar, 100), page.L(300, kFar),
                                    page.L(300, -kFar), page.L(-kFar, -kFar), page.L(kFar, kFar)};
                for (int i = 0; i < 6; i += 2)
                    ASSERT_EQ(foExtLine(page.dc(), p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, &line, nullptr), 1);
                // Ink within 5 pixels of each centre line (a double line's
                // centre is a gap) at the page edges and inside.
                for (POINT q : {POINT{0, 100}, POINT{719, 100}, POINT{300, 0}, POINT{300, 719},
                                POINT{0, 0}, POINT{500, 500}})
                    EXPECT_GT(page.CountInk(q.x - 5, q.y - 5, q.x + 6, q.y + 6), 0) << q.x << "," << q.y;
                EXPECT_EQ(page.CountInk(100, 0, 200, 90), 0);
                EXPECT_EQ(line.dashCarry, 0);
            }
    }
}

}  // namespace
}  // namespace wx5n::test
