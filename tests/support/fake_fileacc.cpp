#include "support/fake_fileacc.h"

#include <cstring>
#include <map>

#include "wx5naux0.h"
#include "wx5nfacc.h"

namespace fakefs {
namespace {

struct OpenFile {
    std::string name;
    size_t pos = 0;
};

std::map<std::string, std::vector<uint8_t>> g_files;
std::map<int, OpenFile> g_open;
Faults g_faults;
Stats g_stats;
int g_nextHandle = 100;

}  // namespace

void Reset() {
    g_files.clear();
    g_open.clear();
    g_faults = Faults();
    g_stats = Stats();
    g_nextHandle = 100;
}

void AddFile(const std::string& name, std::vector<uint8_t> bytes) { g_files[name] = std::move(bytes); }
Faults& GetFaults() { return g_faults; }
const Stats& GetStats() { return g_stats; }

}  // namespace fakefs

using namespace fakefs;


extern "C" int fcsopenfile(const char* fileName, unsigned short mode, int* handle, int* status,
                           int context) {
    ++g_stats.calls;
    g_stats.lastMode = mode;
    g_stats.lastContext = context;
    g_stats.lastName = fileName ? fileName : "";
    if (g_faults.openResult != 0) return g_faults.openResult;
    if (fileName == nullptr || g_files.count(fileName) == 0) return 2;
    const int h = g_nextHandle++;
    g_open[h] = OpenFile{fileName, 0};
    g_stats.openHandles.insert(h);
    ++g_stats.opens;
    *handle = h;
    if (status) *status = 0;
    return 0;
}

extern "C" int fcsread(int handle, void* dst, int count, int* /*status*/) {
    const int call = g_stats.reads++;
    auto it = g_open.find(handle);
    if (it == g_open.end() || count < 0) return -1;
    const std::vector<uint8_t>& bytes = g_files[it->second.name];
    size_t n = it->second.pos < bytes.size() ? bytes.size() - it->second.pos : 0;
    if (n > static_cast<size_t>(count)) n = static_cast<size_t>(count);
    if (call == g_faults.failReadCall && n > 0) --n;
    if (n > 0) std::memcpy(dst, bytes.data() + it->second.pos, n);
    it->second.pos += n;
    return static_cast<int>(n);
}

extern "C" int fcslseek(int handle, int offset, int origin, int* /*status*/) {
    ++g_stats.seeks;
    auto it = g_open.find(handle);
    if (it == g_open.end() || origin != FCS_SEEK_CUR) return -1;
    const long long pos = static_cast<long long>(it->second.pos) + offset;
    if (pos < 0) return -1;
    it->second.pos = static_cast<size_t>(pos);
    return static_cast<int>(pos) + g_faults.seekSkew;
}

extern "C" int fcsclose(int handle, int* /*status*/) {
    ++g_stats.closes;
    g_stats.closeOrder = ++g_stats.calls;
    g_stats.closeHandle = handle;
    g_stats.openHandles.erase(handle);
    g_open.erase(handle);
    return g_faults.failClose ? -1 : g_faults.closeResult;
}

extern "C" unsigned int auxgetfilesize(int handle, int /*reserved*/) {
    ++g_stats.sizeQueries;
    g_stats.sizeOrder = ++g_stats.calls;
    g_stats.sizeHandle = handle;
    auto it = g_open.find(handle);
    if (it == g_open.end()) return 0xFFFFFFFFu;
    if (g_faults.size >= 0) return static_cast<unsigned int>(g_faults.size);
    return static_cast<unsigned int>(g_files[it->second.name].size());
}

// Copies the source as it stands (the converter itself is tested on its own).
extern "C" int ebhkztosjis(const unsigned char* src, int srcLen, unsigned char* dst, int dstSize,
                           int* outLen, int mode1, int mode2, const unsigned char* single,
                           const unsigned char* dbl, int mode3, void* work) {
    g_stats.convert = ConvertCall{srcLen, dstSize, mode1, mode2, mode3,
                                  static_cast<unsigned char>(single ? single[0] : 0),
                                  static_cast<unsigned char>(dbl ? dbl[0] : 0),
                                  static_cast<unsigned char>(dbl ? dbl[1] : 0), work};
    if (g_faults.failConvert != 0) {
        std::memcpy(dst, "AB", 2);
        return g_faults.failConvert;
    }
    const int n = srcLen < dstSize ? srcLen : dstSize;
    std::memcpy(dst, src, static_cast<size_t>(n));
    if (outLen) *outLen = n;
    return 0;
}

extern "C" void miconv_relase(void* work) {
    ++g_stats.releases;
    g_stats.releasedWork = work;
}
