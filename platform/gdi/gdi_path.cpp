// The path driver: primitives become device-space geometry on a host's sink.
//
// Geometry keeps the pixel rules of the raster driver to within a pixel: a
// device pixel (x, y) is the square [x, x + 1) x [y, y + 1), so shapes whose
// pixels are "inside at the integer point" are filled with paths shifted by
// half a pixel, cosmetic lines run through pixel centres, and Rectangle's
// fill is the exact box of its pixels.
//
// A ROP2 becomes vectors when, for the pen or brush colour, every bit of the
// result either ignores the page (D = X: paint X) or keeps it (D = D: paint
// nothing). The transparent pattern fill (XOR box, MASKPEN pattern shape,
// the same XOR box) is recognised as one pattern fill with transparent
// paper. Anything else is drawn by the raster driver into an image of its
// box, on white paper, with one warning.
#include "gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace swgdi {
namespace {

// Control points of a quarter ellipse as a cubic Bezier curve.
constexpr double kKappa = 0.5522847498307936;
// A raster fallback (two 32-bit scratch rasters) or image larger than this
// many pixels is dropped: 2^26 covers an A4 page at 600 dpi (35 million).
constexpr int64_t kMaxFallbackPixels = int64_t(1) << 26;

uint32_t Rgb(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// What a ROP2 does with a source colour, as vectors.
enum class Ink { kPaint, kSkip, kRaster };

Ink VectorInk(int rop2, uint32_t rgb, uint32_t* out) {
    uint32_t a, x;
    RopMasks(rop2, rgb, &a, &x);
    a &= 0xFFFFFFu;
    x &= 0xFFFFFFu;
    if (a == 0) {
        *out = x;
        return Ink::kPaint;
    }
    if (a == 0xFFFFFFu && x == 0) return Ink::kSkip;
    return Ink::kRaster;
}

// The state a deferred primitive is drawn with.
struct DcState {
    LOGPEN pen{};
    int penWidth = 1;
    LOGBRUSH brush{};
    std::shared_ptr<const Pattern> brushPattern;
    int rop2 = R2_COPYPEN;
    COLORREF textColor = 0, bkColor = 0;
    int bkMode = OPAQUE, polyFillMode = ALTERNATE;
    POINT brushOrg{0, 0};

    void Save(const Dc* dc) {
        pen = dc->pen;
        penWidth = dc->penWidth;
        brush = dc->brush;
        brushPattern = dc->brushPattern;
        rop2 = dc->rop2;
        textColor = dc->textColor;
        bkColor = dc->bkColor;
        bkMode = dc->bkMode;
        polyFillMode = dc->polyFillMode;
        brushOrg = dc->brushOrg;
    }
    void SwapInto(Dc* dc) {
        std::swap(pen, dc->pen);
        std::swap(penWidth, dc->penWidth);
        std::swap(brush, dc->brush);
        std::swap(brushPattern, dc->brushPattern);
        std::swap(rop2, dc->rop2);
        std::swap(textColor, dc->textColor);
        std::swap(bkColor, dc->bkColor);
        std::swap(bkMode, dc->bkMode);
        std::swap(polyFillMode, dc->polyFillMode);
        std::swap(brushOrg, dc->brushOrg);
        dc->Changed();
    }
};

struct Cmd {
    enum Kind { kMove, kLine, kCurve, kClose } kind;
    double v[6];
};

// A fill as the sink takes it, with storage for its pattern cells.
struct Fill {
    SWGDI_FILL f{};
    std::vector<uint8_t> ink;
    void Point() { f.ink = f.pattern ? ink.data() : nullptr; }
};

// Why a primitive is held back: the transparent fill sequence so far.
enum class Stage { kNone, kXorBox, kMaskedShape };

class PathDriver final : public Driver {
public:
    explicit PathDriver(const SWGDI_PATH_SINK& sink) : sink_(sink) {}

    bool IsRaster() const override { return false; }

    void Polyline(Dc* dc, const POINT* pts, int count) override {
        Flush(dc);
        SWGDI_STROKE st;
        switch (PenStroke(dc, &st)) {
        case Ink::kSkip: return;
        case Ink::kRaster:
            Fallback(dc, PointBounds(dc, pts, count), [&](Driver& r) { r.Polyline(dc, pts, count); });
            return;
        case Ink::kPaint: break;
        }
        StrokeChain(dc, st, pts, count, false);
    }

    void Polygon(Dc* dc, const POINT* pts, int count) override {
        auto shape = [&] {
            for (int i = 0; i < count; ++i) Add(i ? Cmd::kLine : Cmd::kMove, pts[i].x + 0.5, pts[i].y + 0.5);
            Add(Cmd::kClose);
        };
        if (Masked(dc, shape)) return;
        Flush(dc);
        DrawShape(dc, shape, [&](const SWGDI_STROKE& st) { StrokeChain(dc, st, pts, count, true); },
                  PointBounds(dc, pts, count), [&](Driver& r) { r.Polygon(dc, pts, count); });
    }

    // With a cosmetic pen the fill is the box's pixels and the outline runs
    // through the centres of its border pixels; with the null pen the fill
    // leaves out the right column and bottom row; a wide pen is centred on
    // the border pixels' lines as the raster driver draws it.
    void Rectangle(Dc* dc, const DeviceRect& d) override {
        const int w = PenWidth(dc);
        if (w == 0 && dc->rop2 == R2_XORPEN && IsSolid(dc->brush)) {
            if (HoldXorBox(dc, DeviceRect{d.left, d.top, d.right - 1, d.bottom - 1}, true,
                           dc->brush.lbColor, d))
                return;
        }
        const double l = double(d.left), t = double(d.top);
        const double r = double(d.right) - (w == 1 ? 0 : 1), b = double(d.bottom) - (w == 1 ? 0 : 1);
        auto box = [&] { AddRect(l, t, r, b); };
        if (Masked(dc, box)) return;
        Flush(dc);
        DrawShape(
            dc, box,
            [&](const SWGDI_STROKE& st) {
                const double o = PenOffset(dc);
                const POINT c[4] = {{LONG(d.right - 1), LONG(d.top)}, {LONG(d.left), LONG(d.top)},
                                    {LONG(d.left), LONG(d.bottom - 1)}, {LONG(d.right - 1), LONG(d.bottom - 1)}};
                if (Dashed(dc)) {
                    StrokeChain(dc, st, c, 4, true);
                    return;
                }
                AddRect(d.left + o, d.top + o, d.right - 1 + o, d.bottom - 1 + o);
                // A cosmetic outline's corners are whole pixels; a wide pen
                // keeps its own joins.
                SWGDI_STROKE square = st;
                if (w == 1) square.join = PS_JOIN_MITER;
                Stroke(square);
            },
            Grow(d, w), [&](Driver& r) { r.Rectangle(dc, d); });
    }

    // The outline runs through the centres of the outermost pixels; with the
    // null pen the fill reaches the box's edges.
    void RoundRect(Dc* dc, const DeviceRect& d, int ew, int eh) override {
        const bool pen = PenWidth(dc) > 0;
        const double in = pen ? 0.5 : 0.0;
        const double l = d.left + in, t = d.top + in, r = d.right - in, b = d.bottom - in;
        const double rx = (ew - 2 * in) / 2, ry = (eh - 2 * in) / 2;
        auto shape = [&] { AddRoundRect(l, t, r, b, rx, ry); };
        if (Masked(dc, shape)) return;
        Flush(dc);
        DrawShape(
            dc, shape,
            [&](const SWGDI_STROKE& st) {
                AddRoundRect(l, t, r, b, rx, ry);
                Stroke(st);
            },
            Grow(d, PenWidth(dc)), [&](Driver& r2) { r2.RoundRect(dc, d, ew, eh); });
    }

    void FillBox(Dc* dc, const DeviceRect& d, const LOGBRUSH& lb,
                 const std::shared_ptr<const Pattern>& pattern, int rop2) override {
        if (rop2 == R2_XORPEN && IsSolid(lb) && HoldXorBox(dc, d, false, lb.lbColor, d)) return;
        auto box = [&] { AddRect(double(d.left), double(d.top), double(d.right), double(d.bottom)); };
        if (rop2 == dc->rop2 && Masked(dc, box, &lb, pattern.get())) return;
        Flush(dc);
        Fill fill;
        Ink ink = Ink::kPaint;
        if (rop2 == R2_BLACK || rop2 == R2_WHITE) {
            fill.f.rgb = rop2 == R2_BLACK ? 0 : 0xFFFFFFu;
        } else if (rop2 == R2_NOT) {
            ink = Ink::kRaster;
        } else {
            ink = BrushFill(dc, lb, pattern.get(), rop2, &fill);
        }
        if (ink == Ink::kSkip) return;
        if (ink == Ink::kRaster) {
            Fallback(dc, d, [&](Driver& r) { r.FillBox(dc, d, lb, pattern, rop2); });
            return;
        }
        fill.f.rule = WINDING;
        box();
        FillPath(fill);
    }

    COLORREF SetPixel(Dc* dc, POINT p, COLORREF color) override {
        if (p.x < 0 || p.y < 0 || p.x >= dc->horzRes || p.y >= dc->vertRes) return CLR_INVALID;
        Flush(dc);
        uint32_t rgb;
        const DeviceRect d{p.x, p.y, int64_t(p.x) + 1, int64_t(p.y) + 1};
        switch (VectorInk(dc->rop2, Rgb(color), &rgb)) {
        case Ink::kSkip: break;
        case Ink::kRaster: Fallback(dc, d, [&](Driver& r) { r.SetPixel(dc, p, color); }); break;
        case Ink::kPaint: {
            Fill fill;
            fill.f.rule = WINDING;
            fill.f.rgb = rgb;
            AddRect(p.x, p.y, p.x + 1.0, p.y + 1.0);
            FillPath(fill);
            break;
        }
        }
        return color & 0xFFFFFFu;
    }

    COLORREF GetPixel(Dc*, POINT) override { return CLR_INVALID; }

    // SRCCOPY becomes an image of the source rectangle, mirrored as the
    // extents say. SRCAND of a black-and-white source keeps the page under
    // white and blackens it under black: an image whose white is
    // transparent. Other operations read the page and are drawn as rasters.
    bool StretchDib(Dc* dc, const DibBlit& b) override {
        Flush(dc);
        const int64_t sw = std::llabs(b.srcWidth), sh = std::llabs(b.srcHeight);
        const DeviceRect d{b.dstWidth < 0 ? b.dst.x + b.dstWidth + 1 : b.dst.x,
                           b.dstHeight < 0 ? b.dst.y + b.dstHeight + 1 : b.dst.y,
                           b.dstWidth < 0 ? int64_t(b.dst.x) + 1 : b.dst.x + b.dstWidth,
                           b.dstHeight < 0 ? int64_t(b.dst.y) + 1 : b.dst.y + b.dstHeight};
        auto fallback = [&] {
            bool ok = true;
            Fallback(dc, d, [&](Driver& r) { ok = r.StretchDib(dc, b) && ok; });
            return ok;
        };
        const bool andMask = b.rop == SRCAND;
        if (b.rop != SRCCOPY && !andMask) return fallback();
        if (sw * sh > kMaxFallbackPixels) return false;
        image_.assign(size_t(sw * sh), 0);
        // Column j of the image, left to right on the page, is step j of the
        // source walk from its start corner, or step sw - 1 - j when the
        // destination runs right to left; rows likewise.
        for (int64_t i = 0; i < sh; ++i) {
            const int64_t walk = b.dstHeight < 0 ? sh - 1 - i : i;
            const int64_t sy = b.srcTop + (b.srcHeight < 0 ? -walk : walk);
            if (sy < 0 || sy >= b.height) continue;
            for (int64_t j = 0; j < sw; ++j) {
                const int64_t wx = b.dstWidth < 0 ? sw - 1 - j : j;
                const int64_t sx = b.srcX + (b.srcWidth < 0 ? -wx : wx);
                if (sx < 0 || sx >= b.width) continue;
                const uint32_t rgb = Rgb(b.Color(sx, sy));
                if (andMask && rgb != 0 && rgb != 0xFFFFFFu) return fallback();
                image_[size_t(i * sw + j)] = andMask && rgb ? 0 : 0xFF000000u | rgb;
            }
        }
        SWGDI_IMAGE img{};
        img.x = double(d.left);
        img.y = double(d.top);
        img.width = double(d.right - d.left);
        img.height = double(d.bottom - d.top);
        img.pixelsWide = int(sw);
        img.pixelsHigh = int(sh);
        img.pixels = image_.data();
        img.stride = ptrdiff_t(sw * 4);
        img.smooth = 0;
        sink_.image(sink_.context, &img);
        return true;
    }

    void Finish(Dc* dc) override { Flush(dc); }

private:
    static int PenStyle(const Dc* dc) { return int(dc->pen.lopnStyle & PS_STYLE_MASK); }
    static int PenWidth(const Dc* dc) { return PenStyle(dc) == PS_NULL ? 0 : dc->penWidth; }
    static bool IsSolid(const LOGBRUSH& lb) { return lb.lbStyle == BS_SOLID; }
    static bool Dashed(const Dc* dc) {
        DashState dash;
        return dc->penWidth == 1 && CosmeticDashes(PenStyle(dc), &dash);
    }
    // Lines of odd width, the cosmetic one included, are centred on pixel
    // centres; even widths on pixel edges.
    static double PenOffset(const Dc* dc) { return PenWidth(dc) % 2 ? 0.5 : 0.0; }

    static DeviceRect Grow(DeviceRect d, int by) {
        return {d.left - by, d.top - by, d.right + by, d.bottom + by};
    }
    static DeviceRect PointBounds(const Dc* dc, const POINT* pts, int count) {
        DeviceRect d{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN};
        for (int i = 0; i < count; ++i) {
            d.left = std::min<int64_t>(d.left, pts[i].x);
            d.top = std::min<int64_t>(d.top, pts[i].y);
            d.right = std::max<int64_t>(d.right, int64_t(pts[i].x) + 1);
            d.bottom = std::max<int64_t>(d.bottom, int64_t(pts[i].y) + 1);
        }
        return Grow(d, PenWidth(dc) + 1);
    }

    // ---------------------------------------------------------- geometry

    void Add(Cmd::Kind k, double a = 0, double b = 0, double c = 0, double d = 0, double e = 0,
             double f = 0) {
        path_.push_back(Cmd{k, {a, b, c, d, e, f}});
    }
    void AddRect(double l, double t, double r, double b) {
        Add(Cmd::kMove, l, t);
        Add(Cmd::kLine, r, t);
        Add(Cmd::kLine, r, b);
        Add(Cmd::kLine, l, b);
        Add(Cmd::kClose);
    }
    // A rectangle with elliptic corners of radii rx, ry (an ellipse when
    // they are half the box), clockwise on the page from the top edge.
    void AddRoundRect(double l, double t, double r, double b, double rx, double ry) {
        rx = std::clamp(rx, 0.0, (r - l) / 2);
        ry = std::clamp(ry, 0.0, (b - t) / 2);
        const double kx = kKappa * rx, ky = kKappa * ry;
        auto line = [&](double x, double y) {
            const Cmd& last = path_.back();
            const double lx = last.kind == Cmd::kCurve ? last.v[4] : last.v[0];
            const double ly = last.kind == Cmd::kCurve ? last.v[5] : last.v[1];
            if (lx != x || ly != y) Add(Cmd::kLine, x, y);
        };
        Add(Cmd::kMove, l + rx, t);
        line(r - rx, t);
        Add(Cmd::kCurve, r - rx + kx, t, r, t + ry - ky, r, t + ry);
        line(r, b - ry);
        Add(Cmd::kCurve, r, b - ry + ky, r - rx + kx, b, r - rx, b);
        line(l + rx, b);
        Add(Cmd::kCurve, l + rx - kx, b, l, b - ry + ky, l, b - ry);
        line(l, t + ry);
        Add(Cmd::kCurve, l, t + ry - ky, l + rx - kx, t, l + rx, t);
        Add(Cmd::kClose);
    }

    void EmitPath(const std::vector<Cmd>& path) {
        for (const Cmd& c : path) {
            switch (c.kind) {
            case Cmd::kMove: sink_.move_to(sink_.context, c.v[0], c.v[1]); break;
            case Cmd::kLine: sink_.line_to(sink_.context, c.v[0], c.v[1]); break;
            case Cmd::kCurve:
                sink_.curve_to(sink_.context, c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5]);
                break;
            case Cmd::kClose: sink_.close_path(sink_.context); break;
            }
        }
    }
    void FillPath(Fill& fill) {
        EmitPath(path_);
        path_.clear();
        fill.Point();
        sink_.fill(sink_.context, &fill.f);
    }
    void Stroke(const SWGDI_STROKE& st) {
        EmitPath(path_);
        path_.clear();
        sink_.stroke(sink_.context, &st);
    }

    // ---------------------------------------------------------- pens, brushes

    Ink PenStroke(const Dc* dc, SWGDI_STROKE* st) const {
        if (PenWidth(dc) == 0) return Ink::kSkip;
        const Ink ink = VectorInk(dc->rop2, Rgb(dc->pen.lopnColor), &st->rgb);
        if (dc->penWidth > 1) {
            st->width = dc->penWidth;
            st->cap = int(dc->pen.lopnStyle & PS_ENDCAP_MASK);
            st->join = int(dc->pen.lopnStyle & PS_JOIN_MASK);
        } else {
            st->width = 1;
            st->cap = PS_ENDCAP_FLAT;
            st->join = PS_JOIN_ROUND;
        }
        if (ink == Ink::kPaint && Dashed(dc) && dc->bkMode == OPAQUE) {
            uint32_t gap;
            if (VectorInk(dc->rop2, Rgb(dc->bkColor), &gap) == Ink::kRaster) return Ink::kRaster;
        }
        return ink;
    }

    // The brush as a sink fill under rop2: solid, or a pattern whose paper
    // may be transparent. Pattern cells that the ROP2 leaves alone become
    // transparent paper (the ink and paper swap when the ink is the one left
    // alone).
    Ink BrushFill(const Dc* dc, const LOGBRUSH& lb, const Pattern* pat, int rop2, Fill* out) const {
        SWGDI_FILL& f = out->f;
        f.rule = dc->polyFillMode;
        f.orgX = dc->brushOrg.x;
        f.orgY = dc->brushOrg.y;
        uint32_t inkRgb, paperRgb;
        bool paperClear = false;
        switch (lb.lbStyle) {
        case BS_SOLID: {
            Ink ink = VectorInk(rop2, Rgb(lb.lbColor), &f.rgb);
            return ink;
        }
        case BS_HATCHED: {
            const uint8_t* rows = HatchRows(lb.lbHatch);
            if (!rows) return Ink::kSkip;
            out->ink.resize(64);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) out->ink[size_t(y * 8 + x)] = (rows[y] >> (7 - x)) & 1;
            f.patWidth = f.patHeight = 8;
            inkRgb = Rgb(lb.lbColor);
            paperRgb = Rgb(dc->bkColor);
            paperClear = dc->bkMode == TRANSPARENT;
            break;
        }
        case BS_PATTERN:
        case BS_DIBPATTERN: {
            if (!pat || pat->width <= 0 || pat->height <= 0) return Ink::kSkip;
            if (!pat->mono) return Ink::kRaster;
            const size_t n = size_t(pat->width) * size_t(pat->height);
            out->ink.resize(n);
            // 0 cells take the first colour: they are the ink.
            for (size_t i = 0; i < n; ++i) out->ink[i] = (pat->index[i] & 1) ? 0 : 1;
            f.patWidth = pat->width;
            f.patHeight = pat->height;
            auto entry = [](const RGBQUAD& q) {
                return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
            };
            inkRgb = pat->useDcColors ? Rgb(dc->textColor) : entry(pat->table[0]);
            paperRgb = pat->useDcColors ? Rgb(dc->bkColor) : entry(pat->table[1]);
            break;
        }
        default:
            return Ink::kSkip;
        }
        const Ink ink = VectorInk(rop2, inkRgb, &inkRgb);
        const Ink paper = paperClear ? Ink::kSkip : VectorInk(rop2, paperRgb, &paperRgb);
        if (ink == Ink::kRaster || paper == Ink::kRaster) return Ink::kRaster;
        if (ink == Ink::kSkip && paper == Ink::kSkip) return Ink::kSkip;
        if (ink == Ink::kPaint && paper == Ink::kPaint && inkRgb == paperRgb) {
            f.rgb = inkRgb;
            return Ink::kPaint;
        }
        f.pattern = 1;
        if (ink == Ink::kSkip) {
            for (uint8_t& c : out->ink) c ^= 1;
            inkRgb = paperRgb;
        }
        f.inkRgb = inkRgb;
        f.paperRgb = paper == Ink::kPaint ? paperRgb : 0;
        f.paperTransparent = ink == Ink::kPaint && paper == Ink::kPaint ? 0 : 1;
        return Ink::kPaint;
    }

