// Loading an overlay the way a host loads it, finding its first element and
// walking the elements through the decoder foreadkindget names for each.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "wx5nhost.h"

namespace wx5nh {
namespace {

uint16_t BE16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The first element record of a kind 1 image: after the element block's two
// descriptors, the data marker area and the preamble up to its NO-OP record.
size_t FirstOfKind1(const unsigned char* image, size_t loaded, int dataFormat,
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
        const size_t left = loaded - p;
        const int framed = foreadclassid(image + p, left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left),
                                         &cls, &len);
        if (framed == FO_MARKER) {
            p += 4;
            continue;
        }
        if (framed != 0 || len <= 0) return 0;
        if (cls == 0x11A0 && fonts != nullptr) foreadfontdef(image + p, len, fonts, nullptr);
        p += static_cast<size_t>(len);
        if (cls == 0x0000) return p <= loaded ? p : 0;
    }
    return 0;
}

// The walk's state and its one step per decoder call.
class Walker {
public:
    Walker(unsigned char* records, size_t size, size_t base, const WX5NH_WALK_SETUP& setup,
           WX5NH_VISIT visit, void* context)
        : base_(base),
          start_(records),
          end_(records + size),
          cursor_(records),
          remaining_(static_cast<unsigned int>(size)),
          setup_(setup),
          visit_(visit),
          context_(context) {
        std::memset(&ownWork_, 0, sizeof(ownWork_));
        fosetlinedef(&ownWork_);
        work_ = setup.work != nullptr ? setup.work : &ownWork_;
        maxSteps_ = setup.maxSteps != 0 ? setup.maxSteps : SIZE_MAX;
        // Text elements see the block through its text view, the others
        // through the line view; the views share bytes, so each keeps a
        // block of its own when attributes carry over.
        std::memset(&graphicAttr_, 0, sizeof(graphicAttr_));
        std::memset(&textAttr_, 0, sizeof(textAttr_));
    }

    int Run(WX5NH_STOP* stop);

private:
    bool CursorSound() const {
        return cursor_ >= start_ && cursor_ <= end_ &&
               static_cast<size_t>(end_ - cursor_) == remaining_;
    }
    // Offset of the cursor in the image (records start at base_).
    size_t Offset() const { return base_ + (cursor_ > start_ ? static_cast<size_t>(cursor_ - start_) : 0); }
    int Finish(WX5NH_STOP* stop, int result) {
        if (stop != nullptr) {
            stop->result = result;
            stop->offset = Offset();
            stop->elements = elements_;
        }
        return result;
    }
    void Visit(WX5NH_ELEMENT& e, const FO_ATTR& attr) {
        e.attr = attr;
        e.next = Offset();
        ++elements_;
        if (visit_ != nullptr && visit_(context_, &e) != 0) stopped_ = true;
    }
    // Decodes one element of kind at the cursor into e; 0 or the walk's
    // own failure (the decoder's result is in e.result).
    int Decode(int kind, WX5NH_ELEMENT& e);

    const size_t base_;
    unsigned char* const start_;
    unsigned char* const end_;
    unsigned char* cursor_;
    unsigned int remaining_;
    const WX5NH_WALK_SETUP& setup_;
    WX5NH_VISIT visit_;
    void* context_;
    FO_WORK ownWork_;
    FO_WORK* work_;
    FO_ATTR graphicAttr_;
    FO_ATTR textAttr_;
    size_t maxSteps_;
    size_t steps_ = 0;
    size_t elements_ = 0;
    bool stopped_ = false;
};

