// The pen and brush cache of a device context.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

LOGPEN Pen(int width, COLORREF color, int widthY = 0) {
    LOGPEN lp = MakeSolidPen(width, color);
    lp.lopnWidth.y = widthY;
    return lp;
}

HGDIOBJ CurrentPen(HDC dc) { return GetCurrentObject(dc, OBJ_PEN); }
HGDIOBJ CurrentBrush(HDC dc) { return GetCurrentObject(dc, OBJ_BRUSH); }

int ListLength(const MNG_OBJECT& m) {
    int n = 0;
    while (n < 6 && m.pen[n].handle) ++n;
    return n;
}

TEST(ObjCache, StartSelectsOwnObjectsAndEndRestoresTheHosts) {
    Page page;
    HDC dc = page.dc();
    HPEN hostPen = CreatePen(PS_SOLID, 3, 0x123456);
    HBRUSH hostBrush = CreateSolidBrush(0x654321);
    SelectObject(dc, hostPen);
    SelectObject(dc, hostBrush);
    const int base = swgdi_ObjectCount();

    MNG_OBJECT mng;
    std::memset(&mng, 0xAB, sizeof(mng));  // Start clears whatever was there
    StartMngObject(dc, &mng);
    EXPECT_EQ(mng.oldPen, hostPen);
    EXPECT_EQ(mng.oldBrush, hostBrush);
    EXPECT_EQ(CurrentPen(dc), mng.pen[0].handle);
    EXPECT_EQ(CurrentBrush(dc), mng.brush[0].handle);
    EXPECT_EQ(mng.pen[0].logPen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(mng.pen[0].logPen.lopnWidth.x, 1);
    EXPECT_EQ(mng.pen[0].logPen.lopnWidth.y, 1);
    EXPECT_EQ(mng.pen[0].logPen.lopnColor, 0x00FF00u);
    EXPECT_EQ(mng.brush[0].logBrush.lbColor, 0x00FF00u);
    EXPECT_EQ(mng.pen[1].handle, nullptr);
    EXPECT_EQ(mng.pen[6].handle, nullptr);
    EXPECT_EQ(swgdi_ObjectCount(), base + 2);

    HGDIOBJ prev = nullptr;
    EXPECT_EQ(foSelectPen(dc, Pen(4, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(0xFF), &prev, &mng), 1);
    EndMngObject(dc, &mng);
    EXPECT_EQ(CurrentPen(dc), hostPen);
    EXPECT_EQ(CurrentBrush(dc), hostBrush);
    EXPECT_EQ(swgdi_ObjectCount(), base);
    // A second end finds nothing left to delete.
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base);
    EXPECT_EQ(CurrentPen(dc), hostPen);

    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hostPen);
    DeleteObject(hostBrush);
}

TEST(ObjCache, SamePenTwiceAndWidthYIgnoredForTheCurrentPen) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    HGDIOBJ prev = nullptr;
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(prev, mng.pen[1].handle);  // the start pen, now second
    HGDIOBJ sentinel = reinterpret_cast<HGDIOBJ>(0x1234);
    prev = sentinel;
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF), &prev, &mng), 0);
    EXPECT_EQ(prev, sentinel);

    // Width y is not compared with the selected pen...
    const int before = swgdi_ObjectCount();
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF, 9), &prev, &mng), 0);
    EXPECT_EQ(swgdi_ObjectCount(), before);
    // ...but it is with the list entries: once another pen is selected, the
    // request is a miss and makes a pen of its own.
    EXPECT_EQ(foSelectPen(dc, Pen(5, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectPen(dc, Pen(3, 0xFF, 9), &prev, &mng), 1);
    EXPECT_EQ(swgdi_ObjectCount(), before + 2);
    EXPECT_EQ(mng.pen[0].logPen.lopnWidth.y, 9);
    EXPECT_EQ(mng.pen[2].logPen.lopnWidth.y, 0);
    EndMngObject(dc, &mng);
}

TEST(ObjCache, SevenPensEvictTheStartPenThenTheFirst) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    HPEN startPen = mng.pen[0].handle;
    const int base = swgdi_ObjectCount();
    HGDIOBJ prev = nullptr;
    HPEN made[7];
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(foSelectPen(dc, Pen(k + 2, 0x10 * k), &prev, &mng), 1);
        made[k] = mng.pen[0].handle;
    }
    EXPECT_EQ(ListLength(mng), 6);
    EXPECT_EQ(mng.pen[5].handle, startPen);
    EXPECT_EQ(swgdi_ObjectCount(), base + 5);

    page.JournalOn();
    ASSERT_EQ(foSelectPen(dc, Pen(7, 0x50), &prev, &mng), 1);  // sixth: the start pen goes
    made[5] = mng.pen[0].handle;
    std::vector<Call> deleted = Only(Journal(dc), {"DeleteObject"});
    ASSERT_EQ(deleted.size(), 1u) << Dump(Journal(dc));
    EXPECT_EQ(deleted[0].object, startPen);
    EXPECT_EQ(swgdi_ObjectCount(), base + 5);

    page.JournalOn();
    ASSERT_EQ(foSelectPen(dc, Pen(8, 0x60), &prev, &mng), 1);  // seventh: the first goes
    made[6] = mng.pen[0].handle;
    deleted = Only(Journal(dc), {"DeleteObject"});
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].object, made[0]);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(mng.pen[k].handle, made[6 - k]) << "slot " << k;
        EXPECT_EQ(mng.pen[k].logPen.lopnWidth.x, 8 - k) << "slot " << k;
    }

    // A cached pen in slot 3 moves to the front; slots 0..2 move back one.
    page.JournalOn();
    const int count = swgdi_ObjectCount();
    ASSERT_EQ(foSelectPen(dc, Pen(5, 0x30), &prev, &mng), 1);
    EXPECT_EQ(prev, made[6]);
    EXPECT_EQ(CurrentPen(dc), made[3]);
    HPEN expect[6] = {made[3], made[6], made[5], made[4], made[2], made[1]};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(mng.pen[k].handle, expect[k]) << "slot " << k;
    EXPECT_EQ(swgdi_ObjectCount(), count);
    EXPECT_TRUE(Only(Journal(dc), {"DeleteObject", "CreatePenIndirect", "CreatePen"}).empty());
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base - 2);
}

