// The raster driver: the DC's pen and brush become drawing state (the masks
// of D = (D & A) ^ X, pattern rows, the dash pattern) once per change of the
// DC's state, and primitives become spans and pixels on the selected bitmap.
#include "gdi_internal.h"

#include <algorithm>
#include <mutex>

namespace swgdi {
namespace {

// Points handed to region building are kept within this range so that pen
// offsets and ellipse boxes cannot overflow 32-bit coordinates.
constexpr LONG kCrop = LONG(1) << 29;

POINT Crop(POINT p) {
    p.x = std::clamp<LONG>(p.x, -kCrop, kCrop);
    p.y = std::clamp<LONG>(p.y, -kCrop, kCrop);
    return p;
}

LONG Clamp32(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int PenStyle(const Dc* dc) { return static_cast<int>(dc->pen.lopnStyle & PS_STYLE_MASK); }
int PenWidth(const Dc* dc) { return PenStyle(dc) == PS_NULL ? 0 : dc->penWidth; }
// Wide pens are drawn as regions (round ends and joins); thinner ones as
// cosmetic lines.
bool PenIsWide(const Dc* dc) { return PenWidth(dc) > 1; }

// The buffers a raster driver builds shapes in. A driver gives them back
// when its DC is deleted and the next driver takes them: a renderer that
// makes a DC per page allocates none after its first pages.
struct Scratch {
    Region interior{0, 0, 0}, outline{0, 0, 0};
    std::vector<POINT> shifted, cropped, quadrant, outlinePts;
};

class ScratchPool {
public:
    std::unique_ptr<Scratch> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (spare_.empty()) return std::make_unique<Scratch>();
        std::unique_ptr<Scratch> s = std::move(spare_.back());
        spare_.pop_back();
        return s;
    }
    void Give(std::unique_ptr<Scratch> s) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (spare_.size() < kKept) spare_.push_back(std::move(s));
    }

private:
    static constexpr size_t kKept = 16;  // enough for a worker per core
    std::mutex mutex_;
    std::vector<std::unique_ptr<Scratch>> spare_;
};

// Never destroyed: a DC may be deleted by a static destructor at exit.
ScratchPool& Pool() {
    static ScratchPool* pool = new ScratchPool;
    return *pool;
}

class RasterDriver final : public Driver {
public:
    RasterDriver() = default;
    RasterDriver(const Surface& target, int ox, int oy) : fixed_(true), target_(target), ox_(ox), oy_(oy) {}
    ~RasterDriver() override { Pool().Give(std::move(scratch_)); }

    void Polyline(Dc* dc, const POINT* pts, int count) override {
        const Surface s = Begin(dc);
        pts = Shift(pts, count);
        if (PenIsWide(dc))
            WideOutline(dc, s, pts, count, false).Paint(s, pen_);
        else
            StrokeCosmetic(s, pts, count, false);
    }

    void Polygon(Dc* dc, const POINT* pts, int count) override {
        const Surface s = Begin(dc);
        pts = Shift(pts, count);
        int64_t top, bottom;
        BoundsY(pts, count, &top, &bottom);
        Region* interior = nullptr;
        if (!brush_.none) {
            interior = RowsRegion(&interior_, s, top, bottom);
            cropped_.resize(size_t(count));
            std::transform(pts, pts + count, cropped_.begin(), Crop);
            ScanPolygons(cropped_.data(), &count, 1, dc->polyFillMode, interior);
            interior->Normalize();
        }
        FillAndStroke(dc, s, interior, pts, count, true);
    }

    // Rectangle: the outline runs through the box's right and bottom pixels
    // minus one (right and bottom edges excluded); a cosmetic pen's interior
    // is inset by the pen; with the null pen the fill covers the box without
    // its right column and bottom row.
    void Rectangle(Dc* dc, const DeviceRect& box) override {
        const Surface s = Begin(dc);
        DeviceRect d = Shift(box);
        d.right--;
        d.bottom--;
        const POINT pts[4] = {{Clamp32(d.right), Clamp32(d.top)},
                              {Clamp32(d.left), Clamp32(d.top)},
                              {Clamp32(d.left), Clamp32(d.bottom)},
                              {Clamp32(d.right), Clamp32(d.bottom)}};
        if (PenIsWide(dc)) {
            Region* interior = RowsRegion(&interior_, s, d.top, d.bottom);
            interior->AddRect(d.left, d.top, d.right, d.bottom);
            interior->Normalize();
            FillAndStroke(dc, s, interior, pts, 4, true);
            return;
        }
        // The interior lies inside the outline, so the order of the two does
        // not change a pixel; filling first finds the outline's rows in the
        // cache.
        const int w = PenWidth(dc);
        PaintRect(s, Clamp32(d.left + (w + 1) / 2), Clamp32(d.top + (w + 1) / 2),
                  Clamp32(d.right - w / 2), Clamp32(d.bottom - w / 2), brush_);
        StrokeCosmetic(s, pts, 4, true);
    }

