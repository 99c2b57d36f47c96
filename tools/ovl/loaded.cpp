#include "loaded.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "wx5nhost.h"

namespace ovl {

std::string LoadError(int result) {
    switch (result) {
        case -2: return "not an overlay, or its structure is broken";
        case -3: return "an overlay variant that is not read";
        case -4: return "the load buffer is too small";
        case -5: return "reading the file failed (it may be truncated)";
        default: return "cannot open the file (error " + std::to_string(result) + ")";
    }
}

namespace {

std::string Reason(int e) {
    std::string s = std::strerror(e);
    if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] - 'A' + 'a');
    return s;
}

// Why file cannot be an overlay before the loader reads it: not a readable
// regular file, empty, or without either form of either magic at 186.
bool CheckFile(const std::string& file, const struct stat& st, std::string* error) {
    if (S_ISDIR(st.st_mode)) *error = "is a directory";
    else if (!S_ISREG(st.st_mode)) *error = "not a regular file";
    else if (st.st_size == 0) *error = "empty file";
    if (!error->empty()) return false;
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = Reason(errno);
        return false;
    }
    unsigned char magic[8] = {};
    const bool read8 = pread(fd, magic, 8, 186) == 8;
    close(fd);
    static const unsigned char kMagics[4][8] = {{0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xD7, 0x5C, 0x5C},
                                                {'*', '*', 'O', 'V', 'L', 'P', '*', '*'},
                                                {0x5C, 0x5C, 0xD6, 0xE5, 0xD3, 0xC7, 0x5C, 0x5C},
                                                {'*', '*', 'O', 'V', 'L', 'G', '*', '*'}};
    for (const auto& m : kMagics)
        if (read8 && std::memcmp(magic, m, 8) == 0) return true;
    *error = "not an overlay: no metafile header";
    return false;
}

}  // namespace

bool LoadOverlay(const std::string& file, Loaded* out, std::string* error) {
    // Size the buffer from the file: the whole file, with room to spare.
    struct stat st;
    if (stat(file.c_str(), &st) != 0) {
        *error = Reason(errno);
        return false;
    }
    error->clear();
    if (!CheckFile(file, st, error)) return false;
    unsigned size = static_cast<unsigned>(st.st_size) + 4096;
    if (size < 131072) size = 131072;
    out->image.assign(size, 0);
    unsigned loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    const int result = pcom_foreadd33(3, file.c_str(), out->image.data(), &size, &loaded, &kind,
                                      &format, &version, 0);
    if (result != 0) {
        *error = LoadError(result);
        return false;
    }
    out->image.resize(loaded);
    out->kind = kind;
    out->dataFormat = kind == 1 ? format : 0;
    out->layoutVersion = kind == 1 ? version : 0;
    out->elements = wx5nh_first_element(out->image.data(), out->image.size(), kind, format,
                                        &out->fonts);
    if (out->elements == 0) {
        *error = "the element records cannot be found";
        return false;
    }
    return true;
}

WX5NH_OVERLAY HostView(const Loaded& overlay, std::vector<uint8_t>& image) {
    WX5NH_OVERLAY view{};
    view.image = image.data();
    view.size = image.size();
    view.kind = overlay.kind;
    view.dataFormat = overlay.dataFormat;
    view.layoutVersion = overlay.layoutVersion;
    view.firstElement = overlay.elements;
    view.fonts = overlay.fonts;
    return view;
}

}  // namespace ovl
