// The commands of the ovl tool. Each returns the process exit code: 0 done,
// 1 an input is bad or an output cannot be written (a one-line message naming
// the file went to err), 2 the command line is wrong (a message about the
// option went to err).
#ifndef OVL_COMMANDS_H
#define OVL_COMMANDS_H

#include <cstdio>
#include <string>
#include <vector>

#include "render.h"

namespace ovl {

int Info(const std::string& file, FILE* out, FILE* err);
int Ids(const std::string& file, FILE* out, FILE* err);
int Dump(const std::string& file, int dpi, FILE* out, FILE* err);
int Build(const std::string& description, const std::string& output, FILE* err);

// The text of a system error number, in lower case.
std::string SystemError(int error);

struct RenderCommand {
    std::vector<std::string> files;  // "-" is standard input
    std::string output;          // a file (one document), a folder (a file per
                                 // input) or "-" (standard output)
    std::string format;          // png, pdf, svg, ps or tiff; "" from output
    bool raster = false;         // PDF of page images rather than vectors
    bool grey = false;           // grey rather than colour pages
    RenderOptions options;
    int jobs = 1;
    bool progress = false;       // a progress line on err
};
int Render(const RenderCommand& command, FILE* err);

}  // namespace ovl

#endif
