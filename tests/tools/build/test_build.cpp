// ovl build read back by ovl dump. Every description of roundtrip/, built as
// each kind of overlay with each magic, dumps back at 1440 dpi (a device
// pixel is then a file unit) to its strings, positions and attributes, with
// the defaults for the keys it leaves out. Every case of refused.json is
// refused with its message, and no file is left behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/ovl/commands.h"

namespace {

using json = nlohmann::json;
const std::string kData = std::string(WX5N_SOURCE_DIR) + "/tests/tools/build/";

std::string Read(FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
}

std::string TempDir() {
    char dir[] = "/tmp/ovl-build-XXXXXX";
    return mkdtemp(dir);
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
json At(const json& p, bool graphic) { return {graphic && p[0] == 0 ? 1 : p[0].get<int>(), p[1]}; }
json Low(const json& a, const json& b) { return {std::min(At(a, true)[0], At(b, true)[0]), std::min(a[1], b[1])}; }
json High(const json& a, const json& b) { return {std::max(At(a, true)[0], At(b, true)[0]), std::max(a[1], b[1])}; }
// Widths at exactly 1440 dpi come back halved.
int Width(const json& e, const char* key) { return e.value(key, 14) / 2 % 256; }

void CheckText(const json& d, const json& g) {
    const bool pixel = d.value("record", 1) == 2;
    static const std::map<int, int> kRotation = {{0, 0}, {90, 2}, {180, 1}, {270, 3}};
    EXPECT_EQ(g["positionUnits"], pixel ? "pixel" : "twip");
    EXPECT_EQ(g["position"], At(d["at"], pixel));
    EXPECT_EQ(g["text"], d["text"]);
    EXPECT_EQ(g["height"], d.value("height", 210));
    EXPECT_EQ(g["expansion"], d.value("expansion", 100));
    EXPECT_EQ(g["spacing"], d.value("spacing", 0));
    EXPECT_EQ(g["rotation"], kRotation.at(d.value("rotation", 0)));
    EXPECT_EQ(g["path"], d.value("vertical", false) ? 3 : 0);
    EXPECT_EQ(g["colour"], ColourCode(d, "colour"));
    EXPECT_EQ(g["font"], d.value("font", 1));
}

void CheckAttributes(const json& d, const json& a, bool area) {
    static const std::map<std::string, int> kEnd = {{"flat", 1}, {"square", 2}, {"round", 3}};
    static const std::map<std::string, int> kStyle = {{"double", 9}, {"wave", 10}};
    EXPECT_EQ(a["lineKindCode"], d.value("lineType", 1));
    EXPECT_EQ(a["lineWidth"], Width(d, "width"));
    EXPECT_EQ(a["lineColour"], ColourCode(d, d.contains("edgeColour") ? "edgeColour" : "colour"));
    const std::string style = d.value("lineStyle", "solid");
    if (style == "solid") {
        EXPECT_LT(a["lineStyle"], 9);
    } else {
        EXPECT_EQ(a["lineStyle"], kStyle.at(style));
    }
    EXPECT_EQ(a["hatched"], d.contains("hatch") ? 1 : 0);
    if (d.contains("hatch")) {
        EXPECT_EQ(a["fillColour"], ColourCode(d, "fillColour"));
    }
    if (area) {
        EXPECT_EQ(a["edgeVisible"], d.value("edge", true) ? 1 : 0);
        EXPECT_EQ(a["edgeWidth"], Width(d, "edgeWidth"));
    } else {
        EXPECT_EQ(a["lineEnd"], kEnd.at(d.value("lineEnd", "flat")));
    }
}

// Checks the dumped elements from g[k] on against description element d;
// returns how many it took.
size_t Check(const json& d, const json& g, size_t k) {
    const std::string type = d["type"];
    if (type == "text") return CheckText(d, g[k]), 1;
    if (type == "image") {
        EXPECT_EQ(g[k]["position"], At(d["at"], true));
        EXPECT_EQ(g[k]["rows"], d["rows"].size() * (d["code"] == 209 ? 2 : 1));
        return 1;
    }
    const bool segments = type == "segments", polyline = type == "polyline";
    const size_t n = segments ? d["points"].size() / 2 : polyline ? d["points"].size() - 1 : 1;
    for (size_t i = 0; i < n; ++i) {
        const json& e = g[k + i];
        CheckAttributes(d, e["attributes"], type == "area");
        if (segments || polyline) {
            const size_t a = segments ? 2 * i : i;
            EXPECT_EQ(e["kind"], "segment");
            EXPECT_EQ(e["from"], At(d["points"][a], true));
            EXPECT_EQ(e["to"], At(d["points"][a + 1], true));
        } else if (type == "line") {
            EXPECT_EQ(e["from"], At(d["from"], true));
            EXPECT_EQ(e["to"], At(d["to"], true));
            EXPECT_EQ(e["width"], Width(d, "width"));
        } else if (type == "rectangle" || type == "area") {
            const json& box = d[type == "area" ? "box" : "corners"];
            EXPECT_EQ(e["low"], Low(box[0], box[1]));
            EXPECT_EQ(e["high"], High(box[0], box[1]));
            if (type == "area") {
                EXPECT_EQ(e["cornerRadius"], json(std::vector<int>(4, d.value("radius", 0))));
            }
        } else {
            EXPECT_EQ(e["centre"], At(d["centre"], true));
            for (const char* key : {"radius", "rx", "ry"}) {
                if (d.contains(key)) {
                    EXPECT_EQ(e[key], d[key]) << key;
                }
            }
        }
    }
    return n;
}

json Load(const std::string& path) { return json::parse(std::ifstream(path)); }

void Save(const std::string& path, const json& j) { std::ofstream(path) << j.dump(); }

TEST(OvlBuild, DescriptionsDumpBackAsWritten) {
    const std::string dir = TempDir();
    DIR* folder = opendir((kData + "roundtrip").c_str());
    ASSERT_NE(folder, nullptr);
    size_t cases = 0;
    for (dirent* f; (f = readdir(folder)) != nullptr;) {
        const std::string name = f->d_name;
        if (name.size() < 5 || name.substr(name.size() - 5) != ".json") continue;
        const json base = Load(kData + "roundtrip/" + name);
        for (int kind : {1, 2}) {
            for (const char* magic : {"ascii", "ebcdic"}) {
                SCOPED_TRACE(name + " kind " + std::to_string(kind) + " " + magic);
                json d = base;
                d["kind"] = kind;
                d["magic"] = magic;
                if (kind == 1) d["fonts"] = {"GOTHIC", "MINCHO", "MARU"};
                Save(dir + "/d.json", d);
                FILE* err = std::tmpfile();
                ASSERT_EQ(ovl::Build(dir + "/d.json", dir + "/d.ovl", err), 0) << Read(err);
                FILE* out = std::tmpfile();
                ASSERT_EQ(ovl::Dump(dir + "/d.ovl", 1440, out, err), 0) << Read(err);
                std::fclose(err);
                const json g = json::parse(Read(out))["elements"];
                size_t k = 0;
                for (size_t i = 0; i < d["elements"].size() && k < g.size(); ++i) {
                    SCOPED_TRACE("elements[" + std::to_string(i) + "]");
                    k += Check(d["elements"][i], g, k);
                }
                EXPECT_EQ(k, g.size());
                ++cases;
            }
        }
    }
    closedir(folder);
    EXPECT_GE(cases, 8u);
}

TEST(OvlBuild, RefusesWhatDoesNotReadBack) {
    const std::string dir = TempDir();
    const json table = Load(kData + "refused.json");
    ASSERT_GT(table.size(), 0u);
    for (const json& c : table) {
        SCOPED_TRACE(c["error"].get<std::string>());
        Save(dir + "/d.json", c["description"]);
        unlink((dir + "/d.ovl").c_str());
        FILE* err = std::tmpfile();
        EXPECT_EQ(ovl::Build(dir + "/d.json", dir + "/d.ovl", err), 1);
        EXPECT_EQ(Read(err), "ovl: " + dir + "/d.json: " + c["error"].get<std::string>() + "\n");
        EXPECT_NE(access((dir + "/d.ovl").c_str(), F_OK), 0);
    }
    DIR* folder = opendir(dir.c_str());
    size_t files = 0;
    for (dirent* f; (f = readdir(folder)) != nullptr;) files += f->d_name[0] != '.';
    closedir(folder);
    EXPECT_EQ(files, 1u);  // the description alone: no output, no temporary file
}

}  // namespace
