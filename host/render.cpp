// Draws a loaded overlay on a device context as a host does: every element
// through the walk; lines, boxes, areas, circles and ellipses through the
// library's drawing functions with the mapping of mapping.h; text, images
// and bitmaps through the host's callbacks.
#include <cstring>

#include "mapping.h"
#include "wx5nhost.h"

namespace wx5nh {
namespace {

class PageRenderer {
public:
    PageRenderer(HDC dc, WX5NH_OVERLAY* overlay, unsigned dpi, const WX5NH_CALLBACKS* callbacks)
        : dc_(dc), overlay_(overlay), dpi_(dpi) {
        if (callbacks != nullptr) callbacks_ = *callbacks;
        else std::memset(&callbacks_, 0, sizeof(callbacks_));
        std::memset(&mng_, 0, sizeof(mng_));
        std::memset(&group_, 0, sizeof(group_));
        std::memset(&square_, 0, sizeof(square_));
        StartMngObject(dc_, &mng_);
    }
    ~PageRenderer() { EndMngObject(dc_, &mng_); }
    PageRenderer(const PageRenderer&) = delete;
    PageRenderer& operator=(const PageRenderer&) = delete;

    static int Visit(void* self, const WX5NH_ELEMENT* e) {
        static_cast<PageRenderer*>(self)->Draw(*e);
        return 0;
    }

    size_t drawn = 0;
    size_t decoded = 0;

private:
    struct Hatch {
        HBRUSH brush = nullptr;
        HGDIOBJ previous = nullptr;
    };
    LINEREC Frame(const FO_ATTR& attr, bool edge) const;
    Hatch Fill(const FO_ATTR& attr, int density);
    bool Box(const RECT& r, const FO_ATTR& a, LINEREC& line, RECTREC& shape);
    void EndFill(const Hatch& h);
    void Draw(const WX5NH_ELEMENT& e);
    // The host's drawing of an element: true when drawn.
    bool Callback(int (*draw)(void*, HDC, const WX5NH_OVERLAY*, const WX5NH_ELEMENT*),
                  const WX5NH_ELEMENT& e) {
        return draw != nullptr && draw(callbacks_.context, dc_, overlay_, &e) == 0;
    }

    HDC dc_;
    WX5NH_OVERLAY* overlay_;
    unsigned dpi_;
    WX5NH_CALLBACKS callbacks_;
    MNG_OBJECT mng_;
    LINEREC group_;      // the line of the segment group being drawn
    bool inGroup_ = false;
    RECTREC square_;     // a box without rounded corners or open sides
};

LINEREC PageRenderer::Frame(const FO_ATTR& attr, bool edge) const {
    const int width = edge ? attr.line.edgeWidth : attr.line.lineWidth;
    LINEREC line = LineRecord(attr, dpi_, edge, width);
    if (line.cap == 0) line.cap = 1;
    return line;
}

// Prepares a fill: the colour of its ink (the pattern brushes paint their 0
// bits in the text colour) and, since the drawing functions fill with the
// current brush when they are given a management record, the hatch brush
// selected. Returns the brush to put back once the shape is drawn.
PageRenderer::Hatch PageRenderer::Fill(const FO_ATTR& attr, int density) {
    Hatch h;
    if (density == 0) return h;
    SetTextColor(dc_, ColourRef(attr.line.fillColour == 0 ? 7 : attr.line.fillColour));
    SetBkColor(dc_, RGB(255, 255, 255));
    h.brush = foGetHatchBrush(density);
    if (h.brush) h.previous = SelectObject(dc_, h.brush);
    return h;
}

void PageRenderer::EndFill(const Hatch& h) {
    if (!h.brush) return;
    SelectObject(dc_, h.previous);
    DeleteObject(h.brush);
}

// Fills and frames a box. The drawing functions draw wave lines only as
// lines, so a wave frame on a box with square corners is its fill and then
// its four sides as wave lines; on rounded corners it stays a solid frame.
bool PageRenderer::Box(const RECT& r, const FO_ATTR& a, LINEREC& line, RECTREC& shape) {
    const int hatch = FillDensity(a);
    const bool square = shape.radius[0] == 0 && shape.radius[1] == 0 && shape.radius[2] == 0 &&
                        shape.radius[3] == 0;
    if (line.kind != 10 || !square) {
        const Hatch h = Fill(a, hatch);
        const bool ok = foExtRectangle(dc_, r, hatch, hatch ? 1 : 0, &line, &shape, &mng_) != 0;
        EndFill(h);
        return ok;
    }
    bool ok = true;
    if (hatch != 0) {
        LINEREC none = line;
        none.kind = 0;
        const Hatch h = Fill(a, hatch);
        ok = foExtRectangle(dc_, r, hatch, 1, &none, &shape, &mng_) != 0;
        EndFill(h);
    }
    const POINT c[5] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom},
                        {r.left, r.top}};
    for (int i = 0; i < 4; ++i) {
        LINEREC side = line;
        ok = foExtLine(dc_, c[i].x, c[i].y, c[i + 1].x, c[i + 1].y, &side, &mng_) != 0 && ok;
    }
    return ok;
}

