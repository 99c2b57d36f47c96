// The pen and brush cache of a device context (the management record).
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

LOGPEN Pen(int width, COLORREF color, int widthY = 0) {
    LOGPEN lp = MakeSolidPen(width, color);
    lp.lopnWidth.y = widthY;
    return lp;
}

// A page with a record started on it; base is the object count after Start.
struct ObjCache : testing::Test {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    HGDIOBJ prev = nullptr;
    int base = 0;
    void SetUp() override {
        StartMngObject(dc, &mng);
        base = swgdi_ObjectCount();
    }
    void TearDown() override { EndMngObject(dc, &mng); }
    HGDIOBJ CurrentPen() const { return GetCurrentObject(dc, OBJ_PEN); }
    int ListLength() const {
        int n = 0;
        while (n < 6 && mng.pen[n].handle) ++n;
        return n;
    }
    HGDIOBJ OnlyDeleted() {
        const std::vector<Call> d = Only(Journal(dc), {"DeleteObject"});
        return d.size() == 1 ? d[0].object : nullptr;
    }
};

TEST_F(ObjCache, StartSelectsOwnObjectsAndEndRestoresTheHosts) {
    EndMngObject(dc, &mng);
    HPEN hostPen = CreatePen(PS_SOLID, 3, 0x123456);
    HBRUSH hostBrush = CreateSolidBrush(0x654321);
    SelectObject(dc, hostPen);
    SelectObject(dc, hostBrush);
    const int count = swgdi_ObjectCount();
    std::memset(&mng, 0xAB, sizeof(mng));  // Start clears whatever was there
    StartMngObject(dc, &mng);
    EXPECT_EQ(mng.oldPen, hostPen);
    EXPECT_EQ(mng.oldBrush, hostBrush);
    EXPECT_EQ(CurrentPen(), mng.pen[0].handle);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), mng.brush[0].handle);
    const LOGPEN& start = mng.pen[0].logPen;
    EXPECT_TRUE(start.lopnStyle == PS_SOLID && start.lopnWidth.x == 1 && start.lopnWidth.y == 1 &&
                start.lopnColor == 0x00FF00u);
    EXPECT_EQ(mng.brush[0].logBrush.lbColor, 0x00FF00u);
    EXPECT_EQ(mng.pen[1].handle, nullptr);
    EXPECT_EQ(mng.pen[6].handle, nullptr);
    EXPECT_EQ(swgdi_ObjectCount(), count + 2);

    EXPECT_EQ(foSelectPen(dc, Pen(4, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(0xFF), &prev, &mng), 1);
    for (int twice = 0; twice < 2; ++twice) {  // a second end finds nothing left to delete
        EndMngObject(dc, &mng);
        EXPECT_EQ(CurrentPen(), hostPen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), hostBrush);
        EXPECT_EQ(swgdi_ObjectCount(), count);
    }
}

TEST_F(ObjCache, SamePenTwiceAndWidthYIgnoredForTheCurrentPen) {
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(prev, mng.pen[1].handle);  // the start pen, now second
    HGDIOBJ sentinel = reinterpret_cast<HGDIOBJ>(0x1234);
    prev = sentinel;
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF), &prev, &mng), 0);
    EXPECT_EQ(prev, sentinel);
    // Width y is not compared with the selected pen...
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF, 9), &prev, &mng), 0);
    EXPECT_EQ(swgdi_ObjectCount(), base + 1);
    // ...but it is with the list entries: once another pen is selected, the
    // request is a miss and makes a pen of its own.
    EXPECT_EQ(foSelectPen(dc, Pen(5, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF, 9), &prev, &mng), 1);
    EXPECT_EQ(swgdi_ObjectCount(), base + 3);
    EXPECT_EQ(mng.pen[0].logPen.lopnWidth.y, 9);
    EXPECT_EQ(mng.pen[2].logPen.lopnWidth.y, 0);
    // An all-zero description is a pen like any other, not an empty slot.
    EXPECT_EQ(foSelectPen(dc, Pen(0, 0), &prev, &mng), 1);
    EXPECT_NE(mng.pen[0].handle, nullptr);
    EXPECT_EQ(CurrentPen(), mng.pen[0].handle);
}

