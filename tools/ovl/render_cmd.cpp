// ovl render: overlays to pages. One document for all inputs (a file, or
// standard output), or one file per input in a folder, several at once.
// Every file is written under a temporary name beside its target and renamed
// when complete, so a failure never leaves a partial or clobbered page.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "commands.h"
#include "document.h"

namespace ovl {

std::string SystemError(int error) {
    std::string s = std::strerror(error);
    if (!s.empty()) s[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[0])));
    return s;
}

namespace {

// A stream over a file descriptor that remembers the first error of a write,
// so that whatever wrote through it, the failure is reported with its reason.
struct Sink {
    int fd = -1;
    int error = 0;
};

ssize_t SinkWrite(void* cookie, const char* buf, size_t size) {
    auto* sink = static_cast<Sink*>(cookie);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(sink->fd, buf + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (sink->error == 0) sink->error = n < 0 ? errno : EIO;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

int SinkClose(void*) { return 0; }

mode_t CreationMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return 0666 & ~mask;
    }();
    return mode;
}

// One output: standard output ("-"), a device or pipe written in place
// (it cannot be renamed over), or a regular file written to a temporary name
// in its folder and renamed over the target when complete.
class OutputFile {
public:
    ~OutputFile() { Abandon(); }

    bool Open(const std::string& path, std::string* error) {
        path_ = path;
        struct stat st;
        const bool exists = path != "-" && stat(path.c_str(), &st) == 0;
        if (path == "-") {
            sink_.fd = STDOUT_FILENO;
        } else if (exists && !S_ISREG(st.st_mode)) {
            if (S_ISDIR(st.st_mode)) return Fail(EISDIR, error);
            sink_.fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (sink_.fd < 0) return Fail(errno, error);
            ownFd_ = true;
        } else {
            const size_t slash = path.find_last_of('/');
            const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
            const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
            std::string temp = (slash == std::string::npos ? "" : dir) + "." + base + ".XXXXXX";
            sink_.fd = mkostemp(&temp[0], O_CLOEXEC);
            if (sink_.fd < 0) {
                *error = "cannot write in " + dir + ": " + SystemError(errno);
                return false;
            }
            temp_ = temp;
            ownFd_ = true;
            // A replaced file keeps its permissions; a new one gets the umask's.
            fchmod(sink_.fd, exists ? st.st_mode & 07777 : CreationMode());
        }
        stream_ = fopencookie(&sink_, "w", cookie_io_functions_t{nullptr, SinkWrite, nullptr, SinkClose});
        if (!stream_) return Fail(errno, error);
        return true;
    }

    FILE* stream() const { return stream_; }

    // Makes the output complete: flushed, on disk, under its name.
    bool Commit(std::string* error) {
        const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
        std::fclose(stream_);
        stream_ = nullptr;
        if (!flushed) return Fail(sink_.error ? sink_.error : EIO, error);
        if (!temp_.empty() && fsync(sink_.fd) != 0) return Fail(errno, error);
        if (ownFd_) {
            const int closed = close(sink_.fd);
            ownFd_ = false;
            if (closed != 0) return Fail(errno, error);
        }
        if (!temp_.empty()) {
            if (rename(temp_.c_str(), path_.c_str()) != 0) return Fail(errno, error);
            temp_.clear();
        }
        return true;
    }

    // The write error seen so far, if any, for a document's own message.
    int WriteError() const { return sink_.error; }

    void Abandon() {
        if (stream_) std::fclose(stream_);
        stream_ = nullptr;
        if (ownFd_) close(sink_.fd);
        ownFd_ = false;
        if (!temp_.empty()) unlink(temp_.c_str());
        temp_.clear();
    }

private:
    bool Fail(int e, std::string* error) {
        *error = SystemError(e);
        Abandon();
        return false;
    }
    std::string path_, temp_;
    Sink sink_;
    bool ownFd_ = false;
    FILE* stream_ = nullptr;
};

const char* const kStdinName = "standard input";

// Loads an input; "-" is standard input, kept in a temporary file for the
// loader, which reads by name.
bool LoadInput(const std::string& file, Loaded* overlay, std::string* error) {
    if (file != "-") return LoadOverlay(file, overlay, error);
    const char* tmpdir = std::getenv("TMPDIR");
    std::string temp = std::string(tmpdir && *tmpdir ? tmpdir : "/tmp") + "/ovl-stdin-XXXXXX";
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot keep standard input: " + SystemError(errno);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0) *error = SystemError(errno);
            ok = n == 0;
            break;
        }
        if (write(fd, buf, static_cast<size_t>(n)) != n) {
            *error = "cannot keep standard input: " + SystemError(errno);
            ok = false;
            break;
        }
    }
    close(fd);
    ok = ok && LoadOverlay(temp, overlay, error);
    unlink(temp.c_str());
    return ok;
}

