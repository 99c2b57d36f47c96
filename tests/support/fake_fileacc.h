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
    bool failSize = false;    // the size query reports 0xFFFFFFFF
    int failConvert = 0;      // nonzero: ebhkztosjis returns this
};

struct Stats {
    int opens = 0;
    int closes = 0;
    int reads = 0;
    int seeks = 0;
    int releases = 0;                // miconv_relase calls
    unsigned lastMode = 0;
    int lastContext = 0;
    std::set<int> openHandles;       // handles opened and not yet closed
};

void Reset();
void AddFile(const std::string& name, std::vector<uint8_t> bytes);
Faults& GetFaults();
const Stats& GetStats();

}  // namespace fakefs

#endif
