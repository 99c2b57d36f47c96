// ovl: looks into overlay files with the library, as a host does.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
    CLI::App app{"ovl: inspect page-form overlay files"};
    app.require_subcommand(1);

    std::string file;
    CLI::App* info = app.add_subcommand("info", "kind, format, version, ids and element counts");
    info->add_option("FILE", file, "overlay file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    if (*info) return ovl::Info(file, stdout, stderr);
    return 2;
}