int Walker::Decode(int kind, WX5NH_ELEMENT& e) {
    FO_ATTR& attr = (kind == 7 || kind == 12) ? textAttr_ : graphicAttr_;
    if (!setup_.keepAttributes) std::memset(&attr, 0, sizeof(attr));
    const unsigned dpi = setup_.dpi;
    switch (kind) {
        case 1: {
            FO_LINEOUT out = {&e.point[0], &e.point[1], &e.point[2], &e.lineValue,
                              nullptr,     &e.width,    nullptr,     nullptr};
            e.result = fordline(&cursor_, &remaining_, &attr, dpi, &out, work_);
            break;
        }
        case 2:
            e.result = fordcircle(&cursor_, &remaining_, &attr, dpi, &e.centre, &e.radius, work_);
            break;
        case 3: {
            FO_LINEOUT out = {&e.point[0], &e.point[1], nullptr, nullptr,
                              nullptr,     &e.width,    nullptr, nullptr};
            e.result = fordrect(&cursor_, &remaining_, &attr, dpi, &out, work_);
            break;
        }
        case 4:
        case 5:
        case 6:
            e.result = fordarchatch(&cursor_, &remaining_, &attr, dpi, &e.low, &e.high, work_);
            break;
        case 7:
        case 12: {
            FO_TEXTOUT out;
            std::memset(&out, 0, sizeof(out));
            out.position = &e.textPosition;
            out.fontNames = setup_.fonts != nullptr ? setup_.fonts->names : nullptr;
            out.fontNameLength = setup_.fonts != nullptr ? setup_.fonts->nameLength : 0;
            out.textMode = setup_.textMode;
            out.textEncoding = setup_.textEncoding;
            out.auxPoint1 = &e.aux1;
            out.auxPoint2 = &e.aux2;
            int avail = static_cast<int>(remaining_);
            e.result = fordcharacter(&cursor_, &avail, &attr, dpi, &out, work_);
            remaining_ = static_cast<unsigned int>(avail);
            e.text = out.text;
            e.unitTenths = out.unitTenths;
            e.unitHalf = out.unitHalf;
            break;
        }
        case 8:
            e.result = fordellipse(&cursor_, &remaining_, &attr, dpi, &e.centre, &e.radiusX,
                                   &e.radiusY, work_);
            break;
        case 9: {
            FO_IMAGEOUT out = {&e.imagePosition, nullptr, &e.imageSize, &e.imageRows, 0};
            e.result = fordimg(&cursor_, &remaining_, dpi, &out, work_);
            e.imageRecord = out.record;
            if (e.result == 0 && out.record != nullptr &&
                (cursor_ == out.record || cursor_ == out.record + 2)) {
                // Left on the image record: the host steps over it.
                const size_t n = wx5nh_record_length(cursor_, remaining_);
                if (n == 0) return -1;
                cursor_ += n;
                remaining_ -= static_cast<unsigned int>(n);
            }
            break;
        }
        case 10: {
            // One call per segment until the group's end.
            FO_LINEOUT out = {&e.point[0], &e.point[1], nullptr,      nullptr,
                              &e.segment,  nullptr,     &e.flagsHigh, &e.flagsLow};
            e.result = fordsegline(&cursor_, &remaining_, &attr, dpi, &out, &e.started, &e.ended,
                                   work_);
            while (e.result == 0 && !e.ended && steps_ < maxSteps_ && CursorSound() && !stopped_) {
                ++steps_;
                Visit(e, attr);
                e.offset = Offset();  // the next segment starts where this one ended
                e.segment = 0;
                e.result = fordsegline(&cursor_, &remaining_, &attr, dpi, &out, &e.started,
                                       &e.ended, work_);
            }
            break;
        }
        case 11: {
            FO_POINT* out[2] = {&e.bitmapCorner[0], &e.bitmapCorner[1]};
            e.result = fordbmpimg(&cursor_, &remaining_, &e.bitmap, dpi, out, work_);
            break;
        }
        default:
            e.result = -1;
            break;
    }
    Visit(e, attr);
    return 0;
}

int Walker::Run(WX5NH_STOP* stop) {
    while (steps_ < maxSteps_) {
        ++steps_;
        const int kind = foreadkindget(cursor_, static_cast<int>(remaining_));
        if (kind == FO_MARKER) {
            if (remaining_ < 4) return Finish(stop, -1);
            cursor_ += 4;
            remaining_ -= 4;
            continue;
        }
        if (kind < 0) return Finish(stop, kind);
        if (kind == 0) return Finish(stop, 0);
        unsigned char* const before = cursor_;
        WX5NH_ELEMENT e;
        std::memset(&e, 0, sizeof(e));
        e.kind = kind;
        e.offset = Offset();
        e.dpi = setup_.dpi;
        if (Decode(kind, e) != 0) return Finish(stop, -1);
        if (!CursorSound()) {
            // Report where the walk stood rather than where the cursor went.
            cursor_ = before;
            return Finish(stop, WX5NH_BROKEN_CURSOR);
        }
        if (e.result != 0) return Finish(stop, e.result);
        if (stopped_) return Finish(stop, WX5NH_VISIT_STOPPED);
        if (cursor_ == before) return Finish(stop, -1);
    }
    return Finish(stop, WX5NH_STEPS_OUT);
}

int WalkFrom(unsigned char* records, size_t size, size_t base, const WX5NH_WALK_SETUP* setup,
             WX5NH_VISIT visit, void* context, WX5NH_STOP* stop) {
    if (setup == nullptr || (records == nullptr && size > 0)) {
        if (stop != nullptr) *stop = WX5NH_STOP{WX5NH_EINVAL, 0, 0};
        return WX5NH_EINVAL;
    }
    // The decoders count in 32 bits.
    if (size > 0x7FFFFFFF) size = 0x7FFFFFFF;
    Walker walker(records, size, base, *setup, visit, context);
    return walker.Run(stop);
}

}  // namespace
}  // namespace wx5nh

