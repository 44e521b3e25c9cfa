#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ToolCommon.h"

namespace {

const char kUsage[] =
    "usage: quillet COMMAND [OPTIONS] FILE...\n"
    "\n"
    "commands:\n"
    "  roundtrip IN OUT                 load IN and save it to OUT\n"
    "  agenda [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--tsv] FILE...\n"
    "                                   events between two dates (default: today and the next 7 days)\n"
    "  alarms [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--tsv] FILE...\n"
    "                                   reminders that fire between two dates\n"
    "  todos [--tsv] FILE...            the to-dos of the files\n"
    "  stats [--tsv] FILE...            how many events, to-dos, alarms, time zones and other\n"
    "                                   components each file holds\n"
    "\n"
    "options:\n"
    "  --help                           show this help\n"
    "  --version                        show the version\n";

using Command = int (*)(const std::vector<std::string>&);

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"agenda", quillet::tool::RunAgenda},
        {"alarms", quillet::tool::RunAlarms},
        {"todos", quillet::tool::RunTodos},
        {"stats", quillet::tool::RunStats},
        {"roundtrip", quillet::tool::RunRoundtrip},
    };
    return commands;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("quillet %s\n", QUILLET_VERSION);
        return 0;
    }
    auto it = Commands().find(args[0]);
    if (it == Commands().end()) {
        std::fprintf(stderr, "quillet: unknown command '%s'\n\n%s", args[0].c_str(), kUsage);
        return 2;
    }
    args.erase(args.begin());
    try {
        return it->second(args);
    } catch (const quillet::tool::UsageError& e) {
        std::fprintf(stderr, "quillet: %s\n\n%s", e.message.c_str(), kUsage);
        return 2;
    } catch (const quillet::LibraryError& e) {
        std::fprintf(stderr, "quillet: %s (%ld)\n", e.Description().c_str(), e.Number());
        return 1;
    }
}