    // Rounded rectangles and ellipses: the interior is the round-rectangle
    // region one pixel larger than the box to the right and bottom (the
    // region itself leaves out its last column and row); the outline passes
    // through the integer ellipse points of each corner, mirrored.
    void RoundRect(Dc* dc, const DeviceRect& box, int iew, int ieh) override {
        const Surface s = Begin(dc);
        const DeviceRect d = Shift(box);
        const int64_t ew = iew, eh = ieh;
        // Wholly off the surface, pen included: nothing to draw. What remains
        // lies within 2^20 pixels of the surface, so the arithmetic below fits.
        const int64_t reach = PenWidth(dc) + 2;
        if (d.right + reach < 0 || d.bottom + reach < 0 || d.left - reach > s.width ||
            d.top - reach > s.height)
            return;
        const int L = static_cast<int>(d.left), T = static_cast<int>(d.top);
        const int R = static_cast<int>(d.right), B = static_cast<int>(d.bottom);
        Region* interior = nullptr;
        if (!brush_.none) {
            interior = RowsRegion(&interior_, s, T, int64_t(B) + 1);
            AddRoundRectRegion(L, T, R + 1, B + 1, iew, ieh, interior);
            interior->Normalize();
        }
        EllipseFirstQuadrant(iew, ieh, &quadrant_);
        size_t count = quadrant_.size();
        std::vector<POINT>& pts = outlinePts_;
        pts.resize(4 * count + 4);
        for (size_t i = 0; i < count; ++i)  // counterclockwise from the right
            pts[i] = {R - LONG(ew) + quadrant_[i].x, T + LONG(eh) - 1 - quadrant_[i].y};
        size_t end = 2 * count - 1;  // mirror left-right, the middle point once
        if (ew % 2 && ew == R - L) end--;
        for (size_t i = 0; i < count; ++i) pts[end - i] = {L + R - 1 - pts[i].x, pts[i].y};
        count = end + 1;
        end = 2 * count - 1;  // mirror top-bottom
        if (eh % 2 && eh == B - T) end--;
        for (size_t i = 0; i < count; ++i) pts[end - i] = {pts[i].x, T + B - 1 - pts[i].y};
        count = end + 1;
        FillAndStroke(dc, s, interior, pts.data(), int(count), true);
    }

    void FillBox(Dc* dc, const DeviceRect& box, const LOGBRUSH& lb,
                 const std::shared_ptr<const Pattern>& pattern, int rop2) override {
        const Surface s = Begin(dc);
        const DeviceRect d = Shift(box);
        const Paint* p = &fixedPaint_;
        switch (rop2) {
        case R2_BLACK: fixedPaint_.andMask = 0; fixedPaint_.xorMask = 0; break;
        case R2_WHITE: fixedPaint_.andMask = 0; fixedPaint_.xorMask = ~0u; break;
        case R2_NOT: fixedPaint_.andMask = ~0u; fixedPaint_.xorMask = ~0u; break;
        case R2_NOP: return;
        default: p = &BoxPaint(dc, s, lb, pattern, rop2); break;
        }
        PaintRect(s, Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom), *p);
    }

    COLORREF SetPixel(Dc* dc, POINT p, COLORREF color) override {
        const Surface s = Begin(dc);
        p.x = Clamp32(int64_t(p.x) - ox_);
        p.y = Clamp32(int64_t(p.y) - oy_);
        if (p.x < 0 || p.y < 0 || p.x >= s.width || p.y >= s.height) return CLR_INVALID;
        uint32_t pixel = ColorToPixel(dc, s, color, false);
        Paint paint;
        RopMasks(dc->rop2, pixel, &paint.andMask, &paint.xorMask);
        PaintSpan(s, p.y, p.x, p.x + 1, paint);
        return PixelToColor(s, pixel);
    }

