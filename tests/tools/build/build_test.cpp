// ovl build read back by ovl dump. Every description of roundtrip/, built as
// each kind of overlay with each magic, dumps back at 1440 dpi (a device
// pixel is then a file unit) to its strings, positions and attributes, with
// the defaults for the keys it leaves out. Every case of refused.json is
// refused with its message, and no file is left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/ovl/commands.h"

namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;
const std::string kData = std::string(WX5N_SOURCE_DIR) + "/tests/tools/data/";

std::string Read(FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
}

std::string TempDir() {
    std::string dir = (fs::temp_directory_path() / "ovl-build-XXXXXX").string();
    return mkdtemp(dir.data());
}

// The colour code the reader makes of an element's colour index or name.
int ColourCode(const json& e, const char* key) {
    static const std::map<std::string, int> kNames = {{"black", 1}, {"red", 2},    {"magenta", 3}, {"green", 4},
                                                      {"cyan", 5},  {"yellow", 6}, {"white", 8},   {"blue", 9}};
    static const int kCode[16] = {17, 7, 2, 3, 4, 5, 6, 0, 8, 1, 0, 0, 0, 0, 0, 0};
    const int index = !e.contains(key) ? 1 : e[key].is_string() ? kNames.at(e[key]) : e[key].get<int>();
    return index < 16 ? kCode[index] : 7;
}

// Where a point reads back; a graphic's x of 0 lands on the first pixel.
json At(const json& p, bool graphic = true) { return {graphic && p[0] == 0 ? 1 : p[0].get<int>(), p[1]}; }
// Widths at exactly 1440 dpi come back halved.
int Width(const json& e, const char* key) { return e.value(key, 14) / 2 % 256; }

// What dump must show for description element d (part i of it, for groups).
json Expected(const json& d, size_t i) {
    static const std::map<int, int> kRotation = {{0, 0}, {90, 2}, {180, 1}, {270, 3}};
    static const std::map<std::string, int> kEnd = {{"flat", 1}, {"square", 2}, {"round", 3}};
    const std::string type = d["type"];
    if (type == "text") {
        const bool pixel = d.value("record", 1) == 2;
        return {{"positionUnits", pixel ? "pixel" : "twip"}, {"position", At(d["at"], pixel)}, {"text", d["text"]},
                {"height", d.value("height", 210)}, {"expansion", d.value("expansion", 100)},
                {"spacing", d.value("spacing", 0)}, {"rotation", kRotation.at(d.value("rotation", 0))},
                {"path", d.value("vertical", false) ? 3 : 0}, {"colour", ColourCode(d, "colour")},
                {"font", d.value("font", 1)}};
    }
    if (type == "image") return {{"position", At(d["at"])}, {"rows", d["rows"].size() * (d["code"] == 209 ? 2 : 1)}};
    json a = {{"lineKindCode", d.value("lineType", 1)}, {"lineWidth", Width(d, "width")},
              {"lineColour", ColourCode(d, d.contains("edgeColour") ? "edgeColour" : "colour")},
              {"hatched", d.contains("hatch") ? 1 : 0}};
    if (d.contains("lineStyle")) a["lineStyle"] = d["lineStyle"] == "double" ? 9 : 10;
    if (d.contains("hatch")) a["fillColour"] = ColourCode(d, "fillColour");
    if (type == "area") a.update({{"edgeVisible", d.value("edge", true) ? 1 : 0}, {"edgeWidth", Width(d, "edgeWidth")}});
    else a["lineEnd"] = kEnd.at(d.value("lineEnd", "flat"));
    json e = {{"attributes", a}};
    if (type == "segments" || type == "polyline") {
        const size_t p = type == "segments" ? 2 * i : i;
        e.update({{"kind", "segment"}, {"from", At(d["points"][p])}, {"to", At(d["points"][p + 1])}});
    } else if (type == "line") {
        e.update({{"from", At(d["from"])}, {"to", At(d["to"])}, {"width", Width(d, "width")}});
    } else if (type == "rectangle" || type == "area") {
        const json& b = d[type == "area" ? "box" : "corners"];
        e["low"] = {std::min(At(b[0])[0], At(b[1])[0]), std::min(b[0][1], b[1][1])};
        e["high"] = {std::max(At(b[0])[0], At(b[1])[0]), std::max(b[0][1], b[1][1])};
        if (type == "area") e["cornerRadius"] = std::vector<int>(4, d.value("radius", 0));
    } else {
        e["centre"] = At(d["centre"]);
        for (const char* key : {"radius", "rx", "ry"}) e[key] = d.contains(key) ? d[key] : json();
    }
    return e;
}