    // A chain of device points stroked with the pen: whole, or as its dashes
    // (and, on an opaque background, its gaps in the background colour).
    void StrokeChain(const Dc* dc, const SWGDI_STROKE& st, const POINT* pts, int count, bool closed) {
        const double o = PenOffset(dc);
        DashState dash;
        if (dc->penWidth != 1 || !CosmeticDashes(PenStyle(dc), &dash)) {
            for (int i = 0; i < count; ++i) Add(i ? Cmd::kLine : Cmd::kMove, pts[i].x + o, pts[i].y + o);
            if (closed) Add(Cmd::kClose);
            Stroke(st);
            return;
        }
        if (AddDashes(dc, dash, pts, count, closed, true)) Stroke(st);
        SWGDI_STROKE gap = st;
        if (dc->bkMode == OPAQUE && VectorInk(dc->rop2, Rgb(dc->bkColor), &gap.rgb) == Ink::kPaint &&
            AddDashes(dc, dash, pts, count, closed, false))
            Stroke(gap);
    }

    // The dashes (mark) or gaps (!mark) of a cosmetic chain as separate
    // segments. The pattern advances one step per pixel of each segment's
    // longer axis and carries over from segment to segment, as the raster
    // driver's does.
    bool AddDashes(const Dc* dc, DashState dash, const POINT* pts, int count, bool closed, bool mark) {
        dash.Reset();
        bool any = false;
        const int segments = closed ? count : count - 1;
        for (int i = 0; i < segments; ++i) {
            const POINT a = pts[i], b = pts[(i + 1) % count];
            const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
            const int64_t major = std::max(std::llabs(int64_t(b.x) - a.x), std::llabs(int64_t(b.y) - a.y));
            // Only the steps near the page are walked: a segment far larger
            // than the page costs no more than one across it.
            double t0 = 0, t1 = 1;
            ClipParameter(a.x, dx, -2.0, dc->horzRes + 2.0, &t0, &t1);
            ClipParameter(a.y, dy, -2.0, dc->vertRes + 2.0, &t0, &t1);
            if (t0 > t1) {
                dash.Skip(major);
                continue;
            }
            const int64_t end = std::min<int64_t>(major, int64_t(std::ceil(t1 * double(major))) + 1);
            int64_t k = std::max<int64_t>(0, int64_t(std::floor(t0 * double(major))) - 1);
            dash.Skip(k);
            while (k < end) {
                const int64_t len = std::min<int64_t>(dash.left, end - k);
                if (dash.mark == mark) {
                    const double f0 = double(k) / double(major), f1 = double(k + len) / double(major);
                    Add(Cmd::kMove, a.x + dx * f0 + 0.5, a.y + dy * f0 + 0.5);
                    Add(Cmd::kLine, a.x + dx * f1 + 0.5, a.y + dy * f1 + 0.5);
                    any = true;
                }
                dash.Skip(len);
                k += len;
            }
            dash.Skip(major - end);
        }
        return any;
    }

