// Expanding a calendar of many recurring events over one year: this library beside libical's
// icalrecur_iterator doing the same work (the same rules, starts and year).
#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quillet/Event.h"
#include "quillet/Recur.h"
#include "quillet/iCalendar.h"

namespace {

using namespace quillet;

struct Item {
    std::string rule;
    DateFields start;
};

// The shapes a desktop calendar holds: workdays, weekly meetings, every n weeks, monthly by day
// or by n-th weekday, last working day, yearly dates and holidays, a few daily and counted ones.
std::vector<Item> Calendar(int events) {
    const char* shapes[] = {
        "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",
        "FREQ=WEEKLY;BYDAY=TU",
        "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH",
        "FREQ=MONTHLY;BYMONTHDAY=15",
        "FREQ=MONTHLY;BYDAY=2WE",
        "FREQ=MONTHLY;BYDAY=-1FR",
        "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
        "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=1",
        "FREQ=YEARLY",
        "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH",
        "FREQ=YEARLY;BYMONTH=5;BYDAY=-1MO",
        "FREQ=DAILY",
        "FREQ=DAILY;INTERVAL=3",
        "FREQ=WEEKLY;COUNT=200;BYDAY=WE",
        "FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13",
        "FREQ=DAILY;UNTIL=20261231T235959Z;BYDAY=SA,SU",
    };
    std::vector<Item> out;
    unsigned seed = 5545;
    for (int i = 0; i < events; ++i) {
        seed = seed * 1103515245u + 12345u;
        Item it;
        it.rule = shapes[i % (sizeof shapes / sizeof *shapes)];
        int day = 1 + static_cast<int>((seed >> 8) % 28);
        int month = 1 + static_cast<int>((seed >> 16) % 12);
        int year = 2018 + static_cast<int>((seed >> 4) % 8);
        it.start = {year, month, day, 8 + static_cast<int>(seed % 10), 0, 0};
        // Keep DTSTART a start its rule generates, as calendars write them.
        Recur r;
        r.TryParse(it.rule);
        std::vector<Secs> first;
        r.ExpandSeconds(FieldsToSeconds(it.start), 0, FieldsToSeconds(it.start), FieldsToSeconds(it.start) + 400 * kSecondsPerDay,
                        false, first);
        if (!first.empty()) it.start = SecondsToFields(first.front());
        out.push_back(it);
    }
    return out;
}

const Secs kFrom = FieldsToSeconds({2026, 1, 1});
const Secs kTo = FieldsToSeconds({2027, 1, 1});
constexpr int kEvents = 1000;

void BM_QuilletRecurExpand(benchmark::State& state) {
    auto items = Calendar(kEvents);
    std::vector<Recur> rules(items.size());
    for (size_t i = 0; i < items.size(); ++i) rules[i].TryParse(items[i].rule);
    std::vector<Secs> out;
    size_t total = 0;
    for (auto _ : state) {
        total = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            out.clear();
            rules[i].ExpandSeconds(FieldsToSeconds(items[i].start), 3600, kFrom, kTo, true, out);
            total += out.size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["occurrences"] = static_cast<double>(total);
}
BENCHMARK(BM_QuilletRecurExpand)->Unit(benchmark::kMillisecond);

void BM_LibicalRecurIterator(benchmark::State& state) {
    auto items = Calendar(kEvents);
    std::vector<icalrecurrencetype> rules;
    std::vector<icaltimetype> starts;
    for (const auto& it : items) {
        rules.push_back(icalrecurrencetype_from_string(it.rule.c_str()));
        starts.push_back(icaltime_from_string(FormatBasicDateTime(it.start).c_str()));
    }
    const icaltimetype from = icaltime_from_string("20251231T230000");  // one hour before, as the overlap needs
    const icaltimetype to = icaltime_from_string("20270101T000000");
    size_t total = 0;
    for (auto _ : state) {
        total = 0;
        for (size_t i = 0; i < rules.size(); ++i) {
            icalrecur_iterator* it = icalrecur_iterator_new(rules[i], starts[i]);
            if (!it) continue;
            // Jump to the range as this library does; libical allows it only without COUNT.
            if (rules[i].count == 0) icalrecur_iterator_set_start(it, from);
            for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
                 t = icalrecur_iterator_next(it)) {
                if (icaltime_compare(t, to) >= 0) break;
                if (icaltime_compare(t, from) > 0) ++total;
            }
            icalrecur_iterator_free(it);
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["occurrences"] = static_cast<double>(total);
}
BENCHMARK(BM_LibicalRecurIterator)->Unit(benchmark::kMillisecond);

// The whole path of a query: a calendar document with the same events, QueryEvent over the year.
void BM_QuilletQueryEventYear(benchmark::State& state) {
    setenv("TZ", "UTC", 1);
    auto items = Calendar(kEvents);
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (size_t i = 0; i < items.size(); ++i)
        text += "BEGIN:VEVENT\r\nUID:e" + std::to_string(i) + "\r\nDTSTART:" + FormatBasicDateTime(items[i].start) +
                "\r\nDURATION:PT1H\r\nRRULE:" + items[i].rule + "\r\nEND:VEVENT\r\n";
    text += "END:VCALENDAR\r\n";
    auto cal = iCalendar::Create();
    cal->TryParse(text);
    size_t total = 0;
    for (auto _ : state) {
        auto found = cal->QueryEvent(FromSeconds(kFrom), FromSeconds(kTo));
        total = 0;
        for (const auto& ev : found) total += static_cast<size_t>(ev->Periods().Count());
        benchmark::DoNotOptimize(total);
    }
    state.counters["occurrences"] = static_cast<double>(total);
}
BENCHMARK(BM_QuilletQueryEventYear)->Unit(benchmark::kMillisecond);

}  // namespace

// One month of a series that began N years ago: the work follows the range, not the series' age.
void BM_QuilletOldSeriesMonth(benchmark::State& state) {
    const int yearsAgo = static_cast<int>(state.range(0));
    const char* shapes[] = {"FREQ=DAILY", "FREQ=WEEKLY;BYDAY=MO,WE,FR", "FREQ=MONTHLY;BYDAY=-1FR", "FREQ=YEARLY"};
    std::vector<Recur> rules(4);
    for (int i = 0; i < 4; ++i) rules[i].TryParse(shapes[i]);
    const Secs start = FieldsToSeconds({2026 - yearsAgo, 1, 30, 9, 0, 0});
    const Secs from = FieldsToSeconds({2026, 3, 1}), to = FieldsToSeconds({2026, 4, 1});
    std::vector<Secs> out;
    size_t n = 0;
    for (auto _ : state) {
        n = 0;
        for (const Recur& r : rules) {
            out.clear();
            r.ExpandSeconds(start, 3600, from, to, true, out);
            n += out.size();
        }
        benchmark::DoNotOptimize(n);
    }
    state.counters["occurrences"] = static_cast<double>(n);
}
BENCHMARK(BM_QuilletOldSeriesMonth)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
