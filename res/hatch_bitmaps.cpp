#include "hatch_bitmaps.h"

#include <array>

namespace wx5n {
namespace {

using Rows = std::array<std::uint8_t, 8>;

// Rows of ids 101..117, top row first. 102/103 and 110/111 are separate
// resources with equal contents.
constexpr std::array<Rows, kHatchCount> kRows = {{
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // 101: solid ink
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},  // 102
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},  // 103
    {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF},  // 104
    {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},  // 105
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE},  // 106
    {0x55, 0xAA, 0x55, 0xBB, 0x55, 0xAA, 0x55, 0xBB},  // 107
    {0x55, 0xAB, 0x55, 0xAA, 0x55, 0xBA, 0x55, 0xAA},  // 108
    {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},  // 109: checkerboard
    {0x22, 0x55, 0x88, 0x55, 0x22, 0x55, 0x88, 0x55},  // 110
    {0x22, 0x55, 0x88, 0x55, 0x22, 0x55, 0x88, 0x55},  // 111
    {0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44},  // 112
    {0x00, 0x44, 0x00, 0x11, 0x00, 0x44, 0x00, 0x11},  // 113
    {0x00, 0x10, 0x00, 0x01, 0x00, 0x10, 0x00, 0x01},  // 114
    {0x00, 0x40, 0x00, 0x10, 0x00, 0x04, 0x00, 0x01},  // 115
    {0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x01},  // 116
    {0x7F, 0xFF, 0xFF, 0xFF, 0xF7, 0xFF, 0xFF, 0xFF},  // 117
}};

using Resource = std::array<std::uint8_t, kHatchBitmapSize>;

constexpr void PutLe(Resource& r, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) r[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr Resource MakeResource(const Rows& rows) {
    Resource r{};
    PutLe(r, 0, 40, 4);   // biSize
    PutLe(r, 4, 8, 4);    // biWidth
    PutLe(r, 8, 8, 4);    // biHeight: positive, bottom-up
    PutLe(r, 12, 1, 2);   // biPlanes
    PutLe(r, 14, 1, 2);   // biBitCount
    PutLe(r, 16, 0, 4);   // biCompression: BI_RGB
    PutLe(r, 20, 32, 4);  // biSizeImage
    // Resolutions, colours used and important colours stay 0.
    PutLe(r, 40, 0x00000000u, 4);  // index 0: black
    PutLe(r, 44, 0x00FFFFFFu, 4);  // index 1: white
    for (int i = 0; i < 8; ++i) r[48 + 4 * i] = rows[7 - i];  // bottom row first
    return r;
}

constexpr std::array<Resource, kHatchCount> MakeAll() {
    std::array<Resource, kHatchCount> all{};
    for (int i = 0; i < kHatchCount; ++i) all[i] = MakeResource(kRows[i]);
    return all;
}

constexpr std::array<Resource, kHatchCount> kResources = MakeAll();

}  // namespace

const std::uint8_t* HatchRows(int id) {
    if (id < kHatchFirstId || id > kHatchLastId) return nullptr;
    return kRows[id - kHatchFirstId].data();
}

const std::uint8_t* HatchBitmapResource(int id) {
    if (id < kHatchFirstId || id > kHatchLastId) return nullptr;
    return kResources[id - kHatchFirstId].data();
}

}  // namespace wx5n