    // Narrows [t0, t1] to the parameters where p + t * d lies in [lo, hi].
    static void ClipParameter(double p, double d, double lo, double hi, double* t0, double* t1) {
        if (d == 0) {
            if (p < lo || p > hi) *t0 = 2;  // empty
            return;
        }
        double ta = (lo - p) / d, tb = (hi - p) / d;
        if (ta > tb) std::swap(ta, tb);
        *t0 = std::max(*t0, ta);
        *t1 = std::min(*t1, tb);
    }

    // A filled and outlined shape: the fill path from addFill, then the
    // pen's outline from stroke; anything a vector cannot say goes to the
    // raster fallback as a whole.
    template <class AddFill, class StrokeFn, class RasterFn>
    void DrawShape(Dc* dc, AddFill addFill, StrokeFn stroke, const DeviceRect& bounds, RasterFn raster) {
        Fill fill;
        const Ink brush = BrushFill(dc, dc->brush, dc->brushPattern.get(), dc->rop2, &fill);
        SWGDI_STROKE st;
        const Ink pen = PenStroke(dc, &st);
        if (brush == Ink::kRaster || pen == Ink::kRaster) {
            Fallback(dc, bounds, raster);
            return;
        }
        if (brush == Ink::kPaint) {
            addFill();
            FillPath(fill);
        }
        if (pen == Ink::kPaint) stroke(st);
    }