void PageRenderer::Draw(const WX5NH_ELEMENT& e) {
    if (e.result != 0) return;
    const FO_ATTR& a = e.attr;
    if (e.kind != 10) inGroup_ = false;
    // The call that ends a segment group carries no segment.
    if (e.kind == 10 && e.ended) {
        inGroup_ = false;
        return;
    }
    ++decoded;
    bool ok = true;
    switch (e.kind) {
        case 1: {  // a ruled line with its own width
            LINEREC line = LineRecord(a, dpi_, false, e.width);
            ok = foExtLine(dc_, e.point[0].x, e.point[0].y, e.point[1].x, e.point[1].y, &line,
                           &mng_) != 0;
            break;
        }
        case 10: {  // one segment of a group; the dash runs on through the group
            if (!inGroup_) {
                group_ = LineRecord(a, dpi_, false, a.line.lineWidth);
                inGroup_ = true;
            }
            ok = foExtLine(dc_, e.point[0].x, e.point[0].y, e.point[1].x, e.point[1].y, &group_,
                           &mng_) != 0;
            break;
        }
        case 3: {
            RECT r{e.point[0].x, e.point[0].y, e.point[1].x, e.point[1].y};
            LINEREC line = Frame(a, false);
            ok = Box(r, a, line, square_);
            break;
        }
        case 4:
        case 5:
        case 6: {
            if (e.low.x > e.high.x || e.low.y > e.high.y) break;  // an area without outline
            RECT r{e.low.x, e.low.y, e.high.x, e.high.y};
            RECTREC shape = AreaShape(a, r);
            LINEREC line = Frame(a, true);
            if (!a.line.edgeVisible) line.kind = 0;
            ok = Box(r, a, line, shape);
            break;
        }
        case 2:
        case 8: {
            const int rx = e.kind == 2 ? e.radius : e.radiusX;
            const int ry = e.kind == 2 ? e.radius : e.radiusY;
            LINEREC line = Frame(a, false);
            const int hatch = FillDensity(a);
            const Hatch h = Fill(a, hatch);
            ok = foExtEllipse(dc_, e.centre.x, e.centre.y, rx, ry, hatch, hatch ? 1 : 0, &line,
                              &mng_) != 0;
            EndFill(h);
            break;
        }
        case 7:
        case 12: ok = Callback(callbacks_.text, e); break;
        case 9: ok = Callback(callbacks_.image, e); break;
        case 11: ok = Callback(callbacks_.bitmap, e); break;
        default: ok = false; break;
    }
    if (ok) ++drawn;
}

}  // namespace
}  // namespace wx5nh

extern "C" int wx5nh_render(HDC dc, WX5NH_OVERLAY* overlay, unsigned dpi,
                            const WX5NH_CALLBACKS* callbacks, WX5NH_RENDER_RESULT* result) {
    if (result != nullptr) std::memset(result, 0, sizeof(*result));
    if (dc == nullptr || overlay == nullptr) {
        if (result != nullptr) result->stop.result = WX5NH_EINVAL;
        return WX5NH_EINVAL;
    }
    WX5NH_WALK_OPTIONS options;
    std::memset(&options, 0, sizeof(options));
    options.dpi = dpi;
    options.keepAttributes = 1;
    options.maxSteps = 10000000;
    WX5NH_STOP stop;
    int walked;
    size_t drawn, decoded;
    {
        wx5nh::PageRenderer renderer(dc, overlay, dpi, callbacks);
        walked = wx5nh_walk(overlay, &options, &wx5nh::PageRenderer::Visit, &renderer, &stop);
        drawn = renderer.drawn;
        decoded = renderer.decoded;
    }
    if (result != nullptr) {
        result->stop = stop;
        result->drawn = drawn;
        result->decoded = decoded;
    }
    return walked;
}
