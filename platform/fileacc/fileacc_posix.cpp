// File access of wx5nfacc over POSIX descriptors: the handle is the file
// descriptor itself, which fits the 32-bit handle of the interface.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "wx5nfacc.h"

namespace {

void SetStatus(int* status, int value) {
    if (status != nullptr) *status = value;
}

}  // namespace

extern "C" int fcsopenfile(const char* fileName, unsigned short mode, int* handle, int* status,
                           int /*context*/) {
    if (fileName == nullptr || handle == nullptr) {
        SetStatus(status, EINVAL);
        return EINVAL;
    }
    if (mode != FCS_MODE_KEEP && mode != FCS_MODE_READ) {
        SetStatus(status, EINVAL);
        return EINVAL;
    }
    int fd;
    do {
        fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        int err = errno != 0 ? errno : EIO;
        SetStatus(status, err);
        return err;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetStatus(status, EISDIR);
        return EISDIR;
    }
    *handle = fd;
    SetStatus(status, 0);
    return 0;
}

extern "C" int fcsread(int handle, void* dst, int count, int* status) {
    if (count < 0 || (dst == nullptr && count > 0)) {
        SetStatus(status, EINVAL);
        return -1;
    }
    auto* out = static_cast<unsigned char*>(dst);
    int done = 0;
    while (done < count) {
        ssize_t n = ::read(handle, out + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            SetStatus(status, errno);
            return -1;
        }
        if (n == 0) break;  // end of file: a short count tells the caller
        done += static_cast<int>(n);
    }
    SetStatus(status, 0);
    return done;
}

extern "C" int fcslseek(int handle, int offset, int origin, int* status) {
    int whence = origin == 0 ? SEEK_SET : origin == 2 ? SEEK_END : SEEK_CUR;
    off_t pos = ::lseek(handle, static_cast<off_t>(offset), whence);
    if (pos < 0 || pos > 0x7FFFFFFF) {
        SetStatus(status, pos < 0 ? errno : EOVERFLOW);
        return -1;
    }
    SetStatus(status, 0);
    return static_cast<int>(pos);
}

extern "C" int fcsclose(int handle, int* status) {
    if (::close(handle) != 0) {
        SetStatus(status, errno);
        return -1;
    }
    SetStatus(status, 0);
    return 0;
}
