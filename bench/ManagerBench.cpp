// The calendar manager on five calendars holding 20,000 events, a fifth of them recurring: loading
// them all, then the month grid's 42 days and the event list's 8.
#include "orvelle/core/QuilletManager.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kCalendars = 5, kEvents = 20000;

struct Fixture {
    std::string Dir;
    pugi::xml_document Doc;
    orvelle::TXMLCalListType List{pugi::xml_node()};

    Fixture() {
        char tmpl[] = "/tmp/orvelle-bench-XXXXXX";
        Dir = mkdtemp(tmpl);
        auto list = Doc.append_child("CalList");
        for (int c = 0; c < kCalendars; ++c) {
            std::string path = Dir + "/cal" + std::to_string(c) + ".ics";
            std::ofstream out(path, std::ios::binary);
            out << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
            for (int i = c; i < kEvents; i += kCalendars) {
                // Spread over 2025 and 2026, at every quarter hour of the working day.
                int day = (i * 7) % 730, minute = 8 * 60 + (i % 40) * 15;
                int y = 2025 + day / 365, doy = day % 365;
                int month = doy / 31 + 1 > 12 ? 12 : doy / 31 + 1, mday = doy % 28 + 1;
                char start[32], end[32];
                std::snprintf(start, sizeof start, "%04d%02d%02dT%02d%02d00", y, month, mday, minute / 60, minute % 60);
                std::snprintf(end, sizeof end, "%04d%02d%02dT%02d%02d00", y, month, mday, minute / 60 + 1, minute % 60);
                out << "BEGIN:VEVENT\r\nUID:e" << i << "\r\nDTSTART:" << start << "\r\nDTEND:" << end
                    << "\r\nSUMMARY:Event " << i << "\r\n";
                if (i % 5 == 0) {
                    static const char* rules[] = {"FREQ=DAILY;INTERVAL=3", "FREQ=WEEKLY;BYDAY=MO,WE",
                                                  "FREQ=MONTHLY;BYMONTHDAY=15", "FREQ=WEEKLY;COUNT=20"};
                    out << "RRULE:" << rules[(i / 5) % 4] << "\r\n";
                }
                out << "END:VEVENT\r\n";
            }
            out << "END:VCALENDAR\r\n";
            auto cal = list.append_child("Cal");
            cal.append_attribute("Name") = ("Cal " + std::to_string(c)).c_str();
            cal.append_attribute("LocalPath") = path.c_str();
            cal.append_attribute("IsActive") = "True";
        }
        List = orvelle::TXMLCalListType(list);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    std::unique_ptr<orvelle::TQuilletManager> Manager() {
        auto m = std::make_unique<orvelle::TQuilletManager>(
            [] { return quillet::FieldsToValue({2026, 3, 10, 9, 0, 0}); });
        m->SetCalendarList(&List, [] {});
        m->SetSortFile(Dir + "/calendar.ini");
        return m;
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_LoadAll(benchmark::State& state) {
    auto m = Data().Manager();
    for (auto _ : state) {
        m->LoadAll();
        benchmark::DoNotOptimize(m->EventCount());
    }
    state.counters["events"] = m->EventCount();
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

void QueryDays(benchmark::State& state, int days) {
    auto m = Data().Manager();
    m->LoadAll();
    const quillet::DateValue from = quillet::FieldsToValue({2026, 2, 23, 0, 0, 0});
    std::size_t found = 0;
    for (auto _ : state) {
        auto result = m->QueryDays(from, from + days - 1);
        found = 0;
        for (const auto& d : result) found += d.Events.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["day_events"] = static_cast<double>(found);
}
void BM_QueryDays_MonthGrid42(benchmark::State& state) { QueryDays(state, 42); }
void BM_QueryDays_EventList8(benchmark::State& state) { QueryDays(state, 8); }
BENCHMARK(BM_QueryDays_MonthGrid42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryDays_EventList8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
