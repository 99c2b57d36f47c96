// The scenario runner over the library's table: the same runner as swgdi's,
// with the library's calls from lib_scenarios.cpp.
#define WX5N_CONFORMANCE_TABLE "../../windows/conformance/lib_scenarios.txt"
#include "../../gdi/conformance/runner.cpp"
