// ovl build: a JSON description of a form to an overlay file, through the
// writer. The schema is documented in docs/json-schema.md.
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <nlohmann/json.hpp>
#include <iterator>
#include <sstream>

#include "commands.h"
#include "elements.h"
#include "ovlwriter.h"

namespace ovl {
namespace {

using json = nlohmann::json;
using ovlw::Bytes;
using ovlw::Pt;
using ovlw::Append;

// A description error: names where in the description it is.
struct BuildError {
    std::string what;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw BuildError{where + ": " + what};
}

int Int(const json& j, const std::string& where, long lo = -32768, long hi = 65535) {
    if (!j.is_number_integer()) Fail(where, "expected a whole number");
    const long v = j.get<long>();
    if (v < lo || v > hi) Fail(where, "out of range " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int>(v);
}

int IntOr(const json& obj, const char* key, const std::string& where, int fallback,
          long lo = -32768, long hi = 65535) {
    if (!obj.contains(key)) return fallback;
    return Int(obj[key], where + "." + key, lo, hi);
}

// A point [x, y] in 1/1440 inch with y down the page; files keep y up.
Pt Point(const json& j, const std::string& where) {
    if (!j.is_array() || j.size() != 2) Fail(where, "expected a point [x, y]");
    return Pt{Int(j[0], where + "[0]", 0, 65535), -Int(j[1], where + "[1]", -32767, 32768)};
}

std::vector<Pt> Points(const json& j, const std::string& where, size_t least) {
    if (!j.is_array() || j.size() < least) Fail(where, "expected at least " + std::to_string(least) + " points");
    std::vector<Pt> pts;
    for (size_t i = 0; i < j.size(); ++i) pts.push_back(Point(j[i], where + "[" + std::to_string(i) + "]"));
    return pts;
}

// Converts UTF-8 text with iconv; "to" is an iconv encoding name.
Bytes Convert(const std::string& text, const char* to, const std::string& where) {
    iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) Fail(where, std::string("no converter to ") + to);
    std::vector<char> in(text.begin(), text.end());
    char* src = in.data();
    size_t left = in.size();
    std::vector<char> out(text.size() * 4 + 16);
    char* dst = out.data();
    size_t room = out.size();
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    if (r != static_cast<size_t>(-1)) iconv(cd, nullptr, nullptr, &dst, &room);  // close a shift
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) Fail(where, std::string("text cannot be written in ") + to);
    return Bytes(out.data(), dst);
}

}  // namespace
}  // namespace ovl

namespace ovl {
namespace {

// Attribute records of a graphic element. Every element writes its whole
// set, with defaults for the keys it leaves out, so that nothing carries over
// from the element before it: line kind and style, width, colour, line end
// (not for areas, which take none), interior (hollow, or hatched with its
// colour) and, for areas, the edge.
void Attributes(const json& e, const std::string& where, Bytes& out, bool area) {
    Append(out, ovlw::LineType(IntOr(e, "lineType", where, 1)));
    if (e.contains("lineStyle") && !e["lineStyle"].is_number_integer()) {
        // Extended kinds: a double line or a wave line.
        const json& st = e["lineStyle"];
        if (st != "double" && st != "wave") Fail(where + ".lineStyle", "expected \"double\" or \"wave\"");
        const unsigned selector = st == "double" ? 5 : 6;
        Append(out, ovlw::LineKindEx(selector));
        Append(out, ovlw::EdgeKindEx(selector));
    }
    Append(out, ovlw::LineWidth(static_cast<unsigned>(IntOr(e, "width", where, 14, 0, 65535))));
    const int colour = IntOr(e, "colour", where, 1, 0, 255);
    Append(out, ovlw::LineColour(static_cast<unsigned>(colour)));
    Append(out, ovlw::EdgeColour(static_cast<unsigned>(IntOr(e, "edgeColour", where, colour, 0, 255))));
    if (!area) {
        const std::string end = e.value("lineEnd", std::string("flat"));
        const unsigned v = end == "round" ? 0 : end == "square" ? 1 : end == "flat" ? 2 : 3;
        if (v == 3) Fail(where + ".lineEnd", "expected \"flat\", \"square\" or \"round\"");
        Append(out, ovlw::LineEnd(v));
    }
    if (e.contains("hatch")) {
        Append(out, ovlw::InteriorStyle(3));
        Append(out, ovlw::HatchIndex(Int(e["hatch"], where + ".hatch")));
        Append(out, ovlw::FillColour(static_cast<unsigned>(IntOr(e, "fillColour", where, 1, 0, 255))));
    } else {
        Append(out, ovlw::InteriorStyle(0));
    }
    if (area) {
        Append(out, ovlw::EdgeType(IntOr(e, "edgeType", where, 1)));
        Append(out, ovlw::EdgeWidth(static_cast<unsigned>(IntOr(e, "edgeWidth", where, 14, 0, 65535))));
        bool edge = true;
        if (e.contains("edge")) {
            if (!e["edge"].is_boolean()) Fail(where + ".edge", "expected true or false");
            edge = e["edge"].get<bool>();
        }
        Append(out, ovlw::EdgeVisibility(edge ? 1 : 0));
    }
}

}  // namespace
}  // namespace ovl

