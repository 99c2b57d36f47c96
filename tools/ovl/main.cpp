// ovl: looks into overlay files, renders them and builds them.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "commands.h"
namespace {

// Runs a command over several files; 1 when any of them failed.
template <class Command>
int EachFile(const std::vector<std::string>& files, Command&& command) {
    int code = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) std::fputc('\n', stdout);
        code = std::max(code, command(files[i]));
    }
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"ovl: inspect, render and build page-form overlay files"};
    app.require_subcommand(1, 1);
    app.set_version_flag("--version", std::string("ovl ") + OVL_VERSION);

    std::vector<std::string> files;
    CLI::App* info = app.add_subcommand("info", "kind, format, version, ids and element counts");
    info->add_option("FILE", files, "overlay files")->required();

    CLI::App* ids = app.add_subcommand("ids", "the ids of overlays as UTF-8 text");
    ids->add_option("FILE", files, "overlay files")->required();

    int dumpDpi = 300;
    CLI::App* dump = app.add_subcommand("dump", "every element as JSON, one object per file");
    dump->add_option("FILE", files, "overlay files")->required();
    dump->add_option("-r,--dpi", dumpDpi, "device resolution of the geometry")
        ->check(CLI::Range(ovl::kMinDpi, ovl::kMaxDpi))
        ->capture_default_str();

    ovl::RenderCommand rc;
    const std::string sizes = "A3, A4, A5, B4, B5, letter, legal or WxH in mm";
    CLI::App* render = app.add_subcommand("render", "draw overlays to PNG, PDF, SVG, PostScript or TIFF pages");
    render->add_option("FILE", rc.files, "overlay files; - reads one from standard input")->required();
    render->add_option("-o,--output", rc.output,
                       "output file (one document of every input), a folder (one file per input; an "
                       "existing folder or a name ending in /) or - for standard output")
        ->required();
    render->add_option("-r,--dpi", rc.options.dpi,
                       "page resolution, " + std::to_string(ovl::kMinDpi) + " to " + std::to_string(ovl::kMaxDpi))
        ->capture_default_str();
    render->add_option("--format", rc.format, "png, pdf, svg, ps or tiff [default: from OUT's extension, else png]");
    render->add_flag("--raster", rc.raster, "PDF pages as images rather than vectors");
    render->add_flag("--mono", rc.options.mono, "draw on a 1-bit page (TIFF: CCITT Group 4)");
    render->add_flag("--grey,--gray", rc.grey, "grey pages (8-bit PNG or TIFF); automatic for grey pages");
    render->add_option("--page", rc.options.page, sizes)->capture_default_str();
    render->add_flag("--landscape", rc.options.landscape, "turn the page: its long side across");
    std::string offset;
    render->add_option("--offset", offset, "X,Y: move the drawing X mm right and Y mm down (negative: left, up)")
        ->check(CLI::Validator(
            [&rc](std::string& text) {
                char tail = 0;
                if (std::sscanf(text.c_str(), "%lf,%lf%c", &rc.options.offsetX, &rc.options.offsetY, &tail) != 2 ||
                    std::fabs(rc.options.offsetX) > 1000 || std::fabs(rc.options.offsetY) > 1000)
                    return std::string("give X,Y in millimetres, each within 1000 (for example 5,-2.5)");
                return std::string();
            },
            "X,Y"));
    render->add_option("-j,--jobs", rc.jobs, "files rendered at once (one file per input)")
        ->check(CLI::Range(1, 256))
        ->capture_default_str();
    render->footer("A page is at most " + std::to_string(ovl::kMaxPagePixels) +
                   " pixels on a side (A4 up to 1700 dpi). Exit status: 0 done, 1 an input or output "
                   "failed, 2 a wrong command line.");

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
    if (*info) return EachFile(files, [](const std::string& f) { return ovl::Info(f, stdout, stderr); });
    if (*ids) {
        return EachFile(files, [&](const std::string& f) {
            if (files.size() > 1) std::printf("file: %s\n", f.c_str());
            return ovl::Ids(f, stdout, stderr);
        });
    }
    if (*dump) return EachFile(files, [&](const std::string& f) { return ovl::Dump(f, dumpDpi, stdout, stderr); });
    if (*build) return ovl::Build(desc, out, stderr);
    if (*render) {
        rc.progress = isatty(STDERR_FILENO) != 0 && rc.files.size() > 1;
        return ovl::Render(rc, stderr);
    }
    return 2;
}
