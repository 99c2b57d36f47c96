// The commands of the ovl tool. Each returns the process exit code: 0 done,
// 1 an input is bad or an output cannot be written (a one-line message naming
// the file went to err).
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

struct RenderCommand {
    std::vector<std::string> files;
    std::string output;          // a file for one input, a folder for several
    std::string format = "png";  // png, pdf or tiff
    RenderOptions options;
    int jobs = 1;
    bool progress = false;       // a progress line on err
};
int Render(const RenderCommand& command, FILE* err);

}  // namespace ovl

#endif
