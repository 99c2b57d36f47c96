// GDI objects: the handle table, stock objects, pens, brushes, bitmaps,
// selection and deletion, GetObjectA, the object count and the journal.
#include <climits>
#include "gdi_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <sys/mman.h>

namespace swgdi {
namespace {

// Handles are table keys, never pointers: a stale or made-up handle is simply
// not found. Regular objects take increasing multiples of 16 from 0x10000 and
// are never reused; the stock objects take 0x1000 + 16 * index.
constexpr uintptr_t kStockBase = 0x1000;
constexpr uintptr_t kDefaultBitmapHandle = 0x1000 + 16 * 32;
constexpr uintptr_t kFirstHandle = 0x10000;

struct Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::unique_ptr<Object>> objects;
    uintptr_t next = kFirstHandle;
    int live = 0;                 // non-stock objects
    std::vector<Dc*> journaling;  // DCs whose journal is on
    Table();
};

std::unique_ptr<Object> MakeStockPen(int style, COLORREF color) {
    auto p = std::make_unique<Pen>();
    p->logpen.lopnStyle = static_cast<UINT>(style);
    p->logpen.lopnColor = color;
    return p;
}

std::unique_ptr<Object> MakeStockBrush(UINT style, COLORREF color) {
    auto b = std::make_unique<Brush>();
    b->logbrush.lbStyle = style;
    b->logbrush.lbColor = color;
    return b;
}

Table::Table() {
    auto add = [this](int index, std::unique_ptr<Object> obj) {
        uintptr_t h = kStockBase + 16 * static_cast<uintptr_t>(index);
        obj->stock = true;
        obj->handle = reinterpret_cast<HGDIOBJ>(h);
        objects[h] = std::move(obj);
    };
    add(WHITE_BRUSH, MakeStockBrush(BS_SOLID, RGB(255, 255, 255)));
    add(LTGRAY_BRUSH, MakeStockBrush(BS_SOLID, RGB(192, 192, 192)));
    add(GRAY_BRUSH, MakeStockBrush(BS_SOLID, RGB(128, 128, 128)));
    add(DKGRAY_BRUSH, MakeStockBrush(BS_SOLID, RGB(64, 64, 64)));
    add(BLACK_BRUSH, MakeStockBrush(BS_SOLID, RGB(0, 0, 0)));
    add(NULL_BRUSH, MakeStockBrush(BS_NULL, 0));
    add(WHITE_PEN, MakeStockPen(PS_SOLID, RGB(255, 255, 255)));
    add(BLACK_PEN, MakeStockPen(PS_SOLID, RGB(0, 0, 0)));
    add(NULL_PEN, MakeStockPen(PS_NULL, 0));
    // The default bitmap of memory DCs: one monochrome pixel.
    auto bmp = std::make_unique<Bitmap>();
    bmp->width = bmp->height = 1;
    bmp->bpp = 1;
    bmp->stride = 4;
    bmp->topDown = true;
    bmp->storage.Allocate(4);
    bmp->stock = true;
    bmp->handle = reinterpret_cast<HGDIOBJ>(kDefaultBitmapHandle);
    objects[kDefaultBitmapHandle] = std::move(bmp);
}

Table& GetTable() {
    static Table table;
    return table;
}

template <class T>
T* FindKind(HGDIOBJ h, uint32_t kind) {
    Object* o = FindObject(h);
    return (o && o->kind == kind) ? static_cast<T*>(o) : nullptr;
}

}  // namespace

HGDIOBJ AddObject(std::unique_ptr<Object> obj) {
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    uintptr_t h = t.next;
    t.next += 16;
    obj->handle = reinterpret_cast<HGDIOBJ>(h);
    t.objects[h] = std::move(obj);
    ++t.live;
    return reinterpret_cast<HGDIOBJ>(h);
}

Object* FindObject(HGDIOBJ h) {
    if (!h) return nullptr;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    return it == t.objects.end() ? nullptr : it->second.get();
}

Dc* FindDc(HDC h) { return FindKind<Dc>(h, OBJ_MEMDC); }
Pen* FindPen(HGDIOBJ h) { return FindKind<Pen>(h, OBJ_PEN); }
Brush* FindBrush(HGDIOBJ h) { return FindKind<Brush>(h, OBJ_BRUSH); }
Bitmap* FindBitmap(HGDIOBJ h) { return FindKind<Bitmap>(h, OBJ_BITMAP); }

