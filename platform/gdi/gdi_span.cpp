// Spans and pixels per pixel format, and regions as sorted span lists.
// Input of the painting functions is already clipped and non-empty.
#include "gdi_internal.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swgdi {
namespace {

inline int Mod(int64_t a, int m) {
    int64_t r = a % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

// Spans at least this long (pixels) are filled with streaming stores that
// bypass the cache: a page is far larger than the cache, a filled span is
// not read again soon, and a streamed line is not first read from memory.
// The primitives that paint spans end with EndStreaming().
constexpr int kStreamSpan = 128;
// Rows of a rectangle are fetched this many rows before they are painted.
constexpr int kRowsAhead = 4;

// Whether a span of n pixels painted with p is streamed (see FillSolid and
// PatternSpan32): long spans that copy a colour or a pattern.
bool Streamed(const Paint& p, int n) { return n >= kStreamSpan && p.andMask == 0 && (!p.pattern || p.patCopy); }

#if defined(__SSE2__)
inline void Store4(uint32_t* d, const uint32_t* from) {
    _mm_store_si128(reinterpret_cast<__m128i*>(d), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
}

// One whole cache line (16 pixels at a 64-byte boundary) streamed.
inline void StreamLine(uint32_t* d, __m128i a, __m128i b, __m128i c, __m128i e) {
    _mm_stream_si128(reinterpret_cast<__m128i*>(d), a);
    _mm_stream_si128(reinterpret_cast<__m128i*>(d + 4), b);
    _mm_stream_si128(reinterpret_cast<__m128i*>(d + 8), c);
    _mm_stream_si128(reinterpret_cast<__m128i*>(d + 12), e);
}
#endif

void FillSolid(uint32_t* d, int n, uint32_t v) {
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
        // Aligned 16-byte stores: none splits a cache line.
        while (reinterpret_cast<uintptr_t>(d) & 15) {
            *d++ = v;
            --n;
        }
        if (n >= kStreamSpan) {
            // Whole cache lines with streaming stores (no read of lines about
            // to be overwritten); the partial lines at both ends with plain
            // stores, never mixed with streaming ones in one line.
            for (; reinterpret_cast<uintptr_t>(d) & 63; d += 4, n -= 4)
                _mm_store_si128(reinterpret_cast<__m128i*>(d), vv);
            for (; n >= 16; n -= 16, d += 16) StreamLine(d, vv, vv, vv, vv);
        }
        for (; n >= 16; n -= 16, d += 16) {
            _mm_store_si128(reinterpret_cast<__m128i*>(d), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 4), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 8), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 12), vv);
        }
        for (; n >= 4; n -= 4, d += 4) _mm_store_si128(reinterpret_cast<__m128i*>(d), vv);
    }
#endif
    for (int i = 0; i < n; ++i) d[i] = v;
}

// ---------------------------------------------------------------- 32 bpp

void SolidSpan32(const Surface& s, int y, int x0, int x1, uint32_t a, uint32_t x) {
    uint32_t* d = reinterpret_cast<uint32_t*>(s.row(y));
    if (a == 0) {
        FillSolid(d + x0, x1 - x0, x);
    } else if (a == ~0u && x == 0) {
        return;
    } else {
        for (int i = x0; i < x1; ++i) d[i] = (d[i] & a) ^ x;
    }
}

