#include <algorithm>
#include <cstdio>

#include "ToolCommon.h"

namespace quillet::tool {

namespace {

struct Row {
    DateValue start, end;
    bool allDay;
    std::string summary, uid;
};

const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                               "August", "September", "October", "November", "December"};

std::string DayHeading(DateValue v) {
    DateFields f = ValueToFields(v);
    int wd = WeekdayOfDays(DaysFromCivil(f.year, f.month, f.day));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %d %s %d", kWeekdays[wd], f.day, kMonths[f.month - 1], f.year);
    return buf;
}

std::string Clock(DateValue v) {
    DateFields f = ValueToFields(v);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", f.hour, f.minute);
    return buf;
}

}  // namespace

int RunAgenda(const std::vector<std::string>& args) {
    RangeOptions o = ParseRangeOptions(args);
    auto cals = LoadAll(o.files);
    if (!cals) return 1;
    std::vector<Row> rows;
    for (const auto& ev : cals->QueryEvent(o.from, o.to)) {
        bool allDay = ev->IsAllDay();
        for (const auto& p : ev->Periods())
            rows.push_back({p->StartTime()->Value(), p->EndTime()->Value(), allDay,
                            OneLine(ev->Summary()->Value()), ev->UID()->Value()});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.start != b.start ? a.start < b.start : a.uid < b.uid;
    });
    if (o.tsv) {
        for (const Row& r : rows)
            std::printf("%s\t%s\t%s\t%s\n", FormatWhen(r.start, r.allDay).c_str(),
                        FormatWhen(r.end, r.allDay).c_str(), r.summary.c_str(), r.uid.c_str());
        return 0;
    }
    if (rows.empty()) {
        std::printf("No events from %s to %s.\n", DayHeading(o.from).c_str(), DayHeading(o.to).c_str());
        return 0;
    }
    DateValue day = -1;
    for (const Row& r : rows) {
        DateValue d = DateOnly(r.start);
        if (d != day) {
            std::printf("%s%s\n", day < 0 ? "" : "\n", DayHeading(d).c_str());
            day = d;
        }
        std::string when = r.allDay ? "all day    " : Clock(r.start) + "-" + Clock(r.end);
        std::printf("  %-11s  %s\n", when.c_str(), r.summary.empty() ? "(no title)" : r.summary.c_str());
    }
    return 0;
}

int RunRoundtrip(const std::vector<std::string>& args) {
    if (args.size() != 2) throw UsageError{"roundtrip needs IN and OUT"};
    auto cal = iCalendar::Create();
    try {
        cal->LoadFromFile(args[0]);
    } catch (const LibraryError& e) {
        std::fprintf(stderr, "quillet: %s: %s (%ld)\n", args[0].c_str(), e.Description().c_str(), e.Number());
        return 1;
    }
    try {
        cal->SaveToFile(args[1]);
    } catch (const LibraryError& e) {
        std::fprintf(stderr, "quillet: %s: %s (%ld)\n", args[1].c_str(), e.Description().c_str(), e.Number());
        return 1;
    }
    return 0;
}

}  // namespace quillet::tool
