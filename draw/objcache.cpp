// The pen and brush cache of one device context (MNG_OBJECT).
//
// Slots 0 to 5 of each array are a most-recently-used list without holes
// (slot 0 selected last, the first empty handle ends it); slot 6 holds the
// null pen or null brush. Every non-zero handle in a slot belongs to the
// record until EndMngObject deletes it.
#include <cstring>

#include "draw/draw_internal.h"

namespace wx5n {
namespace {

constexpr int kListSlots = 6;
constexpr int kNullSlot = 6;

// The start objects of a record: green, so that drawing with them by
// mistake shows.
constexpr COLORREF kStartColor = 0x00FF00;

bool SamePen(const LOGPEN& a, const LOGPEN& b) {
    return std::memcmp(&a, &b, sizeof(LOGPEN)) == 0;
}

bool SameBrush(const LOGBRUSH& a, const LOGBRUSH& b) {
    return a.lbStyle == b.lbStyle && a.lbColor == b.lbColor && a.lbHatch == b.lbHatch;
}

// The two slot arrays differ only in their types and GDI calls; this trait
// lets one algorithm serve both.
struct PenKind {
    using Desc = LOGPEN;
    using Slot = MNG_PEN;
    using Handle = HPEN;
    static constexpr int kObjType = OBJ_PEN;
    static constexpr UINT kNullStyle = PS_NULL;
    static Slot* Slots(MNG_OBJECT* m) { return m->pen; }
    static Desc& DescOf(Slot& s) { return s.logPen; }
    static Handle& HandleOf(Slot& s) { return s.handle; }
    static Handle Create(const Desc& d) { return CreatePenIndirect(&d); }
    static UINT Style(const Desc& d) { return d.lopnStyle; }
    // The pen already selected matches on style, width x and colour; width y
    // is not looked at.
    static bool SameCurrent(const Desc& cur, const Desc& req) {
        return cur.lopnStyle == req.lopnStyle && cur.lopnWidth.x == req.lopnWidth.x &&
               cur.lopnColor == req.lopnColor;
    }
    static bool SameEntry(const Desc& a, const Desc& b) { return SamePen(a, b); }
};

struct BrushKind {
    using Desc = LOGBRUSH;
    using Slot = MNG_BRUSH;
    using Handle = HBRUSH;
    static constexpr int kObjType = OBJ_BRUSH;
    static constexpr UINT kNullStyle = BS_NULL;
    static Slot* Slots(MNG_OBJECT* m) { return m->brush; }
    static Desc& DescOf(Slot& s) { return s.logBrush; }
    static Handle& HandleOf(Slot& s) { return s.handle; }
    static Handle Create(const Desc& d) { return CreateBrushIndirect(&d); }
    static UINT Style(const Desc& d) { return d.lbStyle; }
    static bool SameCurrent(const Desc& cur, const Desc& req) { return SameBrush(cur, req); }
    static bool SameEntry(const Desc& a, const Desc& b) { return SameBrush(a, b); }
};

// Takes slot k out, moves slots k-1..0 one place up and puts `entry` into
// slot 0.
template <class K>
void MoveToFront(typename K::Slot* slots, int k, const typename K::Slot& entry) {
    for (int j = k; j > 0; --j) slots[j] = slots[j - 1];
    slots[0] = entry;
}

// Puts a new entry at the front of the list; when all six slots are in use
// the least recently used one drops out and its object is deleted.
template <class K>
void InsertNew(typename K::Slot* slots, const typename K::Desc& desc, typename K::Handle h) {
    int k = 0;
    while (k < kListSlots && K::HandleOf(slots[k])) ++k;
    if (k == kListSlots) {
        k = kListSlots - 1;
        if (K::HandleOf(slots[k])) DeleteObject(K::HandleOf(slots[k]));
    }
    typename K::Slot entry;
    std::memset(&entry, 0, sizeof(entry));
    K::DescOf(entry) = desc;
    K::HandleOf(entry) = h;
    MoveToFront<K>(slots, k, entry);
}

template <class K>
int SelectCached(HDC hdc, const typename K::Desc& req, HGDIOBJ* prev, MNG_OBJECT* mng) {
    if (!hdc || !mng) return -1;
    typename K::Slot* slots = K::Slots(mng);

    typename K::Desc cur;
    std::memset(&cur, 0, sizeof(cur));
    HGDIOBJ curObj = GetCurrentObject(hdc, K::kObjType);
    bool known = curObj && GetObjectA(curObj, sizeof(cur), &cur) != 0;

    if (!known) {
        // The selected object cannot be read, so it is unknown whether it is
        // one of ours. Select a new object and enter it like a cache miss:
        // nothing a slot holds is deleted, slot 0's former object stays in
        // the list (or is deleted when it drops out of it), and the object
        // that was selected is left to its owner.
        typename K::Handle h = K::Create(req);
        if (!h) return -1;
        SelectObject(hdc, h);
        InsertNew<K>(slots, req, h);
        if (prev) *prev = nullptr;
        return 1;
    }

    if (K::SameCurrent(cur, req)) return 0;

    if (K::Style(req) == K::kNullStyle) {
        typename K::Handle& nullObj = K::HandleOf(slots[kNullSlot]);
        if (!nullObj) nullObj = K::Create(req);
        if (!nullObj) return -1;
        HGDIOBJ old = SelectObject(hdc, nullObj);
        if (prev) *prev = old;
        return 1;
    }

    for (int k = 0; k < kListSlots && K::HandleOf(slots[k]); ++k) {
        if (K::SameEntry(K::DescOf(slots[k]), req)) {
            typename K::Slot hit = slots[k];
            HGDIOBJ old = SelectObject(hdc, K::HandleOf(hit));
            if (prev) *prev = old;
            MoveToFront<K>(slots, k, hit);
            return 1;
        }
    }

    typename K::Handle h = K::Create(req);
    if (!h) return -1;
    HGDIOBJ old = SelectObject(hdc, h);
    if (prev) *prev = old;
    InsertNew<K>(slots, req, h);
    return 1;
}

template <class K>
void DeleteAll(MNG_OBJECT* mng) {
    if (!mng) return;
    typename K::Slot* slots = K::Slots(mng);
    // Handles are cleared as they go, so that a second end (or a stray one)
    // cannot delete an object twice.
    for (int k = 0; k <= kNullSlot; ++k) {
        typename K::Handle& h = K::HandleOf(slots[k]);
        if (h) DeleteObject(h);
        h = nullptr;
    }
}

}  // namespace

LOGPEN MakeSolidPen(int width, COLORREF color) {
    LOGPEN lp;
    std::memset(&lp, 0, sizeof(lp));
    lp.lopnStyle = PS_SOLID;
    lp.lopnWidth.x = width;
    lp.lopnColor = color;
    return lp;
}

LOGPEN MakeNullPen() {
    LOGPEN lp;
    std::memset(&lp, 0, sizeof(lp));
    lp.lopnStyle = PS_NULL;
    lp.lopnWidth.x = 1;
    lp.lopnWidth.y = 1;
    return lp;
}

LOGBRUSH MakeSolidBrush(COLORREF color) {
    LOGBRUSH lb;
    std::memset(&lb, 0, sizeof(lb));
    lb.lbStyle = BS_SOLID;
    lb.lbColor = color;
    return lb;
}

void EndMngPen(MNG_OBJECT* mng) { DeleteAll<PenKind>(mng); }
void EndMngBrush(MNG_OBJECT* mng) { DeleteAll<BrushKind>(mng); }

}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI void FOCALL StartMngObject(HDC hdc, MNG_OBJECT* mng) {
    if (!hdc || !mng) return;
    std::memset(mng, 0, sizeof(*mng));

    LOGPEN lp = MakeSolidPen(1, kStartColor);
    lp.lopnWidth.y = 1;
    HPEN pen = CreatePenIndirect(&lp);
    mng->oldPen = SelectObject(hdc, pen);
    mng->pen[0].logPen = lp;
    mng->pen[0].handle = pen;

    LOGBRUSH lb = MakeSolidBrush(kStartColor);
    HBRUSH brush = CreateBrushIndirect(&lb);
    mng->oldBrush = SelectObject(hdc, brush);
    mng->brush[0].logBrush = lb;
    mng->brush[0].handle = brush;
}

extern "C" FOAPI void FOCALL EndMngObject(HDC hdc, MNG_OBJECT* mng) {
    if (!hdc || !mng) return;
    if (mng->oldPen) SelectObject(hdc, mng->oldPen);
    if (mng->oldBrush) SelectObject(hdc, mng->oldBrush);
    EndMngPen(mng);
    EndMngBrush(mng);
}

extern "C" FOAPI int FOCALL foSelectPen(HDC hdc, LOGPEN pen, HGDIOBJ* prev, MNG_OBJECT* mng) {
    return SelectCached<PenKind>(hdc, pen, prev, mng);
}

extern "C" FOAPI int FOCALL foSelectBrush(HDC hdc, LOGBRUSH brush, HGDIOBJ* prev,
                                          MNG_OBJECT* mng) {
    return SelectCached<BrushKind>(hdc, brush, prev, mng);
}