std::string Shown(const std::string& file) { return file == "-" ? kStdinName : file; }

std::string Stem(const std::string& path) {
    if (path == "-") return "stdin";
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The format an extension names, "" for none.
std::string FormatOf(const std::string& ext) {
    static const std::map<std::string, std::string> kExt = {
        {"png", "png"}, {"pdf", "pdf"}, {"svg", "svg"}, {"ps", "ps"}, {"tif", "tiff"}, {"tiff", "tiff"}};
    const auto it = kExt.find(Lowered(ext));
    return it == kExt.end() ? "" : it->second;
}

bool SinglePage(const std::string& format) { return format == "png" || format == "svg"; }

// Messages to err from several workers; a progress line is kept below them.
class Reporter {
public:
    Reporter(FILE* err, bool progress, size_t total) : err_(err), progress_(progress), total_(total) {}
    void Say(const std::string& line) {
        std::lock_guard<std::mutex> guard(lock_);
        if (progress_) std::fprintf(err_, "\r\033[K");
        std::fprintf(err_, "ovl: %s\n", line.c_str());
    }
    void Done() {
        std::lock_guard<std::mutex> guard(lock_);
        ++done_;
        if (!progress_) return;
        std::fprintf(err_, "\r\033[Krendered %zu of %zu", done_, total_);
        std::fflush(err_);
    }
    void End() {
        if (progress_) std::fprintf(err_, "\r\033[K");
    }

private:
    FILE* err_;
    bool progress_;
    size_t total_, done_ = 0;
    std::mutex lock_;
};

struct Job {
    const RenderCommand& command;
    std::string format;    // png, pdf, svg, ps or tiff
    bool vector = false;   // through OpenVectorDocument
};

std::unique_ptr<Document> OpenDocument(const Job& job, FILE* out, std::string* error) {
    if (job.vector) return OpenVectorDocument(job.format, out, job.command.options, error);
    return OpenRasterDocument(job.format, out, job.command.grey, error);
}

// The box the overlay's elements span on a page at dpi, in device pixels:
// line ends, box corners, circles and ellipses with their radii, the
// positions of text, images and bitmaps. False when nothing has a position.
bool DrawingBox(const Loaded& overlay, int dpi, RECT* box) {
    std::vector<uint8_t> image = overlay.image;  // the decoders take a writable cursor
    WX5NH_OVERLAY view = HostView(overlay, image);
    WX5NH_WALK_OPTIONS options{};
    options.dpi = static_cast<unsigned>(dpi);
    options.keepAttributes = 1;
    options.maxSteps = 10'000'000;
    struct Box {
        RECT* box;
        bool any;
        int dpi;
        void Add(long x, long y) {
            if (!any) *box = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x), static_cast<LONG>(y)};
            any = true;
            box->left = std::min<LONG>(box->left, x);
            box->top = std::min<LONG>(box->top, y);
            box->right = std::max<LONG>(box->right, x);
            box->bottom = std::max<LONG>(box->bottom, y);
        }
    } found{box, false, dpi};
    WX5NH_STOP stop{};
    wx5nh_walk(&view, &options, [](void* context, const WX5NH_ELEMENT* e) {
        Box& b = *static_cast<Box*>(context);
        const WX5NH_ELEMENT& d = *e;
        if (d.result != 0) return 0;
        switch (d.kind) {
            case FO_KIND_LINE: case FO_KIND_SEGMENTS:
                if (d.kind == FO_KIND_SEGMENTS && d.ended) break;
                b.Add(d.point[0].x, d.point[0].y);
                b.Add(d.point[1].x, d.point[1].y);
                break;
            case FO_KIND_RECTANGLE: b.Add(d.point[0].x, d.point[0].y); b.Add(d.point[1].x, d.point[1].y); break;
            case FO_KIND_AREA: case FO_KIND_AREA_T4: case FO_KIND_AREA_T5:
                if (d.low.x <= d.high.x && d.low.y <= d.high.y) {
                    b.Add(d.low.x, d.low.y);
                    b.Add(d.high.x, d.high.y);
                }
                break;
            case FO_KIND_CIRCLE: case FO_KIND_ELLIPSE: {
                const long rx = d.kind == FO_KIND_CIRCLE ? d.radius : d.radiusX;
                const long ry = d.kind == FO_KIND_CIRCLE ? d.radius : d.radiusY;
                b.Add(d.centre.x - rx, d.centre.y - ry);
                b.Add(d.centre.x + rx, d.centre.y + ry);
                break;
            }
            case FO_KIND_TEXT: b.Add(d.textPosition.x * b.dpi / 1440, d.textPosition.y * b.dpi / 1440); break;  // twips
            case FO_KIND_TEXT2: b.Add(d.textPosition.x, d.textPosition.y); break;
            case FO_KIND_IMAGE: b.Add(d.imagePosition.x, d.imagePosition.y); break;
            case FO_KIND_BITMAP:
                b.Add(d.bitmapCorner[0].x, d.bitmapCorner[0].y);
                b.Add(d.bitmapCorner[1].x, d.bitmapCorner[1].y);
                break;
            default: break;
        }
        return 0;
    }, &found, &stop);
    return found.any;
}

