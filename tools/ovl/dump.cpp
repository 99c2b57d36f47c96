// ovl dump: every element of an overlay as JSON, decoded as a host decodes
// it (geometry in device pixels at the given resolution). The schema is
// docs/dump-schema.md; keys keep the order written here.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "include/wx5novl1.h"
#include "loaded.h"
#include "textconv.h"

namespace ovl {

const char* KindName(int kind);

namespace {

using json = nlohmann::ordered_json;

json Pt(FO_POINT p) { return json::array({p.x, p.y}); }

json LineAttributes(const FO_ATTR_LINE& a) {
    json j;
    j["lineStyle"] = a.lineStyle;
    j["lineKindCode"] = static_cast<short>(a.lineKindCode);
    j["lineWidth"] = a.lineWidth;
    j["lineColour"] = a.lineColour;
    j["lineDash"] = json::array({a.lineDash[0], a.lineDash[1], a.lineDash[2], a.lineDash[3]});
    j["lineDashCount"] = a.lineDashCount;
    j["lineEnd"] = a.lineEnd;
    j["edgeStyle"] = a.edgeStyle;
    j["edgeWidth"] = a.edgeWidth;
    j["edgeVisible"] = a.edgeVisible;
    j["hatched"] = a.hatched;
    j["hatchIndex"] = a.hatchIndex;
    j["fillColour"] = a.fillColour;
    return j;
}

json Element(const WX5NH_OVERLAY* overlay, const WX5NH_ELEMENT& d, size_t offset, bool ebcdicText) {
    json e;
    e["offset"] = offset;
    e["kind"] = KindName(d.kind);
    const FO_ATTR_LINE& a = d.attr.line;
    switch (d.kind) {
        case 1:
            e["from"] = Pt(d.point[0]);
            e["to"] = Pt(d.point[1]);
            e["third"] = Pt(d.point[2]);
            e["width"] = d.width;
            e["value"] = d.lineValue;
            e["shape"] = a.shape;
            e["attributes"] = LineAttributes(a);
            break;
        case 10:
            e["from"] = Pt(d.point[0]);
            e["to"] = Pt(d.point[1]);
            e["groupFlags"] = json::array({d.flagsHigh, d.flagsLow});
            e["shape"] = a.shape;
            e["attributes"] = LineAttributes(a);
            break;
        case 3:
            e["low"] = Pt(d.point[0]);
            e["high"] = Pt(d.point[1]);
            e["attributes"] = LineAttributes(a);
            break;
        case 2:
            e["centre"] = Pt(d.centre);
            e["radius"] = d.radius;
            e["attributes"] = LineAttributes(a);
            break;
        case 8:
            e["centre"] = Pt(d.centre);
            e["rx"] = d.radiusX;
            e["ry"] = d.radiusY;
            e["attributes"] = LineAttributes(a);
            break;
        case 4:
        case 5:
        case 6:
            e["low"] = Pt(d.low);
            e["high"] = Pt(d.high);
            e["cornerRadius"] = json::array({a.cornerRadius[0], a.cornerRadius[1], a.cornerRadius[2], a.cornerRadius[3]});
            e["attributes"] = LineAttributes(a);
            break;
        case 7:
        case 12: {
            const FO_ATTR_TEXT& t = d.attr.text;
            e["position"] = Pt(d.textPosition);
            e["positionUnits"] = d.kind == 7 ? "twip" : "pixel";
            const size_t n = wx5nh_text_length(overlay, &d);
            e["text"] = d.text ? ElementTextToUtf8(d.text, n, t.textForm == 0 && ebcdicText ? 1 : t.textForm,
                                                   t.textLength)
                               : std::string();
            e["form"] = t.textForm;
            e["charCount"] = t.charCount;
            e["height"] = t.charHeight;
            e["expansion"] = t.charExpansion;
            e["spacing"] = static_cast<short>(t.charSpacing);
            e["rotation"] = t.textRotation;
            e["path"] = t.textPath;
            e["slant"] = t.slantAngle;
            e["colour"] = t.textColour;
            e["font"] = t.fontIndex;
            e["fontClass"] = t.fontClass;
            break;
        }
        case 9:
            e["position"] = Pt(d.imagePosition);
            e["rows"] = d.imageRows;
            e["bytes"] = d.imageSize;
            break;
        case 11: {
            e["corners"] = json::array({Pt(d.bitmapCorner[0]), Pt(d.bitmapCorner[1])});
            BITMAPINFOHEADER h{};
            if (d.bitmap.bitmapInfo) std::memcpy(&h, d.bitmap.bitmapInfo, sizeof(h));
            e["width"] = h.biWidth;
            e["height"] = h.biHeight;
            e["bitCount"] = h.biBitCount;
            e["bitsSize"] = d.bitmap.bitsSize;
            e["code"] = d.bitmap.code;
            e["mode"] = d.bitmap.mode;
            e["colour"] = d.bitmap.colour;
            break;
        }
        default: break;
    }
    return e;
}

}  // namespace

int Dump(const std::string& file, int dpi, FILE* out, FILE* err) {
    if (dpi < WX5NH_DPI_MIN || dpi > WX5NH_DPI_MAX) {
        std::fprintf(err, "ovl: the resolution must be %d to %d dpi\n", WX5NH_DPI_MIN, WX5NH_DPI_MAX);
        return 1;
    }
    Loaded ovl;
    std::string error;
    if (!LoadOverlay(file, &ovl, &error)) {
        std::fprintf(err, "ovl: %s: %s\n", file.c_str(), error.c_str());
        return 1;
    }
    json doc;
    doc["file"] = file;
    doc["kind"] = ovl.kind;
    if (ovl.kind == 1) {
        doc["dataFormat"] = ovl.dataFormat;
        doc["layoutVersion"] = ovl.layoutVersion;
    }
    doc["dpi"] = dpi;
    json elements = json::array();

    std::vector<uint8_t> image = ovl.image;
    WX5NH_OVERLAY view = HostView(ovl, image);
    WX5NH_WALK_OPTIONS options{};
    options.dpi = static_cast<unsigned>(dpi);
    options.keepAttributes = 1;
    // Each element is reported at the offset where the one before it ended.
    struct Collect {
        const WX5NH_OVERLAY* overlay;
        json* elements;
        size_t offset;
        bool ebcdicText;
    } collect{&view, &elements, ovl.elements, ovl.layoutVersion == 1};
    WX5NH_STOP w{};
    wx5nh_walk(&view, &options,
               [](void* context, const WX5NH_ELEMENT* d) {
                   Collect& c = *static_cast<Collect*>(context);
                   if (d->result == 0 && !(d->kind == 10 && d->ended))
                       c.elements->push_back(Element(c.overlay, *d, c.offset, c.ebcdicText));
                   c.offset = d->next;
                   return 0;
               },
               &collect, &w);
    if (w.result != 0) doc["error"] = {{"offset", w.offset}, {"result", w.result}};
    // One element a line: the header fields, then the elements.
    const auto compact = [](const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); };
    std::string text = "{\n";
    for (auto it = doc.begin(); it != doc.end(); ++it)
        text += "  " + compact(it.key()) + ": " + compact(it.value()) + ",\n";
    text += "  \"elements\": [";
    for (size_t i = 0; i < elements.size(); ++i)
        text += std::string(i == 0 ? "\n" : ",\n") + "    " + compact(elements[i]);
    text += elements.empty() ? "]\n}\n" : "\n  ]\n}\n";
    std::fputs(text.c_str(), out);
    if (w.result != 0) {
        std::fprintf(err, "ovl: %s: decoding stopped at byte %zu (result %d)\n", file.c_str(),
                     w.offset, w.result);
        return 1;
    }
    return 0;
}

}  // namespace ovl
