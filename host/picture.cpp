// Images and bitmaps as a host usually draws them: the picture data is read
// from the loaded overlay, within its bounds, and stretched onto the page.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "wx5nhost.h"

namespace wx5nh {
namespace {

// An image record's header fields and its data, joined across partitions.
struct ImageData {
    unsigned rows = 0;     // R
    unsigned rowLen = 0;   // L, pixels
    size_t stride = 0;     // bytes a row
    std::vector<uint8_t> params;  // from the primitive identifier on
};

// Reads the image record an element points at; false when the record is
// not a measured one-bit image or runs past the overlay.
bool ReadImage(const WX5NH_OVERLAY& overlay, const WX5NH_ELEMENT& e, ImageData* out) {
    if (overlay.image == nullptr || e.imageRecord == nullptr) return false;
    const uint8_t* begin = overlay.image;
    const uint8_t* end = begin + overlay.size;
    const uint8_t* p = e.imageRecord;
    if (p < begin || p >= end || static_cast<size_t>(end - p) < 30 || p[22] != 0xF9) return false;
    const size_t recordLen = wx5nh_record_length(p, static_cast<size_t>(end - p));
    if (recordLen < 6) return false;
    size_t pos = 2;
    unsigned word;
    do {
        word = (p[pos] << 8) | p[pos + 1];
        const size_t len = std::min<size_t>(word & 0x7FFF, recordLen - pos - 2);
        out->params.insert(out->params.end(), p + pos + 2, p + pos + 2 + len);
        pos += 2 + (word & 0x7FFF);
    } while ((word & 0x8000) && pos + 2 <= recordLen);
    if (out->params.size() < 26) return false;
    out->rows = out->params[20] | (out->params[21] << 8);
    out->rowLen = out->params[22] | (out->params[23] << 8);
    out->stride = (out->rowLen + 7) / 8;
    return out->rows > 0 && out->rowLen > 0 &&
           out->params.size() >= 26 + out->stride * out->rows;
}

// Device pixels of a length in the overlay's own resolution units: the
// resolution tag of an EBCDIC overlay, else 1/240 inch.
long ToDevice(const WX5NH_OVERLAY& overlay, unsigned dpi, unsigned long v) {
    unsigned units = 240;
    if (overlay.layoutVersion == 1 && overlay.image != nullptr && overlay.size >= 218) {
        const short tag = pcom_foprint_getdpi(overlay.image, 1);
        if (tag > 0) units = static_cast<unsigned>(tag);
    }
    return static_cast<long>((static_cast<unsigned long long>(v) * dpi + units / 2) / units);
}

// The box of an image: the decoder's converted row count and, from its byte
// size, the converted row length (the decoder pads it to whole bytes; the
// record's own row length and the row count's factor give it unpadded).
bool Box(const WX5NH_OVERLAY& overlay, const WX5NH_ELEMENT& e, const ImageData& d, RECT* box) {
    if (e.imageRows == 0 || e.imageSize == 0) return false;
    const unsigned long padded = static_cast<unsigned long>(e.imageSize) * 8 / e.imageRows;
    unsigned long width = (static_cast<unsigned long>(d.rowLen) * e.imageRows + d.rows / 2) / d.rows;
    if (width > padded) width = padded;
    if (width == 0) width = 1;
    const unsigned dpi = e.dpi != 0 ? e.dpi : 240;
    box->left = e.imagePosition.x;
    box->top = e.imagePosition.y;
    box->right = box->left + std::max<long>(1, ToDevice(overlay, dpi, width));
    box->bottom = box->top + std::max<long>(1, ToDevice(overlay, dpi, e.imageRows));
    return true;
}

}  // namespace
}  // namespace wx5nh

