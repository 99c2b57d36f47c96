// An output document of the render command: one or more pages added in
// order, written completely or not at all.
#ifndef OVL_DOCUMENT_H
#define OVL_DOCUMENT_H

#include <cstdio>
#include <memory>
#include <string>

#include "loaded.h"
#include "render.h"

namespace ovl {

class Document {
public:
    virtual ~Document() = default;
    // Renders one overlay as the next page.
    virtual RenderResult AddPage(const Loaded& overlay, const RenderOptions& options) = 0;
    // Completes the document; false with the reason when it cannot be written.
    virtual bool Finish(std::string* error) = 0;
};

// A vector document ("pdf", "svg" or "ps") written to out, which the caller
// opens (a temporary file or standard output) and closes after Finish. Null
// with the reason when the format is not a vector format or cannot be made.
std::unique_ptr<Document> OpenVectorDocument(const std::string& format, FILE* out,
                                             const RenderOptions& options, std::string* error);

}  // namespace ovl

#endif