extern "C" {

size_t wx5nh_record_length(const unsigned char* p, size_t left) {
    if (p == nullptr || left < 2) return 0;
    const uint16_t h = wx5nh::BE16(p);
    if ((h & 0x1F) != 0x1F) {
        const size_t n = 2 + (h & 0x1F);
        return n <= left ? n : 0;
    }
    size_t pos = 2;
    uint16_t word;
    do {
        if (pos > left || left - pos < 2) return 0;
        word = wx5nh::BE16(p + pos);
        pos += 2 + (word & 0x7FFF);
        if (pos > left) return 0;
    } while (word & 0x8000);
    return pos;
}

size_t wx5nh_first_element(const unsigned char* image, size_t size, int kind, int dataFormat,
                           FO_FONTBLOCK* fonts) {
    if (image == nullptr) return 0;
    if (kind == 2) {
        // The element records follow the id table: 8 bytes an id from 264.
        if (size < 264) return 0;
        const size_t at = 264 + 8 * static_cast<size_t>(image[263]);
        return at <= size ? at : 0;
    }
    if (kind != 1) return 0;
    return wx5nh::FirstOfKind1(image, size, dataFormat, fonts);
}

int wx5nh_load(const char* path, WX5NH_OVERLAY* out) {
    if (out == nullptr || path == nullptr) return WX5NH_EINVAL;
    std::memset(out, 0, sizeof(*out));
    unsigned int size = 0;
    int result = pcom_fogetreadsize(path, &size, 0);
    if (result != 0) return result;
    if (size == 0) return FO_ERR_NOT_OVERLAY;
    unsigned char* image = static_cast<unsigned char*>(std::malloc(size));
    if (image == nullptr) return 12;  // ENOMEM
    unsigned int loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    result = pcom_foreadd33(3, path, image, &size, &loaded, &kind, &format, &version, 0);
    if (result == 0 && (loaded == 0 || loaded > size)) result = FO_ERR_NOT_OVERLAY;
    size_t first = 0;
    if (result == 0) {
        out->kind = kind;
        out->dataFormat = kind == 1 ? format : 0;
        out->layoutVersion = kind == 1 ? version : 0;
        first = wx5nh_first_element(image, loaded, kind, out->dataFormat, &out->fonts);
        if (first == 0) result = FO_ERR_NOT_OVERLAY;
    }
    if (result != 0) {
        std::free(image);
        std::memset(out, 0, sizeof(*out));
        return result;
    }
    out->image = image;
    out->size = loaded;
    out->firstElement = first;
    return 0;
}

size_t wx5nh_text_length(const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    if (overlay == nullptr || element == nullptr || overlay->image == nullptr) return 0;
    if (element->kind != 7 && element->kind != 12) return 0;
    const unsigned char* text = element->text;
    const unsigned char* end = overlay->image + (element->next < overlay->size ? element->next : overlay->size);
    if (text == nullptr || text < overlay->image || text >= end) return 0;
    const size_t n = static_cast<size_t>(end - text);
    return n < element->attr.text.textLength ? n : element->attr.text.textLength;
}

void wx5nh_free(WX5NH_OVERLAY* overlay) {
    if (overlay == nullptr) return;
    std::free(overlay->image);
    overlay->image = nullptr;
    overlay->size = 0;
    overlay->firstElement = 0;
}

int wx5nh_walk_records(unsigned char* records, size_t size, const WX5NH_WALK_SETUP* setup,
                       WX5NH_VISIT visit, void* context, WX5NH_STOP* stop) {
    return wx5nh::WalkFrom(records, size, 0, setup, visit, context, stop);
}

int wx5nh_walk(WX5NH_OVERLAY* overlay, const WX5NH_WALK_OPTIONS* options, WX5NH_VISIT visit,
               void* context, WX5NH_STOP* stop) {
    if (overlay == nullptr || options == nullptr || overlay->image == nullptr ||
        overlay->firstElement == 0 || overlay->firstElement > overlay->size ||
        options->dpi < WX5NH_DPI_MIN || options->dpi > WX5NH_DPI_MAX) {
        if (stop != nullptr) *stop = WX5NH_STOP{WX5NH_EINVAL, 0, 0};
        return WX5NH_EINVAL;
    }
    WX5NH_WALK_SETUP setup;
    std::memset(&setup, 0, sizeof(setup));
    setup.dpi = options->dpi;
    setup.keepAttributes = options->keepAttributes;
    setup.maxSteps = options->maxSteps;
    setup.fonts = &overlay->fonts;
    // EBCDIC overlays carry EBCDIC/HKZ text, the others Shift JIS.
    setup.textMode = overlay->layoutVersion == 1 ? 1 : 2;
    setup.textEncoding = 3;
    const size_t first = overlay->firstElement;
    return wx5nh::WalkFrom(overlay->image + first, overlay->size - first, first, &setup, visit,
                           context, stop);
}

}  // extern "C"