    COLORREF GetPixel(Dc* dc, POINT p) override {
        const Surface s = Target(dc);
        p.x = Clamp32(int64_t(p.x) - ox_);
        p.y = Clamp32(int64_t(p.y) - oy_);
        if (p.x < 0 || p.y < 0 || p.x >= s.width || p.y >= s.height) return CLR_INVALID;
        return PixelToColor(s, ReadPixel(s, p.x, p.y));
    }

    bool StretchDib(Dc* dc, const DibBlit& blit) override {
        const Surface s = Target(dc);
        DibBlit b = blit;
        b.dst.x = Clamp32(int64_t(b.dst.x) - ox_);
        b.dst.y = Clamp32(int64_t(b.dst.y) - oy_);
        return RasterStretchDib(dc, s, b);
    }

private:
    Surface Target(const Dc* dc) const { return fixed_ ? target_ : dc->GetSurface(); }

    // The drawing state of the DC's pen and brush, rebuilt when the DC's
    // state changed since it was last built.
    Surface Begin(Dc* dc) {
        const Surface s = Target(dc);
        if (version_ == dc->stateVersion) return s;
        version_ = dc->stateVersion;
        brush_ = BrushPaint(dc, s, dc->brush, dc->brushPattern, dc->rop2);
        brush_.orgX -= ox_;
        brush_.orgY -= oy_;
        pen_ = PenPaint(dc, s);
        dashed_ = dc->penWidth == 1 && CosmeticDashes(PenStyle(dc), &dash_);
        gap_ = Paint();
        gap_.none = true;
        if (dashed_ && dc->bkMode == OPAQUE && !pen_.none) {
            uint32_t bk;
            if (s.bpp != 1) {
                bk = ColorToPixel(dc, s, dc->bkColor, false);
            } else {
                uint32_t fg = ColorToPixel(dc, s, dc->pen.lopnColor, true);
                bk = (dc->pen.lopnColor & 0xFFFFFF) != (dc->bkColor & 0xFFFFFF) ? (fg ^ 1u) : fg;
            }
            gap_.none = false;
            RopMasks(dc->rop2, bk, &gap_.andMask, &gap_.xorMask);
        }
        return s;
    }

    // The paint of a box's brush: the selected brush's state when it is the
    // selected brush under the DC's ROP2, else built once per brush and state.
    const Paint& BoxPaint(const Dc* dc, const Surface& s, const LOGBRUSH& lb,
                          const std::shared_ptr<const Pattern>& pattern, int rop2) {
        if (rop2 == dc->rop2 && pattern == dc->brushPattern && lb.lbStyle == dc->brush.lbStyle &&
            lb.lbColor == dc->brush.lbColor && lb.lbHatch == dc->brush.lbHatch)
            return brush_;
        if (boxVersion_ != dc->stateVersion || boxRop_ != rop2 || boxPattern_ != pattern.get() ||
            boxBrush_.lbStyle != lb.lbStyle || boxBrush_.lbColor != lb.lbColor ||
            boxBrush_.lbHatch != lb.lbHatch) {
            boxVersion_ = dc->stateVersion;
            boxRop_ = rop2;
            boxPattern_ = pattern.get();
            boxBrush_ = lb;
            boxPaint_ = BrushPaint(dc, s, lb, pattern, rop2);
            boxPaint_.orgX -= ox_;
            boxPaint_.orgY -= oy_;
        }
        return boxPaint_;
    }

    const POINT* Shift(const POINT* pts, int count) {
        if (!ox_ && !oy_) return pts;
        shifted_.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            shifted_[size_t(i)] = {Clamp32(int64_t(pts[i].x) - ox_), Clamp32(int64_t(pts[i].y) - oy_)};
        return shifted_.data();
    }
    DeviceRect Shift(DeviceRect d) const {
        d.left -= ox_;
        d.right -= ox_;
        d.top -= oy_;
        d.bottom -= oy_;
        return d;
    }