HGDIOBJ StockObject(int index) {
    if (index < WHITE_BRUSH || index > NULL_PEN) return nullptr;
    GetTable();
    return reinterpret_cast<HGDIOBJ>(kStockBase + 16 * static_cast<uintptr_t>(index));
}

HGDIOBJ DefaultBitmapHandle() {
    GetTable();
    return reinterpret_cast<HGDIOBJ>(kDefaultBitmapHandle);
}

void FreeObject(HGDIOBJ h) {
    Table& t = GetTable();
    std::unique_ptr<Object> doomed;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
        if (it == t.objects.end() || it->second->stock) return;
        doomed = std::move(it->second);
        t.objects.erase(it);
        --t.live;
        if (doomed->kind == OBJ_MEMDC) {
            auto& j = t.journaling;
            j.erase(std::remove(j.begin(), j.end(), static_cast<Dc*>(doomed.get())), j.end());
        }
    }
}

// Selection counts and pending deletions change under the table's lock: an
// object may be selected into DCs that different threads use.
bool RetainSelected(HGDIOBJ h, bool exclusive) {
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
    if (it == t.objects.end()) return false;
    Object* o = it->second.get();
    if (o->stock) return true;
    if (exclusive && o->selected > 0) return false;
    ++o->selected;
    return true;
}

void ReleaseSelected(HGDIOBJ h) {
    Table& t = GetTable();
    std::unique_ptr<Object> doomed;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
        if (it == t.objects.end() || it->second->stock) return;
        Object* o = it->second.get();
        if (o->selected > 0) --o->selected;
        if (o->selected > 0 || !o->deletePending) return;
        doomed = std::move(it->second);
        t.objects.erase(it);
        --t.live;
    }
}

// Deletes an object now, or marks it to go when the last DC releases it.
bool DeleteOrDefer(HGDIOBJ h) {
    Table& t = GetTable();
    std::unique_ptr<Object> doomed;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<uintptr_t>(h));
        if (it == t.objects.end()) return false;
        Object* o = it->second.get();
        if (o->stock) return true;
        if (o->selected > 0) {
            o->deletePending = true;
            return true;
        }
        doomed = std::move(it->second);
        t.objects.erase(it);
        --t.live;
    }
    return true;
}

Surface Bitmap::GetSurface() const {
    Surface s;
    s.width = width;
    s.height = height;
    s.bpp = bpp;
    s.format = FormatFor(bpp);
    uint8_t* base = const_cast<uint8_t*>(storage.data());
    if (topDown) {
        s.row0 = base;
        s.pitch = stride;
    } else {
        s.row0 = base + stride * (height - 1);
        s.pitch = -stride;
    }
    s.table[0] = table[0];
    s.table[1] = table[1];
    return s;
}

// ---------------------------------------------------------------- colours

void RopMasks(int rop2, uint32_t p, uint32_t* a, uint32_t* x) {
    const uint32_t one = ~0u;
    switch (rop2) {
    case R2_BLACK: *a = 0; *x = 0; break;
    case R2_NOTMERGEPEN: *a = ~p; *x = ~p; break;
    case R2_MASKNOTPEN: *a = ~p; *x = 0; break;
    case R2_NOTCOPYPEN: *a = 0; *x = ~p; break;
    case R2_MASKPENNOT: *a = p; *x = p; break;
    case R2_NOT: *a = one; *x = one; break;
    case R2_XORPEN: *a = one; *x = p; break;
    case R2_NOTMASKPEN: *a = p; *x = one; break;
    case R2_MASKPEN: *a = p; *x = 0; break;
    case R2_NOTXORPEN: *a = one; *x = ~p; break;
    case R2_NOP: *a = one; *x = 0; break;
    case R2_MERGENOTPEN: *a = p; *x = ~p; break;
    case R2_MERGEPEN: *a = ~p; *x = p; break;
    case R2_MERGEPENNOT: *a = ~p; *x = one; break;
    case R2_WHITE: *a = 0; *x = one; break;
    case R2_COPYPEN:
    default: *a = 0; *x = p; break;
    }
}