    // ---------------------------------------------------------- transparent fills

    // An XOR box with a solid brush: held back as the start of a transparent
    // fill, or, when one is held, the end that completes it. False when the
    // box is to be drawn as it is.
    bool HoldXorBox(Dc* dc, const DeviceRect& box, bool isRect, COLORREF color, const DeviceRect& call) {
        if (stage_ == Stage::kMaskedShape && SameBox(box, isRect, color)) {
            // Pattern ink in the XOR colour, the paper untouched.
            Fill& f = maskedFill_;
            if (f.f.pattern) {
                f.f.inkRgb = Rgb(color);
                f.f.paperTransparent = 1;
                f.f.paperRgb = 0;
            } else {
                f.f.rgb = Rgb(color);
            }
            path_.swap(maskedPath_);
            FillPath(f);
            maskedPath_.clear();
            stage_ = Stage::kNone;
            return true;
        }
        if (stage_ == Stage::kXorBox && SameBox(box, isRect, color)) {
            stage_ = Stage::kNone;  // the same XOR twice leaves the page as it was
            return true;
        }
        Flush(dc);
        if (box.left >= box.right || box.top >= box.bottom) return false;
        stage_ = Stage::kXorBox;
        xorBox_ = box;
        xorCall_ = call;
        xorIsRect_ = isRect;
        xorColor_ = color & 0xFFFFFFu;
        xorState_.Save(dc);
        return true;
    }

