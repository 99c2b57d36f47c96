// ovl render: one page per overlay, several overlays in parallel.
#include <atomic>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <thread>

#include "commands.h"

namespace ovl {
namespace {

std::string Stem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool Write(const Raster& page, const std::string& format, const std::string& path, std::string* error) {
    if (format == "pdf") return WritePdf(page, path, error);
    if (format == "tiff") return WriteTiffG4(page, path, error);
    return WritePng(page, path, error);
}

}  // namespace

int Render(const RenderCommand& c, FILE* err) {
    if (c.format != "png" && c.format != "pdf" && c.format != "tiff") {
        std::fprintf(err, "ovl: unknown format \"%s\" (png, pdf or tiff)\n", c.format.c_str());
        return 1;
    }
    int w = 0, h = 0;
    if (!PageSizePx(c.options.page, c.options.dpi, &w, &h)) {
        std::fprintf(err, "ovl: unknown or too large page size \"%s\" at %d dpi\n", c.options.page.c_str(),
                     c.options.dpi);
        return 1;
    }
    // Several inputs go to a folder, one page file each.
    const bool folder = c.files.size() > 1;
    if (folder && mkdir(c.output.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(err, "ovl: %s: cannot make the folder\n", c.output.c_str());
        return 1;
    }
    const std::string ext = c.format == "tiff" ? ".tif" : "." + c.format;

    std::atomic<size_t> next{0}, done{0};
    std::atomic<bool> failed{false};
    std::mutex errLock;
    auto say = [&](const std::string& line) {
        std::lock_guard<std::mutex> guard(errLock);
        if (c.progress) std::fprintf(err, "\r\033[K");
        std::fprintf(err, "%s\n", line.c_str());
    };
    auto work = [&]() {
        for (size_t i = next++; i < c.files.size(); i = next++) {
            const std::string& file = c.files[i];
            const std::string out = folder ? c.output + "/" + Stem(file) + ext : c.output;
            Loaded overlay;
            std::string error;
            if (!LoadOverlay(file, &overlay, &error)) {
                say("ovl: " + file + ": " + error);
                failed = true;
            } else {
                std::string writeError;
                bool written = false;
                const RenderResult r = RenderPage(overlay, c.options, [&](const Raster& page) {
                    written = Write(page, c.format, out, &writeError);
                });
                if (!r.ok) {
                    say("ovl: " + file + ": " + r.error);
                    failed = true;
                } else if (!written) {
                    say("ovl: " + out + ": " + writeError);
                    failed = true;
                } else {
                    if (!r.error.empty()) {
                        say("ovl: " + file + ": " + r.error);
                        failed = true;
                    }
                    if (!r.warning.empty()) say("ovl: " + file + ": warning: " + r.warning);
                }
            }
            const size_t n = ++done;
            if (c.progress) {
                std::lock_guard<std::mutex> guard(errLock);
                std::fprintf(err, "\r\033[Krendered %zu of %zu", n, c.files.size());
                std::fflush(err);
            }
        }
    };
    const int jobs = std::max(1, std::min<int>(c.jobs, static_cast<int>(c.files.size())));
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    if (c.progress) std::fprintf(err, "\r\033[K");
    return failed ? 1 : 0;
}

}  // namespace ovl