void PatternSpan32(const Surface& s, int y, int x0, int x1, const Paint& p) {
    uint32_t* d = reinterpret_cast<uint32_t*>(s.row(y));
    const int pw = p.patWidth;
    const size_t py = size_t(Mod(int64_t(y) - p.orgY, p.patHeight));
    int k = Mod(int64_t(x0) - p.orgX, pw);
    if (p.patCopy) {
        const uint32_t* trow = p.patTile.data() + py * size_t(p.tileWidth);
#if defined(__SSE2__)
        if (Streamed(p, x1 - x0)) {
            // As FillSolid, cache line by cache line from the widened row at
            // the phase k. k stays below step, a multiple of the period of at
            // least 16 pixels: 16 pixels read from k stay inside the row,
            // which holds at least 256 pixels and a period more.
            const int step = pw * ((16 + pw - 1) / pw);
            const auto advance = [&](int by) { k = k + by >= step ? k + by - step : k + by; };
            uint32_t* q = d + x0;
            int n = x1 - x0;
            for (; reinterpret_cast<uintptr_t>(q) & 15; --n, advance(1)) *q++ = trow[k];
            for (; reinterpret_cast<uintptr_t>(q) & 63; q += 4, n -= 4, advance(4)) Store4(q, trow + k);
            for (; n >= 16; n -= 16, q += 16, advance(16)) {
                const __m128i* t = reinterpret_cast<const __m128i*>(trow + k);
                StreamLine(q, _mm_loadu_si128(t), _mm_loadu_si128(t + 1), _mm_loadu_si128(t + 2),
                           _mm_loadu_si128(t + 3));
            }
            for (; n >= 4; q += 4, n -= 4, advance(4)) Store4(q, trow + k);
            for (; n > 0; --n, advance(1)) *q++ = trow[k];
            return;
        }
#endif
        // Whole runs of periods straight from the widened row.
        const int run = p.tileWidth - pw;
        const uint32_t* tile = trow + k;
        int i = x0;
        for (; i + run <= x1; i += run) std::memcpy(d + i, tile, size_t(run) * 4);
        if (i < x1) std::memcpy(d + i, tile, size_t(x1 - i) * 4);
        return;
    }
    const size_t rowBase = py * size_t(pw);
    const uint32_t* pa = p.patAnd.data() + rowBase;
    const uint32_t* px = p.patXor.data() + rowBase;
    for (int i = x0; i < x1; ++i) {
        d[i] = (d[i] & pa[k]) ^ px[k];
        if (++k == pw) k = 0;
    }
}

void Plot32(const Surface& s, int x, int y, uint32_t a, uint32_t xr) {
    uint32_t* q = reinterpret_cast<uint32_t*>(s.row(y)) + x;
    *q = a ? (*q & a) ^ xr : xr;  // copies need no read
}

uint32_t Read32(const Surface& s, int x, int y) { return reinterpret_cast<const uint32_t*>(s.row(y))[x]; }

void Write32(const Surface& s, int x, int y, uint32_t pixel) {
    reinterpret_cast<uint32_t*>(s.row(y))[x] = pixel;
}

// ---------------------------------------------------------------- 1 bpp

inline void Apply1(uint8_t* d, int i, uint32_t a, uint32_t x) {
    const uint8_t bit = static_cast<uint8_t>(0x80u >> (i & 7));
    uint32_t v = (d[i >> 3] & bit) ? 1u : 0u;
    v = ((v & a) ^ x) & 1u;
    d[i >> 3] = static_cast<uint8_t>(v ? (d[i >> 3] | bit) : (d[i >> 3] & ~bit));
}

// Applies D = (D & am) ^ xm to pixels [x0, x1) of a row a byte at a time,
// the end bytes merged through their bit masks (most significant bit
// leftmost). The masks hold one bit per pixel of any byte.
void Bytes1(uint8_t* d, int x0, int x1, uint8_t am, uint8_t xm) {
    auto apply = [am, xm](uint8_t* p, uint8_t m) {
        *p = static_cast<uint8_t>((*p & ~m) | (((*p & am) ^ xm) & m));
    };
    const int b0 = x0 >> 3, b1 = (x1 - 1) >> 3;
    const uint8_t first = static_cast<uint8_t>(0xFFu >> (x0 & 7));
    const uint8_t last = static_cast<uint8_t>(0xFFu << (7 - ((x1 - 1) & 7)));
    if (b0 == b1) {
        apply(d + b0, first & last);
        return;
    }
    apply(d + b0, first);
    if (am == 0) {
        std::memset(d + b0 + 1, xm, size_t(b1 - b0 - 1));
    } else if (am != 0xFF || xm != 0) {
        for (int i = b0 + 1; i < b1; ++i) d[i] = static_cast<uint8_t>((d[i] & am) ^ xm);
    }
    apply(d + b1, last);
}

