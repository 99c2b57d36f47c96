// The commands of the ovl tool. Each returns the process exit code: 0 done,
// 1 the input is bad (a one-line message naming the file went to err).
#ifndef OVL_COMMANDS_H
#define OVL_COMMANDS_H

#include <cstdio>
#include <string>

namespace ovl {

int Info(const std::string& file, FILE* out, FILE* err);

}  // namespace ovl

#endif
