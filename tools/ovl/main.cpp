// ovl: looks into overlay files, renders them and builds them.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "commands.h"
#include "wx5nhost.h"

namespace {
const std::string kDpiRange = std::to_string(WX5NH_DPI_MIN) + " to " + std::to_string(WX5NH_DPI_MAX);
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"ovl: inspect, render and build page-form overlay files"};
    app.require_subcommand(1, 1);

    std::string file;
    CLI::App* info = app.add_subcommand("info", "kind, format, version, ids and element counts");
    info->add_option("FILE", file, "overlay file")->required();

    CLI::App* ids = app.add_subcommand("ids", "the ids of an overlay as UTF-8 text");
    ids->add_option("FILE", file, "overlay file")->required();

    int dumpDpi = 300;
    CLI::App* dump = app.add_subcommand("dump", "every element as JSON");
    dump->add_option("FILE", file, "overlay file")->required();
    dump->add_option("--dpi", dumpDpi, "device resolution of the geometry (" + kDpiRange + ")");

    ovl::RenderCommand rc;
    CLI::App* render = app.add_subcommand("render", "draw overlays to PNG, PDF or TIFF pages");
    render->add_option("FILE", rc.files, "overlay files")->required();
    render->add_option("-o,--output", rc.output, "output file (a folder for several inputs)")->required();
    render->add_option("--dpi", rc.options.dpi, "page resolution (" + kDpiRange + ")");
    render->add_option("--format", rc.format, "png, pdf or tiff (1-bit, CCITT G4)");
    render->add_flag("--mono", rc.options.mono, "draw on a 1-bit page");
    render->add_option("--page", rc.options.page, "A3, A4, A5, B4, B5, letter, legal or WxH in mm");
    render->add_option("-j,--jobs", rc.jobs, "files rendered at once")->check(CLI::Range(1, 256));

    std::string desc, out;
    CLI::App* build = app.add_subcommand("build", "a JSON description to an overlay file");
    build->add_option("DESC", desc, "JSON description")->required();
    build->add_option("-o,--output", out, "overlay file to write")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (*info) return ovl::Info(file, stdout, stderr);
    if (*ids) return ovl::Ids(file, stdout, stderr);
    if (*dump) return ovl::Dump(file, dumpDpi, stdout, stderr);
    if (*build) return ovl::Build(desc, out, stderr);
    if (*render) {
        rc.progress = isatty(STDERR_FILENO) != 0 && rc.files.size() > 1;
        return ovl::Render(rc, stderr);
    }
    return 2;
}