namespace {

uint32_t NearestEntry(const Surface& s, COLORREF c) {
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 2; ++i) {
        long dr = long(GetRValue(c)) - s.table[i].rgbRed;
        long dg = long(GetGValue(c)) - s.table[i].rgbGreen;
        long db = long(GetBValue(c)) - s.table[i].rgbBlue;
        long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return static_cast<uint32_t>(best);
}

bool EqualsEntry(const RGBQUAD& q, COLORREF c) {
    return q.rgbRed == GetRValue(c) && q.rgbGreen == GetGValue(c) && q.rgbBlue == GetBValue(c);
}

}  // namespace

uint32_t ColorToPixel(const Dc* dc, const Surface& s, COLORREF c, bool monoFixup) {
    c &= 0x00FFFFFFu;
    if (s.bpp != 1)
        return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    if (!monoFixup) return NearestEntry(s, c);
    if (EqualsEntry(s.table[0], c)) return 0;
    if (EqualsEntry(s.table[1], c)) return 1;
    uint32_t bk = NearestEntry(s, dc->bkColor & 0x00FFFFFFu);
    return c == (dc->bkColor & 0x00FFFFFFu) ? bk : (bk ^ 1u);
}

COLORREF PixelToColor(const Surface& s, uint32_t pixel) {
    if (s.bpp == 1) {
        const RGBQUAD& q = s.table[pixel & 1];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

namespace {

// The hatch patterns of BS_HATCHED brushes, top row first, bit 7 leftmost;
// 1 bits take the brush colour.
const uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

}  // namespace

const uint8_t* HatchRows(ULONG_PTR hatch) { return hatch <= HS_DIAGCROSS ? kHatches[hatch] : nullptr; }

Paint BrushPaint(const Dc* dc, const Surface& s, const LOGBRUSH& lb,
                 const std::shared_ptr<const Pattern>& pattern, int rop2) {
    Paint p;
    p.orgX = dc->brushOrg.x;
    p.orgY = dc->brushOrg.y;
    switch (lb.lbStyle) {
    case BS_SOLID:
        RopMasks(rop2, ColorToPixel(dc, s, lb.lbColor, true), &p.andMask, &p.xorMask);
        return p;
    case BS_HATCHED: {
        if (lb.lbHatch > HS_DIAGCROSS) break;
        uint32_t fg = ColorToPixel(dc, s, lb.lbColor, true);
        uint32_t fa, fx, ba = ~0u, bx = 0;
        RopMasks(rop2, fg, &fa, &fx);
        if (dc->bkMode != TRANSPARENT) {
            uint32_t bg;
            if (s.bpp != 1)
                bg = ColorToPixel(dc, s, dc->bkColor, false);
            else
                bg = ((lb.lbColor & 0xFFFFFF) != (dc->bkColor & 0xFFFFFF)) ? (fg ^ 1u) : fg;
            RopMasks(rop2, bg, &ba, &bx);
        }
        p.pattern = true;
        p.patWidth = p.patHeight = 8;
        p.patAnd.resize(64);
        p.patXor.resize(64);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool on = (kHatches[lb.lbHatch][y] >> (7 - x)) & 1;
                p.patAnd[y * 8 + x] = on ? fa : ba;
                p.patXor[y * 8 + x] = on ? fx : bx;
            }
        FinishPattern(&p);
        return p;
    }
    case BS_PATTERN:
    case BS_DIBPATTERN: {
        if (!pattern || pattern->width <= 0 || pattern->height <= 0) break;
        const Pattern& pat = *pattern;
        p.pattern = true;
        p.patWidth = pat.width;
        p.patHeight = pat.height;
        size_t n = size_t(pat.width) * size_t(pat.height);
        p.patAnd.resize(n);
        p.patXor.resize(n);
        uint32_t pix[2] = {0, 0};
        uint32_t ma[2], mx[2];
        if (pat.mono) {
            COLORREF c0 = pat.useDcColors ? dc->textColor
                                          : RGB(pat.table[0].rgbRed, pat.table[0].rgbGreen,
                                                pat.table[0].rgbBlue);
            COLORREF c1 = pat.useDcColors ? dc->bkColor
                                          : RGB(pat.table[1].rgbRed, pat.table[1].rgbGreen,
                                                pat.table[1].rgbBlue);
            pix[0] = ColorToPixel(dc, s, c0, false);
            pix[1] = ColorToPixel(dc, s, c1, false);
            for (int i = 0; i < 2; ++i) RopMasks(rop2, pix[i], &ma[i], &mx[i]);
        }
        for (size_t i = 0; i < n; ++i) {
            if (pat.mono) {
                int k = pat.index[i] & 1;
                p.patAnd[i] = ma[k];
                p.patXor[i] = mx[k];
            } else {
                uint32_t px = pat.rgb[i];
                COLORREF c = RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
                RopMasks(rop2, ColorToPixel(dc, s, c, false), &p.patAnd[i], &p.patXor[i]);
            }
        }
        FinishPattern(&p);
        return p;
    }
    default:
        break;
    }
    p.none = true;
    return p;
}

Paint PenPaint(const Dc* dc, const Surface& s) {
    Paint p;
    if ((dc->pen.lopnStyle & PS_STYLE_MASK) == PS_NULL) {
        p.none = true;
        return p;
    }
    RopMasks(dc->rop2, ColorToPixel(dc, s, dc->pen.lopnColor, true), &p.andMask, &p.xorMask);
    return p;
}

// ---------------------------------------------------------------- journal

// Journal entries are added and read under the table's lock: object events
// reach every journaling DC, whichever thread uses it.
void Journal(Dc* dc, const char* op, HGDIOBJ obj, std::initializer_list<LONG> args,
             const POINT* pts, int npts, BOOL result) {
    if (!dc || !dc->journalOn) return;
    JournalEntry je;
    std::snprintf(je.e.op, sizeof je.e.op, "%s", op);
    je.e.object = obj;
    je.e.objectType = obj ? GetObjectType(obj) : 0;
    for (LONG a : args)
        if (je.e.argCount < 8) je.e.args[je.e.argCount++] = a;
    if (pts && npts > 0) je.points.assign(pts, pts + npts);
    je.e.pointCount = npts > 0 ? npts : 0;
    je.e.pen = dc->pen;
    je.e.pen.lopnWidth.x = (dc->pen.lopnStyle & PS_STYLE_MASK) == PS_NULL ? 0 : dc->penWidth;
    je.e.pen.lopnWidth.y = 0;
    je.e.brush = dc->brush;
    je.e.rop2 = dc->rop2;
    je.e.textColor = dc->textColor;
    je.e.bkColor = dc->bkColor;
    je.e.result = result;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    dc->journal.push_back(std::move(je));
}

// Object events carry the object only, not the state of the DCs that
// record them.
void JournalObjectEvent(const char* op, HGDIOBJ obj) {
    const DWORD type = obj ? GetObjectType(obj) : 0;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (Dc* dc : t.journaling) {
        JournalEntry je;
        std::snprintf(je.e.op, sizeof je.e.op, "%s", op);
        je.e.object = obj;
        je.e.objectType = type;
        je.e.result = TRUE;
        dc->journal.push_back(std::move(je));
    }
}

namespace {

void SetJournaling(Dc* dc, bool on) {
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto& j = t.journaling;
    j.erase(std::remove(j.begin(), j.end(), dc), j.end());
    if (on) j.push_back(dc);
    dc->journalOn = on;
}

std::shared_ptr<const Pattern> PatternFromBitmap(const Bitmap& b) {
    auto pat = std::make_shared<Pattern>();
    pat->width = b.width;
    pat->height = b.height;
    Surface s = b.GetSurface();
    size_t n = size_t(b.width) * size_t(b.height);
    if (b.bpp == 1) {
        pat->mono = true;
        pat->useDcColors = !b.isDib;
        pat->table[0] = b.table[0];
        pat->table[1] = b.table[1];
        pat->index.resize(n);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                pat->index[size_t(y) * b.width + x] = static_cast<uint8_t>(ReadPixel(s, x, y));
    } else {
        pat->rgb.resize(n);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                pat->rgb[size_t(y) * b.width + x] = ReadPixel(s, x, y) & 0x00FFFFFFu;
    }
    return pat;
}

HBRUSH NewBrush(const LOGBRUSH& lb, std::shared_ptr<const Pattern> pattern) {
    auto b = std::make_unique<Brush>();
    b->logbrush = lb;
    b->pattern = std::move(pattern);
    HGDIOBJ h = AddObject(std::move(b));
    JournalObjectEvent("CreateBrush", h);
    return static_cast<HBRUSH>(h);
}

}  // namespace

std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool isDib, bool topDown) {
    if (width <= 0 || height <= 0 || (bpp != 1 && bpp != 32)) return nullptr;
    // Rows are padded to 32 bits; refuse sizes whose byte count overflows.
    uint64_t stride = ((uint64_t(width) * uint64_t(bpp) + 31) / 32) * 4;
    uint64_t bytes = stride * uint64_t(height);
    if (bytes > (uint64_t(1) << 32)) return nullptr;
    auto b = std::make_unique<Bitmap>();
    b->width = width;
    b->height = height;
    b->bpp = bpp;
    b->isDib = isDib;
    b->topDown = topDown;
    b->stride = static_cast<ptrdiff_t>(stride);
    if (!b->storage.Allocate(static_cast<size_t>(bytes))) return nullptr;
    return b;
}

