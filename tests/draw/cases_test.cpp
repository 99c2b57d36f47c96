// Drawing cases read from the files in cases/ (the format is described in
// cases/README.md). One line is one case: its name, then commands separated
// by '|', run on a fresh swgdi page. Commands set the page up, call a
// drawing function, or check what the last call left (its result, the
// primitives it drew, the line record's dash state, pixels).
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

std::string Hash(const std::string& s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", h);
    return buf;
}

// A count checked against "N", ">N" or "<N".
bool CountMatches(int n, const std::string& want) {
    if (want[0] == '>') return n > std::stoi(want.substr(1));
    if (want[0] == '<') return n < std::stoi(want.substr(1));
    return n == std::stoi(want);
}

class Case {
public:
    explicit Case(std::string where) : where_(std::move(where)) {}
    ~Case() {
        if (managed_) EndMngObject(page_->dc(), &mng_);
        if (brush_) {
            SelectObject(page_->dc(), GetStockObject(WHITE_BRUSH));
            DeleteObject(brush_);
        }
    }

    // Runs one command; a failed check is reported with the case's name.
    void Step(const std::string& text) {
        std::istringstream in(text);
        std::string op, rest;
        in >> op;
        std::getline(in >> std::ws, rest);
        std::vector<long> a;
        std::istringstream words(rest);
        for (std::string w; words >> w;) {  // numbers: decimal, or hex after 0x
            char* end = nullptr;
            const long v = std::strtol(w.c_str(), &end, w.rfind("0x", 0) == 0 ? 16 : 10);
            if (*end == '\0') a.push_back(v);
        }
        auto arg = [&](size_t i) { return i < a.size() ? static_cast<int>(a[i]) : 0; };
        HDC dc = nullDc_ ? nullptr : page_->dc();
        LINEREC* rec = nullRec_ ? nullptr : &line_;
        MNG_OBJECT* mng = managed_ ? &mng_ : nullptr;
        const bool call = op == "line" || op == "rect" || op == "oval" || op == "arc" ||
                          op == "fill" || op == "axisseg" || op == "slantseg" || op == "slantline";
        if (call) {
            before_ = line_;
            page_->JournalOn();
        }
        const RECT box{arg(0), arg(1), arg(2), arg(3)};
        if (op == "page") page_ = std::make_unique<Page>(arg(0), arg(1), arg(2));
        else if (op == "small") page_ = std::make_unique<Page>(400, 300, 96);
        else if (op == "map") page_->SetMapping(MappingOf(rest));
        else if (op == "aniso") {
            SetMapMode(page_->dc(), MM_ANISOTROPIC);
            SetWindowExtEx(page_->dc(), arg(0), arg(1), nullptr);
            SetViewportExtEx(page_->dc(), arg(2), arg(3), nullptr);
        } else if (op == "stripes") Stripes(arg(0));
        else if (op == "setdc") {
            SetTextColor(page_->dc(), arg(0));
            SetBkColor(page_->dc(), arg(1));
            SetROP2(page_->dc(), arg(2));
            SetStretchBltMode(page_->dc(), arg(3));
        } else if (op == "brush") {
            HBRUSH b = rest.rfind("solid", 0) == 0 ? CreateSolidBrush(arg(0)) : foGetHatchBrush(arg(0));
            SelectObject(page_->dc(), b);
            if (brush_) DeleteObject(brush_);
            brush_ = b;
        } else if (op == "mng") {
            StartMngObject(page_->dc(), &mng_);
            managed_ = true;
        } else if (op == "rec") line_ = Line(arg(0), arg(1), arg(2), a.size() > 3 ? arg(3) : 0x0000FF);
        else if (op == "pat") {
            line_.dashCount = static_cast<int>(a.size());
            for (size_t i = 0; i < a.size() && i < 6; ++i) line_.dashPattern[i] = arg(i);
        } else if (op == "dn") line_.dashCount = arg(0);
        else if (op == "st") {
            line_.dashCarry = arg(0);
            line_.dashIndex = arg(1);
        } else if (op == "upi") line_.unitsPerInch = arg(0);
        else if (op == "wave") line_.waveHeight = arg(0);
        else if (op == "nodc") nullDc_ = true;
        else if (op == "norec") nullRec_ = true;
        // Calls.
        else if (op == "line") rc_ = foExtLine(dc, arg(0), arg(1), arg(2), arg(3), rec, mng);
        else if (op == "axisseg") rc_ = DrawAxisSegments(dc, arg(0), arg(1), arg(2), arg(3), rec, mng);
        else if (op == "slantseg") rc_ = DrawSlantSegments(dc, arg(0), arg(1), arg(2), arg(3), rec, mng);
        else if (op == "slantline") rc_ = DrawSlantLine(dc, arg(0), arg(1), arg(2), arg(3), rec, mng);
        else if (op == "rect") {
            RECTREC s = Shape(static_cast<unsigned>(arg(6)), arg(7), arg(8), arg(9), arg(10));
            rc_ = foExtRectangle(dc, box, arg(4), arg(5), rec, a.size() > 6 ? &s : nullptr, mng);
        } else if (op == "oval") rc_ = foExtEllipse(dc, arg(0), arg(1), arg(2), arg(3), arg(4), arg(5), rec, mng);
        else if (op == "arc") rc_ = DrawCornerArc(dc, arg(0), arg(1), arg(2), arg(3), rec, mng);
        else if (op == "fill") rc_ = FillRoundRect(dc, box, arg(4), arg(5), arg(6), arg(7), arg(8), mng) != 0;
        // Queries: their answer is checked with "=".
        else if (op == "style") {
            int out[8] = {-7, -7, -7, -7, -7, -7, -7, -7};
            std::vector<int> p(a.begin() + std::min<size_t>(4, a.size()), a.end());
            const int n = foGetLineStyle(dc, arg(0), arg(1), p.empty() ? nullptr : p.data(),
                                         static_cast<int>(p.size()), out, arg(3), arg(2));
            value_ = std::to_string(n);
            for (int v : out) value_ += " " + std::to_string(v);
        } else if (op == "metric") {
            int cx = -7, cy = -7;
            POINT at{arg(0), arg(1)}, sign{-7, -7};
            GetPixelSize(dc, &cx, &cy, a.empty() ? nullptr : &at);
            if (dc) GetAxisSign(dc, &sign);
            std::ostringstream s;
            s << GetPixToLog(dc) << " " << GetMinimumLength(dc) << " " << cx << "," << cy << " "
              << sign.x << "," << sign.y;
            value_ = s.str();
        } else if (op == "width") value_ = std::to_string(RoundLineWidth(dc, arg(0)));
        else if (op == "pos") {
            POINT p{arg(0), arg(1)};
            RoundLinePosition(dc, &p);
            value_ = std::to_string(p.x) + "," + std::to_string(p.y);
        } else if (op == "arcstep") {  // quarter-circle segments at this radius
            value_ = std::to_string(std::lround(1.5707963267948966 / GetArcStepAngle(dc, arg(0))));
        } else if (op == "round") value_ = std::to_string(RoundToInt(std::stod(rest)));
        else if (op == "sides") {  // the open-sides codes a rectangle accepts
            value_.clear();
            LINEREC l = Line(1, 1, 3);
            for (unsigned code = 0; code < 0x120; ++code) {
                RECTREC s = Shape(code);
                if (foExtRectangle(dc, RECT{20, 20, 120, 90}, 0, 0, &l, &s, nullptr))
                    value_ += (value_.empty() ? "" : " ") + std::to_string(code);
            }
        } else if (op == "hatch") {  // 0 no brush, 1 the hollow stock brush, 2 a brush of its own
            HBRUSH b = foGetHatchBrush(arg(0));
            rc_ = !b ? 0 : b == GetStockObject(NULL_BRUSH) ? 1 : 2;
            const RECT r{arg(1), arg(2), arg(3), arg(4)};
            if (rc_ == 2 && a.size() == 5) FillRect(page_->dc(), &r, b);
            if (rc_ == 2) DeleteObject(b);
        }
        // Checks.
        else if (op == "=") Check(op, value_, rest);
        else if (op == "rc") Check(op, std::to_string(rc_), rest);
        else if (op == "drawn") Check(op, !rest.empty() && rest[0] == '#' ? "#" + Hash(Drawn()) : Drawn(), rest);
        else if (op == "item") Check(op, Item(rest), rest.substr(rest.find(' ', rest.find(' ') + 1) + 1));
        else if (op == "count") Check(op, std::to_string(Count(rest.substr(0, rest.find(' ')))), rest.substr(rest.find(' ') + 1));
        else if (op == "state") Check(op, std::to_string(line_.dashCarry) + " " + std::to_string(line_.dashIndex), rest);
        else if (op == "pattern") {
            std::string p = std::to_string(line_.dashCount);
            for (int v : line_.dashPattern) p += " " + std::to_string(v);
            Check(op, p, rest);
        } else if (op == "cur") {  // slots of the record holding the selected pen and brush
            int pen = -1, brush = -1;
            for (int i = 0; i < 7; ++i) {
                if (mng_.pen[i].handle && mng_.pen[i].handle == GetCurrentObject(page_->dc(), OBJ_PEN)) pen = i;
                if (mng_.brush[i].handle && mng_.brush[i].handle == GetCurrentObject(page_->dc(), OBJ_BRUSH)) brush = i;
            }
            Check(op, std::to_string(pen) + " " + std::to_string(brush), rest);
        } else if (op == "same") EXPECT_EQ(std::memcmp(&line_, &before_, sizeof line_), 0) << where_;
        else if (op == "objs") Check(op, std::to_string(swgdi_ObjectCount() - objects_), rest);
        else if (op == "ink") {
            const int n = page_->CountInk(arg(0), arg(1), arg(2), arg(3));
            const std::string want = rest.substr(rest.rfind(' ') + 1);
            EXPECT_TRUE(CountMatches(n, want)) << where_ << ": ink " << rest << ": got " << n;
        } else if (op == "px") {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%06x", page_->Pixel(arg(0), arg(1)));
            Check(op, buf, rest.substr(rest.rfind(' ') + 1));
        } else if (op == "pixels") {
            std::string all;
            for (uint32_t p : page_->Pixels()) all.append(reinterpret_cast<const char*>(&p), 4);
            Check(op, Hash(all), rest);
        } else if (op == "dc") {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%06x %06x %d %d", GetTextColor(page_->dc()),
                          GetBkColor(page_->dc()), GetROP2(page_->dc()),
                          GetStretchBltMode(page_->dc()));
            Check(op, buf, rest);
        } else ADD_FAILURE() << where_ << ": unknown command " << op;
        if (call) {
            page_->JournalOff();
            journal_ = Journal(page_->dc());
        }
        if (op != "nodc" && op != "norec") nullDc_ = nullRec_ = false;
    }

