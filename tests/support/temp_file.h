// A file of the given bytes in a fresh folder under $WX5N_TEST_TMP (or /tmp),
// removed with its folder when the object goes.
#ifndef WX5N_TESTS_SUPPORT_TEMP_FILE_H
#define WX5N_TESTS_SUPPORT_TEMP_FILE_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "writer/ovlwriter.h"

class TempFile {
public:
    explicit TempFile(const ovlw::Bytes& bytes) {
        const char* base = std::getenv("WX5N_TEST_TMP");
        std::string dir = base != nullptr && *base != '\0' ? base : "/tmp";
        ::mkdir(dir.c_str(), 0755);
        dir += "/wx5n-XXXXXX";
        if (::mkdtemp(dir.data()) == nullptr) return;
        dir_ = dir;
        path_ = dir_ + "/file.ovl";
        ok_ = ovlw::WriteFile(path_, bytes);
    }
    ~TempFile() {
        if (dir_.empty()) return;
        std::remove(path_.c_str());
        ::rmdir(dir_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_, path_;
    bool ok_ = false;
};

#endif  // WX5N_TESTS_SUPPORT_TEMP_FILE_H