TEST_F(ObjCache, SevenPensEvictTheStartPenThenTheFirst) {
    HPEN startPen = mng.pen[0].handle;
    HPEN made[7];
    for (int k = 0; k < 7; ++k) {
        page.JournalOn();
        ASSERT_EQ(foSelectPen(dc, Pen(k + 2, 0x10 * k), &prev, &mng), 1);
        made[k] = mng.pen[0].handle;
        if (k == 4) {
            EXPECT_EQ(ListLength(), 6);
            EXPECT_EQ(mng.pen[5].handle, startPen);
        }
        // The sixth pushes the start pen out, the seventh the first made.
        EXPECT_EQ(OnlyDeleted(), k < 5 ? nullptr : k == 5 ? startPen : made[0]) << "pen " << k;
    }
    EXPECT_EQ(swgdi_ObjectCount(), base + 5);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(mng.pen[k].handle, made[6 - k]) << "slot " << k;
        EXPECT_EQ(mng.pen[k].logPen.lopnWidth.x, 8 - k) << "slot " << k;
    }
    // A cached pen in slot 3 moves to the front; slots 0..2 move back one.
    page.JournalOn();
    ASSERT_EQ(foSelectPen(dc, Pen(5, 0x30), &prev, &mng), 1);
    EXPECT_EQ(prev, made[6]);
    EXPECT_EQ(CurrentPen(), made[3]);
    HPEN expect[6] = {made[3], made[6], made[5], made[4], made[2], made[1]};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(mng.pen[k].handle, expect[k]) << "slot " << k;
    EXPECT_EQ(swgdi_ObjectCount(), base + 5);
    EXPECT_TRUE(Only(Journal(dc), {"DeleteObject", "CreatePenIndirect", "CreatePen"}).empty());
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base - 2);
}

TEST_F(ObjCache, NullPenAndNullBrushAreMadeOnceAndStayOutOfTheList) {
    EXPECT_EQ(foSelectPen(dc, MakeNullPen(), &prev, &mng), 1);
    HPEN nullPen = mng.pen[6].handle;
    ASSERT_NE(nullPen, nullptr);
    EXPECT_EQ(CurrentPen(), nullPen);
    EXPECT_EQ(ListLength(), 1);
    EXPECT_EQ(foSelectPen(dc, Pen(2, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(prev, nullPen);
    EXPECT_EQ(foSelectPen(dc, MakeNullPen(), &prev, &mng), 1);
    EXPECT_EQ(mng.pen[6].handle, nullPen);
    EXPECT_EQ(ListLength(), 2);

    LOGBRUSH hollow = MakeSolidBrush(0);
    hollow.lbStyle = BS_NULL;
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 1);
    HBRUSH nullBrush = mng.brush[6].handle;
    ASSERT_NE(nullBrush, nullptr);
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 1);
    EXPECT_EQ(mng.brush[6].handle, nullBrush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), nullBrush);
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 0);
}

TEST_F(ObjCache, BrushListComparesTheWholeDescription) {
    for (int k = 0; k < 8; ++k) ASSERT_EQ(foSelectBrush(dc, MakeSolidBrush(0x100 * k + 1), &prev, &mng), 1);
    EXPECT_EQ(swgdi_ObjectCount(), base + 5);  // six in the list, start brush gone
    for (int k = 0; k < 6; ++k) EXPECT_EQ(mng.brush[k].logBrush.lbColor, 0x100u * (7 - k) + 1);
    // All of the description counts, the hatch field of a solid brush too.
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(0x701), &prev, &mng), 0);
    LOGBRUSH hatchField = MakeSolidBrush(0x701);
    hatchField.lbHatch = 5;
    EXPECT_EQ(foSelectBrush(dc, hatchField, &prev, &mng), 1);
    EXPECT_EQ(mng.brush[0].logBrush.lbHatch, 5u);
    EXPECT_EQ(mng.brush[1].logBrush.lbHatch, 0u);
    EXPECT_EQ(mng.brush[1].logBrush.lbColor, 0x701u);
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base - 2);
}

TEST_F(ObjCache, RefusalsTouchNothing) {
    const MNG_OBJECT copy = mng;
    prev = reinterpret_cast<HGDIOBJ>(0x99);
    for (HDC d : {HDC(nullptr), dc}) {
        MNG_OBJECT* m = d ? nullptr : &mng;
        EXPECT_EQ(foSelectPen(d, Pen(2, 1), &prev, m), -1);
        EXPECT_EQ(foSelectBrush(d, MakeSolidBrush(1), &prev, m), -1);
    }
    EXPECT_EQ(prev, reinterpret_cast<HGDIOBJ>(0x99));
    StartMngObject(nullptr, &mng);
    StartMngObject(dc, nullptr);
    EndMngObject(nullptr, &mng);
    EndMngObject(dc, nullptr);
    EXPECT_EQ(std::memcmp(&copy, &mng, sizeof(mng)), 0);
    EXPECT_EQ(foSelectPen(dc, Pen(2, 1), nullptr, &mng), 1);  // a null prev is allowed
}

}  // namespace
}  // namespace wx5n::test