namespace {
constexpr size_t kHugePage = size_t(2) << 20;
}  // namespace

PixelStore::~PixelStore() { Release(); }

void PixelStore::Release() {
    if (map_) munmap(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
    small_.reset();
    data_ = nullptr;
}

bool PixelStore::Allocate(size_t n) {
    Release();
    if (n < kHugePage) {
        small_.reset(new (std::nothrow) uint8_t[n ? n : 1]());
        data_ = small_.get();
        return data_ != nullptr;
    }
    // One huge page more than needed, so that an aligned start fits; the
    // kernel's pages come zeroed and are touched only when drawn on.
    const size_t size = n + kHugePage;
    void* m = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) return false;
    map_ = m;
    mapSize_ = size;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(m) + kHugePage - 1) & ~(kHugePage - 1);
    data_ = reinterpret_cast<uint8_t*>(start);
#ifdef MADV_HUGEPAGE
    madvise(data_, n, MADV_HUGEPAGE);
#endif
    return true;
}

}  // namespace swgdi

using namespace swgdi;

extern "C" {

HGDIOBJ GetStockObject(int index) { return StockObject(index); }

// CreatePen knows the styles PS_SOLID to PS_INSIDEFRAME; any other value
// (extended styles, flags of ExtCreatePen) makes a solid pen, as GDI does.
// The null style gives the stock null pen.
HPEN CreatePen(int style, int width, COLORREF color) {
    if (style == PS_NULL) return static_cast<HPEN>(StockObject(NULL_PEN));
    if (style < PS_SOLID || style > PS_INSIDEFRAME) style = PS_SOLID;
    auto p = std::make_unique<Pen>();
    p->logpen.lopnStyle = static_cast<UINT>(style);
    // The width's magnitude; INT_MIN has none in 32 bits and becomes INT_MAX.
    p->logpen.lopnWidth.x = width >= 0 ? width : width == INT_MIN ? INT_MAX : -width;
    p->logpen.lopnColor = color;
    HGDIOBJ h = AddObject(std::move(p));
    JournalObjectEvent("CreatePen", h);
    return static_cast<HPEN>(h);
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp) return nullptr;
    return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    return NewBrush(lb, nullptr);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    LOGBRUSH lb{BS_HATCHED, color, static_cast<ULONG_PTR>(hatch)};
    return NewBrush(lb, nullptr);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    Bitmap* b = FindBitmap(bitmap);
    if (!b) return nullptr;
    LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
    return NewBrush(lb, PatternFromBitmap(*b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(lb->lbColor);
    case BS_NULL: {
        LOGBRUSH n{BS_NULL, 0, 0};
        return NewBrush(n, nullptr);
    }
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default:
        return nullptr;
    }
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width == 0 || height == 0) return static_cast<HBITMAP>(DefaultBitmapHandle());
    if (width < 0 || height < 0 || planes != 1) return nullptr;
    auto b = NewBitmap(width, height, static_cast<int>(bitsPerPixel), false, true);
    if (!b) return nullptr;
    if (bits) {
        // Caller rows are padded to 16 bits, top row first.
        size_t srcStride = ((size_t(width) * bitsPerPixel + 15) / 16) * 2;
        size_t rowBytes = (size_t(width) * bitsPerPixel + 7) / 8;
        const uint8_t* src = static_cast<const uint8_t*>(bits);
        for (int y = 0; y < height; ++y)
            std::memcpy(b->storage.data() + size_t(y) * b->stride, src + size_t(y) * srcStride,
                        rowBytes);
    }
    HGDIOBJ h = AddObject(std::move(b));
    JournalObjectEvent("CreateBitmap", h);
    return static_cast<HBITMAP>(h);
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
    (void)offset;
    if (bits) *bits = nullptr;
    if (!info || section || usage != DIB_RGB_COLORS) return nullptr;
    if (hdc && !FindDc(hdc)) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB)
        return nullptr;
    if (h.biHeight == INT32_MIN) return nullptr;
    bool topDown = h.biHeight < 0;
    int height = topDown ? -h.biHeight : h.biHeight;
    auto b = NewBitmap(h.biWidth, height, h.biBitCount, true, topDown);
    if (!b) return nullptr;
    if (b->bpp == 1) {
        // The colour table follows the header (biSize bytes from its start).
        const uint8_t* table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
        uint32_t used = h.biClrUsed ? h.biClrUsed : 2;
        for (uint32_t i = 0; i < 2 && i < used; ++i) std::memcpy(&b->table[i], table + 4 * i, 4);
    }
    void* p = b->storage.data();
    HGDIOBJ handle = AddObject(std::move(b));
    if (bits) *bits = p;
    JournalObjectEvent("CreateDIBSection", handle);
    return static_cast<HBITMAP>(handle);
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT kind) {
    Dc* dc = FindDc(hdc);
    if (!dc) return nullptr;
    switch (kind) {
    case OBJ_PEN: return dc->hpen;
    case OBJ_BRUSH: return dc->hbrush;
    case OBJ_BITMAP: return dc->hbitmap;
    default: return nullptr;
    }
}

