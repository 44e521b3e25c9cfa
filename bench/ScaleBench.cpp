// Generated calendars parsed, expanded over a year and turned back into text in one process,
// quillet beside libical on the same text: steadier figures for work on the parser than the
// whole-process runs of bench/scale.sh, which also give memory and the writing of files.
#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "CalendarGenerator.h"
#include "YearOccurrences.h"
#include "quillet/iCalendar.h"

namespace {

using namespace quillet;
using orvelle::bench::CalendarGenerator;

constexpr int kYear = 2025;

const std::string& Text(int events) {
    static std::map<int, std::string> made;
    auto it = made.find(events);
    if (it == made.end()) it = made.emplace(events, CalendarGenerator().Generate(events)).first;
    return it->second;
}

void Throughput(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void UtcHost() {
    setenv("TZ", "UTC", 1);
    tzset();
}

// Freeing the objects is left out of the timing, as it is of the driver's.
void BM_QuilletParse(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto cal = iCalendar::Create();
        cal->TryParse(text);
        benchmark::DoNotOptimize(cal->Events().Count());
        state.PauseTiming();
        cal.reset();
        state.ResumeTiming();
    }
    Throughput(state, text);
}

void BM_LibicalParse(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        icalcomponent* root = icalparser_parse_string(text.c_str());
        benchmark::DoNotOptimize(root);
        state.PauseTiming();
        icalcomponent_free(root);
        state.ResumeTiming();
    }
    Throughput(state, text);
}

void BM_QuilletExpandYear(benchmark::State& state) {
    UtcHost();
    auto cal = iCalendar::Create();
    cal->TryParse(Text(static_cast<int>(state.range(0))));
    long n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = orvelle::bench::QuilletOccurrences(*cal, kYear));
    state.counters["occurrences"] = static_cast<double>(n);
}

void BM_LibicalExpandYear(benchmark::State& state) {
    UtcHost();
    icalcomponent* root = icalparser_parse_string(Text(static_cast<int>(state.range(0))).c_str());
    long n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = orvelle::bench::LibicalOccurrences(root, kYear));
    state.counters["occurrences"] = static_cast<double>(n);
    icalcomponent_free(root);
}

// ToString gives unfolded lines (SaveToFile folds them as it writes), libical's text is folded:
// the quillet figure is the cheaper half of its writing.
void BM_QuilletToString(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    auto cal = iCalendar::Create();
    cal->TryParse(text);
    for (auto _ : state) benchmark::DoNotOptimize(cal->ToString());
    Throughput(state, text);
}

void BM_LibicalAsIcalString(benchmark::State& state) {
    const std::string& text = Text(static_cast<int>(state.range(0)));
    icalcomponent* root = icalparser_parse_string(text.c_str());
    for (auto _ : state) {
        char* s = icalcomponent_as_ical_string_r(root);
        benchmark::DoNotOptimize(s);
        free(s);
    }
    Throughput(state, text);
    icalcomponent_free(root);
}

#define SCALE_SIZES Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_QuilletParse)->SCALE_SIZES;
BENCHMARK(BM_LibicalParse)->SCALE_SIZES;
BENCHMARK(BM_QuilletExpandYear)->SCALE_SIZES;
BENCHMARK(BM_LibicalExpandYear)->SCALE_SIZES;
BENCHMARK(BM_QuilletToString)->SCALE_SIZES;
BENCHMARK(BM_LibicalAsIcalString)->SCALE_SIZES;

}  // namespace

BENCHMARK_MAIN();
