// The element walk of a host over a loaded overlay: find the first element
// record, ask foreadkindget for the kind of the next element, call that
// kind's decoder, repeat until END PICTURE. The ovl tool walks overlays with
// it, and so do the tests, the fuzz harnesses and the benchmarks.
#ifndef OVL_HOST_WALK_H
#define OVL_HOST_WALK_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "include/wx5novl1.h"

namespace hostwalk {

inline uint16_t BE16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// Length of the record at p by its own header and partitions (0 when it
// runs past left): how a host steps over an image record that fordimg leaves
// the cursor on.
inline size_t OwnLength(const unsigned char* p, size_t left) {
    if (left < 2) return 0;
    const uint16_t h = BE16(p);
    if ((h & 0x1F) != 0x1F) {
        const size_t n = 2 + (h & 0x1F);
        return n <= left ? n : 0;
    }
    size_t pos = 2;
    uint16_t word;
    do {
        if (left - pos < 2 || pos > left) return 0;
        word = BE16(p + pos);
        pos += 2 + (word & 0x7FFF);
        if (pos > left) return 0;
    } while (word & 0x8000);
    return pos;
}

// Offset of the first element record of a loaded kind 1 image (after the
// preamble's NO-OP record), or 0 when the image does not lead to one. The
// font list of the preamble, when there is one, is read into *fonts.
inline size_t FirstElement(const unsigned char* image, size_t loaded, unsigned dataFormat,
                           FO_FONTBLOCK* fonts) {
    const size_t block = 384;
    size_t p = block + 776;
    if (p + 4 > loaded) return 0;
    p += 8 + BE16(image + p + 2);  // first descriptor
    if (p + 4 > loaded) return 0;
    p += 4 + BE16(image + p + 2);  // second descriptor
    p += dataFormat == 3 ? 6 : 4;  // data marker area
    while (p < loaded) {
        unsigned short cls = 0;
        int len = 0;
        const int framed = foreadclassid(image + p, static_cast<int>(loaded - p), &cls, &len);
        if (framed == FO_MARKER) {
            p += 4;
            continue;
        }
        if (framed != 0 || len <= 0) return 0;
        if (cls == 0x11A0 && fonts != nullptr) foreadfontdef(image + p, len, fonts, nullptr);
        p += static_cast<size_t>(len);
        if (cls == 0x0000) return p;
    }
    return 0;
}

// Offset of the first element record of a loaded image of either kind: for
// kind 2 the records follow the id table (8 bytes an id from offset 264).
inline size_t FirstElementOfKind(const unsigned char* image, size_t loaded, int kind,
                                 unsigned dataFormat, FO_FONTBLOCK* fonts) {
    if (kind == 2) {
        if (loaded < 264) return 0;
        const size_t at = 264 + 8 * static_cast<size_t>(image[263]);
        return at <= loaded ? at : 0;
    }
    return FirstElement(image, loaded, dataFormat, fonts);
}

// Everything one decoder call gave.
struct Decoded {
    int kind = 0;
    int result = 0;
    FO_ATTR attr{};
    FO_POINT point[3]{};
    unsigned short lineValue = 0;
    unsigned char segment = 0;
    unsigned char width = 0;
    unsigned int flagsHigh = 0;
    unsigned int flagsLow = 0;
    unsigned char started = 0;
    unsigned char ended = 0;
    FO_POINT centre{};
    unsigned short radius = 0;
    unsigned short radiusX = 0;
    unsigned short radiusY = 0;
    FO_POINT low{};
    FO_POINT high{};
    FO_POINT textPosition{};
    FO_POINT aux1{};
    FO_POINT aux2{};
    const unsigned char* text = nullptr;
    unsigned char unitTenths = 0;
    unsigned char unitHalf = 0;
    FO_POINT imagePosition{};
    const unsigned char* imageRecord = nullptr;
    unsigned short imageSize = 0;
    unsigned short imageRows = 0;
    FO_BMPINFO bitmap{};
    FO_POINT bitmapCorner[2]{};
    const unsigned char* cursorAfter = nullptr;  // the cursor once the decoder returned
};

struct WalkSetup {
    unsigned dpi = 240;
    FO_WORK* work = nullptr;
    const FO_FONTBLOCK* fonts = nullptr;
    unsigned char textMode = 1;
    unsigned short textEncoding = 3;
    size_t maxSteps = SIZE_MAX;
    // Attributes carry from one element to the next, as a picture's
    // attributes do; otherwise every element starts from a cleared block.
    bool keepAttributes = false;
};

// Result of a walk: 0 when END PICTURE was reached; otherwise the failing
// result (kind, decoder or host step), 1 when the step bound ran out, or
// kBrokenCursor when a decoder left the cursor outside the data or out of
// step with the remaining count.
constexpr int kBrokenCursor = 2;
struct WalkResult {
    int result = 0;
    size_t elements = 0;
    size_t steps = 0;
    size_t offset = 0;  // where the walk stopped, from its start
};

// Walks the element records from cursor, calling visit(const Decoded&) after
// every decoder call. Every call that returns 0 must move the cursor (the
// host steps over image records itself); a walk that would stand still ends
// with -1.
inline WalkResult Stop(WalkResult w, ptrdiff_t offset) {
    w.offset = offset > 0 ? static_cast<size_t>(offset) : 0;
    return w;
}

template <class Visit>
WalkResult Walk(unsigned char* cursor, unsigned int remaining, const WalkSetup& setup,
                Visit&& visit) {
    WalkResult w;
    // Text elements see the block through its text view, the others through
    // the line view; the two views share bytes, so each kind of element keeps
    // a block of its own when attributes carry over.
    FO_ATTR graphicAttr;
    FO_ATTR textAttr;
    std::memset(&graphicAttr, 0, sizeof(graphicAttr));
    std::memset(&textAttr, 0, sizeof(textAttr));
    const unsigned char* const start = cursor;
    const unsigned char* const end = cursor + remaining;
    auto cursorSound = [&] { return cursor >= start && cursor <= end && cursor + remaining == end; };
    while (w.steps < setup.maxSteps) {
        ++w.steps;
        const int kind = foreadkindget(cursor, static_cast<int>(remaining));
        if (kind == FO_MARKER) {
            cursor += 4;
            remaining -= 4;
            continue;
        }
        if (kind < 0) {
            w.result = kind;
            return Stop(w, cursor - start);
        }
        if (kind == 0) return Stop(w, cursor - start);
        unsigned char* const before = cursor;
        Decoded d;
        d.kind = kind;
        FO_ATTR& attr = (kind == 7 || kind == 12) ? textAttr : graphicAttr;
        if (!setup.keepAttributes) std::memset(&attr, 0, sizeof(attr));
        switch (kind) {
            case 1: {
                FO_LINEOUT out = {&d.point[0], &d.point[1], &d.point[2], &d.lineValue,
                                  nullptr,     &d.width,    nullptr,     nullptr};
                d.result = fordline(&cursor, &remaining, &attr, setup.dpi, &out, setup.work);
                break;
            }
            case 2:
                d.result = fordcircle(&cursor, &remaining, &attr, setup.dpi, &d.centre, &d.radius,
                                      setup.work);
                break;
            case 3: {
                FO_LINEOUT out = {&d.point[0], &d.point[1], nullptr, nullptr,
                                  nullptr,     &d.width,    nullptr, nullptr};
                d.result = fordrect(&cursor, &remaining, &attr, setup.dpi, &out, setup.work);
                break;
            }
            case 4:
            case 5:
            case 6:
                d.result = fordarchatch(&cursor, &remaining, &attr, setup.dpi, &d.low, &d.high,
                                        setup.work);
                break;
            case 7:
            case 12: {
                FO_TEXTOUT out{};
                out.position = &d.textPosition;
                out.fontNames = setup.fonts != nullptr ? setup.fonts->names : nullptr;
                out.fontNameLength = setup.fonts != nullptr ? setup.fonts->nameLength : 0;
                out.textMode = setup.textMode;
                out.textEncoding = setup.textEncoding;
                out.auxPoint1 = &d.aux1;
                out.auxPoint2 = &d.aux2;
                int avail = static_cast<int>(remaining);
                d.result = fordcharacter(&cursor, &avail, &attr, setup.dpi, &out, setup.work);
                remaining = static_cast<unsigned int>(avail);
                d.text = out.text;
                d.unitTenths = out.unitTenths;
                d.unitHalf = out.unitHalf;
                break;
            }
            case 8:
                d.result = fordellipse(&cursor, &remaining, &attr, setup.dpi, &d.centre,
                                       &d.radiusX, &d.radiusY, setup.work);
                break;
            case 9: {
                unsigned char* record = nullptr;
                FO_IMAGEOUT out = {&d.imagePosition, record, &d.imageSize, &d.imageRows, 0};
                d.result = fordimg(&cursor, &remaining, setup.dpi, &out, setup.work);
                d.imageRecord = out.record;
                if (d.result == 0 && (cursor == out.record || cursor == out.record + 2)) {
                    // Left on the image record: the host steps over it.
                    const size_t n = OwnLength(cursor, remaining);
                    if (n == 0) {
                        w.result = -1;
                        return Stop(w, cursor - start);
                    }
                    cursor += n;
                    remaining -= static_cast<unsigned int>(n);
                }
                break;
            }
            case 10: {
                // One call per segment until the group end.
                FO_LINEOUT out = {&d.point[0], &d.point[1], nullptr,     nullptr,
                                  &d.segment,  nullptr,     &d.flagsHigh, &d.flagsLow};
                d.result = fordsegline(&cursor, &remaining, &attr, setup.dpi, &out, &d.started,
                                       &d.ended, setup.work);
                while (d.result == 0 && !d.ended && w.steps < setup.maxSteps && cursorSound()) {
                    ++w.steps;
                    d.attr = attr;
                    d.cursorAfter = cursor;
                    ++w.elements;
                    visit(static_cast<const Decoded&>(d));
                    d.segment = 0;
                    d.result = fordsegline(&cursor, &remaining, &attr, setup.dpi, &out,
                                           &d.started, &d.ended, setup.work);
                }
                break;
            }
            case 11: {
                FO_POINT* out[2] = {&d.bitmapCorner[0], &d.bitmapCorner[1]};
                d.result = fordbmpimg(&cursor, &remaining, &d.bitmap, setup.dpi, out, setup.work);
                break;
            }
            default:
                d.result = -1;
                break;
        }
        d.attr = attr;
        d.cursorAfter = cursor;
        ++w.elements;
        visit(static_cast<const Decoded&>(d));
        if (!cursorSound()) {
            w.result = kBrokenCursor;
            return Stop(w, cursor - start);
        }
        if (d.result != 0) {
            w.result = d.result;
            return Stop(w, cursor - start);
        }
        if (cursor == before) {
            w.result = -1;
            return Stop(w, cursor - start);
        }
    }
    w.result = 1;
    return Stop(w, cursor - start);
}

}  // namespace hostwalk

#endif  // OVL_HOST_WALK_H