// The ROP2 masks of one bit spread to all eight.
void SolidSpan1(const Surface& s, int y, int x0, int x1, uint32_t a, uint32_t x) {
    Bytes1(s.row(y), x0, x1, (a & 1u) ? 0xFF : 0x00, (x & 1u) ? 0xFF : 0x00);
}

void PatternSpan1(const Surface& s, int y, int x0, int x1, const Paint& p) {
    uint8_t* d = s.row(y);
    const size_t row = size_t(Mod(int64_t(y) - p.orgY, p.patHeight)) * size_t(p.patWidth);
    const uint32_t* pa = p.patAnd.data() + row;
    const uint32_t* px = p.patXor.data() + row;
    if (8 % p.patWidth != 0) {
        int k = Mod(int64_t(x0) - p.orgX, p.patWidth);
        for (int i = x0; i < x1; ++i) {
            Apply1(d, i, pa[k], px[k]);
            if (++k == p.patWidth) k = 0;
        }
        return;
    }
    // A pattern whose width divides eight gives every byte of the row the
    // same eight pixels: their masks are built once per span.
    const int k0 = Mod(int64_t(x0 >> 3) * 8 - p.orgX, p.patWidth);
    uint8_t am = 0, xm = 0;
    for (int j = 0; j < 8; ++j) {
        const int k = (k0 + j) % p.patWidth;
        am = static_cast<uint8_t>(am | ((pa[k] & 1u) << (7 - j)));
        xm = static_cast<uint8_t>(xm | ((px[k] & 1u) << (7 - j)));
    }
    Bytes1(d, x0, x1, am, xm);
}

void Plot1(const Surface& s, int x, int y, uint32_t a, uint32_t xr) { Apply1(s.row(y), x, a, xr); }

uint32_t Read1(const Surface& s, int x, int y) { return (s.row(y)[x >> 3] >> (7 - (x & 7))) & 1u; }

void Write1(const Surface& s, int x, int y, uint32_t pixel) { Apply1(s.row(y), x, 0, pixel); }

const PixelFormat kFormat32{32, SolidSpan32, PatternSpan32, Plot32, Read32, Write32, SolidLine32};
const PixelFormat kFormat1{1, SolidSpan1, PatternSpan1, Plot1, Read1, Write1, SolidLine1};

}  // namespace

void EndStreaming() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

const PixelFormat* FormatFor(int bpp) { return bpp == 1 ? &kFormat1 : &kFormat32; }

void FinishPattern(Paint* p) {
    p->patCopy = std::all_of(p->patAnd.begin(), p->patAnd.end(), [](uint32_t a) { return a == 0; });
    if (!p->patCopy) return;
    // Rows of at least 256 pixels of whole periods, plus one period so that a
    // run may start at any phase.
    const size_t w = size_t(p->patWidth);
    const size_t periods = (256 + w - 1) / w + 1;
    p->tileWidth = int(periods * w);
    p->patTile.resize(size_t(p->patHeight) * periods * w);
    for (size_t y = 0; y < size_t(p->patHeight); ++y)
        for (size_t x = 0; x < periods * w; ++x)
            p->patTile[y * periods * w + x] = p->patXor[y * w + x % w];
}

void PaintSpan(const Surface& s, int y, int x0, int x1, const Paint& p) {
    if (p.none) return;
    if (p.pattern)
        s.format->patternSpan(s, y, x0, x1, p);
    else
        s.format->solidSpan(s, y, x0, x1, p.andMask, p.xorMask);
}

void PaintPixel(const Surface& s, int x, int y, const Paint& p) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    PaintSpan(s, y, x, x + 1, p);
}