// A warning when the drawing reaches past the page, in millimetres.
std::string OutsideWarning(const Loaded& overlay, const RenderOptions& options) {
    int w = 0, h = 0;
    RECT box;
    if (!PageSizePx(options, &w, &h) || !DrawingBox(overlay, options.dpi, &box)) return "";
    int dx = 0, dy = 0;
    OffsetPx(options, &dx, &dy);
    box = RECT{box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
    if (box.left >= 0 && box.top >= 0 && box.right < w && box.bottom < h) return "";
    auto mm = [&](long px) { return std::to_string(std::lround(px * 25.4 / options.dpi)); };
    return "the drawing spans " + mm(box.left) + ".." + mm(box.right) + " x " + mm(box.top) + ".." +
           mm(box.bottom) + " mm, beyond the " + mm(w) + " x " + mm(h) +
           " mm page (try a larger --page" + (options.landscape ? ")" : " or --landscape)");
}

// Reports a page's render result; false when the page is missing or partial.
bool Report(const RenderResult& r, const std::string& file, Reporter* say) {
    if (!r.warning.empty()) say->Say(Shown(file) + ": warning: " + r.warning);
    if (r.ok && r.error.empty()) return true;
    say->Say(Shown(file) + ": " + r.error);
    return false;
}

// Writes the overlays as the pages of one document to out. Every input is
// loaded first: a document is written whole or not at all.
bool WriteDocument(const Job& job, const std::vector<std::string>& files, const std::string& out,
                   Reporter* say) {
    std::vector<Loaded> overlays(files.size());
    bool loaded = true;
    for (size_t i = 0; i < files.size(); ++i) {
        std::string error;
        if (!LoadInput(files[i], &overlays[i], &error)) {
            say->Say(Shown(files[i]) + ": " + error);
            loaded = false;
        }
    }
    const std::string shownOut = out == "-" ? "standard output" : out;
    if (!loaded) {
        if (files.size() > 1) say->Say(shownOut + ": not written: an input cannot be read");
        return false;
    }
    struct stat target, input;
    if (out != "-" && stat(out.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
        for (const std::string& f : files) {
            if (f != "-" && stat(f.c_str(), &input) == 0 && input.st_dev == target.st_dev &&
                input.st_ino == target.st_ino) {
                say->Say(shownOut + ": is an input; not overwritten");
                return false;
            }
        }
    }
    OutputFile file;
    std::string error;
    if (!file.Open(out, &error)) {
        say->Say(shownOut + ": " + error);
        return false;
    }
    std::unique_ptr<Document> doc = OpenDocument(job, file.stream(), &error);
    if (!doc) {
        say->Say(shownOut + ": " + error);
        return false;
    }
    bool complete = true;
    for (size_t i = 0; i < files.size(); ++i) {
        RenderResult r = doc->AddPage(overlays[i], job.command.options);
        const std::string outside = OutsideWarning(overlays[i], job.command.options);
        if (!outside.empty()) r.warning += (r.warning.empty() ? "" : "; ") + outside;
        complete = Report(r, files[i], say) && complete;
        if (!r.ok) {
            say->Say(shownOut + ": not written: a page cannot be made");
            return false;
        }
        say->Done();
    }
    const bool finished = doc->Finish(&error);
    doc.reset();
    if (!finished) {
        if (file.WriteError() != 0) error = SystemError(file.WriteError());
        say->Say(shownOut + ": " + error);
        return false;
    }
    if (!file.Commit(&error)) {
        say->Say(shownOut + ": " + error);
        return false;
    }
    return complete;
}

// The file of each input in the folder: its stem and the format's extension,
// numbered when an earlier input took the name.
std::vector<std::string> FolderNames(const std::vector<std::string>& files, const std::string& folder,
                                     const std::string& ext, Reporter* say) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    std::map<std::string, std::string> owner;
    for (const std::string& f : files) {
        const std::string stem = Stem(f);
        std::string name = folder + stem + ext;
        for (int n = 2; taken.count(name); ++n) name = folder + stem + "-" + std::to_string(n) + ext;
        if (name != folder + stem + ext)
            say->Say(Shown(f) + ": written as " + name + ": " + owner[folder + stem + ext] +
                     " has the same name");
        owner[name] = Shown(f);
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}

int Usage(FILE* err, const std::string& message) {
    std::fprintf(err, "ovl render: %s\n", message.c_str());
    return 2;
}

}  // namespace

int Render(const RenderCommand& c, FILE* err) {
    // The command line first: each fault is about an option, exit 2.
    Job job{c, Lowered(c.format)};
    if (job.format == "tif") job.format = "tiff";
    if (!job.format.empty() && FormatOf(job.format).empty())
        return Usage(err, "--format " + c.format + ": not a format (png, pdf, svg, ps or tiff)");
    if (c.options.dpi < kMinDpi || c.options.dpi > kMaxDpi)
        return Usage(err, "--dpi " + std::to_string(c.options.dpi) + ": the resolution must be " +
                              std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi) + " dpi");
    int w = 0, h = 0;
    if (!PageSizePx(c.options, &w, &h)) {
        if (w == 0)
            return Usage(err, "--page " + c.options.page +
                                  ": not a page size (A3, A4, A5, B4, B5, letter, legal or WxH in mm)");
        return Usage(err, "--page " + c.options.page + " at " + std::to_string(c.options.dpi) + " dpi is " +
                              std::to_string(w) + " x " + std::to_string(h) + " pixels; a page is at most " +
                              std::to_string(kMaxPagePixels) + " pixels on a side");
    }
    int dx = 0, dy = 0;
    OffsetPx(c.options, &dx, &dy);
    if (w - std::min(0, dx) > kMaxPagePixels || h - std::min(0, dy) > kMaxPagePixels)
        return Usage(err, "--offset: the drawing is made on the page widened by a leftward or upward offset, "
                          "which makes it more than " + std::to_string(kMaxPagePixels) + " pixels on a side");
    if (std::count(c.files.begin(), c.files.end(), "-") > 1)
        return Usage(err, "standard input (-) is given more than once");

    if (c.output.empty()) return Usage(err, "-o: give a file, a folder or - for standard output");
    const bool several = c.files.size() > 1;
    struct stat st;
    const bool toStdout = c.output == "-";
    const bool folder = !toStdout && (c.output.back() == '/' ||
                                      (stat(c.output.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
    if (job.format.empty() && !toStdout && !folder) {
        const size_t slash = c.output.find_last_of('/');
        const size_t dot = c.output.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) {
            job.format = FormatOf(c.output.substr(dot + 1));
            if (job.format.empty())
                return Usage(err, "-o " + c.output + ": no format has the extension \"" +
                                      c.output.substr(dot) + "\"; give --format");
        }
    }
    if (job.format.empty()) job.format = "png";
    job.vector = !c.raster && (job.format == "pdf" || job.format == "svg" || job.format == "ps");
    if (c.raster && (job.format == "svg" || job.format == "ps"))
        return Usage(err, "--raster: raster pages are written as PNG, TIFF or PDF, not " + job.format);
    if (several && !folder && SinglePage(job.format)) {
        const bool file = !toStdout && stat(c.output.c_str(), &st) == 0;
        return Usage(err, std::string(toStdout ? "-o -" : "-o " + c.output) +
                              (file ? " is an existing file" : " is one file") + ": several inputs make one " +
                              (job.format == "png" ? "PNG" : "SVG") +
                              " page each; give a folder (an existing one, or a name ending in /)");
    }

    Reporter say(err, c.progress, c.files.size());
    if (!folder) {
        const bool ok = WriteDocument(job, c.files, c.output, &say);
        say.End();
        return ok ? 0 : 1;
    }

    // One file per input in the folder, made if its name ends in /.
    std::string dir = c.output;
    if (dir.back() != '/') dir += '/';
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(err, "ovl: %s: cannot make the folder: %s\n", c.output.c_str(), SystemError(errno).c_str());
        return 1;
    }
    const std::vector<std::string> outs =
        FolderNames(c.files, dir, job.format == "tiff" ? ".tif" : "." + job.format, &say);
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&]() {
        for (size_t i = next++; i < c.files.size(); i = next++) {
            if (!WriteDocument(job, {c.files[i]}, outs[i], &say)) failed = true;
        }
    };
    const int jobs = std::max(1, std::min<int>(c.jobs, static_cast<int>(c.files.size())));
    std::vector<std::thread> threads;
    for (int j = 1; j < jobs; ++j) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    say.End();
    return failed ? 1 : 0;
}

}  // namespace ovl
