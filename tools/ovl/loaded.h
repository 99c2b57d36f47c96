// An overlay loaded the way a host loads it: buffer, kind, format, version
// and where its element records begin.
#ifndef OVL_LOADED_H
#define OVL_LOADED_H

#include <cstdint>
#include <string>
#include <vector>

#include "wx5nhost.h"

namespace ovl {

struct Loaded {
    std::vector<uint8_t> image;  // the loaded image, resized to its loaded size
    int kind = 0;
    int dataFormat = 0;
    int layoutVersion = 0;
    size_t elements = 0;         // offset of the first element record
    FO_FONTBLOCK fonts{};        // the preamble's font list, if it has one
};

// Loads file; on failure returns false with a one-line reason in error.
bool LoadOverlay(const std::string& file, Loaded* out, std::string* error);

// The host library's view of a loaded overlay over image, a copy of
// overlay.image the decoders may rewrite.
WX5NH_OVERLAY HostView(const Loaded& overlay, std::vector<uint8_t>& image);

// Text of a loader result.
std::string LoadError(int result);

}  // namespace ovl

#endif
