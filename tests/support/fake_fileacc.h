// An in-memory stand-in for the sibling file libraries, with injectable
// failures, so tests reach every failure path of the file callers and can
// see which files were left open.
#ifndef WX5N_TESTS_FAKE_FILEACC_H
#define WX5N_TESTS_FAKE_FILEACC_H

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace fakefs {

struct Faults {
    int openResult = 0;       // nonzero: fcsopenfile fails with this
    int failReadCall = -1;    // 0-based read call that comes back short
    int seekSkew = 0;         // added to every position fcslseek reports
    bool failClose = false;   // fcsclose reports -1
    int closeResult = 0;      // what fcsclose reports otherwise
    long long size = -1;      // 0 or more: the size query reports this
    int failConvert = 0;      // nonzero: ebhkztosjis writes "AB" and returns this
};

// The arguments of the last ebhkztosjis call.
struct ConvertCall {
    int srcLen = 0, dstSize = 0, mode1 = 0, mode2 = 0, mode3 = 0;
    unsigned char single = 0, double0 = 0, double1 = 0;
    const void* work = nullptr;
};

struct Stats {
    int opens = 0;
    int closes = 0;
    int reads = 0;
    int seeks = 0;
    int releases = 0;                // miconv_relase calls
    int sizeQueries = 0;
    unsigned lastMode = 0;
    int lastContext = 0;
    std::string lastName;
    int sizeHandle = 0, closeHandle = 0;  // the handles the size query and the close got
    int calls = 0;                        // every call, in order
    int sizeOrder = 0, closeOrder = 0;    // the value of calls at the size query and the close
    ConvertCall convert;
    const void* releasedWork = nullptr;
    std::set<int> openHandles;       // handles opened and not yet closed
};

void Reset();
void AddFile(const std::string& name, std::vector<uint8_t> bytes);
Faults& GetFaults();
const Stats& GetStats();

}  // namespace fakefs

#endif
