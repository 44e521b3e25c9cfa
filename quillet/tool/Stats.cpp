#include <cstdio>
#include <utility>

#include "ToolCommon.h"

namespace quillet::tool {

namespace {

struct Counts {
    int events = 0, todos = 0, alarms = 0, timezones = 0, other = 0;
};

// Components the library keeps as raw text (VJOURNAL, X- components …) inside `list`.
int RawComponents(XPropList& list) {
    int n = 0;
    for (const auto& e : list) n += e->IsComponent ? 1 : 0;
    return n;
}

// Alarms, and raw components nested in an event or to-do and in its alarms.
void CountInner(Component& c, Counts& n) {
    n.alarms += c.Alarms().Count();
    n.other += RawComponents(c.XProp());
    for (const auto& a : c.Alarms()) n.other += RawComponents(a->XProp());
}

Counts CountComponents(iCalendar& cal) {
    Counts n;
    n.events = cal.Events().Count();
    n.todos = cal.Todos().Count();
    n.timezones = std::as_const(cal).TimeZones().Count();
    // Free/busy is modelled but has no column of its own, so it counts with the rest.
    n.other = RawComponents(cal.XProp()) + cal.FreeBusies().Count();
    for (const auto& ev : cal.Events()) CountInner(*ev, n);
    for (const auto& t : cal.Todos()) CountInner(*t, n);
    return n;
}

std::string Amount(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int RunStats(const std::vector<std::string>& args) {
    RangeOptions o = ParseRangeOptions(args, false);
    auto cals = LoadAll(o.files);
    if (!cals) return 1;
    if (o.tsv) std::printf("file\tevents\ttodos\talarms\ttimezones\tother\n");
    for (int i = 1; i <= cals->Count(); ++i) {
        Counts n = CountComponents(*cals->Item(i));
        const std::string& file = o.files[static_cast<size_t>(i - 1)];
        if (o.tsv) {
            std::printf("%s\t%d\t%d\t%d\t%d\t%d\n", OneLine(file).c_str(), n.events, n.todos, n.alarms, n.timezones,
                        n.other);
        } else {
            std::printf("%s: %s, %s, %s, %s, %s\n", file.c_str(), Amount(n.events, "event", "events").c_str(),
                        Amount(n.todos, "to-do", "to-dos").c_str(), Amount(n.alarms, "alarm", "alarms").c_str(),
                        Amount(n.timezones, "time zone", "time zones").c_str(),
                        Amount(n.other, "other component", "other components").c_str());
        }
    }
    return 0;
}

}  // namespace quillet::tool