void PaintRect(const Surface& s, LONG left, LONG top, LONG right, LONG bottom, const Paint& p) {
    if (p.none) return;
    int l = std::max<LONG>(left, 0), t = std::max<LONG>(top, 0);
    int r = std::min<LONG>(right, s.width), b = std::min<LONG>(bottom, s.height);
    if (l >= r || t >= b) return;
    // Whole rows of an unpadded top-down bitmap lie end to end: one span
    // covers them all (a page cleared in one pass, one fence at the end).
    if (l == 0 && r == s.width && !p.pattern && s.pitch * 8 == int64_t(s.width) * s.format->bitsPerPixel &&
        int64_t(s.width) * (b - t) <= INT32_MAX) {
        s.format->solidSpan(s, t, 0, s.width * (b - t), p.andMask, p.xorMask);
        EndStreaming();
        return;
    }
    // Rows lie a page apart, too far for the hardware to guess: ask for the
    // cache lines of a row kRowsAhead rows ahead while this one is painted
    // (not for rows long enough to be streamed, which are not read).
    const int64_t rowBytes = int64_t(r - l) * s.format->bitsPerPixel / 8;
    const bool fetch =
        rowBytes >= 64 && (s.format->bitsPerPixel == 32 ? !Streamed(p, r - l) : p.pattern || p.andMask);
    for (int y = t; y < b; ++y) {
        if (fetch && y + kRowsAhead < b) {
            const uint8_t* ahead = s.row(y + kRowsAhead) + int64_t(l) * s.format->bitsPerPixel / 8;
            for (int64_t o = 0; o < rowBytes; o += 64) __builtin_prefetch(ahead + o, 1);
        }
        PaintSpan(s, y, l, r, p);
    }
    EndStreaming();
}

uint32_t ReadPixel(const Surface& s, int x, int y) { return s.format->read(s, x, y); }

void WritePixel(const Surface& s, int x, int y, uint32_t pixel) { s.format->write(s, x, y, pixel); }

// ---------------------------------------------------------------- regions

Region::Region(int top, int bottom, int width) { Reset(top, bottom, width); }

void Region::Reset(int top, int bottom, int width) {
    top_ = top;
    bottom_ = std::max(top, bottom);
    width_ = width;
    spans_.clear();
    lastInRow_.assign(size_t(bottom_ - top_), kNoSpan);
    merging_ = true;
}

// Spans are kept inside [-1, width + 1] so that coordinates far off the page
// stay small; the extra pixel on each side never reaches the surface.
void Region::Add(int64_t y, int64_t x0, int64_t x1) {
    if (y < top_ || y >= bottom_) return;
    x0 = std::max<int64_t>(x0, -1);
    x1 = std::min<int64_t>(x1, int64_t(width_) + 1);
    if (x0 >= x1) return;
    if (merging_) {
        // A span that meets the row's last one widens it: shapes built of
        // many overlapping pieces (a wide pen's discs along an outline) keep
        // few spans to sort.
        uint32_t& last = lastInRow_[size_t(y - top_)];
        if (last != kNoSpan) {
            Span& s = spans_[last];
            if (x0 <= s.x1 && s.x0 <= x1) {
                s.x0 = std::min(s.x0, int(x0));
                s.x1 = std::max(s.x1, int(x1));
                return;
            }
        }
        if (spans_.size() < kNoSpan) last = static_cast<uint32_t>(spans_.size());
    }
    spans_.push_back({int(y), int(x0), int(x1)});
}

void Region::AddRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    int64_t t = std::max<int64_t>(top, top_), b = std::min<int64_t>(bottom, bottom_);
    for (int64_t y = t; y < b; ++y) Add(y, left, right);
}

