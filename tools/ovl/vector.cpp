// Vector documents: not built yet; the render command reports the format as
// unavailable.
#include "document.h"

namespace ovl {

std::unique_ptr<Document> OpenVectorDocument(const std::string& format, FILE*,
                                             const RenderOptions&, std::string* error) {
    *error = "vector output (" + format + ") is not available in this build";
    return nullptr;
}

}  // namespace ovl
