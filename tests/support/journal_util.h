// Shared by the drawing tests: swgdi's call journal copied out as plain
// records, and the line record the tests draw with.
#ifndef WX5N_TESTS_JOURNAL_UTIL_H
#define WX5N_TESTS_JOURNAL_UTIL_H

#include <cstring>
#include <string>
#include <vector>

#include "include/wx5novl1.h"
#include "swgdi_journal.h"

namespace wx5n::journal {

// One journal entry, copied out so that it outlives the journal.
struct Call {
    std::string op;
    HGDIOBJ object = nullptr;
    std::vector<LONG> args;
    std::vector<POINT> points;
    LOGPEN pen{};
    LOGBRUSH brush{};
    int rop2 = 0;
    COLORREF textColor = 0, bkColor = 0;
    std::string text;
};

inline std::vector<Call> Journal(HDC hdc) {
    std::vector<Call> out;
    const int n = swgdi_JournalCount(hdc);
    for (int i = 0; i < n; ++i) {
        SWGDI_JOURNAL_ENTRY e;
        std::memset(&e, 0, sizeof(e));
        if (!swgdi_JournalEntry(hdc, i, &e)) continue;
        Call c;
        c.op = e.op;
        c.object = e.object;
        const int argc = e.argCount < 0 ? 0 : (e.argCount > 8 ? 8 : e.argCount);
        c.args.assign(e.args, e.args + argc);
        if (e.points && e.pointCount > 0) c.points.assign(e.points, e.points + e.pointCount);
        c.pen = e.pen;
        c.brush = e.brush;
        c.rop2 = e.rop2;
        c.textColor = e.textColor;
        c.bkColor = e.bkColor;
        char buf[512];
        if (swgdi_JournalText(hdc, i, buf, sizeof(buf)) >= 0) c.text = buf;
        out.push_back(c);
    }
    return out;
}

inline std::string Dump(const std::vector<Call>& calls) {
    std::string s;
    for (const Call& c : calls) s += (c.text.empty() ? c.op : c.text) + "\n";
    return s;
}

// Two device points of a Polyline entry as {x1, y1, x2, y2}.
inline std::vector<LONG> Seg(const Call& c) {
    if (c.points.size() < 2) return {};
    return {c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y};
}

// A line record with the given look; the dash state starts afresh.
inline LINEREC Line(int width, int kind, int cap, COLORREF color = 0x0000FF) {
    LINEREC r;
    std::memset(&r, 0, sizeof(r));
    r.width = width;
    r.kind = kind;
    r.cap = cap;
    r.color = color;
    return r;
}

}  // namespace wx5n::journal

#endif  // WX5N_TESTS_JOURNAL_UTIL_H
