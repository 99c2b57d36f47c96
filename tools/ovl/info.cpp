// ovl info: what kind of overlay a file is and what it holds.
#include <array>
#include <cstdio>

#include "commands.h"
#include "include/wx5novl1.h"
#include "loaded.h"

namespace ovl {
namespace {

const char* const kKindNames[13] = {
    "end",     "line",  "circle", "rectangle", "area", "area-5", "area-6",
    "text",    "ellipse", "image", "segment",  "bitmap", "text-2",
};

}  // namespace

int Info(const std::string& file, FILE* out, FILE* err) {
    Loaded ovl;
    std::string error;
    if (!LoadOverlay(file, &ovl, &error)) {
        std::fprintf(err, "ovl: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    std::fprintf(out, "file: %s\n", file.c_str());
    std::fprintf(out, "kind: %d\n", ovl.kind);
    if (ovl.kind == 1) {
        std::fprintf(out, "data format: %d\n", ovl.dataFormat);
        std::fprintf(out, "layout version: %d\n", ovl.layoutVersion);
    }
    std::fprintf(out, "loaded size: %zu\n", ovl.image.size());
    std::fprintf(out, "ids: %d\n", ovl.image.size() > 263 ? ovl.image[263] : 0);

    // Count the element records by kind, stepping record by record.
    std::array<int, 13> counts{};
    size_t at = ovl.elements;
    bool ended = false;
    while (at < ovl.image.size()) {
        const int left = static_cast<int>(ovl.image.size() - at);
        unsigned short cls = 0;
        int len = 0;
        const int framed = foreadclassid(ovl.image.data() + at, left, &cls, &len);
        if (framed == -100) {
            at += 4;
            continue;
        }
        if (framed != 0) {
            std::fprintf(err, "ovl: %s: broken record at byte %zu\n", file.c_str(), at);
            return 1;
        }
        const int kind = foreadkindget(ovl.image.data() + at, len > 0 ? len : left);
        if (kind >= 0 && kind <= 12) ++counts[kind];
        if (kind == 0) {
            ended = true;
            break;
        }
        if (len == 0) break;  // images and bitmaps: measured by their decoders
        at += static_cast<size_t>(len);
    }
    std::fprintf(out, "elements:");
    for (int k = 1; k <= 12; ++k) {
        if (counts[k] > 0) std::fprintf(out, " %s=%d", kKindNames[k], counts[k]);
    }
    std::fprintf(out, "\nend picture: %s\n", ended ? "yes" : "no");
    return 0;
}

}  // namespace ovl
