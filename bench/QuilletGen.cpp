// quillet_gen N OUT.ics [SEED]: writes a generated calendar of N events for the scale benchmarks.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CalendarGenerator.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: quillet_gen N OUT.ics [SEED]\n");
        return 2;
    }
    char* end = nullptr;
    long n = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || n < 0 || n > 10'000'000) {
        std::fprintf(stderr, "quillet_gen: invalid event count '%s'\n", argv[1]);
        return 2;
    }
    orvelle::bench::CalendarGenerator gen(argc == 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10))
                                                    : 20240101u);
    std::string text = gen.Generate(static_cast<int>(n));
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    const auto& m = gen.Mix();
    std::printf("%s: %d events, %zu bytes (%.0f bytes/event); %d recurring, %d all-day, %d zoned, %d with alarm, "
                "%d with EXDATE, %d with UNTIL\n",
                argv[2], m.events, text.size(), m.events ? double(text.size()) / m.events : 0.0, m.recurring,
                m.allDay, m.zoned, m.alarms, m.withExdate, m.withUntil);
    return 0;
}
