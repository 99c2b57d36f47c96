// The file-size query of wx5naux0 over POSIX descriptors (a handle of
// wx5nfacc is a file descriptor).
#include <sys/stat.h>

#include "wx5naux0.h"

extern "C" unsigned int auxgetfilesize(int handle, int /*reserved*/) {
    struct stat st;
    if (::fstat(handle, &st) != 0) return 0xFFFFFFFFu;
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) >= 0xFFFFFFFFull)
        return 0xFFFFFFFFu;
    return static_cast<unsigned int>(st.st_size);
}
