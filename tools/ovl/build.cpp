// ovl build: a JSON description of a form to an overlay file, through the
// writer. The keys are documented in the README (description files).
#include <fcntl.h>
#include <sys/stat.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.h"
#include "elements.h"
#include "loaded.h"
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

// Edit distance of two short keys, for the "did you mean" of an unknown key.
size_t Distance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diag = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[b.size()];
}

// Refuses every key of obj that is not in allowed: a misspelt key would
// otherwise be left out silently and take its default.
void Keys(const json& obj, const std::string& where, const std::vector<std::string>& allowed) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        if (std::find(allowed.begin(), allowed.end(), it.key()) != allowed.end()) continue;
        std::string hint;
        for (const std::string& k : allowed)
            if (Distance(it.key(), k) <= 2) hint = " (did you mean \"" + k + "\"?)";
        Fail(where, "unknown key \"" + it.key() + "\"" + hint);
    }
}

int Int(const json& j, const std::string& where, long lo = -32768, long hi = 65535) {
    if (!j.is_number_integer()) Fail(where, "expected a whole number");
    const bool huge = j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX);
    const int64_t v = huge ? INT64_MAX : j.get<int64_t>();
    if (v < lo || v > hi) Fail(where, "out of range " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int>(v);
}

int IntOr(const json& obj, const char* key, const std::string& where, int fallback,
          long lo = -32768, long hi = 65535) {
    if (!obj.contains(key)) return fallback;
    return Int(obj[key], where + "." + key, lo, hi);
}

std::string Str(const json& j, const std::string& where) {
    if (!j.is_string()) Fail(where, "expected a string");
    return j.get<std::string>();
}

std::string StrOr(const json& obj, const char* key, const std::string& where, const char* fallback) {
    return obj.contains(key) ? Str(obj[key], where + "." + key) : std::string(fallback);
}

// Colour indexes by name: what foprintcolor makes of them is drawn in that
// colour (the README's colour table).
struct ColourName {
    const char* name;
    int index;
};
constexpr ColourName kColours[] = {{"black", 1}, {"red", 2}, {"magenta", 3}, {"green", 4},
                                   {"cyan", 5},  {"yellow", 6}, {"white", 8}, {"blue", 9}};

int Colour(const json& obj, const char* key, const std::string& where, int fallback) {
    if (!obj.contains(key)) return fallback;
    const json& j = obj[key];
    if (j.is_string()) {
        for (const ColourName& c : kColours)
            if (j.get<std::string>() == c.name) return c.index;
        Fail(where + "." + key, "unknown colour \"" + j.get<std::string>() +
                                    "\" (black, red, magenta, green, cyan, yellow, white, blue)");
    }
    if (!j.is_number_integer()) Fail(where + "." + key, "expected a colour name or index");
    return Int(j, where + "." + key, 0, 255);
}

// Description coordinates: 1/1440 inch from the page's top-left corner, y
// down, within what reads back as a positive 16-bit device position at the
// file's own unit (1440 dpi).
constexpr int kMaxCoordinate = 32767;

struct DescPt {
    int x;
    int y;
};

DescPt Point(const json& j, const std::string& where) {
    if (!j.is_array() || j.size() != 2) Fail(where, "expected a point [x, y]");
    return DescPt{Int(j[0], where + "[0]", 0, kMaxCoordinate), Int(j[1], where + "[1]", 0, kMaxCoordinate)};
}

// The decoders turn a file point p into device p * dpi / 1440 + 1 (y
// negated: files keep y up). Writing one unit less on each axis makes that
// floor((v - 1) * dpi / 1440) + 1, which is v * dpi / 1440 exactly when it
// is whole and otherwise the pixel on either side of it, at every dpi; at
// 1440 dpi it gives v back. x is unsigned in the file, so x = 0 stays 0 (and
// lands on the first pixel).
Pt FilePoint(DescPt p) { return Pt{p.x > 0 ? p.x - 1 : 0, 1 - p.y}; }

// TEXT positions come back in 1/1440 inch as (x + 1, 1 - y), cut to 16 bits:
// x - 1 (0 wraps to 0xFFFF, which reads back as 0) and 1 - y give the
// description's point back.
Pt TextPoint(DescPt p) { return Pt{p.x - 1, 1 - p.y}; }