DWORD GetObjectType(HGDIOBJ obj) {
    Object* o = FindObject(obj);
    return o ? o->kind : 0;
}

int GetObjectA(HGDIOBJ obj, int size, LPVOID out) {
    Object* o = FindObject(obj);
    if (!o || size < 0) return 0;
    switch (o->kind) {
    case OBJ_PEN: {
        if (!out) return sizeof(LOGPEN);
        if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
        std::memcpy(out, &static_cast<Pen*>(o)->logpen, sizeof(LOGPEN));
        return sizeof(LOGPEN);
    }
    case OBJ_BRUSH: {
        if (!out) return sizeof(LOGBRUSH);
        int n = std::min(size, static_cast<int>(sizeof(LOGBRUSH)));
        std::memcpy(out, &static_cast<Brush*>(o)->logbrush, static_cast<size_t>(n));
        return n;
    }
    case OBJ_BITMAP: {
        if (!out) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        const Bitmap* b = static_cast<Bitmap*>(o);
        BITMAP bm{};
        bm.bmWidth = b->width;
        bm.bmHeight = b->height;
        bm.bmWidthBytes = b->isDib ? static_cast<LONG>(b->stride)
                                   : static_cast<LONG>(((b->width * b->bpp + 15) / 16) * 2);
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(b->bpp);
        bm.bmBits = b->isDib ? const_cast<uint8_t*>(b->storage.data()) : nullptr;
        std::memcpy(out, &bm, sizeof bm);
        return sizeof(BITMAP);
    }
    default:
        return 0;
    }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    Dc* dc = FindDc(hdc);
    Object* o = FindObject(obj);
    if (!dc || !o) return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->kind) {
    case OBJ_PEN: {
        Pen* p = static_cast<Pen*>(o);
        old = dc->hpen;
        dc->hpen = obj;
        dc->pen = p->logpen;
        dc->penWidth = PenDeviceWidth(dc, p->logpen.lopnWidth.x);
        break;
    }
    case OBJ_BRUSH: {
        Brush* b = static_cast<Brush*>(o);
        old = dc->hbrush;
        dc->hbrush = obj;
        dc->brush = b->logbrush;
        dc->brushPattern = b->pattern;
        break;
    }
    case OBJ_BITMAP: {
        Bitmap* b = static_cast<Bitmap*>(o);
        if (obj == dc->hbitmap) return obj;
        if (!dc->driver->IsRaster()) return nullptr;  // a path DC has no bitmap
        if (!RetainSelected(obj, true)) return nullptr;  // selected in another DC
        old = dc->hbitmap;
        dc->hbitmap = obj;
        dc->bitmap = b->stock ? nullptr : b;
        break;
    }
    default:
        return nullptr;
    }
    dc->Changed();
    if (o->kind != OBJ_BITMAP) RetainSelected(obj, false);
    Journal(dc, "SelectObject", obj, {}, nullptr, 0, TRUE);
    ReleaseSelected(old);  // also when old == obj: the count returns to one
    return old;
}

