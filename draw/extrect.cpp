// Extended rectangle drawing: an optional pattern fill, then a frame in one
// of the overlay line kinds with each corner rounded to its own radius and
// up to two adjacent sides left open. The frame is walked clockwise on the
// device, side then corner arc, with one work record, so a dash pattern runs
// on from the first side drawn through every corner into the next side.
//
// Left, top, right and bottom are the device's view. sx and sy give the
// direction of the logical axes on the device: a logical step inward by d
// along x is +d * sx at the left edge and -d * sx at the right edge.
#include <cstdint>

#include "draw/rect_internal.h"

namespace wx5n {
namespace {

enum Side { kTop = 1, kRight = 2, kBottom = 3, kLeft = 4 };
enum Corner { kTopLeft = 0, kTopRight = 1, kBottomRight = 2, kBottomLeft = 3 };

// The accepted open-sides codes: first side drawn and number of sides.
struct OpenSidesEntry {
    unsigned int code;
    int first;
    int count;
};
constexpr OpenSidesEntry kOpenSides[] = {
    {0, kTop, 4},     {1, kRight, 3},  {16, kRight, 3},  {2, kBottom, 3},
    {32, kBottom, 3}, {3, kLeft, 3},   {48, kLeft, 3},   {4, kTop, 3},
    {64, kTop, 3},    {18, kBottom, 2}, {33, kBottom, 2}, {20, kRight, 2},
    {65, kRight, 2},  {35, kLeft, 2},  {50, kLeft, 2},   {52, kTop, 2},
    {67, kTop, 2},
};

bool IsOpen(unsigned int openSides, int side) {
    return (openSides & 0xF) == static_cast<unsigned int>(side) ||
           ((openSides >> 4) & 0xF) == static_cast<unsigned int>(side);
}

struct Pt {
    int64_t x, y;
};

// The working values of one single-line rectangle.
struct Frame {
    int sx, sy;
    int64_t L, T, R, B;
    int64_t pix, W, half, hw, pixHalf;
    int64_t nearExt, farExt;
    int cap;
    int64_t radius[4];  // by Corner
};

// Geometry of one side walked clockwise (device view). `along` is a logical
// step toward the side's end, `inward` a step across it into the rectangle.
struct SideGeometry {
    Pt start, end;
    Pt along, inward;
    int dirx, diry;    // well-ordered segments grow by these signs
    int startCorner, endCorner;
    int quadrant;      // of the arc at the end corner
    bool startsOnNearEdge;  // start on the left or top edge (top, right)
};

SideGeometry GeometryOf(const Frame& f, int side) {
    const int sx = f.sx, sy = f.sy;
    switch (side) {
        case kTop:
            return {{f.L, f.T}, {f.R, f.T}, {sx, 0}, {0, sy}, sx, sy,
                    kTopLeft, kTopRight, 2, true};
        case kRight:
            return {{f.R, f.T}, {f.R, f.B}, {0, sy}, {-sx, 0}, sx, sy,
                    kTopRight, kBottomRight, 3, true};
        case kBottom:
            return {{f.R, f.B}, {f.L, f.B}, {-sx, 0}, {0, -sy}, -sx, sy,
                    kBottomRight, kBottomLeft, 4, false};
        default:
            return {{f.L, f.B}, {f.L, f.T}, {0, -sy}, {sx, 0}, sx, -sy,
                    kBottomLeft, kTopLeft, 1, false};
    }
}

void Move(Pt* p, const Pt& dir, int64_t d) {
    p->x += dir.x * d;
    p->y += dir.y * d;
}

// Moves an arc centre half a device pixel toward the inside of the
// rectangle where snapping the arc's outer reference point moved it, so
// that the arc meets the pixel-snapped sides. The top-right arc takes the
// bottom-right arc's reference point and compares x the other way round;
// that asymmetry is part of the drawing.
void AlignArcCentre(HDC hdc, const Frame& f, int quadrant, int64_t r, Pt* c) {
    const int sx = f.sx, sy = f.sy;
    Pt p = *c;
    switch (quadrant) {
        case 2:  // top-right
        case 3:  // bottom-right
            p = {c->x + r * sx, c->y + r * sy};
            break;
        case 4:  // bottom-left
            p = {c->x - r * sx, c->y + r * sy};
            break;
        default:  // top-left
            p = {c->x - r * sx, c->y - r * sy};
            break;
    }
    const POINT pp{ClampLong(p.x), ClampLong(p.y)};
    int px = 0, py = 0;
    GetPixelSize(hdc, &px, &py, &pp);
    POINT q = pp;
    RoundLinePosition(hdc, &q);
    const int64_t qx = int64_t{q.x} * sx, qy = int64_t{q.y} * sy;
    const int64_t ppx = int64_t{pp.x} * sx, ppy = int64_t{pp.y} * sy;
    const int64_t hx = px / 2, hy = py / 2;
    switch (quadrant) {
        case 2:
            if (qx < ppx) c->x -= hx * sx;
            if (qy > ppy) c->y += hy * sy;
            break;
        case 3:
            if (qx > ppx) c->x -= hx * sx;
            if (qy > ppy) c->y -= hy * sy;
            break;
        case 4:
            if (qx > ppx) c->x += hx * sx;
            if (qy > ppy) c->y -= hy * sy;
            break;
        default:
            if (qx > ppx) c->x += hx * sx;
            if (qy > ppy) c->y += hy * sy;
            break;
    }
}

// Distance across the rectangle between the edges joined by a side.
int64_t AcrossOf(const Frame& f, int side) {
    return side == kTop || side == kBottom ? (f.B - f.T) * f.sy : (f.R - f.L) * f.sx;
}

// Draws one side and the arc at its end corner; 0 on failure.
int DrawSide(HDC hdc, const Frame& f, int side, LINEREC* work, MNG_OBJECT* mng) {
    const SideGeometry g = GeometryOf(f, side);
    Pt start = g.start, end = g.end;

    // Start corner. In a rectangle too narrow for the radii and the line,
    // the start is pulled in first.
    const int64_t rS = f.radius[g.startCorner];
    if (f.cap != kModePen) {
        const int64_t rO = f.radius[(g.startCorner + 3) % 4];
        if (AcrossOf(f, side) < rO - rS + f.hw) Move(&start, g.along, f.hw - rS);
    }
    if (rS != 0) {
        Move(&start, g.along, rS);
        // Overlap the arc by half a pixel.
        if (f.cap != kModePen) Move(&start, g.along, -f.pixHalf);
    } else {
        Move(&start, g.along, -(g.startsOnNearEdge ? f.nearExt : f.farExt));
        if (work->dashCarry != 0) work->dashCarry = ClampLong(int64_t{work->dashCarry} + f.hw);
    }

    // End corner.
    const int64_t rE = f.radius[g.endCorner];
    if (f.cap != kModePen) {
        const int64_t rO = f.radius[(g.endCorner + 1) % 4];
        if (AcrossOf(f, side) < rO - rE + f.hw) Move(&end, g.along, -(f.hw - rE));
    }
    Pt centre{0, 0};
    if (rE == 0) {
        Move(&end, g.along, g.startsOnNearEdge ? f.farExt : f.nearExt);
    } else {
        Move(&end, g.along, -rE);
        centre = end;
        Move(&centre, g.inward, rE);
        AlignArcCentre(hdc, f, g.quadrant, rE, &centre);
    }

    // A segment that the radii have made empty or reversed is skipped; the
    // arc is still drawn.
    const bool same = start.x == end.x && start.y == end.y;
    const bool ordered =
        start.x * g.dirx <= end.x * g.dirx && start.y * g.diry <= end.y * g.diry;
    if (!same && ordered) {
        if (DrawAxisLine(hdc, ClampLong(start.x), ClampLong(start.y), ClampLong(end.x),
                         ClampLong(end.y), work, mng) == 0)
            return 0;
    }
    if (rE != 0) {
        if (DrawCornerArc(hdc, ClampLong(centre.x), ClampLong(centre.y), static_cast<int>(rE),
                          g.quadrant, work, mng) == 0)
            return 0;
    }
    return 1;
}

}  // namespace

// Long because it is the whole single frame: working values, fill, the
// open-sides table, the work record and the walk round the sides.
int ExtRectangleSingle(HDC hdc, RECT rect, int hatch, int fillFlags, LINEREC* line,
                       RECTREC* shape, MNG_OBJECT* mng) {
    if (!shape || !line) return 0;

    Frame f;
    f.pix = GetPixToLog(hdc);
    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    f.sx = sign.x;
    f.sy = sign.y;
    NormaliseRect(rect, f.sx, f.sy, &f.L, &f.T, &f.R, &f.B);
    f.W = RoundLineWidth(hdc, line->width);
    f.half = f.W / 2;
    // 1 flat, 2 square, 3 round; a line of one device pixel or less, and a
    // cap outside 1 to 3, is drawn with a pen like the line drawing does.
    f.cap = LineModeOf(line->cap, ClampLong(f.W), ClampLong(f.pix));
    if (f.cap == kModePen) {
        f.nearExt = f.farExt = 0;
    } else {
        f.nearExt = f.half;
        f.farExt = int64_t{line->width} - f.half;
    }
    f.hw = line->width / 2;
    f.pixHalf = f.pix / 2;
    for (int i = 0; i < 4; ++i) f.radius[i] = shape->radius[i];

    // Fill first, over the rectangle as given (before any pull-in).
    if (hatch != 0) {
        HBRUSH hatchBrush = nullptr;
        HGDIOBJ oldBrush = nullptr;
        if (!mng) {
            hatchBrush = foGetHatchBrush(hatch);
            if (hatchBrush) oldBrush = SelectObject(hdc, hatchBrush);
        }
        const RECT box{ClampLong(f.L), ClampLong(f.T), ClampLong(f.R), ClampLong(f.B)};
        FillRoundRect(hdc, box, shape->radius[kTopLeft], shape->radius[kTopRight],
                      shape->radius[kBottomRight], shape->radius[kBottomLeft], fillFlags & 1,
                      mng);
        if (hatchBrush) {
            SelectObject(hdc, oldBrush);
            DeleteObject(hatchBrush);
        }
    }
    if (line->kind == kKindNone) return 1;

    const unsigned int open = shape->openSides;
    const OpenSidesEntry* entry = nullptr;
    for (const OpenSidesEntry& e : kOpenSides) {
        if (e.code == open) {
            entry = &e;
            break;
        }
    }
    if (!entry) return 0;

    // The work record every side and arc shares. Square ends become flat:
    // the corners are covered by the extensions below instead.
    LINEREC work = *line;
    work.width = static_cast<int>(f.W);
    work.cap = f.cap == kModeSquare ? kModeFlat : f.cap;
    work.dashCarry = 0;
    work.dashIndex = 0;
    work.dashCount = foGetLineStyle(hdc, work.kind, work.width, work.dashPattern, work.dashCount,
                                    work.dashPattern, 6, work.unitsPerInch);
    if (work.dashCount == -1) return 0;

    // Flat ends at an open side end on its edge: pull the edge in by half
    // the width so that the neighbouring sides' extensions end there.
    if (f.cap == kModeFlat) {
        if (IsOpen(open, kTop)) f.T += f.half * f.sy;
        if (IsOpen(open, kLeft)) f.L += f.half * f.sx;
        if (IsOpen(open, kRight)) f.R -= f.half * f.sx;
        if (IsOpen(open, kBottom)) f.B -= f.half * f.sy;
    }

    int side = entry->first;
    for (int i = 0; i < entry->count; ++i) {
        if (DrawSide(hdc, f, side, &work, mng) == 0) return 0;
        side = side == kLeft ? kTop : side + 1;
    }
    return 1;
}

}  // namespace wx5n

