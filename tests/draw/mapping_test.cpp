// The same figure, given in device pixels, drawn through foExtLine under
// MM_TEXT, MM_TWIPS (y up), an anisotropic mapping with shifted origins and
// one whose x axis runs right to left, managed and unmanaged: the pages must
// agree.
#include <fstream>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

// A line in device pixels: end points, width, kind, cap, wave height, and
// whether it starts a fresh dash pattern (else it carries on).
struct Fig {
    int x1, y1, x2, y2, width, kind, cap, wave, fresh;
};

// The figures of one set in cases/mapping_figures.txt.
std::vector<Fig> Figures(const std::string& set) {
    std::ifstream in(std::string(WX5N_DRAW_CASES_DIR) + "/mapping_figures.txt");
    std::vector<Fig> out;
    std::string name;
    for (Fig f; in >> std::ws && std::getline(in >> std::ws, name, ' ');) {
        if (name[0] == '#') { std::getline(in, name); continue; }
        in >> f.x1 >> f.y1 >> f.x2 >> f.y2 >> f.width >> f.kind >> f.cap >> f.wave >> f.fresh;
        if (name == set) out.push_back(f);
    }
    EXPECT_GT(out.size(), 8u) << set;
    return out;
}

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

TEST(Mapping, AxisLinesLookTheSameInEveryMapping) {
    for (bool managed : {false, true}) {
        std::vector<uint32_t> text = Render(Mapping::Text, Figures("axis"), managed);
        EXPECT_GT(Differences(text, std::vector<uint32_t>(text.size(), 0xFFFFFF)), 20000);
        for (Mapping m : {Mapping::Twips, Mapping::Anisotropic, Mapping::MirrorX})
            EXPECT_EQ(Differences(text, Render(m, Figures("axis"), managed)), 0)
                << MappingName(m) << (managed ? " managed" : " unmanaged");
    }
}

TEST(Mapping, SlantedLinesAgreeToTheirEdgePixels) {
    // Slanted geometry is truncated in logical units, so a finer logical
    // grid moves edges by a pixel; the shapes must match everywhere else.
    // The management record changes where pens come from, not the pixels.
    std::vector<uint32_t> text = Render(Mapping::Text, Figures("slant"), false);
    EXPECT_GT(Differences(text, std::vector<uint32_t>(text.size(), 0xFFFFFF)), 8000);
    EXPECT_EQ(Differences(text, Render(Mapping::Text, Figures("slant"), true)), 0);
    for (Mapping m : {Mapping::Twips, Mapping::Anisotropic, Mapping::MirrorX}) {
        std::vector<uint32_t> page = Render(m, Figures("slant"), false);
        EXPECT_EQ(DifferencesOffEdges(text, page, 720, 720), 0) << MappingName(m);
        EXPECT_EQ(Differences(page, Render(m, Figures("slant"), true)), 0) << MappingName(m);
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
