// The imports of the reading half over the fuzz input: open, read, seek,
// close and the size query work on one block of memory; the converter
// refuses every call.
#include "fuzz/decode/mem_fileacc.h"

#include <climits>
#include <cstring>

#include "platform/fileacc/wx5naux0.h"
#include "platform/fileacc/wx5nfacc.h"

namespace memfile {
namespace {

const uint8_t* g_data = nullptr;
size_t g_size = 0;
size_t g_pos = 0;

}  // namespace

void Set(const uint8_t* data, size_t size) {
    g_data = data;
    g_size = size;
    g_pos = 0;
}

}  // namespace memfile

using namespace memfile;

extern "C" int fcsopenfile(const char*, unsigned short, int* handle, int*, int) {
    g_pos = 0;
    *handle = 3;
    return 0;
}

extern "C" int fcsread(int, void* dst, int count, int*) {
    if (count < 0) return -1;
    const size_t left = g_pos < g_size ? g_size - g_pos : 0;
    const size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
    if (n > 0) std::memcpy(dst, g_data + g_pos, n);
    g_pos += n;
    return static_cast<int>(n);
}

extern "C" int fcslseek(int, int offset, int origin, int*) {
    if (origin != 1) return -1;
    const long long pos = static_cast<long long>(g_pos) + offset;
    if (pos < 0 || pos > INT_MAX) return -1;
    g_pos = static_cast<size_t>(pos);
    return static_cast<int>(pos);
}

extern "C" int fcsclose(int, int*) { return 0; }

extern "C" unsigned int auxgetfilesize(int, int) { return static_cast<unsigned int>(g_size); }

extern "C" int ebhkztosjis(const unsigned char*, int, unsigned char*, int, int*, int, int,
                           const unsigned char*, const unsigned char*, int, void*) {
    return 1;
}

extern "C" void miconv_relase(void*) {}