// Every key of want has its value in got (nested objects key by key); a
// solid line's style must not be a double or wave line's.
void ExpectIn(const json& want, const json& got) {
    for (auto it = want.begin(); it != want.end(); ++it) {
        if (it->is_object()) {
            ExpectIn(*it, got[it.key()]);
        } else if (!it->is_null()) {
            EXPECT_EQ(got[it.key()], *it) << it.key();
        }
    }
    if (want.contains("lineKindCode") && !want.contains("lineStyle")) {
        EXPECT_LT(got["lineStyle"], 9);
    }
}

// Dump elements a description element makes: one a segment for groups.
size_t Parts(const json& d) {
    return d["type"] == "segments" ? d["points"].size() / 2 : d["type"] == "polyline" ? d["points"].size() - 1 : 1;
}

json Load(const fs::path& path) { return json::parse(std::ifstream(path)); }

void Save(const std::string& path, const json& j) { std::ofstream(path) << j.dump(); }

TEST(OvlBuild, DescriptionsDumpBackAsWritten) {
    const std::string dir = TempDir();
    size_t cases = 0;
    for (const auto& file : fs::directory_iterator(kData + "roundtrip")) {
        for (int kind = 1; kind <= 2; ++kind) {
            for (const char* magic : {"ascii", "ebcdic"}) {
                SCOPED_TRACE(file.path().filename().string() + " kind " + std::to_string(kind) + " " + magic);
                json d = Load(file.path());
                d.update({{"kind", kind}, {"magic", magic}});
                if (kind == 1) d["fonts"] = {"GOTHIC", "MINCHO", "MARU"};
                Save(dir + "/d.json", d);
                FILE* err = std::tmpfile();
                ASSERT_EQ(ovl::Build(dir + "/d.json", dir + "/d.ovl", err), 0) << Read(err);
                FILE* out = std::tmpfile();
                ASSERT_EQ(ovl::Dump(dir + "/d.ovl", 1440, out, err), 0) << Read(err);
                std::fclose(err);
                const json g = json::parse(Read(out))["elements"];
                size_t k = 0;
                for (size_t i = 0; i < d["elements"].size(); ++i) {
                    SCOPED_TRACE("elements[" + std::to_string(i) + "]");
                    for (size_t part = 0; part < Parts(d["elements"][i]) && k < g.size(); ++part)
                        ExpectIn(Expected(d["elements"][i], part), g[k++]);
                }
                EXPECT_EQ(k, g.size());
                ++cases;
            }
        }
    }
    EXPECT_GE(cases, 8u);
}

TEST(OvlBuild, RefusesWhatDoesNotReadBack) {
    const std::string dir = TempDir();
    const json table = Load(kData + "refused.json");
    ASSERT_GT(table.size(), 0u);
    for (const json& c : table) {
        SCOPED_TRACE(c["error"].get<std::string>());
        Save(dir + "/d.json", c["description"]);
        fs::remove(dir + "/d.ovl");
        FILE* err = std::tmpfile();
        EXPECT_EQ(ovl::Build(dir + "/d.json", dir + "/d.ovl", err), 1);
        EXPECT_EQ(Read(err), "ovl: " + dir + "/d.json: " + c["error"].get<std::string>() + "\n");
        EXPECT_FALSE(fs::exists(dir + "/d.ovl"));
    }
    // The description alone: no output, no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

}  // namespace