Pt GraphicPoint(const json& j, const std::string& where) { return FilePoint(Point(j, where)); }

const json& Need(const json& obj, const char* key, const std::string& where) {
    if (!obj.contains(key)) Fail(where, std::string("missing \"") + key + "\"");
    return obj[key];
}

std::vector<Pt> Points(const json& j, const std::string& where, size_t least) {
    if (!j.is_array() || j.size() < least) Fail(where, "expected at least " + std::to_string(least) + " points");
    std::vector<Pt> pts;
    for (size_t i = 0; i < j.size(); ++i) pts.push_back(GraphicPoint(j[i], where + "[" + std::to_string(i) + "]"));
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

// Keys every graphic element takes, and those of each element type.
const std::vector<std::string> kGraphicKeys = {"type", "lineType", "lineStyle", "width", "colour",
                                               "edgeColour", "hatch", "fillColour"};

std::vector<std::string> AllowedKeys(const std::string& type) {
    std::vector<std::string> k = kGraphicKeys;
    auto add = [&k](std::initializer_list<const char*> more) { k.insert(k.end(), more.begin(), more.end()); };
    if (type == "line") add({"lineEnd", "from", "to"});
    else if (type == "segments") add({"lineEnd", "points", "group"});
    else if (type == "polyline") add({"lineEnd", "points"});
    else if (type == "rectangle") add({"lineEnd", "corners"});
    else if (type == "circle") add({"lineEnd", "centre", "radius"});
    else if (type == "ellipse") add({"lineEnd", "centre", "rx", "ry"});
    else if (type == "area") add({"box", "radius", "areaType", "edge", "edgeType", "edgeWidth"});
    else if (type == "text") k = {"type", "at", "text", "font", "height", "colour", "expansion",
                                  "spacing", "rotation", "vertical", "record"};
    else if (type == "image") k = {"type", "at", "rows", "code"};
    else if (type == "bitmap") k = {"type", "box", "file"};
    return k;
}

// Attribute records of a graphic element. Every element writes its whole
// set, with defaults for the keys it leaves out, so that nothing carries over
// from the element before it: line kind and style, width, colour, line end
// (not for areas, which take none), interior (hollow, or hatched with its
// colour) and, for areas, the edge.
void Attributes(const json& e, const std::string& where, Bytes& out, bool area) {
    Append(out, ovlw::LineType(IntOr(e, "lineType", where, 1)));
    const std::string style = StrOr(e, "lineStyle", where, "solid");
    if (style != "solid" && style != "double" && style != "wave")
        Fail(where + ".lineStyle", "expected \"solid\", \"double\" or \"wave\"");
    if (style != "solid") {
        // Extended kinds: a double line or a wave line.
        const unsigned selector = style == "double" ? 5 : 6;
        Append(out, ovlw::LineKindEx(selector));
        Append(out, ovlw::EdgeKindEx(selector));
    }
    Append(out, ovlw::LineWidth(static_cast<unsigned>(IntOr(e, "width", where, 14, 0, 65535))));
    const int colour = Colour(e, "colour", where, 1);
    Append(out, ovlw::LineColour(static_cast<unsigned>(colour)));
    Append(out, ovlw::EdgeColour(static_cast<unsigned>(Colour(e, "edgeColour", where, colour))));
    if (!area) {
        const std::string end = StrOr(e, "lineEnd", where, "flat");
        const unsigned v = end == "round" ? 0 : end == "square" ? 1 : end == "flat" ? 2 : 3;
        if (v == 3) Fail(where + ".lineEnd", "expected \"flat\", \"square\" or \"round\"");
        Append(out, ovlw::LineEnd(v));
    }
    if (e.contains("hatch")) {
        Append(out, ovlw::InteriorStyle(3));
        Append(out, ovlw::HatchIndex(Int(e["hatch"], where + ".hatch", -32768, 32767)));
        Append(out, ovlw::FillColour(static_cast<unsigned>(Colour(e, "fillColour", where, 1))));
    } else {
        if (e.contains("fillColour")) Fail(where + ".fillColour", "a fill colour needs a \"hatch\"");
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

struct Context {
    bool ebcdic = false;     // TEXT records in EBCDIC/HKZ (a kind 1 EBCDIC overlay), else Shift JIS
    int kind = 1;
    size_t fonts = 0;        // names in the font list
    std::string base;        // folder of the description: files are read from there
};

Bytes TextBytes(const json& e, const std::string& where, bool ebcdic) {
    const std::string text = Str(Need(e, "text", where), where + ".text");
    if (!ebcdic) return Convert(text, "CP932", where + ".text");
    // EBCDIC/HKZ: a double-byte run opens with 0x28 and closes with 0x29.
    // The reader takes the text to start inside a run unless its control
    // bytes end with 0x29, so text that starts with a single-byte character
    // gets that 0x29 first.
    const Bytes b = Convert(text, "IBM939", where + ".text");
    Bytes out;
    if (!b.empty() && b[0] != 0x0E) out.push_back(0x29);
    for (uint8_t c : b) out.push_back(c == 0x0E ? 0x28 : c == 0x0F ? 0x29 : c);
    return out;
}

// Text attributes, all of them every time (a text element takes nothing from
// the one before it): font, height, colour, expansion, spacing, orientation
// and path.
void TextAttributes(const json& e, const std::string& where, const Context& ctx, Bytes& out) {
    // Kind 2 overlays carry no font list: their hosts take the index as it is.
    const int fonts = ctx.kind == 2 ? 255 : static_cast<int>(ctx.fonts);
    if (e.contains("font") && fonts == 0) Fail(where + ".font", "the overlay has no \"fonts\" list");
    Append(out, ovlw::TextFontIndex(static_cast<unsigned>(IntOr(e, "font", where, 1, 1, fonts))));
    Append(out, ovlw::CharHeight(static_cast<unsigned>(IntOr(e, "height", where, 210, 1, 32767))));
    Append(out, ovlw::TextColour(static_cast<unsigned>(Colour(e, "colour", where, 1))));
    // Expansion and spacing in hundredths, as 16.16 fixed point. The reader
    // rounds the expansion's fraction up and truncates the spacing toward
    // zero, so the fraction is written rounded down and the spacing rounded
    // away from zero: both read back as written.
    const int pct = IntOr(e, "expansion", where, 100, 1, 1000);
    Append(out, ovlw::CharExpansion(pct / 100, static_cast<unsigned>((pct % 100) * 65536 / 100)));
    const int sp = IntOr(e, "spacing", where, 0, -1000, 1000);
    const int64_t mag = (static_cast<int64_t>(sp < 0 ? -sp : sp) * 65536 + 99) / 100;
    Append(out, ovlw::CharSpacing(static_cast<uint32_t>(sp < 0 ? -mag : mag)));
    // Up and base vectors of the four rotations (degrees counter-clockwise).
    static const int kUp[4][4] = {{0, 1, 1, 0}, {-1, 0, 0, 1}, {0, -1, -1, 0}, {1, 0, 0, -1}};
    const int r = IntOr(e, "rotation", where, 0, 0, 270);
    if (r % 90 != 0) Fail(where + ".rotation", "expected 0, 90, 180 or 270");
    const int* up = kUp[r / 90];
    Append(out, ovlw::CharOrientation(up[0], up[1], up[2], up[3]));
    // Text path 3 (down): upright vertical writing; 0 (right) otherwise.
    bool vertical = false;
    if (e.contains("vertical")) {
        if (!e["vertical"].is_boolean()) Fail(where + ".vertical", "expected true or false");
        vertical = e["vertical"].get<bool>();
    }
    Append(out, ovlw::TextPath(vertical ? 3 : 0));
}

// Resolution codes the image decoder knows.
bool KnownImageCode(int code) {
    static const int kCodes[] = {0xB1, 0xB3, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4,
                                 0xD0, 0xD1, 0xF0, 0xF1, 0xF2, 0xF3};
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

void Text(const json& e, const std::string& where, const Context& ctx, Bytes& out) {
    TextAttributes(e, where, ctx, out);
    const DescPt at = Point(Need(e, "at", where), where + ".at");
    // "record": 2 writes the other text record, whose text is always Shift
    // JIS and whose position converts like the shapes'. Kind 2 overlays have
    // no layout version to say their text is EBCDIC: hosts read it as Shift
    // JIS whatever the magic.
    const int record = IntOr(e, "record", where, 1, 1, 2);
    if (record == 2) {
        ovlw::Append(out, ovlw::Text2(FilePoint(at), 0, 0, TextBytes(e, where, false)));
    } else {
        const Pt p = TextPoint(at);
        ovlw::Append(out, ovlw::Text(p.x, p.y, TextBytes(e, where, ctx.ebcdic && ctx.kind == 1)));
    }
}

void Image(const json& e, const std::string& where, Bytes& out) {
    // A 1-bit image: rows of "0" and "1" (1 is ink), drawn at "at" and
    // scaled by its resolution code.
    const Pt at = GraphicPoint(Need(e, "at", where), where + ".at");
    const json& rows = Need(e, "rows", where);
    if (!rows.is_array() || rows.empty() || !rows[0].is_string())
        Fail(where + ".rows", "expected rows of \"0\" and \"1\"");
    const size_t len = rows[0].get<std::string>().size();
    if (len == 0 || len > 65535 || rows.size() > 65535) Fail(where + ".rows", "too large or empty");
    Bytes data;
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::string w = where + ".rows[" + std::to_string(r) + "]";
        const std::string row = Str(rows[r], w);
        if (row.size() != len) Fail(w, "rows differ in length");
        for (size_t x = 0; x < len; x += 8) {
            uint8_t b = 0;
            for (size_t k = 0; k < 8 && x + k < len; ++k) {
                if (row[x + k] == '1') b |= static_cast<uint8_t>(0x80 >> k);
                else if (row[x + k] != '0') Fail(w, "expected 0 and 1");
            }
            data.push_back(b);
        }
    }
    const int code = IntOr(e, "code", where, 0xC1, 0, 255);
    if (!KnownImageCode(code)) Fail(where + ".code", "a resolution code the decoder does not know");
    ovlw::Append(out, ovlw::Image(at, at, at, 0xF9, static_cast<uint8_t>(code),
                                  static_cast<unsigned>(rows.size()), static_cast<unsigned>(len), data));
}

void Bitmap(const json& e, const std::string& where, const Context& ctx, Bytes& out) {
    // A device-independent bitmap from a BMP file, in a box.
    const std::vector<Pt> box = Points(Need(e, "box", where), where + ".box", 2);
    if (box.size() != 2) Fail(where + ".box", "expected two corners");
    const std::string path = Str(Need(e, "file", where), where + ".file");
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
}

void Area(const json& e, const std::string& where, Bytes& out) {
    // A box with rounded corners (radius in 1/1440 inch), filled or
    // hatched, drawn clockwise from the top-left corner.
    const std::vector<Pt> box = Points(Need(e, "box", where), where + ".box", 2);
    if (box.size() != 2) Fail(where + ".box", "expected two corners");
    const int r = IntOr(e, "radius", where, 0, 0, 32767);
    const int l = std::min(box[0].x, box[1].x), rgt = std::max(box[0].x, box[1].x);
    const int t = std::max(box[0].y, box[1].y), btm = std::min(box[0].y, box[1].y);  // y up
    if (2 * r > rgt - l || 2 * r > t - btm) Fail(where + ".radius", "larger than half the box");
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
}

// The elements drawn with line attributes and one or two points.
void Shape(const std::string& type, const json& e, const std::string& where, Bytes& out) {
    if (type == "line") {
        Attributes(e, where, out, false);
        const Pt a = GraphicPoint(Need(e, "from", where), where + ".from");
        const Pt b = GraphicPoint(Need(e, "to", where), where + ".to");
        // The line record carries its own width (1/1440 inch).
        const int w = IntOr(e, "width", where, 14, 0, 65535);
        ovlw::Append(out, ovlw::Line(a, b, b, 0, static_cast<unsigned>(w), 0));
    } else if (type == "segments" || type == "polyline") {
        // A group: each pair of points one segment, or a run of connected ones.
        const std::vector<Pt> pts = Points(Need(e, "points", where), where + ".points", 2);
        const bool pairs = type == "segments";
        if (pairs && pts.size() % 2 != 0) Fail(where + ".points", "expected pairs of points");
        const int group = pairs ? IntOr(e, "group", where, 0x100, 0, 0xFFF0) : 0x100;
        if (group & 0xF) Fail(where + ".group", "expected a multiple of 16");
        ovlw::Append(out, ovlw::GroupStart(static_cast<uint32_t>(group)));
        Attributes(e, where, out, false);
        for (size_t i = 0; i + 1 < pts.size(); i += pairs ? 2 : 1)
            ovlw::Append(out, ovlw::DisjointPolyline({pts[i], pts[i + 1]}));
        ovlw::Append(out, ovlw::GroupEnd());
    } else if (type == "rectangle") {
        Attributes(e, where, out, false);
        const std::vector<Pt> c = Points(Need(e, "corners", where), where + ".corners", 2);
        if (c.size() != 2) Fail(where + ".corners", "expected two corners");
        ovlw::Append(out, ovlw::Rectangle(c[0], c[1]));
    } else if (type == "circle") {
        Attributes(e, where, out, false);
        const Pt c = GraphicPoint(Need(e, "centre", where), where + ".centre");
        ovlw::Append(out, ovlw::Circle(c, static_cast<unsigned>(Int(Need(e, "radius", where), where + ".radius", 0, 65535))));
    } else {  // ellipse
        Attributes(e, where, out, false);
        const Pt c = GraphicPoint(Need(e, "centre", where), where + ".centre");
        // The axis ends are file points too: they must stay within the range.
        const int rx = Int(Need(e, "rx", where), where + ".rx", 0, kMaxCoordinate - c.x);
        const int ry = Int(Need(e, "ry", where), where + ".ry", 0, kMaxCoordinate - c.y);
        ovlw::Append(out, ovlw::Ellipse(c, Pt{c.x + rx, c.y}, Pt{c.x, c.y + ry}));
    }
}

Bytes Element(const json& e, const std::string& where, const Context& ctx) {
    if (!e.is_object()) Fail(where, "expected an element (an object)");
    const std::string type = Str(Need(e, "type", where), where + ".type");
    static const char* const kTypes[] = {"line", "segments", "polyline", "rectangle", "circle", "ellipse",
                                         "area", "text", "image", "bitmap"};
    if (std::find(std::begin(kTypes), std::end(kTypes), type) == std::end(kTypes))
        Fail(where + ".type", "unknown element type \"" + type + "\"");
    Keys(e, where, AllowedKeys(type));
    Bytes out;
    if (type == "text") Text(e, where, ctx, out);
    else if (type == "image") Image(e, where, out);
    else if (type == "bitmap") Bitmap(e, where, ctx, out);
    else if (type == "area") Area(e, where, out);
    else Shape(type, e, where, out);
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

// The overlay's own dash patterns, before the first element that draws
// lines (whose decoder reads them).
Bytes LineDefinitions(const json& d) {
    Bytes out;
    const json& defs = d["lineDefinitions"];
    if (!defs.is_array()) Fail("description.lineDefinitions", "expected a list");
    for (size_t k = 0; k < defs.size(); ++k) {
        const std::string w = "lineDefinitions[" + std::to_string(k) + "]";
        const json& def = defs[k];
        if (!def.is_object()) Fail(w, "expected an object with \"code\" and \"lengths\"");
        Keys(def, w, {"code", "lengths"});
        const json& list = Need(def, "lengths", w);
        if (!list.is_array() || (list.size() != 2 && list.size() != 4)) Fail(w + ".lengths", "expected 2 or 4 lengths");
        std::vector<unsigned> lengths;
        for (size_t i = 0; i < list.size(); ++i)
            lengths.push_back(static_cast<unsigned>(Int(list[i], w + ".lengths[" + std::to_string(i) + "]", 0, 65535)));
        ovlw::Append(out, ovlw::LineDefinition(Int(Need(def, "code", w), w + ".code", -16400, -16385), lengths));
    }
    return out;
}

// The description's fonts or ids: a list of strings.
std::vector<std::string> Strings(const json& d, const char* key) {
    const std::string where = std::string("description.") + key;
    const json& list = d[key];
    if (!list.is_array()) Fail(where, "expected a list of strings");
    std::vector<std::string> out;
    for (size_t i = 0; i < list.size(); ++i) out.push_back(Str(list[i], where + "[" + std::to_string(i) + "]"));
    return out;
}

struct Built {
    Bytes file;
    std::vector<size_t> starts;  // offset of each element in the element records
};

Built Overlay(const json& d, const std::string& base) {
    if (!d.is_object()) Fail("description", "expected an object");
    Keys(d, "description", {"kind", "magic", "dataFormat", "resolution", "fonts", "ids", "lineDefinitions", "elements"});
    Context ctx;
    ctx.kind = IntOr(d, "kind", "description", 1, 1, 2);
    const std::string magic = StrOr(d, "magic", "description", "ascii");
    if (magic != "ascii" && magic != "ebcdic") Fail("description.magic", "expected \"ascii\" or \"ebcdic\"");
    ctx.ebcdic = magic == "ebcdic";
    ctx.base = base;
    const bool kind2 = ctx.kind == 2;
    for (const char* k1 : {"fonts", "dataFormat"})
        if (kind2 && d.contains(k1)) Fail(std::string("description.") + k1, "kind 2 overlays have none");
    if (!kind2 && d.contains("ids")) Fail("description.ids", "only kind 2 overlays carry ids");
    const std::vector<std::string> fonts = d.contains("fonts") ? Strings(d, "fonts") : std::vector<std::string>();
    for (size_t i = 0; i < fonts.size(); ++i) {
        const bool plain = std::all_of(fonts[i].begin(), fonts[i].end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        if (fonts[i].empty() || fonts[i].size() > 8 || !plain)
            Fail("description.fonts[" + std::to_string(i) + "]", "expected 1 to 8 letters and digits");
    }
    ctx.fonts = fonts.size();

    Built built;
    Bytes elements;
    bool definitionsWritten = !d.contains("lineDefinitions");
    const json& list = d.contains("elements") ? d["elements"] : json::array();
    if (!list.is_array()) Fail("description.elements", "expected a list");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = "elements[" + std::to_string(i) + "]";
        const bool text = list[i].is_object() && list[i].value("type", json()) == "text";
        if (!definitionsWritten && !text) {
            ovlw::Append(elements, LineDefinitions(d));
            definitionsWritten = true;
        }
        built.starts.push_back(elements.size());
        ovlw::Append(elements, Element(list[i], where, ctx));
    }
    if (!definitionsWritten) LineDefinitions(d);  // checked even when nothing draws lines

    // Resolution tags the readers know, in the magic's character set.
    std::array<uint8_t, 4> tag = ovlw::EbcdicTag("P240");
    if (d.contains("resolution")) {
        const std::string r = Str(d["resolution"], "description.resolution");
        if (r != "P160" && r != "P240" && r != "P400") Fail("description.resolution", "expected \"P160\", \"P240\" or \"P400\"");
        tag = ovlw::EbcdicTag(r.c_str());
    }
    if (kind2) {
        ovlw::Kind2Options o;
        o.magic = ctx.ebcdic ? ovlw::Charset::kEbcdic : ovlw::Charset::kAscii;
        // The tag in ASCII for an ASCII overlay.
        const std::string r = d.contains("resolution") ? d["resolution"].get<std::string>() : "P240";
        if (ctx.ebcdic) o.resolutionTag = tag;
        else std::copy_n(r.begin(), 4, o.resolutionTag.begin());
        // Ids are 8 bytes: Shift JIS text for an ASCII overlay, EBCDIC/HKZ
        // (which the library converts when it reads them) for an EBCDIC one.
        o.idTextFlag = ctx.ebcdic ? 0 : 1;
        const std::vector<std::string> ids = d.contains("ids") ? Strings(d, "ids") : std::vector<std::string>();
        if (ids.size() > 255) Fail("description.ids", "more than 255 ids");
        for (size_t i = 0; i < ids.size(); ++i) {
            const std::string w = "description.ids[" + std::to_string(i) + "]";
            const Bytes b = Convert(ids[i], ctx.ebcdic ? "IBM939" : "CP932", w);
            if (b.size() > 8) Fail(w, "an id is longer than 8 bytes");
            o.ids.emplace_back(b.begin(), b.end());
        }
        const size_t at = 4 + 8 * o.ids.size();  // records follow the id table
        for (size_t& s : built.starts) s += at;
        o.data = elements;
        ovlw::Append(o.data, ovlw::EndPicture());
        built.file = ovlw::BuildKind2(o);
        return built;
    }
    ovlw::Kind1Options o;
    o.magic = ctx.ebcdic ? ovlw::Charset::kEbcdic : ovlw::Charset::kAscii;
    const int format = IntOr(d, "dataFormat", "description", 1, 1, 3);
    o.mode = format == 1 ? 1 : format == 2 ? 0x2000 : 0x80;
    o.resolutionTag = tag;
    if (!fonts.empty()) {
        // Readers take every name with the first name's length and compare
        // names over 8 bytes: each is written padded with spaces to 8.
        std::vector<Bytes> names;
        for (const std::string& name : fonts) {
            const std::string padded = name + std::string(8 - name.size(), ' ');
            names.push_back(ctx.ebcdic ? ovlw::Ebcdic(padded) : Bytes(padded.begin(), padded.end()));
        }
        o.preamble = ovlw::FontList(names);
    }
    o.elements = elements;
    built.file = ovlw::BuildKind1(o);
    return built;
}

// Loads the written file as a host does and decodes every element: a file
// that does not read back is refused, with the element where decoding stops.
void ReadBack(const std::string& path, const Built& built) {
    Loaded ovl;
    std::string error;
    if (!LoadOverlay(path, &ovl, &error)) Fail("description", "the overlay does not load back: " + error);
    std::vector<uint8_t> image = ovl.image;  // the decoders take a writable cursor
    WX5NH_OVERLAY view = HostView(ovl, image);
    WX5NH_WALK_OPTIONS options{};
    options.dpi = 240;
    options.keepAttributes = 1;
    WX5NH_STOP stop{};
    wx5nh_walk(&view, &options, nullptr, nullptr, &stop);
    struct { int result; size_t offset; } w{stop.result, stop.offset - ovl.elements};
    if (w.result == 0) return;
    size_t index = 0;
    while (index + 1 < built.starts.size() && built.starts[index + 1] <= w.offset) ++index;
    Fail("elements[" + std::to_string(index) + "]", "does not read back (decoding result " + std::to_string(w.result) + ")");
}

// Writes bytes to a new file beside path; its name, or "" with errno set.
std::string WriteTemporary(const std::string& path, const Bytes& bytes) {
    std::string name = path + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return "";
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const int saved = errno;
    if (close(fd) != 0 || done != bytes.size()) {
        if (done != bytes.size()) errno = saved;
        const int e = errno;
        unlink(name.c_str());
        errno = e;
        return "";
    }
    return name;
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
    Built built;
    try {
        const size_t slash = descPath.find_last_of('/');
        built = Overlay(d, slash == std::string::npos ? std::string() : descPath.substr(0, slash + 1));
    } catch (const BuildError& e) {
        std::fprintf(err, "ovl: %s: %s\n", descPath.c_str(), e.what.c_str());
        return 1;
    } catch (const std::exception& e) {  // out of memory, or a check missed
        std::fprintf(err, "ovl: %s: cannot build: %s\n", descPath.c_str(), e.what());
        return 1;
    }
    struct stat descStat{}, outStat{};
    if (stat(descPath.c_str(), &descStat) == 0 && stat(outPath.c_str(), &outStat) == 0 &&
        descStat.st_dev == outStat.st_dev && descStat.st_ino == outStat.st_ino) {
        std::fprintf(err, "ovl: %s: the output would replace the description\n", outPath.c_str());
        return 1;
    }
    // Written under a temporary name, read back, then renamed: a refused or
    // broken file never stands under the output's name.
    const std::string tmp = WriteTemporary(outPath, built.file);
    if (tmp.empty()) {
        std::fprintf(err, "ovl: %s: cannot write the file: %s\n", outPath.c_str(), std::strerror(errno));
        return 1;
    }
    try {
        ReadBack(tmp, built);
    } catch (const BuildError& e) {
        unlink(tmp.c_str());
        std::fprintf(err, "ovl: %s: %s\n", descPath.c_str(), e.what.c_str());
        return 1;
    }
    if (std::rename(tmp.c_str(), outPath.c_str()) != 0) {
        const int e = errno;
        unlink(tmp.c_str());
        std::fprintf(err, "ovl: %s: cannot write the file: %s\n", outPath.c_str(), std::strerror(e));
        return 1;
    }
    return 0;
}

}  // namespace ovl