    bool SameBox(const DeviceRect& box, bool isRect, COLORREF color) const {
        return xorIsRect_ == isRect && (color & 0xFFFFFFu) == xorColor_ && box.left == xorBox_.left &&
               box.top == xorBox_.top && box.right == xorBox_.right && box.bottom == xorBox_.bottom;
    }

    // The middle of a transparent fill: after a held XOR box, a pen-less
    // shape inside it whose MASKPEN brush paints black ink and leaves its
    // paper alone. The shape is held back until the closing box.
    template <class AddShape>
    bool Masked(Dc* dc, AddShape addShape, const LOGBRUSH* lb = nullptr, const Pattern* pat = nullptr) {
        if (stage_ != Stage::kXorBox || dc->rop2 != R2_MASKPEN || (PenWidth(dc) != 0 && !lb)) return false;
        Fill fill;
        if (BrushFill(dc, lb ? *lb : dc->brush, lb ? pat : dc->brushPattern.get(), R2_MASKPEN, &fill) !=
            Ink::kPaint)
            return false;
        const bool blackInk = fill.f.pattern ? fill.f.paperTransparent && fill.f.inkRgb == 0 : fill.f.rgb == 0;
        if (!blackInk) return false;
        path_.clear();
        addShape();
        bool inside = true;
        for (const Cmd& c : path_)
            for (int i = 0; i < (c.kind == Cmd::kCurve ? 3 : c.kind == Cmd::kClose ? 0 : 1); ++i)
                inside = inside && c.v[2 * i] >= double(xorBox_.left) - 1 &&
                         c.v[2 * i] <= double(xorBox_.right) + 1 &&
                         c.v[2 * i + 1] >= double(xorBox_.top) - 1 &&
                         c.v[2 * i + 1] <= double(xorBox_.bottom) + 1;
        if (!inside) {
            path_.clear();
            return false;
        }
        maskedPath_.swap(path_);
        path_.clear();
        maskedFill_ = std::move(fill);
        stage_ = Stage::kMaskedShape;
        return true;
    }

