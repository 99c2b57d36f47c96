// ovl ids: the ids of an overlay as UTF-8 text, one a line.
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "include/wx5novl1.h"
#include "loaded.h"
#include "textconv.h"

namespace ovl {

int Ids(const std::string& file, FILE* out, FILE* err) {
    Loaded ovl;
    std::string error;
    if (!LoadOverlay(file, &ovl, &error)) {
        std::fprintf(err, "ovl: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    const unsigned count = ovl.image[263];
    if (264 + 8 * static_cast<size_t>(count) > ovl.image.size()) {
        std::fprintf(err, "ovl: %s: the id table runs past the data\n", file.c_str());
        return 1;
    }
    for (unsigned i = 1; i <= count; ++i) {
        char id[9] = {};
        const int r = pcom_fogetid(ovl.image.data(), static_cast<unsigned char>(i), id);
        if (r != 0) {
            std::fprintf(err, "ovl: %s: id %u cannot be converted (result %d)\n", file.c_str(), i, r);
            return 1;
        }
        // Spaces came back as NUL bytes; the id ends at its last character.
        size_t n = 8;
        while (n > 0 && id[n - 1] == '\0') --n;
        for (size_t k = 0; k < n; ++k)
            if (id[k] == '\0') id[k] = ' ';
        std::fprintf(out, "%s\n", Printable(SjisToUtf8(reinterpret_cast<uint8_t*>(id), n)).c_str());
    }
    return 0;
}

}  // namespace ovl
