#include "ToolCommon.h"

#include <cstdio>

#include "quillet/HostZone.h"
#include "quillet/LibraryError.h"

namespace quillet::tool {

namespace {
DateValue ParseDay(const std::string& s) {
    int y, m, d;
    char tail;
    if (s.size() != 10 || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3 ||
        s[4] != '-' || s[7] != '-' || !IsValidDate(y, m, d))
        throw UsageError{"invalid date '" + s + "' (expected YYYY-MM-DD)"};
    return FieldsToValue({y, m, d, 0, 0, 0});
}
}  // namespace

RangeOptions ParseRangeOptions(const std::vector<std::string>& args, bool withRange) {
    RangeOptions o;
    bool haveFrom = false, haveTo = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (withRange && (a == "--from" || a == "--to")) {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a date"};
            DateValue v = ParseDay(args[++i]);
            if (a == "--from") o.from = v, haveFrom = true;
            else o.to = v, haveTo = true;
        } else if (a == "--tsv") {
            o.tsv = true;
        } else if (a.size() > 1 && a[0] == '-' ) {
            throw UsageError{"unknown option '" + a + "'"};
        } else {
            o.files.push_back(a);
        }
    }
    if (o.files.empty()) throw UsageError{"no calendar file given"};
    if (!haveFrom) o.from = DateOnly(NowLocal());
    if (!haveTo) o.to = o.from + 7;
    if (o.to < o.from) throw UsageError{"--to lies before --from"};
    return o;
}

std::optional<iCalendarCollection> LoadAll(const std::vector<std::string>& files) {
    iCalendarCollection all;
    for (const auto& f : files) {
        auto cal = iCalendar::Create();
        try {
            cal->LoadFromFile(f);
        } catch (const LibraryError& e) {
            std::fprintf(stderr, "quillet: %s: %s (%ld)\n", f.c_str(), e.Description().c_str(), e.Number());
            return std::nullopt;
        }
        all.Add(cal);
    }
    return all;
}

std::string FormatWhen(DateValue v, bool allDay) {
    DateFields f = ValueToFields(v);
    return allDay ? FormatIsoDate(f) : FormatIsoDateTime(f);
}

std::string OneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace quillet::tool
