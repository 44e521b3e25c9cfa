// quillet_scale_driver {quillet|libical} {parse|expand|write|list} FILE [OUT]
//
// One library, one operation, one process, so that the peak resident memory it reports belongs to
// that library alone. parse: the file into objects; expand: parse, then every event's occurrences
// in 2025; write: parse, then the calendar back to OUT (default FILE.out), synced to disk the same
// way for both. Prints one line of key=value figures for bench/scale.sh. list: as expand, but
// prints "UID<TAB>count" per event instead, to find where the two counts part.
#include <fcntl.h>
#include <malloc.h>
#include <libical/ical.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "YearOccurrences.h"
#include "quillet/LibraryError.h"
#include "quillet/iCalendar.h"

namespace {

using Clock = std::chrono::steady_clock;

long PeakKb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// User and system time of the process: on a machine shared with other work it varies less than
// the wall-clock time does.
double CpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

// Bytes the heap holds now: beside the peak resident size it tells what the loaded objects keep
// from what only the reading needed for a while.
long HeapKb() {
    struct mallinfo2 m = mallinfo2();
    return static_cast<long>((m.uordblks + m.hblkhd) / 1024);
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// One read into a string of the file's size, as the library's own file reading does.
std::string ReadFile(const char* path) {
    FILE* in = std::fopen(path, "rb");
    std::string text;
    if (in && std::fseek(in, 0, SEEK_END) == 0) {
        long size = std::ftell(in);
        std::rewind(in);
        text.resize(size > 0 ? static_cast<size_t>(size) : 0);
        text.resize(std::fread(text.data(), 1, text.size(), in));
    }
    if (!in || std::ferror(in)) {
        std::fprintf(stderr, "quillet_scale_driver: cannot read %s\n", path);
        std::exit(1);
    }
    std::fclose(in);
    return text;
}

// The same durable replace the library's SaveToFile does: temporary file, fsync, rename.
void WriteAtomic(const std::string& path, const char* data, size_t size) {
    std::string tmp = path + ".XXXXXX";
    int fd = mkstemp(tmp.data());
    bool ok = fd >= 0;
    while (ok && size > 0) {
        ssize_t n = write(fd, data, size);
        ok = n > 0;
        if (ok) data += n, size -= static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    if (fd >= 0) ok = close(fd) == 0 && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "quillet_scale_driver: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

struct Figures {
    long events = 0;
    long occurrences = -1;
    double parseMs = 0, opMs = 0;
};

bool Expands(const std::string& op) { return op == "expand" || op == "list"; }

orvelle::bench::PerEvent Lister(const std::string& op) {
    if (op != "list") return {};
    return [](const std::string& uid, long count) { std::printf("%s\t%ld\n", uid.c_str(), count); };
}

constexpr int kYear = 2025;

// What a run loaded stays alive until the process ends without tearing it down: the teardown is
// no part of what is measured, and profiles of the driver then show only the work.
std::shared_ptr<void> gKeep;

Figures RunQuillet(const std::string& op, const char* file, const std::string& out) {
    using namespace quillet;
    Figures f;
    auto cal = iCalendar::Create();
    auto t0 = Clock::now();
    cal->LoadFromFile(file);
    auto t1 = Clock::now();
    if (Expands(op)) f.occurrences = orvelle::bench::QuilletOccurrences(*cal, kYear, Lister(op));
    else if (op == "write") cal->SaveToFile(out);
    auto t2 = Clock::now();
    f.parseMs = Ms(t0, t1);
    f.opMs = Ms(t1, t2);
    f.events = cal->Events().Count();
    gKeep = cal;
    return f;
}

Figures RunLibical(const std::string& op, const char* file, const std::string& out) {
    Figures f;
    auto t0 = Clock::now();
    std::string text = ReadFile(file);
    icalcomponent* root = icalparser_parse_string(text.c_str());
    auto t1 = Clock::now();
    if (!root) {
        std::fprintf(stderr, "quillet_scale_driver: libical could not parse %s\n", file);
        std::exit(1);
    }
    if (Expands(op)) {
        f.occurrences = orvelle::bench::LibicalOccurrences(root, kYear, Lister(op));
    } else if (op == "write") {
        char* s = icalcomponent_as_ical_string_r(root);
        WriteAtomic(out, s, std::strlen(s));
        free(s);
    }
    auto t2 = Clock::now();
    f.parseMs = Ms(t0, t1);
    f.opMs = Ms(t1, t2);
    f.events = icalcomponent_count_components(root, ICAL_VEVENT_COMPONENT);
    // root stays allocated to the end, as the quillet calendar does (gKeep).
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: quillet_scale_driver {quillet|libical} {parse|expand|write|list} FILE [OUT]\n");
        return 2;
    }
    std::string lib = argv[1], op = argv[2];
    if ((lib != "quillet" && lib != "libical") || (op != "parse" && op != "expand" && op != "write" && op != "list")) {
        std::fprintf(stderr, "quillet_scale_driver: unknown library or operation\n");
        return 2;
    }
    std::string out = argc == 5 ? argv[4] : std::string(argv[3]) + ".out";
    // Floating times then mean UTC for both libraries, so their counts compare.
    setenv("TZ", "UTC", 1);
    tzset();
    long baseKb = PeakKb(), baseHeapKb = HeapKb();
    double cpu0 = CpuMs();
    Figures f;
    try {
        f = lib == "quillet" ? RunQuillet(op, argv[3], out) : RunLibical(op, argv[3], out);
    } catch (const quillet::LibraryError& e) {
        std::fprintf(stderr, "quillet_scale_driver: %s (%ld)\n", e.Description().c_str(), e.Number());
        return 1;
    }
    long peakKb = PeakKb(), heapKb = HeapKb() - baseHeapKb;
    double cpuMs = CpuMs() - cpu0;
    if (op == "list") {
        std::fflush(stdout);
        std::_Exit(0);
    }
    std::printf("lib=%s op=%s events=%ld parse_ms=%.1f op_ms=%.1f total_ms=%.1f cpu_ms=%.1f peak_kb=%ld base_kb=%ld "
                "heap_kb=%ld occurrences=%ld\n",
                lib.c_str(), op.c_str(), f.events, f.parseMs, f.opMs, f.parseMs + f.opMs, cpuMs, peakKb, baseKb,
                heapKb, f.occurrences);
    std::fflush(stdout);
    std::_Exit(0);
}