using namespace wx5n;

// A double line three or more device pixels wide becomes two solid frames,
// each a third of the width, with a third between them: the outer frame's
// centre a third outside the given rectangle, the inner one's a third
// inside, and the corner radii grown and shrunk to match.
extern "C" FOAPI int FOCALL foExtRectangle(HDC hdc, RECT rect, int hatch, int fillFlags,
                                           LINEREC* line, RECTREC* shape, MNG_OBJECT* mng) {
    if (!hdc || !line || !shape) return 0;
    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    int64_t L, T, R, B;
    NormaliseRect(rect, sign.x, sign.y, &L, &T, &R, &B);
    const RECT norm{ClampLong(L), ClampLong(T), ClampLong(R), ClampLong(B)};

    const int64_t devW = DoubleLinePixels(hdc, *line, false);
    if (!SplitsDouble(devW)) {
        LINEREC single = *line;
        if (single.kind == kKindDouble) single.kind = kKindSolid;
        return ExtRectangleSingle(hdc, norm, hatch, fillFlags, &single, shape, mng) == 1 ? 1 : 0;
    }

    const int64_t t = ThinLinePixels(devW);
    const int64_t t2 = (2 * devW) / 3;
    POINT d[2] = {{norm.left, norm.top}, {norm.right, norm.bottom}};
    LPtoDP(hdc, d, 2);
    const int64_t wL = LogicalLengthOf(hdc, POINT{0, 0}, t, false);

    // Outer (o) and inner (i) frames in device pixels: left, top, right,
    // bottom. An open side keeps both at the given edge, or moves them out
    // by the overhang of a non-flat end.
    const int64_t dev[4] = {d[0].x, d[0].y, d[1].x, d[1].y};
    const int64_t outward[4] = {-1, -1, 1, 1};
    const int sideOf[4] = {kLeft, kTop, kRight, kBottom};
    const int64_t k = devW / 2 - devW / 6;
    int64_t o[4], in[4];
    for (int e = 0; e < 4; ++e) {
        if (!IsOpen(shape->openSides, sideOf[e])) {
            o[e] = dev[e] + outward[e] * t;
            in[e] = o[e] - outward[e] * t2;
        } else if (line->cap != 1) {
            o[e] = in[e] = dev[e] + outward[e] * k;
        } else {
            o[e] = in[e] = dev[e];
        }
    }
    POINT frames[4] = {{ClampLong(o[0]), ClampLong(o[1])},
                       {ClampLong(o[2]), ClampLong(o[3])},
                       {ClampLong(in[0]), ClampLong(in[1])},
                       {ClampLong(in[2]), ClampLong(in[3])}};
    DPtoLP(hdc, frames, 4);

    if (hatch != 0) {
        LINEREC fill = *line;
        fill.kind = kKindNone;
        if (ExtRectangleSingle(hdc, rect, hatch, fillFlags, &fill, shape, mng) == 0) return 0;
    }

    LINEREC frameLine = *line;
    frameLine.kind = kKindSolid;
    frameLine.width = ClampLong(wL);
    RECTREC outer = *shape;
    RECTREC inner = *shape;
    for (int i = 0; i < 4; ++i) {
        const int64_t r = shape->radius[i];
        // A grown radius saturates at the field's 16 bits rather than
        // wrapping to a small one.
        const int64_t grown = r + wL > 0xFFFF ? 0xFFFF : r + wL;
        outer.radius[i] = static_cast<unsigned short>(r == 0 ? 0 : grown);
        inner.radius[i] = static_cast<unsigned short>(r >= wL ? r - wL : 0);
    }
    const RECT outerRect{frames[0].x, frames[0].y, frames[1].x, frames[1].y};
    const RECT innerRect{frames[2].x, frames[2].y, frames[3].x, frames[3].y};
    if (ExtRectangleSingle(hdc, outerRect, 0, fillFlags, &frameLine, &outer, mng) == 0) return 0;
    LINEREC innerLine = *line;
    innerLine.kind = kKindSolid;
    innerLine.width = ClampLong(wL);
    if (ExtRectangleSingle(hdc, innerRect, 0, fillFlags, &innerLine, &inner, mng) != 1) return 0;
    return 1;
}