BOOL DeleteObject(HGDIOBJ obj) {
    Object* o = FindObject(obj);
    if (!o || o->kind == OBJ_MEMDC) return FALSE;
    if (o->stock) return TRUE;
    JournalObjectEvent("DeleteObject", obj);
    // An object still selected into a DC goes when the DC lets it go.
    return DeleteOrDefer(obj) ? TRUE : FALSE;
}

int swgdi_ObjectCount(void) {
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.live;
}

BOOL swgdi_EnableJournal(HDC hdc, BOOL enable) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    SetJournaling(dc, enable != FALSE);
    return TRUE;
}

int swgdi_JournalCount(HDC hdc) {
    Dc* dc = FindDc(hdc);
    if (!dc) return -1;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    return static_cast<int>(dc->journal.size());
}

BOOL swgdi_JournalEntry(HDC hdc, int index, SWGDI_JOURNAL_ENTRY* out) {
    Dc* dc = FindDc(hdc);
    if (!dc || !out) return FALSE;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (index < 0 || index >= static_cast<int>(dc->journal.size())) return FALSE;
    JournalEntry& je = dc->journal[static_cast<size_t>(index)];
    *out = je.e;
    out->points = je.points.empty() ? nullptr : je.points.data();
    return TRUE;
}

int swgdi_JournalText(HDC hdc, int index, char* buf, int size) {
    SWGDI_JOURNAL_ENTRY e;
    if (!buf || size <= 0 || !swgdi_JournalEntry(hdc, index, &e)) return -1;
    std::string s = e.op;
    char tmp[96];
    if (e.object) {
        std::snprintf(tmp, sizeof tmp, " obj=%s", [&] {
            switch (e.objectType) {
            case OBJ_PEN: return "pen";
            case OBJ_BRUSH: return "brush";
            case OBJ_BITMAP: return "bitmap";
            case OBJ_MEMDC: return "dc";
            default: return "unknown";
            }
        }());
        s += tmp;
    }
    for (int i = 0; i < e.argCount; ++i) {
        std::snprintf(tmp, sizeof tmp, "%s%d", i ? "," : " ", static_cast<int>(e.args[i]));
        s += tmp;
    }
    for (int i = 0; i < e.pointCount; ++i) {
        std::snprintf(tmp, sizeof tmp, "%s%d,%d", i ? " " : " [", static_cast<int>(e.points[i].x),
                      static_cast<int>(e.points[i].y));
        s += tmp;
        if (i == e.pointCount - 1) s += "]";
    }
    std::snprintf(tmp, sizeof tmp, " pen=%u/%d/0x%06x brush=%u/0x%06x rop=%d",
                  static_cast<unsigned>(e.pen.lopnStyle), static_cast<int>(e.pen.lopnWidth.x),
                  static_cast<unsigned>(e.pen.lopnColor), static_cast<unsigned>(e.brush.lbStyle),
                  static_cast<unsigned>(e.brush.lbColor), e.rop2);
    s += tmp;
    if (!e.result) s += " failed";
    std::snprintf(buf, static_cast<size_t>(size), "%s", s.c_str());
    return static_cast<int>(std::min<size_t>(s.size(), static_cast<size_t>(size - 1)));
}

BOOL swgdi_ClearJournal(HDC hdc) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    Table& t = GetTable();
    std::lock_guard<std::mutex> lock(t.mutex);
    dc->journal.clear();
    return TRUE;
}

}  // extern "C"
