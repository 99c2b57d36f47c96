// GDI objects of the rectangle and ellipse drawing: unmanaged calls leave no
// object behind, a warmed-up management record creates none for plain fills
// and frames (a transparent fill makes its text-colour brush each time).

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

// One of every kind of figure: open sides, radii, widths, line kinds,
// hatches, transparent and plain fills, ellipses.
void DrawSet(HDC hdc, MNG_OBJECT* mng, bool fills = true, bool transparent = true) {
    const int kinds[] = {1, 3, 9, 8};
    int i = 0;
    for (int kind : kinds) {
        for (int cap : {1, 3}) {
            LINEREC l = Line(kind == 9 ? 9 : 5, kind, cap, 0x000080);
            l.unitsPerInch = 96;
            if (kind == 8) {
                l.dashCount = 4;
                l.dashPattern[0] = 9;
                l.dashPattern[1] = 4;
                l.dashPattern[2] = 2;
                l.dashPattern[3] = 4;
            }
            RECTREC s = Shape(i % 2 ? 0x34 : 0, 12, 0, 30, 4);
            const int hatch = !fills ? 0 : (i % 3 == 0 ? 500 : (i % 3 == 1 ? 1000 : 0));
            const int flags = transparent ? (i & 1) : 0;
            foExtRectangle(hdc, RECT{20 + 40 * i, 20, 60 + 40 * i, 90}, hatch, flags, &l, &s, mng);
            foExtEllipse(hdc, 40 + 40 * i, 160, 18, 30, hatch, flags, &l, mng);
            ++i;
        }
    }
}

TEST(RectResources, UnmanagedCallsLeaveNoObjectBehind) {
    SmallPage page;
    const int before = swgdi_ObjectCount();
    HGDIOBJ pen = GetCurrentObject(page.dc(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(page.dc(), OBJ_BRUSH);
    DrawSet(page.dc(), nullptr);
    EXPECT_EQ(swgdi_ObjectCount(), before);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), brush);
    EXPECT_GT(page.CountInk(0, 0, page.width(), page.height()), 5000);
}

TEST(RectResources, WarmRecordCreatesNothing) {
    SmallPage page;
    const int before = swgdi_ObjectCount();
    MNG_OBJECT mng;
    StartMngObject(page.dc(), &mng);
    // The host selects the fill pattern once; managed fills use it.
    HBRUSH hatch = foGetHatchBrush(250);
    SelectObject(page.dc(), hatch);
    DrawSet(page.dc(), &mng, true, false);  // warm-up
    const int warm = swgdi_ObjectCount();
    page.JournalOn();
    for (int round = 0; round < 3; ++round) DrawSet(page.dc(), &mng, true, false);
    page.JournalOff();
    EXPECT_EQ(swgdi_ObjectCount(), warm);
    EXPECT_EQ(CountCreated(Journal(page.dc())), 0) << Dump(Journal(page.dc()));
    EndMngObject(page.dc(), &mng);
    DeleteObject(hatch);
    EXPECT_EQ(swgdi_ObjectCount(), before);
}

// The record changes where pens and brushes come from, not what is drawn.
TEST(RectResources, ManagedAndUnmanagedFramesAreTheSame) {
    SmallPage plain, managed;
    DrawSet(plain.dc(), nullptr, false);
    MNG_OBJECT mng;
    StartMngObject(managed.dc(), &mng);
    DrawSet(managed.dc(), &mng, false);
    EndMngObject(managed.dc(), &mng);
    const std::vector<uint32_t> a = plain.Pixels(), b = managed.Pixels();
    size_t differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ += a[i] != b[i];
    EXPECT_EQ(differ, 0u);
    EXPECT_GT(plain.CountInk(0, 0, plain.width(), plain.height()), 3000);
}


}  // namespace
}  // namespace wx5n::test