private:
    static Mapping MappingOf(const std::string& name) {
        if (name == "twips") return Mapping::Twips;
        if (name == "aniso") return Mapping::Anisotropic;
        if (name == "yup") return Mapping::YUp;
        if (name == "mirror") return Mapping::MirrorX;
        return Mapping::Text;
    }
    // Blue and yellow stripes 3 pixels wide, vertical (0) or horizontal (1),
    // so that paper a transparent fill leaves alone is seen to be unchanged.
    void Stripes(int horizontal) {
        HBRUSH b[2] = {CreateSolidBrush(RGB(0, 0, 255)), CreateSolidBrush(RGB(255, 255, 0))};
        const int n = horizontal ? page_->height() : page_->width();
        for (int i = 0; i < n; i += 3) {
            RECT r = horizontal ? RECT{0, i, page_->width(), i + 3} : RECT{i, 0, i + 3, page_->height()};
            FillRect(page_->dc(), &r, b[(i / 3) % 2]);
        }
        DeleteObject(b[0]);
        DeleteObject(b[1]);
    }
    // The drawing primitives of the last call: "Op:args/x,y/x,y", space separated.
    static std::string Text(const Call& c) {
        std::string s = c.op;
        for (size_t i = 0; i < c.args.size(); ++i) s += (i ? "," : ":") + std::to_string(c.args[i]);
        for (const POINT& p : c.points) s += "/" + std::to_string(p.x) + "," + std::to_string(p.y);
        return s;
    }
    std::vector<Call> Primitives() const {
        return Only(journal_, {"Polyline", "Polygon", "Rectangle", "Ellipse", "FillRect", "MoveToEx", "LineTo"});
    }
    std::string Drawn() const {
        std::string s;
        for (const Call& c : Primitives()) s += (s.empty() ? "" : " ") + Text(c);
        return s;
    }
    int Count(const std::string& opName) const {
        int n = 0;
        for (const Call& c : journal_) n += opName == "*" || c.op == opName;
        return n;
    }
    // "item Op I what": the I-th primitive of Op as text, or its pen, brush or DC state.
    std::string Item(const std::string& query) const {
        std::istringstream in(query);
        std::string opName, what;
        size_t index = 0;
        in >> opName >> index >> what;
        std::vector<Call> v = Only(journal_, {opName.c_str()});
        if (index >= v.size()) return "none";
        const Call& c = v[index];
        char buf[96];
        if (what == "pen")
            std::snprintf(buf, sizeof buf, "pen %u/%d/%06x", c.pen.lopnStyle, static_cast<int>(c.pen.lopnWidth.x), c.pen.lopnColor);
        else if (what == "brush")
            std::snprintf(buf, sizeof buf, "brush %u/%06x", c.brush.lbStyle, c.brush.lbColor);
        else if (what == "dc")
            std::snprintf(buf, sizeof buf, "dc %d %06x %06x", c.rop2, c.textColor, c.bkColor);
        else
            return Text(c);
        return buf;
    }
    void Check(const std::string& op, const std::string& got, const std::string& want) {
        EXPECT_EQ(got, want) << where_ << ": " << op;
    }

    std::string where_;
    std::unique_ptr<Page> page_ = std::make_unique<Page>();
    LINEREC line_ = Line(1, 1, 1), before_ = line_;
    MNG_OBJECT mng_{};
    bool managed_ = false, nullDc_ = false, nullRec_ = false;
    HBRUSH brush_ = nullptr;
    int rc_ = 0;
    const int objects_ = swgdi_ObjectCount();
    std::string value_;
    std::vector<Call> journal_;
};

void RunFile(const char* name) {
    std::ifstream in(std::string(WX5N_DRAW_CASES_DIR) + "/" + name);
    ASSERT_TRUE(in) << name;
    std::string text;
    int lineNo = 0, cases = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        if (text.empty() || text[0] == '#') continue;
        std::vector<std::string> parts;
        for (std::istringstream fields(text); std::getline(fields >> std::ws, text, '|');)
            parts.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
        Case c(std::string(name) + ":" + std::to_string(lineNo) + " " + parts[0]);
        for (size_t i = 1; i < parts.size(); ++i) c.Step(parts[i]);
        ++cases;
    }
    EXPECT_GT(cases, 0) << name;
}

TEST(DrawCases, AxisLines) { RunFile("lines.txt"); }
TEST(DrawCases, SlantAndWaveLines) { RunFile("slant_wave.txt"); }
TEST(DrawCases, Rectangles) { RunFile("rectangles.txt"); }
TEST(DrawCases, CornerArcsAndFills) { RunFile("arcs_fills.txt"); }
TEST(DrawCases, Ellipses) { RunFile("ellipses.txt"); }
TEST(DrawCases, MetricsStylesHatches) { RunFile("metrics.txt"); }

}  // namespace
}  // namespace wx5n::test
