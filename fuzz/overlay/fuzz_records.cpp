// Frames fuzzer bytes as element records and feeds every framed record to
// the attribute readers that take records: line and edge kinds, extended
// kinds, line definitions and font lists.
#include <cstdint>
#include <cstring>
#include <vector>

#include "include/wx5novl1.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);  // exact size: overreads show
    FO_WORK work;
    std::memset(&work, 0, sizeof(work));
    fosetlinedef(&work);
    FO_ATTR attr;
    std::memset(&attr, 0, sizeof(attr));
    static FO_FONTBLOCK block;
    static const FO_FONTRENAME pairs[2] = {{"A", "LONGREPLACEMENTNAME"}, {"", "X"}};
    unsigned char table[2 + sizeof(pairs)];
    table[0] = 2;
    table[1] = 2;
    std::memcpy(table + 2, pairs, sizeof(pairs));

    (void)foreadkindget(bytes.data(), static_cast<int>(bytes.size()));
    size_t at = 0;
    for (int steps = 0; steps < 10000 && at < bytes.size(); ++steps) {
        const int left = static_cast<int>(bytes.size() - at);
        const uint8_t* rec = bytes.data() + at;
        unsigned short cls = 0;
        int len = 0;
        const int framed = foreadclassid(rec, left, &cls, &len);
        if (framed == -100) {
            at += 4;
            continue;
        }
        if (framed != 0) break;
        if (len > left) __builtin_trap();
        if (len == 0) break;
        switch (cls) {
            case 0x5040: foreadlinekind(rec, &attr, &work); break;
            case 0x5360: foreadlinekind2(rec, &attr, &work); break;
            case 0x54C0: foreadlinekindEx(rec, &attr); break;
            case 0x54E0: foreadlinekindEx2(rec, &attr); break;
            case 0x6020: foreadlinedef(rec, &attr, &work); break;
            case 0x11A0: foreadfontdef(rec, len, &block, (at & 1) ? table : nullptr); break;
            default: break;
        }
        if (attr.line.lineStyleListCount > FO_LINESTYLE_LIST_MAX ||
            attr.line.edgeStyleListCount > FO_EDGESTYLE_LIST_MAX)
            __builtin_trap();
        at += static_cast<size_t>(len);
    }
    return 0;
}
