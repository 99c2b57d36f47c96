// Fuzzes the element decoders as a host drives them. The input is an overlay
// file followed by one option byte (resolution, text mode and encoding,
// origin, colour options). The file is loaded with foreaddata; when it does
// not load as a kind 1 overlay, its bytes are walked as element records
// directly. Either way the walk runs over an exact-size heap copy, so that
// any read past the data is caught, with a bound on its steps.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/decode/mem_fileacc.h"
#include "include/wx5novl1.h"
#include "host/wx5nhost.h"

namespace {

// The ends of the accepted range, and two the decoders must refuse or bear:
// 0, and one above 65535 whose low 16 bits are 240.
constexpr unsigned kDpis[8] = {240, 300, 400, 1440, 57, 14400, 0, 65536 + 240};

void WalkCopy(const unsigned char* bytes, size_t size, uint8_t options, const FO_FONTBLOCK* fonts) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size > 0 ? size : 1]);
    if (size > 0) std::memcpy(copy.get(), bytes, size);

    FO_WORK work;
    std::memset(&work, 0, sizeof(work));
    fosetlinedef(&work);
    const short shift = (options & 0x80) ? -100 : 0;
    fosetorgpoint(&work, shift, static_cast<short>(-shift));
    work.edition = (options & 0x40) ? 2 : 0;
    work.colourFlag = (options & 0x20) ? 1 : 0;

    WX5NH_WALK_SETUP setup;
    std::memset(&setup, 0, sizeof(setup));
    setup.dpi = kDpis[options & 7];
    setup.work = &work;
    setup.fonts = fonts;
    setup.textMode = static_cast<unsigned char>((options >> 3) & 3);
    setup.textEncoding = (options & 0x20) ? 2 : 3;
    setup.maxSteps = 4096;
    WX5NH_STOP w;
    wx5nh_walk_records(copy.get(), size, &setup, nullptr, nullptr, &w);
    // A decoder that leaves the cursor outside the data, or out of step
    // with the remaining count, is a finding.
    if (w.result == WX5NH_BROKEN_CURSOR) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const uint8_t options = data[size - 1];
    const size_t fileSize = size - 1;
    memfile::Set(data, fileSize);

    unsigned int bufferSize = 0;
    if (pcom_fogetreadsize("input.ovl", &bufferSize, 0) != 0) __builtin_trap();
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[bufferSize]);
    unsigned int loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0;
    unsigned short version = 0;
    const int result = pcom_foreadd33(3, "input.ovl", buffer.get(), &bufferSize, &loaded, &kind,
                                      &format, &version, 0);
    if (result == 0 && kind == 1) {
        if (loaded > bufferSize) __builtin_trap();
        FO_FONTBLOCK fonts;
        std::memset(&fonts, 0, sizeof(fonts));
        // The loaded image in a buffer of exactly its size.
        std::unique_ptr<unsigned char[]> image(new unsigned char[loaded]);
        std::memcpy(image.get(), buffer.get(), loaded);
        const size_t first = wx5nh_first_element(image.get(), loaded, 1, format, &fonts);
        if (first > 0 && first <= loaded) {
            WalkCopy(image.get() + first, loaded - first, options, &fonts);
            return 0;
        }
    }
    WalkCopy(data, fileSize, options, nullptr);
    return 0;
}
