// ovl info: what kind of overlay a file is and what it holds.
#include <array>
#include <cstdio>

#include "commands.h"
#include "include/wx5novl1.h"
#include "loaded.h"

namespace ovl {

const char* KindName(int kind) {
    static const char* const kNames[13] = {
        "end",  "line",    "circle", "rectangle", "area",   "area",  "area",
        "text", "ellipse", "image",  "segment",   "bitmap", "text",
    };
    return kind >= 0 && kind <= 12 ? kNames[kind] : "unknown";
}

int Info(const std::string& file, FILE* out, FILE* err) {
    Loaded ovl;
    std::string error;
    if (!LoadOverlay(file, &ovl, &error)) {
        std::fprintf(err, "ovl: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    unsigned readSize = 0;
    const int sized = pcom_fogetreadsize(file.c_str(), &readSize, 0);
    unsigned char group = 0;
    pcom_fogetgrptype(ovl.image.data(), &group);

    std::fprintf(out, "file: %s\n", file.c_str());
    std::fprintf(out, "kind: %d (%s)\n", ovl.kind, ovl.kind == 1 ? "OVLP" : "OVLG");
    if (ovl.kind == 1) {
        const short dpi = pcom_foprint_getdpi(ovl.image.data(), static_cast<unsigned short>(ovl.layoutVersion));
        std::fprintf(out, "data format: %d\n", ovl.dataFormat);
        std::fprintf(out, "layout version: %d\n", ovl.layoutVersion);
        if (dpi > 0) std::fprintf(out, "resolution tag: %d\n", dpi);
        else std::fprintf(out, "resolution tag: none\n");
    }
    std::fprintf(out, "group type: %d\n", group);
    std::fprintf(out, "ids: %d\n", ovl.image[263]);
    if (sized == 0) std::fprintf(out, "buffer size: %u\n", readSize);
    std::fprintf(out, "loaded size: %zu\n", ovl.image.size());

    // Count the elements by kind, decoding each as a host does.
    std::array<size_t, 13> counts{};
    std::vector<uint8_t> image = ovl.image;
    WX5NH_OVERLAY view = HostView(ovl, image);
    WX5NH_WALK_OPTIONS options{};
    options.dpi = 240;
    WX5NH_STOP w{};
    wx5nh_walk(&view, &options,
               [](void* context, const WX5NH_ELEMENT* d) {
                   auto& counts = *static_cast<std::array<size_t, 13>*>(context);
                   if (d->result == 0 && !(d->kind == 10 && d->ended) && d->kind >= 0 && d->kind <= 12)
                       ++counts[d->kind];
                   return 0;
               },
               &counts, &w);
    std::fprintf(out, "elements:");
    size_t total = 0;
    for (int k = 1; k <= 12; ++k) {
        if (k == 5 || k == 6 || k == 12) continue;  // counted with their kin
        size_t n = counts[k];
        if (k == 4) n += counts[5] + counts[6];
        if (k == 7) n += counts[12];
        if (n > 0) std::fprintf(out, " %s=%zu", KindName(k), n);
        total += n;
    }
    std::fprintf(out, "%s\n", total == 0 ? " none" : "");
    if (w.result != 0) {
        std::fprintf(err, "ovl: %s: decoding stopped at byte %zu (result %d)\n", file.c_str(),
                     w.offset, w.result);
        return 1;
    }
    return 0;
}

}  // namespace ovl