    // Draws what is held back as it stands: the XOR box as a raster, the
    // masked shape as its black ink.
    void Flush(Dc* dc) {
        if (stage_ == Stage::kNone) return;
        const Stage stage = stage_;
        stage_ = Stage::kNone;
        xorState_.SwapInto(dc);
        const DeviceRect call = xorCall_;
        if (xorIsRect_)
            Fallback(dc, xorBox_, [&](Driver& r) { r.Rectangle(dc, call); });
        else
            Fallback(dc, xorBox_, [&](Driver& r) {
                r.FillBox(dc, call, dc->brush, dc->brushPattern, R2_XORPEN);
            });
        xorState_.SwapInto(dc);
        if (stage == Stage::kMaskedShape) {
            path_.swap(maskedPath_);
            FillPath(maskedFill_);
            maskedPath_.clear();
        }
    }

    // ---------------------------------------------------------- raster fallback

    // Draws a primitive with the raster driver on two scratch rasters of its
    // box, one black and one white: pixels that differ from their start in
    // either were drawn, and take their colour on the white one (the page's
    // paper); the rest stay transparent.
    template <class RasterFn>
    void Fallback(Dc* dc, DeviceRect box, RasterFn draw) {
        box.left = std::max<int64_t>(box.left, 0);
        box.top = std::max<int64_t>(box.top, 0);
        box.right = std::min<int64_t>(box.right, dc->horzRes);
        box.bottom = std::min<int64_t>(box.bottom, dc->vertRes);
        if (box.left >= box.right || box.top >= box.bottom) return;
        Warn(dc);
        const int64_t w = box.right - box.left, h = box.bottom - box.top;
        if (w * h > kMaxFallbackPixels) return;
        const size_t n = size_t(w * h);
        black_.assign(n, 0);
        image_.assign(n, 0xFFFFFFu);
        for (std::vector<uint32_t>* px : {&black_, &image_}) {
            Surface s;
            s.row0 = reinterpret_cast<uint8_t*>(px->data());
            s.pitch = ptrdiff_t(w * 4);
            s.width = int(w);
            s.height = int(h);
            s.bpp = 32;
            auto raster = NewOffsetRasterDriver(s, int(box.left), int(box.top));
            draw(*raster);
        }
        for (size_t i = 0; i < n; ++i) {
            const bool drawn = (black_[i] & 0xFFFFFFu) != 0 || (image_[i] & 0xFFFFFFu) != 0xFFFFFFu;
            image_[i] = drawn ? (0xFF000000u | (image_[i] & 0xFFFFFFu)) : 0;
        }
        SWGDI_IMAGE img{};
        img.x = double(box.left);
        img.y = double(box.top);
        img.width = double(w);
        img.height = double(h);
        img.pixelsWide = int(w);
        img.pixelsHigh = int(h);
        img.pixels = image_.data();
        img.stride = ptrdiff_t(w * 4);
        sink_.image(sink_.context, &img);
    }