TEST(ObjCache, NullPenAndNullBrushAreMadeOnceAndStayOutOfTheList) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    HGDIOBJ prev = nullptr;
    EXPECT_EQ(foSelectPen(dc, MakeNullPen(), &prev, &mng), 1);
    HPEN nullPen = mng.pen[6].handle;
    ASSERT_NE(nullPen, nullptr);
    EXPECT_EQ(CurrentPen(dc), nullPen);
    EXPECT_EQ(ListLength(mng), 1);
    EXPECT_EQ(foSelectPen(dc, Pen(2, 0xFF), &prev, &mng), 1);
    EXPECT_EQ(prev, nullPen);
    EXPECT_EQ(foSelectPen(dc, MakeNullPen(), &prev, &mng), 1);
    EXPECT_EQ(mng.pen[6].handle, nullPen);
    EXPECT_EQ(ListLength(mng), 2);

    LOGBRUSH hollow = MakeSolidBrush(0);
    hollow.lbStyle = BS_NULL;
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 1);
    HBRUSH nullBrush = mng.brush[6].handle;
    ASSERT_NE(nullBrush, nullptr);
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(0xFF), &prev, &mng), 1);
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 1);
    EXPECT_EQ(mng.brush[6].handle, nullBrush);
    EXPECT_EQ(CurrentBrush(dc), nullBrush);
    EXPECT_EQ(foSelectBrush(dc, hollow, &prev, &mng), 0);
    EndMngObject(dc, &mng);
}

TEST(ObjCache, BrushListComparesTheWholeDescription) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    const int base = swgdi_ObjectCount();
    HGDIOBJ prev = nullptr;
    for (int k = 0; k < 8; ++k)
        ASSERT_EQ(foSelectBrush(dc, MakeSolidBrush(0x100 * k + 1), &prev, &mng), 1);
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

TEST(ObjCache, RefusalsTouchNothing) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    MNG_OBJECT copy = mng;
    HGDIOBJ prev = reinterpret_cast<HGDIOBJ>(0x99);
    EXPECT_EQ(foSelectPen(nullptr, Pen(2, 1), &prev, &mng), -1);
    EXPECT_EQ(foSelectBrush(nullptr, MakeSolidBrush(1), &prev, &mng), -1);
    EXPECT_EQ(foSelectPen(dc, Pen(2, 1), &prev, nullptr), -1);
    EXPECT_EQ(foSelectBrush(dc, MakeSolidBrush(1), &prev, nullptr), -1);
    EXPECT_EQ(prev, reinterpret_cast<HGDIOBJ>(0x99));
    EXPECT_EQ(std::memcmp(&copy, &mng, sizeof(mng)), 0);
    StartMngObject(nullptr, &mng);
    StartMngObject(dc, nullptr);
    EndMngObject(nullptr, &mng);
    EndMngObject(dc, nullptr);
    EXPECT_EQ(std::memcmp(&copy, &mng, sizeof(mng)), 0);
    // A null prev is allowed.
    EXPECT_EQ(foSelectPen(dc, Pen(2, 1), nullptr, &mng), 1);
    EndMngObject(dc, &mng);
}

}  // namespace
}  // namespace wx5n::test
