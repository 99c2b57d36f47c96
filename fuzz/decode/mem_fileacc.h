// A file layer over one block of memory: the fuzz input is the only file.
#ifndef WX5N_FUZZ_DECODE_MEM_FILEACC_H
#define WX5N_FUZZ_DECODE_MEM_FILEACC_H

#include <cstddef>
#include <cstdint>

namespace memfile {

// Every open opens these bytes; they must outlive the calls.
void Set(const uint8_t* data, size_t size);

}  // namespace memfile

#endif  // WX5N_FUZZ_DECODE_MEM_FILEACC_H