void Region::Normalize() {
    merging_ = false;  // spans move: the rows' last spans are no longer known
    if (spans_.size() < 2) return;
    // Shapes mostly add their spans row by row, already in order.
    const auto before = [](const Span& a, const Span& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    };
    if (!std::is_sorted(spans_.begin(), spans_.end(), before)) {
        // Every span lies in [top_, bottom_): a counting pass puts them in
        // row order, then each row (a few spans) is sorted by its start.
        rowStart_.assign(size_t(bottom_ - top_) + 1, 0);
        for (const Span& sp : spans_) ++rowStart_[size_t(sp.y - top_) + 1];
        for (size_t r = 1; r < rowStart_.size(); ++r) rowStart_[r] += rowStart_[r - 1];
        spare_.resize(spans_.size());
        for (const Span& sp : spans_) spare_[rowStart_[size_t(sp.y - top_)]++] = sp;
        spans_.swap(spare_);
        size_t from = 0;
        for (size_t r = 0; r + 1 < rowStart_.size(); ++r) {
            const size_t to = rowStart_[r];
            if (to - from > 1) std::sort(spans_.begin() + from, spans_.begin() + to, before);
            from = to;
        }
    }
    size_t out = 0;
    for (size_t i = 1; i < spans_.size(); ++i) {
        Span& last = spans_[out];
        if (spans_[i].y == last.y && spans_[i].x0 <= last.x1)
            last.x1 = std::max(last.x1, spans_[i].x1);
        else
            spans_[++out] = spans_[i];
    }
    spans_.resize(out + 1);
}

void Region::Subtract(const Region& other) {
    merging_ = false;
    if (spans_.empty() || other.spans_.empty()) return;
    std::vector<Span>& result = spare_;
    result.clear();
    const std::vector<Span>& cut = other.spans_;
    size_t j = 0;
    for (const Span& s : spans_) {
        while (j < cut.size() && (cut[j].y < s.y || (cut[j].y == s.y && cut[j].x1 <= s.x0))) ++j;
        int x = s.x0;
        for (size_t k = j; k < cut.size() && cut[k].y == s.y && cut[k].x0 < s.x1; ++k) {
            if (cut[k].x0 > x) result.push_back({s.y, x, cut[k].x0});
            x = std::max(x, cut[k].x1);
        }
        if (x < s.x1) result.push_back({s.y, x, s.x1});
    }
    spans_.swap(result);
}

void Region::Paint(const Surface& s, const ::swgdi::Paint& p) const {
    if (p.none) return;
    for (size_t i = 0; i < spans_.size(); ++i) {
        const Span& sp = spans_[i];
        if (sp.y < 0 || sp.y >= s.height) continue;
        int x0 = std::max(sp.x0, 0), x1 = std::min(sp.x1, s.width);
        // As in PaintRect: fetch the lines of a span two spans ahead; of a
        // span that will be streamed only its two end lines, which take
        // plain stores.
        if (i + 2 < spans_.size() && s.format->bitsPerPixel == 32) {
            const Span& a = spans_[i + 2];
            int a0 = std::max(a.x0, 0), a1 = std::min(a.x1, s.width);
            if (a.y >= 0 && a.y < s.height && a0 < a1) {
                const uint8_t* ahead = s.row(a.y) + int64_t(a0) * 4;
                const int64_t bytes = int64_t(a1 - a0) * 4;
                if (Streamed(p, a1 - a0)) {
                    __builtin_prefetch(ahead, 1);
                    __builtin_prefetch(ahead + bytes - 1, 1);
                } else {
                    for (int64_t o = 0; o < bytes; o += 64) __builtin_prefetch(ahead + o, 1);
                }
            }
        }
        if (x0 < x1) PaintSpan(s, sp.y, x0, x1, p);
    }
    EndStreaming();
}

bool Region::Contains(int x, int y) const {
    auto it = std::lower_bound(spans_.begin(), spans_.end(), y,
                               [](const Span& s, int yy) { return s.y < yy; });
    for (; it != spans_.end() && it->y == y; ++it)
        if (x >= it->x0 && x < it->x1) return true;
    return false;
}

}  // namespace swgdi