    void Warn(const Dc* dc) {
        if (warned_ || !sink_.warning) return;
        warned_ = true;
        char msg[128];
        std::snprintf(msg, sizeof msg,
                      "raster operation %d cannot be drawn as vectors; drawn as an image of its box",
                      dc->rop2);
        sink_.warning(sink_.context, msg);
    }

    SWGDI_PATH_SINK sink_;
    bool warned_ = false;
    std::vector<Cmd> path_, maskedPath_;
    std::vector<uint32_t> image_, black_;
    Stage stage_ = Stage::kNone;
    DeviceRect xorBox_{}, xorCall_{};
    bool xorIsRect_ = false;
    COLORREF xorColor_ = 0;
    DcState xorState_;
    Fill maskedFill_;
};

}  // namespace

std::unique_ptr<Driver> NewPathDriver(const SWGDI_PATH_SINK& sink) {
    return std::make_unique<PathDriver>(sink);
}

}  // namespace swgdi

using namespace swgdi;

extern "C" {

HDC swgdi_CreatePathDC(int widthPx, int heightPx, int dpiX, int dpiY, const SWGDI_PATH_SINK* sink) {
    if (widthPx <= 0 || heightPx <= 0 || dpiX <= 0 || dpiY <= 0 || !sink || !sink->move_to ||
        !sink->line_to || !sink->curve_to || !sink->close_path || !sink->stroke || !sink->fill ||
        !sink->image)
        return nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    Dc* dc = FindDc(hdc);
    if (!dc) return nullptr;
    dc->driver = NewPathDriver(*sink);
    dc->isPage = true;
    // Millimetres rounded to the nearest, never 0, as for a raster page.
    const int mmX = static_cast<int>(std::lround(widthPx * 25.4 / dpiX));
    const int mmY = static_cast<int>(std::lround(heightPx * 25.4 / dpiY));
    swgdi_SetDeviceMetrics(hdc, widthPx, heightPx, mmX < 1 ? 1 : mmX, mmY < 1 ? 1 : mmY, dpiX, dpiY);
    return hdc;
}

}  // extern "C"
