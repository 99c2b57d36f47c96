// Modules and bitmap resources: the library's own module carries the hatch
// bitmaps of res/ as monochrome BITMAP resources 101..117.
#include "gdi_internal.h"
#include "hatch_bitmaps.h"

#include <cstring>
#include <strings.h>

namespace swgdi {
namespace {

// Module handles are addresses of these markers, never GDI handles.
struct Module {
    const char* name;
};
const Module kLibraryModule{"WX5NOVL1.DLL"};
const Module kHostModule{""};

HMODULE Handle(const Module& m) {
    return reinterpret_cast<HMODULE>(const_cast<Module*>(&m));
}

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// A monochrome DDB from a 1-bpp bottom-up DIB resource of `size` bytes:
// pixels whose colour-table entry is nearer white become 1, others 0, so the
// bitmap as a pattern brush paints 0 bits in the text colour.
HBITMAP MonoBitmapFromDib(const uint8_t* res, size_t size) {
    if (size < 40) return nullptr;
    const uint32_t headerSize = Le32(res);
    const int32_t width = static_cast<int32_t>(Le32(res + 4));
    const int32_t height = static_cast<int32_t>(Le32(res + 8));
    if (headerSize < 40 || Le16(res + 12) != 1 || Le16(res + 14) != 1 || Le32(res + 16) != BI_RGB)
        return nullptr;
    if (width <= 0 || width > 4096 || height <= 0 || height > 4096) return nullptr;
    const uint32_t used = Le32(res + 32) ? Le32(res + 32) : 2;
    if (used > 2) return nullptr;
    const size_t stride = ((size_t(width) + 31) / 32) * 4;
    const size_t tableAt = headerSize, bitsAt = tableAt + 4 * size_t(used);
    if (bitsAt > size || stride * size_t(height) > size - bitsAt) return nullptr;
    bool white[2] = {false, true};
    for (uint32_t i = 0; i < used; ++i) {
        const uint8_t* q = res + tableAt + 4 * i;  // blue, green, red, reserved
        white[i] = int(q[0]) + q[1] + q[2] >= 3 * 128;
    }
    auto bmp = NewBitmap(width, height, 1, false, true);
    if (!bmp) return nullptr;
    Surface s = bmp->GetSurface();
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = res + bitsAt + stride * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            int index = (row[x >> 3] >> (7 - (x & 7))) & 1;
            WritePixel(s, x, y, white[index] ? 1u : 0u);
        }
    }
    HGDIOBJ h = AddObject(std::move(bmp));
    JournalObjectEvent("LoadBitmapA", h);
    return static_cast<HBITMAP>(h);
}

}  // namespace
}  // namespace swgdi

using namespace swgdi;

extern "C" {

// The host program (null name) and the library ("WX5NOVL1.DLL", any case,
// with or without the extension) are the modules known here.
HMODULE GetModuleHandleA(LPCSTR name) {
    if (!name) return Handle(kHostModule);
    if (strcasecmp(name, "WX5NOVL1.DLL") == 0 || strcasecmp(name, "WX5NOVL1") == 0)
        return Handle(kLibraryModule);
    return nullptr;
}

// Integer resource names, or "#id" strings, of the library module's BITMAP
// resources.
HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name) {
    if (module != Handle(kLibraryModule) || !name) return nullptr;
    int id;
    if (IS_INTRESOURCE(name)) {
        id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    } else {
        if (name[0] != '#') return nullptr;
        id = 0;
        for (const char* p = name + 1; *p; ++p) {
            if (*p < '0' || *p > '9' || id > 65535) return nullptr;
            id = id * 10 + (*p - '0');
        }
    }
    const uint8_t* res = wx5n::HatchBitmapResource(id);
    if (!res) return nullptr;
    return MonoBitmapFromDib(res, wx5n::kHatchBitmapSize);
}

}  // extern "C"
