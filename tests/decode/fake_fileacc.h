// A scripted stand-in for the sibling file libraries: what each call returns
// and what it was called with.
#ifndef WX5N_TESTS_DECODE_FAKE_FILEACC_H
#define WX5N_TESTS_DECODE_FAKE_FILEACC_H

#include <string>

namespace scriptfs {

struct Script {
    int openResult = 0;
    int handle = 42;
    unsigned int size = 0;
    int closeResult = 0;
};

struct Calls {
    int opens = 0;
    int sizeQueries = 0;
    int closes = 0;
    unsigned short mode = 0;
    int context = 0;
    std::string name;
    int sizeHandle = 0;
    int closeHandle = 0;
    int order = 0;       // bumped by every call
    int closeOrder = 0;  // order value at the close
    int sizeOrder = 0;
};

// Sets the script and clears the record of calls.
void Reset(const Script& script);
const Calls& Recorded();

}  // namespace scriptfs

#endif  // WX5N_TESTS_DECODE_FAKE_FILEACC_H
