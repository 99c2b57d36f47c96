// Loads fuzzer bytes as an overlay file (through the in-memory file layer)
// and walks the loaded image's element records as a host does.
//
// The last two input bytes choose the kind wanted and the buffer size; the
// rest is the file.
#include <cstdint>
#include <cstring>
#include <vector>

#include "include/wx5novl1.h"
#include "support/fake_fileacc.h"
#include "host/wx5nhost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t kindWanted = data[size - 2] % 4;
    const uint8_t sizeChoice = data[size - 1];
    std::vector<uint8_t> file(data, data + size - 2);

    fakefs::Reset();
    fakefs::AddFile("in.ovl", file);
    // Buffer sizes around the interesting limits, and one that fits the file.
    static const unsigned kSizes[] = {0, 255, 256, 260, 267, 268, 383, 384, 1024, 4096};
    unsigned bufferSize = sizeChoice < 10 ? kSizes[sizeChoice]
                                          : static_cast<unsigned>(file.size() + sizeChoice);
    std::vector<uint8_t> buffer(bufferSize);
    unsigned loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    int handle = 0;
    const int mode = (sizeChoice & 1) ? FO_OPEN_KEEP : FO_OPEN_READ;
    const int result = foreaddata(mode, static_cast<char>(kindWanted), "in.ovl", buffer.data(),
                                  &bufferSize, &loaded, &kind, &format, &version, &handle, 0);
    const bool stillOpen = !fakefs::GetStats().openHandles.empty();
    if (result == 0) {
        if (loaded > bufferSize) __builtin_trap();
        if (stillOpen != (mode == FO_OPEN_KEEP)) __builtin_trap();
    } else {
        if (loaded != 0 || stillOpen) __builtin_trap();
        return 0;
    }

    // Walk the elements in an exact-size copy of the loaded image.
    std::vector<uint8_t> image(buffer.begin(), buffer.begin() + loaded);
    size_t at = wx5nh_first_element(image.data(), image.size(), kind, format, nullptr);
    if (at == 0) return 0;
    for (int steps = 0; steps < 100000 && at < image.size(); ++steps) {
        const int left = static_cast<int>(image.size() - at);
        const int next = foreadkindget(image.data() + at, left);
        unsigned short cls = 0;
        int len = 0;
        const int framed = foreadclassid(image.data() + at, left, &cls, &len);
        if (next == 0 || next == -1) break;
        if (framed != 0 && framed != -100) break;
        if (len <= 0) break;  // image and bitmap primitives: decoders measure them
        at += static_cast<size_t>(len);
    }
    return 0;
}