extern "C" {

int wx5nh_image_box(const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element, RECT* box) {
    if (overlay == nullptr || element == nullptr || box == nullptr) return WX5NH_EINVAL;
    wx5nh::ImageData d;
    if (element->kind != 9 || !wx5nh::ReadImage(*overlay, *element, &d)) return -1;
    return wx5nh::Box(*overlay, *element, d, box) ? 0 : -1;
}

int wx5nh_draw_image(void*, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    if (dc == nullptr || overlay == nullptr || element == nullptr) return WX5NH_EINVAL;
    wx5nh::ImageData d;
    RECT box;
    if (element->kind != 9 || !wx5nh::ReadImage(*overlay, *element, &d) ||
        !wx5nh::Box(*overlay, *element, d, &box))
        return -1;
    // A top-down 1-bit DIB: rows padded to 4 bytes, 1 bits are ink, drawn
    // with AND so that the page shows through the 0 bits.
    const size_t dibStride = (d.stride + 3) / 4 * 4;
    std::vector<uint8_t> bits(dibStride * d.rows, 0);
    for (unsigned r = 0; r < d.rows; ++r)
        std::memcpy(&bits[r * dibStride], &d.params[26 + r * d.stride], d.stride);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[2];
    } info;
    std::memset(&info, 0, sizeof(info));
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = static_cast<LONG>(d.rowLen);
    info.h.biHeight = -static_cast<LONG>(d.rows);
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    info.colours[0] = RGBQUAD{255, 255, 255, 0};
    info.colours[1] = RGBQUAD{0, 0, 0, 0};
    StretchDIBits(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, 0, 0,
                  static_cast<int>(d.rowLen), static_cast<int>(d.rows), bits.data(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCAND);
    return 0;
}

int wx5nh_draw_bitmap(void*, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* element) {
    if (dc == nullptr || overlay == nullptr || element == nullptr) return WX5NH_EINVAL;
    if (element->kind != 11 || overlay->image == nullptr) return -1;
    const uint8_t* begin = overlay->image;
    const uint8_t* end = begin + overlay->size;
    const uint8_t* h = element->bitmap.bitmapInfo;
    if (h == nullptr || h < begin || h >= end || end - h < 40) return -1;
    // The header and colour table are copied out of the overlay: they need
    // not be aligned there.
    BITMAPINFOHEADER head;
    std::memcpy(&head, h, sizeof(head));
    const int bitCount = head.biBitCount;
    unsigned colours = head.biClrUsed;
    if (colours == 0 && (bitCount == 1 || bitCount == 4 || bitCount == 8)) colours = 1u << bitCount;
    if (colours > 256) return -1;
    size_t table = 4 * static_cast<size_t>(colours);
    if ((bitCount == 16 || bitCount == 32) && head.biCompression == 3) table = 12;
    const size_t offset = static_cast<size_t>(head.biSize) + table;
    if (head.biSize < 40 || head.biSize > 1024 ||
        static_cast<size_t>(end - h) < offset + element->bitmap.bitsSize)
        return -1;
    // The rows must lie within the pixel bits the decoder measured.
    if (head.biWidth == 0 || head.biHeight == 0 || head.biWidth < -0x7FFF || head.biWidth > 0x7FFF ||
        head.biHeight < -0x7FFF || head.biHeight > 0x7FFF)
        return -1;
    if (head.biCompression != 0 && head.biCompression != 3) return -1;
    const unsigned long long rowBytes =
        (static_cast<unsigned long long>(head.biWidth < 0 ? -head.biWidth : head.biWidth) * bitCount + 31) / 32 * 4;
    if (rowBytes * static_cast<unsigned long long>(head.biHeight < 0 ? -head.biHeight : head.biHeight) >
        element->bitmap.bitsSize)
        return -1;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + table + 16, 0);
    std::memcpy(info.data(), &head, sizeof(head));
    reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), h + head.biSize, table);
    std::vector<uint8_t> bits(h + offset, h + offset + element->bitmap.bitsSize);
    const FO_POINT* c = element->bitmapCorner;
    const RECT r{std::min(c[0].x, c[1].x), std::min(c[0].y, c[1].y), std::max(c[0].x, c[1].x),
                 std::max(c[0].y, c[1].y)};
    const int srcH = head.biHeight < 0 ? -head.biHeight : head.biHeight;
    StretchDIBits(dc, r.left, r.top, std::max<LONG>(1, r.right - r.left),
                  std::max<LONG>(1, r.bottom - r.top), 0, 0, head.biWidth, srcH, bits.data(),
                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    return 0;
}

}  // extern "C"
