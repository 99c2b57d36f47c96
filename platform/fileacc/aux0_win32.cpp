// The file-size query of wx5naux0 over Win32 handles (see fileacc_win32.cpp
// for how a handle travels in 32 bits).
#include <windows.h>

#include "wx5naux0.h"

extern "C" unsigned int auxgetfilesize(int handle, int /*reserved*/) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)), &size) ||
        size.QuadPart >= 0xFFFFFFFFll)
        return 0xFFFFFFFFu;
    return static_cast<unsigned int>(size.QuadPart);
}
