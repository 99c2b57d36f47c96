// The scripted file layer: every function the reading half imports.
#include "tests/decode/fake_fileacc.h"

#include "platform/fileacc/wx5naux0.h"
#include "platform/fileacc/wx5nfacc.h"

namespace scriptfs {
namespace {

Script g_script;
Calls g_calls;

}  // namespace

void Reset(const Script& script) {
    g_script = script;
    g_calls = Calls{};
}

const Calls& Recorded() { return g_calls; }

}  // namespace scriptfs

using scriptfs::g_calls;
using scriptfs::g_script;

extern "C" int fcsopenfile(const char* fileName, unsigned short mode, int* handle, int* status,
                           int context) {
    ++g_calls.opens;
    ++g_calls.order;
    g_calls.mode = mode;
    g_calls.context = context;
    g_calls.name = fileName != nullptr ? fileName : "";
    if (status != nullptr) *status = 0;
    if (g_script.openResult != 0) return g_script.openResult;
    *handle = g_script.handle;
    return 0;
}

extern "C" int fcsread(int, void*, int, int*) { return -1; }
extern "C" int fcslseek(int, int, int, int*) { return -1; }

extern "C" int fcsclose(int handle, int*) {
    ++g_calls.closes;
    g_calls.closeOrder = ++g_calls.order;
    g_calls.closeHandle = handle;
    return g_script.closeResult;
}

extern "C" unsigned int auxgetfilesize(int handle, int) {
    ++g_calls.sizeQueries;
    g_calls.sizeOrder = ++g_calls.order;
    g_calls.sizeHandle = handle;
    return g_script.size;
}

extern "C" int ebhkztosjis(const unsigned char*, int, unsigned char*, int, int*, int, int,
                           const unsigned char*, const unsigned char*, int, void*) {
    return 1;
}

extern "C" void miconv_relase(void*) {}