    static void BoundsY(const POINT* pts, int count, int64_t* top, int64_t* bottom) {
        *top = INT64_MAX;
        *bottom = INT64_MIN;
        for (int i = 0; i < count; ++i) {
            *top = std::min<int64_t>(*top, pts[i].y);
            *bottom = std::max<int64_t>(*bottom, pts[i].y);
        }
    }

    // A region kept by the driver, emptied to cover the surface rows from
    // top to bottom (clamped to the surface).
    static Region* RowsRegion(Region* r, const Surface& s, int64_t top, int64_t bottom) {
        int t = static_cast<int>(std::clamp<int64_t>(top, 0, s.height));
        int b = static_cast<int>(std::clamp<int64_t>(bottom, 0, s.height));
        r->Reset(t, b, s.width);
        return r;
    }

    // Strokes a chain of device points with the pen as cosmetic lines, each
    // without its last pixel (so a closed chain paints every pixel once).
    void StrokeCosmetic(const Surface& s, const POINT* pts, int count, bool closed) {
        if (pen_.none) return;
        DashState* dash = nullptr;
        if (dashed_) {
            dash_.Reset();
            dash = &dash_;
        }
        for (int i = 0; i + 1 < count; ++i) Segment(s, pts[i], pts[i + 1], dash);
        if (closed && count > 1) Segment(s, pts[count - 1], pts[0], dash);
    }

    // One segment of a cosmetic chain. A step to a neighbouring pixel (the
    // chains of ellipse outlines) draws just its start pixel.
    void Segment(const Surface& s, POINT a, POINT b, DashState* dash) {
        const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
        if (!dash && dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
            if (dx || dy) PaintPixel(s, a.x, a.y, pen_);
            return;
        }
        DrawCosmeticLine(s, a, b, pen_, dash, &gap_);
    }

    Region& WideOutline(const Dc* dc, const Surface& s, const POINT* pts, int count, bool closed) {
        int64_t top, bottom;
        BoundsY(pts, count, &top, &bottom);
        const int w = PenWidth(dc);
        Region* outline = RowsRegion(&outline_, s, top - w, bottom + w + 2);
        cropped_.resize(size_t(count));
        std::transform(pts, pts + count, cropped_.begin(), Crop);
        AddWideOutline(cropped_.data(), count, closed, w, 0, 0, outline);
        outline->Normalize();
        return *outline;
    }

    // Fills an interior region with the brush and strokes the outline: a
    // wide pen's outline region is cut out of the interior so that every
    // pixel is painted once; cosmetic outlines are drawn over the interior.
    void FillAndStroke(const Dc* dc, const Surface& s, Region* interior, const POINT* pts,
                       int count, bool closed) {
        if (PenIsWide(dc)) {
            Region& outline = WideOutline(dc, s, pts, count, closed);
            if (interior && !brush_.none) {
                interior->Subtract(outline);
                interior->Paint(s, brush_);
            }
            outline.Paint(s, pen_);
            return;
        }
        if (interior && !brush_.none) interior->Paint(s, brush_);
        StrokeCosmetic(s, pts, count, closed);
    }

    bool fixed_ = false;
    Surface target_;
    int ox_ = 0, oy_ = 0;
    uint64_t version_ = 0;
    Paint pen_, brush_, gap_, fixedPaint_;
    bool dashed_ = false;
    DashState dash_;
    // FillRect's brush, built once per brush and DC state.
    uint64_t boxVersion_ = 0;
    int boxRop_ = 0;
    const Pattern* boxPattern_ = nullptr;
    LOGBRUSH boxBrush_{};
    Paint boxPaint_;
    // Scratch kept across calls: no allocation once warm.
    std::unique_ptr<Scratch> scratch_ = Pool().Take();
    Region& interior_ = scratch_->interior;
    Region& outline_ = scratch_->outline;
    std::vector<POINT>&shifted_ = scratch_->shifted, &cropped_ = scratch_->cropped, &quadrant_ = scratch_->quadrant,
        &outlinePts_ = scratch_->outlinePts;
};

}  // namespace

std::unique_ptr<Driver> NewRasterDriver() { return std::make_unique<RasterDriver>(); }

std::unique_ptr<Driver> NewOffsetRasterDriver(const Surface& target, int originX, int originY) {
    return std::make_unique<RasterDriver>(target, originX, originY);
}

}  // namespace swgdi
