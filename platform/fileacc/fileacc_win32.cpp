// File access of wx5nfacc over Win32 file handles. A kernel handle keeps its
// meaning in its low 32 bits on 64-bit Windows too, so it travels in the
// 32-bit handle of the interface and is sign-extended back.
#include <windows.h>

#include "wx5nfacc.h"

namespace {

HANDLE ToHandle(int handle) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)); }

void SetStatus(int* status, DWORD value) {
    if (status != nullptr) *status = static_cast<int>(value);
}

}  // namespace

extern "C" int fcsopenfile(const char* fileName, unsigned short mode, int* handle, int* status,
                           int /*context*/) {
    if (fileName == nullptr || handle == nullptr ||
        (mode != FCS_MODE_KEEP && mode != FCS_MODE_READ)) {
        SetStatus(status, ERROR_INVALID_PARAMETER);
        return ERROR_INVALID_PARAMETER;
    }
    HANDLE h = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (err == 0) err = ERROR_OPEN_FAILED;
        SetStatus(status, err);
        return static_cast<int>(err);
    }
    *handle = static_cast<int>(reinterpret_cast<intptr_t>(h));
    SetStatus(status, 0);
    return 0;
}

extern "C" int fcsread(int handle, void* dst, int count, int* status) {
    if (count < 0 || (dst == nullptr && count > 0)) {
        SetStatus(status, ERROR_INVALID_PARAMETER);
        return -1;
    }
    auto* out = static_cast<unsigned char*>(dst);
    int done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!ReadFile(ToHandle(handle), out + done, static_cast<DWORD>(count - done), &got, nullptr)) {
            SetStatus(status, GetLastError());
            return -1;
        }
        if (got == 0) break;  // end of file: a short count tells the caller
        done += static_cast<int>(got);
    }
    SetStatus(status, 0);
    return done;
}

extern "C" int fcslseek(int handle, int offset, int origin, int* status) {
    const DWORD method = origin == 0 ? FILE_BEGIN : origin == 2 ? FILE_END : FILE_CURRENT;
    LARGE_INTEGER move, pos;
    move.QuadPart = offset;
    if (!SetFilePointerEx(ToHandle(handle), move, &pos, method) || pos.QuadPart > 0x7FFFFFFF) {
        SetStatus(status, GetLastError());
        return -1;
    }
    SetStatus(status, 0);
    return static_cast<int>(pos.QuadPart);
}

extern "C" int fcsclose(int handle, int* status) {
    if (!CloseHandle(ToHandle(handle))) {
        SetStatus(status, GetLastError());
        return -1;
    }
    SetStatus(status, 0);
    return 0;
}
