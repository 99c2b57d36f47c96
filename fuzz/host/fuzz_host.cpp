// Loads fuzzer bytes as an overlay with the host library and renders it on
// a small page kept across inputs, text, images and bitmaps included. The
// last input byte chooses the resolution and the page's depth; the rest is
// the file. When the file does not load, its bytes are rendered as element
// records directly. Every element the walk reports must lie within the
// loaded image, and the renderer must count no more elements drawn than
// decoded.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz/decode/mem_fileacc.h"
#include "host/wx5nhost.h"

namespace {

// Resolutions whose positions stay within a few thousand pixels, so that a
// walk along a long dashed line stays short; the page clips the rest.
constexpr unsigned kDpis[4] = {72, 96, 150, 240};

HDC Page(bool mono) {
    static HDC pages[2] = {swgdi_CreatePageDC(96, 80, 96, 96, 32), swgdi_CreatePageDC(96, 80, 96, 96, 1)};
    return pages[mono ? 1 : 0];
}

int CheckText(void*, HDC, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* e) {
    const size_t n = wx5nh_text_length(overlay, e);
    if (n > 0 && (e->text < overlay->image || e->text + n > overlay->image + overlay->size)) __builtin_trap();
    // Touch every byte the host would read.
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += e->text[i];
    return sum == 0xFFFFFFFFu ? -1 : 0;
}

int CheckImage(void* context, HDC dc, const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT* e) {
    RECT box;
    if (wx5nh_image_box(overlay, e, &box) == 0 && (box.right <= box.left || box.bottom <= box.top))
        __builtin_trap();
    return wx5nh_draw_image(context, dc, overlay, e);
}

void Render(WX5NH_OVERLAY* overlay, unsigned dpi, bool mono) {
    const WX5NH_CALLBACKS callbacks = {nullptr, CheckText, CheckImage, wx5nh_draw_bitmap};
    WX5NH_RENDER_RESULT result;
    wx5nh_render(Page(mono), overlay, dpi, &callbacks, &result);
    if (result.drawn > result.decoded || result.stop.offset > overlay->size) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const uint8_t options = data[size - 1];
    const unsigned dpi = kDpis[options & 3];
    const bool mono = (options & 4) != 0;
    memfile::Set(data, size - 1);

    WX5NH_OVERLAY overlay;
    if (wx5nh_load("input.ovl", &overlay) == 0) {
        if (overlay.firstElement == 0 || overlay.firstElement > overlay.size) __builtin_trap();
        // The loaded image in a buffer of exactly its size.
        unsigned char* exact = static_cast<unsigned char*>(std::malloc(overlay.size > 0 ? overlay.size : 1));
        std::memcpy(exact, overlay.image, overlay.size);
        std::free(overlay.image);
        overlay.image = exact;
        Render(&overlay, dpi, mono);
        wx5nh_free(&overlay);
        return 0;
    }
    // The bytes as element records after one byte of image.
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size]);
    copy[0] = 0;
    std::memcpy(copy.get() + 1, data, size - 1);
    std::memset(&overlay, 0, sizeof(overlay));
    overlay.image = copy.get();
    overlay.size = size;
    overlay.kind = 2;
    overlay.firstElement = 1;
    if (size > 1) Render(&overlay, dpi, mono);
    return 0;
}