namespace ovl {
namespace {

struct Context {
    bool ebcdic = false;  // text in EBCDIC/HKZ (an EBCDIC overlay), else Shift JIS
    std::string base;     // folder of the description: files are read from there
};

Bytes TextBytes(const json& e, const std::string& where, const Context& ctx) {
    if (!e.contains("text") || !e["text"].is_string()) Fail(where + ".text", "expected a string");
    const std::string text = e["text"].get<std::string>();
    if (!ctx.ebcdic) return Convert(text, "CP932", where + ".text");
    // EBCDIC/HKZ: the double-byte run opens with 0x28 and closes with 0x29.
    Bytes b = Convert(text, "IBM939", where + ".text");
    Bytes out;
    bool inRun = false;
    for (uint8_t c : b) {
        if (c == 0x0E) { out.push_back(0x28); inRun = true; continue; }
        if (c == 0x0F) { out.push_back(0x29); inRun = false; continue; }
        out.push_back(c);
    }
    (void)inRun;
    return out;
}

Bytes Element(const json& e, const std::string& where, const Context& ctx) {
    if (!e.is_object() || !e.contains("type") || !e["type"].is_string())
        Fail(where, "expected an element with a \"type\"");
    const std::string type = e["type"].get<std::string>();
    Bytes out;
    if (type == "line") {
        Attributes(e, where, out, false);
        const Pt a = Point(e.value("from", json()), where + ".from");
        const Pt b = Point(e.value("to", json()), where + ".to");
        // The line record carries its own width (1/1440 inch).
        const int w = IntOr(e, "width", where, 14, 0, 65535);
        ovlw::Append(out, ovlw::Line(a, b, b, 0, static_cast<unsigned>(w), 0));
    } else if (type == "segments") {
        // A group of segments: each pair of points is one segment.
        const std::vector<Pt> pts = Points(e.value("points", json()), where + ".points", 2);
        if (pts.size() % 2 != 0) Fail(where + ".points", "expected pairs of points");
        ovlw::Append(out, ovlw::GroupStart(static_cast<uint32_t>(IntOr(e, "group", where, 0x100, 0, 0xFFF0)) & 0xFFF0));
        Attributes(e, where, out, false);
        for (size_t i = 0; i < pts.size(); i += 2)
            ovlw::Append(out, ovlw::DisjointPolyline({pts[i], pts[i + 1]}));
        ovlw::Append(out, ovlw::GroupEnd());
    } else if (type == "polyline") {
        // A run of connected segments, as one group.
        const std::vector<Pt> pts = Points(e.value("points", json()), where + ".points", 2);
        ovlw::Append(out, ovlw::GroupStart(0x100));
        Attributes(e, where, out, false);
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            ovlw::Append(out, ovlw::DisjointPolyline({pts[i], pts[i + 1]}));
        ovlw::Append(out, ovlw::GroupEnd());
    } else if (type == "rectangle") {
        Attributes(e, where, out, false);
        const std::vector<Pt> c = Points(e.value("corners", json()), where + ".corners", 2);
        ovlw::Append(out, ovlw::Rectangle(c[0], c[1]));
    } else if (type == "circle") {
        Attributes(e, where, out, false);
        ovlw::Append(out, ovlw::Circle(Point(e.value("centre", json()), where + ".centre"),
                                       static_cast<unsigned>(Int(e.value("radius", json()), where + ".radius", 0, 65535))));
    } else if (type == "ellipse") {
        Attributes(e, where, out, false);
        const Pt c = Point(e.value("centre", json()), where + ".centre");
        const int rx = Int(e.value("rx", json()), where + ".rx", 0, 32767);
        const int ry = Int(e.value("ry", json()), where + ".ry", 0, 32767);
        ovlw::Append(out, ovlw::Ellipse(c, Pt{c.x + rx, c.y}, Pt{c.x, c.y + ry}));
    } else if (type == "area") {
        // A box with rounded corners (radius in 1/1440 inch), filled or
        // hatched, drawn clockwise from the top-left corner.
        const std::vector<Pt> box = Points(e.value("box", json()), where + ".box", 2);
        const int r = IntOr(e, "radius", where, 0, 0, 32767);
        const int l = std::min(box[0].x, box[1].x), rgt = std::max(box[0].x, box[1].x);
        const int t = std::max(box[0].y, box[1].y), btm = std::min(box[0].y, box[1].y);  // y up
        ovlw::Append(out, ovlw::GroupStart(static_cast<uint32_t>(IntOr(e, "areaType", where, 2, 2, 5))));
        Attributes(e, where, out, true);
        auto seg = [&](Pt a, Pt b) { ovlw::Append(out, ovlw::Polyline({a, b})); };
        auto arc = [&](Pt a, Pt m, Pt b) { ovlw::Append(out, ovlw::Arc3Point(a, m, b)); };
        seg({l + r, t}, {rgt - r, t});
        if (r > 0) arc({rgt - r, t}, {rgt - r * 3 / 10, t - r * 3 / 10}, {rgt, t - r});
        seg({rgt, t - r}, {rgt, btm + r});
        if (r > 0) arc({rgt, btm + r}, {rgt - r * 3 / 10, btm + r * 3 / 10}, {rgt - r, btm});
        seg({rgt - r, btm}, {l + r, btm});
        if (r > 0) arc({l + r, btm}, {l + r * 3 / 10, btm + r * 3 / 10}, {l, btm + r});
        seg({l, btm + r}, {l, t - r});
        if (r > 0) arc({l, t - r}, {l + r * 3 / 10, t - r * 3 / 10}, {l + r, t});
        ovlw::Append(out, ovlw::GroupEnd());
    } else if (type == "text") {
        if (e.contains("font")) ovlw::Append(out, ovlw::TextFontIndex(static_cast<unsigned>(Int(e["font"], where + ".font", 1, 255))));
        if (e.contains("height")) ovlw::Append(out, ovlw::CharHeight(static_cast<unsigned>(Int(e["height"], where + ".height", 1, 32767))));
        if (e.contains("colour")) ovlw::Append(out, ovlw::TextColour(static_cast<unsigned>(Int(e["colour"], where + ".colour", 0, 255))));
        if (e.contains("expansion")) {
            const int pct = Int(e["expansion"], where + ".expansion", 1, 1000);
            ovlw::Append(out, ovlw::CharExpansion(pct / 100, static_cast<unsigned>((pct % 100) * 65536 / 100)));
        }
        if (e.contains("spacing")) {
            const int pct = Int(e["spacing"], where + ".spacing", -1000, 1000);
            ovlw::Append(out, ovlw::CharSpacing(static_cast<uint32_t>(pct * 65536 / 100)));
        }
        if (e.contains("rotation")) {
            static const int kUp[4][4] = {{0, 1, 1, 0}, {0, -1, -1, 0}, {-1, 0, 0, 1}, {1, 0, 0, -1}};
            const int r = Int(e["rotation"], where + ".rotation", 0, 270);
            const int idx = r == 0 ? 0 : r == 180 ? 1 : r == 90 ? 2 : r == 270 ? 3 : -1;
            if (idx < 0) Fail(where + ".rotation", "expected 0, 90, 180 or 270");
            ovlw::Append(out, ovlw::CharOrientation(kUp[idx][0], kUp[idx][1], kUp[idx][2], kUp[idx][3]));
        }
        const Pt at = Point(e.value("at", json()), where + ".at");
        // "record": 2 writes the other text record, whose text is always
        // Shift JIS and whose position is a file point like the shapes'.
        const int record = IntOr(e, "record", where, 1, 1, 2);
        if (record == 2) {
            Context sjis = ctx;
            sjis.ebcdic = false;
            ovlw::Append(out, ovlw::Text2(at, 0, 0, TextBytes(e, where, sjis)));
        } else {
            ovlw::Append(out, ovlw::Text(at.x, at.y, TextBytes(e, where, ctx)));
        }
    } else if (type == "image") {
        // A 1-bit image: rows of "0" and "1" (1 is ink), drawn at "at" and
        // scaled by its resolution code.
        const Pt at = Point(e.value("at", json()), where + ".at");
        const json& rows = e.value("rows", json());
        if (!rows.is_array() || rows.empty() || !rows[0].is_string())
            Fail(where + ".rows", "expected rows of \"0\" and \"1\"");
        const size_t len = rows[0].get<std::string>().size();
        if (len == 0 || len > 65535 || rows.size() > 65535) Fail(where + ".rows", "too large or empty");
        Bytes data;
        for (size_t r = 0; r < rows.size(); ++r) {
            const std::string row = rows[r].is_string() ? rows[r].get<std::string>() : std::string();
            if (row.size() != len) Fail(where + ".rows[" + std::to_string(r) + "]", "rows differ in length");
            for (size_t x = 0; x < len; x += 8) {
                uint8_t b = 0;
                for (size_t k = 0; k < 8 && x + k < len; ++k) {
                    if (row[x + k] == '1') b |= static_cast<uint8_t>(0x80 >> k);
                    else if (row[x + k] != '0') Fail(where + ".rows[" + std::to_string(r) + "]", "expected 0 and 1");
                }
                data.push_back(b);
            }
        }
        const int code = IntOr(e, "code", where, 0xC1, 0, 255);
        ovlw::Append(out, ovlw::Image(at, at, at, 0xF9, static_cast<uint8_t>(code),
                                      static_cast<unsigned>(rows.size()), static_cast<unsigned>(len), data));
    } else if (type == "bitmap") {
        // A device-independent bitmap from a BMP file, in a box.
        const std::vector<Pt> box = Points(e.value("box", json()), where + ".box", 2);
        const std::string path = e.value("file", std::string());
        std::ifstream f(ctx.base + path, std::ios::binary);
        if (path.empty() || !f) Fail(where + ".file", "cannot read \"" + path + "\"");
        Bytes bmp((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        if (bmp.size() < 14 + 40 || bmp[0] != 'B' || bmp[1] != 'M') Fail(where + ".file", "not a BMP file");
        const uint32_t bitsAt = bmp[10] | (bmp[11] << 8) | (bmp[12] << 16) | (static_cast<uint32_t>(bmp[13]) << 24);
        if (bitsAt < 54 || bitsAt > bmp.size()) Fail(where + ".file", "a broken BMP file");
        ovlw::BitmapHead head;
        head.first = box[0];
        head.second = box[1];
        Bytes dib(bmp.begin() + 14, bmp.end());
        ovlw::Append(out, ovlw::Bitmap(head, dib));
    } else {
        Fail(where + ".type", "unknown element type \"" + type + "\"");
    }
    return out;
}

}  // namespace
}  // namespace ovl

namespace ovl {
namespace {

// Line and column (from 1) of a byte offset in text.
std::string LineColumn(const std::string& text, size_t offset) {
    size_t line = 1, column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

Bytes Overlay(const json& d, const std::string& base) {
    if (!d.is_object()) Fail("description", "expected an object");
    const int kind = IntOr(d, "kind", "description", 1, 1, 2);
    const std::string magic = d.value("magic", std::string("ascii"));
    if (magic != "ascii" && magic != "ebcdic") Fail("description.magic", "expected \"ascii\" or \"ebcdic\"");
    Context ctx;
    ctx.ebcdic = magic == "ebcdic";
    ctx.base = base;

    Bytes elements;
    bool definitionsWritten = false;
    const json& list = d.contains("elements") ? d["elements"] : json::array();
    if (!list.is_array()) Fail("description.elements", "expected a list");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = "elements[" + std::to_string(i) + "]";
        const std::string type = list[i].is_object() ? list[i].value("type", std::string()) : "";
        // The overlay's own dash patterns go before the first element that
        // draws lines, whose decoder reads them.
        if (!definitionsWritten && d.contains("lineDefinitions") && type != "text") {
            for (size_t k = 0; k < d["lineDefinitions"].size(); ++k) {
                const json& def = d["lineDefinitions"][k];
                const std::string w = "lineDefinitions[" + std::to_string(k) + "]";
                std::vector<unsigned> lengths;
                for (const json& l : def.value("lengths", json::array())) lengths.push_back(static_cast<unsigned>(Int(l, w + ".lengths", 0, 65535)));
                if (lengths.size() != 2 && lengths.size() != 4) Fail(w + ".lengths", "expected 2 or 4 lengths");
                ovlw::Append(elements, ovlw::LineDefinition(Int(def.value("code", json()), w + ".code", -16400, -16385), lengths));
            }
            definitionsWritten = true;
        }
        ovlw::Append(elements, Element(list[i], where, ctx));
    }

    if (kind == 2) {
        ovlw::Kind2Options o;
        o.magic = ctx.ebcdic ? ovlw::Charset::kEbcdic : ovlw::Charset::kAscii;
        // Ids are 8 bytes: Shift JIS text for an ASCII overlay, EBCDIC/HKZ
        // (which the library converts when it reads them) for an EBCDIC one.
        o.idTextFlag = ctx.ebcdic ? 0 : 1;
        for (const json& id : d.value("ids", json::array())) {
            if (!id.is_string()) Fail("description.ids", "expected strings");
            const Bytes b = Convert(id.get<std::string>(), ctx.ebcdic ? "IBM939" : "CP932", "description.ids");
            if (b.size() > 8) Fail("description.ids", "an id is longer than 8 bytes");
            o.ids.emplace_back(b.begin(), b.end());
        }
        o.data = elements;
        ovlw::Append(o.data, ovlw::EndPicture());
        return ovlw::BuildKind2(o);
    }
    ovlw::Kind1Options o;
    o.magic = ctx.ebcdic ? ovlw::Charset::kEbcdic : ovlw::Charset::kAscii;
    const int format = IntOr(d, "dataFormat", "description", 1, 1, 3);
    o.mode = format == 1 ? 1 : format == 2 ? 0x2000 : 0x80;
    if (d.contains("resolution")) {
        const std::string tag = d["resolution"].get<std::string>();
        o.resolutionTag = ovlw::EbcdicTag(tag.c_str());
    }
    if (d.contains("fonts")) {
        std::vector<Bytes> names;
        for (const json& f : d["fonts"]) {
            const std::string name = f.get<std::string>();
            names.push_back(ctx.ebcdic ? ovlw::Ebcdic(name) : Bytes(name.begin(), name.end()));
        }
        o.preamble = ovlw::FontList(names);
    }
    o.elements = elements;
    return ovlw::BuildKind1(o);
}

}  // namespace

int Build(const std::string& descPath, const std::string& outPath, FILE* err) {
    std::ifstream in(descPath, std::ios::binary);
    if (!in) {
        std::fprintf(err, "ovl: %s: cannot open the file\n", descPath.c_str());
        return 1;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    json d;
    try {
        d = json::parse(text);
    } catch (const json::parse_error& e) {
        std::fprintf(err, "ovl: %s: invalid JSON at %s\n", descPath.c_str(),
                     LineColumn(text, e.byte > 0 ? e.byte - 1 : 0).c_str());
        return 1;
    }
    Bytes file;
    try {
        const size_t slash = descPath.find_last_of('/');
        file = Overlay(d, slash == std::string::npos ? std::string() : descPath.substr(0, slash + 1));
    } catch (const BuildError& e) {
        std::fprintf(err, "ovl: %s: %s\n", descPath.c_str(), e.what.c_str());
        return 1;
    } catch (const json::exception& e) {
        std::fprintf(err, "ovl: %s: %s\n", descPath.c_str(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(err, "ovl: %s: %s\n", descPath.c_str(), e.what());
        return 1;
    }
    if (!ovlw::WriteFile(outPath, file)) {
        std::fprintf(err, "ovl: %s: cannot write the file\n", outPath.c_str());
        return 1;
    }
    return 0;
}

}  // namespace ovl
